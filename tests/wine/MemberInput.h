// A member at the mouse and keyboard: real input through SendInput, which
// Wine delivers to the window under the pointer or to the focused window,
// exactly as it delivers a person's input.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace wine_test {

// Polls `done` until it holds or `timeoutMs` have passed.
inline bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    if (done()) return true;
    if (GetTickCount64() >= deadline) return false;
    Sleep(20);
  }
}

inline void SendMouse(DWORD flags, POINT at = {0, 0}) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  if (flags & MOUSEEVENTF_ABSOLUTE) {
    input.mi.dx = MulDiv(at.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(at.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
  }
  SendInput(1, &input, sizeof input);
}

// Moves the pointer to `at` (screen pixels) and clicks the left button.
inline void ClickAt(POINT at) {
  SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, at);
  Sleep(40);
  SendMouse(MOUSEEVENTF_LEFTDOWN);
  Sleep(20);
  SendMouse(MOUSEEVENTF_LEFTUP);
}

// Clicks the middle of a window that can be seen and used; false when it
// cannot be clicked within `timeoutMs`.
inline bool ClickOn(HWND window, DWORD timeoutMs = 5000) {
  // A window under a modal one takes no clicks: wait until its whole window is usable again.
  const auto usable = [&] {
    HWND top = GetAncestor(window, GA_ROOT);
    return IsWindowVisible(window) && IsWindowEnabled(window) && top && IsWindowEnabled(top);
  };
  if (!WaitUntil(usable, timeoutMs)) return false;
  Sleep(50);
  RECT r{};
  GetWindowRect(window, &r);
  ClickAt({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
  return true;
}

inline void SendKey(WORD virtualKey, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = virtualKey;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &input, sizeof input);
}

// Presses and releases a key, optionally with a modifier held (VK_SHIFT, VK_MENU, ...).
inline void PressKey(WORD virtualKey, WORD modifier = 0) {
  if (modifier) SendKey(modifier, false);
  SendKey(virtualKey, false);
  SendKey(virtualKey, true);
  if (modifier) SendKey(modifier, true);
  Sleep(30);
}

// Types text into the focused window, one key at a time as on a US keyboard.
inline void TypeText(const std::string& text) {
  for (char c : text) {
    const SHORT key = VkKeyScanA(c);
    if (key == -1) continue;
    const bool shift = (key & 0x100) != 0;
    PressKey(static_cast<WORD>(key & 0xFF), shift ? VK_SHIFT : 0);
  }
}

}  // namespace wine_test
