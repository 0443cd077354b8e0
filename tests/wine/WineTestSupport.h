// Helpers for the Win32 tests that run under Wine: find windows the way a
// member's eyes would, answer dialogs, run a step on another thread.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace wine_test {

// Waits up to `timeoutMs` for a top-level window of `className` captioned `caption`.
inline HWND WaitForWindow(const char* className, const char* caption, DWORD timeoutMs = 10000) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    if (HWND window = FindWindowA(className, caption)) return window;
    if (GetTickCount64() >= deadline) return nullptr;
    Sleep(20);
  }
}

inline std::string WindowText(HWND window) {
  char text[4096] = {};
  SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, nullptr);
  return text;
}

// Runs `work` on a thread of its own; Join waits for it.
class BackgroundStep {
 public:
  explicit BackgroundStep(std::function<void()> work) : work_(std::move(work)) {
    thread_ = CreateThread(nullptr, 0, &BackgroundStep::Run, this, 0, nullptr);
  }
  ~BackgroundStep() { Join(); }
  void Join() {
    if (thread_) {
      WaitForSingleObject(thread_, INFINITE);
      CloseHandle(thread_);
      thread_ = nullptr;
    }
  }

 private:
  static DWORD WINAPI Run(void* self) {
    static_cast<BackgroundStep*>(self)->work_();
    return 0;
  }
  std::function<void()> work_;
  HANDLE thread_ = nullptr;
};

// Clicks the middle of `window` with the left mouse button, posting to the
// deepest child window under that point, as the mouse would.
inline void ClickMiddle(HWND window) {
  RECT r;
  GetClientRect(window, &r);
  POINT point{r.right / 2, r.bottom / 2};
  HWND target = window;
  for (;;) {
    HWND child = ChildWindowFromPointEx(target, point, CWP_SKIPINVISIBLE | CWP_SKIPDISABLED);
    if (!child || child == target) break;
    MapWindowPoints(target, child, &point, 1);
    target = child;
  }
  const LPARAM at = MAKELPARAM(point.x, point.y);
  PostMessageA(target, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageA(target, WM_LBUTTONUP, 0, at);
}

// ---- The member's own mouse and keyboard (real input, SendInput) ----

// Moves the pointer to `point` (screen coordinates) and clicks the left
// button there: the click goes to whatever the screen shows at that point.
inline void MemberClickAt(POINT point) {
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  INPUT inputs[3] = {};
  for (INPUT& input : inputs) input.type = INPUT_MOUSE;
  inputs[0].mi.dx = point.x * 65535 / (width - 1);
  inputs[0].mi.dy = point.y * 65535 / (height - 1);
  inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  inputs[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(3, inputs, sizeof(INPUT));
  Sleep(50);
}

// Clicks the middle of `window` as it shows on the screen.
inline void MemberClick(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  MemberClickAt({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

// Presses and releases `key`, with the modifier `modifier` (0 for none) held.
inline void MemberPresses(WORD key, WORD modifier = 0) {
  INPUT inputs[4] = {};
  int count = 0;
  const auto add = [&](WORD vk, bool up) {
    inputs[count].type = INPUT_KEYBOARD;
    inputs[count].ki.wVk = vk;
    inputs[count].ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    ++count;
  };
  if (modifier) add(modifier, false);
  add(key, false);
  add(key, true);
  if (modifier) add(modifier, true);
  SendInput(static_cast<UINT>(count), inputs, sizeof(INPUT));
  Sleep(30);
}

// Types `text` key by key into the window that has the keyboard focus.
inline void MemberTypes(const std::string& text) {
  for (char c : text) {
    const SHORT scan = VkKeyScanA(c);
    MemberPresses(LOBYTE(scan), (HIBYTE(scan) & 1) ? VK_SHIFT : 0);
  }
}

// Path of the running test program.
inline std::string ThisProgram() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return path;
}

// Starts this program again with `arguments`; returns the process handle.
inline HANDLE StartSelf(const std::string& arguments) {
  std::string commandLine = "\"" + ThisProgram() + "\" " + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return nullptr;
  CloseHandle(process.hThread);
  return process.hProcess;
}

}  // namespace wine_test
