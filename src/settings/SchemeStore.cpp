#include "settings/SchemeStore.h"

#include <optional>
#include <vector>

#include "settings/AppOptions.h"
#include "settings/modFileOp.h"
#include "settings/modRegKeys.h"
#include "shell/modMsgBox.h"

namespace glimra {

const char kListSchemesFailure[] =
    "~B~CRCannot open registry key \"SCHEMES\"~B~CN~N ~NPlease reinstall Glimra to restore this key.~N ~N open "
    "key.~N ~NThis function will now end.";

namespace {

// Scheme files Glimra has dealt with but that are still there (a source it
// could not remove, a file it refused): value name the file's path, value
// its size and time, so the same file is neither imported nor reported twice.
constexpr char kHandledFilesKey[] = "Handled Scheme Files";
// A scheme file is a few hundred bytes; anything this large is no scheme.
constexpr ULONGLONG kLargestSchemeFile = 64 * 1024;
constexpr int kStyleExclamation = 48;

bool EndsWithFde(const std::string& name) {
  return name.size() > 4 &&
         CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, name.c_str() + name.size() - 4, 4, ".fde", 4) == CSTR_EQUAL;
}

struct SchemeFileEntry {
  std::string longName;   // "?" where a letter is outside the ANSI code page
  std::string shortName;  // the 8.3 alias; empty when the file system keeps none
  ULONGLONG size = 0;
  std::string stamp;  // size and last write time

  // A file name can hold no "?": there is one only for a letter the code
  // page cannot express, and the long name then opens nothing.
  bool LongNameExpressed() const { return longName.find('?') == std::string::npos; }
  // The name that opens the file, empty when there is none.
  std::string AccessName() const { return LongNameExpressed() ? longName : shortName; }
  // The long name as far as it can be written: "_" for each lost letter.
  std::string NearestName() const {
    std::string name = longName;
    for (char& c : name)
      if (c == '?') c = '_';
    return name;
  }
};

// The pattern "*.fde" also matches through short names; only real ".fde"
// files are scheme files.
bool IsSchemeFile(const WIN32_FIND_DATAA& found) {
  return !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && EndsWithFde(found.cFileName);
}

SchemeFileEntry EntryOf(const WIN32_FIND_DATAA& found) {
  SchemeFileEntry entry;
  entry.longName = found.cFileName;
  entry.shortName = found.cAlternateFileName;
  entry.size = (ULONGLONG{found.nFileSizeHigh} << 32) | found.nFileSizeLow;
  entry.stamp = std::to_string(entry.size) + " " + std::to_string(found.ftLastWriteTime.dwHighDateTime) + " " +
                std::to_string(found.ftLastWriteTime.dwLowDateTime);
  return entry;
}

// The scheme files of `folder` in directory order, listed before any is
// touched so that moving and deleting cannot upset the search. A folder that
// cannot be searched gives none, and its system error code in `error`.
std::vector<SchemeFileEntry> SchemeFilesIn(const std::string& folder, DWORD* error = nullptr) {
  std::vector<SchemeFileEntry> files;
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA((folder + "*.fde").c_str(), &found);
  if (error) *error = search == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
  if (search == INVALID_HANDLE_VALUE) return files;
  do {
    if (IsSchemeFile(found)) files.push_back(EntryOf(found));
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return files;
}

bool SameFileName(const std::string& a, const std::string& b) {
  return CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) == CSTR_EQUAL;
}

// The file of `folder` that holds scheme `schemeName`: found by its name, or,
// for a name with letters the code page lacks, by the name it is imported
// under. None, with the system's error code left, when there is no such file.
std::optional<SchemeFileEntry> SchemeFileOf(const std::string& folder, const std::string& schemeName) {
  const std::string fileName = schemeName + ".fde";
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA((folder + fileName).c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    FindClose(search);
    const SchemeFileEntry entry = EntryOf(found);
    if (IsSchemeFile(found) && SameFileName(entry.NearestName(), fileName)) return entry;
  } else if (GetLastError() != ERROR_FILE_NOT_FOUND) {
    return std::nullopt;  // no disk, no folder: the search's own error tells
  }
  for (const SchemeFileEntry& entry : SchemeFilesIn(folder))
    if (SameFileName(entry.NearestName(), fileName)) return entry;
  SetLastError(ERROR_FILE_NOT_FOUND);
  return std::nullopt;
}

// For files of Glimra's own incoming folder only: the member's files keep
// their attributes.
void ClearReadOnly(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
    SetFileAttributesA(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
}

bool AlreadyHandled(const std::string& path, const SchemeFileEntry& file) {
  return ReadSetting(kHandledFilesKey, path) == file.stamp;
}
void RememberHandled(const std::string& path, const SchemeFileEntry& file) {
  WriteSetting(kHandledFilesKey, path, file.stamp);
}

// The message markup has no escape for its "~": a name shows one as "-".
std::string Literal(std::string text) {
  for (char& c : text)
    if (c == '~') c = '-';
  return "~B" + text + "~B";
}

using Problems = std::vector<std::string>;

std::string SchemeNameOf(const std::string& fileName) { return fileName.substr(0, fileName.size() - 4); }

std::string UnreadableNameNotice(const std::string& path) {
  return Literal(path) +
         " has letters in its name that this computer cannot show, and Glimra cannot read it. Rename it and press "
         "Refresh.";
}

std::string RenamedNotice(const std::string& path, const SchemeFileEntry& file) {
  return Literal(path) + " has letters in its name that this computer cannot show; it was imported as the scheme " +
         Literal(SchemeNameOf(file.NearestName())) + ".";
}

std::string TooLargeNotice(const std::string& path, const SchemeFileEntry& file) {
  return Literal(path) + " is far larger than any fade scheme (" + std::to_string(file.size / 1024) +
         " KB) and was not imported. It stays where it is.";
}

// Reports `problem` about `file` of `folder` unless it was reported for this
// very file before.
void ReportOnce(Problems& problems, const std::string& folder, const SchemeFileEntry& file,
                const std::string& problem) {
  const std::string path = folder + (file.AccessName().empty() ? file.longName : file.AccessName());
  if (AlreadyHandled(path, file)) return;
  RememberHandled(path, file);
  problems.push_back(problem);
}

void ShowProblems(const Problems& problems) {
  if (problems.empty() || !SchemeMessageBox()) return;
  std::string text = "~B~CRSome fade scheme files need your attention.~B~CN";
  for (const std::string& problem : problems) text += "~N ~N" + problem;
  SchemeMessageBox()(text, kStyleExclamation);
}

void CollectInto(const std::string& sourceFolder, Problems& problems) {
  const std::string incoming = IncomingFolder();
  for (const SchemeFileEntry& file : SchemeFilesIn(sourceFolder)) {
    if (file.AccessName().empty()) {
      ReportOnce(problems, sourceFolder, file, UnreadableNameNotice(sourceFolder + file.longName));
      continue;
    }
    if (file.size > kLargestSchemeFile) {
      ReportOnce(problems, sourceFolder, file, TooLargeNotice(sourceFolder + file.longName, file));
      continue;
    }
    const std::string source = sourceFolder + file.AccessName();
    // A source that stayed after an earlier import is not imported again
    // over what the member saved since; only a changed file is.
    if (AlreadyHandled(source, file)) {
      DeleteFileA(source.c_str());
      continue;
    }
    const std::string copy = incoming + file.NearestName();
    ClearReadOnly(copy);  // a read-only copy left by an earlier run cannot be replaced
    if (!CopyFileA(source.c_str(), copy.c_str(), FALSE)) continue;
    // The copy keeps a read-only source's attribute; the import must be able to delete it.
    ClearReadOnly(copy);
    if (!file.LongNameExpressed()) problems.push_back(RenamedNotice(sourceFolder + file.longName, file));
    if (DeleteFileA(source.c_str())) continue;
    RememberHandled(source, file);
    problems.push_back(Literal(source) +
                       " was imported, but Glimra cannot remove it (it may be read-only). It will not be imported "
                       "again unless it changes.");
  }
}

// The one way a scheme file is read into the registry.
SchemeFileImport ImportEntry(const std::string& folder, const SchemeFileEntry& file) {
  const std::string access = file.AccessName();
  if (access.empty()) return SchemeFileImport::NameUnreachable;
  const std::string name = SchemeNameOf(file.NearestName());
  if (CheckSchemeName(name) != SchemeNameCheck::Ok) return SchemeFileImport::NameRefused;
  if (file.size > kLargestSchemeFile) return SchemeFileImport::TooLarge;
  std::string text;
  SetLastError(ERROR_SUCCESS);
  if (!TryReadTextFile(folder + access, text)) return SchemeFileImport::Unreadable;
  bool stored = true;
  for (std::string_view line : SplitTextLines(text)) stored = ImportSchemeLine(SchemeKey(name), line) && stored;
  return stored ? SchemeFileImport::Stored : SchemeFileImport::NotAllStored;
}

void ImportFrom(const std::string& folder, Problems& problems) {
  for (const SchemeFileEntry& file : SchemeFilesIn(folder)) {
    const std::string path = folder + file.longName;
    switch (ImportEntry(folder, file)) {
      case SchemeFileImport::NameUnreachable: ReportOnce(problems, folder, file, UnreadableNameNotice(path)); break;
      case SchemeFileImport::NameRefused:
        ReportOnce(problems, folder, file,
                   Literal(path) + " was not imported: its name cannot be the name of a scheme.");
        break;
      case SchemeFileImport::TooLarge: ReportOnce(problems, folder, file, TooLargeNotice(path, file)); break;
      case SchemeFileImport::Stored:
        ClearReadOnly(folder + file.AccessName());
        DeleteFileA((folder + file.AccessName()).c_str());
        if (!file.LongNameExpressed()) problems.push_back(RenamedNotice(path, file));
        break;
      default: break;  // unreadable or not all stored: the file stays for the next import
    }
  }
}

}  // namespace

SchemeMessage& SchemeMessageBox() {
  static SchemeMessage show = [](const std::string& text, int style) { ShowMsg(text, style); };
  return show;
}

SchemeStatus& SchemeImportStatus() {
  static SchemeStatus status = [](const std::string&) {};
  return status;
}

void ListSchemes(const std::function<void(const std::string& name)>& add, const std::string& failureMessage) {
  HKEY key = nullptr;
  const std::string path = std::string(kSettingsRoot) + "Schemes";
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
    if (SchemeMessageBox()) SchemeMessageBox()(failureMessage, kStyleCritical);
    return;
  }
  std::vector<char> name(2000), keyClass(2000);
  for (DWORD index = 0;; ++index) {
    DWORD nameLength = static_cast<DWORD>(name.size());
    DWORD classLength = static_cast<DWORD>(keyClass.size());
    if (RegEnumKeyExA(key, index, name.data(), &nameLength, nullptr, keyClass.data(), &classLength, nullptr) !=
        ERROR_SUCCESS)
      break;
    add(std::string(name.data(), nameLength));
  }
  RegCloseKey(key);
}

void ListSchemes(HWND list, const std::string& failureMessage) {
  char className[64] = {};
  GetClassNameA(list, className, sizeof className);
  CharLowerA(className);
  const bool combo = std::string(className).find("combo") != std::string::npos;
  ListSchemes(
      [&](const std::string& name) {
        SendMessageA(list, combo ? CB_ADDSTRING : LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
      },
      failureMessage);
}

bool ExportSchemeFile(const std::string& schemeName, const std::string& folder) {
  // A name that could reach another key or folder is refused outright.
  if (CheckSchemeName(schemeName) != SchemeNameCheck::Ok) return false;
  FadeScheme scheme;
  ReadFadeScheme(ReadSetting, schemeName, scheme);
  const std::string fadeNumber = ReadSetting(SchemeKey(schemeName), "Fade Number");
  return WriteTextFile(folder + schemeName + ".fde", SchemeFileText(fadeNumber, scheme));
}

std::string IncomingFolder() { return AppPath() + "\\incoming\\"; }

void CollectSchemeFiles(const std::string& sourceFolder) {
  Problems problems;
  CollectInto(sourceFolder, problems);
  ShowProblems(problems);
}

bool ListSchemeFileNames(const std::string& folder, std::vector<std::string>& names, unsigned long& error) {
  DWORD searchError = ERROR_SUCCESS;
  names.clear();
  for (const SchemeFileEntry& file : SchemeFilesIn(folder, &searchError)) names.push_back(file.NearestName());
  const bool none = searchError == ERROR_FILE_NOT_FOUND || searchError == ERROR_NO_MORE_FILES;
  error = none ? ERROR_SUCCESS : searchError;
  return error == ERROR_SUCCESS;
}

SchemeFileImport ImportSchemeFile(const std::string& folder, const std::string& schemeName) {
  const std::optional<SchemeFileEntry> file = SchemeFileOf(folder, schemeName);
  return file ? ImportEntry(folder, *file) : SchemeFileImport::NotFound;
}

bool ImportSchemeLine(const std::string& subkey, std::string_view line) {
  const std::optional<SchemeLineValue> named = ParseSchemeLine(line);
  return !named || WriteSetting(subkey, named->valueName, named->value);
}

void ImportSchemeFiles(const std::string& folder, VBBool showStatus) {
  Problems problems;
  if (IsTrue(showStatus)) {
    if (SchemeImportStatus()) SchemeImportStatus()("Updating Fade Schemes");
    // Without a known AOL folder these would name the root of the current drive.
    const std::string& aolPath = LiveAppOptions().AOLPath;
    if (!aolPath.empty()) {
      CollectInto(aolPath + "\\", problems);
      CollectInto(aolPath + "\\download\\", problems);
    }
    CollectInto(AppPath() + "\\", problems);
  }
  ImportFrom(folder, problems);
  ShowProblems(problems);
}

}  // namespace glimra
