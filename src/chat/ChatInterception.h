// The chat fader's watch over AOL: the one-second timer that attaches to the
// chat room's input box and Send icon, the three SubClass controls that see
// the chat box's characters, the Send icon's button and the AOL main window's
// close and menu commands before AOL does, the chat commands, the Glimra menu
// commands, the overflow into the multi-line sender, the orderly detach when
// AOL closes and the advertisement.
//
// It lives in the chat tools window, which hosts the SubClass controls and
// calls Timer1_Timer every 1000 ms; it reaches that window only through
// ChatToolsHost. The host keeps this object alive until the program ends
// (unloading its window must not destroy it: its own events run the unload).
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "runtime/Conversions.h"
#include "runtime/SubClassing.h"

namespace glimra {

class FormWindow;
class frmMultiline;

// What the chat tools window does for the interception.
class ChatToolsHost {
 public:
  virtual ~ChatToolsHost() = default;
  // The window that hosts the SubClass controls; also the owner of help.
  virtual FormWindow& HostForm() = 0;
  // Shows the chat tools window non-modal, hides it, tells whether it is shown.
  virtual void ShowChatTools() = 0;
  virtual void HideChatTools() = 0;
  virtual bool ChatToolsVisible() = 0;
  // The fader switch's click handlers ("On" / "Off" pressed, setting written,
  // focus handed back to the chat room).
  virtual void FadeOn() = 0;
  virtual void FadeOff() = 0;
  // Unloads every Glimra window without ending the program.
  virtual void UnloadAll() = 0;
};

// The windows that only Glimra's menu and the chat commands open sit above
// the chat fader; start-up fills these in. One left empty does nothing.
struct MenuWindowHooks {
  std::function<void()> ShowOptions;
  std::function<void()> ShowWizard;
  std::function<void()> ShowAbout;
  std::function<void()> CheckUpdates;
};
MenuWindowHooks& MenuWindows();

// Program-wide values shared by the chat tools window, its timer and the e-mail fader.
HWND& ChatRoomWindow();    // the room that gets the keyboard focus back
VBBool& ChatToolsShown();  // the timer showed the chat tools window for the current room
VBBool& ExitRequested();   // AOL's exit command has been seen

class ChatInterception {
 public:
  // Makes the three SubClass controls through `factory`, hosted by the
  // host's window, with their message lists and events.
  ChatInterception(ChatToolsHost& host, const SubClassFactory& factory);
  ~ChatInterception();
  ChatInterception(const ChatInterception&) = delete;
  ChatInterception& operator=(const ChatInterception&) = delete;

  // Watching the AOL main window starts when the chat tools window loads.
  void AttachMenu(HWND aolFrame);

  // The one-second tick; failing statements are skipped.
  void Timer1_Timer();

  // The three controls' message events and their delayed events. While an
  // error report waits for its answer they hold: keys and clicks pass to AOL
  // untouched, and menu commands wait for the first timer tick after it
  // (ticks do nothing while a report is up).
  void sbcChatEdit_WndMessageX(WindowHandle hwnd, std::uint32_t msg, std::intptr_t wp, std::intptr_t lp,
                               std::intptr_t& retval, std::int32_t& nodef);
  void sbcSendIcon_WndMessageX(WindowHandle hwnd, std::uint32_t msg, std::intptr_t wp, std::intptr_t lp,
                               std::intptr_t& retval, std::int32_t& nodef);
  void sbcMenu_WndMessageX(WindowHandle hwnd, std::uint32_t msg, std::intptr_t wp, std::intptr_t lp,
                           std::intptr_t& retval, std::int32_t& nodef);
  void sbcChatEdit_DelayedEvent(std::int32_t value);
  void sbcMenu_DelayedEvent(std::int32_t value);
  void sbcSendIcon_DelayedEvent(std::int32_t value);

  // Runs one chat command; `command` receives its normalized form.
  void ActivateCommand(std::string& command);
  // Moves the chat box's text and the character `code` into the multi-line sender.
  void EnableMultiline(HWND box, std::int32_t code, std::int32_t length);
  // Detaches everything, unloads, closes the AOL client and ends Glimra.
  void UnhookGlimra();
  void Advertise();

  // The chat box sbcChatEdit watches (0 when detached).
  WindowHandle ChatEditWindow() const;

  // The multi-line sender's lines go out with the chat box hook off, so that
  // Glimra's own Enter keys are not faded again. BeginLineSend detaches the
  // hook and returns the box it watched; until EndLineSend no hook is put on
  // any chat box, even when the member changes rooms meanwhile. EndLineSend
  // hooks the box the attachment holds then: the one taken away, or the new
  // room's box the timer found during the send.
  WindowHandle BeginLineSend();
  void EndLineSend();

  // The multi-line window, made on first use; null until then.
  frmMultiline* Multiline() { return multiline_.get(); }

  // Fields of the chat tools window that belong to the attachment.
  VBBool Hooked = kFalse;
  WindowHandle ChatBox = 0;
  VBBool Sending = kFalse;
  VBBool CommandPending = kFalse;
  std::string PendingCommand;
  VBBool MailToolbarShown = kFalse;
  VBBool OnlineSeen = kFalse;
  VBBool FaderWasOn = kFalse;

  std::unique_ptr<SubClassControl> sbcChatEdit;
  std::unique_ptr<SubClassControl> sbcSendIcon;
  std::unique_ptr<SubClassControl> sbcMenu;

 private:
  void AttachToRoom(HWND room, HWND box);
  void DetachFromRoom();
  void WatchMailWindows();
  void NoticeSignOn();
  void RunMenuCommand(std::int32_t value);
  void RunHeldMenuCommands();
  void ExitGlimra();

  // The menu's windows, through MenuWindows(), and the mail toolbar.
  void ShowOptionsDialog();
  void ShowWizard();
  void ShowAboutBox();
  void RunUpdateCheck();
  void ShowMailToolbar(HWND mailWindow);
  void UnloadMailToolbar();

  ChatToolsHost& host_;
  std::unique_ptr<frmMultiline> multiline_;
  bool linesSending_ = false;
  // The box the Send icon's button-down hid with the faded line in it; shown
  // again once the icon has sent.
  HWND boxHiddenForIcon_ = nullptr;
  // Menu commands that arrived while an error report was up; the first tick
  // after it runs them.
  std::vector<std::int32_t> heldMenuCommands_;
};

// The whole text of a window through WM_GETTEXTLENGTH and WM_GETTEXT.
std::string ChatBoxText(HWND box);

}  // namespace glimra
