// Glimra's AOL client bridge against the stand-in client: attaching,
// starting, version, editions, menus, on-line state, screen names, chat and
// mail windows.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "AolClientFixture.h"
#include "MemberInput.h"
#include "ResidentHelpers.h"
#include "WineTestSupport.h"
#include "aol/RemoteMenu.h"
#include "aol/modAOLFunctions.h"
#include "aol/modFindChild.h"
#include "aol/modRichText.h"
#include "aol/modWin32API.h"
#include "runtime/ErrorReporting.h"
#include "runtime/EventPump.h"
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
          HWND box = wine_test::WaitForReadyWindow("GlimraForm", "Glimra - 1.1.9");
          if (!box) return;
          shown = true;
          wine_test::ClickMiddle(GetDlgItem(box, 200));
        }) {}
  bool shown = false;
  wine_test::BackgroundStep step;
};

// Answers every formatted message box with a click on its rightmost button
// until stopped, keeping what each one said.
class MessageWatcher {
 public:
  MessageWatcher()
      : step_([this] {
          for (;;) {
            HWND box = nullptr;
            wine_test::WaitUntil([&] {
              box = FindWindowA("GlimraForm", "Glimra - 1.1.9");
              return stop_ || (box && IsWindowVisible(box));
            });
            if (stop_) break;
            if (!box || !wine_test::WaitUntilReady(box)) continue;
            texts_.push_back(wine_test::WindowText(GetDlgItem(box, 100)));
            wine_test::ClickCentre(GetDlgItem(box, 200));
            WaitUntilFound([&] { return !IsWindow(box) || !IsWindowVisible(box); });
          }
        }) {}
  ~MessageWatcher() { Stop(); }
  // Stops watching and gives what the boxes said.
  std::vector<std::string> Stop() {
    stop_ = true;
    step_.Join();
    return texts_;
  }

 private:
  volatile bool stop_ = false;
  std::vector<std::string> texts_;
  wine_test::BackgroundStep step_;
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
  }
};

TEST_F(AolBridge, AttachingFindsTheFolderAndStoresIt) {
  Start("Version=4\r\n");
  DWORD client = 0;
  GetWindowThreadProcessId(frame_, &client);
  EXPECT_EQ(wine_test::ResidentHelpers(client), 0);
  AOLIsRunning();
  EXPECT_EQ(wine_test::ResidentHelpers(client), 1);  // made while the splash paused, for the menu steps to come
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
  DoEvents();
  DWORD client = 0;
  GetWindowThreadProcessId(frame_, &client);
  EXPECT_EQ(wine_test::ResidentHelpers(client), 0);  // nothing is left in a client Glimra refuses
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
  EXPECT_TRUE(WaitUntilFound([&] { return !Events("menu").empty(); }));
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
  // The library may say "signed on" with any value but 1.
  Attach("Version=4\r\nOnlineAnswer=-1\r\nScreenNames=Zolster,Second Name\r\nCurrent=Second Name\r\n");
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

TEST_F(AolBridge, VersionFiveOpensTheWelcomeWindowForTheScreenNameAndVersionFourDoesNot) {
  Attach("Version=5\r\nScreenNames=Zolster,Other Name\r\nCurrent=Other Name\r\n");
  ClientState().AOLVersion = "5";
  const auto closeWelcome = [&] {
    if (HWND welcome = FindWindowExA(mdi_, nullptr, "AOL Child", "Welcome, Other Name!"))
      SendMessageA(mdi_, WM_MDIDESTROY, reinterpret_cast<WPARAM>(welcome), 0);
  };
  ASSERT_TRUE(Document("Welcome, Other Name!"));
  closeWelcome();
  EXPECT_EQ(GetCurrentScreenName(), "Other Name");
  const auto keywords = Events("keyword");
  ASSERT_EQ(keywords.size(), 1u);
  EXPECT_EQ(keywords[0][1], "welcome");

  closeWelcome();
  ClientState().AOLVersion = "4";
  EXPECT_EQ(GetCurrentScreenName(), "");
  EXPECT_EQ(Events("keyword").size(), 1u);
}

TEST_F(AolBridge, SignOffWindowServesOnTheThirdTryAndThreeEmptyTriesEndGlimra) {
  Attach("Version=4\r\nEdition=Australia\r\nScreenNames=Alpha,Beta\r\nCurrent=Beta\r\n");
  ClientState().AOLVersion = "4";
  DetectEdition();
  ASSERT_EQ(ClientState().EditionAustralia, kTrue);
  const auto keyword = [&](const char* word) {
    if (HANDLE second = Run(folder_ + "\\waol.exe", word)) {
      WaitForSingleObject(second, wine_test::kPatienceMs);
      CloseHandle(second);
    }
  };
  {
    // Signed on there is neither window. The member signs off during the
    // second try, which looks for nothing; the third finds the window. A try
    // is a 10-second wait on the performance counter, running this thread's
    // events: the member learns from a message sent to a window of this
    // thread when the first try waits, and signs off once the counter has
    // passed that try's end and the tries take messages again.
    HWND here = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    const auto now = [] {
      LARGE_INTEGER counter{};
      QueryPerformanceCounter(&counter);
      return counter.QuadPart;
    };
    LARGE_INTEGER perSecond{};
    QueryPerformanceFrequency(&perSecond);
    bool waited = false;
    MessageWatcher watcher;
    wine_test::BackgroundStep member([&] {
      if (!wine_test::Answers(here)) return;
      const LONGLONG firstTryOver = now() + 10 * perSecond.QuadPart;
      waited = wine_test::WaitUntil([&] { return now() >= firstTryOver; }) && wine_test::Answers(here);
      keyword("-ssignoff");
    });
    EXPECT_NO_THROW(ReadSignOnNames());
    member.Join();
    EXPECT_TRUE(waited) << "the tries took no messages";
    EXPECT_TRUE(watcher.Stop().empty());
    DestroyWindow(here);
  }
  EXPECT_TRUE(FindWindowExA(mdi_, nullptr, "AOL Child", "Goodbye From AOL!"));
  EXPECT_EQ(ClientState().ScreenName[1], "Alpha");
  EXPECT_EQ(ClientState().ScreenName[2], "Beta");
  EXPECT_EQ(ClientState().CurrentScreenName, "Beta");

  keyword("-ssignon");
  ASSERT_TRUE(WaitUntilFound([&] { return !FindWindowExA(mdi_, nullptr, "AOL Child", "Goodbye From AOL!"); }));
  MessageWatcher watcher;
  EXPECT_THROW(ReadSignOnNames(), EndProgramNow);
  EXPECT_EQ(watcher.Stop(), std::vector<std::string>{"Glimra timed out waiting for America Online to load.~N ~NPlease "
                                                     "start America Online first and then start Glimra"});
}

TEST_F(AolBridge, FirstRunAsksForTheAolFolderAndCancelEndsGlimra) {
  WriteSetting("", "AOL Path", "C:\\Earlier");
  const auto cancelPicker = [] {
    if (HWND picker = wine_test::WaitForReadyWindow("GlimraForm", "Select AOL Directory"))
      wine_test::ClickCentre(GetDlgItem(picker, 310));  // Cancel
  };
  MessageWatcher watcher;
  wine_test::BackgroundStep member(cancelPicker);
  EXPECT_THROW(GetAOLPath(1), EndProgramNow);
  member.Join();
  EXPECT_EQ(watcher.Stop(),
            (std::vector<std::string>{
                "~B~CRWelcome to Glimra!~B~CN~N ~NBefore we begin, Glimra needs to know your current AOL folder so it "
                "can start AOL for you.~N ~NPlease click ~BOK~B to choose your AOL folder now!~N ~N~B~CBNote:~B~CNYou "
                "will not see this prompt again once a valid AOL folder is chosen.",
                "Glimra requires a path to your AOL Directory to function properly.~N ~NThe program will now end."}));
  EXPECT_EQ(ReadSetting("", "AOL Path"), "C:\\Earlier");

  // Asked to change the folder, Cancel ends without a word.
  MessageWatcher quiet;
  wine_test::BackgroundStep again(cancelPicker);
  EXPECT_THROW(GetAOLPath(0), EndProgramNow);
  again.Join();
  EXPECT_TRUE(quiet.Stop().empty());
  EXPECT_EQ(ReadSetting("", "AOL Path"), "C:\\Earlier");
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
  WaitUntilFound([&] { return !Events("chat").empty(); });
  auto chats = Events("chat");
  ASSERT_EQ(chats.size(), 1u);
  EXPECT_EQ(chats[0][1], "Front Room");
  EXPECT_EQ(chats[0][2], "<FONT COLOR=#FF0000>hi");
  HWND box = FindChildByClass(room, "RICHCNTL", 2);
  EXPECT_FALSE(IsWindowVisible(box));  // mode 1 leaves the box hidden

  TextToChat("left for the member", 0);
  EXPECT_EQ(GetAPIText(box, kFalse), "left for the member");
  ASSERT_TRUE(ClientCaughtUp(box));
  EXPECT_EQ(Events("chat").size(), 1u);
  TextToChat("second line", 2);
  WaitUntilFound([&] { return Events("chat").size() == 2; });
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
  ASSERT_TRUE(wine_test::Answers(mail));  // the client has made its controls
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

TEST_F(AolBridge, FiveSixAndSevenItemMenuBarsGetGlimraLast) {
  for (std::size_t count : {5u, 6u, 7u}) {
    SCOPED_TRACE(count);
    Attach("Version=4\r\nMenuCount=" + std::to_string(count) + "\r\n");
    ASSERT_TRUE(WaitUntilFound([&] { return MenuBarCaptions(frame_).size() == count; }));
    AddMenuToAOL();
    const std::vector<std::string> captions = MenuBarCaptions(frame_);
    ASSERT_EQ(captions.size(), count + 1);
    EXPECT_EQ(captions.back(), "Glimr&a");
    RemoveMenuFromAOL();
    EXPECT_EQ(MenuBarCaptions(frame_).size(), count);
    TearDown();
    process_ = nullptr;
  }
}

// Every entry of a pop-up: its caption ("" for a separator) and command id
// (0 for a separator, 0xFFFFFFFF for a sub-menu).
std::vector<std::pair<std::string, UINT>> Entries(RemoteMenu& menus, HMENU popup) {
  std::vector<std::pair<std::string, UINT>> entries;
  for (int i = 0, n = menus.GetMenuItemCount(popup); i < n; ++i)
    entries.emplace_back(menus.GetMenuString(popup, static_cast<UINT>(i), 100, MF_BYPOSITION),
                         menus.GetMenuItemID(popup, i));
  return entries;
}

TEST_F(AolBridge, AMenuBarStillBeingBuiltGetsTheWholeGlimraMenuAfterItsFifthPopup) {
  // A popup every 1.5 s: the bar is still short when the test first looks, however slow the machine.
  Start("Version=4\r\nMenuCount=8\r\nMenuDelay=1500\r\n");
  ClientState().AOLFrame = reinterpret_cast<std::uintptr_t>(frame_);
  ASSERT_LT(MenuBarCaptions(frame_).size(), 5u) << "the client is still building its menu bar";
  MessageWatcher watcher;
  AddMenuToAOL();
  EXPECT_TRUE(watcher.Stop().empty());
  ASSERT_TRUE(WaitUntilFound([&] { return !Events("menubar").empty(); }));
  const std::vector<std::string> captions = MenuBarCaptions(frame_);
  EXPECT_EQ(captions, (std::vector<std::string>{"&File", "&Edit", "&Print", "&Mail", "P&eople", "Glimr&a", "&Window",
                                                "&Sign Off", "&Help"}));

  RemoteMenu menus(frame_);
  HMENU popup = menus.GetSubMenu(menus.GetMenu(), 5);
  const UINT kSubMenu = 0xFFFFFFFF;
  EXPECT_EQ(Entries(menus, popup), (std::vector<std::pair<std::string, UINT>>{{"&Fade Designer/Control Panel", 60000},
                                                                              {"", 0},
                                                                              {"&Options", 60001},
                                                                              {"", 0},
                                                                              {"&Advertise", 60002},
                                                                              {"", 0},
                                                                              {"&Import/Export Wizard", 60003},
                                                                              {"", 0},
                                                                              {"&Help", kSubMenu},
                                                                              {"&Check for Updates", 60006},
                                                                              {"&About Glimra", 60004},
                                                                              {"", 0},
                                                                              {"&Exit Glimra", 60005}}));
  EXPECT_EQ(
      Entries(menus, menus.GetSubMenu(popup, 8)),
      (std::vector<std::pair<std::string, UINT>>{
          {"&Table of Contents", 62000}, {"&Search for Help on...", 62001}, {"", 0}, {"&Online Support", 62002}}));

  RemoveMenuFromAOL();  // position 5, the first one looked at
  EXPECT_EQ(MenuBarCaptions(frame_).size(), 8u);
}

TEST_F(AolBridge, RemovalLooksAtPositionsFiveToNineteenOnly) {
  Attach("Version=4\r\nMenuCount=5\r\n");
  ASSERT_TRUE(WaitUntilFound([&] { return MenuBarCaptions(frame_).size() == 5; }));
  RemoteMenu menus(frame_);
  HMENU bar = menus.GetMenu();
  for (int i = 0; i < 16; ++i)
    menus.AppendMenu(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(menus.CreatePopupMenu()), "Other " + std::to_string(i));
  ASSERT_EQ(MenuBarCaptions(frame_).size(), 21u);
  for (UINT position : {2u, 4u, 20u, 19u, 5u}) {
    SCOPED_TRACE(position);
    menus.InsertMenu(bar, position, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(menus.CreatePopupMenu()),
                     "Glimr&a");
    RemoveMenuFromAOL();
    const bool kept = position < 5 || position > 19;
    const std::vector<std::string> captions = MenuBarCaptions(frame_);
    ASSERT_EQ(captions.size(), kept ? 22u : 21u);
    EXPECT_EQ(captions[position] == "Glimr&a", kept);
    if (kept) menus.DeleteMenu(bar, position, MF_BYPOSITION);
  }
}

// A window of one of AOL's classes, made here so that each near miss can be
// built exactly; children come in z-order in the order they are made.
HWND MakeWindow(const char* className, HWND parent, const char* text = "") {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = className;
  RegisterClassA(&windowClass);  // fails harmlessly once registered
  return CreateWindowExA(0, className, text, parent ? WS_CHILD | WS_VISIBLE : WS_POPUP, 0, 0, 10, 10, parent, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

// An "AOL Child" of `parent` with children of the given classes; a class
// written "name=text" gets that text.
HWND MakeDocument(HWND parent, const std::vector<std::string>& children) {
  HWND document = MakeWindow("AOL Child", parent);
  for (const std::string& child : children) {
    const auto equals = child.find('=');
    MakeWindow(child.substr(0, equals).c_str(), document,
               equals == std::string::npos ? "" : child.substr(equals + 1).c_str());
  }
  return document;
}

TEST(AolWindows, NearMissesAreNeitherChatRoomsNorMailWindows) {
  const std::vector<std::vector<std::string>> nearMisses = {
      {"_AOL_LISTBOX", "RICHCNTL", "_AOL_COMBOBOX", "RICHCNTL",
       "_AOL_ICON=Send"},                                          // the icon after the combo is captioned
      {"_AOL_LISTBOX", "RICHCNTL", "_AOL_ICON", "_AOL_COMBOBOX"},  // no icon after the combo
      {"RICHCNTL", "_AOL_COMBOBOX", "RICHCNTL", "_AOL_ICON"},      // no people list
      {"_AOL_LISTBOX", "RICHCNTL", "RICHCNTL", "_AOL_ICON"},       // no combo box
      {"_AOL_LISTBOX", "_AOL_COMBOBOX", "_AOL_ICON"},              // no rich text
  };
  HWND mdi = MakeWindow("Documents", nullptr);
  for (const auto& children : nearMisses) {
    HWND alone = MakeWindow("Documents", nullptr);
    MakeDocument(alone, children);
    EXPECT_EQ(FindChatRoom(alone, "AOL Child"), nullptr) << children.back();
    DestroyWindow(alone);
    MakeDocument(mdi, children);
  }
  HWND room = MakeDocument(mdi, {"RICHCNTL", "_AOL_LISTBOX", "_AOL_COMBOBOX", "RICHCNTL", "_AOL_STATIC", "_AOL_ICON"});
  EXPECT_EQ(FindChatRoom(mdi, "AOL Child"), room) << "the near misses in front of it are passed over";

  const std::vector<std::string> markers = {"_AOL_Checkbox", "_AOL_FontCombo", "_AOL_ICON=Send Later"};
  for (std::size_t missing = 0; missing <= markers.size(); ++missing) {
    HWND mail = MakeWindow("AOL Child", mdi);
    MakeWindow("RICHCNTL", mail);
    for (std::size_t i = 0; i < markers.size(); ++i) {
      const std::string& marker = i == missing ? std::string("_AOL_ICON=Send Now") : markers[i];
      const auto equals = marker.find('=');
      MakeWindow(marker.substr(0, equals).c_str(), mail,
                 equals == std::string::npos ? "" : marker.substr(equals + 1).c_str());
    }
    EXPECT_EQ(IsEMail(mail), missing == markers.size() ? mail : nullptr) << missing;
  }
  DestroyWindow(mdi);
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
  ASSERT_TRUE(wine_test::Answers(mail));  // the client has made its controls
  ClipboardOwner owner;
  owner.Load();
  PutRichText(owner, "<B>faded</B> mail");
  HWND body = FindChildByClass(mail, "RICHCNTL");
  SendMessageA(body, WM_COMMAND, 20003, 0);
  EXPECT_TRUE(WaitUntilFound([&] { return !Events("mailpaste").empty(); }));
  EXPECT_NE(GetAPIText(body, kFalse).find("faded mail"), std::string::npos);
  owner.Unload();
}

}  // namespace
}  // namespace glimra
