#include "engine/modFade.h"

#include <cstdio>
#include <cstring>

#include "runtime/ErrorReporting.h"

namespace glimra {

namespace {

FadeYield gYield = nullptr;
TextEncoding gEncoding = TextEncoding::Ansi;

constexpr char kModule[] = "modFade";
constexpr const char* kGradientNames[] = {"FadeByColor2", "FadeByColor3", "FadeByColor4", "FadeByColor5",
                                          "FadeByColor6"};
constexpr std::string_view kTagStart = "<FONT COLOR=#";
constexpr std::size_t kFontTagSize = 20;  // <FONT COLOR=#RRGGBB>
constexpr std::string_view kWaveTags[] = {"", "<sup>", "</sup>", "<sub>", "</sub>"};

// Length in bytes of the character that starts at `pos`.
std::size_t CharacterLength(std::string_view text, std::size_t pos) {
  if (gEncoding == TextEncoding::Ansi) return 1;
  const auto lead = static_cast<unsigned char>(text[pos]);
  std::size_t length = 1;
  if (lead >= 0xF0)
    length = 4;
  else if (lead >= 0xE0)
    length = 3;
  else if (lead >= 0xC0)
    length = 2;
  std::size_t available = 1;
  while (available < length && pos + available < text.size() &&
         (static_cast<unsigned char>(text[pos + available]) & 0xC0) == 0x80)
    ++available;
  return available;
}

std::size_t CountCharacters(std::string_view text) {
  if (gEncoding == TextEncoding::Ansi) return text.size();
  std::size_t count = 0;
  for (std::size_t pos = 0; pos < text.size(); pos += CharacterLength(text, pos)) ++count;
  return count;
}

// Byte offset of character number `index` (0-based) at or after `from`.
std::size_t AdvanceCharacters(std::string_view text, std::size_t from, std::size_t count) {
  if (gEncoding == TextEncoding::Ansi) return from + count;
  while (count-- > 0 && from < text.size()) from += CharacterLength(text, from);
  return from;
}

// Two upper-case hex digits for every byte value.
struct HexPairs {
  char pairs[256][2];
  constexpr HexPairs() : pairs() {
    constexpr char kDigits[] = "0123456789ABCDEF";
    for (int value = 0; value < 256; ++value) {
      pairs[value][0] = kDigits[value >> 4];
      pairs[value][1] = kDigits[value & 0xF];
    }
  }
};
constexpr HexPairs kHex;

// The exact size of the markup for `text`: its own bytes, a font tag per
// non-blank character (or one leading tag) and the wave tags from the
// current phase on.
std::size_t MarkupSize(std::string_view text, bool tagPerCharacter, bool wavy) {
  std::size_t size = text.size() + (tagPerCharacter ? 0 : kFontTagSize);
  int phase = WavePhase();
  for (char c : text) {
    if (c == ' ' || (gEncoding == TextEncoding::Utf8 && (static_cast<unsigned char>(c) & 0xC0) == 0x80)) continue;
    if (tagPerCharacter) size += kFontTagSize;
    if (wavy) {
      if (phase == 5) phase = 1;
      if (phase >= 1 && phase <= 4) size += kWaveTags[phase].size();
      ++phase;
    }
  }
  return size;
}

// Writes markup straight into the result: the room is made once, and the
// string is cut to what was written when the writer goes.
class MarkupWriter {
 public:
  MarkupWriter(std::string& out, std::size_t room) : out_(out), start_(out.size()) {
    out_.resize(start_ + room);
    cursor_ = out_.data() + start_;
  }
  ~MarkupWriter() { out_.resize(static_cast<std::size_t>(cursor_ - out_.data())); }
  MarkupWriter(const MarkupWriter&) = delete;
  MarkupWriter& operator=(const MarkupWriter&) = delete;

  void Add(std::string_view text) {
    std::memcpy(cursor_, text.data(), text.size());
    cursor_ += text.size();
  }
  void Add(const char* bytes, std::size_t size) {
    std::memcpy(cursor_, bytes, size);
    cursor_ += size;
  }

 private:
  std::string& out_;
  std::size_t start_;
  char* cursor_;
};

// "<FONT COLOR=#RRGGBB>", with FFFFFF written as FBFBFB.
void AddFontTag(MarkupWriter& markup, int red, int green, int blue) {
  markup.Add(kTagStart);
  if (red == 0xFF && green == 0xFF && blue == 0xFF) {
    markup.Add("FBFBFB", 6);
  } else {
    markup.Add(kHex.pairs[red], 2);
    markup.Add(kHex.pairs[green], 2);
    markup.Add(kHex.pairs[blue], 2);
  }
  markup.Add(">", 1);
}

void AddFontTag(MarkupWriter& markup, Colour colour) {
  AddFontTag(markup, colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

void AddWaveStep(MarkupWriter& markup, VBBool wavy) {
  std::int16_t& phase = WavePhase();
  if (phase == 5) phase = 1;
  if (IsTrue(wavy) && phase >= 1 && phase <= 4) markup.Add(kWaveTags[phase]);
  ++phase;
}

// Rounds to the nearest integer, halves to even, for the small values of a
// colour component (adding and taking away 1.5 * 2^52 leaves the FPU's
// round-to-nearest-even result).
int RoundComponent(double value) {
  constexpr double kRoundingShift = 6755399441055744.0;
  return static_cast<int>((value + kRoundingShift) - kRoundingShift);
}

void AppendGradientRun(std::string& out, std::string_view text, int startBlue, int endBlue, int startGreen,
                       int endGreen, int startRed, int endRed, VBBool wavy) {
  const double length = static_cast<double>(CountCharacters(text));
  // s + (e - s) / L * i, in that grouping.
  const double stepRed = (endRed - startRed) / length;
  const double stepGreen = (endGreen - startGreen) / length;
  const double stepBlue = (endBlue - startBlue) / length;
  MarkupWriter markup(out, MarkupSize(text, true, IsTrue(wavy)));
  double position = 0;
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t charLength = CharacterLength(text, pos);
    ++position;
    if (text[pos] != ' ') {
      AddFontTag(markup, RoundComponent(stepRed * position + startRed),
                 RoundComponent(stepGreen * position + startGreen), RoundComponent(stepBlue * position + startBlue));
      AddWaveStep(markup, wavy);
    }
    markup.Add(text.data() + pos, charLength);
    pos += charLength;
  }
}

void AppendGradient(std::string& out, const std::vector<Colour>& colours, std::string_view text, VBBool wavy) {
  const std::vector<std::size_t> lengths = GradientRunLengths(colours.size(), CountCharacters(text));
  WavePhase() = 2;
  std::size_t from = 0;
  for (std::size_t run = 0; run < lengths.size(); ++run) {
    const std::size_t to = AdvanceCharacters(text, from, lengths[run]);
    const Colour start = colours[run];
    const Colour end = colours[run + 1];
    AppendGradientRun(out, text.substr(from, to - from), (start >> 16) & 0xFF, (end >> 16) & 0xFF, (start >> 8) & 0xFF,
                      (end >> 8) & 0xFF, start & 0xFF, end & 0xFF, wavy);
    from = to;
  }
}

void AppendSolid(std::string& out, std::string_view text, const std::vector<Colour>& colours, VBBool wavy) {
  if (colours.empty()) return;
  const bool oneColour = colours.size() == 1;
  MarkupWriter markup(out, MarkupSize(text, !oneColour, IsTrue(wavy)));
  if (oneColour) AddFontTag(markup, colours[0]);
  std::size_t next = 0;
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t charLength = CharacterLength(text, pos);
    if (text[pos] != ' ') {
      if (!oneColour) {
        if (next == colours.size()) next = 0;
        AddFontTag(markup, colours[next++]);
      }
      AddWaveStep(markup, wavy);
    }
    markup.Add(text.data() + pos, charLength);
    pos += charLength;
  }
}

std::string GradientOver(const std::vector<Colour>& colours, std::string_view text, VBBool wavy) {
  std::string out;
  AppendGradient(out, colours, text, wavy);
  return out;
}

std::string GuardedGradient(const char* procedure, const std::vector<Colour>& colours, std::string_view text,
                            VBBool wavy) {
  std::string result;
  RunProcedure({kModule, procedure}, [&] { result = GradientOver(colours, text, wavy); });
  return result;
}

}  // namespace

FadeSettings& LiveFadeSettings() {
  static FadeSettings settings;
  return settings;
}

std::int16_t& WavePhase() {
  static std::int16_t phase = 0;
  return phase;
}

void SetFadeYield(FadeYield yield) { gYield = yield; }

void SetTextEncoding(TextEncoding encoding) { gEncoding = encoding; }

std::vector<std::size_t> GradientRunLengths(std::size_t colourCount, std::size_t length) {
  if (colourCount < 2) return {};
  const std::size_t runs = colourCount - 1;
  std::vector<std::size_t> lengths(runs, 0);
  if (runs == 1) {
    lengths[0] = length;
  } else if (runs == 2) {
    // Half the text, rounded to even: 1 -> 0, 3 -> 2, 5 -> 2, 7 -> 4.
    lengths[0] = static_cast<std::size_t>(RoundHalfEven(static_cast<double>(length) / 2));
    lengths[1] = length - lengths[0];
  } else {
    // Dealt out one character at a time, one round over all runs between yields.
    std::size_t left = length;
    while (left > 0) {
      for (std::size_t run = 0; run < runs && left > 0; ++run, --left) ++lengths[run];
      if (gYield) gYield();
    }
  }
  return lengths;
}

std::string MakeFade(std::string_view text, int startBlue, int endBlue, int startGreen, int endGreen, int startRed,
                     int endRed, VBBool wavy) {
  std::string result;
  RunProcedure({kModule, "MakeFade"}, [&] {
    AppendGradientRun(result, text, startBlue, endBlue, startGreen, endGreen, startRed, endRed, wavy);
  });
  return result;
}

std::string FadeByColors(const std::vector<Colour>& colours, std::string_view text, VBBool wavy) {
  if (colours.size() < 2 || colours.size() > 6) RaiseError(kErrInvalidCall);
  return GuardedGradient(kGradientNames[colours.size() - 2], colours, text, wavy);
}

std::string FadeByColor2(Colour c1, Colour c2, std::string_view text, VBBool wavy) {
  return FadeByColors({c1, c2}, text, wavy);
}

std::string FadeByColor3(Colour c1, Colour c2, Colour c3, std::string_view text, VBBool wavy) {
  return FadeByColors({c1, c2, c3}, text, wavy);
}

std::string FadeByColor4(Colour c1, Colour c2, Colour c3, Colour c4, std::string_view text, VBBool wavy) {
  return FadeByColors({c1, c2, c3, c4}, text, wavy);
}

std::string FadeByColor5(Colour c1, Colour c2, Colour c3, Colour c4, Colour c5, std::string_view text, VBBool wavy) {
  return FadeByColors({c1, c2, c3, c4, c5}, text, wavy);
}

std::string FadeByColor6(Colour c1, Colour c2, Colour c3, Colour c4, Colour c5, Colour c6, std::string_view text,
                         VBBool wavy) {
  return FadeByColors({c1, c2, c3, c4, c5, c6}, text, wavy);
}

std::string SolidByColor(std::string_view text, const std::vector<Colour>& colours, VBBool wavy) {
  std::string out;
  // A failure here ends the rendering without a report.
  SkipOnError([&] { AppendSolid(out, text, colours, wavy); });
  return out;
}

std::string RGBtoHEX(std::int32_t value) {
  std::string result;
  RunProcedure({kModule, "RGBtoHEX"}, [&] {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%X", static_cast<std::uint32_t>(value));
    result = digits;
    if (result.size() < 6) result.insert(0, 6 - result.size(), '0');
  });
  return result;
}

std::string FadeEngine(std::string& text) {
  RunProcedure({kModule, "FadeEngine"}, [&] {
    const FadeSettings& settings = LiveFadeSettings();
    const int count = settings.FadeNumber;
    // The style tags open in front of the rendering and close after it, so the
    // body is written once straight into the result.
    std::string open, close;
    if (IsTrue(settings.ULine)) open += "<U>";
    if (IsTrue(settings.Italic)) open += "<I>";
    if (IsTrue(settings.Bold)) open += "<B>";
    if (IsTrue(settings.Bold)) close += "</B>";
    if (IsTrue(settings.Italic)) close += "</I>";
    if (IsTrue(settings.ULine)) close += "</U>";

    std::string out = open;
    if (count >= 1 && count <= 6) {
      const std::vector<Colour> colours(settings.Colors + 1, settings.Colors + 1 + count);
      if (IsTrue(settings.SolidFade) || count == 1) {
        if (!SkipOnError([&] { AppendSolid(out, text, colours, settings.Wavy); })) out.resize(open.size());
      } else {
        RunProcedure({kModule, kGradientNames[count - 2]}, [&] { AppendGradient(out, colours, text, settings.Wavy); });
      }
    } else {
      out += text;
    }
    if (out.size() == open.size()) {  // the rendering is empty
      text.clear();
      return;
    }
    out += close;
    text = std::move(out);
  });
  return text;
}

}  // namespace glimra
