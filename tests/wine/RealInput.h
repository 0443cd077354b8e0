// Input as a member gives it: mouse and keys through SendInput into the
// window under the pointer or with the focus, with the test's own windows
// dispatching what arrives.
#pragma once

#include <windows.h>

namespace real_input {

// Dispatches this thread's messages until none arrived for `quietMs`.
inline void Pump(DWORD quietMs = 40) {
  ULONGLONG quietSince = GetTickCount64();
  const ULONGLONG giveUp = quietSince + 2000;
  while (GetTickCount64() - quietSince < quietMs && GetTickCount64() < giveUp) {
    MSG message;
    if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
      quietSince = GetTickCount64();
    } else {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
  }
}

inline void Send(INPUT input) {
  SendInput(1, &input, sizeof input);
  Pump();
}

// Moves the pointer to a point of `window`'s client area.
inline void MoveTo(HWND window, int x, int y) {
  POINT at{x, y};
  ClientToScreen(window, &at);
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = MulDiv(at.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
  input.mi.dy = MulDiv(at.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  Send(input);
}

inline void LeftButton(bool down) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  Send(input);
}

inline void ClickAt(HWND window, int x, int y) {
  MoveTo(window, x, y);
  LeftButton(true);
  LeftButton(false);
}

inline void Key(WORD key, bool down) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
  Send(input);
}

inline void Press(WORD key) {
  Key(key, true);
  Key(key, false);
}

// Makes `window` the active window with the keyboard, as a member's click on it would.
inline void Activate(HWND window) {
  SetForegroundWindow(window);
  SetActiveWindow(window);
  Pump();
}

}  // namespace real_input
