// Glimra's AOL client bridge against the stand-in client: attaching,
// starting, version, editions, menus, on-line state, screen names, chat and
// mail windows.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "AolClientFixture.h"
#include "WineTestSupport.h"
#include "aol/RemoteMenu.h"
#include "aol/modAOLFunctions.h"
#include "aol/modFindChild.h"
#include "aol/modRichText.h"
#include "aol/modWin32API.h"
#include "runtime/ErrorReporting.h"
#include "runtime/FormWindow.h"
#include "runtime/Forms.h"
#include "settings/AppOptions.h"
#include "settings/modRegKeys.h"

namespace glimra {
namespace {

using wine_test::WaitUntilFound;

// Presses the rightmost button of the next message box; remembers that one came.
struct MessageAnswerer {
  MessageAnswerer()
      : step([this] {
          HWND box = wine_test::WaitForWindow("GlimraForm", "Glimra - 1.1.9", 15000);
          if (!box) return;
          shown = true;
          Sleep(200);
          wine_test::ClickMiddle(GetDlgItem(box, 200));
        }) {}
  bool shown = false;
  wine_test::BackgroundStep step;
};

class AolBridge : public wine_test::AolClientFixture {
 protected:
  void SetUp() override {
    VersionText() = "1.1.9";
    ClientState() = AOLClientState{};
    LiveAppOptions() = AppOptions{};
    CurrentErrorEnvironment() = ErrorEnvironment{[](const ErrorReport&) -> std::int16_t { return kAnswerIgnore; },
                                                 [] { UnloadAllForms(); }, [] { throw EndProgramNow{}; }};
  }

  // What start-up learns before the bridge's other steps run.
  void Attach(const std::string& ini) {
    Start(ini);
    ClientState().AOLFrame = reinterpret_cast<std::uintptr_t>(frame_);
    ClientState().AOLMDIClient = reinterpret_cast<std::uintptr_t>(mdi_);
    LiveAppOptions().AOLPath = folder_;
    // The menu bar is built a little after the frame shows.
    Sleep(500);
  }
};

TEST_F(AolBridge, AttachingFindsTheFolderAndStoresIt) {
  Start("Version=4\r\n");
  AOLIsRunning();
  EXPECT_EQ(AOLFrame(), frame_);
  EXPECT_STRCASEEQ(LiveAppOptions().AOLPath.c_str(), folder_.c_str());
  EXPECT_STRCASEEQ(ReadSetting("", "AOL Path").c_str(), folder_.c_str());
  GetAOLVersion();
  EXPECT_EQ(ClientState().AOLVersion, "4");
}

TEST_F(AolBridge, SixteenBitClientEndsGlimra) {
  Start("ModuleName=AOL16.EXE\r\n");
  MessageAnswerer member;
  EXPECT_THROW(AOLIsRunning(), EndProgramNow);
  member.step.Join();
  EXPECT_TRUE(member.shown);
}

TEST_F(AolBridge, MinorVersionsLeaveTheVersionAsItWas) {
  Attach("Version=4\r\nMinor=1\r\n");
  GetAOLVersion();
  EXPECT_EQ(ClientState().AOLVersion, "");
}

TEST_F(AolBridge, RunMenuByStringComparesCaptionsIgnoringCase) {
  Attach("Version=4\r\nEdition=UK\r\n");
  EXPECT_EQ(RunMenuByString(frame_, "&about aol", kFalse), kTrue);
  EXPECT_EQ(RunMenuByString(frame_, "About AOL", kFalse), kFalse);
  EXPECT_EQ(RunMenuByString(frame_, "&About AOL", kTrue), kTrue);
  EXPECT_TRUE(WaitUntilFound([&] { return !Events("menu").empty(); }, 3000));
}

TEST_F(AolBridge, EditionsOfVersionFourAndFive) {
  Attach("Version=5\r\nEdition=Canada\r\n");
  DetectEdition();
  EXPECT_EQ(ClientState().EditionCanada, kTrue);
  EXPECT_EQ(ClientState().EditionUK, kFalse);
  EXPECT_EQ(ClientState().EditionAustralia, kFalse);
}

TEST_F(AolBridge, AustralianClientIsNotUk) {
  Attach("Version=4\r\nEdition=Australia\r\n");
  DetectEdition();
  EXPECT_EQ(ClientState().EditionAustralia, kTrue);
  EXPECT_EQ(ClientState().EditionUK, kFalse);
}

TEST_F(AolBridge, OnlineStateAndScreenNamesWhenSignedOn) {
  Attach("Version=4\r\nScreenNames=Zolster,Second Name\r\nCurrent=Second Name\r\n");
  ClientState().AOLVersion = "4";
  EXPECT_EQ(IsAOLOnline(kFalse), kTrue);
  GetScreenNames();
  EXPECT_EQ(ClientState().ScreenName[1], "Zolster");
  EXPECT_EQ(ClientState().ScreenName[2], "Second Name");
  EXPECT_EQ(ClientState().ScreenName[3], "");
  EXPECT_EQ(ClientState().CurrentScreenName, "Second Name");
  EXPECT_EQ(GetCurrentScreenName(), "Second Name");
}

TEST_F(AolBridge, VersionFiveIsOnlineWhenItsMenuOffersSwitchScreenName) {
  Attach("Version=5\r\nSignedOn=1\r\n");
  ClientState().AOLVersion = "5";
  EXPECT_EQ(IsAOLOnline(kFalse), kTrue);
}

TEST_F(AolBridge, SignedOffShowsTheMessageOnlyWhenAsked) {
  Attach("Version=4\r\nSignedOn=0\r\nScreenNames=Alpha,Beta\r\n");
  ClientState().AOLVersion = "4";
  EXPECT_EQ(IsAOLOnline(kFalse), kFalse);
  MessageAnswerer member;
  EXPECT_EQ(IsAOLOnline(kTrue), kFalse);
  member.step.Join();
  EXPECT_TRUE(member.shown);
}

TEST_F(AolBridge, SignOnListStopsAtGuest) {
  Attach("Version=4\r\nSignedOn=0\r\nScreenNames=Alpha,Beta,Guest,Delta\r\nCurrent=Beta\r\n");
  ClientState().AOLVersion = "4";
  ReadSignOnNames();
  EXPECT_EQ(ClientState().ScreenName[1], "Alpha");
  EXPECT_EQ(ClientState().ScreenName[2], "Beta");
  EXPECT_EQ(ClientState().ScreenName[3], "");
  EXPECT_EQ(ClientState().ScreenName[4], "");
  EXPECT_EQ(ClientState().CurrentScreenName, "Beta");
}

TEST_F(AolBridge, FrontChatRoomGetsTheText) {
  Attach("Version=4\r\nScreenNames=Zolster\r\nChatRoom=Back Room|Front Room\r\n");
  HWND room = WaitUntilFound([&] {
    HWND found = FindChatRoom(mdi_, "AOL Child");
    return found && GetText(found) == "Front Room" ? found : nullptr;
  });
  ASSERT_NE(room, nullptr);
  TextToChat("<FONT COLOR=#FF0000>hi", 1);
  WaitUntilFound([&] { return !Events("chat").empty(); }, 3000);
  auto chats = Events("chat");
  ASSERT_EQ(chats.size(), 1u);
  EXPECT_EQ(chats[0][1], "Front Room");
  EXPECT_EQ(chats[0][2], "<FONT COLOR=#FF0000>hi");
  HWND box = FindChildByClass(room, "RICHCNTL", 2);
  EXPECT_FALSE(IsWindowVisible(box));  // mode 1 leaves the box hidden

  TextToChat("left for the member", 0);
  EXPECT_EQ(GetAPIText(box, kFalse), "left for the member");
  EXPECT_EQ(Events("chat").size(), 1u);
  TextToChat("second line", 2);
  WaitUntilFound([&] { return Events("chat").size() == 2; }, 3000);
  EXPECT_EQ(Events("chat").size(), 2u);
}

TEST_F(AolBridge, NoChatRoomMeansAMessageAndNothingSent) {
  Attach("Version=4\r\n");
  MessageAnswerer member;
  TextToChat("nobody hears this", 1);
  member.step.Join();
  EXPECT_TRUE(member.shown);
  EXPECT_TRUE(Events("chat").empty());
}

TEST_F(AolBridge, OpenEMailWaitsForTheEditionsCaption) {
  Attach("Version=4\r\nEdition=Australia\r\n");
  ClientState().EditionAustralia = kTrue;
  HWND mail = OpenEMail();
  ASSERT_NE(mail, nullptr);
  EXPECT_EQ(GetText(mail), "Write e-mail");
  EXPECT_EQ(IsEMail(mail), mail);
  EXPECT_EQ(IsEMail(frame_), nullptr);
}

TEST_F(AolBridge, StartAolRunsWaolFromTheStoredFolder) {
  Prepare("Version=4\r\n");
  WriteSetting("", "AOL Path", folder_);
  StartAOL();
  ASSERT_NE(AOLFrame(), nullptr);
  EXPECT_TRUE(IsWindow(AOLFrame()));
  EXPECT_EQ(GetClass(AOLFrame()), "AOL Frame25");
}

TEST_F(AolBridge, StartAolStopsWaitingForAClientThatDied) {
  Prepare("Version=4\r\n");
  char system[MAX_PATH];
  GetSystemDirectoryA(system, MAX_PATH);
  // A waol.exe that ends at once without showing a window.
  ASSERT_TRUE(CopyFileA((std::string(system) + "\\hostname.exe").c_str(), (folder_ + "\\waol.exe").c_str(), FALSE));
  WriteSetting("", "AOL Path", folder_);
  MessageAnswerer member;
  EXPECT_THROW(StartAOL(), EndProgramNow);
  member.step.Join();
  EXPECT_TRUE(member.shown);
}

// The captions of the AOL menu bar, read by position.
std::vector<std::string> MenuBarCaptions(HWND frame) {
  RemoteMenu menus(frame);
  HMENU bar = menus.GetMenu();
  std::vector<std::string> captions;
  for (int i = 0, n = menus.GetMenuItemCount(bar); i < n; ++i)
    captions.push_back(menus.GetMenuString(bar, static_cast<UINT>(i), 100, MF_BYPOSITION));
  return captions;
}

TEST_F(AolBridge, EightItemMenuBarGetsGlimraAsTheEighthEntryAndLosesItAgain) {
  Attach("Version=4\r\nMenuCount=8\r\n");
  ASSERT_TRUE(WaitUntilFound([&] { return MenuBarCaptions(frame_).size() == 8; }));
  AddMenuToAOL();
  std::vector<std::string> captions = MenuBarCaptions(frame_);
  ASSERT_EQ(captions.size(), 9u);
  EXPECT_EQ(captions[7], "Glimr&a");

  RemoteMenu menus(frame_);
  HMENU popup = menus.GetSubMenu(menus.GetMenu(), 7);
  ASSERT_EQ(menus.GetMenuItemCount(popup), 13);
  EXPECT_EQ(menus.GetMenuItemID(popup, 0), 60000u);
  EXPECT_EQ(menus.GetMenuString(popup, 12, 100, MF_BYPOSITION), "&Exit Glimra");
  HMENU help = menus.GetSubMenu(popup, 8);
  EXPECT_EQ(menus.GetMenuItemCount(help), 4);
  EXPECT_EQ(menus.GetMenuItemID(help, 3), 62002u);

  RemoveMenuFromAOL();
  captions = MenuBarCaptions(frame_);
  EXPECT_EQ(captions.size(), 8u);
  EXPECT_EQ(std::count(captions.begin(), captions.end(), "Glimr&a"), 0);
}

TEST_F(AolBridge, FiveItemMenuBarGetsGlimraLast) {
  Attach("Version=4\r\nMenuCount=5\r\n");
  ASSERT_TRUE(WaitUntilFound([&] { return MenuBarCaptions(frame_).size() == 5; }));
  AddMenuToAOL();
  const std::vector<std::string> captions = MenuBarCaptions(frame_);
  ASSERT_EQ(captions.size(), 6u);
  EXPECT_EQ(captions.back(), "Glimr&a");
}

TEST_F(AolBridge, RemovalOnlyLooksBetweenPositionsFiveAndNineteen) {
  Attach("Version=4\r\nMenuCount=5\r\n");
  ASSERT_TRUE(WaitUntilFound([&] { return MenuBarCaptions(frame_).size() == 5; }));
  RemoteMenu menus(frame_);
  menus.InsertMenu(menus.GetMenu(), 2, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(menus.CreatePopupMenu()),
                   "Glimr&a");
  RemoveMenuFromAOL();
  EXPECT_EQ(MenuBarCaptions(frame_)[2], "Glimr&a");
}

class ClipboardOwner : public FormWindow {
 public:
  ClipboardOwner() : FormWindow("frmOwner", 1500, 1000) {}
};

TEST_F(AolBridge, RichTextRoundTripsThroughAolMail) {
  ClipboardOwner owner;
  owner.Load();
  PutRichText(owner, "<FONT COLOR=#FF0000>red mail");
  EXPECT_EQ(GetRichText(owner), "<FONT COLOR=#FF0000>red mail");

  PutRichText(owner, "");  // a one-byte block holding only the NUL
  ASSERT_TRUE(OpenClipboard(owner.hWnd()));
  HANDLE block = GetClipboardData(RegisterClipboardFormatA("AOLMAIL"));
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(GlobalSize(block), 1u);
  EXPECT_EQ(*static_cast<const char*>(GlobalLock(block)), '\0');
  GlobalUnlock(block);
  CloseClipboard();
  EXPECT_EQ(GetRichText(owner), "");
  owner.Unload();
}

TEST_F(AolBridge, MailBodyPastesAolMailText) {
  Attach("Version=4\r\n");
  HWND mail = OpenEMail();
  ASSERT_NE(mail, nullptr);
  ClipboardOwner owner;
  owner.Load();
  PutRichText(owner, "<B>faded</B> mail");
  HWND body = FindChildByClass(mail, "RICHCNTL");
  SendMessageA(body, WM_COMMAND, 20003, 0);
  EXPECT_TRUE(WaitUntilFound([&] { return !Events("mailpaste").empty(); }, 3000));
  EXPECT_NE(GetAPIText(body, kFalse).find("faded mail"), std::string::npos);
  owner.Unload();
}

}  // namespace
}  // namespace glimra
