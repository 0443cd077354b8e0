// glimra_costs.exe SCENARIO [COUNT]: what glimra.exe itself costs under Wine
// beside the stand-in AOL client, one sample a line ("name value"), for the
// benchmark program that runs it (bench/fade_bench.cpp). Times are wall-clock
// milliseconds.
//   startup N  N starts of glimra.exe beside a running client with a room
//              open: to the chat tools window loaded (the menu is in place),
//              to it visible beside the room, and to it shown there, painted
//              (Glimra's thread has come back from the tick that showed it);
//              each run ends with "&Exit Glimra". Also N starts of a program
//              that does nothing.
//   chat N     N lines typed into the room and sent with Enter, faded, and N
//              plain ones ("/fadeoff" before each, "/fadeon" after): Enter to
//              the line shown in the room.
//   idle N     N windows of 10 s beside a signed-on client with a room open,
//              nothing typed, each between the lines "idle_begin" and
//              "idle_end": the benchmark program reads glimra.exe's CPU time.
//   menu N     N remote menu calls on the client's menu bar from this
//              process: through the resident helper, and each with a hook
//              installed and removed for it (how the helper is made).
//   nothing    exits at once (the process-start floor).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>

#include "MemberInput.h"
#include "WineTestSupport.h"
#include "aol/RemoteMenu.h"

namespace {

double NowMs() {
  static LARGE_INTEGER frequency{};
  if (!frequency.QuadPart) QueryPerformanceFrequency(&frequency);
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

void Say(const char* name, double value) {
  std::printf("%s %.3f\n", name, value);
  std::fflush(stdout);
}

bool WaitFor(const std::function<bool()>& done, DWORD timeoutMs, DWORD stepMs = 1) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  while (!done()) {
    if (GetTickCount64() >= deadline) return false;
    Sleep(stepMs);
  }
  return true;
}

std::string ProgramFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder = path;
  return folder.substr(0, folder.find_last_of('\\'));
}

HANDLE Run(const std::string& program, const std::string& arguments, const std::string& folder) {
  std::string commandLine = "\"" + program + "\" " + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                      &startup, &process))
    return nullptr;
  CloseHandle(process.hThread);
  return process.hProcess;
}

void EndProcess(HANDLE& process) {
  if (!process) return;
  if (WaitForSingleObject(process, 10000) != WAIT_OBJECT_0) TerminateProcess(process, 1);
  WaitForSingleObject(process, 5000);
  CloseHandle(process);
  process = nullptr;
}

// A top-level window of `process` of `className` captioned `caption`.
HWND WindowOf(HANDLE process, const char* className, const char* caption) {
  const DWORD id = GetProcessId(process);
  for (HWND window = FindWindowA(className, caption); window;
       window = FindWindowExA(nullptr, window, className, caption)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == id) return window;
  }
  return nullptr;
}

// ---- the stand-in client in a folder of its own ----

class Client {
 public:
  explicit Client(const std::string& ini) {
    const std::string bin = ProgramFolder();
    folder_ = bin + "\\costs";
    CreateDirectoryA(folder_.c_str(), nullptr);
    for (const char* file : {"waol.exe", "aol.exe"})
      CopyFileA((bin + "\\" + file).c_str(), (folder_ + "\\" + file).c_str(), FALSE);
    DeleteFileA(LogPath().c_str());
    DeleteFileA((folder_ + "\\waol.state").c_str());
    std::ofstream(folder_ + "\\waol.ini") << "[Client]\r\n" << ini;
    process_ = Run(folder_ + "\\waol.exe", "", folder_);
    WaitFor(
        [&] {
          frame = FindWindowA("AOL Frame25", nullptr);
          mdi = FindWindowExA(frame, nullptr, "MDIClient", nullptr);
          return frame && mdi &&
                 FindWindowExA(FindWindowExA(frame, nullptr, "AOL Toolbar", nullptr), nullptr, "_AOL_Toolbar", nullptr);
        },
        10000, 20);
  }
  ~Client() {
    if (IsWindow(frame)) PostMessageA(frame, WM_CLOSE, 0, 0);
    EndProcess(process_);
  }

  bool Running() const { return process_ && frame && mdi; }
  std::string LogPath() const { return folder_ + "\\waol.log"; }

  // The room and its input box, once the room has all its controls.
  bool FindRoom(const char* name) {
    return WaitFor(
        [&] {
          room = FindWindowExA(mdi, nullptr, "AOL Child", name);
          box = wine_test::ChatBoxOf(room);
          return box != nullptr;
        },
        10000, 20);
  }

  HWND frame = nullptr, mdi = nullptr, room = nullptr, box = nullptr;

 private:
  std::string folder_;
  HANDLE process_ = nullptr;
};

constexpr char kSignedOnWithRoom[] = "Version=4\r\nScreenNames=Zolster\r\nSignedOn=1\r\nChatRoom=Town Square\r\n";
constexpr char kToolsCaption[] = "Glimra Chat Tools";
constexpr DWORD kIdleWindowMs = 10000;

// Glimra from its own folder, with the settings a fresh installation has.
HANDLE StartGlimra() {
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Zol Software\\Glimra");
  const std::string bin = ProgramFolder();
  return Run(bin + "\\glimra.exe", "", bin);
}

// Glimra started beside `client`, its chat tools window up with the room and
// attached to its box (the tick that shows the window attaches right after).
HANDLE StartAttached() {
  HANDLE glimra = StartGlimra();
  HWND tools = nullptr;
  WaitFor(
      [&] {
        tools = WindowOf(glimra, "GlimraForm", kToolsCaption);
        return tools && IsWindowVisible(tools);
      },
      30000, 20);
  Sleep(2000);
  return glimra;
}

void ExitGlimra(Client& client, HANDLE& glimra) {
  PostMessageA(client.frame, WM_COMMAND, 60005, 0);  // "&Exit Glimra"
  EndProcess(glimra);
}

// ---- the scenarios ----

int Startup(int count) {
  Client client(kSignedOnWithRoom);
  if (!client.Running() || !client.FindRoom("Town Square")) return 1;
  Sleep(1000);
  for (int i = 0; i < count; ++i) {
    const double start = NowMs();
    HANDLE nothing = Run(ProgramFolder() + "\\glimra_costs.exe", "nothing", ProgramFolder());
    WaitForSingleObject(nothing, 10000);
    Say("nothing_ms", NowMs() - start);
    CloseHandle(nothing);
  }
  for (int i = 0; i < count; ++i) {
    const double start = NowMs();
    HANDLE glimra = StartGlimra();
    HWND tools = nullptr;
    if (!WaitFor([&] { return (tools = WindowOf(glimra, "GlimraForm", kToolsCaption)) != nullptr; }, 30000)) return 1;
    // The window exists while it loads; loading ends by making AOL its owner.
    if (!WaitFor([&] { return GetWindow(tools, GW_OWNER) == client.frame; }, 10000)) return 1;
    Say("loaded_ms", NowMs() - start);
    if (!WaitFor([&] { return IsWindowVisible(tools) != FALSE; }, 10000)) return 1;
    Say("visible_ms", NowMs() - start);
    // The window turns visible as showing begins; an empty message comes
    // back once the tick that shows it has painted it and returned.
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutA(tools, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored)) return 1;
    Say("shown_ms", NowMs() - start);
    Sleep(1500);
    ExitGlimra(client, glimra);
    Sleep(500);
  }
  return 0;
}

LONGLONG FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::string BoxText(HWND box) {
  char text[1024] = {};
  SendMessageTimeoutA(box, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, nullptr);
  return text;
}

// Types `line` as a member does, waits until the box shows it, presses Enter
// and times it to the line's sending (the client logs each line it sends to
// the room) and to its showing in the room (an empty message to the room
// waits until the client has shown it).
struct LineTimes {
  double sent = -1, shown = -1;
};
LineTimes SendTimedLine(Client& client, const std::string& line) {
  LineTimes times;
  wine_test::TypeKeys(line);
  if (!WaitFor([&] { return BoxText(client.box) == line; }, 5000)) return times;
  const LONGLONG before = FileSize(client.LogPath());
  const double start = NowMs();
  wine_test::PressEnter();
  if (!WaitFor([&] { return FileSize(client.LogPath()) > before; }, 5000)) return times;
  times.sent = NowMs() - start;
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(client.room, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
  times.shown = NowMs() - start;
  // The box is back, empty and focused, before the next line is typed.
  WaitFor([&] { return wine_test::VisibleWithFocus(client.box) && BoxText(client.box).empty(); }, 5000);
  Sleep(100);
  return times;
}

void SayLine(const char* kind, const LineTimes& times) {
  Say((std::string(kind) + "_sent_ms").c_str(), times.sent);
  Say((std::string(kind) + "_shown_ms").c_str(), times.shown);
}

// A chat command typed into the box: it runs in Glimra and sends nothing.
void TypeCommand(Client& client, const std::string& command) {
  wine_test::TypeKeys(command);
  WaitFor([&] { return BoxText(client.box) == command; }, 5000);
  wine_test::PressEnter();
  WaitFor([&] { return wine_test::VisibleWithFocus(client.box) && BoxText(client.box).empty(); }, 5000);
  Sleep(300);
}

// Faded and plain lines take turns, so both meet a room transcript of the
// same length (the client takes longer to show a line the longer it is).
int Chat(int count) {
  Client client(kSignedOnWithRoom);
  if (!client.Running() || !client.FindRoom("Town Square")) return 1;
  HANDLE glimra = StartAttached();
  if (!wine_test::ClickIntoUntilFocused(client.box)) return 1;
  const std::string line = "Hello everyone in the room, how is the weather tonight?";
  for (int i = 0; i < count; ++i) {
    SayLine("faded", SendTimedLine(client, line));
    TypeCommand(client, "/fadeoff");
    SayLine("plain", SendTimedLine(client, line));
    TypeCommand(client, "/fadeon");
  }
  ExitGlimra(client, glimra);
  return 0;
}

// The benchmark program reads glimra.exe's CPU time between these two lines
// (Wine's own process times count in 10 ms steps, too coarse for this).
int Idle(int windows) {
  Client client(kSignedOnWithRoom);
  if (!client.Running() || !client.FindRoom("Town Square")) return 1;
  HANDLE glimra = StartAttached();
  for (int i = 0; i < windows; ++i) {
    Say("idle_begin", 0);
    Sleep(kIdleWindowMs);
    Say("idle_end", kIdleWindowMs);
  }
  ExitGlimra(client, glimra);
  return 0;
}

int Menu(int count) {
  Client client(kSignedOnWithRoom);
  if (!client.Running()) return 1;
  Sleep(1000);
  glimra::RemoteMenu menus(client.frame);
  double start = NowMs();
  HMENU bar = menus.GetMenu();
  Say("menu_first_call_ms", NowMs() - start);
  if (!bar || !menus.UsesHelper()) return 1;
  for (int i = 0; i < count; ++i) {
    start = NowMs();
    const int items = menus.GetMenuItemCount(bar);
    Say("menu_call_ms", NowMs() - start);
    if (items < 5) return 1;
  }
  // Without a helper in the client each call installs a hook, has it carry
  // the call in and removes it again: how the helper itself is made.
  for (int i = 0; i < count; ++i) {
    glimra::RemoteMenu::ReleaseHelper(client.frame);
    start = NowMs();
    if (!menus.GetMenu()) return 1;
    Say("menu_hooked_call_ms", NowMs() - start);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string scenario = argc > 1 ? argv[1] : "";
  const int count = argc > 2 ? std::atoi(argv[2]) : 5;
  if (scenario == "nothing") return 0;
  if (scenario == "startup") return Startup(count);
  if (scenario == "chat") return Chat(count);
  if (scenario == "idle") return Idle(count);
  if (scenario == "menu") return Menu(count);
  std::fprintf(stderr, "usage: glimra_costs startup|chat|idle|menu [COUNT]\n");
  return 2;
}
