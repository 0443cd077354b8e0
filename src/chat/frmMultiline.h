// The multi-line sender: a small always-on-top window that takes a block of
// text of any length (typed, pasted or loaded from a text file), wraps it
// into chat-sized lines exactly where a text box of the right width breaks
// them, and sends the lines to the chat room one by one, faded when fading
// is on, with the burst pause before each line.
#pragma once

#include <memory>
#include <string>

#include "runtime/FormWindow.h"
#include "runtime/ZolBar.h"

namespace glimra {

class ChatInterception;

class frmMultiline : public FormWindow {
 public:
  // `chat` owns the chat box hook that is taken away while lines go out.
  explicit frmMultiline(ChatInterception& chat);
  ~frmMultiline() override;

  // Wraps and sends the text of txtChat (`text` is not read: callers put
  // their text into txtChat first). Afterwards both text boxes are empty and
  // the chat box is shown with the focus. A send started while one is
  // running does nothing.
  void SendMultiline(const std::string& text);
  bool Sending() const { return sending_; }

  HWND txtChat() const { return txtChat_; }
  HWND txtHidden() const { return txtHidden_; }
  ZolBar* SSPanel1() { return SSPanel1_.get(); }
  HostedControl* cmdInsert() { return cmdInsert_; }
  std::string ChatText() const;
  void SetChatText(const std::string& text);
  // Caret at `position`, or at the end of a shorter text.
  void PutCaretAt(int position);
  void SetInsertVisible(bool visible);

  void cmdSend_Click();
  void cmdInsert_Click();
  void cmdClose_Click();

 protected:
  DWORD WindowStyle() const override { return WS_POPUP | WS_BORDER | WS_CLIPCHILDREN; }
  DWORD WindowExStyle() const override { return WS_EX_TOOLWINDOW; }
  void OnLoad() override;
  void OnUnload() override;
  void OnCommand(UINT id, UINT code, HWND control) override;
  bool OnMessage(UINT message, WPARAM wp, LPARAM lp, LRESULT& result) override;

 private:
  void AddControls();
  void RestorePosition();
  void SSPanel1_MouseDown();
  void WrapHiddenText();
  int HiddenWidth() const;
  void SetHiddenWidth(int twips);
  int LineLength(int line) const;
  std::string HiddenLine(int line) const;
  void SendLine(std::string line, HWND chatBox);
  static LRESULT CALLBACK TxtChatProc(HWND window, UINT message, WPARAM wp, LPARAM lp);

  ChatInterception& chat_;
  HWND txtChat_ = nullptr;
  HWND txtHidden_ = nullptr;
  HWND label1_ = nullptr;
  std::unique_ptr<ZolBar> SSPanel1_;
  HostedControl* cmdInsert_ = nullptr;
  HostedControl* cmdSend_ = nullptr;
  HostedControl* cmdClose_ = nullptr;
  WNDPROC txtChatOriginal_ = nullptr;
  bool sending_ = false;  // one send at a time
};

}  // namespace glimra
