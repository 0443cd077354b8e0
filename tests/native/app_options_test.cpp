#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "runtime/ErrorReporting.h"
#include "settings/AppOptions.h"

namespace glimra {
namespace {

// A settings tree in memory that remembers the order of the reads and
// answers error reports from a script.
class LoadOptionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedEnvironment_ = CurrentErrorEnvironment();
    savedFade_ = LiveFadeSettings();
    LiveFadeSettings() = FadeSettings{};
    LiveAppOptions() = AppOptions{};
    LiveUserColors() = UserColors{};
    CurrentErrorEnvironment() = ErrorEnvironment{[this](const ErrorReport& report) {
                                                   reports_.push_back(report);
                                                   const std::int16_t answer = answers_.empty() ? 0 : answers_.front();
                                                   if (!answers_.empty()) answers_.erase(answers_.begin());
                                                   return answer;
                                                 },
                                                 [] {},
                                                 [this] {
                                                   ended_ = true;
                                                   throw EndProgramNow{};
                                                 }};
  }
  void TearDown() override {
    CurrentErrorEnvironment() = savedEnvironment_;
    LiveFadeSettings() = savedFade_;
  }

  SettingReader Reader() {
    return [this](const std::string& subkey, const std::string& valueName) {
      reads_.push_back(subkey + "|" + valueName);
      const auto found = store_.find({subkey, valueName});
      return found == store_.end() ? std::string() : found->second;
    };
  }

  std::map<std::pair<std::string, std::string>, std::string> store_;
  std::vector<std::string> reads_;
  std::vector<ErrorReport> reports_;
  std::vector<std::int16_t> answers_;
  bool ended_ = false;
  ErrorEnvironment savedEnvironment_;
  FadeSettings savedFade_;
};

TEST_F(LoadOptionsTest, ReadsEveryValueInItsFixedOrder) {
  LoadOptions(Reader());
  EXPECT_EQ(reads_, (std::vector<std::string>{"|Fader On",
                                              "Schemes|Default",
                                              "Style|Wavy",
                                              "Style|Bold",
                                              "Style|Italic",
                                              "Style|ULine",
                                              "Colors|Fade Number",
                                              "Colors|One",
                                              "Colors|Two",
                                              "Colors|Three",
                                              "Colors|Four",
                                              "Colors|Five",
                                              "Colors|Six",
                                              "Options|ShowFadePanelWithChat",
                                              "Multiline|Use Multiline",
                                              "Multiline|Multiline Burst",
                                              "Multiline|Chars In Line",
                                              "EMail|Use Alias",
                                              "EMail|Alias Name",
                                              "EMail|Show EMail Sample",
                                              "Options|Use Chat KW",
                                              "E-Fade|ShowEFToolbar",
                                              "Colors|SolidFade"}));
  EXPECT_TRUE(reports_.empty());
}

// A fresh installation has no settings tree at all: every field takes the
// table's default, whatever the record held before.
TEST_F(LoadOptionsTest, AnEmptyTreeGivesEveryDefault) {
  FadeSettings& fade = LiveFadeSettings();
  fade.FadeNumber = 2;
  for (int i = 1; i <= 6; ++i) fade.Colors[i] = 12345;
  fade.Bold = fade.Italic = fade.ULine = fade.Wavy = fade.SolidFade = kTrue;
  AppOptions& options = LiveAppOptions();
  options.CurrentScheme = "Old";
  options.UseAlias = kTrue;
  options.AliasName = "old alias";
  options.MultilineBurst = 9;
  options.CharsInLine = 9;
  LiveUserColors() = UserColors{1, 2, 3, 4};

  LoadOptions(Reader());
  LoadUserColors(Reader());

  EXPECT_EQ(fade.FaderOn, kTrue);
  EXPECT_EQ(options.CurrentScheme, "Cool Fade");
  EXPECT_EQ(fade.Wavy, kFalse);
  EXPECT_EQ(fade.Bold, kFalse);
  EXPECT_EQ(fade.Italic, kFalse);
  EXPECT_EQ(fade.ULine, kFalse);
  EXPECT_EQ(fade.FadeNumber, 5);
  for (int i = 1; i <= 6; ++i) EXPECT_EQ(fade.Colors[i], 0) << "colour " << i;
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
  EXPECT_EQ(LiveUserColors().WindowColor, static_cast<Colour>(0x8000000F));
  EXPECT_EQ(LiveUserColors().ButtonForecolor, 11365632);
  EXPECT_EQ(LiveUserColors().ButtonHighlight, 16757388);
  EXPECT_EQ(LiveUserColors().ButtonText, 16777215);
  EXPECT_TRUE(reports_.empty());
}

// Every value under its own name, each the opposite of its default.
TEST_F(LoadOptionsTest, EveryStoredValueReachesItsOwnField) {
  store_ = {{{"", "Fader On"}, "False"},
            {{"Schemes", "Default"}, "Sunset"},
            {{"Style", "Wavy"}, "True"},
            {{"Style", "Bold"}, "False"},
            {{"Style", "Italic"}, "True"},
            {{"Style", "ULine"}, "True"},
            {{"Colors", "Fade Number"}, "6"},
            {{"Colors", "One"}, "1"},
            {{"Colors", "Two"}, "2"},
            {{"Colors", "Three"}, "3"},
            {{"Colors", "Four"}, "4"},
            {{"Colors", "Five"}, "5"},
            {{"Colors", "Six"}, "-2147483642"},
            {{"Colors", "SolidFade"}, "True"},
            {{"Options", "ShowFadePanelWithChat"}, "False"},
            {{"Options", "Use Chat KW"}, "False"},
            {{"Multiline", "Use Multiline"}, "False"},
            {{"Multiline", "Multiline Burst"}, "0.25"},
            {{"Multiline", "Chars In Line"}, "72"},
            {{"EMail", "Use Alias"}, "True"},
            {{"EMail", "Alias Name"}, " "},
            {{"EMail", "Show EMail Sample"}, "False"},
            {{"E-Fade", "ShowEFToolbar"}, "False"},
            {{"User Colors", "WindowColor"}, "11"},
            {{"User Colors", "ButtonForecolor"}, "12"},
            {{"User Colors", "ButtonHighlight"}, "13"},
            {{"User Colors", "ButtonText"}, "14"}};
  LiveFadeSettings().Bold = kTrue;
  LoadOptions(Reader());
  LoadUserColors(Reader());
  const FadeSettings& fade = LiveFadeSettings();
  const AppOptions& options = LiveAppOptions();
  EXPECT_EQ(fade.FaderOn, kFalse);
  EXPECT_EQ(options.CurrentScheme, "Sunset");
  EXPECT_EQ(fade.Wavy, kTrue);
  EXPECT_EQ(fade.Bold, kFalse);
  EXPECT_EQ(fade.Italic, kTrue);
  EXPECT_EQ(fade.ULine, kTrue);
  EXPECT_EQ(fade.FadeNumber, 6);
  EXPECT_EQ(fade.Colors[1], 1);
  EXPECT_EQ(fade.Colors[2], 2);
  EXPECT_EQ(fade.Colors[3], 3);
  EXPECT_EQ(fade.Colors[4], 4);
  EXPECT_EQ(fade.Colors[5], 5);
  EXPECT_EQ(fade.Colors[6], -2147483642);
  EXPECT_EQ(fade.SolidFade, kTrue);
  EXPECT_EQ(options.ShowFadePanelWithChat, kFalse);
  EXPECT_EQ(options.UseChatKW, kFalse);
  EXPECT_EQ(options.UseMultiline, kFalse);
  EXPECT_FLOAT_EQ(options.MultilineBurst, 0.25f);
  EXPECT_EQ(options.CharsInLine, 72);
  EXPECT_EQ(options.UseAlias, kTrue);
  EXPECT_EQ(options.AliasName, " ");  // a stored blank stays a blank
  EXPECT_EQ(options.ShowEMailSample, kFalse);
  EXPECT_EQ(options.ShowEFToolbar, kFalse);
  const UserColors& colors = LiveUserColors();
  EXPECT_EQ(colors.WindowColor, 11);
  EXPECT_EQ(colors.ButtonForecolor, 12);
  EXPECT_EQ(colors.ButtonHighlight, 13);
  EXPECT_EQ(colors.ButtonText, 14);
  EXPECT_TRUE(reports_.empty());
}

TEST_F(LoadOptionsTest, SwitchTextsOtherThanTrueOrFalseLeaveTheField) {
  store_ = {{{"", "Fader On"}, "yes"}, {{"Style", "Bold"}, "true"}, {{"Multiline", "Use Multiline"}, "-1"}};
  LiveFadeSettings().Bold = kTrue;
  LoadOptions(Reader());
  EXPECT_EQ(LiveFadeSettings().FaderOn, kFalse);  // its initial state
  EXPECT_EQ(LiveFadeSettings().Bold, kTrue);
  EXPECT_EQ(LiveAppOptions().UseMultiline, kFalse);
}

TEST_F(LoadOptionsTest, IgnoreKeepsTheBadValueAndGoesOn) {
  store_ = {{{"Colors", "Fade Number"}, "lots"}, {{"Multiline", "Chars In Line"}, "40000"}};
  LiveFadeSettings().FadeNumber = 3;
  answers_ = {kAnswerIgnore, kAnswerIgnore};
  LoadOptions(Reader());
  ASSERT_EQ(reports_.size(), 2u);
  EXPECT_EQ(reports_[0].module, "modGlimra");
  EXPECT_EQ(reports_[0].procedure, "LoadOptions");
  EXPECT_EQ(reports_[0].number, "13");
  EXPECT_EQ(reports_[1].number, "6");
  EXPECT_EQ(LiveFadeSettings().FadeNumber, 3);
  EXPECT_EQ(LiveAppOptions().CharsInLine, 0);
  EXPECT_EQ(LiveFadeSettings().SolidFade, kFalse);
  EXPECT_EQ(reads_.back(), "Colors|SolidFade");  // went on to the end
}

TEST_F(LoadOptionsTest, RetryReadsAndConvertsAgain) {
  store_ = {{{"Multiline", "Multiline Burst"}, "soon"}};
  answers_ = {kAnswerRetry};
  CurrentErrorEnvironment().report = [this](const ErrorReport& report) {
    reports_.push_back(report);
    store_[{"Multiline", "Multiline Burst"}] = "2.5";  // the member mends the value before answering
    return static_cast<std::int16_t>(kAnswerRetry);
  };
  LoadOptions(Reader());
  EXPECT_EQ(reports_.size(), 1u);
  EXPECT_FLOAT_EQ(LiveAppOptions().MultilineBurst, 2.5f);
}

TEST_F(LoadOptionsTest, AbortEndsTheProgram) {
  store_ = {{{"Colors", "Three"}, "&HZZ"}};
  answers_ = {kAnswerAbort};
  EXPECT_THROW(LoadOptions(Reader()), EndProgramNow);
  EXPECT_TRUE(ended_);
  EXPECT_EQ(reads_.back(), "Colors|Three");
}

TEST_F(LoadOptionsTest, UserColoursTrimBlanksAndFallBackToDefaults) {
  store_ = {{{"User Colors", "WindowColor"}, "  "}, {{"User Colors", "ButtonText"}, " 255 "}};
  LoadUserColors(Reader());
  EXPECT_EQ(reads_, (std::vector<std::string>{"User Colors|WindowColor", "User Colors|ButtonForecolor",
                                              "User Colors|ButtonHighlight", "User Colors|ButtonText"}));
  const UserColors& colors = LiveUserColors();
  EXPECT_EQ(colors.WindowColor, static_cast<Colour>(0x8000000F));
  EXPECT_EQ(colors.ButtonForecolor, 11365632);
  EXPECT_EQ(colors.ButtonHighlight, 16757388);
  EXPECT_EQ(colors.ButtonText, 255);
}

}  // namespace
}  // namespace glimra
