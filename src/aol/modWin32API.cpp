#include "aol/modWin32API.h"

#include <algorithm>
#include <cctype>
#include <functional>

#include "aol/modFindChild.h"
#include "runtime/ErrorReporting.h"
#include "runtime/EventPump.h"
#include "runtime/FormWindow.h"
#include "settings/modFileOp.h"
#include "shell/modMsgBox.h"

namespace glimra {

namespace {

constexpr char kModule[] = "modWin32API";
// The bounded waits: 10 seconds on a monotonic clock, so a wait that starts
// just before midnight still ends; looked at again every 25 ms while events run.
constexpr unsigned kWaitMilliseconds = 10000;
constexpr unsigned kLookAgainMilliseconds = 25;

void PlaceInBand(HWND window, HWND band) { SetWindowPos(window, band, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); }

std::string ReadWindowText(HWND window) {
  const auto length = static_cast<int>(SendMessageA(window, WM_GETTEXTLENGTH, 0, 0));
  if (length <= 0) return {};
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  const auto copied = static_cast<int>(
      SendMessageA(window, WM_GETTEXT, static_cast<WPARAM>(length) + 1, reinterpret_cast<LPARAM>(text.data())));
  text.resize(static_cast<std::size_t>(std::max(0, std::min(copied, length))));
  return text;
}

bool HasNonBlank(const std::string& text) { return text.find_first_not_of(' ') != std::string::npos; }

HWND WaitForVisible(const std::function<HWND()>& look) {
  HWND found = nullptr;
  PumpUntil(
      [&] {
        found = look();
        return found && IsWindowVisible(found);
      },
      kWaitMilliseconds, kLookAgainMilliseconds);
  return found && IsWindowVisible(found) ? found : nullptr;
}

}  // namespace

std::string GetAPIText(HWND window, VBBool wait) {
  std::string text;
  RunProcedure({kModule, "GetAPIText"}, [&] {
    if (!IsTrue(wait)) {
      text = ReadWindowText(window);
      return;
    }
    std::string read;
    const bool gotText = PumpUntil(
        [&] {
          read = ReadWindowText(window);
          return HasNonBlank(read);
        },
        kWaitMilliseconds, kLookAgainMilliseconds);
    text = gotText ? read : std::string();
  });
  return text;
}

HWND WaitForWindow(const std::string& className, const std::string& caption) {
  return WaitForVisible([&] { return FindWindowA(className.c_str(), caption.c_str()); });
}

HWND WaitForWindowOf(DWORD process, const std::string& className, const std::string& caption) {
  return WaitForVisible([&]() -> HWND {
    for (HWND window = FindWindowExA(nullptr, nullptr, className.c_str(), caption.c_str()); window;
         window = FindWindowExA(nullptr, window, className.c_str(), caption.c_str())) {
      DWORD owner = 0;
      GetWindowThreadProcessId(window, &owner);
      if (owner == process && IsWindowVisible(window)) return window;
    }
    return nullptr;
  });
}

HWND WaitForChildClass(HWND parent, const std::string& className) {
  return WaitForVisible([&] { return FindWindowExA(parent, nullptr, className.c_str(), nullptr); });
}

HWND WaitForChildTitle(HWND parent, const std::string& pattern) {
  return WaitForVisible([&] { return FindChildByTitle(parent, pattern); });
}

void Pause(double milliseconds) {
  if (milliseconds > 0) WaitWithEvents(static_cast<unsigned>(milliseconds));
}

void RePosForm(FormWindow& form, std::int16_t axis) {
  RunProcedure({kModule, "RePosForm"}, [&] {
    const int screenWidth = PixelsToTwipsX(GetSystemMetrics(SM_CXSCREEN));
    const int screenHeight = PixelsToTwipsY(GetSystemMetrics(SM_CYSCREEN));
    int left = form.Left(), top = form.Top();
    if (axis == 0) {
      if (top > screenHeight - form.Height()) top = screenHeight - form.Height();
      if (top < 0) top = 0;
    } else if (axis == 1) {
      if (left < 0) left = 0;
      if (left > screenWidth - form.Width()) left = screenWidth - form.Width();
    } else {
      return;
    }
    form.Move(left, top, form.Width(), form.Height());
  });
}

void CenterForm(FormWindow& form) {
  const int screenWidth = PixelsToTwipsX(GetSystemMetrics(SM_CXSCREEN));
  const int screenHeight = PixelsToTwipsY(GetSystemMetrics(SM_CYSCREEN));
  form.Move((screenWidth - form.Width()) / 2, (screenHeight - form.Height()) / 2, form.Width(), form.Height());
}

void StayOnTop(FormWindow& form) { PlaceInBand(form.hWnd(), HWND_TOPMOST); }

void NotOnTop(FormWindow& form) { PlaceInBand(form.hWnd(), HWND_NOTOPMOST); }

void SetTopMost(HWND window, std::int16_t flag) {
  PlaceInBand(window, flag == -1 ? HWND_TOPMOST : flag == 0 ? HWND_NOTOPMOST : HWND_TOP);
}

}  // namespace glimra

namespace glimra {

// ---- Start-up checks ----

std::string PlainMessageText(const std::string& marked) {
  std::string plain;
  for (std::size_t i = 0; i < marked.size(); ++i) {
    if (marked[i] != '~' || i + 1 >= marked.size()) {
      plain += marked[i];
      continue;
    }
    const char code = static_cast<char>(std::toupper(static_cast<unsigned char>(marked[++i])));
    if (code == 'N') plain += "\r\n";
    if (code == 'C' && i + 1 < marked.size()) ++i;
  }
  return plain;
}

void OS_Check() {
  DWORD platform = VER_PLATFORM_WIN32_WINDOWS;
  RunProcedure({"modWin32API", "OS_Check"}, [&] {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;  // 148 bytes
    if (GetVersionExA(&version)) platform = version.dwPlatformId;
  });
  if (platform == VER_PLATFORM_WIN32_WINDOWS) return;
  if (platform == VER_PLATFORM_WIN32_NT)
    ShowMsg(
        "~B~CRIncorrect Operating System!~B~CN~N ~NGlimra is not compatible with Windows NT.~N ~NThe program will now "
        "end.",
        64);
  else
    ShowMsg("~B~CRIncorrect Operating System!~B~CN~N ~NGlimra can only run under Windows 95 or Windows 98.", 64);
  EndProgram();
}

std::string GetSysDir() {
  std::string folder;
  RunProcedure({"modWin32API", "GetSysDir"}, [&] {
    char buffer[145];
    const UINT length = GetSystemDirectoryA(buffer, sizeof buffer);
    if (length < sizeof buffer) folder.assign(buffer, length);
  });
  return folder;
}

void CheckRuntimeFile(const std::string& fileName) {
  bool present = true;
  RunProcedure({"modWin32API", "CheckRuntimeFile"}, [&] { present = FileExists(GetSysDir() + "\\" + fileName); });
  if (present) return;
  const std::string message =
      "~B~CRMissing runtime file!~B~CN~N ~NGlimra has detected that one of its critical runtime files, ~B" + fileName +
      "~B is missing.~N ~NPlease perform a full reinstallation of Glimra to correct this problem.";
  // The formatted box is built of the buttons of zolbtns.ocx: without that
  // file the system's own box carries the same words.
  if (!SkipOnError([&] { ShowMsg(message, 16); }))
    MessageBoxA(nullptr, PlainMessageText(message).c_str(), "Glimra", MB_OK | MB_ICONSTOP | MB_TOPMOST);
  EndProgram();
}

}  // namespace glimra
