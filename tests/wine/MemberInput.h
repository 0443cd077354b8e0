// A member's hands: real mouse clicks and key presses through SendInput.
// Wine delivers them as it delivers a member's own: the click to the window
// under the pointer (activating its top-level window), the keys to the
// window that has the keyboard focus.
#pragma once

#include <windows.h>

#include <string>

namespace wine_test {

inline void SendInputs(INPUT* inputs, UINT count) { SendInput(count, inputs, sizeof(INPUT)); }

// Moves the pointer to the middle of `window` and clicks the left button.
// False when another window covers that point (the click would land there).
inline bool ClickInto(HWND window) {
  RECT r;
  if (!GetWindowRect(window, &r)) return false;
  POINT middle{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  HWND under = WindowFromPoint(middle);
  if (under != window && !IsChild(window, under)) return false;
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  INPUT inputs[3] = {};
  for (INPUT& input : inputs) {
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(middle.x, 65535, width - 1);
    input.mi.dy = MulDiv(middle.y, 65535, height - 1);
    input.mi.dwFlags = MOUSEEVENTF_ABSOLUTE;
  }
  inputs[0].mi.dwFlags |= MOUSEEVENTF_MOVE;
  inputs[1].mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
  inputs[2].mi.dwFlags |= MOUSEEVENTF_LEFTUP;
  SendInputs(inputs, 3);
  return true;
}

// The window that has the keyboard focus in the thread that owns `window`.
inline HWND FocusInThreadOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

// Clicks into `window` until it has the keyboard focus, as a member who sees
// no caret clicks again: a click into a program that is not in front may
// leave the focus where that program's activation puts it. `pump` runs
// between looks (the caller's own events, when its thread owns windows the
// click reaches through).
template <class Pump>
bool ClickIntoUntilFocused(HWND window, Pump pump, int clicks = 5) {
  for (int click = 0; click < clicks; ++click) {
    if (!ClickInto(window)) return false;
    for (int look = 0; look < 25; ++look) {
      pump(20);
      if (FocusInThreadOf(window) == window) return true;
    }
  }
  return false;
}
inline bool ClickIntoUntilFocused(HWND window) {
  return ClickIntoUntilFocused(window, [](DWORD ms) { Sleep(ms); });
}

// Presses and releases one key, with Ctrl held when `control` is set.
inline void PressKey(WORD virtualKey, bool control = false) {
  INPUT inputs[4] = {};
  UINT count = 0;
  const auto key = [&](WORD vk, DWORD flags) {
    INPUT& input = inputs[count++];
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = flags;
  };
  if (control) key(VK_CONTROL, 0);
  key(virtualKey, 0);
  key(virtualKey, KEYEVENTF_KEYUP);
  if (control) key(VK_CONTROL, KEYEVENTF_KEYUP);
  SendInputs(inputs, count);
}

// Types `text` one character after the other, as a keyboard would.
inline void TypeKeys(const std::string& text) {
  for (unsigned char c : text) {
    INPUT inputs[2] = {};
    for (INPUT& input : inputs) {
      input.type = INPUT_KEYBOARD;
      input.ki.wScan = c;
      input.ki.dwFlags = KEYEVENTF_UNICODE;
    }
    inputs[1].ki.dwFlags |= KEYEVENTF_KEYUP;
    SendInputs(inputs, 2);
  }
}

inline void PressEnter() { PressKey(VK_RETURN); }

// The member sees the box and types into it.
inline bool VisibleWithFocus(HWND window) { return IsWindowVisible(window) && FocusInThreadOf(window) == window; }

}  // namespace wine_test
