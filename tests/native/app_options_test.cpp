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
