#include "shell/frmUpdate.h"

#include "aol/modAOLFunctions.h"
#include "runtime/ErrorReporting.h"
#include "settings/MakerSite.h"
#include "shell/UpgradeNotify.h"
#include "ui/modZolBtns.h"

namespace glimra {

namespace {

constexpr char kModule[] = "frmUpdate";

}  // namespace

frmUpdate::frmUpdate() : FormWindow("frmUpdate", 5400, 2280) {}

void frmUpdate::AddControls() {
  SetCaption(kCaption);
  plain_ = std::make_unique<LabelFont>(8, false);
  bold_ = std::make_unique<LabelFont>(8, true);
  AddLogo(*this, kPicture1, {180, 180, 600, 600});
  AddLabel(*this, kLabel1, "Your version of Glimra:", {960, 210, 2520, 255}, *plain_);
  AddLabel(*this, kLblCurVer, "", {3540, 210, 1680, 255}, *bold_);
  AddLabel(*this, kLabel2, "Posted version of Glimra:", {960, 510, 2520, 255}, *plain_);
  AddLabel(*this, kLblReport, "", {3540, 510, 1680, 255}, *bold_);
  AddChild("STATIC", "", WS_VISIBLE | SS_ETCHEDHORZ, kLine1, {180, 915, 5040, 30});
  AddLabel(*this, kLblMsg, "", {180, 1035, 5040, 690}, *plain_);
  ShowWindow(AddZolButton(kCmdYes, {2745, 1815, 1215, 330}, "Yes").Window(), SW_SHOW);
  ShowWindow(AddZolButton(kCmdOK, {4005, 1815, 1215, 330}, "OK").Window(), SW_SHOW);
}

void frmUpdate::OnLoad() {
  RunProcedure({kModule, "Form_Load"}, [&] {
    AddControls();
    PrepareForm(*this);
    SetButtonColor(cmdYes(), kFalse);
    SetButtonColor(cmdOK(), kFalse);
    DrawFormEdge(*this);
    const bool newer = UpgradeAvailable() == 1;
    cmdOK().SetText(L"Caption", newer ? "No" : "OK");
    ShowWindow(cmdYes().Window(), newer ? SW_SHOW : SW_HIDE);
    reportColour_ = newer ? kNewerColour : kPlainColour;
    MessageBeep(MB_ICONQUESTION);
  });
}

void frmUpdate::OnUnload() {
  if (labelBrush_) DeleteObject(labelBrush_);
  labelBrush_ = nullptr;
}

void frmUpdate::cmdYes_Click() {
  RunProcedure({kModule, "cmdYes_Click"}, [&] {
    Hide();
    RunAOLCommand(ReadMakerSite().DownloadPage());
    Unload();
  });
}

void frmUpdate::cmdOK_Click() {
  RunProcedure({kModule, "cmdOK_Click"}, [&] { Unload(); });
}

void frmUpdate::OnCommand(UINT id, UINT code, HWND) {
  if (code != BN_CLICKED) return;
  if (id == kCmdYes) cmdYes_Click();
  if (id == kCmdOK) cmdOK_Click();
}

bool frmUpdate::OnMessage(UINT message, WPARAM wp, LPARAM lp, LRESULT& result) {
  if (message != WM_CTLCOLORSTATIC || reinterpret_cast<HWND>(lp) != lblReport()) return false;
  result = ColourLabel(reinterpret_cast<HDC>(wp), *this, reportColour_, labelBrush_);
  return true;
}

}  // namespace glimra
