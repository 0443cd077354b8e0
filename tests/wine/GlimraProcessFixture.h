// Runs glimra.exe for real beside the stand-in AOL client: a fresh settings
// tree, the program started from the build's bin folder, and every copy of it
// ended after the test.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "AolClientFixture.h"
#include "ResidentHelpers.h"
#include "SettingsTestSupport.h"
#include "WineTestSupport.h"
#include "engine/modFade.h"
#include "settings/AppOptions.h"

namespace wine_test {

class GlimraProcessFixture : public AolClientFixture {
 protected:
  void SetUp() override {
    DeleteGlimraTree();
    char cwd[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, cwd);
    bin_ = cwd;
  }

  void TearDown() override {
    for (HANDLE process : glimras_) {
      if (WaitForSingleObject(process, 0) != WAIT_OBJECT_0) TerminateProcess(process, 1);
      WaitForSingleObject(process, 5000);
      CloseHandle(process);
    }
    AolClientFixture::TearDown();
    DeleteGlimraTree();
  }

  // The `count`th line the client sent to the room, waiting for it.
  std::string SentChatLine(std::size_t count) {
    WaitUntilFound([&] { return Events("chat").size() >= count; });
    const auto chats = Events("chat");
    return chats.size() >= count ? chats[count - 1][2] : "<nothing sent>";
  }

  // The faded text Glimra's own settings give, as they stand in the registry.
  static std::string Faded(std::string text) {
    glimra::LoadOptions();
    glimra::WavePhase() = 0;
    return glimra::FadeEngine(text);
  }

  // Waits until Glimra watches the room's input box `box` and its Send icon:
  // the timer tick that shows the chat tools window attaches right after.
  static bool WaitUntilWatching(HWND box) {
    return WaitUntil([&] { return Watched(box) && Watched(GetWindow(box, GW_HWNDNEXT)); });
  }

  HANDLE StartGlimra(const std::string& arguments = "") {
    std::string commandLine = "\"" + bin_ + "\\glimra.exe\" " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, bin_.c_str(), &startup,
                        &process))
      return nullptr;
    CloseHandle(process.hThread);
    glimras_.push_back(process.hProcess);
    return process.hProcess;
  }

  // A top-level window of `process` of `className`, captioned `caption` (any caption when null).
  static HWND WindowOf(HANDLE process, const char* className, const char* caption) {
    struct Look {
      DWORD process;
      const char* className;
      const char* caption;
      HWND found;
    } look{GetProcessId(process), className, caption, nullptr};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
          auto* wanted = reinterpret_cast<Look*>(data);
          DWORD owner = 0;
          GetWindowThreadProcessId(window, &owner);
          char name[64] = {}, text[256] = {};
          GetClassNameA(window, name, sizeof name);
          GetWindowTextA(window, text, sizeof text);
          if (owner != wanted->process || std::string(name) != wanted->className) return TRUE;
          if (wanted->caption && std::string(text) != wanted->caption) return TRUE;
          wanted->found = window;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&look));
    return look.found;
  }

  std::string bin_;
  std::vector<HANDLE> glimras_;
};

}  // namespace wine_test
