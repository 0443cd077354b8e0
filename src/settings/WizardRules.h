// The export/import wizard's rules that need no window: which page Next and
// Back lead to and what Next refuses, which drives are offered and how their
// captions read, the sub-folder typed by the member, the texts of the pages,
// the progress arithmetic, what each file error does to a copy, and the copy
// itself over the file operations and the member's answers.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace glimra {

// The pages, named after their frames: fraOne (welcome), fraTwo (export
// drive), fraImport (import folder), fraThree (the schemes to copy), fraFour
// (ready, then progress), fraFinish.
enum class WizardPage { One, Two, Import, Three, Four, Finish };

// Mode: 0 before a choice, 1 export, 2 import.
enum WizardMode : std::int16_t { kModeNone = 0, kModeExport = 1, kModeImport = 2 };

// ---- Next and Back ----

// What Next does on `page`: move to `to`, or stay and show `message`; on
// fraFour it starts the copy.
struct NextStep {
  WizardPage to;
  std::string message;  // empty: no message
  int style = 0;
  bool startCopy = false;
};
// `lblPath` is the export target shown on fraTwo, `lblImport` the import
// folder shown on fraImport.
NextStep DecideNext(WizardPage page, WizardMode mode, const std::string& lblPath, const std::string& lblImport);
// The page Back leads to; the page itself where Back has nowhere to go.
WizardPage DecideBack(WizardPage page, WizardMode mode);

// When and where a click on Next or Back landed: the message time in
// milliseconds and the screen position.
struct ClickStamp {
  std::uint32_t time = 0;
  int x = 0, y = 0;
};
// Whether `click` is the second half of a double click that `previous` began:
// within the double-click time and the double-click rectangle centred on it.
// A double click is one step, not two.
bool IsSecondClickOfDouble(const std::optional<ClickStamp>& previous, const ClickStamp& click,
                           std::uint32_t doubleClickTime, int rectangleWidth, int rectangleHeight);

extern const char kChooseModeMessage[];
extern const char kSelectDriveMessage[];
extern const char kLocateKeyMessage[];

// ---- drives ----

constexpr std::int16_t kDriveRemovable = 2;
constexpr std::int16_t kDriveFixed = 3;
constexpr std::size_t kMaxDriveOptions = 7;

// How a drive is described: "Floppy Drive (recommended)" for A:\ and B:\,
// "Hard Disk (not recommended)" for C:\ and other fixed drives, "Removable
// Drive" for other removable ones, empty otherwise.
std::string IsFloppy(const std::string& root, std::int16_t driveType);
// "( A:\ ) Floppy Drive (recommended)".
std::string DriveCaption(const std::string& root, std::int16_t driveType);
// The captions of the drives offered, A to Z, removable and fixed ones only,
// at most seven. `typeOf` is asked for each root ("A:\") in turn until the
// seventh is found.
std::vector<std::string> ScanDrives(const std::function<std::int16_t(const std::string& root)>& typeOf);
// The drive root from an option caption, in lower case: "a:\".
std::string TrimDriveLetter(const std::string& caption);
// The drive kind from an option caption, with the blanks around it: " Floppy Drive ".
std::string GetDriveFormat(const std::string& caption);

// The sub-folder the member typed, without one leading "\" and with a
// closing "\"; nothing for an empty answer.
std::optional<std::string> SubFolderFromAnswer(std::string answer);
// Whether a sub-folder as SubFolderFromAnswer gives it can be made below a
// drive's root: every part between the separators passes the scheme-name
// check, so no drive, device, wildcard or empty part gets in.
bool SubFolderUsable(const std::string& subFolder);
// The message for an answer that cannot be a sub-folder; the input box asks again.
std::string UnusableSubFolderMessage(const std::string& answer);
constexpr int kUnusableSubFolderStyle = 48;  // exclamation
// The folders to make for `subFolder` below `driveRoot`, outermost first,
// leaving out those `exists` finds.
std::vector<std::string> FoldersToMake(const std::string& driveRoot, const std::string& subFolder,
                                       const std::function<bool(const std::string& folder)>& exists);

// ---- fraFour ----

// The export folder as the copy uses it: lblPath in lower case, blanks trimmed.
std::string ExportTargetFolder(const std::string& lblPath);
// "A:\" for a folder on drive a.
std::string DriveOfFolder(const std::string& folder);
// lblMsg for an export to a drive of kind `driveKind` (trimmed GetDriveFormat)
// at `drive` ("A:\"); empty for any other kind.
std::string ExportAdvice(const std::string& driveKind, const std::string& drive);
extern const char kImportAdvice[];

// ---- fraThree ----

// The explanation in txtFiles.
std::string FilesToCopyText(WizardMode mode);
extern const char kExportFromText[];
extern const char kImportFromText[];
// The scheme a file is named after: the file name without its last four characters.
std::string SchemeNameOfFile(const std::string& fileName);
extern const char kWizardListSchemesFailure[];

// ---- progress ----

// Done after one more scheme, never above Total.
std::int16_t NextDone(std::int16_t done, std::int16_t total);
// The bar's value: the whole percent of Done over Total; 0 while Total is 0.
int ProgressValue(std::int16_t done, std::int16_t total);
std::string CanceledCaption(WizardMode mode);
// The bar's caption when an export ends without its marker file.
extern const char kExportIncompleteCaption[];
// The bar's caption when an import ends with schemes not imported.
extern const char kImportIncompleteCaption[];

// ---- file errors during a copy ----

enum class CopyKind { Backup, Restore };

enum class FileErrorAction {
  Skip,            // go on with the next statement, nothing shown
  GeneralHandler,  // the uniform error report
  AskAbortRetryIgnore,
  ShowThenEnd,     // the message, then the copy ends where it is
  AskRetryCancel,  // Retry runs the statement again, Cancel stops the copy as the Cancel button does
};
struct FileErrorResponse {
  FileErrorAction action;
  std::string message;
  int style = 0;
};
FileErrorResponse DecideFileError(CopyKind kind, long errorNumber);

// The run-time error number a failed file operation raises, from the
// system's error code; 75 (path/file access) for codes with no closer match.
long FileErrorNumber(unsigned long systemError);

// The copy after a statement's failure was handled.
enum class AfterFailure { Retry, GoOn, EndCopy };
// Abort ends the copy, Retry runs the statement again, Ignore goes on; a box
// closed without an answer counts as Abort.
AfterFailure AfterAbortRetryIgnore(std::int16_t answer);

// ---- the finish page ----

struct FinishTexts {
  std::string label9, label10, label11;
};
FinishTexts FinishPageTexts(WizardMode mode);

// The message after a copy that left schemes out (unsafe names, files that
// could not be written or read, values that could not be stored, files gone
// from the folder). An export that left anything out, its marker file
// included, has written no marker. The names show as written, the first
// kLeftOutNamesListed of them, then how many more: the box stays on the screen.
std::string LeftOutMessage(WizardMode mode, const std::vector<std::string>& names);
constexpr int kLeftOutStyle = 48;  // exclamation
constexpr std::size_t kLeftOutNamesListed = 20;

// ---- the copy ----

constexpr char kMarkerFile[] = "importfde.key";
constexpr char kMarkerText[] =
    "Please do not delete this file as it is needed for restoring/importing Fade Scheme settings!";

// The file operations a copy runs. Each raises the run-time error of its
// failure; tests replace them to meet failures a test machine cannot
// produce (a full disk, a write-protected diskette, no disk in the drive).
struct WizardFileOperations {
  std::function<void(const std::string& folder)> createFolder;
  // Writes folder + schemeName + ".fde".
  std::function<void(const std::string& schemeName, const std::string& folder)> exportScheme;
  // Writes text + CR LF to path.
  std::function<void(const std::string& path, const std::string& text)> writeMarker;
  // Removes the marker file at path; none there is no failure.
  std::function<void(const std::string& path)> removeMarker;
  // The names of the "*.fde" files of folder, in directory order.
  std::function<std::vector<std::string>(const std::string& folder)> listSchemeFiles;
  // Reads folder + schemeName + ".fde" into the scheme's key; false when the
  // file was refused or a value could not be stored.
  std::function<bool(const std::string& folder, const std::string& schemeName)> importScheme;
};

// The member's side of a copy: the wizard's progress page, or a test's script.
struct CopyMember {
  // Shows a marked-up message with the style's buttons and returns the
  // answer (1 OK, 2 Cancel, 3 Abort, 4 Retry, 5 Ignore; 0 for none).
  std::function<std::int16_t(const std::string& message, int style)> ask;
  std::function<void(const std::string& caption)> showCaption;
  // One scheme more on the bar. The member's clicks (Cancel) come in here
  // and in `pause`.
  std::function<void()> moveBar;
  // The short wait before an import reads its first file.
  std::function<void()> pause;
  std::function<bool()> cancelRequested;
};

// How a copy ended: whole (the finish page), cancelled (the bar says so and
// the buttons come back), or stopped on a failure or on what it left out.
enum class CopyEnd { Finished, Canceled, Stopped };

struct BackupJob {
  std::vector<std::string> schemes;  // in the order of the list
  std::string targetFolder;          // ends with "\"
  std::vector<std::string> foldersToMake;
};
// Writes every scheme into the target folder, and the marker only when all
// of them are there. The marker of an earlier backup goes before the first
// scheme is written: a backup cut short must not pass for a whole one.
CopyEnd RunBackup(const BackupJob& job, const WizardFileOperations& files, const CopyMember& member);

struct RestoreJob {
  std::string sourceFolder;         // ends with "\"
  std::vector<std::string> listed;  // the schemes the list showed
};
// Imports every scheme file of the source folder. A scheme the list showed
// that the folder no longer holds counts as not imported.
CopyEnd RunRestore(const RestoreJob& job, const WizardFileOperations& files, const CopyMember& member);

}  // namespace glimra
