// The options dialog in this process beside the chat tools window: a look
// chosen with a click reaches every button through its properties, the
// rebuild keeps an open about box and the live fade, and a window the
// member hid stays hidden.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>

#include "MemberInput.h"
#include "SettingsTestSupport.h"
#include "WineTestSupport.h"
#include "chat/ChatInterception.h"
#include "chat/frmChatTools.h"
#include "engine/modFade.h"
#include "runtime/ErrorReporting.h"
#include "runtime/EventPump.h"
#include "settings/AppOptions.h"
#include "settings/frmoptions.h"
#include "settings/modRegKeys.h"
#include "shell/ReloadChatTools.h"
#include "shell/frmAbout.h"
#include "ui/ColourModes.h"

namespace glimra {
namespace {

const UserColors kUser{0x30A0E0, 0x008000, 0x00FFFF, 0x202020};

class OptionsDialogWin : public ::testing::Test {
 protected:
  void SetUp() override {
    wine_test::DeleteGlimraTree();
    VersionText() = "1.1.9";
    LiveUserColors() = kUser;
    CurrentLook().UIMode = CurrentLook().UIModeCopy = kAolStyle;
    LiveAppOptions() = AppOptions{};
    LiveFadeSettings() = FadeSettings{};
    ChatRoomWindow() = nullptr;
  }
  void TearDown() override {
    OptionsDialog().Unload();
    ChatTools().Unload();
    AboutBox().Unload();
    wine_test::DeleteGlimraTree();
  }
  // The member clicks a control of the dialog while this thread runs its
  // events, until this thread has taken the click and done what it set off.
  void MemberClicks(UINT id) {
    wine_test::InputMark mark;
    std::atomic<bool> done{false}, clicked{false};
    wine_test::BackgroundStep member([&] {
      clicked = wine_test::ClickOn(OptionsDialog().Item(id)) && mark.WaitUntilInputTaken();
      done = true;
    });
    PumpUntil([&] { return done.load(); }, 2 * wine_test::kPatienceMs, 20);
    member.Join();
    DoEvents();
    ASSERT_TRUE(clicked) << id;
  }
};

TEST_F(OptionsDialogWin, TheUserLookReachesEveryButtonThroughItsProperties) {
  ChatTools().Show();
  HWND before = ChatTools().hWnd();
  frmoptions& options = OptionsDialog();
  options.Show();
  ASSERT_FALSE(IsWindowEnabled(options.Item(frmoptions::kCmdSetColors)));
  EXPECT_FALSE(options.Button(frmoptions::kCmdSetColors).GetBool(L"Enabled"));
  MemberClicks(frmoptions::kOptUIUser);
  EXPECT_EQ(CurrentLook().UIMode, kUserColors);
  EXPECT_EQ(CurrentLook().UIModeCopy, kUserColors);
  EXPECT_EQ(ReadSetting("", "UIMode"), "2");
  EXPECT_TRUE(options.Button(frmoptions::kCmdSetColors).GetBool(L"Enabled"));

  frmChatTools& tools = ChatTools();
  EXPECT_NE(tools.hWnd(), before);
  EXPECT_TRUE(tools.Visible());
  EXPECT_EQ(tools.BackColor(), kUser.WindowColor);
  for (UINT id : {frmChatTools::kCmdSave, frmChatTools::kCmdDel, frmChatTools::kOptOn}) {  // fading is off
    EXPECT_EQ(tools.Button(id).GetLong(L"BackColor"), kUser.ButtonForecolor) << id;
    EXPECT_EQ(tools.Button(id).GetLong(L"Highlight"), kUser.ButtonHighlight) << id;
    EXPECT_EQ(tools.Button(id).GetLong(L"ForeColor"), kUser.ButtonText) << id;
  }
  EXPECT_EQ(options.BackColor(), kUser.WindowColor);
  for (UINT id : {frmoptions::kCmdExit, frmoptions::kCmdHelp, frmoptions::kCmdSetColors}) {
    EXPECT_EQ(options.Button(id).GetLong(L"BackColor"), kUser.ButtonForecolor) << id;
    EXPECT_EQ(options.Button(id).GetLong(L"FillerBackground"), kUser.WindowColor) << id;
  }
  // Choosing the look shown already rebuilds nothing.
  HWND after = tools.hWnd();
  MemberClicks(frmoptions::kOptUIUser);
  EXPECT_EQ(tools.hWnd(), after);
}

TEST_F(OptionsDialogWin, ARebuildKeepsAHiddenWindowHiddenAnOpenAboutBoxOpenAndTheLiveFade) {
  WriteSetting("Schemes\\Sea", "Fade Number", "2");
  WriteSetting("Schemes\\Sea", "One", std::to_string(0x0000FF));
  LiveAppOptions().CurrentScheme = "Sea";
  frmChatTools& tools = ChatTools();
  tools.Load();  // hidden, as start-up leaves it
  ASSERT_EQ(LiveFadeSettings().Colors[1], 0x0000FF);
  // The member picks another first colour after choosing the scheme.
  LiveFadeSettings().Colors[1] = 0x00FF00;
  WriteSetting("Colors", "One", std::to_string(0x00FF00));
  ChatToolsShown() = kTrue;  // the timer showed it for the room; the member hid it

  ReloadChatTools();
  EXPECT_TRUE(tools.IsLoaded());
  EXPECT_FALSE(tools.Visible());
  EXPECT_EQ(ChatToolsShown(), kTrue);
  EXPECT_FALSE(AboutBox().IsLoaded()) << "the about box loaded for the rebuild was left loaded";
  EXPECT_EQ(LiveFadeSettings().Colors[1], 0x00FF00);
  EXPECT_EQ(tools.ColorButtonBack(1), 0x00FF00);
  EXPECT_EQ(ReadSetting("Colors", "One"), std::to_string(0x00FF00));
  EXPECT_EQ(tools.SchemeText(), "Sea");

  AboutBox().Show();
  HWND about = AboutBox().hWnd();
  tools.Show();
  ReloadChatTools();
  EXPECT_TRUE(tools.Visible());
  EXPECT_EQ(AboutBox().hWnd(), about);
  EXPECT_TRUE(IsWindowVisible(about)) << "the member's about box went away";
}

}  // namespace
}  // namespace glimra
