// The upgrade check's result: the running and the posted version, the
// outcome's message, and "Yes" / "No" when a newer revision is posted (the
// posted version then in red) or a single "OK" otherwise. "Yes" opens the
// download page in the AOL client. Shown modally by UpgradeNotify.
#pragma once

#include <memory>
#include <string>

#include "runtime/FormWindow.h"
#include "shell/FormParts.h"

namespace glimra {

class frmUpdate : public FormWindow {
 public:
  enum : UINT {
    kLabel1 = 1,
    kLabel2 = 2,
    kLblCurVer = 3,
    kLblReport = 4,
    kLblMsg = 5,
    kLine1 = 6,
    kPicture1 = 7,
    kCmdYes = 10,
    kCmdOK = 11,
  };
  static constexpr char kCaption[] = "Glimra Update!";
  static constexpr Colour kNewerColour = 0x0000FF;
  static constexpr Colour kPlainColour = static_cast<Colour>(0x80000012);

  frmUpdate();
  HostedControl& cmdYes() { return *Control(kCmdYes); }
  HostedControl& cmdOK() { return *Control(kCmdOK); }
  HWND lblMsg() const { return GetDlgItem(hWnd(), kLblMsg); }
  HWND lblCurVer() const { return GetDlgItem(hWnd(), kLblCurVer); }
  HWND lblReport() const { return GetDlgItem(hWnd(), kLblReport); }
  Colour ReportColour() const { return reportColour_; }

  void cmdYes_Click();
  void cmdOK_Click();

 protected:
  void OnLoad() override;
  void OnUnload() override;
  void OnCommand(UINT id, UINT code, HWND control) override;
  bool OnMessage(UINT message, WPARAM wp, LPARAM lp, LRESULT& result) override;

 private:
  void AddControls();

  Colour reportColour_ = kPlainColour;
  HBRUSH labelBrush_ = nullptr;
  std::unique_ptr<LabelFont> plain_, bold_;
};

}  // namespace glimra
