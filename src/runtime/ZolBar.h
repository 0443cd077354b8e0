// The ZolBar progress bar of zolbar.ocx: a caption and a value 0 to 100,
// with its colours, as a child window of a Glimra form.
#pragma once

#include <windows.h>

#include <string>

namespace glimra {

class ZolBar {
 public:
  enum ColorPart { kBackColor = 0, kBarColor = 1, kForeColor = 2, kBarTextColor = 3 };

  // Creates the bar in `parent`; raises run-time error 53 when zolbar.ocx
  // cannot be loaded.
  ZolBar(HWND parent, int x, int y, int width, int height, UINT id = 0);
  ~ZolBar();
  ZolBar(const ZolBar&) = delete;
  ZolBar& operator=(const ZolBar&) = delete;

  HWND Window() const { return window_; }
  void SetCaption(const std::string& caption);
  std::string Caption() const;
  // Values outside 0..100 are clamped by the control.
  void SetValue(int value);
  int Value() const;
  void SetColor(ColorPart part, COLORREF color);
  COLORREF Color(ColorPart part) const;

 private:
  HWND window_;
};

}  // namespace glimra
