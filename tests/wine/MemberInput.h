// A member's hands for the end-to-end tests: real mouse clicks and key
// presses through SendInput.
// Wine delivers them as it delivers a member's own: the click to the window
// under the pointer (activating its top-level window), the keys to the
// window that has the keyboard focus.
#pragma once

#include <windows.h>

#include <cstdlib>
#include <functional>
#include <string>

#include "WineTestSupport.h"

namespace wine_test {

inline void SendInputs(INPUT* inputs, UINT count) { SendInput(count, inputs, sizeof(INPUT)); }

// A mouse input at `screen`: the pointer moves there with it, so a button
// `flags` presses lands there even when Wine has meanwhile put the pointer
// back where X last saw it (a window mapped under the old spot says so late).
inline INPUT PointerAt(POINT screen, DWORD flags) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = MulDiv(screen.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
  input.mi.dy = MulDiv(screen.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
  input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  return input;
}

// The window the member sees at `screen`: `window` itself or one of its children.
inline bool ShowsAt(HWND window, POINT screen) {
  HWND under = WindowFromPoint(screen);
  return under == window || IsChild(window, under);
}

// A point of `window`'s client area that the member sees (no other window
// over it): `at` when it is, or else one along the middle line. False when
// none is.
inline bool SeenPoint(HWND window, const POINT* at, POINT& point) {
  RECT r;
  if (!GetClientRect(window, &r)) return false;
  const auto seen = [&](POINT client) {
    POINT screen = client;
    ClientToScreen(window, &screen);
    if (!ShowsAt(window, screen)) return false;
    point = client;
    return true;
  };
  if (seen(at ? *at : POINT{r.right / 2, r.bottom / 2})) return true;
  for (LONG x = 4; x < r.right; x += 8)
    if (seen({x, r.bottom / 2})) return true;
  return false;
}

// Moves the pointer to `at` of `window`'s client area (its middle when
// none; another point of it the member sees when that one is covered) and
// clicks the left button. False when no part of it shows.
inline bool ClickInto(HWND window, const POINT* at = nullptr) {
  POINT point{};
  if (!SeenPoint(window, at, point)) return false;
  ClientToScreen(window, &point);
  INPUT inputs[3] = {PointerAt(point, 0), PointerAt(point, MOUSEEVENTF_LEFTDOWN), PointerAt(point, MOUSEEVENTF_LEFTUP)};
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

// `window` takes the member's keys: it has the focus in its thread, and its
// top-level window is the one in front.
inline bool TakesKeys(HWND window) {
  return FocusInThreadOf(window) == window && GetForegroundWindow() == GetAncestor(window, GA_ROOT);
}

// Clicks into `window` (at `at` of its client area, or its middle) until it
// takes the member's keys, as a member who sees no caret clicks again: a
// click into a program that is not in front may leave the focus where that
// program's activation puts it. A member waits to see the window before
// clicking into it; after a click, they wait a while for the focus before
// clicking again (a further click into a box only moves its caret). Gives up
// after `timeoutMs`. `pump` runs between looks (the caller's own events, when
// its thread owns windows the click reaches through).
template <class Pump>
bool ClickIntoUntilFocused(HWND window, Pump pump, const POINT* at = nullptr, DWORD timeoutMs = kPatienceMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  while (GetTickCount64() < deadline) {
    if (!IsWindowVisible(window) || !ClickInto(window, at)) {
      pump(20);
      continue;
    }
    const ULONGLONG clickAgain = GetTickCount64() + 3000;
    while (GetTickCount64() < clickAgain && GetTickCount64() < deadline) {
      pump(20);
      if (TakesKeys(window)) return true;
    }
  }
  return false;
}
inline bool ClickIntoUntilFocused(HWND window, const POINT* at = nullptr) {
  const auto pause = [](DWORD ms) { Sleep(ms); };
  return ClickIntoUntilFocused(window, pause, at);
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

// Types `text` into `window`, which has the keyboard focus, and waits until
// the window holds it at its end: keys are queued input, taken in when the
// window's thread gets to them. False when they do not arrive.
inline bool TypeInto(HWND window, const std::string& text, DWORD timeoutMs = kPatienceMs) {
  TypeKeys(text);
  return WaitUntil(
      [&] {
        const std::string held = WindowText(window);
        return held.size() >= text.size() && held.compare(held.size() - text.size(), text.size(), text) == 0;
      },
      timeoutMs);
}

// ---- pointer and keys one at a time, for dragging and selecting ----

inline void SendOne(INPUT input) { SendInput(1, &input, sizeof input); }

// Moves the pointer and waits until it is there.
inline bool MovePointerTo(POINT screen) {
  SendOne(PointerAt(screen, 0));
  return WaitUntil([&] {
    POINT at{};
    return GetCursorPos(&at) && std::abs(at.x - screen.x) <= 1 && std::abs(at.y - screen.y) <= 1;
  });
}

// Presses or lets go of a mouse button (MOUSEEVENTF_LEFTDOWN, ...) and waits
// until the system has taken it: the button's state is what was asked.
// With `at`, the press is given there (see PointerAt).
inline bool MouseButton(DWORD flag, const POINT* at = nullptr) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flag;
  SendOne(at ? PointerAt(*at, flag) : input);
  // The state of the physical button, as GetAsyncKeyState gives it.
  const int button = flag & (MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_LEFTUP) ? VK_LBUTTON : VK_RBUTTON;
  const bool down = flag & (MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_RIGHTDOWN);
  return WaitUntil([&] { return ((GetAsyncKeyState(button) & 0x8000) != 0) == down; });
}

// A left click at `screen` (screen pixels), or at `point` of `window`'s client area.
inline void ClickAtScreen(POINT screen) {
  MovePointerTo(screen);
  MouseButton(MOUSEEVENTF_LEFTDOWN, &screen);
  MouseButton(MOUSEEVENTF_LEFTUP, &screen);
}
inline void ClickAt(HWND window, POINT point) {
  ClientToScreen(window, &point);
  ClickAtScreen(point);
}

inline void ClickCentre(HWND window) {
  RECT r{};
  GetClientRect(window, &r);
  ClickAt(window, {r.right / 2, r.bottom / 2});
}

// Presses the mouse button on `window`, moves by (dx, dy) in steps and lets go.
// The move starts once the press has been taken: `window`'s thread holds
// the mouse (its own capture, or the system's move loop). False when the
// press is not taken.
inline bool DragBy(HWND window, POINT start, int dx, int dy) {
  ClientToScreen(window, &start);
  if (!MovePointerTo(start)) return false;
  MouseButton(MOUSEEVENTF_LEFTDOWN, &start);
  const DWORD thread = GetWindowThreadProcessId(window, nullptr);
  const bool taken = WaitUntil([&] {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(thread, &info) && info.hwndCapture != nullptr;
  });
  for (int step = 1; step <= 5; ++step) MovePointerTo({start.x + dx * step / 5, start.y + dy * step / 5});
  POINT end{start.x + dx, start.y + dy};
  MouseButton(MOUSEEVENTF_LEFTUP, &end);
  return taken;
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
}

// Holds Shift while pressing `vk` `times` times: the selection grows.
inline void ShiftPress(WORD vk, int times) {
  Key(VK_SHIFT, false);
  for (int i = 0; i < times; ++i) {
    Key(vk, false);
    Key(vk, true);
  }
  Key(VK_SHIFT, true);
}

// ---- waiting for what the member sees, and clicking it ----

// Clicks the middle of a control once it is ready for the member (see
// WaitUntilReady); false when it is not within `timeoutMs`.
inline bool ClickOn(HWND window, DWORD timeoutMs = kPatienceMs) {
  if (!WaitUntilReady(window, timeoutMs)) return false;
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
    }
  }
}

// Clicks the caption of the top-level window `top` until it is the active
// window in front, which takes the member's keys.
inline bool ClickCaptionUntilInFront(HWND top, DWORD timeoutMs = kPatienceMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  while (GetTickCount64() < deadline) {
    RECT frame{};
    GetWindowRect(top, &frame);
    ClickAtScreen({frame.left + 60, frame.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2});
    if (WaitUntil([&] { return GetForegroundWindow() == top; }, 3000)) return true;
  }
  return false;
}

// With a window in front: Alt and `mnemonic` open its menu bar's pop-up;
// the pop-up once it is up, ready for the arrow keys and Enter.
inline HWND OpenMenuWithKeys(char mnemonic) {
  PressKeyWith(static_cast<WORD>(mnemonic), VK_MENU);
  return WaitForOpenMenu();
}

// The top row of the highlighted item the open pop-up `menu` shows on the
// screen, -1 for none.
inline int HighlightedRow(HWND menu) {
  RECT r{};
  if (!GetWindowRect(menu, &r)) return -1;
  HDC screen = GetDC(nullptr);
  int row = -1;
  for (LONG y = r.top; y < r.bottom && row < 0; ++y)
    if (GetPixel(screen, r.left + 10, y) == GetSysColor(COLOR_HIGHLIGHT)) row = static_cast<int>(y - r.top);
  ReleaseDC(nullptr, screen);
  return row;
}

// Moves the highlight of the open pop-up `menu` `times` items down with the
// arrow key, each press once the one before has moved it (the menu takes
// keys one at a time, as a member sees them land).
inline bool MoveDownInMenu(HWND menu, int times) {
  for (int i = 0; i < times; ++i) {
    const int before = HighlightedRow(menu);
    PressKey(VK_DOWN);
    if (!WaitUntil([&] {
          const int now = HighlightedRow(menu);
          return now >= 0 && now != before;
        }))
      return false;
  }
  return true;
}

// A small window of the thread that makes it, for learning that the thread
// has taken the member's input so far: input reaches a thread in the order
// it was given, so once a pointer move onto the mark has arrived, so has
// every click and key given before it (also one that changed nothing).
class InputMark {
 public:
  InputMark() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &InputMark::Proc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    windowClass.lpszClassName = "WineTestInputMark";
    RegisterClassA(&windowClass);  // fails harmlessly once registered
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    window_ = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, "WineTestInputMark", "",
                              WS_POPUP | WS_VISIBLE, width - 24, height - 24, 16, 16, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~InputMark() { DestroyWindow(window_); }
  InputMark(const InputMark&) = delete;
  InputMark& operator=(const InputMark&) = delete;

  // Moves the pointer onto the mark and waits (on another thread than the
  // mark's) until the mark's thread has taken that move.
  bool WaitUntilInputTaken(DWORD timeoutMs = kPatienceMs) {
    const LONG x = (InterlockedIncrement(&moves_) % 2) ? 4 : 12;
    RECT r{};
    GetWindowRect(window_, &r);
    MovePointerTo({r.left + x, r.top + 8});
    return WaitUntil([&] { return InterlockedCompareExchange(&seenX_, 0, 0) == x; }, timeoutMs);
  }

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<InputMark*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_MOUSEMOVE && self) InterlockedExchange(&self->seenX_, static_cast<short>(LOWORD(lp)));
    if (message == WM_MOUSEACTIVATE) return MA_NOACTIVATE;
    return DefWindowProcA(window, message, wp, lp);
  }
  HWND window_ = nullptr;
  volatile LONG moves_ = 0, seenX_ = -1;
};

}  // namespace wine_test
