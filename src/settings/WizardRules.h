// The export/import wizard's rules that need no window: which page Next and
// Back lead to and what Next refuses, which drives are offered and how their
// captions read, the sub-folder typed by the member, the texts of the pages,
// the progress arithmetic and what each file error does to a copy.
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

// ---- file errors during a copy ----

enum class CopyKind { Backup, Restore };

enum class FileErrorAction {
  Skip,            // go on with the next statement, nothing shown
  GeneralHandler,  // the uniform error report
  AskAbortRetryIgnore,
  ShowThenEnd,    // the message, then the copy ends where it is
  ShowThenRetry,  // the message, then the statement runs again
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
// could not be written or read, values that could not be stored). An export
// that left anything out, its marker file included, has written no marker.
std::string LeftOutMessage(WizardMode mode, const std::vector<std::string>& names);
constexpr int kLeftOutStyle = 48;  // exclamation

}  // namespace glimra
