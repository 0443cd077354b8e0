// A plain, literal rendering of chat lines, character by character with
// string concatenation, written apart from the engine: the differential
// tests and the engine's fuzzer hold the engine's output to it byte for byte.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "engine/modFade.h"

namespace glimra::reference {

struct Line {
  int fadeNumber = 2;
  Colour colours[6] = {};
  bool bold = false, italic = false, underline = false, wavy = false, solid = false;
  bool utf8 = false;
};

// The length of the well-formed UTF-8 sequence at `pos`, 0 for none: the
// table of well-formed byte sequences, lead byte by lead byte, read here
// apart from the engine's own reading.
inline std::size_t Utf8Length(std::string_view text, std::size_t pos) {
  const auto at = [&](std::size_t i) { return static_cast<unsigned char>(text[pos + i]); };
  const unsigned lead = at(0);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  unsigned low = 0x80, high = 0xBF;  // the second byte's range
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (text.size() - pos < length) return 0;
  if (at(1) < low || at(1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i)
    if (at(i) < 0x80 || at(i) > 0xBF) return 0;
  return length;
}

// A character is a well-formed UTF-8 sequence (in UTF-8 text), else one byte.
inline std::vector<std::string> Characters(std::string_view text, bool utf8) {
  std::vector<std::string> characters;
  for (std::size_t pos = 0; pos < text.size();) {
    std::size_t length = utf8 ? Utf8Length(text, pos) : 1;
    if (length == 0) length = 1;
    characters.emplace_back(text.substr(pos, length));
    pos += length;
  }
  return characters;
}

inline std::string Hex2(int value) {
  char digits[4];
  std::snprintf(digits, sizeof digits, "%02X", value);
  return digits;
}

inline std::string Tag(int red, int green, int blue) {
  std::string rgb = Hex2(red) + Hex2(green) + Hex2(blue);
  if (rgb == "FFFFFF") rgb = "FBFBFB";
  return "<FONT COLOR=#" + rgb + ">";
}

inline void Wave(std::string& out, std::int16_t& phase, bool wavy) {
  static const char* const kTags[] = {"", "<sup>", "</sup>", "<sub>", "</sub>"};
  if (phase == 5) phase = 1;
  if (wavy && phase >= 1 && phase <= 4) out += kTags[phase];
  phase = static_cast<std::int16_t>(phase + 1);
}

// Round half to even: the FPU's own rounding in its default mode.
inline int Round(double value) { return static_cast<int>(std::nearbyint(value)); }

inline std::string Run(const std::vector<std::string>& characters, int sr, int sg, int sb, int er, int eg, int eb,
                       bool wavy, std::int16_t& phase) {
  std::string out;
  const double length = static_cast<double>(characters.size());
  for (std::size_t i = 1; i <= characters.size(); ++i) {
    const std::string& c = characters[i - 1];
    if (c != " ") {
      const auto at = [&](int s, int e) { return Round((e - s) / length * static_cast<double>(i) + s); };
      out += Tag(at(sr, er), at(sg, eg), at(sb, eb));
      Wave(out, phase, wavy);
    }
    out += c;
  }
  return out;
}

inline std::vector<std::size_t> RunLengths(std::size_t colours, std::size_t length) {
  std::vector<std::size_t> lengths(colours - 1, 0);
  if (colours == 2) {
    lengths[0] = length;
  } else if (colours == 3) {
    lengths[0] = static_cast<std::size_t>(Round(static_cast<double>(length) / 2));
    lengths[1] = length - lengths[0];
  } else {
    std::size_t left = length;
    while (left > 0)
      for (std::size_t run = 0; run < lengths.size() && left > 0; ++run, --left) ++lengths[run];
  }
  return lengths;
}

inline int Red(Colour c) { return c & 0xFF; }
inline int Green(Colour c) { return (c >> 8) & 0xFF; }
inline int Blue(Colour c) { return (c >> 16) & 0xFF; }

inline std::string Gradient(const std::vector<Colour>& colours, const std::vector<std::string>& characters, bool wavy,
                            std::int16_t& phase) {
  phase = 2;
  std::string out;
  std::size_t from = 0;
  const std::vector<std::size_t> lengths = RunLengths(colours.size(), characters.size());
  for (std::size_t run = 0; run < lengths.size(); ++run) {
    const std::vector<std::string> part(characters.begin() + static_cast<std::ptrdiff_t>(from),
                                        characters.begin() + static_cast<std::ptrdiff_t>(from + lengths[run]));
    const Colour a = colours[run], z = colours[run + 1];
    out += Run(part, Red(a), Green(a), Blue(a), Red(z), Green(z), Blue(z), wavy, phase);
    from += lengths[run];
  }
  return out;
}

inline std::string Solid(const std::vector<Colour>& colours, const std::vector<std::string>& characters, bool wavy,
                         std::int16_t& phase) {
  std::string out;
  if (colours.size() == 1) out += Tag(Red(colours[0]), Green(colours[0]), Blue(colours[0]));
  std::size_t k = 0;
  for (const std::string& c : characters) {
    if (c != " ") {
      if (colours.size() > 1) {
        if (k == colours.size()) k = 0;
        out += Tag(Red(colours[k]), Green(colours[k]), Blue(colours[k]));
        ++k;
      }
      Wave(out, phase, wavy);
    }
    out += c;
  }
  return out;
}

// The whole line as FadeEngine renders it, the wave moving from `phase`.
inline std::string Fade(const Line& line, std::string_view text, std::int16_t& phase) {
  const std::vector<std::string> characters = Characters(text, line.utf8);
  std::string body;
  if (line.fadeNumber < 1 || line.fadeNumber > 6) {
    body = std::string(text);
  } else {
    const std::vector<Colour> colours(line.colours, line.colours + line.fadeNumber);
    body = line.solid || line.fadeNumber == 1 ? Solid(colours, characters, line.wavy, phase)
                                              : Gradient(colours, characters, line.wavy, phase);
  }
  if (body.empty()) return body;
  if (line.bold) body = "<B>" + body + "</B>";
  if (line.italic) body = "<I>" + body + "</I>";
  if (line.underline) body = "<U>" + body + "</U>";
  return body;
}

// Loads the line's settings into the live fade settings.
inline void Apply(const Line& line) {
  FadeSettings& s = LiveFadeSettings();
  s = FadeSettings{};
  s.FadeNumber = static_cast<std::int16_t>(line.fadeNumber);
  for (int i = 0; i < 6; ++i) s.Colors[i + 1] = line.colours[i];
  s.Bold = ToVBBool(line.bold);
  s.Italic = ToVBBool(line.italic);
  s.ULine = ToVBBool(line.underline);
  s.Wavy = ToVBBool(line.wavy);
  s.SolidFade = ToVBBool(line.solid);
  SetTextEncoding(line.utf8 ? TextEncoding::Utf8 : TextEncoding::Ansi);
}

// AOL markup built back from FadeEngineLayout: it must equal FadeEngine's.
inline std::string MarkupOfLayout(const FadedLine& layout, std::string_view text) {
  static const char* const kWaveTags[] = {"", "<sup>", "</sup>", "<sub>", "</sub>"};
  if (layout.empty) return "";
  std::string out;
  if (layout.underline) out += "<U>";
  if (layout.italic) out += "<I>";
  if (layout.bold) out += "<B>";
  const auto tagOf = [](std::uint32_t rgb) {
    return Tag(static_cast<int>(rgb >> 16 & 0xFF), static_cast<int>(rgb >> 8 & 0xFF), static_cast<int>(rgb & 0xFF));
  };
  if (layout.leadingColour) out += tagOf(*layout.leadingColour);
  for (const FadedCharacter& c : layout.characters) {
    if (c.tagged) out += tagOf(c.rgb);
    out += kWaveTags[c.waveTag];
    out += text.substr(c.offset, c.length);
  }
  if (layout.bold) out += "</B>";
  if (layout.italic) out += "</I>";
  if (layout.underline) out += "</U>";
  return out;
}

}  // namespace glimra::reference
