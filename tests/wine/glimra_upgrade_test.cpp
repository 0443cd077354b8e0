// glimra.exe beside the stand-in client, driven with the member's own mouse
// and keyboard: "/update" typed into the chat room checks the loopback web
// server and "Yes" sends the client to the download page; a slow server
// holds neither the client nor Glimra; the about box opened from Glimra's
// menu refuses the check while signed off.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "ClientMenuBar.h"
#include "GlimraProcessFixture.h"
#include "LoopbackWeb.h"
#include "MemberInput.h"
#include "WineTestSupport.h"
#include "settings/MakerSite.h"
#include "settings/modRegKeys.h"
#include "shell/UpgradeRules.h"
#include "shell/frmAbout.h"
#include "shell/frmUpdate.h"
#include "shell/frmVerCheck.h"

namespace {

using wine_test::WaitUntilFound;
using wine_test::WindowText;

constexpr char kMsgCaption[] = "Glimra - 1.1.9";
constexpr UINT kMsgText = 100;
constexpr UINT kMsgOK = 200;

class GlimraUpgrade : public wine_test::GlimraProcessFixture {
 protected:
  void SetUp() override {
    GlimraProcessFixture::SetUp();
    ASSERT_TRUE(web_.Running()) << "run through ./run, which starts the web server these tests fetch from";
    glimra::WriteSetting("", glimra::kWebServerSetting, web_.Host());
  }

  void TearDown() override {
    GlimraProcessFixture::TearDown();
    web_.Post("1.1.9");
  }

  // Glimra's window captioned `caption`, once it is up and ready for the member.
  HWND ReadyWindowOf(const char* caption) {
    HWND window = WaitUntilFound([&] {
      HWND found = WindowOf(glimra_, "GlimraForm", caption);
      return found && IsWindowVisible(found) ? found : nullptr;
    });
    return window && wine_test::WaitUntilReady(window) ? window : nullptr;
  }

  // The client in a chat room with Glimra attached to its input box; the box, or null.
  HWND EnterRoomWithGlimra() {
    Start("Version=4\r\nScreenNames=Zolster\r\nSignedOn=1\r\nChatRoom=Town Square\r\n");
    HWND room = Document("Town Square");
    HWND box = room ? WaitUntilFound([&] { return wine_test::ChatBoxOf(room); }) : nullptr;
    if (!box) return nullptr;
    glimra_ = StartGlimra();
    tools_ = ReadyWindowOf("Glimra Chat Tools");
    EXPECT_TRUE(tools_) << "the chat tools window did not come up with the room";
    EXPECT_TRUE(WaitUntilWatching(box)) << "Glimra did not attach to the room";
    return tools_ ? box : nullptr;
  }

  // Into the input box, near its left end: the chat tools window may cover its middle.
  static bool ClickIntoChatBox(HWND box) {
    RECT inside;
    GetClientRect(box, &inside);
    const POINT leftEnd{8, inside.bottom / 2};
    return wine_test::ClickIntoUntilFocused(box, &leftEnd);
  }

  // Whether any window of Glimra shows `text` in one of its controls.
  bool GlimraShows(const std::string& text) {
    struct Look {
      DWORD process;
      const std::string* text;
      bool found;
    } look{GetProcessId(glimra_), &text, false};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
          auto* wanted = reinterpret_cast<Look*>(data);
          DWORD owner = 0;
          GetWindowThreadProcessId(window, &owner);
          if (owner != wanted->process) return TRUE;
          for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            if (WindowText(child) == *wanted->text) wanted->found = true;
          return !wanted->found;
        },
        reinterpret_cast<LPARAM>(&look));
    return look.found;
  }

  wine_test::LoopbackWeb web_;
  HANDLE glimra_ = nullptr;
  HWND tools_ = nullptr;
};

TEST_F(GlimraUpgrade, UpdateTypedInTheRoomLeadsToTheDownloadPage) {
  web_.Post("1.2.0");
  HWND box = EnterRoomWithGlimra();
  ASSERT_TRUE(box);
  ASSERT_TRUE(ClickIntoChatBox(box));
  ASSERT_TRUE(wine_test::TypeInto(box, "/update"));
  wine_test::PressEnter();

  HWND update = ReadyWindowOf(glimra::frmUpdate::kCaption);
  ASSERT_TRUE(update) << "no result window";
  EXPECT_EQ(WindowText(GetDlgItem(update, glimra::frmUpdate::kLblMsg)),
            glimra::UpgradeMessage(glimra::UpgradeOutcome::PostedNewer));
  EXPECT_EQ(WindowText(GetDlgItem(update, glimra::frmUpdate::kLblCurVer)), "1.1.9");
  EXPECT_EQ(WindowText(GetDlgItem(update, glimra::frmUpdate::kLblReport)), "1.2.0");
  EXPECT_EQ(WindowText(box), "") << "the command left the room";
  EXPECT_TRUE(Events("chat").empty());

  EXPECT_TRUE(wine_test::ClickInto(GetDlgItem(update, glimra::frmUpdate::kCmdYes)));
  const std::string page = glimra::MakerSiteFor(web_.Host()).DownloadPage();
  ASSERT_TRUE(WaitUntilFound([&] { return !Events("keyword").empty(); }));
  EXPECT_EQ(Events("keyword")[0][1], page);
  EXPECT_TRUE(WaitUntilFound([&] { return !IsWindow(update); }));
}

// "/update" runs once the client's send of the line has returned, and the
// fetch waits on the server without holding Glimra: the client takes what
// the member types, and Glimra's windows and hooks answer as they come.
TEST_F(GlimraUpgrade, WhileTheCheckWaitsOnASlowServerTheClientAndGlimraGoOn) {
  wine_test::ScriptedServer slow("HTTP/1.0 200 OK\r\nContent-Length: 14\r\n\r\n", "1.2.0" + std::string(9, ' '));
  glimra::WriteSetting("", glimra::kWebServerSetting, slow.Host());
  HWND box = EnterRoomWithGlimra();
  ASSERT_TRUE(box);
  ASSERT_TRUE(ClickIntoChatBox(box));
  ASSERT_TRUE(wine_test::TypeInto(box, "/update"));
  wine_test::PressEnter();
  ASSERT_TRUE(wine_test::WaitUntil([&] { return GlimraShows(glimra::frmVerCheck::kWaitText); }));
  ASSERT_TRUE(wine_test::WaitUntil([&] { return slow.Connections() == 1; })) << "the check did not ask the server";

  DWORD_PTR ignored = 0;
  EXPECT_TRUE(SendMessageTimeoutA(tools_, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &ignored))
      << "the chat tools window does not answer during the fetch";
  ASSERT_TRUE(ClickIntoChatBox(box)) << "the client does not take the member's click during the check";
  EXPECT_TRUE(wine_test::TypeInto(box, "hi")) << "the client does not take the member's keys during the check";
  EXPECT_FALSE(slow.TrickleEnded());

  HWND message = ReadyWindowOf(kMsgCaption);
  ASSERT_TRUE(message) << "the check did not end";
  EXPECT_EQ(WindowText(GetDlgItem(message, kMsgText)), glimra::CheckFailedMessage(glimra::WinInetErrorText(12002)));
  EXPECT_TRUE(wine_test::ClickInto(GetDlgItem(message, kMsgOK)));
  EXPECT_TRUE(WaitUntilFound([&] { return !IsWindow(message); }));
  EXPECT_EQ(WindowText(box), "hi");
  EXPECT_TRUE(Events("chat").empty());
}

TEST_F(GlimraUpgrade, AboutBoxFromTheMenuRefusesTheCheckWhileSignedOff) {
  Start("Version=4\r\nScreenNames=Zolster\r\nSignedOn=0\r\n");
  glimra_ = StartGlimra();
  ASSERT_TRUE(WaitUntilFound([&] { return WindowOf(glimra_, "GlimraForm", "Glimra Chat Tools"); }));
  ASSERT_TRUE(wine_test::WaitUntil([] {
    const std::vector<std::string> bar = wine_test::ClientMenuBar();
    return !bar.empty() && bar.back() == "Glimr&a";
  })) << "the Glimra menu did not come last on the client's menu bar";

  // The member picks "&About Glimra" from the menu with the keyboard: Alt+A
  // opens "Glimr&a" on its first item, six steps down is the about box.
  ASSERT_TRUE(wine_test::ClickCaptionUntilInFront(frame_)) << "AOL did not come to the front";
  HWND menu = wine_test::OpenMenuWithKeys('A');
  ASSERT_TRUE(menu) << "the Glimra menu did not open";
  ASSERT_TRUE(wine_test::MoveDownInMenu(menu, 6));
  wine_test::PressEnter();

  HWND about = ReadyWindowOf(glimra::frmAbout::kCaption);
  ASSERT_TRUE(about) << "no about box";
  EXPECT_EQ(WindowText(GetDlgItem(about, glimra::frmAbout::kLblVersion)), "1.1.9");
  EXPECT_EQ(WindowText(GetDlgItem(about, glimra::frmAbout::kLblRelease)), "July 06, 1999");

  EXPECT_TRUE(wine_test::ClickInto(GetDlgItem(about, glimra::frmAbout::kCmdUpdates)));
  HWND box = ReadyWindowOf(kMsgCaption);
  ASSERT_TRUE(box);
  EXPECT_EQ(WindowText(GetDlgItem(box, kMsgText)),
            "~B~CRYou are not currently signed on!~B~CN~N ~NYou must be online to use this feature!");
  EXPECT_FALSE(GlimraShows(glimra::frmVerCheck::kWaitText));
  EXPECT_TRUE(wine_test::ClickInto(GetDlgItem(box, kMsgOK)));
  EXPECT_TRUE(WaitUntilFound([&] { return !IsWindow(box); }));
  // The about box stays loaded and hidden.
  EXPECT_TRUE(IsWindow(about));
  EXPECT_FALSE(IsWindowVisible(about));
}

}  // namespace
