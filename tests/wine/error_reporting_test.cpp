// The uniform error handler with the real report box: a second thread plays
// the member, reads the box and answers it.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "WineTestSupport.h"
#include "runtime/ErrorReporter.h"
#include "runtime/ErrorReporting.h"
#include "runtime/Forms.h"

namespace glimra {
namespace {

using wine_test::BackgroundStep;

// Answers the next report box with `button`, remembering what it said.
struct Member {
  explicit Member(int button)
      : step([this, button] {
          HWND box = wine_test::WaitForReadyWindow("#32770", kErrorReportCaption);
          if (!box) return;
          message = wine_test::WindowText(GetDlgItem(box, 0xFFFF));
          PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                       reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
        }) {}
  std::string message;
  BackgroundStep step;
};

class ErrorReportingWin : public ::testing::Test {
 protected:
  void SetUp() override {
    VersionText() = "1.1.9";
    InstallErrorReporting();
  }
};

TEST_F(ErrorReportingWin, RetryRunsTheStatementAgain) {
  Member member(IDRETRY);
  int attempts = 0;
  Guard({"modAOLFunctions", "FindChatRoom"}, [&] {
    if (++attempts == 1) RaiseError(kErrTypeMismatch);
  });
  member.step.Join();
  EXPECT_EQ(attempts, 2);
  EXPECT_NE(member.message.find("modAOLFunctions"), std::string::npos) << member.message;
  EXPECT_NE(member.message.find("FindChatRoom"), std::string::npos);
  EXPECT_NE(member.message.find("Type mismatch"), std::string::npos);
  EXPECT_NE(member.message.find("1.1.9"), std::string::npos);
}

TEST_F(ErrorReportingWin, IgnoreSkipsTheStatement) {
  Member member(IDIGNORE);
  std::vector<std::string> done;
  RunProcedure({"frmChatTools", "cmdEMail_Click"}, [&] {
    Guard({"frmChatTools", "cmdEMail_Click"}, [&] {
      RaiseError(kErrOverflow);
      done.push_back("skipped part");
    });
    Guard({"frmChatTools", "cmdEMail_Click"}, [&] { done.push_back("next statement"); });
  });
  member.step.Join();
  EXPECT_EQ(done, std::vector<std::string>{"next statement"});
  EXPECT_NE(member.message.find("cmdEMail_Click"), std::string::npos);
}

TEST_F(ErrorReportingWin, LowColourFlagFollowsTheScreen) {
  HDC dc = GetDC(GetDesktopWindow());
  const int bits = GetDeviceCaps(dc, BITSPIXEL);
  ReleaseDC(GetDesktopWindow(), dc);
  EXPECT_EQ(MeasureLowColorFlag(kFalse), bits <= 8 ? kTrue : kFalse);
}

// A window-backed form that logs its unloading to a file, so the parent can
// check the order after this process has ended.
class LoggingForm : public Form {
 public:
  LoggingForm(std::string name, std::string logPath) : name_(std::move(name)), logPath_(std::move(logPath)) {
    window_ =
        CreateWindowA("STATIC", name_.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 100, 50, nullptr, nullptr, nullptr, nullptr);
    Forms().Add(this);
  }
  std::string Name() const override { return name_; }
  void Unload() override {
    DestroyWindow(window_);
    std::ofstream(logPath_, std::ios::app) << name_ << "\n";
    Forms().Remove(this);
  }

 private:
  std::string name_;
  std::string logPath_;
  HWND window_;
};

// Child mode: load three forms, fail, and wait for the parent's Abort.
int RunAbortChild(const std::string& logPath) {
  VersionText() = "1.1.9";
  InstallErrorReporting();
  LoggingForm a("frmChatTools", logPath), b("frmMain", logPath), c("frmMsg", logPath);
  Guard({"modGlimra", "Main"}, [] { RaiseError(kErrOutOfMemory); });
  std::ofstream(logPath, std::ios::app) << "went on after Abort\n";
  return 7;
}

TEST_F(ErrorReportingWin, AbortUnloadsEveryFormNewestFirstAndEnds) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string logPath = std::string(temp) + "glimra_abort_test.log";
  DeleteFileA(logPath.c_str());

  HANDLE child = wine_test::StartSelf("--abort-child \"" + logPath + "\"");
  ASSERT_NE(child, nullptr);
  Member member(IDABORT);
  member.step.Join();
  ASSERT_EQ(WaitForSingleObject(child, wine_test::kPatienceMs), WAIT_OBJECT_0);
  DWORD exitCode = 99;
  GetExitCodeProcess(child, &exitCode);
  CloseHandle(child);

  EXPECT_EQ(exitCode, 0u);
  EXPECT_NE(member.message.find("Out of memory"), std::string::npos) << member.message;
  std::ifstream log(logPath);
  std::vector<std::string> lines;
  for (std::string line; std::getline(log, line);) lines.push_back(line);
  EXPECT_EQ(lines, (std::vector<std::string>{"frmMsg", "frmMain", "frmChatTools"}));
}

}  // namespace
}  // namespace glimra

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--abort-child") return glimra::RunAbortChild(argv[2]);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
