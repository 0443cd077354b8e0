// Window primitives: keeping Glimra's own windows centred, on the screen and
// above other windows.
#pragma once

#include <windows.h>

#include <cstdint>

namespace glimra {

class FormWindow;

// Left = (screen width - form width) / 2, Top likewise.
void CenterForm(FormWindow& form);
// Puts the form in the topmost band, or takes it out again.
void StayOnTop(FormWindow& form);
void NotOnTop(FormWindow& form);
// flag -1: topmost; 0: not topmost; anything else: top of the non-topmost band.
void SetTopMost(HWND window, std::int16_t flag);

}  // namespace glimra
