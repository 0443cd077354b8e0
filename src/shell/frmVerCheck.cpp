#include "shell/frmVerCheck.h"

#include "aol/modWin32API.h"
#include "runtime/ErrorReporting.h"
#include "settings/MakerSite.h"
#include "shell/UpgradeNotify.h"
#include "shell/UpgradeRules.h"
#include "shell/modMsgBox.h"
#include "ui/modZolBtns.h"

namespace glimra {

namespace {

constexpr int kStyleStop = 16;
// Long enough for the window to be painted before the fetch holds the thread.
constexpr double kPaintPause = 50;

}  // namespace

frmVerCheck::frmVerCheck() : FormWindow("frmVerCheck", 6240, 1350) {}

void frmVerCheck::AddControls(const std::string& host) {
  SetCaption("");
  bold_ = std::make_unique<LabelFont>(8, true);
  plain_ = std::make_unique<LabelFont>(8, false);
  AddLogo(*this, kPicture1, {180, 180, 600, 600});
  AddLabel(*this, kLabel1, kWaitText, {960, 210, 5100, 255}, *bold_);
  AddLabel(*this, kLblServer, "Polling the web server " + host, {960, 510, 5100, 255}, *plain_);
  ShowWindow(AddZolButton(kCmdCancel, {4845, 870, 1215, 330}, "Cancel").Window(), SW_SHOW);
}

void frmVerCheck::OnLoad() {
  RunProcedure({"frmVerCheck", "Form_Load"}, [&] {
    const MakerSite site = ReadMakerSite();
    AddControls(site.host);
    PrepareForm(*this);
    SetButtonColor(cmdCancel(), kFalse);
    DrawFormEdge(*this);
    Show();
    Pause(kPaintPause);
    // Cancel during the pause: the member does not want the check any more.
    if (!IsLoaded()) return;
    Check(site.VersionDocument());
  });
}

void frmVerCheck::Check(const std::string& url) {
  net_ = std::make_unique<CNetGet>();
  net_->Init();
  if (IsTrue(net_->ReadUrl(url))) {
    Hide();
    UpgradeNotify();
  } else {
    ShowMsg(CheckFailedMessage(net_->GetLastError()), kStyleStop);
  }
  net_->Term();
}

void frmVerCheck::OnCommand(UINT id, UINT code, HWND) {
  if (id == kCmdCancel && code == BN_CLICKED) cmdCancel_Click();
}

}  // namespace glimra
