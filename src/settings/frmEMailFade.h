// The scheme sharing window ("E-Mail Fades"): the member picks fade schemes
// and Glimra prepares an AOL mail that carries them. Each chosen scheme is
// written into the "outgoing" folder and attached through AOL's own
// Attachments window and its file dialog; then the subject and the HTML body
// (signature, the schemes, optionally a faded sample of each, installation
// directions) are filled in. The member addresses and sends the mail.
#pragma once

#include <string>
#include <vector>

#include "runtime/FormWindow.h"

namespace glimra {

class frmEMailFade : public FormWindow {
 public:
  enum : UINT { kLstSchemes = 101, kCmdEmail, kCmdExit, kLabel1 };
  static constexpr char kCaption[] = "E-Mail Fades";

  frmEMailFade();

  // The sender: the alias when it is used, else the current screen name
  // (looked up afresh when it is blank).
  std::string GetOwnName();
  // Adds every scheme name to lstSchemes.
  void GetSchemes();
  // The faded sample sentence of a stored scheme.
  std::string MakeEMailFade(const std::string& schemeName);

  HWND lstSchemes() const { return lstSchemes_; }
  // The selected scheme names in list order.
  std::vector<std::string> SelectedSchemes() const;

  // Prepares the mail, one run at a time (its pauses let a second click in).
  void cmdEmail_Click();
  // Closes the window; while a mail is prepared, stops that at its next step first.
  void cmdExit_Click();

 protected:
  void OnLoad() override;
  void OnUnload() override;
  void OnCommand(UINT id, UINT code, HWND control) override;

 private:
  bool PrepareMail();
  bool AttachSchemes(HWND icon, const std::vector<std::string>& schemes);
  bool AttachOne(HWND attachButton, const std::string& scheme);
  // The run goes on: not cancelled, and the window still there to own the clipboard.
  bool GoingOn() const { return !cancelled_ && IsLoaded(); }
  bool PauseAndGoOn(double milliseconds);

  HWND lstSchemes_ = nullptr;
  bool working_ = false;    // a mail is being prepared
  bool cancelled_ = false;  // the member pressed Cancel meanwhile
};

// The one sharing window of the run; the chat tools window opens it.
frmEMailFade& EMailFade();

}  // namespace glimra
