#include "ui/ColourModes.h"

namespace glimra {

namespace {

constexpr Colour kSystem(std::uint32_t index) { return static_cast<Colour>(0x80000000u | index); }
constexpr Colour kButtonFace = kSystem(0x0F);
constexpr Colour kButtonShadow = kSystem(0x10);
constexpr Colour kButtonText = kSystem(0x12);
constexpr Colour kButtonHighlight = kSystem(0x14);
constexpr Colour kIvory = 0xF0FBFF;
constexpr Colour kLightYellow = 0xC0FFFF;
constexpr Colour kPeach = 0xA0E0FF;
constexpr Colour kAolBlue = 0xAD6D00;
constexpr Colour kLightBlue = 0xFFB28C;
constexpr Colour kGrey = 0x808080;
constexpr Colour kWhite = 0xFFFFFF;
constexpr Colour kBlack = 0;

}  // namespace

LookAndFeel& CurrentLook() {
  static LookAndFeel look;
  return look;
}

std::int16_t UIModeForDepth(int bitsPerPixel, VBBool& lowColor) {
  if (bitsPerPixel <= 8) {
    lowColor = kTrue;
    return kWindowsStyle;
  }
  if (bitsPerPixel >= 16) {
    lowColor = kFalse;
    return kAolStyle;
  }
  return kWindowsStyle;
}

std::optional<Colour> FormColourFor(std::int16_t mode, const EditionFlags& edition, const UserColors& user) {
  switch (mode) {
    case kWindowsStyle: return kButtonFace;
    case kAolStyle: return edition.australia ? kLightYellow : kIvory;
    case kUserColors: return user.WindowColor;
    default: return std::nullopt;
  }
}

std::optional<ButtonColours> ButtonColoursFor(std::int16_t mode, VBBool highlight, const EditionFlags& edition,
                                              const UserColors& user) {
  const Colour border = IsTrue(highlight) ? kLightBlue : kBlack;
  switch (mode) {
    case kWindowsStyle: return ButtonColours{kButtonFace, kBlack, kButtonText, kButtonFace, kButtonShadow, {}};
    case kAolStyle:
      if (edition.uk)
        return ButtonColours{kPeach, border, kBlack, edition.australia ? kLightYellow : kIvory, kGrey, kWhite};
      return ButtonColours{kAolBlue, border, kWhite, kIvory, kGrey, kWhite};
    case kUserColors:
      return ButtonColours{user.ButtonForecolor, user.ButtonHighlight, user.ButtonText,
                           user.WindowColor,     kButtonShadow,        {}};
    default: return std::nullopt;
  }
}

std::optional<OptionColours> OptionColoursFor(std::int16_t mode, VBBool selected, const UserColors& user) {
  if (selected == kTrue) return OptionColours{0x0000C0, 0x0000FF, kWhite};
  if (selected != kFalse) return std::nullopt;
  switch (mode) {
    case kWindowsStyle: return OptionColours{kButtonFace, kButtonHighlight, kButtonText};
    case kAolStyle: return OptionColours{kAolBlue, kLightBlue, kWhite};
    case kUserColors: return OptionColours{user.ButtonForecolor, user.ButtonHighlight, user.ButtonText};
    default: return std::nullopt;
  }
}

}  // namespace glimra
