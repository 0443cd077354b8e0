#include "engine/PreviewDrawing.h"

#include <cmath>

#include "runtime/ErrorReporting.h"

namespace glimra {

namespace {

int Pixel(float unit) { return static_cast<int>(std::floor(unit)); }

}  // namespace

void DcSurface::Line(float x0, float y0, float x1, float y1, Colour colour) {
  HPEN pen = CreatePen(PS_SOLID, 1, static_cast<COLORREF>(colour) & 0xFFFFFFu);
  HGDIOBJ old = SelectObject(dc_, pen);
  MoveToEx(dc_, Pixel(x0), Pixel(y0), nullptr);
  LineTo(dc_, Pixel(x1), Pixel(y1));
  SelectObject(dc_, old);
  DeleteObject(pen);
}

void DcSurface::Fill(Colour colour) {
  HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(colour) & 0xFFFFFFu);
  RECT all{0, 0, width_, height_};
  FillRect(dc_, &all, brush);
  DeleteObject(brush);
}

void FadeVertical(DrawingSurface& surface, float r1, float g1, float b1, float r2, float g2, float b2, float x0,
                  float x1) {
  const float h = surface.ScaleHeight();
  for (const PreviewLine& line : FadeVerticalLines({r1, g1, b1}, {r2, g2, b2}, x0, x1))
    surface.Line(line.at, 0, line.at, h, line.colour);
}

void DrawFadeStrip(DrawingSurface& surface, const Colour* colours, int count) {
  if (count == 1) {
    surface.Fill(colours[0]);
    return;
  }
  const auto stretches = PreviewStretches(count, surface.ScaleWidth());
  for (std::size_t k = 0; k < stretches.size(); ++k) {
    const ColourParts a = SplitColour(colours[k]), z = SplitColour(colours[k + 1]);
    FadeVertical(surface, a.red, a.green, a.blue, z.red, z.green, z.blue, stretches[k].x0, stretches[k].x1);
  }
}

void Gradient(DrawingSurface& surface, Colour c1, Colour c2, std::int32_t /*unused*/) {
  RunProcedure({"modFade", "Gradient"}, [&] {
    const float w = surface.ScaleWidth();
    for (const PreviewLine& line : GradientLines(c1, c2, surface.ScaleHeight()))
      surface.Line(0, line.at, w, line.at, line.colour);
  });
}

}  // namespace glimra
