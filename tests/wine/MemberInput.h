// A member's hands for the end-to-end tests: real mouse clicks and key
// presses through SendInput.
// Wine delivers them as it delivers a member's own: the click to the window
// under the pointer (activating its top-level window), the keys to the
// window that has the keyboard focus.
#pragma once

#include <windows.h>

#include <functional>
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

// Types `text` and gives the window a moment to take it in.
inline void TypeText(const std::string& text) {
  TypeKeys(text);
  Sleep(200);
}

// ---- pointer and keys one at a time, for dragging and selecting ----

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

// Presses `vk` `times` times (the caret moves, a list scrolls).
inline void PressKeyRepeatedly(WORD vk, int times) {
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

// ---- waiting for what the member sees, and clicking it ----

// Polls `done` until it holds or `timeoutMs` have passed.
inline bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    if (done()) return true;
    if (GetTickCount64() >= deadline) return false;
    Sleep(20);
  }
}

// A left click at `screen` (screen pixels).
inline void ClickAtScreen(POINT screen) {
  MovePointerTo(screen);
  MouseButton(MOUSEEVENTF_LEFTDOWN);
  MouseButton(MOUSEEVENTF_LEFTUP);
}

// Clicks the middle of a control once it can be seen and used; false when
// it cannot be within `timeoutMs`. A window under a modal one takes no
// clicks, so its top-level window must be enabled too.
inline bool ClickOn(HWND window, DWORD timeoutMs = 5000) {
  const auto usable = [&] {
    HWND top = GetAncestor(window, GA_ROOT);
    return IsWindowVisible(window) && IsWindowEnabled(window) && top && IsWindowEnabled(top);
  };
  if (!WaitUntil(usable, timeoutMs)) return false;
  Sleep(50);
  RECT r{};
  GetWindowRect(window, &r);
  ClickAtScreen({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
  return true;
}

// Presses `vk` with `modifier` (VK_SHIFT, VK_MENU, ...) held.
inline void PressKeyWith(WORD vk, WORD modifier) {
  Key(modifier, false);
  Key(vk, false);
  Key(vk, true);
  Key(modifier, true);
  Sleep(30);
}

// Types `text` key by key as on a US keyboard (Shift where the character
// needs it), for windows that take only real keys, like the file dialog.
inline void TypeOnKeyboard(const std::string& text) {
  for (char c : text) {
    const SHORT key = VkKeyScanA(c);
    if (key == -1) continue;
    const WORD vk = static_cast<WORD>(key & 0xFF);
    if (key & 0x100) {
      PressKeyWith(vk, VK_SHIFT);
    } else {
      Key(vk, false);
      Key(vk, true);
      Sleep(30);
    }
  }
}

}  // namespace wine_test
