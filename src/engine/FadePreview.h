// The arithmetic of the colour previews: where each stretch of the strip
// starts and ends, and which colour each drawn line gets. Portable; the
// drawing itself (PreviewDrawing.h) only puts these lines on a surface.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/modFade.h"

namespace glimra {

// A colour's components: red = c Mod 256, green = (c \ 256) Mod 256,
// blue = (c \ 65536) Mod 256, truncating and keeping the sign of c.
struct ColourParts {
  float red, green, blue;
};
ColourParts SplitColour(Colour colour);

// Windows 95 and 98 draw with 16-bit coordinates: surfaces, positions and
// stretches reach at most this many units either way, and larger values are
// taken as this. Drawn colour components stay within 0..255.
constexpr float kLargestPreviewUnits = 32767;

// One stretch of the strip, from colour k at x0 to colour k + 1 at x1.
struct PreviewStretch {
  float x0, x1;
};
// The stretches of the strip for `colourCount` (2 to 6) colours on a
// surface `scaleWidth` units wide, left to right; none for other counts.
std::vector<PreviewStretch> PreviewStretches(int colourCount, float scaleWidth);

// One line to draw: its position (x for the strip's columns, y for the
// gradient's rows) and its colour.
struct PreviewLine {
  float at;
  Colour colour;
};
// The columns of one stretch, x0, x0 + 1, ... while x <= x1, the colour
// stepping from `start` to `end`. A stretch of zero width is its one column
// in the end colour.
std::vector<PreviewLine> FadeVerticalLines(const ColourParts& start, const ColourParts& end, float x0, float x1);
// The rows of a vertical gradient from `top` to `bottom` over a surface
// `scaleHeight` units high, y = 0, 1, ... while y <= scaleHeight.
std::vector<PreviewLine> GradientLines(Colour top, Colour bottom, float scaleHeight);

}  // namespace glimra
