// The live upgrade notifier against the web server the harness runs on
// 127.0.0.1, a port where nothing listens and a listener that never
// answers; and the about box. A member thread looks at the windows that
// come and presses their buttons with the mouse.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <string>
#include <utility>
#include <vector>

#include "AolClientFixture.h"
#include "LoopbackWeb.h"
#include "MemberInput.h"
#include "SettingsTestSupport.h"
#include "WineTestSupport.h"
#include "aol/AOLClientState.h"
#include "runtime/ErrorReporting.h"
#include "runtime/EventPump.h"
#include "runtime/Forms.h"
#include "settings/AppOptions.h"
#include "settings/MakerSite.h"
#include "settings/modFileOp.h"
#include "settings/modRegKeys.h"
#include "shell/CNetGet.h"
#include "shell/UpgradeNotify.h"
#include "shell/UpgradeRules.h"
#include "shell/frmAbout.h"
#include "shell/frmUpdate.h"
#include "shell/frmVerCheck.h"

namespace glimra {
namespace {

using wine_test::WaitUntilFound;
using wine_test::WindowText;

constexpr UINT kMsgText = 100;  // the message box's text area
constexpr UINT kMsgOK = 200;    // its rightmost button

// What the member saw of one check.
struct Seen {
  bool updateWindow = false;
  std::string message, current, posted, okCaption;
  bool yesShown = false;
  int redPixels = 0;
};

int PixelsOfColour(HWND window, COLORREF colour) {
  RECT r;
  GetClientRect(window, &r);
  HDC dc = GetDC(window);
  int count = 0;
  for (int y = 0; y < r.bottom; ++y)
    for (int x = 0; x < r.right; ++x) count += GetPixel(dc, x, y) == colour;
  ReleaseDC(window, dc);
  return count;
}

HWND VisibleWindow(const std::string& caption) {
  HWND window = FindWindowA("GlimraForm", caption.c_str());
  return window && IsWindowVisible(window) ? window : nullptr;
}

class UpgradeCheckWin : public wine_test::AolClientFixture {
 protected:
  void SetUp() override {
    ASSERT_TRUE(web_.Running()) << "run through ./run, which starts the web server these tests fetch from";
    wine_test::DeleteGlimraTree();
    VersionText() = "1.1.9";
    ClientState() = AOLClientState{};
    ClientState().AOLVersion = "4";
    LiveAppOptions() = AppOptions{};
    reports_.clear();
    CurrentErrorEnvironment() = ErrorEnvironment{[this](const ErrorReport& report) -> std::int16_t {
                                                   reports_ += report.procedure + ": " + report.description + "\n";
                                                   return kAnswerIgnore;
                                                 },
                                                 [] { UnloadAllForms(); }, [] { throw EndProgramNow{}; }};
    PointAt(web_.Host());
  }

  void TearDown() override {
    UnloadAllForms();
    AolClientFixture::TearDown();
    wine_test::DeleteGlimraTree();
    web_.Post("1.1.9");
    EXPECT_EQ(reports_, "");
  }

  static void PointAt(const std::string& host) { WriteSetting("", kWebServerSetting, host); }

  // The client, signed on; the download page goes to it.
  void StartClient() {
    Start("Version=4\r\nScreenNames=Zolster\r\nSignedOn=1\r\n");
    LiveAppOptions().AOLPath = folder_;
  }

  static std::string MessageCaption() { return "Glimra - " + VersionText(); }

  // Runs the check as the menu does; the member looks at the result window
  // (or the message box) and presses `press` (or the box's OK).
  Seen CheckAsMember(UINT press = frmUpdate::kCmdOK) {
    Seen seen;
    const std::string caption = MessageCaption();
    wine_test::BackgroundStep member([&] { seen = LookAndPress(caption, press); });
    RunUpgradeCheck();
    member.Join();
    EXPECT_EQ(Forms().Count(), 0u) << "every window of the check is unloaded";
    return seen;
  }

  static Seen LookAndPress(const std::string& messageCaption, UINT press) {
    Seen seen;
    HWND window = WaitUntilFound([&] {
      if (HWND update = VisibleWindow(frmUpdate::kCaption)) return update;
      return VisibleWindow(messageCaption);
    });
    if (!window || !wine_test::WaitUntilReady(window) || !wine_test::WaitUntilPainted(window)) return seen;
    if (WindowText(window) == messageCaption) {
      seen.message = WindowText(GetDlgItem(window, kMsgText));
      wine_test::ClickInto(GetDlgItem(window, kMsgOK));
      return seen;
    }
    seen.updateWindow = true;
    seen.message = WindowText(GetDlgItem(window, frmUpdate::kLblMsg));
    seen.current = WindowText(GetDlgItem(window, frmUpdate::kLblCurVer));
    seen.posted = WindowText(GetDlgItem(window, frmUpdate::kLblReport));
    seen.yesShown = IsWindowVisible(GetDlgItem(window, frmUpdate::kCmdYes));
    seen.okCaption = WindowText(GetDlgItem(window, frmUpdate::kCmdOK));
    seen.redPixels = PixelsOfColour(GetDlgItem(window, frmUpdate::kLblReport), RGB(255, 0, 0));
    wine_test::ClickInto(GetDlgItem(window, press));
    return seen;
  }

  std::vector<std::string> Keywords() const {
    std::vector<std::string> words;
    for (const auto& event : Events("keyword")) words.push_back(event.size() > 1 ? event[1] : "");
    return words;
  }

  wine_test::LoopbackWeb web_;
  std::string reports_;
};

TEST_F(UpgradeCheckWin, NewerRevisionOffersTheDownloadPageInTheClient) {
  StartClient();
  web_.Post("1.2.0");
  const Seen seen = CheckAsMember(frmUpdate::kCmdYes);
  ASSERT_TRUE(seen.updateWindow);
  EXPECT_EQ(seen.message, UpgradeMessage(UpgradeOutcome::PostedNewer));
  EXPECT_EQ(seen.current, "1.1.9");
  EXPECT_EQ(seen.posted, "1.2.0");
  EXPECT_TRUE(seen.yesShown);
  EXPECT_EQ(seen.okCaption, "No");
  EXPECT_GT(seen.redPixels, 10) << "the posted version is written in red";
  EXPECT_EQ(UpgradeAvailable(), 1);
  const std::string page = "http://" + web_.Host() + "/glimra/update.html";
  EXPECT_TRUE(WaitUntilFound([&] { return !Keywords().empty(); }));
  EXPECT_EQ(Keywords(), std::vector<std::string>{page});
}

TEST_F(UpgradeCheckWin, SameOrOlderPostedRevisionsShowOneOk) {
  StartClient();
  const std::pair<const char*, UpgradeOutcome> cases[] = {{"1.1.9", UpgradeOutcome::UpToDate},
                                                          {"1.1.8", UpgradeOutcome::RunningNewer},
                                                          {"0.9.9", UpgradeOutcome::RunningNewer}};
  for (const auto& [posted, outcome] : cases) {
    SCOPED_TRACE(posted);
    web_.Post(posted);
    const Seen seen = CheckAsMember();
    ASSERT_TRUE(seen.updateWindow);
    EXPECT_EQ(seen.message, UpgradeMessage(outcome));
    EXPECT_EQ(seen.posted, posted);
    EXPECT_FALSE(seen.yesShown);
    EXPECT_EQ(seen.okCaption, "OK");
    EXPECT_EQ(seen.redPixels, 0);
    EXPECT_EQ(UpgradeAvailable(), 0);
  }
  ASSERT_TRUE(WaitUntilHandOversEnded());
  EXPECT_TRUE(Keywords().empty());
}

TEST_F(UpgradeCheckWin, AByteOrderMarkBeforeTheVersionIsNeitherComparedNorShown) {
  StartClient();
  web_.Post(
      "\xEF\xBB\xBF"
      "1.2.0");
  const Seen seen = CheckAsMember();
  ASSERT_TRUE(seen.updateWindow);
  EXPECT_EQ(seen.message, UpgradeMessage(UpgradeOutcome::PostedNewer));
  EXPECT_EQ(seen.posted, "1.2.0");
}

TEST_F(UpgradeCheckWin, PartsCompareAsNumbersAndThePostedTextShowsAsFetched) {
  StartClient();
  VersionText() = "1.9.5";
  web_.Post("1.10.0\r\n");
  const Seen seen = CheckAsMember(frmUpdate::kCmdOK);
  ASSERT_TRUE(seen.updateWindow);
  EXPECT_EQ(seen.message, UpgradeMessage(UpgradeOutcome::PostedNewer));
  EXPECT_EQ(seen.current, "1.9.5");
  EXPECT_EQ(seen.posted, "1.10.0\r\n");
  EXPECT_EQ(PostedVersion(), "1.10.0\r\n");
  // "No" leaves the client alone.
  ASSERT_TRUE(WaitUntilHandOversEnded());
  EXPECT_TRUE(Keywords().empty());
}

TEST_F(UpgradeCheckWin, AnswersThatAreNoVersionGiveTheCriticalError) {
  const std::string critical = CriticalErrorMessage(MakerSiteFor(web_.Host()));
  web_.Post("120");
  EXPECT_EQ(CheckAsMember().message, critical);
  // A server without the document answers with its "not found" page.
  web_.Withdraw();
  EXPECT_EQ(CheckAsMember().message, critical);
  // Pages that are no version, even with a "." in them, are no run-time error.
  web_.Post("<html><body><p>Moved to www.maker.test.</p></body></html>");
  EXPECT_EQ(CheckAsMember().message, critical);
  web_.Post("1.2");
  EXPECT_EQ(CheckAsMember().message, critical);
  // A document no version needs is not read to its end.
  web_.Post("1.2.0" + std::string(CNetGet::kMaxDocumentBytes, '\n'));
  EXPECT_EQ(CheckAsMember().message,
            CheckFailedMessage("The document on the web server is too large to be a version document."));
}

TEST_F(UpgradeCheckWin, NothingListeningGivesTheErrorWithTheWinInetText) {
  PointAt("127.0.0.1:" + std::to_string(wine_test::PortWhereNothingListens()));
  EXPECT_EQ(CheckAsMember().message, CheckFailedMessage(WinInetErrorText(12029)));
}

// The check runs on a thread of its own here, so that a check that never
// ends is reported instead of holding the test for ever.
TEST_F(UpgradeCheckWin, ServerThatNeverAnswersEndsTheCheckWithTheWinInetText) {
  wine_test::SilentListener silent;
  PointAt(silent.Host());
  std::atomic<bool> ended{false};
  HANDLE check = CreateThread(
      nullptr, 0,
      [](void* flag) -> DWORD {
        RunUpgradeCheck();
        *static_cast<std::atomic<bool>*>(flag) = true;
        return 0;
      },
      &ended, 0, nullptr);
  HWND box = WaitUntilFound([&] { return VisibleWindow(MessageCaption()); }, 2 * wine_test::kPatienceMs);
  if (!box) {
    TerminateThread(check, 1);
    CloseHandle(check);
    FAIL() << "the check did not end";
  }
  // The thread that waited on the server takes its messages again.
  ASSERT_TRUE(wine_test::WaitUntilReady(box)) << "the message box does not take messages";
  const std::string message = WindowText(GetDlgItem(box, kMsgText));
  EXPECT_TRUE(message == CheckFailedMessage(WinInetErrorText(12002)) ||
              message == CheckFailedMessage(WinInetErrorText(12030)))
      << message;
  EXPECT_TRUE(wine_test::ClickInto(GetDlgItem(box, kMsgOK)));
  EXPECT_EQ(WaitForSingleObject(check, wine_test::kPatienceMs), WAIT_OBJECT_0);
  EXPECT_TRUE(ended);
  CloseHandle(check);
}

// ---- slow servers: the check has one deadline, its windows keep answering ----

// The check window, known by its words: it has no caption.
HWND CheckWindow() {
  HWND window = nullptr;
  while ((window = FindWindowExA(nullptr, window, "GlimraForm", "")) != nullptr)
    if (IsWindowVisible(window) && WindowText(GetDlgItem(window, frmVerCheck::kLabel1)) == frmVerCheck::kWaitText)
      return window;
  return nullptr;
}

// Whether `window` takes a message within a second, as a window the member can use does.
bool AnswersAtOnce(HWND window) {
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &ignored) != 0 || !IsWindow(window);
}

// Slower than the check's deadline, ended by the server well within the tests' patience.
const std::string kSlowTrickle = "1.2.0" + std::string(9, ' ');
const std::string kSlowBodyHead = "HTTP/1.0 200 OK\r\nContent-Length: 14\r\n\r\n";
const std::string kEndlessHeaderHead = "HTTP/1.0 200 OK\r\nX-Padding: ";

TEST_F(UpgradeCheckWin, SlowServersEndTheCheckAtItsDeadlineWhileItsWindowAnswers) {
  for (const std::string& head : {kSlowBodyHead, kEndlessHeaderHead}) {
    SCOPED_TRACE(head);
    wine_test::ScriptedServer slow(head, kSlowTrickle);
    PointAt(slow.Host());
    int probes = 0, unanswered = 0;
    Seen seen;
    const std::string caption = MessageCaption();
    wine_test::BackgroundStep member([&] {
      HWND check = WaitUntilFound(CheckWindow);
      // Until the answer comes, the check window takes messages as they come.
      WaitUntilFound([&]() -> HWND {
        if (HWND shown = VisibleWindow(caption)) return shown;
        if (HWND shown = VisibleWindow(frmUpdate::kCaption)) return shown;
        ++probes;
        unanswered += check && !AnswersAtOnce(check);
        return nullptr;
      });
      seen = LookAndPress(caption, frmUpdate::kCmdOK);
    });
    RunUpgradeCheck();
    member.Join();
    EXPECT_GT(probes, 0);
    EXPECT_EQ(unanswered, 0) << "the check window stopped answering while the fetch waited";
    EXPECT_EQ(seen.message, CheckFailedMessage(WinInetErrorText(12002)));
    EXPECT_FALSE(slow.TrickleEnded()) << "the check outlived its deadline";
  }
}

TEST_F(UpgradeCheckWin, CancelEndsASlowCheckAtOnce) {
  wine_test::ScriptedServer slow(kSlowBodyHead, kSlowTrickle);
  PointAt(slow.Host());
  bool clicked = false;
  wine_test::BackgroundStep member([&] {
    HWND check = WaitUntilFound(CheckWindow);
    clicked =
        check && wine_test::WaitUntilReady(check) && wine_test::ClickInto(GetDlgItem(check, frmVerCheck::kCmdCancel));
  });
  RunUpgradeCheck();
  member.Join();
  ASSERT_TRUE(clicked);
  EXPECT_FALSE(slow.TrickleEnded()) << "the check waited for the server after Cancel";
  EXPECT_EQ(VisibleWindow(MessageCaption()), nullptr);
  EXPECT_EQ(Forms().Count(), 0u);
}

// A second request while a check waits (the member clicks again; here a
// timer of the check's own thread, as the click would come) starts nothing.
TEST_F(UpgradeCheckWin, ASecondCheckWhileOneWaitsStartsNothing) {
  wine_test::ScriptedServer slow(kSlowBodyHead, kSlowTrickle);
  PointAt(slow.Host());
  static std::atomic<bool> secondReturned;
  secondReturned = false;
  const UINT_PTR timer = SetTimer(nullptr, 0, 200, [](HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    RunUpgradeCheck();
    secondReturned = true;
  });
  int checkWindows = 0;
  bool clicked = false;
  wine_test::BackgroundStep member([&] {
    HWND check = WaitUntilFound(CheckWindow);
    if (!check) return;
    if (!wine_test::WaitUntil([] { return secondReturned.load(); })) {
      // Two checks run: answer both, so that the test ends.
      for (int answered = 0; answered < 2; ++answered) LookAndPress(MessageCaption(), frmUpdate::kCmdOK);
      return;
    }
    for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, "GlimraForm", "")) != nullptr;)
      checkWindows += WindowText(GetDlgItem(w, frmVerCheck::kLabel1)) == frmVerCheck::kWaitText;
    clicked = wine_test::WaitUntilReady(check) && wine_test::ClickInto(GetDlgItem(check, frmVerCheck::kCmdCancel));
  });
  RunUpgradeCheck();
  member.Join();
  KillTimer(nullptr, timer);
  EXPECT_TRUE(secondReturned) << "the second request waited for the first check";
  EXPECT_EQ(checkWindows, 1);
  EXPECT_TRUE(clicked);
  EXPECT_EQ(slow.Connections(), 1);
  EXPECT_EQ(Forms().Count(), 0u);
}

// The start of "1.2.0" must not pass for a version of its own.
TEST_F(UpgradeCheckWin, BodyThatStopsPartWayIsAFailedFetchWithTheWinInetText) {
  wine_test::ScriptedServer stalling("HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\n1.", "",
                                     wine_test::ScriptedServer::AtEnd::HoldOpen);
  CNetGet net;
  net.Init();
  EXPECT_EQ(net.ReadUrl(MakerSiteFor(stalling.Host()).VersionDocument()), kFalse);
  EXPECT_EQ(net.GetLastError(), WinInetErrorText(12002));
  EXPECT_EQ(net.GetRawHTML(), "");
}

TEST_F(UpgradeCheckWin, BodyShorterThanTheServerSaidIsAFailedCheck) {
  wine_test::ScriptedServer early("HTTP/1.0 200 OK\r\nContent-Length: 6\r\n\r\n1.0.1");
  PointAt(early.Host());
  EXPECT_EQ(CheckAsMember().message, CheckFailedMessage(WinInetErrorText(12030)));
  EXPECT_EQ(early.Connections(), 1);
}

// A version document belongs to the maker's host: a redirect elsewhere
// (here to the harness's server, which posts a newer version) is not taken.
TEST_F(UpgradeCheckWin, RedirectsAreNotFollowed) {
  StartClient();
  web_.Post("1.2.0");
  wine_test::ScriptedServer moved("HTTP/1.0 302 Found\r\nLocation: http://" + web_.Host() +
                                  "/glimraver32?redirected\r\nContent-Length: 0\r\n\r\n");
  PointAt(moved.Host());
  const Seen seen = CheckAsMember();
  EXPECT_FALSE(seen.updateWindow);
  EXPECT_EQ(seen.message, CriticalErrorMessage(MakerSiteFor(moved.Host())));
  EXPECT_EQ(web_.AccessLog().find("?redirected"), std::string::npos);
}

TEST_F(UpgradeCheckWin, FetchReadsTheWholeDocumentWithTheProgramNameAsAgent) {
  const std::string document = MakerSiteFor(web_.Host()).VersionDocument();
  CNetGet net;
  net.Init();
  EXPECT_EQ(net.Initialised(), kTrue);
  const std::string body = "  " + std::string(5000, '7') + "  ";  // three reads of at most 2048 bytes
  web_.Post(body);
  ASSERT_EQ(net.ReadUrl(document + "?first"), kTrue);
  EXPECT_EQ(net.GetRawHTML(), std::string(5000, '7'));
  EXPECT_EQ(net.Text(), body);
  EXPECT_EQ(net.GetLastError(), "");
  EXPECT_NE(web_.LogLineWith("?first").find("\"upgrade_test\""), std::string::npos) << web_.LogLineWith("?first");

  // The largest document still read, and one byte more.
  web_.Post(std::string(CNetGet::kMaxDocumentBytes, '1'));
  EXPECT_EQ(net.ReadUrl(document), kTrue);
  web_.Post(std::string(CNetGet::kMaxDocumentBytes + 1, '1'));
  EXPECT_EQ(net.ReadUrl(document), kFalse);
  EXPECT_EQ(net.Text(), "") << "no part of a document too large";

  net.SetUserAgent("Glimra Tester");
  net.Init();
  EXPECT_EQ(net.GetLastError(), "");
  web_.Post("1.1.9");
  EXPECT_EQ(net.ReadUrl(document + "?second"), kTrue);
  EXPECT_NE(web_.LogLineWith("?second").find("\"Glimra Tester\""), std::string::npos) << web_.LogLineWith("?second");
  net.Term();
  EXPECT_EQ(net.Initialised(), kFalse);
  EXPECT_EQ(net.ReadUrl(document), kFalse);
}

// ---- the about box ----

COLORREF PixelAt(HWND window, int x, int y) {
  HDC dc = GetDC(window);
  const COLORREF colour = GetPixel(dc, x, y);
  ReleaseDC(window, dc);
  return colour;
}

TEST_F(UpgradeCheckWin, AboutBoxShowsItsVersionRepaintsItsStripAndComesFreshAfterOk) {
  frmAbout& about = AboutBox();
  about.Show();
  HWND window = about.hWnd();
  EXPECT_EQ(WindowText(window), "About Glimra!");
  EXPECT_EQ("Glimra - " + WindowText(about.lblVersion()), MessageCaption());
  EXPECT_EQ(WindowText(about.lblRelease()), "July 06, 1999");
  const auto painted = [&] {
    return PumpUntil([&] { return wine_test::Painted(window); }, wine_test::kPatienceMs, 20);
  };
  ASSERT_TRUE(painted());

  // Another window over the strip, then gone again.
  HWND strip = about.Picture1();
  RECT r;
  GetClientRect(strip, &r);
  POINT at{0, 0};
  MapWindowPoints(strip, window, &at, 1);
  HWND cover = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_WHITERECT, at.x, at.y, r.right, r.bottom,
                               window, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_TRUE(painted());
  EXPECT_EQ(PixelAt(strip, r.right / 2, 0), GetSysColor(COLOR_WINDOW));
  DestroyWindow(cover);
  ASSERT_TRUE(painted());
  // Blue (0, 109, 173) at the top, down to black at the bottom.
  for (const LONG x : {0L, r.right / 2, r.right - 1}) {
    EXPECT_EQ(PixelAt(strip, static_cast<int>(x), 0), RGB(0, 109, 173)) << x;
    const COLORREF middle = PixelAt(strip, static_cast<int>(x), r.bottom / 2);
    EXPECT_NEAR(GetGValue(middle), 55, 2);
    EXPECT_NEAR(GetBValue(middle), 87, 2);
    EXPECT_LE(GetBValue(PixelAt(strip, static_cast<int>(x), r.bottom - 1)), 2);
  }

  EXPECT_TRUE(wine_test::ClickInto(GetDlgItem(window, frmAbout::kCmdOK)));
  PumpUntil([&] { return !IsWindow(window); }, wine_test::kPatienceMs, 20);
  EXPECT_FALSE(IsWindow(window));
  frmAbout& again = AboutBox();
  EXPECT_NE(&again, &about);
  again.Show();
  EXPECT_TRUE(IsWindowVisible(again.hWnd()));
  EXPECT_EQ(WindowText(again.lblVersion()), "1.1.9");
}

TEST_F(UpgradeCheckWin, AboutBoxHelpOpensTheTableOfContentsAndGoes) {
  char folder[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, folder);
  HelpFile() = std::string(folder) + "\\glimra.hlp";
  frmAbout& about = AboutBox();
  about.Show();
  HWND window = about.hWnd();
  ASSERT_TRUE(PumpUntil([&] { return wine_test::Painted(window); }, wine_test::kPatienceMs, 20));
  EXPECT_TRUE(wine_test::ClickInto(GetDlgItem(window, frmAbout::kCmdHelp)));
  PumpUntil([&] { return !IsWindow(window); }, wine_test::kPatienceMs, 20);
  HWND help = FindWindowA("MS_WINHELP", "Glimra!");
  ASSERT_TRUE(help);
  EXPECT_EQ(lstrcmpiA(WindowText(GetDlgItem(help, 100)).c_str(), "Table of Contents"), 0);
  EXPECT_FALSE(IsWindow(window));
  PostMessageA(help, WM_CLOSE, 0, 0);
}

}  // namespace
}  // namespace glimra
