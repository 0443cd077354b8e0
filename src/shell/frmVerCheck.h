// The upgrade check window: a small window without caption that says Glimra
// is checking and names the web server it polls. Loading it runs the whole
// check (the fetch, then UpgradeNotify or the error message), with Glimra's
// windows answering meanwhile; its caller unloads it afterwards.
#pragma once

#include <memory>

#include "runtime/FormWindow.h"
#include "shell/CNetGet.h"
#include "shell/FormParts.h"

namespace glimra {

class frmVerCheck : public FormWindow {
 public:
  enum : UINT { kLabel1 = 1, kLblServer = 2, kPicture1 = 3, kCmdCancel = 10 };
  static constexpr char kWaitText[] = "Please wait while Glimra checks for an upgrade.";
  // Connecting, the answer's headers and its body together.
  static constexpr DWORD kCheckDeadlineMs = 10000;

  frmVerCheck();
  HostedControl& cmdCancel() { return *Control(kCmdCancel); }
  void cmdCancel_Click() { Unload(); }

 protected:
  DWORD WindowStyle() const override { return WS_POPUP | WS_BORDER | WS_CLIPCHILDREN; }
  DWORD WindowExStyle() const override { return WS_EX_TOOLWINDOW; }
  void OnLoad() override;
  void OnCommand(UINT id, UINT code, HWND control) override;

 private:
  void AddControls(const std::string& host);
  void Check(const std::string& url);

  std::unique_ptr<LabelFont> bold_, plain_;
};

}  // namespace glimra
