#include "settings/SchemeStore.h"

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

bool EndsWithFde(const std::string& name) {
  return name.size() > 4 &&
         CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, name.c_str() + name.size() - 4, 4, ".fde", 4) == CSTR_EQUAL;
}

// The scheme files of `folder` in directory order, listed before any is
// touched so that moving and deleting cannot upset the search.
std::vector<std::string> SchemeFilesIn(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA((folder + "*.fde").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    // The pattern also matches through short names; keep real ".fde" files only.
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && EndsWithFde(found.cFileName))
      names.push_back(found.cFileName);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return names;
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
  const std::string incoming = IncomingFolder();
  for (const std::string& name : SchemeFilesIn(sourceFolder)) {
    const std::string source = sourceFolder + name;
    if (CopyFileA(source.c_str(), (incoming + name).c_str(), FALSE)) DeleteFileA(source.c_str());
  }
}

bool ImportSchemeLine(const std::string& subkey, std::string_view line) {
  const std::optional<SchemeLineValue> named = ParseSchemeLine(line);
  return !named || WriteSetting(subkey, named->valueName, named->value);
}

void ImportSchemeFiles(const std::string& folder, VBBool showStatus) {
  if (IsTrue(showStatus)) {
    if (SchemeImportStatus()) SchemeImportStatus()("Updating Fade Schemes");
    // Without a known AOL folder these would name the root of the current drive.
    const std::string& aolPath = LiveAppOptions().AOLPath;
    if (!aolPath.empty()) {
      CollectSchemeFiles(aolPath + "\\");
      CollectSchemeFiles(aolPath + "\\download\\");
    }
    CollectSchemeFiles(AppPath() + "\\");
  }
  for (const std::string& fileName : SchemeFilesIn(folder)) {
    const std::string name = fileName.substr(0, fileName.size() - 4);
    if (CheckSchemeName(name) != SchemeNameCheck::Ok) continue;
    std::string text;
    if (!TryReadTextFile(folder + fileName, text)) continue;
    bool stored = true;
    for (std::string_view line : SplitTextLines(text)) stored = ImportSchemeLine(SchemeKey(name), line) && stored;
    if (stored) DeleteFileA((folder + fileName).c_str());
  }
}

}  // namespace glimra
