// glimra.exe beside the stand-in client across its own ends: the helper it
// keeps in the client for its menu steps and attaches serves it for the whole
// run, goes when the member chooses "&Exit Glimra" (the client runs on
// without the menu), is there again for the next start, and goes by itself
// when Glimra dies, leaving the client as it was.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "ClientMenuBar.h"
#include "GlimraProcessFixture.h"
#include "MemberInput.h"
#include "ResidentHelpers.h"
#include "WineTestSupport.h"
#include "engine/modFade.h"
#include "settings/AppOptions.h"

namespace {

using wine_test::ResidentHelpers;
using wine_test::WaitUntilFound;

class GlimraRestart : public wine_test::GlimraProcessFixture {
 protected:
  void StartClient() {
    Start("Version=4\r\nScreenNames=Zolster\r\nChatRoom=Town Square\r\n");
    room_ = WaitUntilFound([&] { return FindWindowExA(mdi_, nullptr, "AOL Child", "Town Square"); });
    ASSERT_TRUE(room_);
    box_ = WaitUntilFound([&] { return wine_test::ChatBoxOf(room_); });
    ASSERT_TRUE(box_);
    aolId_ = GetProcessId(process_);
  }

  // Glimra started and its chat tools window up with the room.
  HANDLE StartAttached() {
    HANDLE glimra = StartGlimra();
    if (!glimra) return nullptr;
    const HWND tools = WaitUntilFound([&] {
      HWND window = WindowOf(glimra, "GlimraForm", "Glimra Chat Tools");
      return window && IsWindowVisible(window) ? window : nullptr;
    });
    if (!tools || !WaitUntilWatching(box_)) return nullptr;
    return glimra;
  }

  // The member clicks into the room's box, types `text` and presses Enter;
  // returns what the client sent to the room.
  std::string SendLine(const std::string& text) {
    const std::size_t before = Events("chat").size();
    if (!wine_test::ClickIntoUntilFocused(box_)) return "<the box takes no focus>";
    wine_test::TypeKeys(text);
    if (!WaitUntilFound([&] { return wine_test::WindowText(box_) == text; })) return "<typing went elsewhere>";
    wine_test::PressEnter();
    WaitUntilFound([&] { return Events("chat").size() > before; });
    // Glimra hides the box while it sends and shows it again after.
    WaitUntilFound([&] { return IsWindowVisible(box_) != FALSE; });
    const auto chats = Events("chat");
    return chats.size() > before ? chats.back()[2] : "<nothing sent>";
  }

  // With the keyboard focus in the client: Alt+A opens "Glimr&a", E picks "&Exit Glimra".
  static bool ChooseExitGlimra() {
    if (!wine_test::OpenMenuWithKeys('A')) return false;
    wine_test::PressKey('E');
    return true;
  }

  HWND room_ = nullptr, box_ = nullptr;
  DWORD aolId_ = 0;
};

TEST_F(GlimraRestart, HelperServesTheRunGoesWithExitComesBackAndLeavesWithADeadGlimra) {
  ASSERT_NO_FATAL_FAILURE(StartClient());
  HANDLE first = StartAttached();
  ASSERT_TRUE(first) << "the chat tools window did not come up with the room";
  // Edition detection, the menu and three attaches: all through one helper.
  EXPECT_EQ(ResidentHelpers(aolId_), 1);
  EXPECT_EQ(SendLine("first run"), Faded("first run"));

  ASSERT_TRUE(wine_test::ClickIntoUntilFocused(box_));
  ASSERT_TRUE(ChooseExitGlimra()) << "the Glimra menu did not open";
  EXPECT_EQ(WaitForSingleObject(first, wine_test::kPatienceMs), WAIT_OBJECT_0) << "Glimra did not end";
  EXPECT_EQ(ResidentHelpers(aolId_), 0) << "Glimra's helper stayed in the client";
  EXPECT_EQ(WaitForSingleObject(process_, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "the client ended too";
  EXPECT_EQ(SendLine("nobody fades this"), "nobody fades this");
  EXPECT_EQ(wine_test::ClientMenusCaptioned("Glimr&a"), 0);

  HANDLE second = StartAttached();
  ASSERT_TRUE(second) << "the second start did not attach";
  // The helper member.exe used to read the menu bar goes with it.
  EXPECT_TRUE(WaitUntilFound([&] { return ResidentHelpers(aolId_) == 1; })) << "more than one helper for Glimra";
  EXPECT_EQ(wine_test::ClientMenusCaptioned("Glimr&a"), 1);
  EXPECT_EQ(SendLine("second run"), Faded("second run"));

  TerminateProcess(second, 1);
  WaitForSingleObject(second, wine_test::kPatienceMs);
  EXPECT_TRUE(WaitUntilFound([&] { return ResidentHelpers(aolId_) == 0; })) << "the helper of the dead Glimra stayed";
  // The hooks of the dead Glimra let everything through.
  EXPECT_EQ(SendLine("after the crash"), "after the crash");
  ASSERT_TRUE(wine_test::ClickIntoUntilFocused(box_));
  wine_test::Key(VK_MENU, false);
  wine_test::PressKey(VK_F4);
  wine_test::Key(VK_MENU, true);
  EXPECT_EQ(WaitForSingleObject(process_, wine_test::kPatienceMs), WAIT_OBJECT_0) << "the client did not close";
}

}  // namespace
