// Pieces the menu's small windows share: labels in Arial on the form's
// background, one of them coloured, and the program's logo picture.
#pragma once

#include <windows.h>

#include <string>

#include "runtime/FormWindow.h"

namespace glimra {

// An Arial font of `points` points, deleted with the object.
class LabelFont {
 public:
  LabelFont(double points, bool bold);
  ~LabelFont();
  LabelFont(const LabelFont&) = delete;
  LabelFont& operator=(const LabelFont&) = delete;
  HFONT Handle() const { return font_; }

 private:
  HFONT font_;
};

// A visible static label; `align` is SS_LEFT, SS_RIGHT or SS_CENTER.
HWND AddLabel(FormWindow& form, UINT id, const std::string& text, const TwipRect& place, const LabelFont& font,
              DWORD align = SS_LEFT);

// Answers WM_CTLCOLORSTATIC for a label that draws `text` on the form's
// background colour; `brush` is (re)made in that colour and kept by the caller.
LRESULT ColourLabel(HDC dc, const FormWindow& form, Colour text, HBRUSH& brush);

// The program's logo: a faded tile with the initial, drawn on every paint.
HWND AddLogo(FormWindow& form, UINT id, const TwipRect& place);

}  // namespace glimra
