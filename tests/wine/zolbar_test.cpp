// The ZolBar progress bar of zolbar.ocx: its properties, and what it paints.
#include "runtime/ZolBar.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace glimra {
namespace {

constexpr int kWidth = 200, kHeight = 24;

class ZolBarWin : public ::testing::Test {
 protected:
  void SetUp() override {
    parent =
        CreateWindowA("STATIC", "ZolBar host", WS_OVERLAPPEDWINDOW, 0, 0, 300, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(parent, nullptr);
    bar = std::make_unique<ZolBar>(parent, 0, 0, kWidth, kHeight);
  }
  void TearDown() override {
    bar.reset();
    DestroyWindow(parent);
  }

  // The control's client area as it paints it into a memory bitmap.
  struct Picture {
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;
    ~Picture() {
      SelectObject(dc, old);
      DeleteObject(bitmap);
      DeleteDC(dc);
    }
    COLORREF At(int x, int y) const { return GetPixel(dc, x, y); }
  };
  std::unique_ptr<Picture> Paint() {
    HDC screen = GetDC(nullptr);
    auto picture = std::unique_ptr<Picture>(new Picture{CreateCompatibleDC(screen), nullptr, nullptr});
    picture->bitmap = CreateCompatibleBitmap(screen, kWidth, kHeight);
    picture->old = SelectObject(picture->dc, picture->bitmap);
    ReleaseDC(nullptr, screen);
    SendMessageA(bar->Window(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(picture->dc), PRF_CLIENT);
    return picture;
  }
  // Leftmost and rightmost columns of the middle row painted in `color`.
  static std::pair<int, int> Extent(const Picture& picture, COLORREF color) {
    int left = -1, right = -1;
    for (int y = 4; y < kHeight - 4; ++y)
      for (int x = 2; x < kWidth - 2; ++x)
        if (picture.At(x, y) == color) {
          if (left < 0 || x < left) left = x;
          if (x > right) right = x;
        }
    return {left, right};
  }

  HWND parent = nullptr;
  std::unique_ptr<ZolBar> bar;
};

TEST_F(ZolBarWin, CaptionValueAndColoursReadBackAsSet) {
  bar->SetCaption("Initializing Glimra");
  EXPECT_EQ(bar->Caption(), "Initializing Glimra");
  bar->SetValue(40);
  EXPECT_EQ(bar->Value(), 40);
  bar->SetValue(150);
  EXPECT_EQ(bar->Value(), 100);
  bar->SetValue(-5);
  EXPECT_EQ(bar->Value(), 0);
  bar->SetColor(ZolBar::kBackColor, RGB(255, 255, 255));
  EXPECT_EQ(bar->Color(ZolBar::kBackColor), RGB(255, 255, 255));
  EXPECT_EQ(bar->Color(ZolBar::kBarColor), RGB(0, 0, 128));  // the period navy by default
}

TEST_F(ZolBarWin, FillsFromTheLeftInProportionToTheValue) {
  bar->SetColor(ZolBar::kBackColor, RGB(255, 255, 255));
  bar->SetColor(ZolBar::kBarColor, RGB(255, 0, 0));
  bar->SetValue(50);
  auto picture = Paint();
  EXPECT_EQ(picture->At(40, kHeight / 2), RGB(255, 0, 0));
  EXPECT_EQ(picture->At(160, kHeight / 2), RGB(255, 255, 255));
  const auto red = Extent(*picture, RGB(255, 0, 0));
  EXPECT_NEAR(red.second, kWidth / 2, 3);
}

TEST_F(ZolBarWin, CaptionIsCentredAndChangesColourUnderTheBar) {
  bar->SetColor(ZolBar::kBackColor, RGB(255, 255, 255));
  bar->SetColor(ZolBar::kForeColor, RGB(0, 0, 0));
  bar->SetColor(ZolBar::kBarColor, RGB(0, 0, 128));
  bar->SetColor(ZolBar::kBarTextColor, RGB(255, 255, 0));
  bar->SetCaption("Sending");
  auto empty = Paint();
  const auto black = Extent(*empty, RGB(0, 0, 0));
  ASSERT_GE(black.first, 0) << "no caption drawn";
  EXPECT_NEAR((black.first + black.second) / 2, kWidth / 2, 4);

  bar->SetValue(100);
  auto full = Paint();
  EXPECT_EQ(Extent(*full, RGB(0, 0, 0)).first, -1);  // no dark caption left over the bar
  const auto yellow = Extent(*full, RGB(255, 255, 0));
  EXPECT_NEAR((yellow.first + yellow.second) / 2, kWidth / 2, 4);
}

// For a look at it: `zolbar_test.exe --show` keeps a window with three bars up.
int ShowBars() {
  HWND window = CreateWindowA("STATIC", "ZolBar", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 340, 170, nullptr,
                              nullptr, nullptr, nullptr);
  ZolBar start(window, 10, 10, 300, 22), send(window, 10, 45, 300, 22), copy(window, 10, 80, 300, 22);
  start.SetCaption("Determining AOL Version");
  start.SetValue(30);
  send.SetCaption("Sending");
  send.SetColor(ZolBar::kBackColor, RGB(255, 255, 255));
  send.SetValue(66);
  copy.SetCaption("Preparing to copy files...");
  copy.SetValue(0);
  const ULONGLONG end = GetTickCount64() + 8000;
  MSG message;
  while (GetTickCount64() < end) {
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    Sleep(20);
  }
  return 0;
}

}  // namespace
}  // namespace glimra

int main(int argc, char** argv) {
  if (argc == 2 && std::string(argv[1]) == "--show") return glimra::ShowBars();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
