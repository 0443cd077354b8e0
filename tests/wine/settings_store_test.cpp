// The settings tree in the real (Wine) registry, the options loaded from it,
// the custom colours, and the file services on the real file system.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "SettingsTestSupport.h"
#include "runtime/ErrorReporting.h"
#include "settings/AppOptions.h"
#include "settings/modCmnDlg.h"
#include "settings/modFileOp.h"
#include "settings/modRegKeys.h"

namespace glimra {
namespace {

using wine_test::FileBytes;
using wine_test::PutFile;

const char kRoot[] = "Software\\Zol Software\\Glimra";

// Stores a raw value of any type, bypassing WriteSetting.
void PutRaw(const char* subkey, const char* name, DWORD type, const void* data, DWORD size) {
  HKEY key = nullptr;
  const std::string path = std::string(kRoot) + (*subkey ? "\\" : "") + subkey;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
  RegCloseKey(key);
}

DWORD StoredType(const std::string& subkey, const char* name) {
  DWORD type = REG_NONE;
  RegGetValueA(HKEY_CURRENT_USER, (std::string(kRoot) + "\\" + subkey).c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &type,
               nullptr, nullptr);
  return type;
}

bool KeyExists(const std::string& subkey) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, (std::string(kRoot) + "\\" + subkey).c_str(), 0, KEY_READ, &key) !=
      ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  return true;
}

class RegKeys : public wine_test::SettingsTreeTest {};

TEST_F(RegKeys, WrittenTextReadsBackAsText) {
  EXPECT_TRUE(WriteSetting("", "Fader On", "True"));
  EXPECT_TRUE(WriteSetting("Colors", "Six", "-2147483633"));
  EXPECT_TRUE(WriteSetting("Schemes\\My Fade", "Fade Number", "3"));
  EXPECT_EQ(ReadSetting("", "Fader On"), "True");
  EXPECT_EQ(ReadSetting("Colors", "Six"), "-2147483633");
  EXPECT_EQ(ReadSetting("Schemes\\My Fade", "Fade Number"), "3");
  EXPECT_EQ(StoredType("Colors", "Six"), static_cast<DWORD>(REG_SZ));
  EXPECT_TRUE(WriteSetting("Colors", "Six", "0"));  // replaced
  EXPECT_EQ(ReadSetting("Colors", "Six"), "0");
}

TEST_F(RegKeys, EmptyTextIsStoredAsOneBlank) {
  EXPECT_TRUE(WriteSetting("EMail", "Alias Name", ""));
  EXPECT_EQ(ReadSetting("EMail", "Alias Name"), " ");
}

TEST_F(RegKeys, MissingKeysAndValuesReadEmpty) {
  EXPECT_EQ(ReadSetting("Nowhere", "Value"), "");
  WriteSetting("Colors", "One", "5");
  EXPECT_EQ(ReadSetting("Colors", "Two"), "");
}

TEST_F(RegKeys, TextsOfReadLimitLengthOrMoreReadAsMissing) {
  const std::string fits(1023, 'a');
  EXPECT_TRUE(WriteSetting("Long", "Fits", fits));
  EXPECT_EQ(ReadSetting("Long", "Fits"), fits);
  EXPECT_TRUE(WriteSetting("Long", "Full", std::string(1024, 'b')));
  EXPECT_EQ(ReadSetting("Long", "Full"), "");
  const std::string terminated(1024, 'c');
  PutRaw("Long", "Terminated", REG_SZ, terminated.c_str(), 1025);
  EXPECT_EQ(ReadSetting("Long", "Terminated"), "");
  EXPECT_TRUE(WriteSetting("Long", "Huge", std::string(100000, 'd')));
  EXPECT_EQ(ReadSetting("Long", "Huge"), "");
}

TEST_F(RegKeys, OnlyTextTypesReadAsText) {
  const DWORD number = 7;
  PutRaw("Types", "Dword", REG_DWORD, &number, sizeof number);
  PutRaw("Types", "Binary", REG_BINARY, "True", 4);
  PutRaw("Types", "Multi", REG_MULTI_SZ, "a\0b\0", 5);
  PutRaw("Types", "Expand", REG_EXPAND_SZ, "%TEMP%\\x", 9);
  PutRaw("Types", "Zero", REG_SZ, "ab\0cd", 6);
  EXPECT_EQ(ReadSetting("Types", "Dword"), "");
  EXPECT_EQ(ReadSetting("Types", "Binary"), "");
  EXPECT_EQ(ReadSetting("Types", "Multi"), "");
  EXPECT_EQ(ReadSetting("Types", "Expand"), "%TEMP%\\x");  // not expanded
  EXPECT_EQ(ReadSetting("Types", "Zero"), "ab");
}

TEST_F(RegKeys, DeleteRemovesASchemeKeyOnce) {
  WriteSetting("Schemes\\Gone", "One", "1");
  WriteSetting("Schemes\\Kept", "One", "1");
  EXPECT_TRUE(DeleteSettingKey("Schemes\\Gone"));
  EXPECT_FALSE(KeyExists("Schemes\\Gone"));
  EXPECT_TRUE(KeyExists("Schemes\\Kept"));
  EXPECT_FALSE(DeleteSettingKey("Schemes\\Gone"));
  EXPECT_FALSE(DeleteSettingKey("Schemes"));  // it has subkeys
  EXPECT_TRUE(KeyExists("Schemes\\Kept"));
}

class Options : public wine_test::SettingsTreeTest {
 protected:
  void SetUp() override {
    SettingsTreeTest::SetUp();
    LiveFadeSettings() = FadeSettings{};
    LiveAppOptions() = AppOptions{};
  }
};

TEST_F(Options, FreshInstallationRunsOnTheDefaults) {
  LoadOptions();
  const FadeSettings& fade = LiveFadeSettings();
  const AppOptions& options = LiveAppOptions();
  EXPECT_EQ(fade.FaderOn, kTrue);
  EXPECT_EQ(options.CurrentScheme, "Cool Fade");
  EXPECT_EQ(fade.Wavy, kFalse);
  EXPECT_EQ(fade.Bold, kFalse);
  EXPECT_EQ(fade.Italic, kFalse);
  EXPECT_EQ(fade.ULine, kFalse);
  EXPECT_EQ(fade.FadeNumber, 5);
  for (int i = 1; i <= 6; ++i) EXPECT_EQ(fade.Colors[i], 0) << i;
  EXPECT_EQ(fade.SolidFade, kFalse);
  EXPECT_EQ(options.ShowFadePanelWithChat, kTrue);
  EXPECT_EQ(options.UseChatKW, kTrue);
  EXPECT_EQ(options.UseMultiline, kTrue);
  EXPECT_FLOAT_EQ(options.MultilineBurst, 1.5f);
  EXPECT_EQ(options.CharsInLine, 60);
  EXPECT_EQ(options.UseAlias, kFalse);
  EXPECT_EQ(options.AliasName, "");
  EXPECT_EQ(options.ShowEMailSample, kTrue);
  EXPECT_EQ(options.ShowEFToolbar, kTrue);
  EXPECT_EQ(options.AOLPath, "");  // the AOL detection fills it

  LoadUserColors();
  EXPECT_EQ(LiveUserColors().WindowColor, static_cast<Colour>(0x8000000F));
  EXPECT_EQ(LiveUserColors().ButtonForecolor, 11365632);
  EXPECT_EQ(LiveUserColors().ButtonHighlight, 16757388);
  EXPECT_EQ(LiveUserColors().ButtonText, 16777215);
}

TEST_F(Options, StoredValuesAreLoaded) {
  WriteSetting("", "Fader On", "False");
  WriteSetting("Schemes", "Default", "Sunset");
  WriteSetting("Style", "Italic", "True");
  WriteSetting("Colors", "Fade Number", "7");
  const char* colours[] = {"", "255", "65280", "16711680", "-2147483633", "12345", "16777215"};
  for (int i = 1; i <= 6; ++i) WriteSetting("Colors", kColorValueNames[i], colours[i]);
  WriteSetting("Colors", "SolidFade", "True");
  WriteSetting("Options", "ShowFadePanelWithChat", "False");
  WriteSetting("Options", "Use Chat KW", "False");
  WriteSetting("Multiline", "Use Multiline", "False");
  WriteSetting("Multiline", "Multiline Burst", "0.25");
  WriteSetting("Multiline", "Chars In Line", "92.5");
  WriteSetting("EMail", "Use Alias", "True");
  WriteSetting("EMail", "Alias Name", "");
  WriteSetting("EMail", "Show EMail Sample", "False");
  WriteSetting("E-Fade", "ShowEFToolbar", "False");
  WriteSetting("User Colors", "ButtonText", " 255 ");
  LoadOptions();
  LoadUserColors();
  const FadeSettings& fade = LiveFadeSettings();
  const AppOptions& options = LiveAppOptions();
  EXPECT_EQ(fade.FaderOn, kFalse);
  EXPECT_EQ(options.CurrentScheme, "Sunset");
  EXPECT_EQ(fade.Italic, kTrue);
  EXPECT_EQ(fade.Bold, kFalse);
  EXPECT_EQ(fade.FadeNumber, 7);  // no range check
  EXPECT_EQ(fade.Colors[1], 255);
  EXPECT_EQ(fade.Colors[3], 16711680);
  EXPECT_EQ(fade.Colors[4], -2147483633);
  EXPECT_EQ(fade.Colors[6], 16777215);
  EXPECT_EQ(fade.SolidFade, kTrue);
  EXPECT_EQ(options.ShowFadePanelWithChat, kFalse);
  EXPECT_EQ(options.UseChatKW, kFalse);
  EXPECT_EQ(options.UseMultiline, kFalse);
  EXPECT_FLOAT_EQ(options.MultilineBurst, 0.25f);
  EXPECT_EQ(options.CharsInLine, 92);  // rounded half to even
  EXPECT_EQ(options.UseAlias, kTrue);
  EXPECT_EQ(options.AliasName, " ");
  EXPECT_EQ(options.ShowEMailSample, kFalse);
  EXPECT_EQ(options.ShowEFToolbar, kFalse);
  EXPECT_EQ(LiveUserColors().ButtonText, 255);
  EXPECT_EQ(LiveUserColors().ButtonHighlight, 16757388);
}

class CustomColors : public wine_test::SettingsTreeTest {};

TEST_F(CustomColors, MissingAreWhiteSavedReadBack) {
  for (int i = 0; i < 16; ++i) EXPECT_EQ(GetCustomColor(i), 16777215) << i;
  SaveCustomColor(3, 255);
  SaveCustomColor(15, static_cast<Colour>(0x80000005));
  EXPECT_EQ(ReadSetting("Custom Colors", "3"), "255");
  EXPECT_EQ(ReadSetting("Custom Colors", "15"), "-2147483643");
  EXPECT_EQ(GetCustomColor(3), 255);
  EXPECT_EQ(GetCustomColor(15), static_cast<Colour>(0x80000005));
  EXPECT_EQ(GetCustomColor(4), 16777215);
}

TEST_F(CustomColors, AStoredNonNumberGoesToTheErrorHandler) {
  const ErrorEnvironment saved = CurrentErrorEnvironment();
  std::vector<ErrorReport> reports;
  CurrentErrorEnvironment() = ErrorEnvironment{[&](const ErrorReport& report) {
                                                 reports.push_back(report);
                                                 return static_cast<std::int16_t>(kAnswerIgnore);
                                               },
                                               [] {}, [] {}};
  WriteSetting("Custom Colors", "2", "pink");
  GetCustomColor(2);
  CurrentErrorEnvironment() = saved;
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].module, "modCmnDlg");
  EXPECT_EQ(reports[0].procedure, "GetCustomColor");
  EXPECT_EQ(reports[0].number, "13");
}

class FileOp : public wine_test::SettingsTreeTest {};

TEST_F(FileOp, WriteReplacesTheFileAndEndsWithCrLf) {
  const std::string path = scratch_ + "\\note.txt";
  PutFile(path, std::string(5000, 'z'));
  EXPECT_TRUE(WriteTextFile(path, "first\r\nsecond"));
  EXPECT_EQ(FileBytes(path), "first\r\nsecond\r\n");
  EXPECT_TRUE(WriteTextFile(path, ""));
  EXPECT_EQ(FileBytes(path), "\r\n");
  EXPECT_FALSE(WriteTextFile(scratch_ + "\\no such folder\\x.txt", "x"));
  EXPECT_FALSE(FileExists(scratch_ + "\\no such folder\\x.txt"));
}

TEST_F(FileOp, ReadGivesEveryByte) {
  const std::string path = scratch_ + "\\bytes.bin";
  std::string bytes;
  for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
  bytes += "\r\n\r";
  PutFile(path, bytes);
  EXPECT_EQ(ReadTextFile(path), bytes);
  std::string text = "old";
  EXPECT_FALSE(TryReadTextFile(scratch_ + "\\missing.txt", text));
  EXPECT_EQ(text, "");
  EXPECT_EQ(ReadTextFile(scratch_ + "\\missing.txt"), "");
  PutFile(scratch_ + "\\empty.txt", "");
  EXPECT_TRUE(TryReadTextFile(scratch_ + "\\empty.txt", text));
  EXPECT_EQ(text, "");
}

TEST_F(FileOp, ExistenceChecks) {
  PutFile(scratch_ + "\\here.fde", "x");
  EXPECT_TRUE(FileExists(scratch_ + "\\here.fde"));
  EXPECT_TRUE(FileExists(scratch_ + "\\*.fde"));
  EXPECT_FALSE(FileExists(scratch_ + "\\gone.fde"));
  EXPECT_FALSE(FileExists(scratch_ + "\\*.txt"));
  const std::string folder = Folder("sub");
  EXPECT_TRUE(FolderExists(folder));                               // with its closing "\"
  EXPECT_TRUE(FolderExists(folder.substr(0, folder.size() - 1)));  // and without
  EXPECT_FALSE(FolderExists(scratch_ + "\\nothing"));
  EXPECT_FALSE(FolderExists(scratch_ + "\\nothing\\"));
  EXPECT_FALSE(FolderExists(""));
}

}  // namespace
}  // namespace glimra
