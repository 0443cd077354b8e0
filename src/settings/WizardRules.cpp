#include "settings/WizardRules.h"

#include <algorithm>
#include <cctype>

#include "shell/MsgBoxLayout.h"

namespace glimra {

const char kChooseModeMessage[] = "Please choose with the ~BImport~B or ~BExport~B option before continuing.";
const char kSelectDriveMessage[] = "Please ~B~CRselect a drive letter~B~CN to Export your Fade Scheme settings to.";
const char kLocateKeyMessage[] =
    "The location for the ~BIMPORT.KEY~B file has not been specified.~N ~NPlease click the ~B~CRLocate "
    "IMPORT.KEY~B~CN button to locate this file before continuing.";
const char kImportAdvice[] =
    "If the above information is correct, please click the \"Next\" button to continue the Import process.  "
    "Otherwise, click \"Back\" to make the appropriate changes.";
const char kExportFromText[] = "You are about to Export the following Glimra Fade Schemes:";
const char kImportFromText[] = "You are about to Import the following Fadae Schemes from this location:";
const char kWizardListSchemesFailure[] =
    "~B~CRCannot open registry key't open key \"SCHEMES\"~B~CN~N ~NPlease reinstall Glimra to restore this registry "
    "key.~N ~NThis function will now end.";
const char kExportIncompleteCaption[] = "Export Incomplete";

namespace {

constexpr int kStyleStop = 16;
constexpr int kStyleInformation = 64;
constexpr int kStyleStopAbortRetryIgnore = 18;
constexpr char kFloppyDrive[] = "Floppy Drive (recommended)";
constexpr char kHardDisk[] = "Hard Disk (not recommended)";
constexpr char kRemovableDrive[] = "Removable Drive";
constexpr char kClickNext[] = " and click \"Next\" to continue.";

constexpr char kFilePathMessage[] =
    "~B~CRFile/Path access error!~B~CN~N ~NThe diskette in the disk drive is ~Bcorrupted~B.~N ~NPlease try another "
    "diskette.";
constexpr char kPermissionMessage[] =
    "~B~CRPermission Denied!~B~CN~N ~NThe diskette in the disk drive is ~Bwrite-protected~B.";
constexpr char kDiskFullMessage[] =
    "~B~CRDisk is full!~B~CN~N ~NPlease free up some space on this disk and try this operation again.";
constexpr char kBackupNoDiskMessage[] = "~B~CRNo disk present!~B~CN~N ~NPlease insert a disk now and click ~BOK~B";
constexpr char kRestoreNoDiskMessage[] =
    "There is ~B~CRno disk present~B~CN in the disk drive!~N ~NPlease insert a disk now and click ~BOK~B";

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return c < 128 ? static_cast<char>(std::tolower(c)) : static_cast<char>(c); });
  return text;
}

std::string TrimBlanks(const std::string& text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string Joined(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "" : "~N") + EscapeMsgText(name);
  return text;
}

}  // namespace

// ---- Next and Back ----

NextStep DecideNext(WizardPage page, WizardMode mode, const std::string& lblPath, const std::string& lblImport) {
  switch (page) {
    case WizardPage::One:
      if (mode == kModeExport) return {WizardPage::Two, "", 0};
      if (mode == kModeImport) return {WizardPage::Import, "", 0};
      return {page, kChooseModeMessage, kStyleStop};
    case WizardPage::Two:
      if (lblPath.empty()) return {page, kSelectDriveMessage, kStyleInformation};
      return {WizardPage::Three, "", 0};
    case WizardPage::Import:
      if (lblImport.empty()) return {page, kLocateKeyMessage, kStyleStop};
      return {WizardPage::Three, "", 0};
    case WizardPage::Three: return {WizardPage::Four, "", 0};
    case WizardPage::Four: return {WizardPage::Four, "", 0, true};
    case WizardPage::Finish: break;
  }
  return {page, "", 0};
}

WizardPage DecideBack(WizardPage page, WizardMode mode) {
  switch (page) {
    case WizardPage::Two:
    case WizardPage::Import: return WizardPage::One;
    case WizardPage::Three: return mode == kModeImport ? WizardPage::Import : WizardPage::Two;
    case WizardPage::Four: return WizardPage::Three;
    default: return page;
  }
}

// ---- drives ----

std::string IsFloppy(const std::string& root, std::int16_t driveType) {
  if (root == "A:\\" || root == "B:\\") return kFloppyDrive;
  if (root == "C:\\") return kHardDisk;
  if (driveType == kDriveRemovable) return kRemovableDrive;
  if (driveType == kDriveFixed) return kHardDisk;
  return "";
}

std::string DriveCaption(const std::string& root, std::int16_t driveType) {
  return "( " + root + " ) " + IsFloppy(root, driveType);
}

std::vector<std::string> ScanDrives(const std::function<std::int16_t(const std::string& root)>& typeOf) {
  std::vector<std::string> captions;
  for (char letter = 'A'; letter <= 'Z' && captions.size() < kMaxDriveOptions; ++letter) {
    const std::string root = std::string(1, letter) + ":\\";
    const std::int16_t type = typeOf(root);
    if (type == kDriveRemovable || type == kDriveFixed) captions.push_back(DriveCaption(root, type));
  }
  return captions;
}

std::string TrimDriveLetter(const std::string& caption) {
  const std::string start = Lower(caption.substr(0, 5));
  return start.size() > 2 ? start.substr(2) : "";
}

std::string GetDriveFormat(const std::string& caption) {
  const std::size_t close = caption.find(')');
  std::string kind = close == std::string::npos ? caption : caption.substr(close + 1);
  const std::size_t open = kind.find('(');
  if (open != std::string::npos) kind.resize(open);
  return kind;
}

std::optional<std::string> SubFolderFromAnswer(std::string answer) {
  if (answer.empty()) return std::nullopt;
  if (answer.front() == '\\') answer.erase(0, 1);
  if (answer.empty() || answer.back() != '\\') answer += '\\';
  return answer;
}

// ---- fraFour ----

std::string ExportTargetFolder(const std::string& lblPath) { return Lower(TrimBlanks(lblPath)); }

std::string DriveOfFolder(const std::string& folder) {
  if (folder.empty()) return ":\\";
  const auto letter = static_cast<unsigned char>(folder[0]);
  return std::string(1, letter < 128 ? static_cast<char>(std::toupper(letter)) : folder[0]) + ":\\";
}

std::string ExportAdvice(const std::string& driveKind, const std::string& drive) {
  if (driveKind == "Floppy Drive")
    return "Please insert a floppy diskette into the Floppy Drive \"" + drive + "\"" + kClickNext;
  if (driveKind == "Hard Disk")
    return "It is not recommended that you use your hard drive to Export (back up) your Fade Scheme settings to.  If "
           "you are sure of this selection, click \"Next\" to continue.";
  if (driveKind == "Removable Drive")
    return "Please insert the appropriate storage media (i.e. - Disk, Tape, etc.) into Removable Drive \"" + drive +
           "\"" + kClickNext;
  return "";
}

// ---- fraThree ----

std::string FilesToCopyText(WizardMode mode) {
  if (mode == kModeExport)
    return "This feature will backup the following Fade Schemes from your existing copy of Glimra.\r\n\r\n"
           "This feature will NOT back up the Glimra program itself.  It is only designed to back up "
           "your Fade Schemes!\r\n\r\n";
  return "This feature will restore to your existing copy of Glimra the following saved Fade Schemes\r\n\r\n";
}

std::string SchemeNameOfFile(const std::string& fileName) {
  return fileName.size() > 4 ? fileName.substr(0, fileName.size() - 4) : "";
}

// ---- progress ----

std::int16_t NextDone(std::int16_t done, std::int16_t total) {
  return done < total ? static_cast<std::int16_t>(done + 1) : total;
}

int ProgressValue(std::int16_t done, std::int16_t total) { return total > 0 ? done * 100 / total : 0; }

std::string CanceledCaption(WizardMode mode) { return mode == kModeImport ? "Import Canceled" : "Export Canceled"; }

// ---- file errors ----

FileErrorResponse DecideFileError(CopyKind kind, long errorNumber) {
  const bool backup = kind == CopyKind::Backup;
  switch (errorNumber) {
    case 5:
    case 53:
    case 76: return {FileErrorAction::Skip, "", 0};
    case 58: return {backup ? FileErrorAction::GeneralHandler : FileErrorAction::Skip, "", 0};
    case 52:
      if (backup) return {FileErrorAction::GeneralHandler, "", 0};
      return {FileErrorAction::AskAbortRetryIgnore, kFilePathMessage, kStyleStopAbortRetryIgnore};
    case 57:
    case 75: return {FileErrorAction::AskAbortRetryIgnore, kFilePathMessage, kStyleStopAbortRetryIgnore};
    case 61:
      if (backup) return {FileErrorAction::ShowThenEnd, kDiskFullMessage, kStyleStop};
      return {FileErrorAction::GeneralHandler, "", 0};
    case 70: return {FileErrorAction::AskAbortRetryIgnore, kPermissionMessage, kStyleStopAbortRetryIgnore};
    case 71: return {FileErrorAction::ShowThenRetry, backup ? kBackupNoDiskMessage : kRestoreNoDiskMessage, kStyleStop};
    default: return {FileErrorAction::GeneralHandler, "", 0};
  }
}

long FileErrorNumber(unsigned long systemError) {
  switch (systemError) {
    case 2: return 53;     // file not found
    case 3: return 76;     // path not found
    case 15: return 68;    // no such drive: device unavailable
    case 19: return 70;    // write-protected
    case 21: return 71;    // not ready: no disk
    case 23:               // CRC
    case 25:               // seek
    case 27:               // sector not found
    case 29:               // write fault
    case 30:               // read fault
    case 31:               // device not functioning
    case 1117: return 57;  // I/O device error
    case 32:               // sharing violation
    case 33: return 70;    // lock violation
    case 39:               // handle disk full
    case 112: return 61;   // disk full
    case 80:               // file exists
    case 183: return 58;   // already exists
    case 123:              // invalid name
    case 161:              // bad path name
    case 206: return 52;   // name too long
    default: return 75;    // access denied and anything else
  }
}

AfterFailure AfterAbortRetryIgnore(std::int16_t answer) {
  if (answer == 4) return AfterFailure::Retry;
  if (answer == 5) return AfterFailure::GoOn;
  return AfterFailure::EndCopy;
}

// ---- finish ----

FinishTexts FinishPageTexts(WizardMode mode) {
  if (mode == kModeImport)
    return {"Import Complete!",
            "It may be necessary to close and restart Glimra for some of these settings to take place.  Please do "
            "this now for the maximum results!",
            "Please click the \"Finish\" button to finish the Import process.  (This will *not* restart Glimra)"};
  return {"Export Complete!",
          "A file named IMPORTFDE.KEY has been added to your backup disk/folder.  Please do not tamper with or delete "
          "this file as it will be needed to Import your Fade Scheme settings in the future!  :)",
          "Please click the \"Finish\" button to finish the Export process!"};
}

std::string LeftOutMessage(WizardMode mode, const std::vector<std::string>& names) {
  if (mode == kModeImport)
    return "~B~CRSome Fade Schemes were not imported!~B~CN~N ~NThese Fade Schemes could not be restored:~N ~N~B" +
           Joined(names) + "~B";
  std::string text = "~B~CRExport incomplete!~B~CN~N ~N";
  if (!names.empty()) text += "These Fade Schemes could not be saved:~N ~N~B" + Joined(names) + "~B~N ~N";
  return text +
         "The ~BIMPORTFDE.KEY~B file was not written, so this disk/folder cannot be used to Import your Fade "
         "Schemes.  Please try another disk or folder.";
}

}  // namespace glimra
