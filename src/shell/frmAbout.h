// The about box: the program's title, version and release date beside a
// gradient strip, and the buttons "Updates" (the upgrade check), "Help" and
// "OK". Opened non-modal from Glimra's menu; every unload releases it, so
// that the next request builds a fresh window.
#pragma once

#include <memory>

#include "runtime/FormWindow.h"
#include "shell/FormParts.h"

namespace glimra {

class frmAbout : public FormWindow {
 public:
  enum : UINT {
    kPicture1 = 1,
    kImage1 = 2,
    kLabel10 = 3,
    kLabel2 = 4,
    kLblVersion = 5,
    kLabel3 = 6,
    kLblRelease = 7,
    kCmdUpdates = 10,
    kCmdHelp = 11,
    kCmdOK = 12,
  };
  static constexpr char kCaption[] = "About Glimra!";
  static constexpr char kReleaseDate[] = "July 06, 1999";
  static constexpr char kHelpKeyword[] = "Table Of Contents";

  frmAbout();

  HWND Picture1() const { return GetDlgItem(hWnd(), kPicture1); }
  HWND lblVersion() const { return GetDlgItem(hWnd(), kLblVersion); }
  HWND lblRelease() const { return GetDlgItem(hWnd(), kLblRelease); }
  HostedControl& Button(UINT id) { return *Control(id); }
  // Picture1's own background colour and lblColor's: the strip runs from
  // the first at the top to the second at the bottom.
  Colour Picture1BackColor = 0xAD6D00;
  Colour lblColorBackColor = 0;
  // True once the window has been unloaded: the program lets go of it.
  bool Released() const { return released_; }

  void cmdUpdates_Click();
  void cmdHelp_Click();
  void cmdOK_Click();
  void Picture1_Paint(HDC dc);

 protected:
  void OnLoad() override;
  void OnUnload() override;
  void OnCommand(UINT id, UINT code, HWND control) override;

 private:
  void AddControls();
  static LRESULT CALLBACK StripProc(HWND window, UINT message, WPARAM wp, LPARAM lp);

  bool released_ = false;
  std::unique_ptr<LabelFont> title_, plain_, bold_;
};

// The about box of the moment: a new one once the last has been unloaded.
frmAbout& AboutBox();

}  // namespace glimra
