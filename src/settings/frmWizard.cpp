#include "settings/frmWizard.h"

#include <windowsx.h>

#include <algorithm>
#include <utility>

#include "aol/modWin32API.h"
#include "runtime/ErrorReporting.h"
#include "runtime/EventPump.h"
#include "runtime/RuntimeError.h"
#include "settings/SchemeStore.h"
#include "settings/modCmnDlg.h"
#include "settings/modFileOp.h"
#include "shell/InputBox.h"
#include "shell/modMsgBox.h"
#include "ui/modZolBtns.h"

namespace glimra {

namespace {

constexpr char kModule[] = "frmWizard";
constexpr char kSubFolderPrompt[] = "Please enter the name of the sub-folder you would like to add to the Export path.";
constexpr char kExportReady[] = "Glimra is ready to Export your settings!";
constexpr char kImportReady[] = "Glimra is ready to Import your settings!";
constexpr char kPreparing[] = "Preparing to copy files...";
constexpr UINT kUnloadLater = WM_APP + 1;

// Where the pages sit: right of the picture, above the buttons.
constexpr int kPageLeft = 2100;
constexpr int kPageWidth = 5580;
constexpr int kButtonTop = 4500;

[[noreturn]] void RaiseLastFileError() { RaiseError(FileErrorNumber(GetLastError())); }

std::vector<std::string> ListSchemeFilesOnDisk(const std::string& folder) {
  std::vector<std::string> names;
  unsigned long error = ERROR_SUCCESS;
  if (!ListSchemeFileNames(folder, names, error)) RaiseError(FileErrorNumber(error));
  return names;
}

bool ImportSchemeFileFrom(const std::string& folder, const std::string& schemeName) {
  switch (ImportSchemeFile(folder, schemeName)) {
    case SchemeFileImport::Stored: return true;
    case SchemeFileImport::NotFound:
    case SchemeFileImport::Unreadable: RaiseLastFileError();
    default: return false;  // refused by the store's checks, or not all of it stored
  }
}

void RemoveMarkerFile(const std::string& path) {
  // A read-only marker would outlive the backup it vouched for.
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (DeleteFileA(path.c_str())) return;
  const DWORD error = GetLastError();
  if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) RaiseError(FileErrorNumber(error));
}

HFONT BoldVersionOf(HFONT font) {
  LOGFONTA description{};
  GetObjectA(font, sizeof description, &description);
  description.lfWeight = FW_BOLD;
  return CreateFontIndirectA(&description);
}

HFONT GuiFont() { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

}  // namespace

WizardFileOperations RealWizardFiles() {
  WizardFileOperations files;
  files.createFolder = [](const std::string& folder) {
    if (!CreateDirectoryA(folder.c_str(), nullptr)) RaiseLastFileError();
  };
  files.exportScheme = [](const std::string& schemeName, const std::string& folder) {
    SetLastError(ERROR_SUCCESS);
    if (!ExportSchemeFile(schemeName, folder)) RaiseLastFileError();
  };
  files.writeMarker = [](const std::string& path, const std::string& text) {
    SetLastError(ERROR_SUCCESS);
    if (!WriteTextFile(path, text)) RaiseLastFileError();
  };
  files.removeMarker = RemoveMarkerFile;
  files.listSchemeFiles = ListSchemeFilesOnDisk;
  files.importScheme = ImportSchemeFileFrom;
  return files;
}

WizardFileOperations& WizardFiles() {
  static WizardFileOperations files = RealWizardFiles();
  return files;
}

frmWizard& Wizard() {
  static frmWizard wizard;
  return wizard;
}

void ShowWizard() {
  frmWizard& wizard = Wizard();
  wizard.Show();
  SetForegroundWindow(wizard.hWnd());
}

frmWizard::frmWizard() : FormWindow("frmWizard", 7800, 5100) {}

// ---- Loading ----

HWND frmWizard::AddLabel(WizardPage page, UINT id, const std::string& text, const TwipRect& place, bool bold) {
  HWND label = AddChild("STATIC", text, SS_NOPREFIX, id, place);
  SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(bold ? boldFont_ : GuiFont()), FALSE);
  OnPage(page, label);
  return label;
}

HostedControl& frmWizard::AddButton(UINT id, const TwipRect& place, const std::string& caption) {
  HostedControl& button = AddZolButton(id, place, caption);
  ShowWindow(button.Window(), SW_SHOW);
  return button;
}

void frmWizard::OnPage(WizardPage page, HWND control) { pages_[page].push_back(control); }

void frmWizard::AddControls() {
  constexpr int L = kPageLeft, W = kPageWidth;
  const auto option = [&](WizardPage page, UINT id, const std::string& caption, const TwipRect& place) {
    HWND button = AddChild("BUTTON", caption, BS_RADIOBUTTON | WS_TABSTOP, id, place);
    SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(GuiFont()), FALSE);
    OnPage(page, button);
    return button;
  };

  // fraOne: welcome and the choice.
  using P = WizardPage;
  AddLabel(P::One, kLabel1, "Welcome to Glimra's Import/Export Wizard!", {L, 120, W, 330}, true);
  AddLabel(P::One, kLabel2,
           "This wizard will allow you to save either your Glimra Fade Schemes or restore already saved Fade Schemes "
           "to your exisiting version of Glimra!",
           {L, 540, W, 660});
  option(P::One, kOptImport, "Import existing Glimra schemes?", {L + 120, 1320, 5400, 285});
  AddLabel(P::One, kLabel4,
           "This option will restore your saved Fade Schemes to your existing copy of Glimra from a diskette or zip "
           "drive (if available).",
           {L + 420, 1620, 5160, 660});
  option(P::One, kOptExport, "Export existing Glimra schemes?", {L + 120, 2400, 5400, 285});
  AddLabel(P::One, kLabel3,
           "This option will backup your exisiting Fade Schemes to either a diskette or zip drive (if available).",
           {L + 420, 2700, 5160, 660});

  // fraTwo: the export drive.
  AddLabel(P::Two, kLblDrive,
           "Please select one of the following removable drives to Export your Fade Scheme setting to.",
           {L, 120, W, 480});
  for (UINT i = 0; i < kMaxDriveOptions; ++i) {
    HWND drive = option(P::Two, kOptOne + i, "", {L + 120, 660 + 300 * static_cast<int>(i), 4080, 285});
    hiddenOnPage_.insert(drive);
  }
  AddLabel(P::Two, kLabel5, "Exporting Fade Scheme settings to:", {L, 2940, W, 240});
  AddLabel(P::Two, kLblPath, "", {L, 3180, W, 240}, true);
  AddLabel(P::Two, kLblDrvFormat, "", {L, 3420, 3000, 240});
  HostedControl& subFolder = AddButton(kCmdSubFolder, {L + 4020, 3720, 1560, 375}, "Add Sub-folder");
  OnPage(P::Two, subFolder.Window());
  hiddenOnPage_.insert(subFolder.Window());

  // fraImport: where the saved schemes are.
  AddLabel(P::Import, kLabel12, "Please select the location to Import your saved Fade Scheme settings from.",
           {L, 120, W, 480}, true);
  AddLabel(P::Import, kLabel13,
           "The Import Wizard will only import Fade Scheme settings that were saved with the Export Wizard.  When the "
           "Export Wizard saved the Fade Schemes settings, it includes a file entitled IMPORTFDE.KEY.  The Import "
           "Wizard needs to know the location of this file to continue.",
           {L, 600, W, 1020});
  AddLabel(P::Import, kLabel14,
           "If you Exported (saved) your Fade Scheme settings to a disk, tape drive, zip drive, etc, then insert this "
           "media now into its proper drive and click the \"Locate IMPORTFDE.KEY\" button below.  Once you have "
           "located the IMPORTFDE.KEY, double click on it.  The path to the IMPORTFDE.KEY will appear below.  Then "
           "click the \"Next\" button to continue!",
           {L, 1680, W, 1260});
  AddLabel(P::Import, kLabel15, "IMPORTFDE.KEY path:", {L, 3000, 2400, 240});
  AddLabel(P::Import, kLblImport, "", {L, 3240, W, 240}, true);
  OnPage(P::Import, AddButton(kCmdLocateKey, {L + 3360, 3660, 2220, 375}, "Locate IMPORTFDE.KEY").Window());

  // fraThree: what will be copied.
  AddLabel(P::Three, kLblFrom, kExportFromText, {L, 120, W, 480}, true);
  HWND files =
      AddChild("EDIT", "", WS_VSCROLL | ES_MULTILINE | ES_READONLY, kTxtFiles, {L, 600, W, 1140}, WS_EX_CLIENTEDGE);
  HWND list = AddChild("LISTBOX", "", WS_VSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOSEL, kLstSchemes, {L, 1860, W, 2280},
                       WS_EX_CLIENTEDGE);
  for (HWND control : {files, list}) {
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(GuiFont()), FALSE);
    OnPage(P::Three, control);
  }

  // fraFour: ready, then the progress.
  AddLabel(P::Four, kLblAction, kExportReady, {L, 120, W, 330}, true);
  AddLabel(P::Four, kLblSave, "Exporting to:", {L, 540, 1320, 240});
  AddLabel(P::Four, kLblSaveTo, "", {L + 1380, 540, W - 1380, 240}, true);
  AddLabel(P::Four, kLabel8, "Drive Type:", {L, 840, 1320, 240});
  AddLabel(P::Four, kLblDrvType, "", {L + 1380, 840, W - 1380, 240});
  AddLabel(P::Four, kLblMsg, "", {L, 1200, W, 900});
  HWND backup = AddChild("BUTTON", "Overall Progress", BS_GROUPBOX, kFraBackup, {L, 2280, W, 1560});
  SendMessageA(backup, WM_SETFONT, reinterpret_cast<WPARAM>(GuiFont()), FALSE);
  prgStatus_ = std::make_unique<ZolBar>(hWnd(), TwipsToPixelsX(L + 150), TwipsToPixelsY(2640), TwipsToPixelsX(W - 300),
                                        TwipsToPixelsY(330), kPrgStatus);
  prgStatus_->SetCaption(kPreparing);
  HostedControl& cancelProgress = AddButton(kCmdCancelProgress, {L + W - 1245, 3180, 1095, 375}, "Cancel");
  for (HWND control : {backup, prgStatus_->Window(), cancelProgress.Window()}) {
    OnPage(P::Four, control);
    hiddenOnPage_.insert(control);
  }

  // fraFinish.
  const FinishTexts finish = FinishPageTexts(kModeExport);
  AddLabel(P::Finish, kLabel9, finish.label9, {L, 120, W, 330}, true);
  AddLabel(P::Finish, kLabel10, finish.label10, {L, 600, W, 960});
  AddLabel(P::Finish, kLabel11, finish.label11, {L, 1680, W, 480});

  // Below the pages.
  AddChild("STATIC", "", WS_VISIBLE | SS_ETCHEDHORZ, 0, {120, 4380, 7560, 30});
  AddButton(kCmdHelp, {120, kButtonTop, 1095, 375}, "Help");
  AddButton(kCmdBack, {3960, kButtonTop, 1095, 375}, "<- Back");
  AddButton(kCmdNext, {5100, kButtonTop, 1095, 375}, "Next ->");
  ShowWindow(AddButton(kCmdFinish, {5100, kButtonTop, 1095, 375}, "Finish").Window(), SW_HIDE);
  AddButton(kCmdCancel, {6585, kButtonTop, 1095, 375}, "Cancel");
}

void frmWizard::OnLoad() {
  // Every opening starts afresh.
  Mode = kModeNone;
  SubFolder.clear();
  DriveRoot.clear();
  CancelRequested = kFalse;
  Done = Total = 0;
  optionTags_ = {};
  pages_.clear();
  hiddenOnPage_.clear();
  copying_ = false;
  boldFont_ = BoldVersionOf(GuiFont());
  SetCaption(kCaption);
  AddControls();
  PrepareForm(*this);
  for (UINT id :
       {kCmdHelp, kCmdBack, kCmdNext, kCmdFinish, kCmdCancel, kCmdSubFolder, kCmdLocateKey, kCmdCancelProgress})
    SetButtonColor(*Control(id), kFalse);
  DrawFormEdge(*this);
  ShowPage(WizardPage::One);
  EnableButton(kCmdBack, false);
}

void frmWizard::OnUnload() {
  prgStatus_.reset();
  pages_.clear();
  hiddenOnPage_.clear();
  if (boldFont_) DeleteObject(boldFont_);
  boldFont_ = nullptr;
}

// ---- Pages and controls ----

void frmWizard::ShowPage(WizardPage page) {
  page_ = page;
  for (const auto& [onPage, controls] : pages_)
    if (onPage != page)
      for (HWND control : controls) ShowWindow(control, SW_HIDE);
  for (HWND control : pages_[page]) ShowWindow(control, hiddenOnPage_.count(control) ? SW_HIDE : SW_SHOW);
}

void frmWizard::SetShown(HWND control, bool shown) {
  if (shown)
    hiddenOnPage_.erase(control);
  else
    hiddenOnPage_.insert(control);
  for (HWND onPage : pages_[page_])
    if (onPage == control) ShowWindow(control, shown ? SW_SHOW : SW_HIDE);
}

void frmWizard::EnableButton(UINT id, bool enabled) {
  HostedControl& button = *Control(id);
  button.SetBool(L"Enabled", enabled);
  EnableWindow(button.Window(), enabled);
}

void frmWizard::EnableNavigation(bool enabled) {
  for (UINT id : {kCmdNext, kCmdBack, kCmdCancel}) EnableButton(id, enabled);
}

std::string frmWizard::Text(UINT id) const {
  HWND control = GetDlgItem(hWnd(), static_cast<int>(id));
  std::string text(static_cast<std::size_t>(GetWindowTextLengthA(control)) + 1, '\0');
  text.resize(static_cast<std::size_t>(GetWindowTextA(control, text.data(), static_cast<int>(text.size()))));
  return text;
}

void frmWizard::SetText(UINT id, const std::string& text) {
  SetDlgItemTextA(hWnd(), static_cast<int>(id), text.c_str());
}

// ---- Page 1 ----

void frmWizard::optImport_Click() {
  CheckRadioButton(hWnd(), kOptImport, kOptExport, kOptImport);
  Mode = kModeImport;
}

void frmWizard::optExport_Click() {
  CheckRadioButton(hWnd(), kOptImport, kOptExport, kOptExport);
  Mode = kModeExport;
}

void frmWizard::ExportSettings() {
  ShowPage(WizardPage::Two);
  if (optionTags_[0].empty()) ListDrives();
}

void frmWizard::ImportSettings() { ShowPage(WizardPage::Import); }

// ---- Page 2: the export drive ----

std::int16_t frmWizard::GetDriveTypeByLetter(const std::string& root) {
  return static_cast<std::int16_t>(GetDriveTypeA(root.c_str()));
}

void frmWizard::ListDrives() {
  const std::vector<std::string> captions = glimra::ScanDrives([this](const std::string& root) {
    DoEvents();
    return GetDriveTypeByLetter(root);
  });
  for (std::size_t i = 0; i < captions.size(); ++i) {
    HWND option = GetDlgItem(hWnd(), static_cast<int>(kOptOne + i));
    SetWindowTextA(option, captions[i].c_str());
    optionTags_[i] = "USED";
    SetShown(option, true);
  }
}

std::string frmWizard::TrimDriveLetter(HWND option) {
  char caption[256] = {};
  GetWindowTextA(option, caption, sizeof caption);
  DriveRoot = glimra::TrimDriveLetter(caption);
  return DriveRoot;
}

std::string frmWizard::GetDriveFormat(HWND option) {
  char caption[256] = {};
  GetWindowTextA(option, caption, sizeof caption);
  return glimra::GetDriveFormat(caption);
}

void frmWizard::optDrive_Click(int index) {
  RunProcedure({kModule, "optDrive_Click"}, [&] {
    const UINT id = kOptOne + static_cast<UINT>(index);
    CheckRadioButton(hWnd(), kOptOne, kOptOne + kMaxDriveOptions - 1, id);
    HWND option = GetDlgItem(hWnd(), static_cast<int>(id));
    SetText(kLblPath, TrimDriveLetter(option) + SubFolder);
    SetText(kLblDrvFormat, GetDriveFormat(option));
    SetShown(Control(kCmdSubFolder)->Window(), true);
  });
}

void frmWizard::cmdSubFolder_Click() {
  RunProcedure({kModule, "cmdSubFolder_Click"}, [&] {
    NotOnTop(*this);
    const std::optional<std::string> folder = AskSubFolder();
    StayOnTop(*this);
    if (folder) {
      SetText(kLblPath, DriveRoot + *folder);
      SubFolder = *folder;
    }
  });
}

// Asks until the answer can be a folder on the drive, or is empty.
std::optional<std::string> frmWizard::AskSubFolder() {
  std::string answer = "Glimra Schemes";
  for (;;) {
    answer = InputBox(kSubFolderPrompt, "Glimra", answer);
    const std::optional<std::string> folder = SubFolderFromAnswer(answer);
    if (!folder || SubFolderUsable(*folder)) return folder;
    ShowMsg(UnusableSubFolderMessage(answer), kUnusableSubFolderStyle);
  }
}

// ---- Page 3: the import folder ----

void frmWizard::cmdLocateKey_Click() {
  RunProcedure({kModule, "cmdLocateKey_Click"}, [&] {
    NotOnTop(*this);
    const std::string folder = OpenDialog("Glimra Import Key", kMarkerFile, kOpenFolder);
    StayOnTop(*this);
    if (!folder.empty()) SetText(kLblImport, folder);
  });
}

// ---- Page 4: what will be copied ----

void frmWizard::FilesToCopy(WizardMode mode) {
  std::string text = FilesToCopyText(mode);
  SetText(kTxtFiles, text);
  GetSchemesText(mode);
}

void frmWizard::GetSchemesText(WizardMode mode) {
  HWND list = GetDlgItem(hWnd(), kLstSchemes);
  // Coming back to this page lists afresh.
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  if (mode == kModeExport) {
    ListSchemes(list, kWizardListSchemesFailure);
    return;
  }
  RunProcedure({kModule, "GetSchemesText"}, [&] {
    for (const std::string& file : WizardFiles().listSchemeFiles(Text(kLblImport)))
      SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(SchemeNameOfFile(file).c_str()));
  });
}

// ---- Page 5: ready ----

void frmWizard::ShowReadyToImport() {
  ShowPage(WizardPage::Four);
  SetText(kLblAction, kImportReady);
  SetText(kLblSave, "Importing:");
  SetText(kLblSaveTo, Text(kLblImport));
  SetShown(GetDlgItem(hWnd(), kLabel8), false);
  SetShown(GetDlgItem(hWnd(), kLblDrvType), false);
  SetText(kLblMsg, kImportAdvice);
}

void frmWizard::ShowReadyToExport() {
  ShowPage(WizardPage::Four);
  SetText(kLblAction, kExportReady);
  SetText(kLblSave, "Exporting to:");
  SetShown(GetDlgItem(hWnd(), kLabel8), true);
  SetShown(GetDlgItem(hWnd(), kLblDrvType), true);
  const std::string target = ExportTargetFolder(Text(kLblPath));
  SetText(kLblSaveTo, target);
  std::string kind = Text(kLblDrvFormat);
  kind.erase(0, kind.find_first_not_of(' '));
  kind.erase(kind.find_last_not_of(' ') + 1);
  SetText(kLblDrvType, kind);
  SetText(kLblMsg, ExportAdvice(kind, DriveOfFolder(target)));
}

// ---- Next and Back ----

void frmWizard::cmdNext_Click() {
  RunProcedure({kModule, "cmdNext_Click"}, [&] {
    const NextStep step = DecideNext(page_, Mode, Text(kLblPath), Text(kLblImport));
    if (!step.message.empty()) {
      ShowMsg(step.message, step.style);
      return;
    }
    switch (page_) {
      case WizardPage::One:
        if (Mode == kModeExport)
          ExportSettings();
        else
          ImportSettings();
        EnableButton(kCmdBack, true);
        break;
      case WizardPage::Two:
        ShowPage(WizardPage::Three);
        SetText(kLblFrom, kExportFromText);
        FilesToCopy(kModeExport);
        break;
      case WizardPage::Import:
        SetText(kLblFrom, kImportFromText);
        FilesToCopy(kModeImport);
        ShowPage(WizardPage::Three);
        break;
      case WizardPage::Three:
        if (Mode == kModeImport)
          ShowReadyToImport();
        else
          ShowReadyToExport();
        break;
      case WizardPage::Four:
        if (step.startCopy) StartCopy();
        break;
      case WizardPage::Finish: break;
    }
  });
}

void frmWizard::cmdBack_Click() {
  RunProcedure({kModule, "cmdBack_Click"}, [&] {
    const WizardPage back = DecideBack(page_, Mode);
    if (back == page_) return;
    ShowPage(back);
    if (back == WizardPage::One) EnableButton(kCmdBack, false);
  });
}

// ---- Copying ----

void frmWizard::StartCopy() {
  for (HWND control : {GetDlgItem(hWnd(), kFraBackup), prgStatus_->Window(), Control(kCmdCancelProgress)->Window()})
    SetShown(control, true);
  EnableNavigation(false);
  copying_ = true;
  Pause(300);
  const std::string folder = Text(kLblSaveTo);
  const std::string driveRoot = folder.substr(0, 1) + ":\\";
  CopyEnd end = CopyEnd::Stopped;
  try {
    end = Mode == kModeImport ? DoRestore(folder, driveRoot) : DoBackUp(folder, driveRoot);
  } catch (...) {
    copying_ = false;
    throw;
  }
  copying_ = false;
  if (IsLoaded()) EndCopy(end);
}

void frmWizard::EndCopy(CopyEnd end) {
  switch (end) {
    case CopyEnd::Finished: ShowFinish(); break;
    case CopyEnd::Canceled: ResetBar(); break;
    // A copy that stopped on a failure gives the member the buttons back.
    case CopyEnd::Stopped: EnableNavigation(true); break;
  }
}

// The progress page as the copy's member: its messages, its bar and its Cancel.
CopyMember frmWizard::ProgressPage() {
  CopyMember member;
  member.ask = [](const std::string& message, int style) { return AskMsg(message, style); };
  member.showCaption = [this](const std::string& caption) { prgStatus_->SetCaption(caption); };
  member.moveBar = [this] { MoveProgressBar(); };
  member.pause = [] { Pause(300); };
  member.cancelRequested = [this] { return IsTrue(CancelRequested); };
  return member;
}

std::vector<std::string> frmWizard::ListedSchemes() const {
  HWND list = GetDlgItem(hWnd(), kLstSchemes);
  std::vector<std::string> names;
  const int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    std::string name(static_cast<std::size_t>(std::max<LRESULT>(SendMessageA(list, LB_GETTEXTLEN, i, 0), 0)), '\0');
    SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(name.data()));
    names.push_back(name.c_str());
  }
  return names;
}

CopyEnd frmWizard::DoBackUp(const std::string& targetFolder, const std::string& driveRoot) {
  CopyEnd end = CopyEnd::Stopped;
  RunProcedure({kModule, "DoBackUp"}, [&] {
    BackupJob job;
    job.schemes = ListedSchemes();
    job.targetFolder = targetFolder;
    if (!SubFolder.empty()) job.foldersToMake = FoldersToMake(driveRoot, SubFolder, FolderExists);
    Total = static_cast<std::int16_t>(job.schemes.size());
    CancelRequested = kFalse;
    Done = 0;
    end = RunBackup(job, WizardFiles(), ProgressPage());
  });
  return end;
}

CopyEnd frmWizard::DoRestore(const std::string& sourceFolder, const std::string& /*driveRoot*/) {
  CopyEnd end = CopyEnd::Stopped;
  RunProcedure({kModule, "DoRestore"}, [&] {
    RestoreJob job;
    job.sourceFolder = sourceFolder;
    job.listed = ListedSchemes();
    Total = static_cast<std::int16_t>(job.listed.size());
    CancelRequested = kFalse;
    Done = 0;
    end = RunRestore(job, WizardFiles(), ProgressPage());
  });
  return end;
}

bool frmWizard::UpdateFadeReg(const std::string& sourceFolder, const std::string& schemeName) {
  return WizardFiles().importScheme(sourceFolder, schemeName);
}

void frmWizard::MoveProgressBar() {
  Done = NextDone(Done, Total);
  prgStatus_->SetValue(ProgressValue(Done, Total));
  Pause(100);
}

void frmWizard::ResetBar() {
  prgStatus_->SetCaption(CanceledCaption(Mode));
  prgStatus_->SetValue(0);
  EnableNavigation(true);
}

void frmWizard::ShowFinish() {
  ShowPage(WizardPage::Finish);
  ShowWindow(Control(kCmdNext)->Window(), SW_HIDE);
  ShowWindow(Control(kCmdFinish)->Window(), SW_SHOW);
  const FinishTexts texts = FinishPageTexts(Mode);
  SetText(kLabel9, texts.label9);
  SetText(kLabel10, texts.label10);
  SetText(kLabel11, texts.label11);
}

// ---- Other buttons ----

void frmWizard::cmdCancelProgress_Click() { CancelRequested = kTrue; }

// Unloading inside the button's own click would pull the button away under
// it; the window goes once the click is over.
void frmWizard::cmdCancel_Click() { PostMessageA(hWnd(), kUnloadLater, 0, 0); }
void frmWizard::cmdFinish_Click() { PostMessageA(hWnd(), kUnloadLater, 0, 0); }

void frmWizard::cmdHelp_Click() {
  RunProcedure({kModule, "cmdHelp_Click"}, [&] { RunWinHelp(*this, kHelpKeyword, kFalse); });
}

// ---- Window events ----

// A double click on Next or Back is one step: the second click of it would
// otherwise move on at once, past the page that asks for the diskette.
bool frmWizard::IsSecondClickOfDouble(UINT id) {
  const DWORD position = GetMessagePos();
  const ClickStamp click{static_cast<std::uint32_t>(GetMessageTime()), GET_X_LPARAM(position), GET_Y_LPARAM(position)};
  const bool second = id == lastStepButton_ &&
                      glimra::IsSecondClickOfDouble(lastStepClick_, click, GetDoubleClickTime(),
                                                    GetSystemMetrics(SM_CXDOUBLECLK), GetSystemMetrics(SM_CYDOUBLECLK));
  lastStepButton_ = id;
  // A third click starts a double click of its own.
  lastStepClick_ = second ? std::nullopt : std::optional<ClickStamp>(click);
  return second;
}

void frmWizard::OnCommand(UINT id, UINT code, HWND) {
  if (code != BN_CLICKED) return;
  if ((id == kCmdNext || id == kCmdBack) && IsSecondClickOfDouble(id)) return;
  if (id >= kOptOne && id < kOptOne + kMaxDriveOptions) {
    optDrive_Click(static_cast<int>(id - kOptOne));
    return;
  }
  switch (id) {
    case kOptImport: optImport_Click(); break;
    case kOptExport: optExport_Click(); break;
    case kCmdSubFolder: cmdSubFolder_Click(); break;
    case kCmdLocateKey: cmdLocateKey_Click(); break;
    case kCmdNext: cmdNext_Click(); break;
    case kCmdBack: cmdBack_Click(); break;
    case kCmdCancel: cmdCancel_Click(); break;
    case kCmdFinish: cmdFinish_Click(); break;
    case kCmdHelp: cmdHelp_Click(); break;
    case kCmdCancelProgress: cmdCancelProgress_Click(); break;
    default: break;
  }
}

// Closing the window while it copies asks the copy to stop instead.
bool frmWizard::OnClose() {
  if (!copying_) return true;
  CancelRequested = kTrue;
  return false;
}

bool frmWizard::OnMessage(UINT message, WPARAM wp, LPARAM lp, LRESULT& result) {
  if (message == kUnloadLater) {
    if (!copying_) Unload();
    return true;
  }
  // The explanation box keeps a white field like an editable one.
  if (message == WM_CTLCOLORSTATIC && reinterpret_cast<HWND>(lp) == GetDlgItem(hWnd(), kTxtFiles)) {
    SetBkColor(reinterpret_cast<HDC>(wp), GetSysColor(COLOR_WINDOW));
    result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    return true;
  }
  return false;
}

// ---- Picture1 ----

void frmWizard::OnPaint(HDC dc) { DrawPicture(dc); }

// A deep blue panel fading to light blue with a diskette on it.
void frmWizard::DrawPicture(HDC dc) {
  const RECT panel{TwipsToPixelsX(120), TwipsToPixelsY(120), TwipsToPixelsX(1920), TwipsToPixelsY(4260)};
  const int height = panel.bottom - panel.top;
  for (int y = 0; y < height; ++y) {
    const int shade = 255 * y / (height > 1 ? height - 1 : 1);
    HBRUSH band = CreateSolidBrush(RGB(16 + shade * 100 / 255, 40 + shade * 140 / 255, 128 + shade * 110 / 255));
    const RECT line{panel.left, panel.top + y, panel.right, panel.top + y + 1};
    FillRect(dc, &line, band);
    DeleteObject(band);
  }
  DrawEdge(dc, const_cast<RECT*>(&panel), EDGE_SUNKEN, BF_RECT);
  // The diskette: a dark body, a metal shutter, a white label.
  const int size = (panel.right - panel.left) * 3 / 5;
  const int left = (panel.left + panel.right - size) / 2;
  const int top = panel.top + height / 3 - size / 2;
  const auto fill = [&](int l, int t, int r, int b, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    const RECT area{left + l * size / 20, top + t * size / 20, left + r * size / 20, top + b * size / 20};
    FillRect(dc, &area, brush);
    DeleteObject(brush);
  };
  fill(0, 0, 20, 20, RGB(24, 24, 32));
  fill(5, 0, 15, 7, RGB(176, 180, 188));
  fill(11, 1, 13, 6, RGB(24, 24, 32));
  fill(3, 10, 17, 20, RGB(250, 250, 250));
  fill(4, 12, 16, 13, RGB(200, 40, 40));
  fill(4, 15, 16, 16, RGB(120, 120, 120));
  fill(4, 17, 13, 18, RGB(120, 120, 120));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(255, 255, 255));
  HGDIOBJ old = SelectObject(dc, boldFont_ ? boldFont_ : GuiFont());
  RECT caption{panel.left, top + size + 12, panel.right, top + size + 40};
  DrawTextA(dc, "Glimra", -1, &caption, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(dc, old);
}

}  // namespace glimra
