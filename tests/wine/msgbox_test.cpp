// The formatted message box, driven as a member would: a second thread finds
// the box, looks at it and presses its buttons with the mouse.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "MemberInput.h"
#include "WineTestSupport.h"
#include "runtime/ErrorReporting.h"
#include "runtime/FormWindow.h"
#include "shell/modMsgBox.h"

namespace glimra {
namespace {

using wine_test::BackgroundStep;

constexpr int kCommand1Base = 200;

// The box, once it is up and ready for the member.
HWND WaitForBox() { return wine_test::WaitForReadyWindow("GlimraForm", "Glimra - 1.1.9"); }

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
    if (HWND box = WaitForBox()) PostMessageA(box, WM_CLOSE, 0, 0);
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
    otherEnabledWhileUp = IsWindowEnabled(other.hWnd());
    ClickWithMouse(Button(box, 0));
  });
  ShowMsg("Modal", 16);
  member.Join();
  EXPECT_FALSE(otherEnabledWhileUp);
  EXPECT_TRUE(IsWindowEnabled(other.hWnd()));
  other.Unload();
}

// The width and height of what is drawn on the ground colour found at
// (inset, inset) of a 32-bit picture, looking only `inset` pixels in from
// each edge.
SIZE InkSize(const std::vector<std::uint32_t>& pixels, int width, int height, int inset) {
  const std::uint32_t ground = pixels[static_cast<std::size_t>(inset * width + inset)] & 0xFFFFFF;
  int left = width, right = -1, top = height, bottom = -1;
  for (int y = inset; y < height - inset; ++y)
    for (int x = inset; x < width - inset; ++x)
      if ((pixels[static_cast<std::size_t>(y * width + x)] & 0xFFFFFF) != ground) {
        left = std::min(left, x), right = std::max(right, x);
        top = std::min(top, y), bottom = std::max(bottom, y);
      }
  return right < 0 ? SIZE{0, 0} : SIZE{right - left + 1, bottom - top + 1};
}

// Copies `width` by `height` pixels from `source` at (x, y).
std::vector<std::uint32_t> Grab(HDC source, int x, int y, int width, int height) {
  HDC memory = CreateCompatibleDC(source);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, source, x, y, SRCCOPY);
  std::vector<std::uint32_t> pixels(static_cast<const std::uint32_t*>(bits),
                                    static_cast<const std::uint32_t*>(bits) + width * height);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  return pixels;
}

// What a window shows on the screen, its border left out.
SIZE InkOnScreen(HWND window, int border) {
  RECT r{};
  GetWindowRect(window, &r);
  HDC screen = GetDC(nullptr);
  const auto pixels = Grab(screen, r.left, r.top, r.right - r.left, r.bottom - r.top);
  ReleaseDC(nullptr, screen);
  return InkSize(pixels, r.right - r.left, r.bottom - r.top, border);
}

// The size of `caption` written in `font` as a button writes its caption.
SIZE InkOfCaption(const wchar_t* caption, HFONT font) {
  constexpr int kWidth = 200, kHeight = 60;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, kWidth, kHeight);
  ReleaseDC(nullptr, screen);
  HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
  RECT all{0, 0, kWidth, kHeight};
  FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  HGDIOBJ oldFont = SelectObject(memory, font);
  SetBkMode(memory, TRANSPARENT);
  SetTextColor(memory, RGB(0, 0, 0));
  RECT text{10, 10, 10, 10};
  DrawTextW(memory, caption, -1, &text, DT_NOCLIP);
  SelectObject(memory, oldFont);
  const auto pixels = Grab(memory, 0, 0, kWidth, kHeight);
  SelectObject(memory, oldBitmap);
  DeleteObject(bitmap);
  DeleteDC(memory);
  return InkSize(pixels, kWidth, kHeight, 1);
}

TEST_F(MsgBoxWin, ButtonCaptionsAreArialNinePoint) {
  HDC screen = GetDC(nullptr);
  HFONT arial = CreateFontA(-MulDiv(9, GetDeviceCaps(screen, LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                            DEFAULT_CHARSET, 0, 0, DEFAULT_QUALITY, 0, "Arial");
  ReleaseDC(nullptr, screen);
  const SIZE expected = InkOfCaption(L"&Ignore", arial);
  const SIZE guiFont = InkOfCaption(L"&Ignore", static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
  DeleteObject(arial);
  const auto alike = [](SIZE a, SIZE b) { return std::abs(a.cx - b.cx) <= 1 && std::abs(a.cy - b.cy) <= 1; };
  SIZE shown{};
  BackgroundStep member([&] {
    HWND box = WaitForBox();
    if (!box) return;
    // "&Ignore", the longest caption, without the focus, as the screen shows
    // it once painted (the last look is what is judged).
    wine_test::WaitUntil([&] {
      shown = InkOnScreen(Button(box, 0), 4);
      return alike(shown, expected);
    });
    wine_test::ClickCentre(Button(box, 0));
  });
  EXPECT_EQ(AskMsg("Which font do the buttons use?", 512 + 2), 5);
  member.Join();
  ASSERT_GT(std::abs(expected.cx - guiFont.cx) + std::abs(expected.cy - guiFont.cy), 2)
      << "here the two fonts must look different for the test to tell them apart";
  EXPECT_NEAR(shown.cx, expected.cx, 1) << "the default GUI font gives " << guiFont.cx;
  EXPECT_NEAR(shown.cy, expected.cy, 1) << "the default GUI font gives " << guiFont.cy;
}

TEST_F(MsgBoxWin, LongMessageGrowsTheWindowAndButtonsFollowTheText) {
  std::string message;
  for (int i = 0; i < 30; ++i) message += "Line number " + std::to_string(i) + " of a long message.~N";
  RECT boxRect{}, pictureRect{}, buttonRect{};
  BackgroundStep member([&] {
    HWND box = WaitForBox();
    if (!box) return;
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
