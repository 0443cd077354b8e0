// The scheme store against the real (Wine) registry and file system: listing
// into real list and combo boxes, export, collection and import of scheme
// files, and scheme files that are damaged or hostile.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "SettingsTestSupport.h"
#include "settings/AppOptions.h"
#include "settings/SchemeStore.h"
#include "settings/modFileOp.h"
#include "settings/modRegKeys.h"

namespace glimra {
namespace {

using wine_test::FileBytes;
using wine_test::FilesIn;
using wine_test::PutFile;

const char* const kValueNames[] = {"Fade Number", "One",  "Two",  "Three",  "Four", "Five",
                                   "Six",         "Wavy", "Bold", "Italic", "ULine"};

// Every value of a key, by name.
std::map<std::string, std::string> ValuesOf(const std::string& subkey) {
  std::map<std::string, std::string> values;
  HKEY key = nullptr;
  const std::string path = std::string(kSettingsRoot) + subkey;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return values;
  for (DWORD index = 0;; ++index) {
    char name[256];
    DWORD length = sizeof name;
    if (RegEnumValueA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    values[name] = ReadSetting(subkey, name);
  }
  RegCloseKey(key);
  return values;
}

// What the chat tools window writes when it saves a scheme: the fade number,
// the colours in use, the four switches.
void SaveScheme(const std::string& name, int fadeNumber, std::vector<Colour> colours, const char* wavy,
                const char* bold, const char* italic, const char* uline) {
  const std::string key = SchemeKey(name);
  WriteSetting(key, "Fade Number", std::to_string(fadeNumber));
  for (int i = 1; i <= fadeNumber; ++i) WriteSetting(key, kColorValueNames[i], std::to_string(colours[i - 1]));
  WriteSetting(key, "Wavy", wavy);
  WriteSetting(key, "Bold", bold);
  WriteSetting(key, "Italic", italic);
  WriteSetting(key, "ULine", uline);
}

class SchemeStoreTest : public wine_test::SettingsTreeTest {
 protected:
  void SetUp() override {
    SettingsTreeTest::SetUp();
    savedMessage_ = SchemeMessageBox();
    savedStatus_ = SchemeImportStatus();
    savedAppPath_ = AppPath();
    SchemeMessageBox() = [this](const std::string& text, int style) { messages_.push_back({text, style}); };
    SchemeImportStatus() = [this](const std::string& caption) { captions_.push_back(caption); };
    AppPath() = scratch_ + "\\program";
    CreateDirectoryA(AppPath().c_str(), nullptr);
    LiveAppOptions().AOLPath.clear();
  }
  void TearDown() override {
    SchemeMessageBox() = savedMessage_;
    SchemeImportStatus() = savedStatus_;
    AppPath() = savedAppPath_;
    SettingsTreeTest::TearDown();
  }

  std::vector<std::pair<std::string, int>> messages_;
  std::vector<std::string> captions_;
  SchemeMessage savedMessage_;
  SchemeStatus savedStatus_;
  std::string savedAppPath_;
};

// ---- listing ----

std::vector<std::string> ItemsOf(HWND list, bool combo) {
  std::vector<std::string> items;
  const int count = static_cast<int>(SendMessageA(list, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    char text[512] = {};
    SendMessageA(list, combo ? CB_GETLBTEXT : LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
    items.push_back(text);
  }
  return items;
}

TEST_F(SchemeStoreTest, ListFillsListBoxesAndComboBoxesInRegistryOrder) {
  WriteSetting("Schemes", "Default", "Sunset");  // a value, not a scheme
  for (const char* name : {"Sunset", "Cool Fade", "Ocean"}) WriteSetting(SchemeKey(name), "Fade Number", "2");
  std::vector<std::string> registryOrder;
  ListSchemes([&](const std::string& name) { registryOrder.push_back(name); });
  std::vector<std::string> sorted = registryOrder;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(sorted, (std::vector<std::string>{"Cool Fade", "Ocean", "Sunset"}));

  HWND listBox = CreateWindowA("LISTBOX", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
  HWND comboBox =
      CreateWindowA("COMBOBOX", "", WS_POPUP | CBS_DROPDOWNLIST, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
  SendMessageA(comboBox, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("already there"));
  ListSchemes(listBox);
  ListSchemes(comboBox);
  EXPECT_EQ(ItemsOf(listBox, false), registryOrder);
  std::vector<std::string> comboExpected{"already there"};
  comboExpected.insert(comboExpected.end(), registryOrder.begin(), registryOrder.end());
  EXPECT_EQ(ItemsOf(comboBox, true), comboExpected);
  EXPECT_TRUE(messages_.empty());
  DestroyWindow(listBox);
  DestroyWindow(comboBox);
}

TEST_F(SchemeStoreTest, ListWithoutSchemesKeyShowsTheCriticalMessageAndLeavesTheList) {
  HWND listBox = CreateWindowA("LISTBOX", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
  SendMessageA(listBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("kept"));
  ListSchemes(listBox);
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].first,
            "~B~CRCannot open registry key \"SCHEMES\"~B~CN~N ~NPlease reinstall Glimra to restore this key.~N ~N open "
            "key.~N ~NThis function will now end.");
  EXPECT_EQ(messages_[0].second, 16);
  EXPECT_EQ(ItemsOf(listBox, false), std::vector<std::string>{"kept"});
  ListSchemes([](const std::string&) {}, "other text");
  EXPECT_EQ(messages_.back().first, "other text");
  DestroyWindow(listBox);
}

// ---- export ----

TEST_F(SchemeStoreTest, ExportWritesEachSchemeFileByteForByte) {
  SaveScheme("Bold Three", 3, {255, 65280, 16711680}, "False", "True", "False", "False");
  SaveScheme("Sea Breeze", 2, {16776960, 8388608}, "True", "False", "True", "False");
  SaveScheme("System", 6, {-2147483633, 0, 1, 2, 3, 16777215}, "False", "False", "False", "True");
  const std::string folder = Folder("backup");
  PutFile(folder + "Sea Breeze.fde", std::string(9000, 'x'));  // replaced
  for (const char* name : {"Bold Three", "Sea Breeze", "System"}) EXPECT_TRUE(ExportSchemeFile(name, folder)) << name;

  EXPECT_EQ(FileBytes(folder + "Bold Three.fde"),
            "[Options]\r\nFadeNumber=3\r\n\r\n[Colors]\r\nOne=255\r\nTwo=65280\r\nThree=16711680\r\nFour=0\r\n"
            "Five=0\r\nSix=0\r\n\r\n[Style]\r\nWavy=False\r\nBold=True\r\nItalic=False\r\nULine=False\r\n");
  EXPECT_EQ(FileBytes(folder + "Sea Breeze.fde"),
            "[Options]\r\nFadeNumber=2\r\n\r\n[Colors]\r\nOne=16776960\r\nTwo=8388608\r\nThree=0\r\nFour=0\r\n"
            "Five=0\r\nSix=0\r\n\r\n[Style]\r\nWavy=True\r\nBold=False\r\nItalic=True\r\nULine=False\r\n");
  EXPECT_EQ(FileBytes(folder + "System.fde"),
            "[Options]\r\nFadeNumber=6\r\n\r\n[Colors]\r\nOne=-2147483633\r\nTwo=0\r\nThree=1\r\nFour=2\r\n"
            "Five=3\r\nSix=16777215\r\n\r\n[Style]\r\nWavy=False\r\nBold=False\r\nItalic=False\r\nULine=True\r\n");
}

TEST_F(SchemeStoreTest, ExportOfAMissingSchemeWritesZerosAndFalse) {
  const std::string folder = Folder("out");
  EXPECT_TRUE(ExportSchemeFile("Nothing Stored", folder));
  EXPECT_EQ(FileBytes(folder + "Nothing Stored.fde"),
            "[Options]\r\nFadeNumber=\r\n\r\n[Colors]\r\nOne=0\r\nTwo=0\r\nThree=0\r\nFour=0\r\nFive=0\r\nSix=0\r\n"
            "\r\n[Style]\r\nWavy=False\r\nBold=False\r\nItalic=False\r\nULine=False\r\n");
  EXPECT_FALSE(ExportSchemeFile("Nothing Stored", scratch_ + "\\no such folder\\"));
}

TEST_F(SchemeStoreTest, UnsafeNamesExportNothingAnywhere) {
  const std::string folder = Folder("out");
  CreateDirectoryA((folder + "sub").c_str(), nullptr);  // so that "sub\x" would have somewhere to go
  const std::vector<std::string> unsafe = {"..\\Escape", "sub\\x", "sub/y", "C:drive", "..", "CON", "what?", "a|b"};
  for (const std::string& name : unsafe) {
    WriteSetting(SchemeKey(name), "Fade Number", "2");
    EXPECT_FALSE(ExportSchemeFile(name, folder)) << name;
  }
  EXPECT_EQ(FilesIn(folder), std::vector<std::string>{"sub"});
  EXPECT_TRUE(FilesIn(folder + "sub").empty());
  EXPECT_EQ(FileBytes(scratch_ + "\\Escape.fde"), "<missing>");
}

TEST_F(SchemeStoreTest, EveryOtherNameRoundTrips) {
  const std::vector<std::string> names = {"My Fade", "a.b",    ".hidden",           "x..",
                                          " lead",   "trail ", "\xC5sa's #1 & (b)", "Console"};
  int n = 0;
  for (const std::string& name : names) {
    ++n;
    SaveScheme(name, 6, {n, -n, 255 * n, 65280, 16711680, -2147483633}, n % 2 ? "True" : "False", "True", "False",
               n % 3 ? "True" : "False");
  }
  std::map<std::string, std::map<std::string, std::string>> before;
  for (const std::string& name : names) before[name] = ValuesOf(SchemeKey(name));
  const std::string folder = Folder("trip");
  for (const std::string& name : names) ASSERT_TRUE(ExportSchemeFile(name, folder)) << name;
  wine_test::DeleteGlimraTree();
  ImportSchemeFiles(folder, kFalse);
  for (const std::string& name : names) EXPECT_EQ(ValuesOf(SchemeKey(name)), before[name]) << name;
  EXPECT_TRUE(FilesIn(folder).empty());
}

// ---- import ----

TEST_F(SchemeStoreTest, ImportOfHandWrittenFilesCreatesKeysAndRemovesFiles) {
  const std::string folder = Folder("incoming");
  PutFile(folder + "My Fade.fde",
          "[Options]\r\nFadeNumber=\r\n\r\n[Colors]\r\nOne=255\r\ntwo=65280\r\nColour=255\r\nSeven=1\r\n"
          "[Style]\r\nBOLD=True\r\nwavy=yes please\r\n");
  WriteSetting(SchemeKey("Old"), "Three", "77");
  WriteSetting(SchemeKey("Old"), "One", "1");
  PutFile(folder + "Old.fde", "One=2\r\n");
  PutFile(folder + "notes.txt", "One=3\r\n");
  ImportSchemeFiles(folder, kFalse);

  const auto fade = ValuesOf(SchemeKey("My Fade"));
  EXPECT_EQ(fade,
            (std::map<std::string, std::string>{
                {"Fade Number", " "}, {"One", "255"}, {"two", "65280"}, {"BOLD", "True"}, {"wavy", "yes please"}}));
  EXPECT_EQ(ReadSetting(SchemeKey("My Fade"), "Bold"), "True");  // the registry ignores the case of names
  EXPECT_EQ(ValuesOf(SchemeKey("Old")), (std::map<std::string, std::string>{{"One", "2"}, {"Three", "77"}}));
  EXPECT_EQ(FilesIn(folder), std::vector<std::string>{"notes.txt"});
}

TEST_F(SchemeStoreTest, DamagedFilesNeverBreakTheImport) {
  const std::string folder = Folder("incoming");
  PutFile(folder + "empty.fde", "");
  std::string binary;
  unsigned state = 12345;
  for (int i = 0; i < 65536; ++i) {
    state = state * 1103515245u + 12345u;
    binary += static_cast<char>(state >> 16);
  }
  PutFile(folder + "binary.fde", binary);
  std::string huge;  // long lines, yet no larger than the import takes
  while (huge.size() < 60000) huge += "Unknown=" + std::string(1000, 'u') + "\r\n" + std::string(3000, 'n') + "\n";
  huge += "Two=" + std::string(5000, '9') + "\r\nThree=3";
  PutFile(folder + "huge.fde", huge);
  PutFile(folder + "cr only.fde", "[Colors]\rOne=1\rTwo=2\rBold=True");
  PutFile(folder + "lf only.fde", "[Colors]\nOne=1\nTwo=2\nBold=True\n");
  PutFile(folder + "no equals.fde", "FadeNumber 3\r\nOne 255\r\n");
  ImportSchemeFiles(folder, kFalse);

  EXPECT_TRUE(FilesIn(folder).empty());
  EXPECT_TRUE(messages_.empty());
  const std::map<std::string, std::string> lineEnds{{"One", "1"}, {"Two", "2"}, {"Bold", "True"}};
  EXPECT_EQ(ValuesOf(SchemeKey("cr only")), lineEnds);
  EXPECT_EQ(ValuesOf(SchemeKey("lf only")), lineEnds);
  EXPECT_TRUE(ValuesOf(SchemeKey("no equals")).empty());
  EXPECT_TRUE(ValuesOf(SchemeKey("empty")).empty());
  const auto hugeValues = ValuesOf(SchemeKey("huge"));
  EXPECT_EQ(hugeValues.size(), 2u);
  EXPECT_EQ(ReadSetting(SchemeKey("huge"), "Three"), "3");
  for (const auto& [name, value] : ValuesOf(SchemeKey("binary"))) {
    EXPECT_TRUE(std::any_of(std::begin(kValueNames), std::end(kValueNames), [&](const char* known) {
      return lstrcmpiA(known, name.c_str()) == 0;
    })) << name;
  }
}

// ---- nothing is lost ----

TEST_F(SchemeStoreTest, AFileWhoseValuesCannotBeStoredStaysForTheNextImport) {
  // Below a volatile "Schemes" key no lasting scheme key can be created.
  HKEY schemes = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, (std::string(kSettingsRoot) + "Schemes").c_str(), 0, nullptr,
                            REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &schemes, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(schemes);
  const std::string folder = Folder("incoming");
  const std::string text = "One=255\r\nBold=True\r\n";
  PutFile(folder + "Blocked.fde", text);
  ASSERT_FALSE(WriteSetting(SchemeKey("Blocked"), "One", "255"));
  ImportSchemeFiles(folder, kFalse);
  EXPECT_EQ(FileBytes(folder + "Blocked.fde"), text);

  wine_test::DeleteGlimraTree();  // the store works again: the next import takes it
  ImportSchemeFiles(folder, kFalse);
  EXPECT_EQ(FileBytes(folder + "Blocked.fde"), "<missing>");
  EXPECT_EQ(ReadSetting(SchemeKey("Blocked"), "Bold"), "True");
}

TEST_F(SchemeStoreTest, AFileThatCannotBeReadStays) {
  const std::string folder = Folder("incoming");
  const std::string path = folder + "Busy.fde";
  PutFile(path, "One=1\r\n");
  // Held by another writer that lets it be deleted but not read.
  const HANDLE held = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  ImportSchemeFiles(folder, kFalse);
  CloseHandle(held);
  EXPECT_EQ(FileBytes(path), "One=1\r\n");
  EXPECT_TRUE(ValuesOf(SchemeKey("Busy")).empty());
}

TEST_F(SchemeStoreTest, CollectMovesSchemeFilesIntoIncoming) {
  const std::string source = Folder("download");
  const std::string incoming = Folder("program\\incoming");
  PutFile(source + "One.fde", "One=1\r\n");
  PutFile(source + "Two.FDE", "Two=2\r\n");
  PutFile(source + "readme.txt", "stays");
  PutFile(incoming + "One.fde", "older copy");
  CollectSchemeFiles(source);
  EXPECT_EQ(FilesIn(source), std::vector<std::string>{"readme.txt"});
  EXPECT_EQ(FileBytes(incoming + "One.fde"), "One=1\r\n");
  EXPECT_EQ(FileBytes(incoming + "Two.FDE"), "Two=2\r\n");
}

TEST_F(SchemeStoreTest, CollectKeepsTheSourceWhenTheCopyFails) {
  const std::string source = Folder("download");
  PutFile(source + "Only Copy.fde", "One=1\r\n");
  ASSERT_FALSE(FolderExists(IncomingFolder()));  // nowhere to copy to
  CollectSchemeFiles(source);
  EXPECT_EQ(FileBytes(source + "Only Copy.fde"), "One=1\r\n");
}

TEST_F(SchemeStoreTest, ImportWithStatusCollectsFromTheAolAndProgramFolders) {
  const std::string incoming = Folder("program\\incoming");
  Folder("aol");
  Folder("aol\\download");
  LiveAppOptions().AOLPath = scratch_ + "\\aol";
  PutFile(scratch_ + "\\aol\\From Aol.fde", "One=1\r\n");
  PutFile(scratch_ + "\\aol\\download\\Downloaded.fde", "Two=2\r\n");
  PutFile(AppPath() + "\\Beside.fde", "Three=3\r\n");
  ImportSchemeFiles(incoming, kTrue);
  LiveAppOptions().AOLPath.clear();
  EXPECT_EQ(captions_, std::vector<std::string>{"Updating Fade Schemes"});
  EXPECT_EQ(ReadSetting(SchemeKey("From Aol"), "One"), "1");
  EXPECT_EQ(ReadSetting(SchemeKey("Downloaded"), "Two"), "2");
  EXPECT_EQ(ReadSetting(SchemeKey("Beside"), "Three"), "3");
  EXPECT_TRUE(FilesIn(incoming).empty());
  EXPECT_EQ(FileBytes(AppPath() + "\\Beside.fde"), "<missing>");
}

void SetReadOnly(const std::string& path, bool readOnly) {
  SetFileAttributesA(path.c_str(), readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
}

TEST_F(SchemeStoreTest, AReadOnlySchemeFileIsImportedOnceAndNeverAgainOverNewerData) {
  const std::string incoming = Folder("program\\incoming");
  Folder("aol");
  const std::string download = Folder("aol\\download");
  LiveAppOptions().AOLPath = scratch_ + "\\aol";
  PutFile(download + "Shared.fde", "One=1\r\nBold=True\r\n");
  SetReadOnly(download + "Shared.fde", true);
  PutFile(incoming + "Own.fde", "One=5\r\n");
  SetReadOnly(incoming + "Own.fde", true);
  ImportSchemeFiles(incoming, kTrue);
  EXPECT_EQ(ReadSetting(SchemeKey("Shared"), "One"), "1");
  EXPECT_EQ(ReadSetting(SchemeKey("Own"), "One"), "5");
  EXPECT_TRUE(FilesIn(incoming).empty()) << "Glimra's own copies go, read-only or not";
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_NE(messages_[0].first.find("download\\Shared.fde~B was imported"), std::string::npos) << messages_[0].first;
  EXPECT_EQ(messages_[0].second, 48);

  // The member saves newer colours under that name; the next start and Refresh keep them.
  WriteSetting(SchemeKey("Shared"), "One", "2");
  ImportSchemeFiles(incoming, kTrue);
  ImportSchemeFiles(incoming, kTrue);
  EXPECT_EQ(ReadSetting(SchemeKey("Shared"), "One"), "2");
  EXPECT_EQ(messages_.size(), 1u) << "reported once";
  EXPECT_TRUE(FilesIn(incoming).empty());
  EXPECT_EQ(FileBytes(download + "Shared.fde"), "One=1\r\nBold=True\r\n") << "the member's file is left alone";

  // A changed file is new data and comes in again.
  SetReadOnly(download + "Shared.fde", false);
  PutFile(download + "Shared.fde", "One=3\r\n");
  SetReadOnly(download + "Shared.fde", true);
  ImportSchemeFiles(incoming, kTrue);
  EXPECT_EQ(ReadSetting(SchemeKey("Shared"), "One"), "3");
  EXPECT_EQ(messages_.size(), 2u);
  LiveAppOptions().AOLPath.clear();
}

// Writes a file whose name is given in UTF-16, as another system would leave it.
void PutWideFile(const std::string& folder, const std::wstring& name, const std::string& bytes) {
  wchar_t wideFolder[MAX_PATH] = {};
  MultiByteToWideChar(CP_ACP, 0, folder.c_str(), -1, wideFolder, MAX_PATH);
  const HANDLE file = CreateFileW((std::wstring(wideFolder) + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

TEST_F(SchemeStoreTest, ForeignNamesComeInByTheirShortNamesAndOversizedFilesStay) {
  const std::wstring han = L"\u4E2D";
  BOOL lost = FALSE;
  char ansi[8] = {};
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, han.c_str(), 1, ansi, sizeof ansi, nullptr, &lost);
  ASSERT_TRUE(lost) << "the test needs a letter outside the ANSI code page";
  const std::string incoming = Folder("program\\incoming");
  Folder("aol");
  const std::string download = Folder("aol\\download");
  LiveAppOptions().AOLPath = scratch_ + "\\aol";
  PutWideFile(incoming, han + L" Fade.fde", "One=7\r\nBold=True\r\n");
  PutWideFile(download, han + L" Sea.fde", "Two=8\r\n");
  const std::string oversized = "One=9\r\n" + std::string(100 * 1024, ' ');
  PutFile(incoming + "Huge.fde", oversized);
  PutFile(download + "Big.fde", oversized);  // not even copied
  ImportSchemeFiles(incoming, kTrue);

  EXPECT_EQ(ReadSetting(SchemeKey("_ Fade"), "One"), "7");
  EXPECT_EQ(ReadSetting(SchemeKey("_ Fade"), "Bold"), "True");
  EXPECT_EQ(ReadSetting(SchemeKey("_ Sea"), "Two"), "8");
  EXPECT_EQ(FilesIn(download), std::vector<std::string>{"Big.fde"});
  EXPECT_EQ(FilesIn(incoming), std::vector<std::string>{"Huge.fde"});
  EXPECT_EQ(FileBytes(incoming + "Huge.fde"), oversized);
  EXPECT_EQ(ReadSetting(SchemeKey("Huge"), "One"), "");
  ASSERT_EQ(messages_.size(), 1u);
  const std::string& told = messages_[0].first;
  EXPECT_NE(told.find("imported as the scheme ~B_ Fade~B"), std::string::npos) << told;
  EXPECT_NE(told.find("imported as the scheme ~B_ Sea~B"), std::string::npos) << told;
  EXPECT_NE(told.find("Huge.fde~B is far larger than any fade scheme"), std::string::npos) << told;
  EXPECT_NE(told.find("Big.fde~B is far larger than any fade scheme"), std::string::npos) << told;

  ImportSchemeFiles(incoming, kTrue);
  EXPECT_EQ(messages_.size(), 1u) << "a refused file is reported once";
  EXPECT_EQ(FileBytes(incoming + "Huge.fde"), oversized);
  LiveAppOptions().AOLPath.clear();
}

TEST_F(SchemeStoreTest, ImportWithoutStatusCollectsNothing) {
  const std::string incoming = Folder("program\\incoming");
  PutFile(AppPath() + "\\Beside.fde", "Three=3\r\n");
  ImportSchemeFiles(incoming, kFalse);
  EXPECT_TRUE(captions_.empty());
  EXPECT_EQ(FileBytes(AppPath() + "\\Beside.fde"), "Three=3\r\n");
}

}  // namespace
}  // namespace glimra
