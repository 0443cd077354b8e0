// The help launcher with the stand-in help viewer: WinHelpA starts
// winhlp32.exe from the folder the programs run in, the viewer opens
// glimra.hlp at the keyword, and RunWinHelp puts its window on top.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <string>

#include "WineTestSupport.h"
#include "runtime/EventPump.h"
#include "runtime/FormWindow.h"
#include "settings/modFileOp.h"

namespace glimra {
namespace {

constexpr int kTopicHeading = 100;

class Opener : public FormWindow {
 public:
  Opener() : FormWindow("frmOpener", 3000, 1000) {}
};

HWND HelpWindow() { return FindWindowA("MS_WINHELP", "Glimra!"); }

std::string ProgramOf(HWND window) {
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
  char path[MAX_PATH] = {};
  DWORD size = MAX_PATH;
  if (process) {
    QueryFullProcessImageNameA(process, 0, path, &size);
    CloseHandle(process);
  }
  return path;
}

std::string CurrentFolder() {
  char folder[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, folder);
  return folder;
}

bool Topmost(HWND window) { return (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

class HelpWin : public ::testing::Test {
 protected:
  void SetUp() override {
    CloseViewer();
    HelpFile() = CurrentFolder() + "\\glimra.hlp";
    opener_.Load();
  }
  void TearDown() override {
    opener_.Unload();
    CloseViewer();
  }
  static void CloseViewer() {
    for (HWND viewer; (viewer = FindWindowA("MS_WINHELP", nullptr)) != nullptr;) {
      DWORD processId = 0;
      GetWindowThreadProcessId(viewer, &processId);
      HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
      PostMessageA(viewer, WM_CLOSE, 0, 0);
      if (process) {
        WaitForSingleObject(process, wine_test::kPatienceMs);
        CloseHandle(process);
      }
    }
  }
  Opener opener_;
};

TEST_F(HelpWin, WaitingOpensTheKeywordsTopicOnTopFromOurViewer) {
  RunWinHelp(opener_, "Options", kFalse);
  HWND help = HelpWindow();
  ASSERT_NE(help, nullptr);
  EXPECT_TRUE(IsWindowVisible(help));
  EXPECT_TRUE(Topmost(help));
  EXPECT_EQ(wine_test::WindowText(GetDlgItem(help, kTopicHeading)), "Options");
  // The viewer found first is the one in the folder the program runs in, not Wine's own.
  const std::string expected = CurrentFolder() + "\\winhlp32.exe";
  EXPECT_EQ(CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, ProgramOf(help).c_str(), -1, expected.c_str(), -1),
            CSTR_EQUAL)
      << ProgramOf(help);
}

TEST_F(HelpWin, AnOpenViewerTurnsToTheNextKeyword) {
  RunWinHelp(opener_, "Table Of Contents", kFalse);
  ASSERT_NE(HelpWindow(), nullptr);
  RunWinHelp(opener_, "Import Settings", kFalse);
  EXPECT_EQ(wine_test::WindowText(GetDlgItem(HelpWindow(), kTopicHeading)), "Import Settings");
}

TEST_F(HelpWin, NoWaitLeavesTheWindowWhereItIs) {
  RunWinHelp(opener_, "Table of Contents", kTrue);
  // Not waited for, the help program may come up and turn to the keyword a moment later.
  HWND help = nullptr;
  ASSERT_TRUE(PumpUntil(
      [&] {
        help = HelpWindow();
        return help && wine_test::WindowText(GetDlgItem(help, kTopicHeading)) == "Table of Contents";
      },
      wine_test::kPatienceMs, 50))
      << "the help program did not show the keyword's topic";
  EXPECT_FALSE(Topmost(help));
}

// "/help" opens the help from inside the chat box's send, which must not wait:
// when the help program cannot start, RunWinHelp without waiting comes back
// at once and runs none of the events waiting in the queue. A help program
// that comes up a little later still turns to the keyword.
TEST_F(HelpWin, NoWaitComesBackAtOnceWhenTheHelpProgramCannotStart) {
  // The folder the help program is looked for in first holds one that is no program.
  char scratch[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, scratch);
  const std::string folder = std::string(scratch) + "glimra-nohelp";
  CreateDirectoryA(folder.c_str(), nullptr);
  { std::ofstream(folder + "\\winhlp32.exe") << "not a program"; }
  const std::string saved = CurrentFolder();
  ASSERT_TRUE(SetCurrentDirectoryA(folder.c_str()));
  constexpr UINT kMarker = WM_APP + 7;
  PostMessageA(opener_.hWnd(), kMarker, 0, 0);
  RunWinHelp(opener_, "Table of Contents", kTrue);
  MSG waiting{};
  const bool stillQueued = PeekMessageA(&waiting, opener_.hWnd(), kMarker, kMarker, PM_REMOVE) != FALSE;
  SetCurrentDirectoryA(saved.c_str());
  DeleteFileA((folder + "\\winhlp32.exe").c_str());
  RemoveDirectoryA(folder.c_str());
  EXPECT_TRUE(stillQueued) << "RunWinHelp let events run: it waited";
  EXPECT_EQ(HelpWindow(), nullptr);

  HANDLE late = wine_test::StartProgram(saved + "\\winhlp32.exe", "-x");
  ASSERT_TRUE(late);
  CloseHandle(late);
  EXPECT_TRUE(PumpUntil(
      [] {
        return HelpWindow() && wine_test::WindowText(GetDlgItem(HelpWindow(), kTopicHeading)) == "Table of Contents";
      },
      wine_test::kPatienceMs, 50));
}

}  // namespace
}  // namespace glimra
