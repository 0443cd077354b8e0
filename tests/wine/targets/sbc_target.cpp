// A small program for the tests to watch: a frame with a menu bar, a text
// box and an icon. Each window writes what its own procedure saw to the log
// file named on the command line, one line per message, so the tests can
// check what arrived without asking this program anything.
//   sbc_target.exe LOGFILE
// Log lines: "frame command ID", "frame command 777 done" (777 takes 300 ms),
// "frame close", "box char CODE", "icon button MSG".
// The registered message "SbcTarget OriginalProcs" answers how many of the
// three windows run their own procedure (3 when nothing is subclassed).
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

HANDLE logFile = INVALID_HANDLE_VALUE;
HWND frame, box, icon;
UINT originalProcsMessage;

void Log(const std::string& line) {
  const std::string text = line + "\n";
  DWORD written = 0;
  WriteFile(logFile, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

LRESULT CALLBACK FrameProc(HWND window, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK BoxProc(HWND window, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK IconProc(HWND window, UINT msg, WPARAM wp, LPARAM lp);

int OwnProcedures() {
  int count = 0;
  const struct {
    HWND window;
    WNDPROC proc;
  } windows[] = {{frame, FrameProc}, {box, BoxProc}, {icon, IconProc}};
  for (const auto& w : windows)
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(w.window, GWLP_WNDPROC)) == w.proc) ++count;
  return count;
}

LRESULT CALLBACK FrameProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == originalProcsMessage) return OwnProcedures();
  switch (msg) {
    case WM_COMMAND:
      Log("frame command " + std::to_string(LOWORD(wp)));
      if (LOWORD(wp) == 777) {
        Sleep(300);
        Log("frame command 777 done");
      }
      if (LOWORD(wp) == 900) DestroyWindow(box);
      return 0;
    case WM_CLOSE:
      Log("frame close");
      DestroyWindow(window);
      return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
  }
  return DefWindowProcA(window, msg, wp, lp);
}

LRESULT CALLBACK BoxProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_CHAR) {
    Log("box char " + std::to_string(wp));
    return 1000 + static_cast<LRESULT>(wp);  // shows the caller the box's own answer
  }
  return DefWindowProcA(window, msg, wp, lp);
}

LRESULT CALLBACK IconProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONUP) {
    Log("icon button " + std::to_string(msg));
    return 0;
  }
  return DefWindowProcA(window, msg, wp, lp);
}

void Register(const char* name, WNDPROC proc, HBRUSH background) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = proc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.hbrBackground = background;
  windowClass.lpszClassName = name;
  RegisterClassA(&windowClass);
}

HMENU MenuBar() {
  HMENU bar = CreateMenu();
  const char* captions[] = {"&File", "&Edit", "&Window", "&Members", "&Help"};
  for (const char* caption : captions) {
    HMENU popup = CreatePopupMenu();
    if (caption[1] == 'F') AppendMenuA(popup, MF_STRING, 1000, "E&xit");
    if (caption[1] == 'E') AppendMenuA(popup, MF_STRING, 1002, "&Copy");
    if (caption[1] == 'H') AppendMenuA(popup, MF_STRING, 1001, "&About Target");
    if (caption[1] == 'W') AppendMenuA(popup, MF_STRING, 1003, "&Cascade");
    if (caption[1] == 'M') AppendMenuA(popup, MF_STRING, 1004, "&Directory");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), caption);
  }
  return bar;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  std::string path = commandLine;
  if (path.size() >= 2 && path.front() == '"') path = path.substr(1, path.size() - 2);
  logFile = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  originalProcsMessage = RegisterWindowMessageA("SbcTarget OriginalProcs");
  Register("SbcTargetFrame", FrameProc, reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1));
  Register("SbcTargetBox", BoxProc, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  Register("SbcTargetIcon", IconProc, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
  frame = CreateWindowA("SbcTargetFrame", "Sbc Target", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 520, 300, nullptr,
                        MenuBar(), GetModuleHandleA(nullptr), nullptr);
  box = CreateWindowA("SbcTargetBox", "", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 200, 380, 24, frame,
                      reinterpret_cast<HMENU>(1), GetModuleHandleA(nullptr), nullptr);
  icon = CreateWindowA("SbcTargetIcon", "Send", WS_CHILD | WS_VISIBLE | WS_BORDER, 400, 200, 60, 24, frame,
                       reinterpret_cast<HMENU>(2), GetModuleHandleA(nullptr), nullptr);
  Log("ready");
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  CloseHandle(logFile);
  return 0;
}
