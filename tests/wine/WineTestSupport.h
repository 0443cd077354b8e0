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

// How long a test waits for what a program does before it calls that a
// failure. Generous: on a loaded machine, or for a 32-bit program under
// emulation, what takes milliseconds alone can take seconds. Only a failing
// test waits this long; a passing one goes on as soon as the thing happens.
constexpr DWORD kPatienceMs = 30000;

// Asks `find` every 20 ms until it gives something (a window, true) or
// `timeoutMs` have passed; returns its last answer.
template <typename Find>
auto WaitUntilFound(Find find, DWORD timeoutMs = kPatienceMs) -> decltype(find()) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    if (auto found = find()) return found;
    if (GetTickCount64() >= deadline) return {};
    Sleep(20);
  }
}

// Waits until `done` holds; false when it does not within `timeoutMs`.
inline bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = kPatienceMs) {
  return WaitUntilFound(done, timeoutMs);
}

// A shown top-level window of `className` captioned `caption`: a hidden one of
// the same name may stand before it.
inline HWND ShownWindow(const char* className, const char* caption) {
  HWND window = nullptr;
  while ((window = FindWindowExA(nullptr, window, className, caption)) != nullptr)
    if (IsWindowVisible(window)) return window;
  return nullptr;
}

// Waits up to `timeoutMs` for a top-level window of `className` captioned `caption`.
inline HWND WaitForWindow(const char* className, const char* caption, DWORD timeoutMs = kPatienceMs) {
  return WaitUntilFound([&] { return FindWindowA(className, caption); }, timeoutMs);
}

// True once the thread of `window` has taken a message sent to it now: it is
// back in its message loop, done with what it was doing when asked (making
// and showing a window, handling a click). A thread takes sent messages
// before posted ones and before input, so this says nothing about those.
inline bool Answers(HWND window, DWORD timeoutMs = kPatienceMs) {
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &ignored) != 0;
}

// The member could use `window` now: shown, enabled, and no modal window
// over it (its top-level window is enabled too).
inline bool Usable(HWND window) {
  HWND top = GetAncestor(window, GA_ROOT);
  return IsWindowVisible(window) && IsWindowEnabled(window) && top && IsWindowEnabled(top);
}

// Waits until `window` is ready for the member: usable, and its thread back
// in its message loop, so that what it did to put the window up is done.
inline bool WaitUntilReady(HWND window, DWORD timeoutMs = kPatienceMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  const auto left = [&] { return static_cast<DWORD>(deadline > GetTickCount64() ? deadline - GetTickCount64() : 1); };
  // Asked again while time is left: a send can fail at once, not only by timing out.
  return WaitUntil([&] { return Usable(window) && Answers(window, left()) && Usable(window); }, timeoutMs);
}

// What keeps `window` from being ready for the member, for a failure message.
inline std::string WhyNotReady(HWND window) {
  if (!IsWindow(window)) return "no such window";
  if (!IsWindowVisible(window)) return "hidden";
  if (!IsWindowEnabled(window)) return "disabled";
  HWND top = GetAncestor(window, GA_ROOT);
  if (!IsWindowEnabled(top)) {
    HWND modal = GetWindow(top, GW_ENABLEDPOPUP);
    char caption[128] = {};
    if (modal) GetWindowTextA(modal, caption, sizeof caption);
    return std::string("its window is disabled") + (modal ? std::string(", in front: \"") + caption + "\"" : "");
  }
  return Answers(window, 1000) ? "ready now" : "its thread does not answer";
}

// Waits for a top-level window of `className` captioned `caption` and until it is ready.
inline HWND WaitForReadyWindow(const char* className, const char* caption, DWORD timeoutMs = kPatienceMs) {
  HWND window = WaitForWindow(className, caption, timeoutMs);
  return window && WaitUntilReady(window, timeoutMs) ? window : nullptr;
}

// Nothing of `window` or of its visible children waits to be painted.
inline bool Painted(HWND window) {
  if (GetUpdateRect(window, nullptr, FALSE)) return false;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (IsWindowVisible(child) && !Painted(child)) return false;
  return true;
}

// Waits until nothing of `window` waits to be painted and its thread has
// finished the painting (it takes a message again).
inline bool WaitUntilPainted(HWND window, DWORD timeoutMs = kPatienceMs) {
  return WaitUntil([&] { return Painted(window); }, timeoutMs) && Answers(window, timeoutMs);
}

// Some pixel of `window` shows `colour` on the screen.
inline bool ShowsColourOnScreen(HWND window, COLORREF colour) {
  RECT r{};
  if (!GetWindowRect(window, &r)) return false;
  HDC screen = GetDC(nullptr);
  bool found = false;
  for (LONG y = r.top; y < r.bottom && !found; y += 2)
    for (LONG x = r.left; x < r.right && !found; x += 2) found = GetPixel(screen, x, y) == colour;
  ReleaseDC(nullptr, screen);
  return found;
}

// The pop-up menu that is open, once it shows an item highlighted: it has
// made its first selection and is ready for the arrow keys and Enter.
inline HWND WaitForOpenMenu(DWORD timeoutMs = kPatienceMs) {
  return WaitUntilFound(
      [] {
        HWND menu = FindWindowA("#32768", nullptr);
        return menu && IsWindowVisible(menu) && ShowsColourOnScreen(menu, GetSysColor(COLOR_HIGHLIGHT)) ? menu
                                                                                                        : nullptr;
      },
      timeoutMs);
}

// A window of the thread that makes it, for other threads to learn that this
// thread has handled what was posted to it: messages posted to one thread
// are taken in the order they were posted, so once a mark posted now has
// been handled, so has everything posted before it (clicks, commands).
class PostedMark {
 public:
  PostedMark() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &PostedMark::Proc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "WineTestPostedMark";
    RegisterClassA(&windowClass);  // fails harmlessly once registered
    window_ = CreateWindowExA(0, "WineTestPostedMark", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~PostedMark() { DestroyWindow(window_); }
  PostedMark(const PostedMark&) = delete;
  PostedMark& operator=(const PostedMark&) = delete;

  // Posts a mark behind everything posted to the thread so far and waits
  // (from another thread) until the thread has handled it.
  bool WaitUntilHandled(DWORD timeoutMs = kPatienceMs) {
    const LONG mark = InterlockedIncrement(&posted_);
    if (!PostMessageA(window_, WM_APP, 0, mark)) return false;
    return WaitUntil([&] { return InterlockedCompareExchange(&handled_, 0, 0) >= mark; }, timeoutMs);
  }

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<PostedMark*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_APP && self) {
      InterlockedExchange(&self->handled_, static_cast<LONG>(lp));
      return 0;
    }
    return DefWindowProcA(window, message, wp, lp);
  }
  HWND window_ = nullptr;
  volatile LONG posted_ = 0, handled_ = 0;
};

inline std::string WindowText(HWND window) {
  char text[4096] = {};
  SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, kPatienceMs,
                      nullptr);
  return text;
}

// A picture of `width` by `height` pixels alone on the clipboard; its size tells it again.
inline bool PutClipboardPicture(int width, int height) {
  HDC screen = GetDC(nullptr);
  HBITMAP picture = CreateCompatibleBitmap(screen, width, height);
  ReleaseDC(nullptr, screen);
  if (!OpenClipboard(nullptr)) return false;
  EmptyClipboard();
  const bool put = SetClipboardData(CF_BITMAP, picture) != nullptr;
  CloseClipboard();
  return put;
}
inline bool ClipboardHoldsPicture(int width, int height) {
  if (!OpenClipboard(nullptr)) return false;
  BITMAP info{};
  HANDLE picture = GetClipboardData(CF_BITMAP);
  const bool same =
      picture && GetObjectA(picture, sizeof info, &info) && info.bmWidth == width && info.bmHeight == height;
  CloseClipboard();
  return same;
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

// Another program that holds the clipboard open until it goes (a clipboard
// manager that hangs): a thread of its own opens it and waits.
class ClipboardHolder {
 public:
  ClipboardHolder() { WaitForSingleObject(held_, INFINITE); }
  ~ClipboardHolder() {
    SetEvent(release_);
    thread_.Join();
    CloseHandle(held_);
    CloseHandle(release_);
  }
  bool Holding() const { return holding_; }

 private:
  HANDLE held_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE release_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  bool holding_ = false;
  BackgroundStep thread_{[this] {
    holding_ = OpenClipboard(nullptr) != FALSE;
    SetEvent(held_);
    WaitForSingleObject(release_, INFINITE);
    if (holding_) CloseClipboard();
  }};
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
