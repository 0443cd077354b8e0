#include "settings/modFileOp.h"

#include <windows.h>

#include "runtime/ErrorReporting.h"
#include "runtime/EventPump.h"
#include "runtime/FormWindow.h"

namespace glimra {

namespace {

bool SearchFinds(const std::string& pattern) {
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  return true;
}

std::string FolderOf(const std::string& path) { return path.substr(0, path.find_last_of("\\/")); }

}  // namespace

std::string& AppPath() {
  static std::string path = [] {
    char module[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    return FolderOf(module);
  }();
  return path;
}

bool FileExists(const std::string& path) {
  bool exists = false;
  RunProcedure({"modFileOp", "FileExists"}, [&] { exists = SearchFinds(path); });
  return exists;
}

bool FolderExists(const std::string& path) {
  if (path.empty()) return false;
  const char last = path.back();
  // A search for "C:\Folder\" finds nothing; its entries show it is there.
  return SearchFinds(last == '\\' || last == '/' ? path + "*" : path);
}

bool TryReadTextFile(const std::string& path, std::string& text) {
  text.clear();
  const HANDLE file =
      CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD high = 0;
  const DWORD size = GetFileSize(file, &high);
  bool complete = (size != INVALID_FILE_SIZE || GetLastError() == NO_ERROR) && high == 0 && size < 0x7FFFFFFF;
  if (complete) {
    text.resize(size);
    DWORD read = 0;
    complete = text.empty() || ReadFile(file, text.data(), size, &read, nullptr);
    text.resize(complete ? read : 0);
    complete = complete && read == size;
  }
  CloseHandle(file);
  return complete;
}

std::string ReadTextFile(const std::string& path) {
  std::string text;
  TryReadTextFile(path, text);
  return text;
}

bool WriteTextFile(const std::string& path, const std::string& text) {
  const HANDLE file =
      CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const std::string contents = text + "\r\n";
  DWORD written = 0;
  const bool ok = WriteFile(file, contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr) &&
                  written == contents.size();
  return CloseHandle(file) && ok;
}

namespace {

bool AskHelpProgram(HWND owner, const std::string& keyword) {
  return WinHelpA(owner, HelpFile().c_str(), HELP_PARTIALKEY, reinterpret_cast<ULONG_PTR>(keyword.c_str())) != FALSE;
}

// A caller that must not wait still gets its keyword when the help program
// was slow to make its window: a timer looks for it now and then and asks
// again once, giving up after the usual ten seconds.
constexpr UINT kLateAskEveryMs = 250;
struct LateHelpAsk {
  HWND owner = nullptr;
  std::string keyword;
  unsigned ticksLeft = 0;
  UINT_PTR timer = 0;
};
LateHelpAsk& LateAsk() {
  static LateHelpAsk late;
  return late;
}

void CALLBACK AskHelpProgramLate(HWND, UINT, UINT_PTR, DWORD) {
  LateHelpAsk& late = LateAsk();
  const bool windowThere = FindWindowA(kHelpWindowClass, nullptr) != nullptr;
  if (windowThere) AskHelpProgram(late.owner, late.keyword);
  if (windowThere || --late.ticksLeft == 0) {
    KillTimer(nullptr, late.timer);
    late.timer = 0;
  }
}

// A newer request replaces one still waiting.
void ForgetLateAsk() {
  LateHelpAsk& late = LateAsk();
  if (late.timer) KillTimer(nullptr, late.timer);
  late.timer = 0;
}

void AskHelpProgramLater(HWND owner, const std::string& keyword) {
  LateHelpAsk& late = LateAsk();
  late.owner = owner;
  late.keyword = keyword;
  late.ticksLeft = kHelpWindowWaitMs / kLateAskEveryMs;
  late.timer = SetTimer(nullptr, 0, kLateAskEveryMs, &AskHelpProgramLate);
}

}  // namespace

std::string& HelpFile() {
  static std::string file = AppPath() + "\\glimra.hlp";
  return file;
}

void RunWinHelp(FormWindow& form, const std::string& keyword, VBBool noWait) {
  RunProcedure({"modFileOp", "RunWinHelp"}, [&] {
    ForgetLateAsk();
    const bool asked = AskHelpProgram(form.hWnd(), keyword);
    if (noWait == kTrue) {
      if (!asked) AskHelpProgramLater(form.hWnd(), keyword);
      return;
    }
    if (!asked) {
      // WinHelpA may give up before the help program it started has made its
      // window; ask again once that window is there.
      PumpUntil([] { return FindWindowA(kHelpWindowClass, nullptr) != nullptr; }, kHelpWindowWaitMs, 50);
      AskHelpProgram(form.hWnd(), keyword);
    }
    // The help program runs apart from us, so its window is looked for on a
    // short poll; the deadline is on a monotonic clock, so a wait that spans
    // midnight still ends.
    HWND help = nullptr;
    PumpUntil(
        [&help] {
          help = FindWindowA(kHelpWindowClass, kHelpWindowCaption);
          return help != nullptr;
        },
        kHelpWindowWaitMs, 50);
    if (help) SetWindowPos(help, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  });
}

}  // namespace glimra
