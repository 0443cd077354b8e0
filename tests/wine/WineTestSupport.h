// Helpers for the Win32 tests that run under Wine: find windows the way a
// member's eyes would, answer dialogs, run a step on another thread.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace wine_test {

// A chat room's input box: the second "RICHCNTL" of the room, looked for only
// after the first (the transcript) is there. Asked in one go while the room
// is still making its controls, a search after "no first one" starts at the
// beginning and finds the transcript.
inline HWND ChatBoxOf(HWND room) {
  HWND transcript = room ? FindWindowExA(room, nullptr, "RICHCNTL", nullptr) : nullptr;
  return transcript ? FindWindowExA(room, transcript, "RICHCNTL", nullptr) : nullptr;
}

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

// Path of the running test program.
inline std::string ThisProgram() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return path;
}

// Starts `program` with `arguments`; returns the process handle.
inline HANDLE StartProgram(const std::string& program, const std::string& arguments) {
  std::string commandLine = "\"" + program + "\" " + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return nullptr;
  CloseHandle(process.hThread);
  return process.hProcess;
}

// Starts this program again with `arguments`; returns the process handle.
inline HANDLE StartSelf(const std::string& arguments) { return StartProgram(ThisProgram(), arguments); }

}  // namespace wine_test
