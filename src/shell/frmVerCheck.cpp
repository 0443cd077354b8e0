#include "shell/frmVerCheck.h"

#include "aol/modWin32API.h"
#include "runtime/ErrorReporting.h"
#include "runtime/EventPump.h"
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
// How often the wait looks whether the fetch has ended.
constexpr unsigned kFetchPollMs = 50;

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

// The fetch runs on a thread of its own while this window, Glimra's other
// windows and the client's calls into Glimra go on being answered; the
// whole check has one deadline, and Cancel ends it at once.
void frmVerCheck::Check(const std::string& url) {
  BackgroundFetch fetch(url, kCheckDeadlineMs);
  const bool ended = PumpUntil([&] { return fetch.Finished() || !IsLoaded(); }, kCheckDeadlineMs, kFetchPollMs);
  if (!IsLoaded()) return;  // cancelled: the fetch is given up and ends by itself
  if (!ended) {
    ShowMsg(CheckFailedMessage(WinInetErrorText(ERROR_INTERNET_TIMEOUT)), kStyleStop);
    return;
  }
  const BackgroundFetch::Result& outcome = fetch.Outcome();
  if (!outcome.fetched) {
    ShowMsg(CheckFailedMessage(outcome.error), kStyleStop);
    return;
  }
  PostedVersion() = std::string(WithoutByteOrderMark(outcome.text));
  Hide();
  UpgradeNotify();
}

void frmVerCheck::OnCommand(UINT id, UINT code, HWND) {
  if (id == kCmdCancel && code == BN_CLICKED) cmdCancel_Click();
}

}  // namespace glimra
