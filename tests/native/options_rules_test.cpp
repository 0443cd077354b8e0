#include <gtest/gtest.h>

#include "settings/OptionsRules.h"

namespace glimra {
namespace {

TEST(OptionsRules, CheckBoxesSetTheirFieldAndStoreTrueOrFalse) {
  AppOptions options;
  EXPECT_EQ(ApplyCheckBox(options, OptionsCheck::Multiline, true), "True");
  EXPECT_EQ(options.UseMultiline, kTrue);
  EXPECT_EQ(ApplyCheckBox(options, OptionsCheck::Multiline, false), "False");
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
  EXPECT_EQ(ChooseBurst(options, "1.50"), "1.5");
  EXPECT_FLOAT_EQ(options.MultilineBurst, 1.5f);
  EXPECT_EQ(ChooseBurst(options, "0.10"), "0.1");
  EXPECT_EQ(ChooseBurst(options, "2"), "2");
  EXPECT_EQ(ChooseLines(options, "25"), "25");
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
  EXPECT_EQ(ApplySwatchPick(colours, UserSwatch::ButtonHighlight, 0x2814C8), "2626760");
  EXPECT_EQ(colours.ButtonHighlight, 0x2814C8);
  EXPECT_EQ(colours.WindowColor, 1);
  EXPECT_EQ(colours.ButtonText, 4);
  EXPECT_EQ(ApplySwatchPick(colours, UserSwatch::WindowColor, static_cast<Colour>(0x8000000F)), "-2147483633");
  ASSERT_EQ(SwatchOptions().size(), 4u);
  EXPECT_STREQ(SwatchOptions()[1].valueName, "ButtonForecolor");
  EXPECT_STREQ(SwatchOptions()[1].caption, "Button Forecolor");
}

}  // namespace
}  // namespace glimra
