#include <gtest/gtest.h>

#include "ui/ColourModes.h"

namespace glimra {
namespace {

const UserColors kUser{0x010203, 0x040506, 0x070809, 0x0A0B0C};

TEST(ColourModes, DepthChoosesTheModeAndTheLowColourFlag) {
  VBBool low = kFalse;
  EXPECT_EQ(UIModeForDepth(8, low), kWindowsStyle);
  EXPECT_EQ(low, kTrue);
  EXPECT_EQ(UIModeForDepth(16, low), kAolStyle);
  EXPECT_EQ(low, kFalse);
  low = kTrue;
  EXPECT_EQ(UIModeForDepth(12, low), kWindowsStyle);
  EXPECT_EQ(low, kTrue);  // unchanged in between
}

TEST(ColourModes, FormBackgrounds) {
  EXPECT_EQ(FormColourFor(kWindowsStyle, {}, kUser), static_cast<Colour>(0x8000000F));
  EXPECT_EQ(FormColourFor(kAolStyle, {}, kUser), 0xF0FBFF);
  EXPECT_EQ(FormColourFor(kAolStyle, {false, true}, kUser), 0xC0FFFF);
  EXPECT_EQ(FormColourFor(kUserColors, {}, kUser), 0x010203);
  EXPECT_FALSE(FormColourFor(3, {}, kUser).has_value());
}

TEST(ColourModes, AolButtonsArePeachWithBlackCaptionsForTheAboutAolClient) {
  const auto uk = ButtonColoursFor(kAolStyle, kFalse, {true, false}, kUser);
  ASSERT_TRUE(uk);
  EXPECT_EQ(uk->BackColor, 0xA0E0FF);
  EXPECT_EQ(uk->ForeColor, 0);
  EXPECT_EQ(uk->BorderColor, 0);
  EXPECT_EQ(uk->FocusColor, 0xFFFFFF);
  const auto other = ButtonColoursFor(kAolStyle, kTrue, {}, kUser);
  EXPECT_EQ(other->BackColor, 0xAD6D00);
  EXPECT_EQ(other->ForeColor, 0xFFFFFF);
  EXPECT_EQ(other->BorderColor, 0xFFB28C);
  EXPECT_EQ(other->ShadowColor, 0x808080);
  EXPECT_EQ(ButtonColoursFor(kAolStyle, kFalse, {true, true}, kUser)->FillerBackground, 0xC0FFFF);
}

TEST(ColourModes, WindowsAndUserButtonsLeaveTheFocusColour) {
  const auto windows = ButtonColoursFor(kWindowsStyle, kTrue, {}, kUser);
  EXPECT_EQ(windows->BackColor, static_cast<Colour>(0x8000000F));
  EXPECT_EQ(windows->ForeColor, static_cast<Colour>(0x80000012));
  EXPECT_EQ(windows->BorderColor, 0);
  EXPECT_FALSE(windows->FocusColor.has_value());
  const auto user = ButtonColoursFor(kUserColors, kFalse, {}, kUser);
  EXPECT_EQ(user->BackColor, 0x040506);
  EXPECT_EQ(user->BorderColor, 0x070809);
  EXPECT_EQ(user->ForeColor, 0x0A0B0C);
  EXPECT_EQ(user->FillerBackground, 0x010203);
  EXPECT_FALSE(user->FocusColor.has_value());
}

TEST(ColourModes, SelectedToggleIsDarkRedInEveryMode) {
  for (std::int16_t mode : {kWindowsStyle, kAolStyle, kUserColors}) {
    const auto on = OptionColoursFor(mode, kTrue, kUser);
    ASSERT_TRUE(on);
    EXPECT_EQ(on->BackColor, 0x0000C0);
    EXPECT_EQ(on->Highlight, 0x0000FF);
    EXPECT_EQ(on->ForeColor, 0xFFFFFF);
  }
  EXPECT_EQ(OptionColoursFor(kAolStyle, kFalse, kUser)->BackColor, 0xAD6D00);
  EXPECT_EQ(OptionColoursFor(kWindowsStyle, kFalse, kUser)->Highlight, static_cast<Colour>(0x80000014));
  EXPECT_EQ(OptionColoursFor(kUserColors, kFalse, kUser)->ForeColor, 0x0A0B0C);
  EXPECT_FALSE(OptionColoursFor(kAolStyle, 1, kUser).has_value());  // neither True nor False
}

}  // namespace
}  // namespace glimra
