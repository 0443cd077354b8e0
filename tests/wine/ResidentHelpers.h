// The menu helpers dwsbc36.ocx leaves resident in a watched program: one
// message-only window of class "DWSBC36 Helper" per process that calls in,
// counting the requests it receives in its first window long. A window it
// watches for a caller carries its record as the property "DWSBC36 Record".
#pragma once

#include <windows.h>

namespace wine_test {

// Calls `visit` with each helper window of that program.
template <class Visit>
void ForEachHelperOf(DWORD processId, Visit visit) {
  for (HWND window = FindWindowExA(HWND_MESSAGE, nullptr, "DWSBC36 Helper", nullptr); window;
       window = FindWindowExA(HWND_MESSAGE, window, "DWSBC36 Helper", nullptr)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == processId) visit(window);
  }
}

inline int ResidentHelpers(DWORD processId) {
  int count = 0;
  ForEachHelperOf(processId, [&](HWND) { ++count; });
  return count;
}

// The requests (round trips) the helpers in that program have received.
inline LONG_PTR HelperRequests(DWORD processId) {
  LONG_PTR requests = 0;
  ForEachHelperOf(processId, [&](HWND window) { requests += GetWindowLongPtrA(window, 0); });
  return requests;
}

// Some program watches `window` through dwsbc36.ocx.
inline bool Watched(HWND window) { return GetPropA(window, "DWSBC36 Record") != nullptr; }

}  // namespace wine_test
