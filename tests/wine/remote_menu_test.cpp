// Menu steps on another process's menu bar through RemoteMenu: reading the
// target's bar, putting a pop-up into it, picking its item, taking it out.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "TargetProgram.h"
#include "aol/RemoteMenu.h"
#include "runtime/OutsideLibraries.h"

namespace glimra {
namespace {

using wine_test::PumpUntil;
using wine_test::TargetProgram;

// The screen pixels of the window's menu bar strip.
std::vector<COLORREF> MenuBarPixels(HWND window) {
  MENUBARINFO info{};
  info.cbSize = sizeof info;
  RECT strip{};
  if (GetMenuBarInfo(window, OBJID_MENU, 0, &info)) {
    strip = info.rcBar;
  } else {  // fall back to the band below the caption
    RECT frame;
    GetWindowRect(window, &frame);
    const int top = frame.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION);
    strip = {frame.left, top, frame.right, top + GetSystemMetrics(SM_CYMENU)};
  }
  std::vector<COLORREF> pixels;
  HDC screen = GetDC(nullptr);
  for (int y = strip.top + 2; y < strip.bottom - 2; y += 2)
    for (int x = strip.left; x < strip.right; x += 2) pixels.push_back(GetPixel(screen, x, y));
  ReleaseDC(nullptr, screen);
  return pixels;
}

// The pop-up Glimra puts into the AOL menu bar, shortened.
HMENU BuildPopup(RemoteMenu& menus) {
  HMENU main = menus.CreatePopupMenu();
  HMENU help = menus.CreatePopupMenu();
  menus.AppendMenu(main, MF_STRING, 60000, "&Fade Designer/Control Panel");
  menus.AppendMenu(main, MF_SEPARATOR, 0, "-");
  menus.AppendMenu(main, MF_STRING, 60001, "&Options");
  menus.AppendMenu(help, MF_STRING, 62000, "&Table of Contents");
  menus.AppendMenu(main, MF_POPUP, reinterpret_cast<UINT_PTR>(help), "&Help");
  menus.AppendMenu(main, MF_STRING, 60005, "&Exit Glimra");
  return main;
}

class RemoteMenuWin : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(target.Started());
    PumpUntil([] { return false; }, 300);  // let the target paint
  }
  TargetProgram target;
};

TEST_F(RemoteMenuWin, ReadsAnotherProcesssBarByPositionAndById) {
  RemoteMenu menus(target.frame);
  HMENU bar = menus.GetMenu();
  EXPECT_TRUE(menus.UsesHelper());  // Wine: the plain functions fail on another process's menu
  ASSERT_EQ(menus.GetMenuItemCount(bar), 5);
  EXPECT_EQ(menus.GetMenuString(bar, 0, 100, MF_BYPOSITION), "&File");
  EXPECT_EQ(menus.GetMenuString(bar, 3, 100, MF_BYPOSITION), "&Members");
  EXPECT_EQ(menus.GetMenuString(bar, 3, 4, MF_BYPOSITION), "&Me");  // count includes the NUL
  HMENU help = menus.GetSubMenu(bar, 4);
  ASSERT_NE(help, nullptr);
  EXPECT_EQ(menus.GetMenuItemCount(help), 1);
  const UINT id = menus.GetMenuItemID(help, 0);
  EXPECT_EQ(id, 1001u);
  EXPECT_EQ(menus.GetMenuString(help, id, 100, MF_BYCOMMAND), "&About Target");
  EXPECT_EQ(menus.GetMenuItemID(bar, 0), 0xFFFFFFFFu);  // a pop-up has no id
}

TEST_F(RemoteMenuWin, InsertedPopupAppearsAndItsCommandReachesTheFrame) {
  auto watcher = CreateSubClass(0);
  std::vector<std::intptr_t> commands;
  watcher->SetMessages({WM_COMMAND});
  watcher->OnWndMessageX([&](WindowHandle, std::uint32_t, std::intptr_t wp, std::intptr_t, std::intptr_t&,
                             std::int32_t&) { commands.push_back(wp); });
  watcher->SetHWnd(HandleToULong(target.frame));

  const std::vector<COLORREF> before = MenuBarPixels(target.frame);
  RemoteMenu menus(target.frame);
  HMENU bar = menus.GetMenu();
  HMENU glimra = BuildPopup(menus);
  ASSERT_NE(glimra, nullptr);
  ASSERT_TRUE(menus.InsertMenu(bar, 6, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(glimra), "Glimr&a"));
  EXPECT_TRUE(menus.DrawMenuBar());
  ASSERT_EQ(menus.GetMenuItemCount(bar), 6);  // position 6 lay past the end: it went last
  EXPECT_EQ(menus.GetMenuString(bar, 5, 9, MF_BYPOSITION), "Glimr&a");
  HMENU inserted = menus.GetSubMenu(bar, 5);
  EXPECT_EQ(menus.GetMenuItemCount(inserted), 5);
  EXPECT_EQ(menus.GetMenuString(inserted, 60001, 100, MF_BYCOMMAND), "&Options");
  EXPECT_EQ(menus.GetMenuString(menus.GetSubMenu(inserted, 3), 0, 100, MF_BYPOSITION), "&Table of Contents");

  PumpUntil([] { return false; }, 300);
  EXPECT_NE(MenuBarPixels(target.frame), before);  // the new entry shows on the screen

  // The member opens "Glimr&a" with its mnemonic and picks "&Fade Designer/Control Panel".
  PostMessageA(target.frame, WM_SYSCOMMAND, SC_KEYMENU, 'a');
  PumpUntil([] { return false; }, 300);
  PostMessageA(target.frame, WM_CHAR, 'f', 0);
  EXPECT_TRUE(PumpUntil([&] { return target.Logged("frame command 60000"); }));
  ASSERT_FALSE(commands.empty());
  EXPECT_EQ(LOWORD(commands.back()), 60000);

  ASSERT_TRUE(menus.DeleteMenu(bar, 5, MF_BYPOSITION));
  menus.DrawMenuBar();
  EXPECT_EQ(menus.GetMenuItemCount(bar), 5);
  EXPECT_EQ(menus.GetMenuString(bar, 4, 9, MF_BYPOSITION), "&Help");
  watcher->SetHWnd(0);
}

TEST_F(RemoteMenuWin, OwnWindowsUseThePlainFunctions) {
  HMENU bar = CreateMenu();
  AppendMenuA(bar, MF_STRING, 5, "&Own");
  HWND own = CreateWindowA("STATIC", "own", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, bar, nullptr, nullptr);
  RemoteMenu menus(own);
  EXPECT_FALSE(menus.UsesHelper());
  EXPECT_EQ(menus.GetMenu(), bar);
  EXPECT_EQ(menus.GetMenuString(bar, 5, 100, MF_BYCOMMAND), "&Own");
  DestroyWindow(own);
}

// For a look at it: `remote_menu_test.exe --show-menu` puts the pop-up into
// a target's bar, opens it and keeps it up for a few seconds.
int ShowMenu() {
  TargetProgram target;
  if (!target.Started()) return 1;
  RemoteMenu menus(target.frame);
  HMENU bar = menus.GetMenu();
  menus.InsertMenu(bar, 6, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(BuildPopup(menus)), "Glimr&a");
  menus.DrawMenuBar();
  PostMessageA(target.frame, WM_SYSCOMMAND, SC_KEYMENU, 'a');
  Sleep(8000);
  return 0;
}

}  // namespace
}  // namespace glimra

int main(int argc, char** argv) {
  if (argc == 2 && std::string(argv[1]) == "--show-menu") return glimra::ShowMenu();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
