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

  void cmdEmail_Click();
  void cmdExit_Click() { Unload(); }

 protected:
  void OnLoad() override;
  void OnUnload() override;
  void OnCommand(UINT id, UINT code, HWND control) override;

 private:
  bool AttachSchemes(HWND mail, const std::vector<std::string>& schemes);

  HWND lstSchemes_ = nullptr;
};

// The one sharing window of the run; the chat tools window opens it.
frmEMailFade& EMailFade();

}  // namespace glimra
