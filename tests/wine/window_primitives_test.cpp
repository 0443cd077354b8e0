// Window search and waits against windows of the test's own.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "aol/modFindChild.h"
#include "aol/modWin32API.h"
#include "runtime/FormWindow.h"

namespace glimra {
namespace {

HWND MakeParent() {
  return CreateWindowExA(0, "STATIC", "parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr,
                         nullptr, nullptr);
}

HWND MakeChild(HWND parent, const char* className, const char* text, bool visible = true) {
  static bool registered = false;
  if (!registered) {
    WNDCLASSA richClass{};
    richClass.lpfnWndProc = DefWindowProcA;
    richClass.lpszClassName = "RICHCNTL";
    RegisterClassA(&richClass);
    registered = true;
  }
  // Each new child goes to the bottom of the z-order, so children are found in creation order.
  return CreateWindowExA(0, className, text, WS_CHILD | (visible ? WS_VISIBLE : 0), 0, 0, 50, 20, parent, nullptr,
                         nullptr, nullptr);
}

class WindowPrimitives : public ::testing::Test {
 protected:
  void SetUp() override { parent_ = MakeParent(); }
  void TearDown() override { DestroyWindow(parent_); }
  HWND parent_ = nullptr;
};

TEST_F(WindowPrimitives, FindChildByClassCountsInZOrder) {
  HWND first = MakeChild(parent_, "RICHCNTL", "transcript");
  MakeChild(parent_, "STATIC", "label");
  HWND second = MakeChild(parent_, "RICHCNTL", "input");
  EXPECT_EQ(FindChildByClass(parent_, "RICHCNTL"), first);
  EXPECT_EQ(FindChildByClass(parent_, "richcntl", 2), second);
  EXPECT_EQ(FindChildByClass(parent_, "RICHCNTL", 3), nullptr);
  EXPECT_EQ(FindChildByClass(parent_, "RICHCNTL", 0), nullptr);
  EXPECT_EQ(FindChildByClass(parent_, "_AOL_ICON"), nullptr);
}

TEST_F(WindowPrimitives, FindChildByTitleIsACaseInsensitivePrefix) {
  MakeChild(parent_, "STATIC", "Hi Welcome, Jane!");
  HWND welcome = MakeChild(parent_, "STATIC", "WELCOME, Jane!");
  EXPECT_EQ(FindChildByTitle(parent_, "Welcome,"), welcome);
  EXPECT_EQ(FindChildByTitle(parent_, "Welcome,", 2), nullptr);
}

TEST_F(WindowPrimitives, OnlyTheFirst99CharactersOfACaptionCount) {
  const std::string caption = std::string(99, 'a') + "b";
  HWND child = MakeChild(parent_, "STATIC", caption.c_str());
  EXPECT_EQ(GetText(child), std::string(99, 'a'));
  EXPECT_EQ(FindChildByTitle(parent_, std::string(99, 'a')), child);
  EXPECT_EQ(FindChildByTitle(parent_, caption), nullptr);
}

TEST_F(WindowPrimitives, GetClassAndGetTextTrimBlanks) {
  HWND child = MakeChild(parent_, "STATIC", "  Send Later  ");
  EXPECT_EQ(GetClass(child), "Static");
  EXPECT_EQ(GetText(child), "Send Later");
}

TEST_F(WindowPrimitives, GetAPITextReadsLongTextsWhole) {
  const std::string text = std::string(3000, 'x') + " end";
  HWND edit = MakeChild(parent_, "EDIT", text.c_str());
  EXPECT_EQ(GetAPIText(edit, kFalse), text);
}

TEST_F(WindowPrimitives, WaitingGetAPITextReturnsTheFirstNonBlankTextAsItIs) {
  HWND edit = MakeChild(parent_, "EDIT", "   ");
  SetTimer(edit, 1, 300, [](HWND window, UINT, UINT_PTR id, DWORD) {
    KillTimer(window, id);
    SetWindowTextA(window, "  hello ");
  });
  EXPECT_EQ(GetAPIText(edit, kTrue), "  hello ");
}

TEST_F(WindowPrimitives, WaitsGiveUpAfterTenSecondsAndKeepEventsRunning) {
  HWND blanks = MakeChild(parent_, "EDIT", "   ");
  MakeChild(parent_, "RICHCNTL", "hidden", false);
  static int ticks;
  ticks = 0;
  const UINT_PTR timer = SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR, DWORD) { ++ticks; });
  const ULONGLONG start = GetTickCount64();
  EXPECT_EQ(GetAPIText(blanks, kTrue), "");
  EXPECT_EQ(WaitForChildClass(parent_, "RICHCNTL"), nullptr);  // exists, but hidden
  const ULONGLONG elapsed = GetTickCount64() - start;
  KillTimer(nullptr, timer);
  EXPECT_GE(elapsed, 19000u);
  EXPECT_GT(ticks, 50);  // the timer kept firing inside the waits
}

TEST_F(WindowPrimitives, WaitForWindowFindsAWindowThatAppearsLater) {
  SetTimer(parent_, 7, 300, [](HWND window, UINT, UINT_PTR id, DWORD) {
    KillTimer(window, id);
    CreateWindowExA(0, "STATIC", "Write Mail", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  });
  HWND found = WaitForWindow("Static", "Write Mail");
  ASSERT_NE(found, nullptr);
  EXPECT_TRUE(IsWindowVisible(found));
  DestroyWindow(found);
}

TEST_F(WindowPrimitives, SetTopMostFlags) {
  SetTopMost(parent_, -1);
  EXPECT_TRUE(GetWindowLongA(parent_, GWL_EXSTYLE) & WS_EX_TOPMOST);
  SetTopMost(parent_, 1);  // top of the normal band, not topmost
  EXPECT_TRUE(GetWindowLongA(parent_, GWL_EXSTYLE) & WS_EX_TOPMOST);
  SetTopMost(parent_, 0);
  EXPECT_FALSE(GetWindowLongA(parent_, GWL_EXSTYLE) & WS_EX_TOPMOST);
  SetTopMost(parent_, 1);
  EXPECT_FALSE(GetWindowLongA(parent_, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

class PlainForm : public FormWindow {
 public:
  PlainForm() : FormWindow("frmPlain", 3000, 1500) {}
};

TEST_F(WindowPrimitives, RePosFormPullsTheFormBackOnTheScreen) {
  PlainForm form;
  form.Show();
  form.Move(form.Left(), -750, form.Width(), form.Height());
  RePosForm(form, 0);
  EXPECT_EQ(form.Top(), 0);
  form.Move(-750, form.Top(), form.Width(), form.Height());
  RePosForm(form, 1);
  EXPECT_EQ(form.Left(), 0);
  const int screenWidth = PixelsToTwipsX(GetSystemMetrics(SM_CXSCREEN));
  form.Move(screenWidth, 0, form.Width(), form.Height());
  RePosForm(form, 1);
  EXPECT_EQ(form.Left(), screenWidth - form.Width());
  RePosForm(form, 2);  // any other axis does nothing
  EXPECT_EQ(form.Left(), screenWidth - form.Width());
  form.Unload();
}

}  // namespace
}  // namespace glimra
