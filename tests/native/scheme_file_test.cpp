#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>

#include "settings/SchemeFile.h"

namespace glimra {
namespace {

using Store = std::map<std::pair<std::string, std::string>, std::string>;

SettingReader ReaderOf(const Store& store) {
  return [&store](const std::string& subkey, const std::string& valueName) {
    const auto found = store.find({subkey, valueName});
    return found == store.end() ? std::string() : found->second;
  };
}

TEST(SchemeFileText, ThreeColourBoldSchemeMatchesTheLayout) {
  FadeScheme scheme;
  scheme.Colors[1] = 255;
  scheme.Colors[2] = 65280;
  scheme.Colors[3] = 16711680;
  scheme.Bold = kTrue;
  // The file writer adds the last CR LF.
  EXPECT_EQ(SchemeFileText("3", scheme) + "\r\n",
            "[Options]\r\nFadeNumber=3\r\n\r\n[Colors]\r\nOne=255\r\nTwo=65280\r\nThree=16711680\r\nFour=0\r\n"
            "Five=0\r\nSix=0\r\n\r\n[Style]\r\nWavy=False\r\nBold=True\r\nItalic=False\r\nULine=False\r\n");
}

TEST(ReadFadeScheme, MissingAndUnconvertibleValuesLeaveFieldsAlone) {
  const Store store = {{{"Schemes\\Sea", "Fade Number"}, "4"}, {{"Schemes\\Sea", "One"}, "-16777216"},
                       {{"Schemes\\Sea", "Two"}, "blue"},      {{"Schemes\\Sea", "Three"}, "99999999999"},
                       {{"Schemes\\Sea", "Bold"}, "True"},     {{"Schemes\\Sea", "Italic"}, "maybe"},
                       {{"Schemes\\Sea", "Wavy"}, "1"}};
  FadeScheme scheme;
  scheme.Colors[2] = 7;
  scheme.Colors[3] = 8;
  scheme.Italic = kTrue;
  ReadFadeScheme(ReaderOf(store), "Sea", scheme);
  EXPECT_EQ(scheme.FadeNumber, 4);
  EXPECT_EQ(scheme.Colors[1], -16777216);
  EXPECT_EQ(scheme.Colors[2], 7);  // not a number
  EXPECT_EQ(scheme.Colors[3], 8);  // overflow
  EXPECT_EQ(scheme.Colors[4], 0);  // missing
  EXPECT_EQ(scheme.Bold, kTrue);
  EXPECT_EQ(scheme.Italic, kTrue);
  EXPECT_EQ(scheme.Wavy, kTrue);
  EXPECT_EQ(scheme.ULine, kFalse);
}

// All six colours and each switch under its own stored name. Two rounds give
// every switch a different pair of values, so no two names can stand in for
// each other; each field starts opposite to what it must read.
TEST(ReadFadeScheme, EveryColourAndEverySwitchUnderItsOwnName) {
  const struct {
    const char *wavy, *bold, *italic, *uline;
  } rounds[] = {{"True", "True", "False", "False"}, {"True", "False", "True", "False"}};
  for (const auto& round : rounds) {
    const Store store = {{{"Schemes\\Rainbow", "Fade Number"}, "6"},  {{"Schemes\\Rainbow", "One"}, "255"},
                         {{"Schemes\\Rainbow", "Two"}, "39423"},      {{"Schemes\\Rainbow", "Three"}, "65535"},
                         {{"Schemes\\Rainbow", "Four"}, "49152"},     {{"Schemes\\Rainbow", "Five"}, "16736256"},
                         {{"Schemes\\Rainbow", "Six"}, "12583072"},   {{"Schemes\\Rainbow", "Wavy"}, round.wavy},
                         {{"Schemes\\Rainbow", "Bold"}, round.bold},  {{"Schemes\\Rainbow", "Italic"}, round.italic},
                         {{"Schemes\\Rainbow", "ULine"}, round.uline}};
    const auto opposite = [](const char* stored) { return std::string(stored) == "True" ? kFalse : kTrue; };
    FadeScheme scheme;
    scheme.Wavy = opposite(round.wavy);
    scheme.Bold = opposite(round.bold);
    scheme.Italic = opposite(round.italic);
    scheme.ULine = opposite(round.uline);
    ReadFadeScheme(ReaderOf(store), "Rainbow", scheme);
    EXPECT_EQ(scheme.FadeNumber, 6);
    EXPECT_EQ(scheme.Colors[1], 255);
    EXPECT_EQ(scheme.Colors[2], 39423);
    EXPECT_EQ(scheme.Colors[3], 65535);
    EXPECT_EQ(scheme.Colors[4], 49152);
    EXPECT_EQ(scheme.Colors[5], 16736256);
    EXPECT_EQ(scheme.Colors[6], 12583072);
    EXPECT_EQ(scheme.Wavy, kTrue);
    EXPECT_EQ(scheme.Bold, std::string(round.bold) == "True" ? kTrue : kFalse);
    EXPECT_EQ(scheme.Italic, std::string(round.italic) == "True" ? kTrue : kFalse);
    EXPECT_EQ(scheme.ULine, kFalse);
  }
  // The last two switches the other way round.
  const Store styled = {{{"Schemes\\S", "Wavy"}, "False"}, {{"Schemes\\S", "ULine"}, "True"}};
  FadeScheme scheme;
  scheme.Wavy = kTrue;
  ReadFadeScheme(ReaderOf(styled), "S", scheme);
  EXPECT_EQ(scheme.Wavy, kFalse);
  EXPECT_EQ(scheme.ULine, kTrue);
  EXPECT_EQ(scheme.Bold, kFalse);
  EXPECT_EQ(scheme.Italic, kFalse);
}

// A scheme's file names every value as the registry stores it: "ULine", not
// "Underline"; the last line ends like the others once written.
TEST(SchemeFileText, SixColoursAndEverySwitchUnderItsStoredName) {
  FadeScheme scheme;
  const Colour colours[] = {255, 39423, 65535, 49152, 16736256, -2147483633};
  for (int i = 1; i <= 6; ++i) scheme.Colors[i] = colours[i - 1];
  scheme.Wavy = kTrue;
  scheme.ULine = kTrue;
  EXPECT_EQ(SchemeFileText("6", scheme),
            "[Options]\r\nFadeNumber=6\r\n\r\n[Colors]\r\nOne=255\r\nTwo=39423\r\nThree=65535\r\nFour=49152\r\n"
            "Five=16736256\r\nSix=-2147483633\r\n\r\n[Style]\r\nWavy=True\r\nBold=False\r\nItalic=False\r\n"
            "ULine=True");
  scheme.Wavy = scheme.ULine = kFalse;
  scheme.Bold = scheme.Italic = kTrue;
  const std::string text = SchemeFileText("6", scheme);
  EXPECT_EQ(text.substr(text.find("[Style]")), "[Style]\r\nWavy=False\r\nBold=True\r\nItalic=True\r\nULine=False");
}

TEST(ReadFadeScheme, ExportOfAPartialSchemeWritesZeroAndFalse) {
  const Store store = {{{"Schemes\\Half", "Fade Number"}, "2"}, {{"Schemes\\Half", "One"}, "255"}};
  FadeScheme scheme;
  ReadFadeScheme(ReaderOf(store), "Half", scheme);
  EXPECT_EQ(SchemeFileText("2", scheme),
            "[Options]\r\nFadeNumber=2\r\n\r\n[Colors]\r\nOne=255\r\nTwo=0\r\nThree=0\r\nFour=0\r\nFive=0\r\nSix=0\r\n"
            "\r\n[Style]\r\nWavy=False\r\nBold=False\r\nItalic=False\r\nULine=False");
}

TEST(ParseSchemeLine, NamedKeysInAnyCaseKeepTheirSpelling) {
  auto bold = ParseSchemeLine("BOLD=True");
  ASSERT_TRUE(bold);
  EXPECT_EQ(bold->valueName, "BOLD");
  EXPECT_EQ(bold->value, "True");
  auto fade = ParseSchemeLine("fadeNUMBER=6");
  ASSERT_TRUE(fade);
  EXPECT_EQ(fade->valueName, "Fade Number");
  EXPECT_EQ(fade->value, "6");
  for (const char* key : {"One", "two", "THREE", "Four", "five", "Six", "Wavy", "italic", "ULine"})
    EXPECT_TRUE(ParseSchemeLine(std::string(key) + "=1")) << key;
}

TEST(ParseSchemeLine, ValueIsEverythingAfterTheFirstEquals) {
  auto empty = ParseSchemeLine("FadeNumber=");
  ASSERT_TRUE(empty);
  EXPECT_EQ(empty->value, "");
  auto twice = ParseSchemeLine("One=25=5 ");
  ASSERT_TRUE(twice);
  EXPECT_EQ(twice->value, "25=5 ");
}

TEST(ParseSchemeLine, HeadersUnknownAndNearMissKeysGiveNothing) {
  for (const char* line :
       {"[Colors]", "", "Colour=255", "Fade Number=3", " One=5", "One =5", "Seven=1", "=5", "Default=Evil", "Bold"})
    EXPECT_FALSE(ParseSchemeLine(line)) << line;
}

TEST(SplitTextLines, EveryLineEndStyleSplits) {
  using Lines = std::vector<std::string_view>;
  EXPECT_EQ(SplitTextLines("a\r\nb\r\n"), (Lines{"a", "b"}));
  EXPECT_EQ(SplitTextLines("a\rb\rc"), (Lines{"a", "b", "c"}));
  EXPECT_EQ(SplitTextLines("a\nb\n"), (Lines{"a", "b"}));
  EXPECT_EQ(SplitTextLines("a\n\rb\r\n\r\nc"), (Lines{"a", "", "b", "", "c"}));
  EXPECT_EQ(SplitTextLines(""), Lines{});
  EXPECT_EQ(SplitTextLines("\r"), Lines{""});
}

TEST(CheckSchemeName, NamesThatWouldReachAnotherKeyOrFolderAreRefused) {
  for (const char* name : {"a\\b", "..\\up", "a/b", "C:x", "star*", "what?", "say \"hi\"", "<x", "x>", "a|b"})
    EXPECT_EQ(CheckSchemeName(name), SchemeNameCheck::ForbiddenCharacter) << name;
  EXPECT_EQ(CheckSchemeName(std::string("tab\there")), SchemeNameCheck::ForbiddenCharacter);
  EXPECT_EQ(CheckSchemeName(""), SchemeNameCheck::Empty);
  EXPECT_EQ(CheckSchemeName("."), SchemeNameCheck::OnlyDots);
  EXPECT_EQ(CheckSchemeName("..."), SchemeNameCheck::OnlyDots);
  for (const char* name : {"CON", "nul", "Com1", "LPT9.old", "aux "})
    EXPECT_EQ(CheckSchemeName(name), SchemeNameCheck::DeviceName) << name;
}

TEST(CheckSchemeName, OrdinaryNamesPass) {
  for (const char* name : {"Cool Fade", "My Fade", "a.b", ".hidden", "x..", " lead", "Com", "COM10", "Console",
                           "\xC5sa's #1 (red) & blue!"})
    EXPECT_EQ(CheckSchemeName(name), SchemeNameCheck::Ok) << name;
}

}  // namespace
}  // namespace glimra
