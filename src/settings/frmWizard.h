// The export/import wizard: backs every fade scheme up into a folder on a
// floppy disk, removable drive or hard disk (one ".fde" file each and the
// marker file "importfde.key"), and restores a folder saved that way into
// the registry. One window whose pages are shown one at a time, driven by
// "Next ->" and "<- Back".
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "runtime/Conversions.h"
#include "runtime/FormWindow.h"
#include "runtime/ZolBar.h"
#include "settings/WizardRules.h"

namespace glimra {

// The operations on the real file system and registry.
WizardFileOperations RealWizardFiles();
// The operations the wizard uses; RealWizardFiles() unless replaced.
WizardFileOperations& WizardFiles();

class frmWizard : public FormWindow {
 public:
  enum : UINT {
    kOptImport = 101,
    kOptExport = 102,
    kLabel1 = 110,
    kLabel2,
    kLabel3,
    kLabel4,
    kLblDrive = 120,
    kOptOne = 121,  // .. kOptOne + 6 is optSeven
    kLabel5 = 128,
    kLblPath,
    kLblDrvFormat,
    kCmdSubFolder,
    kLabel12 = 140,
    kLabel13,
    kLabel14,
    kLabel15,
    kLblImport,
    kCmdLocateKey,
    kLblFrom = 150,
    kTxtFiles,
    kLstSchemes,
    kLblAction = 160,
    kLblSave,
    kLblSaveTo,
    kLabel8,
    kLblDrvType,
    kLblMsg,
    kFraBackup,
    kPrgStatus,
    kCmdCancelProgress,
    kLabel9 = 170,
    kLabel10,
    kLabel11,
    kCmdBack = 180,
    kCmdNext,
    kCmdFinish,
    kCmdCancel,
    kCmdHelp,
  };
  static constexpr char kCaption[] = "Glimra Export/Import Wizard";
  static constexpr char kHelpKeyword[] = "Import Settings";

  frmWizard();

  // Form state.
  WizardMode Mode = kModeNone;
  std::string SubFolder;
  std::string DriveRoot;
  VBBool CancelRequested = kFalse;
  std::int16_t Done = 0;
  std::int16_t Total = 0;

  WizardPage Page() const { return page_; }

  // Procedures.
  void ExportSettings();
  void ImportSettings();
  std::int16_t GetDriveTypeByLetter(const std::string& root);
  std::string TrimDriveLetter(HWND option);
  std::string GetDriveFormat(HWND option);
  void FilesToCopy(WizardMode mode);
  void GetSchemesText(WizardMode mode);
  CopyEnd DoBackUp(const std::string& targetFolder, const std::string& driveRoot);
  CopyEnd DoRestore(const std::string& sourceFolder, const std::string& driveRoot);
  bool UpdateFadeReg(const std::string& sourceFolder, const std::string& schemeName);
  void MoveProgressBar();
  void ResetBar();

  // Event handlers.
  void optImport_Click();
  void optExport_Click();
  void optDrive_Click(int index);
  void cmdSubFolder_Click();
  void cmdLocateKey_Click();
  void cmdNext_Click();
  void cmdBack_Click();
  void cmdCancel_Click();
  void cmdFinish_Click();
  void cmdHelp_Click();
  void cmdCancelProgress_Click();

 protected:
  void OnLoad() override;
  void OnUnload() override;
  void OnCommand(UINT id, UINT code, HWND control) override;
  void OnPaint(HDC dc) override;
  bool OnClose() override;
  bool OnMessage(UINT message, WPARAM wp, LPARAM lp, LRESULT& result) override;

 private:
  void AddControls();
  HWND AddLabel(WizardPage page, UINT id, const std::string& text, const TwipRect& place, bool bold = false);
  HostedControl& AddButton(UINT id, const TwipRect& place, const std::string& caption);
  void OnPage(WizardPage page, HWND control);
  void ShowPage(WizardPage page);
  void SetShown(HWND control, bool shown);
  void EnableButton(UINT id, bool enabled);
  void EnableNavigation(bool enabled);
  std::string Text(UINT id) const;
  void SetText(UINT id, const std::string& text);
  void ListDrives();
  void ShowReadyToImport();
  void ShowReadyToExport();
  void StartCopy();
  void ShowFinish();
  CopyMember ProgressPage();
  std::vector<std::string> ListedSchemes() const;
  void EndCopy(CopyEnd end);
  bool IsSecondClickOfDouble(UINT id);
  std::optional<std::string> AskSubFolder();
  void DrawPicture(HDC dc);

  WizardPage page_ = WizardPage::One;
  std::map<WizardPage, std::vector<HWND>> pages_;
  std::set<HWND> hiddenOnPage_;
  std::array<std::string, kMaxDriveOptions> optionTags_;
  std::unique_ptr<ZolBar> prgStatus_;
  HFONT boldFont_ = nullptr;
  bool copying_ = false;
  // The last click on Next or Back, to tell a double click from two clicks.
  UINT lastStepButton_ = 0;
  std::optional<ClickStamp> lastStepClick_;
};

// The one wizard window of the run; shown non-modal by the menu command.
frmWizard& Wizard();
void ShowWizard();

}  // namespace glimra
