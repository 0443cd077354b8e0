// glimra.exe itself beside the stand-in client, end to end: what the member
// types in the chat room goes out faded, the fader switch, and the two ways
// of ending (AOL closing, "&Exit Glimra").
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "ClientMenuBar.h"
#include "GlimraProcessFixture.h"
#include "MemberInput.h"
#include "WineTestSupport.h"
#include "engine/modFade.h"
#include "settings/AppOptions.h"
#include "settings/modRegKeys.h"

namespace {

using wine_test::WaitUntilFound;

class GlimraChat : public wine_test::GlimraProcessFixture {
 protected:
  // The client with a room open and Glimra started and attached to it.
  void StartBoth() {
    Start("Version=4\r\nScreenNames=Zolster\r\nChatRoom=Town Square\r\n");
    room_ = WaitUntilFound([&] { return FindWindowExA(mdi_, nullptr, "AOL Child", "Town Square"); });
    ASSERT_TRUE(room_);
    // The room's controls come a moment after the room itself.
    box_ = WaitUntilFound([&] { return wine_test::ChatBoxOf(room_); });
    ASSERT_TRUE(box_);
    glimra_ = StartGlimra();
    ASSERT_TRUE(glimra_);
    chatTools_ = WaitUntilFound([&] {
      HWND window = WindowOf(glimra_, "GlimraForm", "Glimra Chat Tools");
      return window && IsWindowVisible(window) ? window : nullptr;
    });
    ASSERT_TRUE(chatTools_) << "the chat tools window did not come up with the room";
    ASSERT_TRUE(WaitUntilWatching(box_)) << "Glimra did not attach to the room's box";
  }

  void Type(const std::string& text) {
    for (char c : text) SendMessageA(box_, WM_CHAR, static_cast<unsigned char>(c), 1);
    SendMessageA(box_, WM_CHAR, 13, 1);
  }

  HANDLE glimra_ = nullptr;
  HWND chatTools_ = nullptr, room_ = nullptr, box_ = nullptr;
};

TEST_F(GlimraChat, TypedLinesGoOutFadedAndPlainWithFadingOff) {
  ASSERT_NO_FATAL_FAILURE(StartBoth());
  Type("hello");
  EXPECT_EQ(SentChatLine(1), Faded("hello"));
  EXPECT_NE(SentChatLine(1).find("<FONT COLOR=#"), std::string::npos);
  EXPECT_EQ(wine_test::WindowText(box_), "");

  wine_test::ClickMiddle(GetDlgItem(chatTools_, 102));  // Off
  ASSERT_TRUE(WaitUntilFound([] { return glimra::ReadSetting("", "Fader On") == "False"; }))
      << "the Off button did not switch fading off";
  Type("plain now");
  EXPECT_EQ(SentChatLine(2), "plain now");
}

// A long line through three colours: every colour step of what glimra.exe
// sends is the one the engine computes here, whatever the width of the
// program and its floating-point unit.
TEST_F(GlimraChat, ALongLineThroughThreeColoursGoesOutAsTheEngineFadesIt) {
  glimra::WriteSetting("Colors", "Fade Number", "3");
  glimra::WriteSetting("Colors", "One", std::to_string(0x393939));
  glimra::WriteSetting("Colors", "Two", std::to_string(0xFF00FF));
  glimra::WriteSetting("Colors", "Three", std::to_string(0xFF0000));
  ASSERT_NO_FATAL_FAILURE(StartBoth());
  const std::string line = "colours run smoothly from grey to pink and on to blue";
  ASSERT_TRUE(wine_test::ClickIntoUntilFocused(box_));
  wine_test::TypeKeys(line);
  ASSERT_TRUE(WaitUntilFound([&] { return wine_test::WindowText(box_) == line; }));
  wine_test::PressEnter();
  const std::string sent = SentChatLine(1);
  EXPECT_EQ(sent, Faded(line));
  EXPECT_NE(sent.find("<FONT COLOR=#0000FF>e"), std::string::npos) << "the line ends on the third colour: " << sent;
}

// The member clicks into the room's input box once and types line after
// line: each goes out faded, and after each the box is back in sight with the
// keyboard focus, so the next line's keys land in it. The Send icon does the
// same.
TEST_F(GlimraChat, AMemberTypesLineAfterLineIntoTheBoxClickedOnce) {
  ASSERT_NO_FATAL_FAILURE(StartBoth());
  ASSERT_TRUE(wine_test::ClickIntoUntilFocused(box_)) << "the input box is covered or takes no focus";
  const std::string lines[] = {"first line", "a second one", "and the third"};
  for (std::size_t i = 0; i < 3; ++i) {
    wine_test::TypeKeys(lines[i]);
    wine_test::PressEnter();
    EXPECT_EQ(SentChatLine(i + 1), Faded(lines[i]));
    EXPECT_TRUE(WaitUntilFound([&] { return wine_test::VisibleWithFocus(box_); }))
        << "after line " << i + 1 << " the box is " << (IsWindowVisible(box_) ? "visible" : "hidden");
  }
  HWND sendIcon = GetWindow(box_, GW_HWNDNEXT);
  wine_test::TypeKeys("over the icon");
  ASSERT_TRUE(WaitUntilFound([&] { return wine_test::WindowText(box_) == "over the icon"; }));
  ASSERT_TRUE(wine_test::ClickInto(sendIcon));
  EXPECT_EQ(SentChatLine(4), Faded("over the icon"));
  EXPECT_TRUE(WaitUntilFound([&] { return wine_test::VisibleWithFocus(box_); }));
  wine_test::TypeKeys("typed on");
  wine_test::PressEnter();
  EXPECT_EQ(SentChatLine(5), Faded("typed on"));
  EXPECT_EQ(Events("chat").size(), 5u);
}

TEST_F(GlimraChat, ClosingAolEndsGlimraAndThenAol) {
  ASSERT_NO_FATAL_FAILURE(StartBoth());
  PostMessageA(frame_, WM_CLOSE, 0, 0);
  EXPECT_EQ(WaitForSingleObject(glimra_, wine_test::kPatienceMs), WAIT_OBJECT_0) << "Glimra ended";
  EXPECT_EQ(WaitForSingleObject(process_, wine_test::kPatienceMs), WAIT_OBJECT_0) << "AOL closed after it";
}

TEST_F(GlimraChat, ExitGlimraLeavesAolRunningWithoutTheMenu) {
  ASSERT_NO_FATAL_FAILURE(StartBoth());
  // The member picks "&Exit Glimra" with the keyboard: Alt+A opens "Glimr&a", E picks it.
  ASSERT_TRUE(wine_test::ClickIntoUntilFocused(box_));
  ASSERT_TRUE(wine_test::OpenMenuWithKeys('A')) << "the Glimra menu did not open";
  wine_test::PressKey('E');
  EXPECT_EQ(WaitForSingleObject(glimra_, wine_test::kPatienceMs), WAIT_OBJECT_0);
  // What Glimra left for the client on its way out has been handled.
  ASSERT_TRUE(ClientCaughtUp(box_)) << "the client took no more messages";
  EXPECT_EQ(WaitForSingleObject(process_, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_TRUE(Events("close").empty());
  EXPECT_EQ(wine_test::ClientMenusCaptioned("Glimr&a"), 0);
}

}  // namespace
