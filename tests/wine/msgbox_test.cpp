// The formatted message box, driven as a member would: a second thread finds
// the box, looks at it and presses its buttons with the mouse.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "WineTestSupport.h"
#include "runtime/ErrorReporting.h"
#include "runtime/FormWindow.h"
#include "shell/modMsgBox.h"

namespace glimra {
namespace {

using wine_test::BackgroundStep;

constexpr int kCommand1Base = 200;

HWND WaitForBox() { return wine_test::WaitForWindow("GlimraForm", "Glimra - 1.1.9"); }

HWND Button(HWND box, int index) { return GetDlgItem(box, kCommand1Base + index); }

void ClickWithMouse(HWND button) { wine_test::ClickMiddle(button); }

HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
  return info.hwndFocus;
}

class MsgBoxWin : public ::testing::Test {
 protected:
  void SetUp() override { VersionText() = "1.1.9"; }
};

TEST_F(MsgBoxWin, InformationYesNoAnswersYes) {
  bool leftHidden = false, noHasFocus = false;
  BackgroundStep member([&] {
    HWND box = WaitForBox();
    if (!box) return;
    Sleep(300);
    leftHidden = !IsWindowVisible(Button(box, 2));
    noHasFocus = FocusOf(box) == Button(box, 0);
    ClickWithMouse(Button(box, 1));
  });
  EXPECT_EQ(AskMsg("Do you want to ~Bsave~B this scheme?", 68), 6);
  member.Join();
  EXPECT_TRUE(leftHidden);
  EXPECT_TRUE(noHasFocus);
}

TEST_F(MsgBoxWin, StopAbortRetryIgnoreAnswersRetryWithFocusOnIgnore) {
  bool ignoreHasFocus = false, allShown = false;
  BackgroundStep member([&] {
    HWND box = WaitForBox();
    if (!box) return;
    Sleep(300);
    ignoreHasFocus = FocusOf(box) == Button(box, 0);
    allShown = IsWindowVisible(Button(box, 0)) && IsWindowVisible(Button(box, 1)) && IsWindowVisible(Button(box, 2));
    ClickWithMouse(Button(box, 1));
  });
  EXPECT_EQ(AskMsg("~B~CRSomething went wrong.~B~CN~N ~NTry again?", 18), 4);
  member.Join();
  EXPECT_TRUE(ignoreHasFocus);
  EXPECT_TRUE(allShown);
}

TEST_F(MsgBoxWin, ClosingTheBoxAnswersAsTheRightmostButton) {
  BackgroundStep member([&] {
    if (HWND box = WaitForBox()) {
      Sleep(200);
      PostMessageA(box, WM_CLOSE, 0, 0);
    }
  });
  EXPECT_EQ(AskMsg("Close me", 4), 7);
}

// A plain window of ours that stays loaded while the box is up.
class OtherWindow : public FormWindow {
 public:
  OtherWindow() : FormWindow("frmOther", 3000, 1000) {}
};

TEST_F(MsgBoxWin, WaitingFlagIsNonModalButStillWaitsForOk) {
  OtherWindow other;
  other.Show();
  bool otherEnabledWhileUp = false;
  bool returnedEarly = false;
  bool done = false;
  BackgroundStep member([&] {
    HWND box = WaitForBox();
    if (!box) return;
    Sleep(300);
    otherEnabledWhileUp = IsWindowEnabled(other.hWnd());
    returnedEarly = done;
    ClickWithMouse(Button(box, 0));
  });
  ShowMsg("Working in the background", 4096 + 64);
  done = true;
  member.Join();
  EXPECT_TRUE(otherEnabledWhileUp);
  EXPECT_FALSE(returnedEarly);
  other.Unload();
}

TEST_F(MsgBoxWin, ModalBoxDisablesOtherWindows) {
  OtherWindow other;
  other.Show();
  bool otherEnabledWhileUp = true;
  BackgroundStep member([&] {
    HWND box = WaitForBox();
    if (!box) return;
    Sleep(300);
    otherEnabledWhileUp = IsWindowEnabled(other.hWnd());
    ClickWithMouse(Button(box, 0));
  });
  ShowMsg("Modal", 16);
  member.Join();
  EXPECT_FALSE(otherEnabledWhileUp);
  EXPECT_TRUE(IsWindowEnabled(other.hWnd()));
  other.Unload();
}

TEST_F(MsgBoxWin, LongMessageGrowsTheWindowAndButtonsFollowTheText) {
  std::string message;
  for (int i = 0; i < 30; ++i) message += "Line number " + std::to_string(i) + " of a long message.~N";
  RECT boxRect{}, pictureRect{}, buttonRect{};
  BackgroundStep member([&] {
    HWND box = WaitForBox();
    if (!box) return;
    Sleep(300);
    GetWindowRect(box, &boxRect);
    GetWindowRect(GetDlgItem(box, 100), &pictureRect);
    GetWindowRect(Button(box, 0), &buttonRect);
    ClickWithMouse(Button(box, 0));
  });
  ShowMsg(message, 64);
  member.Join();
  const int designHeightPixels = 1260 / 15;
  EXPECT_GT(boxRect.bottom - boxRect.top, designHeightPixels * 3);
  // The buttons' top is the text area's height plus 60 twips (the area itself starts 30 twips down).
  EXPECT_EQ(buttonRect.top - pictureRect.top, (pictureRect.bottom - pictureRect.top) + 60 / 15 - 30 / 15);
  const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
  EXPECT_NEAR((boxRect.top + boxRect.bottom) / 2, screenHeight / 2, 2);
}

}  // namespace
}  // namespace glimra
