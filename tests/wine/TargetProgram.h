// The tests' own program to watch (sbc_target.exe beside the test's working
// folder): starts it, finds its windows, reads its log file.
#pragma once

#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>

#include "WineTestSupport.h"

namespace wine_test {

class TargetProgram {
 public:
  TargetProgram() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    static int counter = 0;
    logPath_ = std::string(temp) + "sbc_target_" + std::to_string(GetCurrentProcessId()) + "_" +
               std::to_string(++counter) + ".log";
    DeleteFileA(logPath_.c_str());
    char folder[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, folder);
    exePath_ = std::string(folder) + "\\sbc_target.exe";
    std::string commandLine = "\"" + exePath_ + "\" \"" + logPath_ + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
      return;
    CloseHandle(process.hThread);
    process_ = process.hProcess;
    processId_ = process.dwProcessId;
    frame = WaitUntilFound([&]() -> HWND {
      for (HWND w = FindWindowA("SbcTargetFrame", nullptr); w;
           w = FindWindowExA(nullptr, w, "SbcTargetFrame", nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == processId_) return w;
      }
      return nullptr;
    });
    // Found while it is still being made: its children come before its message loop.
    if (frame && !Answers(frame)) frame = nullptr;
    box = FindWindowExA(frame, nullptr, "SbcTargetBox", nullptr);
    icon = FindWindowExA(frame, nullptr, "SbcTargetIcon", nullptr);
  }
  ~TargetProgram() {
    Kill();
    DeleteFileA(logPath_.c_str());
  }
  TargetProgram(const TargetProgram&) = delete;
  TargetProgram& operator=(const TargetProgram&) = delete;

  bool Started() const { return frame && box && icon; }
  DWORD ProcessId() const { return processId_; }
  const std::string& ExePath() const { return exePath_; }

  void Kill() {
    if (!process_) return;
    TerminateProcess(process_, 1);
    WaitForSingleObject(process_, kPatienceMs);
    CloseHandle(process_);
    process_ = nullptr;
  }

  // Everything the target's own procedures have logged so far.
  std::string Log() const {
    std::ifstream file(logPath_);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
  }
  bool Logged(const std::string& line) const { return Log().find(line + "\n") != std::string::npos; }

  // How many of its three windows run their own procedure.
  int OwnProcedures() const {
    DWORD_PTR count = 0;
    SendMessageTimeoutA(frame, RegisterWindowMessageA("SbcTarget OriginalProcs"), 0, 0, SMTO_ABORTIFHUNG, kPatienceMs,
                        &count);
    return static_cast<int>(count);
  }

  HWND frame = nullptr, box = nullptr, icon = nullptr;

 private:
  std::string logPath_, exePath_;
  HANDLE process_ = nullptr;
  DWORD processId_ = 0;
};

// Runs the events waiting for this thread (and those they post).
inline void RunPendingEvents() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

// Lets this thread's events run until `done` holds or `timeoutMs` passes.
template <typename Done>
bool PumpUntil(Done done, DWORD timeoutMs = kPatienceMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  while (!done()) {
    if (GetTickCount64() >= deadline) return false;
    RunPendingEvents();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  return true;
}

}  // namespace wine_test
