// Real input, as a member's hand gives it: the pointer moves and the button
// goes down and up through SendInput, so the click reaches whatever window
// is on the screen at that point, exactly as it would for the member.
#pragma once

#include <windows.h>

namespace wine_test {

// Clicks the left button at the screen point (x, y).
inline void ClickScreenAt(int x, int y) {
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  INPUT inputs[3] = {};
  for (INPUT& input : inputs) input.type = INPUT_MOUSE;
  inputs[0].mi.dx = static_cast<LONG>((x * 65536LL + width / 2) / width);
  inputs[0].mi.dy = static_cast<LONG>((y * 65536LL + height / 2) / height);
  inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  inputs[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(3, inputs, sizeof(INPUT));
  Sleep(150);
}

// Clicks the middle of `window` where it shows on the screen.
inline void ClickWithMouse(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  ClickScreenAt((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

}  // namespace wine_test
