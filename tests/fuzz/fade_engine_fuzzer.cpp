// The fade engine on any settings and any bytes: the markup equals the plain
// rendering byte for byte, the character layout builds the same markup, and
// every operation survives components, colours and wave phases of any value.
#include <cstdint>
#include <string>

#include "../native/FadeReference.h"
#include "FuzzInput.h"
#include "engine/modFade.h"

using namespace glimra;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::FuzzInput input(data, size);
  reference::Line line;
  line.fadeNumber = input.Take<std::uint8_t>() % 9 - 1;  // -1 .. 7: a count out of range leaves the text
  for (Colour& colour : line.colours) colour = input.Take<Colour>();
  const std::uint8_t flags = input.Take<std::uint8_t>();
  line.bold = flags & 1, line.italic = flags & 2, line.underline = flags & 4, line.wavy = flags & 8;
  line.solid = flags & 16, line.utf8 = flags & 32;
  const auto phase = static_cast<std::int16_t>(input.Take<std::uint8_t>() % 6);
  const int components[6] = {input.Take<std::int16_t>(), input.Take<std::int16_t>(), input.Take<std::int16_t>(),
                             input.Take<std::int16_t>(), input.Take<std::int16_t>(), input.Take<std::int16_t>()};
  const std::string text(input.Rest());

  reference::Apply(line);
  std::int16_t expectedPhase = phase;
  const std::string expected = reference::Fade(line, text, expectedPhase);
  WavePhase() = phase;
  std::string markup = text;
  FadeEngine(markup);
  fuzz::Require(markup == expected);
  fuzz::Require(WavePhase() == expectedPhase);

  WavePhase() = phase;
  fuzz::Require(reference::MarkupOfLayout(FadeEngineLayout(text), text) == expected);

  // One run with components of any value: the same as with each held to 0..255.
  const auto held = [](int value) { return value < 0 ? 0 : value > 255 ? 255 : value; };
  WavePhase() = phase;
  const std::string run = MakeFade(text, components[0], components[1], components[2], components[3], components[4],
                                   components[5], ToVBBool(line.wavy));
  WavePhase() = phase;
  fuzz::Require(run == MakeFade(text, held(components[0]), held(components[1]), held(components[2]),
                                held(components[3]), held(components[4]), held(components[5]), ToVBBool(line.wavy)));

  const std::string hex = RGBtoHEX(line.colours[0]);
  fuzz::Require(hex.size() >= 6 && hex.size() <= 8);
  return 0;
}
