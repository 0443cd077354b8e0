#include "chat/ChatInterception.h"

#include "aol/AOLClientState.h"
#include "aol/RemoteMenu.h"
#include "aol/modAOLFunctions.h"
#include "aol/modFindChild.h"
#include "aol/modWin32API.h"
#include "chat/ChatCommands.h"
#include "chat/frmMultiline.h"
#include "engine/modFade.h"
#include "mail/frmEFade.h"
#include "runtime/ErrorReporting.h"
#include "runtime/EventPump.h"
#include "runtime/FormWindow.h"
#include "settings/AppOptions.h"
#include "settings/MakerSite.h"
#include "settings/modFileOp.h"
#include "settings/modRegKeys.h"
#include "shell/modMsgBox.h"

namespace glimra {

namespace {

constexpr char kModule[] = "frmChatTools";
constexpr char kChildClass[] = "AOL Child";
constexpr std::int32_t kEditSelectAll = 20005;
constexpr std::int32_t kEditClear = 20004;
constexpr std::int16_t kStyleInfo = 64;
// The chat box's delayed event: the upgrade check asked for with "/update".
constexpr std::int32_t kUpdateCheckLater = 1;

HWND ToHwnd(WindowHandle handle) { return static_cast<HWND>(ULongToHandle(handle)); }
WindowHandle ToHandle(HWND window) { return HandleToULong(window); }

void EmptyBox(HWND box) { SendMessageA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("")); }

// The box's text read with a buffer of `length` + 1 characters.
std::string BoxTextOfLength(HWND box, std::int32_t length) {
  if (length < 0) length = 0;
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  const LRESULT copied = SendMessageA(box, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
  return text;
}

// The mail window the e-mail toolbar attaches to, in the order AOL's windows are searched.
HWND FindMailWindow() {
  HWND mdi = AOLMDIClient();
  const std::vector<HWND> writing = WriteMailWindows();
  if (!writing.empty()) return writing.front();
  for (const char* prefix : {"Re:", "Fwd:"}) {
    HWND reply = FindChildByTitle(mdi, prefix);
    if (reply && FindWindowExA(reply, nullptr, "_AOL_EDIT", nullptr)) return reply;
  }
  if (HWND board = FindWindowExA(mdi, nullptr, kChildClass, "Global Message Board Preferences")) return board;
  return IsEMail(GetTopWindow(mdi));
}

}  // namespace

HWND& ChatRoomWindow() {
  static HWND room = nullptr;
  return room;
}

VBBool& ChatToolsShown() {
  static VBBool shown = kFalse;
  return shown;
}

VBBool& ExitRequested() {
  static VBBool requested = kFalse;
  return requested;
}

std::string ChatBoxText(HWND box) {
  return BoxTextOfLength(box, static_cast<std::int32_t>(SendMessageA(box, WM_GETTEXTLENGTH, 0, 0)));
}

ChatInterception::ChatInterception(ChatToolsHost& host, const SubClassFactory& factory) : host_(host) {
  const WindowHandle owner = ToHandle(host.HostForm().hWnd());
  sbcChatEdit = factory(owner);
  sbcSendIcon = factory(owner);
  sbcMenu = factory(owner);
  sbcChatEdit->SetMessages({WM_CHAR});
  sbcSendIcon->SetMessages({WM_LBUTTONDOWN, WM_LBUTTONUP});
  sbcMenu->SetMessages({WM_CLOSE, WM_COMMAND});
  using namespace std::placeholders;
  sbcChatEdit->OnWndMessageX(std::bind(&ChatInterception::sbcChatEdit_WndMessageX, this, _1, _2, _3, _4, _5, _6));
  sbcSendIcon->OnWndMessageX(std::bind(&ChatInterception::sbcSendIcon_WndMessageX, this, _1, _2, _3, _4, _5, _6));
  sbcMenu->OnWndMessageX(std::bind(&ChatInterception::sbcMenu_WndMessageX, this, _1, _2, _3, _4, _5, _6));
  sbcChatEdit->OnDelayedEvent([this](std::int32_t value) { sbcChatEdit_DelayedEvent(value); });
  sbcMenu->OnDelayedEvent([this](std::int32_t value) { sbcMenu_DelayedEvent(value); });
  sbcSendIcon->OnDelayedEvent([this](std::int32_t value) { sbcSendIcon_DelayedEvent(value); });
}

ChatInterception::~ChatInterception() = default;

void ChatInterception::AttachMenu(HWND aolFrame) { sbcMenu->SetHWnd(ToHandle(aolFrame)); }

WindowHandle ChatInterception::ChatEditWindow() const { return sbcChatEdit->GetHWnd(); }

WindowHandle ChatInterception::BeginLineSend() {
  WindowHandle box = 0;
  SkipOnError([&] { box = sbcChatEdit->GetHWnd(); });
  linesSending_ = true;
  SkipOnError([&] { sbcChatEdit->SetHWnd(0); });
  return box;
}

void ChatInterception::EndLineSend() {
  linesSending_ = false;
  if (IsTrue(Hooked) && ChatBox != 0) SkipOnError([&] { sbcChatEdit->SetHWnd(ChatBox); });
}

// ---- the timer ----

void ChatInterception::Timer1_Timer() {
  // Held while an error report waits for the member's answer.
  if (ErrorReportShowing()) return;
  RunHeldMenuCommands();
  HWND room = nullptr, box = nullptr;
  SkipOnError([&] { room = FindChatRoom(AOLMDIClient(), kChildClass); });
  if (room) box = ChatInputBox(room);
  if (ToHandle(box) != ChatBox) Hooked = kFalse;
  if (!room)
    DetachFromRoom();
  else if (!IsTrue(Hooked))
    AttachToRoom(room, box);
  if (IsTrue(LiveAppOptions().ShowEFToolbar)) SkipOnError([&] { WatchMailWindows(); });
  NoticeSignOn();
  // The AOL client has gone: Glimra has nothing left to do.
  if (!FindWindowA("AOL FRAME25", nullptr)) EndProgram();
}

void ChatInterception::DetachFromRoom() {
  Hooked = kFalse;
  SkipOnError([&] { sbcChatEdit->SetHWnd(0); });
  SkipOnError([&] { sbcSendIcon->SetHWnd(0); });
  ChatBox = 0;
  if (IsTrue(ChatToolsShown())) {
    ChatToolsShown() = kFalse;
    SkipOnError([&] { host_.HideChatTools(); });
  }
}

void ChatInterception::AttachToRoom(HWND room, HWND box) {
  ChatBox = ToHandle(box);
  HWND icon = GetWindow(box, GW_HWNDNEXT);
  // The UK client puts its character counter between the box and the icon.
  if (IsTrue(ClientState().EditionUK)) icon = GetWindow(icon, GW_HWNDNEXT);
  if (IsTrue(LiveAppOptions().ShowFadePanelWithChat) && !IsTrue(ChatToolsShown())) {
    ChatToolsShown() = kTrue;
    SkipOnError([&] { host_.ShowChatTools(); });
    ChatRoomWindow() = room;
  }
  // Lines of the multi-line sender are on their way: its end hooks this box.
  if (!linesSending_) SkipOnError([&] { sbcChatEdit->SetHWnd(ToHandle(box)); });
  SkipOnError([&] { sbcSendIcon->SetHWnd(ToHandle(icon)); });
  Hooked = kTrue;
}

void ChatInterception::WatchMailWindows() {
  HWND mail = FindMailWindow();
  if (!mail) {
    MailToolbarShown = kFalse;
    SkipOnError([&] { UnloadMailToolbar(); });
    LastMailWindow() = nullptr;
  } else {
    // The toolbar serves the mail in front now, not the first one it came up for.
    LastMailWindow() = mail;
    if (IsTrue(MailToolbarShown)) return;
    SkipOnError([&] { ShowMailToolbar(mail); });
    MailToolbarShown = kTrue;
    SetFocus(mail);
  }
}

void ChatInterception::NoticeSignOn() {
  VBBool online = kFalse;
  SkipOnError([&] { online = IsAOLOnline(kFalse); });
  if (IsTrue(online) && !IsTrue(OnlineSeen)) {
    SkipOnError([&] { GetScreenNames(); });
    if (TrimBlanks(ClientState().CurrentScreenName).empty())
      SkipOnError([&] { ClientState().CurrentScreenName = GetCurrentScreenName(); });
    OnlineSeen = kTrue;
  } else if (online == kFalse && IsTrue(OnlineSeen)) {
    OnlineSeen = kFalse;
  }
}

// ---- the chat box ----

void ChatInterception::sbcChatEdit_WndMessageX(WindowHandle hwnd, std::uint32_t msg, std::intptr_t wp, std::intptr_t,
                                               std::intptr_t& retval, std::int32_t& nodef) {
  // Glimra's own Enter keys pass untouched, and so does everything while an
  // error report waits for its answer.
  if (msg != WM_CHAR || IsTrue(Sending) || linesSending_ || ErrorReportShowing()) return;
  HWND box = ToHwnd(hwnd);
  const AppOptions& options = LiveAppOptions();
  FadeSettings& fade = LiveFadeSettings();
  bool fullBox = false;
  if (IsTrue(options.UseMultiline)) {
    const auto length = static_cast<std::int32_t>(SendMessageA(box, WM_GETTEXTLENGTH, 0, 0));
    switch (DecideOverflow(options.UseMultiline, fade.FaderOn, options.CharsInLine, length, wp)) {
      case OverflowAction::StopAtFullBox: fullBox = true; break;
      case OverflowAction::OpenMultiline:
        SkipOnError([&] { EnableMultiline(box, static_cast<std::int32_t>(wp), length); });
        // The character now ends the multi-line text; the emptied box must not get it too.
        nodef = 1;
        retval = 0;
        break;
      case OverflowAction::None: break;
    }
  }
  if (fullBox || wp != 13) return;

  std::string text;
  SkipOnError([&] { text = ChatBoxText(box); });
  switch (DecideEnter(text, options.UseChatKW, fade.FaderOn)) {
    case EnterAction::LeaveToAOL: return;
    case EnterAction::RunCommand: {
      nodef = 1;
      retval = 0;
      EmptyBox(box);
      std::string command = text.substr(1);
      SkipOnError([&] { ActivateCommand(command); });
      return;
    }
    case EnterAction::Fade:
      nodef = 1;
      EmptyBox(box);
      SkipOnError([&] { FadeEngine(text); });
      ShowWindow(box, SW_HIDE);
      SkipOnError([&] { TextToChat(text, 0); });
      Sending = kTrue;
      SendMessageA(box, WM_CHAR, 13, 0);
      Sending = kFalse;
      retval = 0;
      // The line has gone: the member types the next one into the box.
      SkipOnError([&] { ShowChatBox(box); });
      return;
  }
}

// The check shows windows of its own and waits on the web: it runs once the
// client's send of the line has returned, as the menu's commands do.
void ChatInterception::sbcChatEdit_DelayedEvent(std::int32_t value) {
  if (value != kUpdateCheckLater) return;
  RunProcedure({kModule, "sbcChatEdit_DelayedEvent"}, [&] { RunUpdateCheck(); });
}

// ---- the Send icon ----

void ChatInterception::sbcSendIcon_WndMessageX(WindowHandle, std::uint32_t msg, std::intptr_t, std::intptr_t,
                                               std::intptr_t&, std::int32_t&) {
  if (ErrorReportShowing()) return;
  const ErrorSite site{kModule, "sbcSendIcon_WndMessageX"};
  RunProcedure(site, [&] {
    HWND box = ToHwnd(sbcChatEdit->GetHWnd());
    std::string text;
    Guard(site, [&] { text = ChatBoxText(box); });
    if (msg == WM_LBUTTONDOWN) {
      switch (DecideSendIconDown(text, LiveFadeSettings().FaderOn)) {
        case SendIconAction::Nothing:
        case SendIconAction::LeaveToAOL: break;
        case SendIconAction::PendCommand:
          EmptyBox(box);
          PendingCommand = text.substr(1);
          CommandPending = kTrue;
          break;
        case SendIconAction::Fade:
          EmptyBox(box);
          Guard(site, [&] { FadeEngine(text); });
          ShowWindow(box, SW_HIDE);
          boxHiddenForIcon_ = box;
          Guard(site, [&] { TextToChat(text, 0); });
          break;
      }
    } else if (msg == WM_LBUTTONUP) {
      // The icon sends on the button-up: the box comes back once it has.
      if (boxHiddenForIcon_) sbcSendIcon->SetDelayedEvent(WM_LBUTTONUP);
      if (IsTrue(CommandPending)) {
        Guard(site, [&] { ActivateCommand(PendingCommand); });
        CommandPending = kFalse;
      }
    }
  });
}

void ChatInterception::sbcSendIcon_DelayedEvent(std::int32_t) {
  HWND box = boxHiddenForIcon_;
  boxHiddenForIcon_ = nullptr;
  SkipOnError([&] { ShowChatBox(box); });
}

// ---- the AOL main window ----

void ChatInterception::sbcMenu_WndMessageX(WindowHandle, std::uint32_t msg, std::intptr_t wp, std::intptr_t,
                                           std::intptr_t& retval, std::int32_t& nodef) {
  // The work runs in the delayed event, after AOL's message has returned.
  RunProcedure({kModule, "sbcMenu_WndMessageX"}, [&] {
    if (msg == WM_CLOSE) {
      if (IsTrue(ExitRequested())) return;
      nodef = 1;
      retval = 0;
      sbcMenu->SetDelayedEvent(WM_CLOSE);
    } else if (msg == WM_COMMAND) {
      if (wp == kAOLExitCommand) {
        nodef = 1;
        retval = 0;
        ExitRequested() = kTrue;
        sbcMenu->SetDelayedEvent(WM_COMMAND);
      } else {
        sbcMenu->SetDelayedEvent(static_cast<std::int32_t>(wp));
      }
    }
  });
}

void ChatInterception::sbcMenu_DelayedEvent(std::int32_t value) {
  if (ErrorReportShowing()) {
    heldMenuCommands_.push_back(value);
    return;
  }
  RunProcedure({kModule, "sbcMenu_DelayedEvent"}, [&] { RunMenuCommand(value); });
}

void ChatInterception::RunHeldMenuCommands() {
  std::vector<std::int32_t> held;
  held.swap(heldMenuCommands_);
  for (std::int32_t value : held) sbcMenu_DelayedEvent(value);
}

void ChatInterception::RunMenuCommand(std::int32_t value) {
  switch (MenuActionFor(value)) {
    case MenuAction::None: break;
    case MenuAction::Unhook: UnhookGlimra(); break;
    case MenuAction::ShowChatTools:
      ChatRoomWindow() = FindChatRoom(AOLMDIClient(), kChildClass);
      host_.ShowChatTools();
      break;
    case MenuAction::ShowOptions: ShowOptionsDialog(); break;
    case MenuAction::Advertise: Advertise(); break;
    case MenuAction::ShowWizard: ShowWizard(); break;
    case MenuAction::ShowAbout: ShowAboutBox(); break;
    case MenuAction::ExitGlimra: ExitGlimra(); break;
    case MenuAction::CheckUpdates: RunUpdateCheck(); break;
    case MenuAction::HelpContents: RunWinHelp(host_.HostForm(), "Table of Contents", kTrue); break;
    case MenuAction::HelpSearch: RunWinHelp(host_.HostForm(), "", kTrue); break;
    case MenuAction::OnlineSupport:
      if (IsTrue(IsAOLOnline(kTrue))) RunAOLCommand(ReadMakerSite().SupportPage());
      break;
  }
}

// Glimra leaves; AOL keeps running.
void ChatInterception::ExitGlimra() {
  RemoveMenuFromAOL();
  sbcMenu->SetHWnd(0);
  RemoteMenu::ReleaseHelper(AOLFrame());
  EndProgram();
}

// ---- chat commands ----

void ChatInterception::ActivateCommand(std::string& command) {
  const ErrorSite site{kModule, "ActivateCommand"};
  RunProcedure(site, [&] {
    command = NormalizeCommand(command);
    FadeSettings& fade = LiveFadeSettings();
    switch (CommandFor(command)) {
      case ChatCommand::Help: RunWinHelp(host_.HostForm(), "Table of Contents", kTrue); break;
      case ChatCommand::Advertise: Advertise(); break;
      case ChatCommand::Updates: sbcChatEdit->SetDelayedEvent(kUpdateCheckLater); break;
      case ChatCommand::Show: host_.ShowChatTools(); break;
      case ChatCommand::Hide: host_.HideChatTools(); break;
      case ChatCommand::FadeOn:
        fade.FaderOn = kTrue;
        WriteSetting("", "Fader On", "True");
        host_.ShowChatTools();
        Pause(100);
        host_.FadeOn();
        break;
      case ChatCommand::FadeOff:
        fade.FaderOn = kFalse;
        WriteSetting("", "Fader On", "False");
        host_.FadeOff();
        if (sbcChatEdit->GetHWnd() == 0) host_.HideChatTools();
        break;
      case ChatCommand::Options: ShowOptionsDialog(); break;
      case ChatCommand::Multiline:
        EnableMultiline(ToHwnd(sbcChatEdit->GetHWnd()), 0, 0);
        if (multiline_) multiline_->SetInsertVisible(true);
        break;
      case ChatCommand::Keyword: RunAOLCommand(command); break;
    }
  });
}

// ---- the multi-line sender ----

void ChatInterception::EnableMultiline(HWND box, std::int32_t code, std::int32_t length) {
  const ErrorSite site{kModule, "EnableMultiline"};
  RunProcedure(site, [&] {
    if (!multiline_) multiline_ = std::make_unique<frmMultiline>(*this);
    frmMultiline& form = *multiline_;
    form.Load();
    BringWindowToTop(form.hWnd());
    form.SetInsertVisible(false);
    ShowWindow(form.hWnd(), SW_SHOW);
    DoEvents();
    std::string text;
    Guard(site, [&] { text = BoxTextOfLength(box, length); });
    if (code != 0) text += static_cast<char>(code);
    form.SetChatText(text);
    form.PutCaretAt(100);
    SetFocus(form.txtChat());
    SendMessageA(box, WM_COMMAND, kEditSelectAll, 0);
    SendMessageA(box, WM_COMMAND, kEditClear, 0);
  });
}

// ---- AOL closing ----

void ChatInterception::UnhookGlimra() {
  RemoveMenuFromAOL();
  Pause(500);
  sbcChatEdit->SetHWnd(0);
  sbcMenu->SetHWnd(0);
  sbcSendIcon->SetHWnd(0);
  RemoteMenu::ReleaseHelper(AOLFrame());
  host_.UnloadAll();
  Pause(1000);
  // Nothing watches the main window any more: AOL closes.
  SendMessageA(AOLFrame(), WM_CLOSE, 0, 0);
  EndProgram();
}

// ---- the advertisement ----

void ChatInterception::Advertise() {
  const ErrorSite site{kModule, "Advertise"};
  RunProcedure(site, [&] {
    if (!IsTrue(IsAOLOnline(kTrue))) return;
    if (!FindChatRoom(AOLMDIClient(), kChildClass)) {
      ShowMsg("~B~CRNo valid chat room found!~B~CN~N ~NYou must be in a chat room to use this feature!", kStyleInfo);
      return;
    }
    FadeSettings& fade = LiveFadeSettings();
    // The lines are markup already: their Enter keys must not fade them again.
    if (IsTrue(fade.FaderOn)) {
      fade.FaderOn = kFalse;
      FaderWasOn = kTrue;
    }
    for (const std::string& line : AdvertiseLines(ReadMakerSite())) {
      Guard(site, [&] { TextToChat(line, 1); });
      Pause(1000);
    }
    if (IsTrue(FaderWasOn)) {
      FaderWasOn = kFalse;
      fade.FaderOn = kTrue;
    }
    Guard(site, [&] { ShowChatBox(ChatInputBox(FindChatRoom(AOLMDIClient(), kChildClass))); });
  });
}

// ---- the menu's windows ----

MenuWindowHooks& MenuWindows() {
  static MenuWindowHooks hooks;
  return hooks;
}

namespace {
void RunHook(const std::function<void()>& hook) {
  if (hook) hook();
}
}  // namespace

void ChatInterception::ShowOptionsDialog() { RunHook(MenuWindows().ShowOptions); }
void ChatInterception::ShowWizard() { RunHook(MenuWindows().ShowWizard); }
void ChatInterception::ShowAboutBox() { RunHook(MenuWindows().ShowAbout); }
void ChatInterception::RunUpdateCheck() { RunHook(MenuWindows().CheckUpdates); }

void ChatInterception::ShowMailToolbar(HWND) { ShowEFadeToolbar(); }
void ChatInterception::UnloadMailToolbar() { UnloadEFadeToolbar(); }

}  // namespace glimra
