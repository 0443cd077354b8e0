#include "runtime/EventPump.h"

#include <windows.h>

namespace glimra {

void DoEvents() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));  // leave it for the loop that owns it
      return;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

namespace {

// The performance counter: Wine's tick count can lag it by several
// milliseconds, which would make every pause miss its length.
LONGLONG Now() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

LONGLONG CountsPerSecond() {
  static const LONGLONG frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f.QuadPart;
  }();
  return frequency;
}

}  // namespace

bool PumpUntil(const std::function<bool()>& done, unsigned milliseconds, unsigned pollMs) {
  const LONGLONG deadline = Now() + static_cast<LONGLONG>(milliseconds) * CountsPerSecond() / 1000;
  for (;;) {
    DoEvents();
    if (done()) return true;
    DWORD wait = INFINITE;
    if (milliseconds != kWaitForever) {
      const LONGLONG left = deadline - Now();
      if (left <= 0) return false;
      // Rounded down: waits end on their deadline, not up to a tick after it.
      wait = static_cast<DWORD>(left * 1000 / CountsPerSecond());
    }
    if (pollMs != 0 && (wait == INFINITE || wait > pollMs)) wait = pollMs;
    MsgWaitForMultipleObjectsEx(0, nullptr, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
}

void WaitWithEvents(unsigned milliseconds) {
  PumpUntil([] { return false; }, milliseconds);
}

}  // namespace glimra
