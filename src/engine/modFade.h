// The fade engine: turns one line of plain text into AOL markup, one
// "<FONT COLOR=#RRGGBB>" tag per non-blank character, the colours running
// through the live fade settings (gradient) or cycling through them (solid),
// with optional bold, italic, underline and the wavy sup/sub style.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/Conversions.h"

namespace glimra {

// A Windows colour, 0x00BBGGRR: red in the low byte.
using Colour = std::int32_t;

// The live fade settings, one program-wide record.
struct FadeSettings {
  VBBool FaderOn = kFalse;
  std::int16_t FadeNumber = 2;
  Colour Colors[7] = {};  // Colors[1] .. Colors[6]; [0] is unused
  VBBool Bold = kFalse;
  VBBool Italic = kFalse;
  VBBool ULine = kFalse;
  VBBool Wavy = kFalse;
  VBBool SolidFade = kFalse;
};
FadeSettings& LiveFadeSettings();

// The wave state shared by every rendering: 0 at start-up, then 1..5.
std::int16_t& WavePhase();

// Called once per dealing round while a 4- to 6-colour gradient cuts its
// text; the program lets pending window messages run there.
using FadeYield = void (*)();
void SetFadeYield(FadeYield yield);

// How the engine splits text into characters: the program works on ANSI text
// (one byte a character); tools that take UTF-8 keep multi-byte characters whole.
enum class TextEncoding { Ansi, Utf8 };
void SetTextEncoding(TextEncoding encoding);

// Renders `text` with the live settings, writes the result back into it and
// returns it.
std::string FadeEngine(std::string& text);

// Gradient markup over 2 to 6 colours (scheme order), without style tags.
std::string FadeByColor2(Colour c1, Colour c2, std::string_view text, VBBool wavy);
std::string FadeByColor3(Colour c1, Colour c2, Colour c3, std::string_view text, VBBool wavy);
std::string FadeByColor4(Colour c1, Colour c2, Colour c3, Colour c4, std::string_view text, VBBool wavy);
std::string FadeByColor5(Colour c1, Colour c2, Colour c3, Colour c4, Colour c5, std::string_view text, VBBool wavy);
std::string FadeByColor6(Colour c1, Colour c2, Colour c3, Colour c4, Colour c5, Colour c6, std::string_view text,
                         VBBool wavy);
// The gradient family in one: `colours` holds 2 to 6 colours.
std::string FadeByColors(const std::vector<Colour>& colours, std::string_view text, VBBool wavy);

// One gradient run from (startR, startG, startB) to (endR, endG, endB).
std::string MakeFade(std::string_view text, int startBlue, int endBlue, int startGreen, int endGreen, int startRed,
                     int endRed, VBBool wavy);

// Cycles 1 to 6 colours over the non-blank characters, without style tags.
std::string SolidByColor(std::string_view text, const std::vector<Colour>& colours, VBBool wavy);

// Upper-case hexadecimal, zero-padded to at least six digits.
std::string RGBtoHEX(std::int32_t value);

// The lengths of the runs a gradient over `colourCount` colours cuts a text
// of `length` characters into.
std::vector<std::size_t> GradientRunLengths(std::size_t colourCount, std::size_t length);

}  // namespace glimra
