#include "engine/FadePreview.h"

#include <algorithm>
#include <cmath>

#include "runtime/Conversions.h"

namespace glimra {

namespace {

// Each component is kept to 0..255 before it is rounded: the accumulated
// steps of a very wide stretch (or a colour with the sign bit) would
// otherwise carry into the next component.
Colour RoundedColour(float red, float green, float blue) {
  const auto part = [](float value) {
    const float bounded = std::isnan(value) ? 0.0f : std::clamp(value, 0.0f, 255.0f);
    return static_cast<std::int32_t>(RoundHalfEven(bounded));
  };
  return part(red) + part(green) * 256 + part(blue) * 65536;
}

// Extents and positions are kept within what a surface can have; past 2^24
// a single real no longer moves by one unit, and a loop over the units
// would never end.
float BoundedUnits(float units) {
  if (std::isnan(units)) return 0;
  return std::clamp(units, -kLargestPreviewUnits, kLargestPreviewUnits);
}

}  // namespace

ColourParts SplitColour(Colour colour) {
  return {static_cast<float>(colour % 256), static_cast<float>((colour / 256) % 256),
          static_cast<float>((colour / 65536) % 256)};
}

std::vector<PreviewStretch> PreviewStretches(int colourCount, float scaleWidth) {
  if (colourCount < 2 || colourCount > 6) return {};
  const float w = BoundedUnits(scaleWidth);
  const auto rounded = static_cast<std::int32_t>(RoundHalfEven(w));
  const auto f = static_cast<float>(rounded / (colourCount - 1));
  switch (colourCount) {
    case 2: return {{0, w}};
    case 3: return {{0, f}, {f, w}};
    case 4: return {{0, f}, {f, w - f}, {w - f, w}};
    case 5: return {{0, f}, {f, static_cast<float>(rounded / 2)}, {static_cast<float>(rounded / 2), w - f}, {w - f, w}};
    default: return {{0, f}, {f + 1, 2 * f}, {2 * f + 1, 3 * f}, {3 * f + 1, w - f}, {w - f, w}};
  }
}

std::vector<PreviewLine> FadeVerticalLines(const ColourParts& start, const ColourParts& end, float x0, float x1) {
  x0 = BoundedUnits(x0);
  x1 = BoundedUnits(x1);
  const float d = x1 - x0;
  // Zero width would divide by zero: the one column takes the end colour.
  if (d == 0) return {{x0, RoundedColour(end.red, end.green, end.blue)}};
  const float dr = (end.red - start.red) / d;
  const float dg = (end.green - start.green) / d;
  const float db = (end.blue - start.blue) / d;
  float r = start.red, g = start.green, b = start.blue;
  std::vector<PreviewLine> lines;
  for (float x = x0; x <= x1; x += 1) {
    lines.push_back({x, RoundedColour(r, g, b)});
    r += dr;
    g += dg;
    b += db;
  }
  return lines;
}

std::vector<PreviewLine> GradientLines(Colour top, Colour bottom, float scaleHeight) {
  const ColourParts a = SplitColour(top), z = SplitColour(bottom);
  const float h = BoundedUnits(scaleHeight);
  const float dr = (z.red - a.red) / h, dg = (z.green - a.green) / h, db = (z.blue - a.blue) / h;
  float r = a.red, g = a.green, b = a.blue;
  std::vector<PreviewLine> lines;
  for (float y = 0; y <= h; y += 1) {
    lines.push_back({y, RoundedColour(r, g, b)});
    r += dr;
    g += dg;
    b += db;
  }
  return lines;
}

}  // namespace glimra
