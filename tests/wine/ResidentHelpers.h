// The menu helpers dwsbc36.ocx leaves resident in a watched program: one
// message-only window of class "DWSBC36 Helper" per process that calls in.
#pragma once

#include <windows.h>

namespace wine_test {

inline int ResidentHelpers(DWORD processId) {
  int count = 0;
  for (HWND window = FindWindowExA(HWND_MESSAGE, nullptr, "DWSBC36 Helper", nullptr); window;
       window = FindWindowExA(HWND_MESSAGE, window, "DWSBC36 Helper", nullptr)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == processId) ++count;
  }
  return count;
}

}  // namespace wine_test
