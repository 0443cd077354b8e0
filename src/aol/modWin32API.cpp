#include "aol/modWin32API.h"

#include "shell/FormWindow.h"

namespace glimra {

namespace {

void PlaceInBand(HWND window, HWND band) { SetWindowPos(window, band, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); }

}  // namespace

void CenterForm(FormWindow& form) {
  const int screenWidth = PixelsToTwipsX(GetSystemMetrics(SM_CXSCREEN));
  const int screenHeight = PixelsToTwipsY(GetSystemMetrics(SM_CYSCREEN));
  form.Move((screenWidth - form.Width()) / 2, (screenHeight - form.Height()) / 2, form.Width(), form.Height());
}

void StayOnTop(FormWindow& form) { PlaceInBand(form.hWnd(), HWND_TOPMOST); }

void NotOnTop(FormWindow& form) { PlaceInBand(form.hWnd(), HWND_NOTOPMOST); }

void SetTopMost(HWND window, std::int16_t flag) {
  PlaceInBand(window, flag == -1 ? HWND_TOPMOST : flag == 0 ? HWND_NOTOPMOST : HWND_TOP);
}

}  // namespace glimra
