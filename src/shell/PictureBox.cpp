#include "shell/PictureBox.h"

#include <algorithm>

namespace glimra {

namespace {

constexpr char kPictureClass[] = "GlimraPicture";

}  // namespace

PictureBox::PictureBox(HWND parent, UINT id, const TwipRect& place, Colour backColour, double pointSize)
    : pointSize_(pointSize), backColour_(backColour) {
  RegisterWindowClass(kPictureClass, DefWindowProcA);
  window_ =
      CreateWindowExA(WS_EX_CLIENTEDGE, kPictureClass, "", WS_CHILD | WS_VISIBLE, TwipsToPixelsX(place.left),
                      TwipsToPixelsY(place.top), TwipsToPixelsX(place.width), TwipsToPixelsY(place.height), parent,
                      reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
  SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PictureBox::WindowProc));
  RECT client;
  GetClientRect(window_, &client);
  MakeCanvas(client.right, client.bottom);
  Clear();
}

PictureBox::~PictureBox() {
  if (IsWindow(window_)) SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
  if (canvas_) {
    SelectObject(canvas_, oldBitmap_);
    DeleteDC(canvas_);
  }
  if (bitmap_) DeleteObject(bitmap_);
  for (HFONT font : fonts_)
    if (font) DeleteObject(font);
}

void PictureBox::MakeCanvas(int width, int height) {
  HDC screen = GetDC(nullptr);
  HDC canvas = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, std::max(width, 1), std::max(height, 1));
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(canvas, bitmap);
  RECT all{0, 0, width, height};
  HBRUSH back = CreateSolidBrush(ResolveColour(backColour_));
  FillRect(canvas, &all, back);
  DeleteObject(back);
  if (canvas_) {  // keep what was drawn when the area grows
    BITMAP previous;
    GetObject(bitmap_, sizeof previous, &previous);
    BitBlt(canvas, 0, 0, previous.bmWidth, previous.bmHeight, canvas_, 0, 0, SRCCOPY);
    SelectObject(canvas_, oldBitmap_);
    DeleteDC(canvas_);
    DeleteObject(bitmap_);
  }
  canvas_ = canvas;
  bitmap_ = bitmap;
  oldBitmap_ = old;
  SetBkMode(canvas_, TRANSPARENT);
}

HFONT PictureBox::FontFor(const TextStyle& style) {
  const int index = (style.bold ? 1 : 0) | (style.italic ? 2 : 0) | (style.underline ? 4 : 0);
  if (!fonts_[index]) {
    HDC screen = GetDC(nullptr);
    const int height = -MulDiv(static_cast<int>(pointSize_ * 100), GetDeviceCaps(screen, LOGPIXELSY), 7200);
    ReleaseDC(nullptr, screen);
    fonts_[index] = CreateFontA(height, 0, 0, 0, style.bold ? FW_BOLD : FW_NORMAL, style.italic, style.underline, FALSE,
                                ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                DEFAULT_PITCH | FF_SWISS, "Arial");
  }
  return fonts_[index];
}

int PictureBox::HeightTwips() const {
  RECT r;
  GetWindowRect(window_, &r);
  return PixelsToTwipsY(r.bottom - r.top);
}

void PictureBox::DrawIconAt(HICON icon, int x, int y) {
  DrawIcon(canvas_, x, y, icon);
  InvalidateRect(window_, nullptr, FALSE);
}

COLORREF PictureBox::PixelAt(int x, int y) const { return GetPixel(canvas_, x, y); }

int PictureBox::TextWidth(std::string_view text, const TextStyle& style) {
  HGDIOBJ old = SelectObject(canvas_, FontFor(style));
  SIZE size{};
  GetTextExtentPoint32A(canvas_, text.data(), static_cast<int>(text.size()), &size);
  SelectObject(canvas_, old);
  return size.cx;
}

int PictureBox::LineHeight(const TextStyle& style) {
  HGDIOBJ old = SelectObject(canvas_, FontFor(style));
  TEXTMETRICA metrics{};
  GetTextMetricsA(canvas_, &metrics);
  SelectObject(canvas_, old);
  return metrics.tmHeight;
}

int PictureBox::InnerWidth() {
  RECT client;
  GetClientRect(window_, &client);
  return client.right;
}

int PictureBox::InnerHeight() {
  RECT client;
  GetClientRect(window_, &client);
  return client.bottom;
}

void PictureBox::SetOuterHeightTwips(int twips) {
  RECT r;
  GetWindowRect(window_, &r);
  MapWindowPoints(nullptr, GetParent(window_), reinterpret_cast<POINT*>(&r), 2);
  MoveWindow(window_, r.left, r.top, r.right - r.left, TwipsToPixelsY(twips), TRUE);
  RECT client;
  GetClientRect(window_, &client);
  MakeCanvas(client.right, client.bottom);
}

int PictureBox::TwipsPerPixelY() { return glimra::TwipsPerPixelY(); }

void PictureBox::Clear() {
  RECT client;
  GetClientRect(window_, &client);
  HBRUSH back = CreateSolidBrush(ResolveColour(backColour_));
  FillRect(canvas_, &client, back);
  DeleteObject(back);
  InvalidateRect(window_, nullptr, FALSE);
}

void PictureBox::Print(int x, int y, std::string_view text, const TextStyle& style) {
  HGDIOBJ old = SelectObject(canvas_, FontFor(style));
  SetTextColor(canvas_, style.colour ? *style.colour : GetSysColor(COLOR_WINDOWTEXT));
  TextOutA(canvas_, x, y, text.data(), static_cast<int>(text.size()));
  SelectObject(canvas_, old);
  InvalidateRect(window_, nullptr, FALSE);
}

LRESULT CALLBACK PictureBox::WindowProc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
  auto* picture = reinterpret_cast<PictureBox*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (picture && message == WM_PAINT) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    BitBlt(dc, 0, 0, client.right, client.bottom, picture->canvas_, 0, 0, SRCCOPY);
    EndPaint(window, &paint);
    return 0;
  }
  if (picture && message == WM_ERASEBKGND) return 1;
  return DefWindowProcA(window, message, wp, lp);
}

}  // namespace glimra
