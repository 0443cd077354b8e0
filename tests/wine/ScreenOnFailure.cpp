// When an end-to-end test fails, what the member saw then: the shown
// top-level windows from front to back, and which one had the keys. A
// failure on a loaded machine is often a window that was somewhere else than
// the test thought (covered, not in front), and the log is all CI leaves.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string Describe(HWND window) {
  if (!window) return "(none)";
  char caption[64] = {}, cls[64] = {};
  GetWindowTextA(window, caption, sizeof caption);
  GetClassNameA(window, cls, sizeof cls);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  RECT r{};
  GetWindowRect(window, &r);
  char line[320];
  std::snprintf(line, sizeof line, "%p pid %lu %s \"%s\" (%ld,%ld)-(%ld,%ld)%s%s", static_cast<void*>(window),
                static_cast<unsigned long>(pid), cls, caption, r.left, r.top, r.right, r.bottom,
                (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) ? " topmost" : "",
                IsWindowEnabled(window) ? "" : " disabled");
  return line;
}

BOOL CALLBACK PrintShown(HWND window, LPARAM) {
  if (IsWindowVisible(window)) std::printf("    %s\n", Describe(window).c_str());
  return TRUE;
}

class ScreenOnFailure : public testing::EmptyTestEventListener {
  void OnTestStart(const testing::TestInfo&) override { shown_ = false; }
  void OnTestPartResult(const testing::TestPartResult& result) override {
    if (!result.failed() || shown_) return;
    shown_ = true;
    std::printf("  the screen at the first failure, front to back:\n");
    EnumWindows(PrintShown, 0);
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    HWND front = GetForegroundWindow();
    const bool known = front && GetGUIThreadInfo(GetWindowThreadProcessId(front, nullptr), &info);
    std::printf("  in front: %s\n  focus: %s\n", Describe(front).c_str(),
                known ? Describe(info.hwndFocus).c_str() : "(unknown)");
    std::fflush(stdout);
  }
  bool shown_ = false;
};

// Installed before gtest_main runs the tests.
[[maybe_unused]] const bool kInstalled = [] {
  testing::UnitTest::GetInstance()->listeners().Append(new ScreenOnFailure);
  return true;
}();

}  // namespace
