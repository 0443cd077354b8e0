#include "shell/UpgradeNotify.h"

#include <windows.h>

#include "runtime/ErrorReporting.h"
#include "settings/MakerSite.h"
#include "shell/UpgradeRules.h"
#include "shell/frmUpdate.h"
#include "shell/frmVerCheck.h"
#include "shell/modMsgBox.h"

namespace glimra {

namespace {

constexpr int kStyleStop = 16;

}  // namespace

std::string& PostedVersion() {
  static std::string posted;
  return posted;
}

std::int16_t& UpgradeAvailable() {
  static std::int16_t available = 0;
  return available;
}

void UpgradeNotify() {
  RunProcedure({"modGlimra", "UpgradeNotify"}, [&] {
    const std::optional<UpgradeOutcome> outcome = CompareVersions(VersionText(), PostedVersion());
    if (!outcome) {
      ShowMsg(CriticalErrorMessage(ReadMakerSite()), kStyleStop);
      return;
    }
    UpgradeAvailable() = UpgradeAvailableFor(*outcome);
    frmUpdate update;
    update.Load();
    SetWindowTextA(update.lblMsg(), UpgradeMessage(*outcome).c_str());
    SetWindowTextA(update.lblCurVer(), VersionText().c_str());
    SetWindowTextA(update.lblReport(), PostedVersion().c_str());
    update.Show(true);
    update.Unload();
  });
}

void RunUpgradeCheck() {
  // Glimra's windows answer during the check: a second request (the menu,
  // the about box, "/update") meets the one running and shows it instead.
  static frmVerCheck* running = nullptr;
  if (running) {
    if (running->IsLoaded()) BringWindowToTop(running->hWnd());
    return;
  }
  frmVerCheck check;
  running = &check;
  struct Done {
    ~Done() { running = nullptr; }
  } done;
  check.Load();
  check.Unload();
}

}  // namespace glimra
