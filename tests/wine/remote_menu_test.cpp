// Menu steps on another process's menu bar through RemoteMenu: reading the
// target's bar, putting a pop-up into it, picking its item, taking it out;
// the helper that stays in the target for the steps, and goes again.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "ResidentHelpers.h"
#include "TargetProgram.h"
#include "aol/RemoteMenu.h"
#include "runtime/OutsideLibraries.h"

namespace glimra {
namespace {

using wine_test::HelperRequests;
using wine_test::PumpUntil;
using wine_test::ResidentHelpers;
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

// The bar shows its entries: more than the one colour of an empty strip.
bool MenuBarShowsEntries(HWND window) {
  const std::vector<COLORREF> pixels = MenuBarPixels(window);
  return std::any_of(pixels.begin(), pixels.end(), [&](COLORREF c) { return c != pixels.front(); });
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
    ASSERT_TRUE(PumpUntil([&] { return MenuBarShowsEntries(target.frame); })) << "the target's menu bar is not drawn";
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

  EXPECT_TRUE(PumpUntil([&] { return MenuBarPixels(target.frame) != before; }))
      << "the new entry does not show on the screen";

  // The member opens "Glimr&a" with its mnemonic and picks "&Fade Designer/Control Panel".
  PostMessageA(target.frame, WM_SYSCOMMAND, SC_KEYMENU, 'a');
  ASSERT_TRUE(PumpUntil([] { return wine_test::WaitForOpenMenu(0) != nullptr; })) << "\"Glimr&a\" did not open";
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

// The items as the single steps give them.
std::vector<RemoteMenu::Item> ReadByCalls(RemoteMenu& menus, HMENU menu, int count, UINT flags) {
  std::vector<RemoteMenu::Item> items;
  for (int j = 0; j < menus.GetMenuItemCount(menu); ++j) {
    RemoteMenu::Item item;
    item.id = menus.GetMenuItemID(menu, j);
    item.subMenu = menus.GetSubMenu(menu, j);
    item.text = menus.GetMenuString(menu, (flags & MF_BYPOSITION) ? static_cast<UINT>(j) : item.id, count, flags);
    items.push_back(item);
  }
  return items;
}

void ExpectSameItems(const std::vector<RemoteMenu::Item>& read, const std::vector<RemoteMenu::Item>& stepped) {
  ASSERT_EQ(read.size(), stepped.size());
  for (std::size_t j = 0; j < read.size(); ++j) {
    EXPECT_EQ(read[j].id, stepped[j].id) << "item " << j;
    EXPECT_EQ(read[j].subMenu, stepped[j].subMenu) << "item " << j;
    EXPECT_EQ(read[j].text, stepped[j].text) << "item " << j;
  }
}

// A whole menu read at once gives what the single steps give: separators,
// sub-menus, captions by id and by position, cut to the count.
TEST_F(RemoteMenuWin, ReadingAWholeMenuGivesWhatTheStepsGive) {
  RemoteMenu menus(target.frame);
  HMENU bar = menus.GetMenu();
  ASSERT_TRUE(
      menus.InsertMenu(bar, 6, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(BuildPopup(menus)), "Glimr&a"));
  const std::vector<RemoteMenu::Item> entries = menus.ReadItems(bar, 9, MF_BYPOSITION);
  ASSERT_EQ(entries.size(), 6u);
  EXPECT_EQ(entries[3].text, "&Members");
  EXPECT_EQ(entries[5].text, "Glimr&a");
  EXPECT_EQ(entries[5].id, 0xFFFFFFFFu);
  HMENU glimra = entries[5].subMenu;
  ASSERT_NE(glimra, nullptr);
  const LONG_PTR requestsBefore = HelperRequests(target.ProcessId());
  const std::vector<RemoteMenu::Item> items = menus.ReadItems(glimra, 100, MF_BYCOMMAND);
  EXPECT_EQ(HelperRequests(target.ProcessId()) - requestsBefore, 1);  // one round trip for the whole menu
  ASSERT_EQ(items.size(), 5u);
  EXPECT_EQ(items[0].id, 60000u);
  EXPECT_EQ(items[0].text, "&Fade Designer/Control Panel");
  EXPECT_EQ(items[1].id, 0u);  // the separator
  EXPECT_NE(items[3].subMenu, nullptr);
  EXPECT_EQ(items[4].text, "&Exit Glimra");
  EXPECT_EQ(menus.ReadItems(items[3].subMenu, 100, MF_BYPOSITION).at(0).text, "&Table of Contents");

  for (HMENU menu : {bar, glimra, items[3].subMenu})
    for (const auto& [count, flags] :
         {std::pair<int, UINT>{100, MF_BYCOMMAND}, {100, MF_BYPOSITION}, {4, MF_BYPOSITION}, {0, MF_BYCOMMAND}})
      ExpectSameItems(menus.ReadItems(menu, count, flags), ReadByCalls(menus, menu, count, flags));
  EXPECT_TRUE(menus.ReadItems(nullptr, 100, MF_BYCOMMAND).empty());
  EXPECT_EQ(ResidentHelpers(target.ProcessId()), 1);
  ASSERT_TRUE(menus.DeleteMenu(bar, 5, MF_BYPOSITION));
}

// Items appended in one go land in their order, each in its own menu; one
// that fails makes the whole answer false without stopping the others.
TEST_F(RemoteMenuWin, SeveralItemsAppendedAtOnceLandInOrder) {
  RemoteMenu menus(target.frame);
  HMENU main = menus.CreatePopupMenu();
  HMENU help = menus.CreatePopupMenu();
  ASSERT_TRUE(main && help);
  const LONG_PTR requestsBefore = HelperRequests(target.ProcessId());
  EXPECT_TRUE(menus.AppendMenus({{main, MF_STRING, 60000, "&Fade Designer/Control Panel"},
                                 {main, MF_SEPARATOR, 0, "-"},
                                 {main, MF_POPUP, reinterpret_cast<UINT_PTR>(help), "&Help"},
                                 {help, MF_STRING, 62000, "&Table of Contents"},
                                 {main, MF_STRING, 60005, "&Exit Glimra"}}));
  EXPECT_EQ(HelperRequests(target.ProcessId()) - requestsBefore, 1);  // one round trip for all five
  const std::vector<RemoteMenu::Item> items = menus.ReadItems(main, 100, MF_BYPOSITION);
  ASSERT_EQ(items.size(), 4u);
  EXPECT_EQ(items[0].id, 60000u);
  EXPECT_EQ(items[1].id, 0u);
  EXPECT_EQ(items[2].subMenu, help);
  EXPECT_EQ(items[2].text, "&Help");
  EXPECT_EQ(items[3].text, "&Exit Glimra");
  EXPECT_EQ(menus.GetMenuString(help, 62000, 100, MF_BYCOMMAND), "&Table of Contents");

  EXPECT_FALSE(menus.AppendMenus({{reinterpret_cast<HMENU>(static_cast<UINT_PTR>(0x7FF0)), MF_STRING, 1, "nowhere"},
                                  {main, MF_STRING, 2, "&Last"}}));
  EXPECT_EQ(menus.GetMenuItemCount(main), 5);
  EXPECT_EQ(menus.GetMenuString(main, 4, 100, MF_BYPOSITION), "&Last");
  EXPECT_EQ(ResidentHelpers(target.ProcessId()), 1);
}

TEST_F(RemoteMenuWin, OwnWindowsUseThePlainFunctions) {
  HMENU bar = CreateMenu();
  AppendMenuA(bar, MF_STRING, 5, "&Own");
  HWND own = CreateWindowA("STATIC", "own", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, bar, nullptr, nullptr);
  RemoteMenu menus(own);
  EXPECT_FALSE(menus.UsesHelper());
  EXPECT_EQ(menus.GetMenu(), bar);
  EXPECT_EQ(menus.GetMenuString(bar, 5, 100, MF_BYCOMMAND), "&Own");
  const std::vector<RemoteMenu::Item> items = menus.ReadItems(bar, 100, MF_BYCOMMAND);
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0].id, 5u);
  EXPECT_EQ(items[0].text, "&Own");
  DestroyWindow(own);
}

// One helper serves every step, a pop-up built and taken out again included;
// released, it goes, and the next step brings a new one.
TEST_F(RemoteMenuWin, OneResidentHelperServesManyStepsUntilReleased) {
  RemoteMenu menus(target.frame);
  HMENU bar = menus.GetMenu();
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(ResidentHelpers(target.ProcessId()), 1);
  const char* captions[] = {"&File", "&Edit", "&Window", "&Members", "&Help"};
  for (int round = 0; round < 40; ++round) {
    HMENU popup = menus.CreatePopupMenu();
    ASSERT_TRUE(menus.AppendMenu(popup, MF_STRING, 60000 + round, "&Round"));
    ASSERT_TRUE(menus.InsertMenu(bar, 6, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(popup), "Glimr&a"));
    ASSERT_EQ(menus.GetMenuItemCount(bar), 6) << "round " << round;
    EXPECT_EQ(menus.GetMenuItemID(menus.GetSubMenu(bar, 5), 0), static_cast<UINT>(60000 + round));
    EXPECT_EQ(menus.GetMenuString(bar, round % 5, 100, MF_BYPOSITION), captions[round % 5]);
    ASSERT_TRUE(menus.DeleteMenu(bar, 5, MF_BYPOSITION));
  }
  EXPECT_EQ(menus.GetMenuItemCount(bar), 5);
  EXPECT_EQ(ResidentHelpers(target.ProcessId()), 1);

  EXPECT_TRUE(RemoteMenu::ReleaseHelper(target.frame));
  EXPECT_EQ(ResidentHelpers(target.ProcessId()), 0);
  EXPECT_FALSE(RemoteMenu::ReleaseHelper(target.frame));  // nothing left to release
  EXPECT_EQ(menus.GetMenuString(bar, 3, 100, MF_BYPOSITION), "&Members");
  EXPECT_EQ(ResidentHelpers(target.ProcessId()), 1);
}

// A caller that dies leaves nothing behind: its helper goes by itself, and
// the target's menu commands and steps for others go on working.
TEST_F(RemoteMenuWin, HelperOfACallerThatDiesGoesAndTheTargetWorksOn) {
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string commandLine = "\"" + std::string(self) + "\" --call-and-wait " +
                            std::to_string(HandleToULong(target.frame)) + " " + std::to_string(GetCurrentProcessId());
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION caller{};
  ASSERT_TRUE(
      CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &caller));
  CloseHandle(caller.hThread);
  EXPECT_TRUE(PumpUntil([&] { return ResidentHelpers(target.ProcessId()) == 1; })) << "the caller's helper";
  TerminateProcess(caller.hProcess, 1);
  WaitForSingleObject(caller.hProcess, wine_test::kPatienceMs);
  CloseHandle(caller.hProcess);
  EXPECT_TRUE(PumpUntil([&] { return ResidentHelpers(target.ProcessId()) == 0; }))
      << "the helper of the dead caller stayed";

  PostMessageA(target.frame, WM_COMMAND, 1001, 0);
  EXPECT_TRUE(PumpUntil([&] { return target.Logged("frame command 1001"); }));
  RemoteMenu menus(target.frame);
  EXPECT_EQ(menus.GetMenuItemCount(menus.GetMenu()), 5);
  EXPECT_EQ(ResidentHelpers(target.ProcessId()), 1);
}

// The caller of the test above: one step on the target's menu bar, then it
// waits to be ended (or for the test that started it to end).
int CallAndWait(HWND frame, DWORD testProcess) {
  RemoteMenu menus(frame);
  if (menus.GetMenuItemCount(menus.GetMenu()) != 5) return 1;
  HANDLE test = OpenProcess(SYNCHRONIZE, FALSE, testProcess);
  if (!test) return 1;
  WaitForSingleObject(test, INFINITE);
  CloseHandle(test);
  return 0;
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
  if (argc == 4 && std::string(argv[1]) == "--call-and-wait")
    return glimra::CallAndWait(static_cast<HWND>(ULongToHandle(std::strtoul(argv[2], nullptr, 10))),
                               std::strtoul(argv[3], nullptr, 10));
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
