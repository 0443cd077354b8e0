// The captions of the AOL client's menu bar, read the way a program beside a
// member's client can: by member.exe from the test's own folder, built with the
// client and so of its width (a menu helper enters only a program of its own
// width, and a 64-bit test program may be driving a 32-bit client). member.exe
// ends after the read, and its helper in the client with it.
#pragma once

#include <windows.h>

#include <fstream>
#include <string>
#include <vector>

#include "WineTestSupport.h"

namespace wine_test {

class TemporaryFile {
 public:
  explicit TemporaryFile(const char* prefix) {
    char folder[MAX_PATH] = {}, path[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    GetTempFileNameA(folder, prefix, 0, path);
    path_ = path;
  }
  ~TemporaryFile() { DeleteFileA(path_.c_str()); }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// Runs member.exe on a one-step script, its output into `output`; true when it
// ended well within the patience.
inline bool RunMemberStep(const std::string& step, const TemporaryFile& output) {
  TemporaryFile script("mbs");
  std::ofstream(script.Path(), std::ios::binary) << step << "\n";
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE out = CreateFileA(output.Path().c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out == INVALID_HANDLE_VALUE) return false;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = out;
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  char folder[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, folder);
  std::string commandLine = "\"" + std::string(folder) + "\\member.exe\" \"" + script.Path() + "\"";
  PROCESS_INFORMATION member{};
  const BOOL started =
      CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &member);
  CloseHandle(out);
  if (!started) return false;
  CloseHandle(member.hThread);
  DWORD status = 1;
  if (WaitForSingleObject(member.hProcess, kPatienceMs) == WAIT_OBJECT_0)
    GetExitCodeProcess(member.hProcess, &status);
  else
    TerminateProcess(member.hProcess, 1);
  WaitForSingleObject(member.hProcess, kPatienceMs);
  CloseHandle(member.hProcess);
  return status == 0;
}

// The client's menu bar, caption by caption (with their & marks); empty when
// it could not be read.
inline std::vector<std::string> ClientMenuBar() {
  TemporaryFile output("mbo");
  if (!RunMemberStep("menu-bar", output)) return {};
  std::ifstream lines(output.Path(), std::ios::binary);
  std::vector<std::string> captions;
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    captions.push_back(line);
  }
  return captions;
}

// How many of the client's menus are captioned `caption`; -1 when the bar could
// not be read.
inline int ClientMenusCaptioned(const std::string& caption) {
  const std::vector<std::string> bar = ClientMenuBar();
  if (bar.empty()) return -1;
  int count = 0;
  for (const std::string& each : bar) count += each == caption;
  return count;
}

}  // namespace wine_test
