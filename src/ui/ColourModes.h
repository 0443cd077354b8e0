// The three looks of Glimra's windows and the colours each gives a window
// background, a zolButton and a FlatButton toggle.
#pragma once

#include <cstdint>
#include <optional>

#include "runtime/Conversions.h"
#include "settings/AppOptions.h"

namespace glimra {

enum UIModeValue : std::int16_t { kWindowsStyle = 0, kAolStyle = 1, kUserColors = 2 };

// Program-wide look: the mode and the options dialog's copy of it. The user
// colours are LiveUserColors().
struct LookAndFeel {
  std::int16_t UIMode = kAolStyle;
  std::int16_t UIModeCopy = kAolStyle;
};
LookAndFeel& CurrentLook();

// The edition flags of the AOL client the look depends on.
struct EditionFlags {
  bool uk = false;
  bool australia = false;
};

// The mode a screen of `bitsPerPixel` gives, and the low-colour flag it leaves.
std::int16_t UIModeForDepth(int bitsPerPixel, VBBool& lowColor);

// The window background for a mode; empty for an unknown mode (left unchanged).
std::optional<Colour> FormColourFor(std::int16_t mode, const EditionFlags& edition, const UserColors& user);

// zolButton colours; an empty FocusColor is left unchanged.
struct ButtonColours {
  Colour BackColor, BorderColor, ForeColor, FillerBackground, ShadowColor;
  std::optional<Colour> FocusColor;
};
std::optional<ButtonColours> ButtonColoursFor(std::int16_t mode, VBBool highlight, const EditionFlags& edition,
                                              const UserColors& user);

// FlatButton toggle colours: selected only when the flag is exactly True.
struct OptionColours {
  Colour BackColor, Highlight, ForeColor;
};
std::optional<OptionColours> OptionColoursFor(std::int16_t mode, VBBool selected, const UserColors& user);

}  // namespace glimra
