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

bool PumpUntil(const std::function<bool()>& done, unsigned milliseconds, unsigned pollMs) {
  const ULONGLONG deadline = GetTickCount64() + milliseconds;
  for (;;) {
    DoEvents();
    if (done()) return true;
    DWORD wait = INFINITE;
    if (milliseconds != kWaitForever) {
      const ULONGLONG now = GetTickCount64();
      if (now >= deadline) return false;
      wait = static_cast<DWORD>(deadline - now);
    }
    if (pollMs != 0 && (wait == INFINITE || wait > pollMs)) wait = pollMs;
    MsgWaitForMultipleObjectsEx(0, nullptr, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
}

void WaitWithEvents(unsigned milliseconds) {
  PumpUntil([] { return false; }, milliseconds);
}

}  // namespace glimra
