// Stand-in help viewer, started by WinHelpA as "winhlp32.exe -x" when no
// window of class "MS_WINHELP" is up. It waits hidden for WinHelpA's request
// (WM_COPYDATA carrying a WINHELP record), reads the named help file in the
// plain format of HelpText.h, captions itself with the file's title and
// shows the topic the keyword opens.
#include <windows.h>

#include <cstring>
#include <string>

#include "HelpText.h"

namespace {

constexpr char kViewerClass[] = "MS_WINHELP";
constexpr UINT kTopicHeading = 100;
constexpr UINT kTopicText = 101;

// The record WinHelpA sends: measured under Wine 8 as packed fields of
// 2, 2, 4, 4, 2 and 2 bytes, the file name and the keyword following.
#pragma pack(push, 1)
struct WinHelpRecord {
  WORD size;
  WORD command;
  LONG data;
  LONG reserved;
  WORD ofsFilename;
  WORD ofsData;
};
#pragma pack(pop)
static_assert(sizeof(WinHelpRecord) == 16, "WINHELP record layout");

struct Viewer {
  HWND window = nullptr;
  HWND heading = nullptr;
  HWND text = nullptr;
  HFONT headingFont = nullptr;
  HFONT textFont = nullptr;
};
Viewer viewer;

std::string ReadWholeFile(const std::string& path, bool& ok) {
  std::string text;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ok = file != INVALID_HANDLE_VALUE;
  if (!ok) return text;
  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) text.append(chunk, got);
  CloseHandle(file);
  return text;
}

// A zero-terminated text at `offset` inside the record, or empty.
std::string TextAt(const COPYDATASTRUCT& data, WORD offset) {
  if (offset == 0 || offset >= data.cbData) return {};
  const char* start = static_cast<const char*>(data.lpData) + offset;
  return std::string(start, strnlen(start, data.cbData - offset));
}

void ShowTopic(const std::string& heading, const std::string& body) {
  SetWindowTextA(viewer.heading, heading.c_str());
  SetWindowTextA(viewer.text, body.c_str());
  ShowWindow(viewer.window, SW_SHOWNORMAL);
  SetForegroundWindow(viewer.window);
}

void OpenAtKeyword(const std::string& file, const std::string& keyword, bool byKeyword) {
  bool ok = false;
  const std::string text = ReadWholeFile(file, ok);
  if (!ok) {
    SetWindowTextA(viewer.window, "Windows Help");
    ShowTopic("Cannot open the help file", file);
    return;
  }
  const winhelp::HelpBook book = winhelp::ParseHelpText(text);
  SetWindowTextA(viewer.window, book.title.empty() ? "Windows Help" : book.title.c_str());
  const winhelp::HelpTopic* topic = winhelp::FindTopic(book, byKeyword ? keyword : std::string());
  if (topic) {
    ShowTopic(topic->name, topic->body);
  } else {
    const winhelp::HelpTopic* contents = winhelp::FindTopic(book, "");
    ShowTopic("No topic for \"" + keyword + "\"", contents ? contents->body : std::string());
  }
}

LRESULT OnRequest(const COPYDATASTRUCT& data) {
  if (data.cbData < sizeof(WinHelpRecord) || !data.lpData) return FALSE;
  WinHelpRecord record;
  std::memcpy(&record, data.lpData, sizeof record);
  const std::string file = TextAt(data, record.ofsFilename);
  switch (record.command) {
    case HELP_QUIT: DestroyWindow(viewer.window); return TRUE;
    case HELP_KEY:
    case HELP_PARTIALKEY: OpenAtKeyword(file, TextAt(data, record.ofsData), true); return TRUE;
    case HELP_CONTENTS:
    case HELP_FINDER: OpenAtKeyword(file, {}, false); return TRUE;
    default: return FALSE;
  }
}

void Layout(int width, int height) {
  MoveWindow(viewer.heading, 10, 8, width - 20, 26, TRUE);
  MoveWindow(viewer.text, 10, 40, width - 20, height - 50, TRUE);
}

LRESULT CALLBACK ViewerProc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
  switch (message) {
    case WM_COPYDATA: return OnRequest(*reinterpret_cast<const COPYDATASTRUCT*>(lp));
    case WM_SIZE: Layout(LOWORD(lp), HIWORD(lp)); return 0;
    case WM_CTLCOLORSTATIC: {
      // The read-only topic text stays white like a page.
      SetBkColor(reinterpret_cast<HDC>(wp), GetSysColor(COLOR_WINDOW));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    }
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcA(window, message, wp, lp);
  }
}

HFONT MakeFont(int height, int weight) {
  return CreateFontA(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS, "Arial");
}

bool CreateViewer(HINSTANCE instance) {
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = ViewerProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
  windowClass.lpszClassName = kViewerClass;
  if (!RegisterClassExA(&windowClass)) return false;
  viewer.window = CreateWindowExA(0, kViewerClass, "Windows Help", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                  480, 360, nullptr, nullptr, instance, nullptr);
  if (!viewer.window) return false;
  viewer.heading = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, viewer.window,
                                   reinterpret_cast<HMENU>(kTopicHeading), instance, nullptr);
  viewer.text = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY, 0, 0, 0,
                                0, viewer.window, reinterpret_cast<HMENU>(kTopicText), instance, nullptr);
  viewer.headingFont = MakeFont(-19, FW_BOLD);
  viewer.textFont = MakeFont(-14, FW_NORMAL);
  SendMessageA(viewer.heading, WM_SETFONT, reinterpret_cast<WPARAM>(viewer.headingFont), FALSE);
  SendMessageA(viewer.text, WM_SETFONT, reinterpret_cast<WPARAM>(viewer.textFont), FALSE);
  RECT client;
  GetClientRect(viewer.window, &client);
  Layout(client.right, client.bottom);
  return true;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  // Started with "-x" the viewer stays hidden until the first request.
  if (!CreateViewer(instance)) return 1;
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  DeleteObject(viewer.headingFont);
  DeleteObject(viewer.textFont);
  return 0;
}
