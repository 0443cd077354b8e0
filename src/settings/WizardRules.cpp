#include "settings/WizardRules.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "runtime/ErrorReporting.h"
#include "settings/SchemeFile.h"
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
const char kImportIncompleteCaption[] = "Import Incomplete";

namespace {

constexpr int kStyleStop = 16;
constexpr int kStyleInformation = 64;
constexpr int kStyleStopAbortRetryIgnore = 18;
constexpr int kStyleStopRetryCancel = 21;
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
constexpr char kBackupNoDiskMessage[] = "~B~CRNo disk present!~B~CN~N ~NPlease insert a disk now and click ~BRetry~B";
constexpr char kRestoreNoDiskMessage[] =
    "There is ~B~CRno disk present~B~CN in the disk drive!~N ~NPlease insert a disk now and click ~BRetry~B";

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

// The names one to a line in bold, the first kLeftOutNamesListed of them,
// then how many more there are.
std::string Listed(const std::vector<std::string>& names) {
  std::string text;
  const std::size_t shown = std::min(names.size(), kLeftOutNamesListed);
  for (std::size_t i = 0; i < shown; ++i) text += (i ? "~N" : "") + EscapeMsgText(names[i]);
  text = "~B" + text + "~B";
  if (names.size() > shown) text += "~Nand " + std::to_string(names.size() - shown) + " more";
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

bool IsSecondClickOfDouble(const std::optional<ClickStamp>& previous, const ClickStamp& click,
                           std::uint32_t doubleClickTime, int rectangleWidth, int rectangleHeight) {
  if (!previous) return false;
  // Message times wrap around; the difference in unsigned arithmetic does not.
  const std::uint32_t elapsed = click.time - previous->time;
  return elapsed <= doubleClickTime && std::abs(click.x - previous->x) <= rectangleWidth / 2 &&
         std::abs(click.y - previous->y) <= rectangleHeight / 2;
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

bool SubFolderUsable(const std::string& subFolder) {
  if (subFolder.empty() || subFolder.back() != '\\') return false;
  for (std::size_t start = 0; start < subFolder.size();) {
    const std::size_t end = subFolder.find('\\', start);
    if (CheckSchemeName(std::string_view(subFolder).substr(start, end - start)) != SchemeNameCheck::Ok) return false;
    start = end + 1;
  }
  return true;
}

std::string UnusableSubFolderMessage(const std::string& answer) {
  return "~B~CR" + EscapeMsgText(answer) +
         "~B~CN cannot be the name of a sub-folder.~N ~NPlease enter a name without a drive letter and without any "
         "of these characters:~N~B/ : * ? \" < > |~B";
}

std::vector<std::string> FoldersToMake(const std::string& driveRoot, const std::string& subFolder,
                                       const std::function<bool(const std::string& folder)>& exists) {
  std::vector<std::string> folders;
  for (std::size_t end = subFolder.find('\\'); end != std::string::npos; end = subFolder.find('\\', end + 1)) {
    const std::string folder = driveRoot + subFolder.substr(0, end + 1);
    if (!exists(folder)) folders.push_back(folder);
  }
  return folders;
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
    case 71:
      return {FileErrorAction::AskRetryCancel, backup ? kBackupNoDiskMessage : kRestoreNoDiskMessage,
              kStyleStopRetryCancel};
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
    return "~B~CRSome Fade Schemes were not imported!~B~CN~N ~NThese Fade Schemes could not be restored:~N ~N" +
           Listed(names);
  std::string text = "~B~CRExport incomplete!~B~CN~N ~N";
  if (!names.empty()) text += "These Fade Schemes could not be saved:~N ~N" + Listed(names) + "~N ~N";
  return text +
         "The ~BIMPORTFDE.KEY~B file was not written, so this disk/folder cannot be used to Import your Fade "
         "Schemes.  Please try another disk or folder.";
}

// ---- the copy ----

namespace {

// How one file statement of a copy came out.
enum class StatementEnd { Done, Skipped, Ended, Canceled };

ErrorSite CopySite(CopyKind kind) { return {"frmWizard", kind == CopyKind::Backup ? "DoBackUp" : "DoRestore"}; }

// What a failed statement leads to; nothing when it is to run again.
std::optional<StatementEnd> AfterFailedStatement(CopyKind kind, const CopyMember& member, long number,
                                                 const std::string& description) {
  const FileErrorResponse response = DecideFileError(kind, number);
  switch (response.action) {
    case FileErrorAction::Skip: return StatementEnd::Skipped;
    case FileErrorAction::ShowThenEnd: member.ask(response.message, response.style); return StatementEnd::Ended;
    case FileErrorAction::AskRetryCancel:
      if (member.ask(response.message, response.style) == kAnswerRetry) return std::nullopt;
      return StatementEnd::Canceled;
    case FileErrorAction::AskAbortRetryIgnore:
      switch (AfterAbortRetryIgnore(member.ask(response.message, response.style))) {
        case AfterFailure::Retry: return std::nullopt;
        case AfterFailure::GoOn: return StatementEnd::Skipped;
        case AfterFailure::EndCopy: return StatementEnd::Ended;
      }
      return StatementEnd::Ended;
    case FileErrorAction::GeneralHandler:
      // Abort ends the program; no answer leaves the copy (LeaveProcedure).
      if (ActOnAnswer(ReportError(CopySite(kind), 0, number, description)) == kAnswerIgnore)
        return StatementEnd::Skipped;
      return std::nullopt;
  }
  return StatementEnd::Ended;
}

StatementEnd RunStatement(CopyKind kind, const CopyMember& member, const std::function<void()>& statement) {
  for (;;) {
    try {
      statement();
      return StatementEnd::Done;
    } catch (const LeaveProcedure&) {
      throw;
    } catch (const EndProgramNow&) {
      throw;
    } catch (...) {
      const auto [number, description] = DescribeException(std::current_exception());
      if (const std::optional<StatementEnd> end = AfterFailedStatement(kind, member, number, description)) return *end;
    }
  }
}

// The copy's end for a statement that ended it or was cancelled.
std::optional<CopyEnd> EndOf(StatementEnd end) {
  if (end == StatementEnd::Ended) return CopyEnd::Stopped;
  if (end == StatementEnd::Canceled) return CopyEnd::Canceled;
  return std::nullopt;
}

bool SameName(const std::string& a, const std::string& b) { return Lower(a) == Lower(b); }

// The listed schemes the folder no longer holds.
std::vector<std::string> GoneFromFolder(const std::vector<std::string>& listed, const std::vector<std::string>& found) {
  std::vector<std::string> gone;
  for (const std::string& name : listed) {
    const bool there = std::any_of(found.begin(), found.end(),
                                   [&](const std::string& file) { return SameName(SchemeNameOfFile(file), name); });
    if (!there) gone.push_back(name);
  }
  return gone;
}

// Makes the target's folders and removes the marker of an earlier backup;
// the copy's end when that cannot be done.
std::optional<CopyEnd> PrepareBackupTarget(const BackupJob& job, const WizardFileOperations& files,
                                           const CopyMember& member) {
  for (const std::string& folder : job.foldersToMake)
    if (const auto end = EndOf(RunStatement(CopyKind::Backup, member, [&] { files.createFolder(folder); }))) return end;
  const StatementEnd removed =
      RunStatement(CopyKind::Backup, member, [&] { files.removeMarker(job.targetFolder + kMarkerFile); });
  if (removed == StatementEnd::Canceled) return CopyEnd::Canceled;
  // A marker that stays would vouch for whatever this copy leaves behind.
  if (removed != StatementEnd::Done) return CopyEnd::Stopped;
  return std::nullopt;
}

CopyEnd EndIncomplete(WizardMode mode, const std::vector<std::string>& leftOut, const CopyMember& member) {
  member.showCaption(mode == kModeImport ? kImportIncompleteCaption : kExportIncompleteCaption);
  member.ask(LeftOutMessage(mode, leftOut), kLeftOutStyle);
  return CopyEnd::Stopped;
}

}  // namespace

CopyEnd RunBackup(const BackupJob& job, const WizardFileOperations& files, const CopyMember& member) {
  if (const auto end = PrepareBackupTarget(job, files, member)) return *end;
  std::vector<std::string> leftOut;
  for (const std::string& name : job.schemes) {
    member.showCaption("Copying " + name);
    member.moveBar();
    // A name that would reach another folder or a device is never written.
    if (CheckSchemeName(name) != SchemeNameCheck::Ok) {
      leftOut.push_back(name);
    } else {
      const StatementEnd written =
          RunStatement(CopyKind::Backup, member, [&] { files.exportScheme(name, job.targetFolder); });
      if (const auto end = EndOf(written)) return *end;
      if (written == StatementEnd::Skipped) leftOut.push_back(name);
    }
    if (member.cancelRequested()) return CopyEnd::Canceled;
  }
  if (!leftOut.empty()) return EndIncomplete(kModeExport, leftOut, member);
  const StatementEnd marked =
      RunStatement(CopyKind::Backup, member, [&] { files.writeMarker(job.targetFolder + kMarkerFile, kMarkerText); });
  if (const auto end = EndOf(marked)) return *end;
  return marked == StatementEnd::Done ? CopyEnd::Finished : EndIncomplete(kModeExport, leftOut, member);
}

CopyEnd RunRestore(const RestoreJob& job, const WizardFileOperations& files, const CopyMember& member) {
  member.moveBar();
  std::vector<std::string> found;
  const StatementEnd listed =
      RunStatement(CopyKind::Restore, member, [&] { found = files.listSchemeFiles(job.sourceFolder); });
  if (const auto end = EndOf(listed)) return *end;
  std::vector<std::string> leftOut;
  for (std::size_t i = 0; i < found.size(); ++i) {
    const std::string name = SchemeNameOfFile(found[i]);
    member.showCaption("Copying " + name);
    if (i == 0)
      member.pause();
    else
      member.moveBar();
    // A file name that is no safe scheme name is never stored.
    bool stored = false;
    if (CheckSchemeName(name) == SchemeNameCheck::Ok) {
      const StatementEnd read =
          RunStatement(CopyKind::Restore, member, [&] { stored = files.importScheme(job.sourceFolder, name); });
      if (const auto end = EndOf(read)) return *end;
    }
    if (!stored) leftOut.push_back(name);
    // Cancel stops between schemes, as the export does.
    if (member.cancelRequested()) return CopyEnd::Canceled;
  }
  for (const std::string& name : GoneFromFolder(job.listed, found)) leftOut.push_back(name);
  return leftOut.empty() ? CopyEnd::Finished : EndIncomplete(kModeImport, leftOut, member);
}

}  // namespace glimra
