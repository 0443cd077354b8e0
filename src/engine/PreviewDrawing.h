// Drawing the colour previews: the horizontal strip of vertical lines the
// chat tools window shows, and the vertical gradient of horizontal lines
// behind the about box. Any surface that knows its scale size and can draw
// a line serves.
#pragma once

#include <windows.h>

#include <cstdint>

#include "engine/FadePreview.h"

namespace glimra {

class DrawingSurface {
 public:
  virtual ~DrawingSurface() = default;
  virtual float ScaleWidth() const = 0;
  virtual float ScaleHeight() const = 0;
  // A line from (x0, y0) up to, not including, (x1, y1).
  virtual void Line(float x0, float y0, float x1, float y1, Colour colour) = 0;
  // Fills the whole surface with one colour.
  virtual void Fill(Colour colour) = 0;
};

// A device context of `width` x `height` pixels; one scale unit is a pixel.
class DcSurface : public DrawingSurface {
 public:
  DcSurface(HDC dc, int width, int height) : dc_(dc), width_(width), height_(height) {}
  float ScaleWidth() const override { return static_cast<float>(width_); }
  float ScaleHeight() const override { return static_cast<float>(height_); }
  void Line(float x0, float y0, float x1, float y1, Colour colour) override;
  void Fill(Colour colour) override;

 private:
  HDC dc_;
  int width_, height_;
};

// One stretch of the strip: vertical lines from x0 to x1 stepping from the
// start colour to the end colour.
void FadeVertical(DrawingSurface& surface, float r1, float g1, float b1, float r2, float g2, float b2, float x0,
                  float x1);
// The strip for colours[0 .. count - 1]: one flat colour for a count of 1,
// the stretches of PreviewStretches for 2 to 6.
void DrawFadeStrip(DrawingSurface& surface, const Colour* colours, int count);
// Fills the surface with a vertical gradient from c1 (top) to c2 (bottom);
// the fourth argument is not used. Errors go to the error handler
// ("modFade", "Gradient").
void Gradient(DrawingSurface& surface, Colour c1, Colour c2, std::int32_t unused);

}  // namespace glimra
