#include "shell/FormParts.h"

#include <cmath>

#include "engine/PreviewDrawing.h"

namespace glimra {

namespace {

constexpr char kLogoClass[] = "GlimraLogo";
constexpr Colour kLogoTop = 0xAD6D00;     // the blue of Glimra's buttons
constexpr Colour kLogoBottom = 0x8000C0;  // a deep purple

LRESULT CALLBACK LogoProc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
  if (message == WM_ERASEBKGND) return 1;
  if (message != WM_PAINT) return DefWindowProcA(window, message, wp, lp);
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  RECT r;
  GetClientRect(window, &r);
  DcSurface surface(dc, r.right, r.bottom);
  Gradient(surface, kLogoTop, kLogoBottom, 2);
  HFONT font = CreateFontA(-r.bottom * 3 / 4, 0, 0, 0, FW_BOLD, TRUE, FALSE, FALSE, ANSI_CHARSET, 0, 0,
                           ANTIALIASED_QUALITY, VARIABLE_PITCH | FF_SWISS, "Arial");
  HGDIOBJ old = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(255, 255, 255));
  DrawTextA(dc, "G", 1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  SelectObject(dc, old);
  DeleteObject(font);
  DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
  EndPaint(window, &paint);
  return 0;
}

}  // namespace

LabelFont::LabelFont(double points, bool bold)
    : font_(CreateFontA(-static_cast<int>(std::lround(points * 20 / TwipsPerPixelY())), 0, 0, 0,
                        bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, 0, 0, DEFAULT_QUALITY,
                        VARIABLE_PITCH | FF_SWISS, "Arial")) {}

LabelFont::~LabelFont() {
  if (font_) DeleteObject(font_);
}

HWND AddLabel(FormWindow& form, UINT id, const std::string& text, const TwipRect& place, const LabelFont& font,
              DWORD align) {
  HWND label = form.AddChild("STATIC", text, WS_VISIBLE | SS_NOPREFIX | align, id, place);
  SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(font.Handle()), FALSE);
  return label;
}

LRESULT ColourLabel(HDC dc, const FormWindow& form, Colour text, HBRUSH& brush) {
  if (!brush) brush = CreateSolidBrush(ResolveColour(form.BackColor()));
  SetTextColor(dc, ResolveColour(text));
  SetBkColor(dc, ResolveColour(form.BackColor()));
  return reinterpret_cast<LRESULT>(brush);
}

HWND AddLogo(FormWindow& form, UINT id, const TwipRect& place) {
  RegisterWindowClass(kLogoClass, LogoProc);
  return form.AddChild(kLogoClass, "", WS_VISIBLE, id, place);
}

}  // namespace glimra
