// Runs the stand-in AOL client from a folder of the test's own (waol.exe and
// aol.exe copied there with a waol.ini), and ends it after the test.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>
// After windows.h.
#include <tlhelp32.h>

#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "WineTestSupport.h"

namespace wine_test {

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

  // Starts the client and waits until it has made its frame, document area
  // and toolbar with its icons and gone on to its message loop.
  void Start(const std::string& ini, const std::string& arguments = "") {
    Prepare(ini);
    process_ = Run(folder_ + "\\waol.exe", arguments);
    ASSERT_TRUE(process_);
    frame_ = WaitUntilFound([] { return FindWindowA("AOL Frame25", nullptr); });
    ASSERT_TRUE(frame_) << "the client showed no frame";
    // The frame is found while it is still being made; the toolbar's icons come with it.
    ASSERT_TRUE(Answers(frame_)) << "the client did not finish starting";
    mdi_ = FindWindowExA(frame_, nullptr, "MDIClient", nullptr);
    ASSERT_TRUE(mdi_);
    ASSERT_TRUE(
        FindWindowExA(FindWindowExA(frame_, nullptr, "AOL Toolbar", nullptr), nullptr, "_AOL_Toolbar", nullptr));
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

  // The client's document window captioned `caption`, once the client has
  // made it with its controls (a window is found while it is being made).
  HWND Document(const char* caption) {
    HWND document = WaitUntilFound([&] { return FindWindowExA(mdi_, nullptr, "AOL Child", caption); });
    return document && Answers(document) ? document : nullptr;
  }

  // Waits until no copy of waol.exe that this process started to hand a
  // keyword (or anything else) to the running client is still on its way:
  // each ends once it has handed over, and the client logs what it got
  // before it lets the copy go.
  bool WaitUntilHandOversEnded() {
    const DWORD client = GetProcessId(process_);
    return WaitUntil([&] {
      HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
      if (snapshot == INVALID_HANDLE_VALUE) return false;
      bool running = false;
      PROCESSENTRY32 entry{};
      entry.dwSize = sizeof entry;
      for (BOOL more = Process32First(snapshot, &entry); more && !running; more = Process32Next(snapshot, &entry))
        running = entry.th32ParentProcessID == GetCurrentProcessId() && entry.th32ProcessID != client &&
                  lstrcmpiA(entry.szExeFile, "waol.exe") == 0;
      CloseHandle(snapshot);
      return !running;
    });
  }

  // Waits with `waitUntil` (a WaitUntil, or one that runs the caller's own
  // events meanwhile).
  using Waiter = std::function<bool(const std::function<bool()>&)>;
  static bool WaitPlainly(const std::function<bool()>& done) { return WaitUntil(done); }

  // Posts the client's rich control `rich` a request to log its markup and
  // waits for that log line: by then the client has handled everything
  // posted to it before (a typed Enter, a click, a command) and everything
  // that made it send or post on. The way to learn that something did not
  // happen, rather than looking after a while.
  bool ClientCaughtUp(HWND rich, const Waiter& waitUntil = WaitPlainly) {
    const std::size_t before = Events("markup").size();
    return PostMessageA(rich, RegisterWindowMessageA("WaolLogMarkup"), 0, 0) &&
           waitUntil([&] { return Events("markup").size() > before; });
  }

  std::string folder_;
  HANDLE process_ = nullptr;
  HWND frame_ = nullptr;
  HWND mdi_ = nullptr;
};

}  // namespace wine_test
