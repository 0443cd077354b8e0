// A member's hands for the end-to-end tests: real mouse clicks and key
// presses through SendInput, which reach whatever window is under the
// pointer or has the focus, as the member's own would.
#pragma once

#include <windows.h>

#include <string>

namespace wine_test {

inline void SendOne(INPUT input) { SendInput(1, &input, sizeof input); }

inline void MovePointerTo(POINT screen) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = MulDiv(screen.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
  input.mi.dy = MulDiv(screen.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendOne(input);
  Sleep(50);
}

inline void MouseButton(DWORD flag) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flag;
  SendOne(input);
  Sleep(50);
}

// A left click at `point` of `window`'s client area.
inline void ClickAt(HWND window, POINT point) {
  ClientToScreen(window, &point);
  MovePointerTo(point);
  MouseButton(MOUSEEVENTF_LEFTDOWN);
  MouseButton(MOUSEEVENTF_LEFTUP);
  Sleep(150);
}

inline void ClickCentre(HWND window) {
  RECT r{};
  GetClientRect(window, &r);
  ClickAt(window, {r.right / 2, r.bottom / 2});
}

// Presses the mouse button on `window`, moves by (dx, dy) in steps and lets go.
inline void DragBy(HWND window, POINT start, int dx, int dy) {
  ClientToScreen(window, &start);
  MovePointerTo(start);
  MouseButton(MOUSEEVENTF_LEFTDOWN);
  for (int step = 1; step <= 5; ++step) MovePointerTo({start.x + dx * step / 5, start.y + dy * step / 5});
  MouseButton(MOUSEEVENTF_LEFTUP);
  Sleep(300);
}

inline void Key(WORD vk, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = vk;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  if (vk == VK_LEFT || vk == VK_RIGHT || vk == VK_HOME || vk == VK_END) input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
  SendOne(input);
}

inline void PressKey(WORD vk, int times = 1) {
  for (int i = 0; i < times; ++i) {
    Key(vk, false);
    Key(vk, true);
  }
  Sleep(100);
}

// Holds Shift while pressing `vk` `times` times: the selection grows.
inline void ShiftPress(WORD vk, int times) {
  Key(VK_SHIFT, false);
  for (int i = 0; i < times; ++i) {
    Key(vk, false);
    Key(vk, true);
  }
  Key(VK_SHIFT, true);
  Sleep(100);
}

// Types `text` into the window with the focus, one character at a time.
inline void TypeText(const std::string& text) {
  for (unsigned char c : text) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wScan = c;
    input.ki.dwFlags = KEYEVENTF_UNICODE;
    SendOne(input);
    input.ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
    SendOne(input);
  }
  Sleep(200);
}

}  // namespace wine_test
