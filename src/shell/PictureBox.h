// A picture box: a child window whose drawing is kept in a bitmap, so what
// was printed stays when the window is repainted. The message box prints its
// text and icon into one.
#pragma once

#include <windows.h>

#include <string>

#include "runtime/FormWindow.h"
#include "shell/MsgBoxLayout.h"

namespace glimra {

class PictureBox : public TextArea {
 public:
  // A sunken child of `parent` at `place` (twips), with `backColour` and an
  // Arial font of `pointSize`.
  PictureBox(HWND parent, UINT id, const TwipRect& place, Colour backColour, double pointSize);
  ~PictureBox() override;
  PictureBox(const PictureBox&) = delete;
  PictureBox& operator=(const PictureBox&) = delete;

  HWND Window() const { return window_; }
  int HeightTwips() const;
  void DrawIconAt(HICON icon, int x, int y);
  COLORREF PixelAt(int x, int y) const;

  // TextArea
  int TextWidth(std::string_view text, const TextStyle& style) override;
  int LineHeight(const TextStyle& style) override;
  int InnerWidth() override;
  int InnerHeight() override;
  void SetOuterHeightTwips(int twips) override;
  int TwipsPerPixelY() override;
  void Clear() override;
  void Print(int x, int y, std::string_view text, const TextStyle& style) override;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wp, LPARAM lp);
  HFONT FontFor(const TextStyle& style);
  void MakeCanvas(int width, int height);

  HWND window_ = nullptr;
  HDC canvas_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ oldBitmap_ = nullptr;
  HFONT fonts_[8] = {};
  double pointSize_;
  Colour backColour_;
};

}  // namespace glimra
