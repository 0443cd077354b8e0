// The fade engine: turns one line of plain text into AOL markup, one
// "<FONT COLOR=#RRGGBB>" tag per non-blank character, the colours running
// through the live fade settings (gradient) or cycling through them (solid),
// with optional bold, italic, underline and the wavy sup/sub style.
#pragma once

#include <cstdint>
#include <optional>
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
// (one byte a character); tools that take UTF-8 keep multi-byte characters
// whole. In UTF-8 a byte that starts no well-formed sequence (Latin-1 text, a
// stray continuation byte, a cut-off sequence) is a character of its own, so
// any bytes fade and pass through unchanged.
enum class TextEncoding { Ansi, Utf8 };
void SetTextEncoding(TextEncoding encoding);

// The length in bytes of the character starting at `pos` (1 to 4) under the
// current encoding.
std::size_t CharacterLength(std::string_view text, std::size_t pos);
// The length of the well-formed UTF-8 sequence starting at `pos`, 0 when the
// byte there starts none.
std::size_t WellFormedUtf8Length(std::string_view text, std::size_t pos);

// Renders `text` with the live settings, writes the result back into it and
// returns it (the argument itself: a long line's markup is not copied again).
const std::string& FadeEngine(std::string& text);

// Plain text (not markup) through a fade. ShieldPlainText gives "<", ">",
// "&" and each CR LF pair a single stand-in byte that the faders treat as an
// ordinary character, and drops control bytes 1 to 4 (they show nothing);
// UnshieldFaded turns the faded result into markup that shows the plain text
// again: entities for the three, and CR LF with no tag between its halves.
std::string ShieldPlainText(std::string_view plain);
std::string UnshieldFaded(std::string_view faded);
// "<", ">" and "&" as entities, for plain text put into markup unfaded.
std::string EscapeMarkup(std::string_view plain);

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
// A component outside 0 to 255 counts as the nearest of the two.
std::string MakeFade(std::string_view text, int startBlue, int endBlue, int startGreen, int endGreen, int startRed,
                     int endRed, VBBool wavy);

// Cycles 1 to 6 colours over the non-blank characters, without style tags.
std::string SolidByColor(std::string_view text, const std::vector<Colour>& colours, VBBool wavy);

// Upper-case hexadecimal, zero-padded to at least six digits.
std::string RGBtoHEX(std::int32_t value);

// The lengths of the runs a gradient over `colourCount` colours cuts a text
// of `length` characters into.
std::vector<std::size_t> GradientRunLengths(std::size_t colourCount, std::size_t length);

// What FadeEngine does to each character, for renderings other than AOL
// markup. The colour is the one in effect where the character shows (font
// tags are never closed, so a blank shows in the colour before it), exactly
// as computed: white stays FFFFFF here.
struct FadedCharacter {
  std::size_t offset = 0;  // bytes of the text
  std::size_t length = 0;
  bool tagged = false;       // its own font tag comes right before it
  bool coloured = false;     // a colour is in effect (false before the first tag)
  std::uint32_t rgb = 0;     // 0xRRGGBB in effect
  std::uint8_t waveTag = 0;  // the wave tag before it: 1 <sup>, 2 </sup>, 3 <sub>, 4 </sub>, 0 none
  std::int8_t wave = 0;      // where it sits: +1 raised, -1 lowered, 0 on the line
};
struct FadedLine {
  bool empty = true;  // FadeEngine's result is empty: nothing at all to show
  bool bold = false, italic = false, underline = false;
  std::optional<std::uint32_t> leadingColour;  // one-colour renderings: the one tag at the start
  std::vector<FadedCharacter> characters;
};
// FadeEngine's rendering of `text` with the live settings, character by
// character; moves the wave exactly as FadeEngine does.
FadedLine FadeEngineLayout(std::string_view text);

}  // namespace glimra
