// The e-mail fader: a small toolbar that floats above the AOL client while a
// mail is being written. Its fade button replaces the text highlighted in
// the mail body by its faded form, through AOL's own copy and paste and the
// "AOLMAIL" clipboard format; the undo button takes the last change back;
// the third button opens the chat tools window. The chat tools timer loads
// it when a mail window comes to the front and unloads it when none is.
//
// Whatever the member had on the clipboard is put back after every use of
// the fade button, all formats of it.
#pragma once

#include <string>

#include "runtime/FormWindow.h"

namespace glimra {

class ClipboardSnapshot;

class frmEFade : public FormWindow {
 public:
  enum : UINT { kCmdFade = 101, kCmdUndo, kCmdCP, kCmdExit, kLabel1 };
  static constexpr char kCaption[] = "Glimra E-Fade";
  static constexpr char kPositionKey[] = "E-Fade";

  frmEFade();

  HostedControl& Button(UINT id) { return *Control(id); }
  HWND Label1() const { return label1_; }
  // The tool tip a control shows ("" when it has none).
  std::string ToolTipText(UINT id) const;

  void cmdFade_Click();
  void cmdUndo_Click();
  void cmdCP_Click();
  void cmdExit_Click() { Unload(); }
  void Label1_MouseDown();

 protected:
  DWORD WindowStyle() const override { return WS_POPUP | WS_BORDER | WS_CLIPCHILDREN; }
  DWORD WindowExStyle() const override { return WS_EX_TOOLWINDOW; }
  void OnLoad() override;
  void OnUnload() override;
  void OnCommand(UINT id, UINT code, HWND control) override;

 private:
  void AddControls();
  void RestorePosition();
  void DrawPictures();
  void AddToolTips();
  HWND WorkingMail() const;
  void FadeSelection(HWND mail, const ClipboardSnapshot& kept);
  static LRESULT CALLBACK Label1Proc(HWND window, UINT message, WPARAM wp, LPARAM lp);

  HWND label1_ = nullptr;
  HWND toolTip_ = nullptr;
  bool working_ = false;      // a button's work runs (its pauses let clicks in)
  HWND fadedMail_ = nullptr;  // the mail of the last fade that Undo may take back
  std::string afterFade_;     // that mail's body text right after the fade
};

// The one toolbar of the run.
frmEFade& EFade();

// Loads the toolbar and shows it without taking the focus from AOL.
void ShowEFadeToolbar();
void UnloadEFadeToolbar();

}  // namespace glimra
