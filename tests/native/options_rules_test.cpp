#include <gtest/gtest.h>

#include <iterator>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "runtime/ErrorReporting.h"
#include "settings/OptionsRules.h"

namespace glimra {
namespace {

TEST(OptionsRules, CheckBoxesSetTheirFieldAndStoreTrueOrFalse) {
  AppOptions options;
  EXPECT_EQ(ApplyCheckBox(options, OptionsCheck::Multiline, true).text, "True");
  EXPECT_EQ(options.UseMultiline, kTrue);
  EXPECT_EQ(ApplyCheckBox(options, OptionsCheck::Multiline, false).text, "False");
  EXPECT_EQ(options.UseMultiline, kFalse);
  // Each box edits its own field and value, and no other.
  for (const CheckBoxOption& box : CheckBoxOptions()) {
    AppOptions fresh;
    ApplyCheckBox(fresh, box.check, true);
    int set = 0;
    for (const CheckBoxOption& other : CheckBoxOptions()) set += fresh.*other.field == kTrue;
    EXPECT_EQ(set, 1) << box.caption;
    EXPECT_EQ(fresh.*box.field, kTrue) << box.caption;
  }
  EXPECT_STREQ(CheckBoxFor(OptionsCheck::ChatKW).valueName, "Use Chat KW");
  EXPECT_STREQ(CheckBoxFor(OptionsCheck::FadeSample).subkey, "EMail");
  EXPECT_STREQ(CheckBoxFor(OptionsCheck::EFade).subkey, "E-Fade");
}

TEST(OptionsRules, StoredNumbersSelectTheFirstEntryTheyBegin) {
  ASSERT_EQ(BurstEntries().size(), 13u);
  ASSERT_EQ(LineEntries().size(), 73u);
  EXPECT_EQ(LineEntries().front(), "20");
  EXPECT_EQ(LineEntries().back(), "92");
  const auto burst = [](float value) {
    const int index = BurstEntryFor(value);
    return index < 0 ? std::string("<none>") : BurstEntries()[static_cast<std::size_t>(index)];
  };
  EXPECT_EQ(burst(1.5f), "1.50");
  EXPECT_EQ(burst(1.0f), "1");
  EXPECT_EQ(burst(0.25f), "0.25");
  EXPECT_EQ(burst(0.1f), "0.10");
  EXPECT_EQ(burst(3.0f), "3");
  EXPECT_EQ(burst(0.3f), "<none>");
  EXPECT_EQ(burst(4.0f), "<none>");
  EXPECT_EQ(LineEntries()[static_cast<std::size_t>(LineEntryFor(60))], "60");
  EXPECT_EQ(LineEntryFor(19), -1);
  EXPECT_EQ(LineEntryFor(100), -1);
  EXPECT_EQ(FindEntryByPrefix({"Alpha", "beta", "Beta two"}, "BE"), 1);
  EXPECT_EQ(FindEntryByPrefix({"a"}, "ab"), -1);
}

TEST(OptionsRules, ChosenEntriesSetTheOptionAndStoreItsPlainText) {
  AppOptions options;
  EXPECT_EQ(ChooseBurst(options, "1.50").text, "1.5");
  EXPECT_FLOAT_EQ(options.MultilineBurst, 1.5f);
  EXPECT_EQ(ChooseBurst(options, "0.10").text, "0.1");
  EXPECT_EQ(ChooseBurst(options, "2").text, "2");
  EXPECT_EQ(ChooseLines(options, "25").text, "25");
  EXPECT_EQ(options.CharsInLine, 25);
  // What was stored opens the dialog on the entry it was chosen from.
  for (const std::string& entry : BurstEntries()) {
    AppOptions round;
    ChooseBurst(round, entry);
    EXPECT_EQ(BurstEntries()[static_cast<std::size_t>(BurstEntryFor(round.MultilineBurst))], entry);
  }
}

TEST(OptionsRules, EnablingFollowsTheBoxesTheModeAndTheScreen) {
  EXPECT_TRUE(MultilineControlsEnabled(true));
  EXPECT_FALSE(MultilineControlsEnabled(false));
  EXPECT_FALSE(AliasControlsEnabled(false));
  EXPECT_EQ(SetColorsEnabledFor(2), true);
  EXPECT_EQ(SetColorsEnabledFor(0), false);
  EXPECT_EQ(SetColorsEnabledFor(1), false);
  EXPECT_FALSE(SetColorsEnabledFor(5).has_value());
  EXPECT_EQ(ModeButtonFor(1), 1);
  EXPECT_FALSE(ModeButtonFor(-1).has_value());
  EXPECT_TRUE(FixedLooksEnabled(kFalse));
  EXPECT_FALSE(FixedLooksEnabled(kTrue));
  EXPECT_TRUE(FixedLooksEnabled(1));  // only exactly True counts
}

TEST(OptionsRules, APickSetsItsUserColourAndStoresSignedDecimal) {
  UserColors colours{1, 2, 3, 4};
  EXPECT_EQ(ApplySwatchPick(colours, UserSwatch::ButtonHighlight, 0x2814C8).text, "2626760");
  EXPECT_EQ(colours.ButtonHighlight, 0x2814C8);
  EXPECT_EQ(colours.WindowColor, 1);
  EXPECT_EQ(colours.ButtonText, 4);
  EXPECT_EQ(ApplySwatchPick(colours, UserSwatch::WindowColor, static_cast<Colour>(0x8000000F)).text, "-2147483633");
  ASSERT_EQ(SwatchOptions().size(), 4u);
  EXPECT_STREQ(SwatchOptions()[1].valueName, "ButtonForecolor");
  EXPECT_STREQ(SwatchOptions()[1].caption, "Button Forecolor");
}

// What the two dialogs store, in a settings tree in memory, read back the way
// start-up reads it. Any conversion start-up reports is a failure.
class OptionsRoundTrip : public ::testing::Test {
 protected:
  void SetUp() override {
    savedEnvironment_ = CurrentErrorEnvironment();
    savedFade_ = LiveFadeSettings();
    CurrentErrorEnvironment() = ErrorEnvironment{[this](const ErrorReport& report) {
                                                   reports_.push_back(report.description);
                                                   return static_cast<std::int16_t>(kAnswerIgnore);
                                                 },
                                                 [] {}, [] { throw EndProgramNow{}; }};
  }
  void TearDown() override {
    EXPECT_EQ(reports_, std::vector<std::string>{}) << "start-up reported a stored value";
    CurrentErrorEnvironment() = savedEnvironment_;
    LiveFadeSettings() = savedFade_;
    LiveAppOptions() = AppOptions{};
    LiveUserColors() = UserColors{};
  }

  void Store(const StoredSetting& setting) { tree_[{setting.subkey, setting.valueName}] = setting.text; }

  AppOptions StartUpOptions() {
    LiveAppOptions() = AppOptions{};
    LiveFadeSettings() = FadeSettings{};
    LoadOptions(Reader());
    return LiveAppOptions();
  }
  UserColors StartUpColours() {
    LiveUserColors() = UserColors{};
    LoadUserColors(Reader());
    return LiveUserColors();
  }

  std::map<std::pair<std::string, std::string>, std::string> tree_;

 private:
  SettingReader Reader() const {
    return [this](const std::string& subkey, const std::string& valueName) {
      const auto found = tree_.find({subkey, valueName});
      return found == tree_.end() ? std::string() : found->second;
    };
  }

  std::vector<std::string> reports_;
  ErrorEnvironment savedEnvironment_;
  FadeSettings savedFade_;
};

// What each box means to start-up, said here apart from the dialog's own table.
const std::pair<OptionsCheck, VBBool AppOptions::*> kBoxMeanings[] = {
    {OptionsCheck::OpenFade, &AppOptions::ShowFadePanelWithChat},
    {OptionsCheck::ChatKW, &AppOptions::UseChatKW},
    {OptionsCheck::EFade, &AppOptions::ShowEFToolbar},
    {OptionsCheck::Multiline, &AppOptions::UseMultiline},
    {OptionsCheck::Alias, &AppOptions::UseAlias},
    {OptionsCheck::FadeSample, &AppOptions::ShowEMailSample},
};

TEST_F(OptionsRoundTrip, EachCheckBoxTurnedAwayFromItsDefaultStartsUpThatWay) {
  ASSERT_EQ(CheckBoxOptions().size(), std::size(kBoxMeanings));
  const AppOptions defaults = StartUpOptions();
  for (const auto& [check, field] : kBoxMeanings) {
    SCOPED_TRACE(CheckBoxFor(check).caption);
    tree_.clear();
    const bool checked = !IsTrue(defaults.*field);
    AppOptions edited = defaults;
    Store(ApplyCheckBox(edited, check, checked));
    const AppOptions read = StartUpOptions();
    EXPECT_EQ(read.*field, ToVBBool(checked));
    for (const auto& [other, otherField] : kBoxMeanings) EXPECT_EQ(read.*otherField, edited.*otherField);
  }
}

TEST_F(OptionsRoundTrip, EachListEntryChosenStartsUpAsTheEntryTheDialogOpensOn) {
  const AppOptions defaults = StartUpOptions();
  const int defaultBurst = BurstEntryFor(defaults.MultilineBurst), defaultLines = LineEntryFor(defaults.CharsInLine);
  ASSERT_GE(defaultBurst, 0);
  ASSERT_GE(defaultLines, 0);
  for (int i = 0; i < static_cast<int>(BurstEntries().size()); ++i) {
    if (i == defaultBurst) continue;  // an empty tree gives it too
    const std::string& entry = BurstEntries()[static_cast<std::size_t>(i)];
    tree_.clear();
    AppOptions edited = defaults;
    Store(ChooseBurst(edited, entry));
    const AppOptions read = StartUpOptions();
    EXPECT_FLOAT_EQ(read.MultilineBurst, edited.MultilineBurst) << entry;
    EXPECT_EQ(BurstEntryFor(read.MultilineBurst), i) << entry;
    EXPECT_EQ(read.CharsInLine, defaults.CharsInLine) << entry;
  }
  for (int i = 0; i < static_cast<int>(LineEntries().size()); ++i) {
    if (i == defaultLines) continue;
    const std::string& entry = LineEntries()[static_cast<std::size_t>(i)];
    tree_.clear();
    AppOptions edited = defaults;
    Store(ChooseLines(edited, entry));
    const AppOptions read = StartUpOptions();
    EXPECT_EQ(LineEntryFor(read.CharsInLine), i) << entry;
    EXPECT_FLOAT_EQ(read.MultilineBurst, defaults.MultilineBurst) << entry;
  }
}

TEST_F(OptionsRoundTrip, TheAliasTypedStartsUpAsTyped) {
  const AppOptions defaults = StartUpOptions();
  ASSERT_EQ(defaults.AliasName, "");
  AppOptions edited = defaults;
  Store(ApplyAliasName(edited, "Zed the Fader"));
  EXPECT_EQ(edited.AliasName, "Zed the Fader");
  EXPECT_EQ(StartUpOptions().AliasName, "Zed the Fader");
}

TEST_F(OptionsRoundTrip, EachSwatchPickedStartsUpAsPicked) {
  const std::pair<UserSwatch, Colour UserColors::*> meanings[] = {
      {UserSwatch::WindowColor, &UserColors::WindowColor},
      {UserSwatch::ButtonForecolor, &UserColors::ButtonForecolor},
      {UserSwatch::ButtonHighlight, &UserColors::ButtonHighlight},
      {UserSwatch::ButtonText, &UserColors::ButtonText},
  };
  ASSERT_EQ(SwatchOptions().size(), std::size(meanings));
  const UserColors defaults = StartUpColours();
  // A plain colour, and a system colour, which is stored as a negative number.
  for (const Colour picked : {static_cast<Colour>(0x2814C8), static_cast<Colour>(0x80000005)}) {
    for (const auto& [swatch, field] : meanings) {
      SCOPED_TRACE(std::to_string(static_cast<int>(swatch)) + " " + std::to_string(picked));
      ASSERT_NE(defaults.*field, picked);
      tree_.clear();
      UserColors edited = defaults;
      Store(ApplySwatchPick(edited, swatch, picked));
      const UserColors read = StartUpColours();
      EXPECT_EQ(read.*field, picked);
      for (const auto& [other, otherField] : meanings) EXPECT_EQ(read.*otherField, edited.*otherField);
    }
  }
}

}  // namespace
}  // namespace glimra
