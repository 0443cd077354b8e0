// Runs the stand-in AOL client from a folder of the test's own (waol.exe and
// aol.exe copied there with a waol.ini), and ends it after the test.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace wine_test {

template <typename Find>
auto WaitUntilFound(Find find, DWORD timeoutMs = 10000) -> decltype(find()) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    if (auto found = find()) return found;
    if (GetTickCount64() >= deadline) return {};
    Sleep(20);
  }
}

class AolClientFixture : public ::testing::Test {
 protected:
  // Makes the client's folder with `ini` as its [Client] settings.
  void Prepare(const std::string& ini) {
    char cwd[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, cwd);
    CreateDirectoryA((std::string(cwd) + "\\aolclient").c_str(), nullptr);
    folder_ = std::string(cwd) + "\\aolclient\\" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    CreateDirectoryA(folder_.c_str(), nullptr);
    for (const char* file : {"waol.exe", "aol.exe"})
      ASSERT_TRUE(CopyFileA((std::string(cwd) + "\\" + file).c_str(), (folder_ + "\\" + file).c_str(), FALSE)) << file;
    DeleteFileA(Log().c_str());
    DeleteFileA((folder_ + "\\waol.state").c_str());
    std::ofstream(folder_ + "\\waol.ini") << "[Client]\r\n" << ini;
  }

  // Starts the client and waits until its frame, document area and toolbar exist.
  void Start(const std::string& ini, const std::string& arguments = "") {
    Prepare(ini);
    process_ = Run(folder_ + "\\waol.exe", arguments);
    ASSERT_TRUE(process_);
    frame_ = WaitUntilFound([] { return FindWindowA("AOL Frame25", nullptr); });
    ASSERT_TRUE(frame_);
    mdi_ = WaitUntilFound([&] { return FindWindowExA(frame_, nullptr, "MDIClient", nullptr); });
    ASSERT_TRUE(mdi_);
    ASSERT_TRUE(WaitUntilFound([&] {
      return FindWindowExA(FindWindowExA(frame_, nullptr, "AOL Toolbar", nullptr), nullptr, "_AOL_Toolbar", nullptr);
    }));
  }

  HANDLE Run(const std::string& program, const std::string& arguments) {
    std::string commandLine = "\"" + program + "\" " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder_.c_str(),
                        &startup, &process))
      return nullptr;
    CloseHandle(process.hThread);
    return process.hProcess;
  }

  // Closes every running client, forcing those that do not end in 5 seconds.
  static void EndAllClients() {
    for (HWND frame; (frame = FindWindowA("AOL Frame25", nullptr)) != nullptr;) {
      DWORD pid = 0;
      GetWindowThreadProcessId(frame, &pid);
      PostMessageA(frame, WM_CLOSE, 0, 0);
      HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid);
      if (process && WaitForSingleObject(process, 5000) != WAIT_OBJECT_0) TerminateProcess(process, 1);
      if (process) {
        WaitForSingleObject(process, 5000);
        CloseHandle(process);
      }
    }
  }

  void TearDown() override {
    EndAllClients();
    if (process_) CloseHandle(process_);
  }

  std::string Log() const { return folder_ + "\\waol.log"; }

  // The log lines whose first field is `name`, split at tabs.
  std::vector<std::vector<std::string>> Events(const std::string& name) const {
    std::vector<std::vector<std::string>> found;
    std::ifstream file(Log());
    for (std::string line; std::getline(file, line);) {
      std::vector<std::string> fields;
      std::stringstream stream(line);
      for (std::string field; std::getline(stream, field, '\t');) fields.push_back(field);
      if (!fields.empty() && fields[0] == name) found.push_back(fields);
    }
    return found;
  }

  HWND Document(const char* caption) {
    return WaitUntilFound([&] { return FindWindowExA(mdi_, nullptr, "AOL Child", caption); });
  }

  std::string folder_;
  HANDLE process_ = nullptr;
  HWND frame_ = nullptr;
  HWND mdi_ = nullptr;
};

}  // namespace wine_test
