// The preview arithmetic on any surface size and any colours: it ends, draws
// no more lines than a surface has units, and every colour stays a colour.
#include <cstdint>

#include "FuzzInput.h"
#include "engine/FadePreview.h"

using namespace glimra;

namespace {

void RequireColours(const std::vector<PreviewLine>& lines) {
  fuzz::Require(lines.size() <= 2 * static_cast<std::size_t>(kLargestPreviewUnits) + 2);
  for (const PreviewLine& line : lines) fuzz::Require(line.colour >= 0 && line.colour <= 0xFFFFFF);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::FuzzInput input(data, size);
  const int count = input.Take<std::uint8_t>() % 8;
  const float width = input.Take<float>();
  Colour colours[6];
  for (Colour& colour : colours) colour = input.Take<Colour>();
  const auto stretches = PreviewStretches(count, width);
  fuzz::Require(stretches.size() == (count >= 2 && count <= 6 ? static_cast<std::size_t>(count - 1) : 0u));
  for (std::size_t k = 0; k < stretches.size(); ++k)
    RequireColours(
        FadeVerticalLines(SplitColour(colours[k]), SplitColour(colours[k + 1]), stretches[k].x0, stretches[k].x1));
  const ColourParts start{input.Take<float>(), input.Take<float>(), input.Take<float>()};
  const ColourParts end{input.Take<float>(), input.Take<float>(), input.Take<float>()};
  const float x0 = input.Take<float>(), x1 = input.Take<float>();
  RequireColours(FadeVerticalLines(start, end, x0, x1));
  RequireColours(GradientLines(colours[0], colours[1], input.Take<float>()));
  return 0;
}
