// The chat fader against the stand-in AOL client: what the member types into
// the chat box, the Send icon, the chat commands, the Glimra menu and AOL's
// close, and the multi-line sender, checked by what the room and the client
// received.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "AolClientFixture.h"
#include "MemberInput.h"
#include "WineTestSupport.h"
#include "aol/RemoteMenu.h"
#include "aol/modAOLFunctions.h"
#include "aol/modFindChild.h"
#include "aol/modWin32API.h"
#include "chat/ChatCommands.h"
#include "chat/ChatInterception.h"
#include "chat/frmMultiline.h"
#include "engine/modFade.h"
#include "runtime/ErrorReporter.h"
#include "runtime/ErrorReporting.h"
#include "runtime/EventPump.h"
#include "runtime/FormWindow.h"
#include "runtime/Forms.h"
#include "runtime/OutsideLibraries.h"
#include "settings/AppOptions.h"
#include "settings/modFileOp.h"
#include "settings/modRegKeys.h"

namespace glimra {
namespace {

using wine_test::WaitUntilFound;

// Stands in for the chat tools window: records what the interception asks of it.
class TestHost : public FormWindow, public ChatToolsHost {
 public:
  TestHost() : FormWindow("frmChatTools", 3000, 1000) {}
  FormWindow& HostForm() override { return *this; }
  // A host whose window cannot be shown (failShow) raises a run-time error.
  void ShowChatTools() override {
    if (failShow) RaiseError(kErrInvalidCall);
    ++shows;
    Show();
  }
  void HideChatTools() override {
    ++hides;
    Hide();
  }
  bool ChatToolsVisible() override { return Visible(); }
  void FadeOn() override { ++fadeOns; }
  void FadeOff() override { ++fadeOffs; }
  void UnloadAll() override {
    ++unloads;
    if (onUnloadAll) onUnloadAll();
    UnloadAllForms();
  }
  int shows = 0, hides = 0, fadeOns = 0, fadeOffs = 0, unloads = 0;
  std::atomic<bool> failShow{false};
  std::function<void()> onUnloadAll;
};

std::string Faded(std::string text) { return FadeEngine(text); }

class ChatFader : public wine_test::AolClientFixture {
 public:
  std::size_t ChatCount() const { return Events("chat").size(); }

 protected:
  void SetUp() override {
    VersionText() = "1.1.9";
    ClientState() = AOLClientState{};
    ChatToolsShown() = kFalse;
    ExitRequested() = kFalse;
    AppOptions& options = LiveAppOptions();
    options = AppOptions{};
    options.UseChatKW = kTrue;
    options.UseMultiline = kTrue;
    options.CharsInLine = 60;
    options.ShowFadePanelWithChat = kTrue;
    FadeSettings& fade = LiveFadeSettings();
    fade = FadeSettings{};
    fade.FaderOn = kTrue;
    fade.FadeNumber = 2;
    fade.Colors[1] = 0x0000FF;
    fade.Colors[2] = 0xFF0000;
    CurrentErrorEnvironment() =
        ErrorEnvironment{[](const ErrorReport&) -> std::int16_t { return kAnswerIgnore; }, [] { UnloadAllForms(); },
                         [this] {
                           ++ended;
                           throw EndProgramNow{};
                         }};
  }

  void TearDown() override {
    chat.reset();
    UnloadAllForms();
    AolClientFixture::TearDown();
  }

  // The client signed on with one chat room, the test host loaded and attached by one tick.
  void Attach() {
    Start("Version=4\r\nScreenNames=Zolster\r\nChatRoom=Lobby\r\n");
    ClientState().AOLFrame = reinterpret_cast<std::uintptr_t>(frame_);
    ClientState().AOLMDIClient = reinterpret_cast<std::uintptr_t>(mdi_);
    ClientState().AOLVersion = "4";
    LiveAppOptions().AOLPath = folder_;
    room = WaitUntilFound([&] { return FindChatRoom(mdi_, "AOL Child"); });
    ASSERT_NE(room, nullptr);
    box = FindChildByClass(room, "RICHCNTL", 2);
    icon = GetWindow(box, GW_HWNDNEXT);
    host.Load();
    chat = std::make_unique<ChatInterception>(host, SystemSubClassFactory());
    chat->Timer1_Timer();
    ASSERT_EQ(chat->Hooked, kTrue);
    ASSERT_EQ(chat->ChatEditWindow(), HandleToULong(box));
  }

  // Runs events until `done` holds (at most `ms`).
  bool Until(const std::function<bool()>& done, unsigned ms = wine_test::kPatienceMs) {
    return PumpUntil(done, ms, 20);
  }

  // The member types `text` into the chat box and presses Enter.
  void TypeLine(const std::string& text) {
    SendMessageA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    PostMessageA(box, WM_CHAR, 13, 0);
  }

  std::vector<std::string> ChatLines() {
    std::vector<std::string> lines;
    for (const auto& event : Events("chat")) lines.push_back(event.size() > 2 ? event[2] : "");
    return lines;
  }

  // Both sides are done with what was typed and sent: the client has handled
  // what reached it (a posted Enter, the lines Glimra sends), this thread
  // the events the client posted back (the delayed event that runs a chat
  // command), and the client again what those sent on. Events run meanwhile:
  // Glimra judges the client's messages on this thread.
  bool CaughtUp() {
    for (int round = 0; round < 2; ++round) {
      if (!ClientCaughtUp(box, [&](const std::function<bool()>& done) { return Until(done); })) return false;
      DoEvents();
    }
    return true;
  }

  // The member clicks into `target` and types `text`, then presses Enter;
  // events run until the box has taken the keys.
  void MemberTypesLine(HWND target, const std::string& text) {
    ASSERT_TRUE(wine_test::ClickIntoUntilFocused(target, [&](DWORD ms) { Until([] { return false; }, ms); }))
        << "the input box is covered or takes no focus";
    wine_test::TypeKeys(text);
    ASSERT_TRUE(Until([&] { return GetAPIText(target, kFalse) == text; })) << GetAPIText(target, kFalse);
    wine_test::PressEnter();
  }

  // Ticks the interception every 100 ms, as the chat tools window's Timer1 does.
  class Ticking {
   public:
    explicit Ticking(ChatInterception& chat, std::function<void()> afterTick = {}) {
      current = this;
      chat_ = &chat;
      afterTick_ = std::move(afterTick);
      timer_ = SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR, DWORD) {
        current->chat_->Timer1_Timer();
        if (current->afterTick_) current->afterTick_();
      });
    }
    ~Ticking() {
      KillTimer(nullptr, timer_);
      current = nullptr;
    }

   private:
    static inline Ticking* current = nullptr;
    ChatInterception* chat_;
    std::function<void()> afterTick_;
    UINT_PTR timer_;
  };

  TestHost host;
  std::unique_ptr<ChatInterception> chat;
  HWND room = nullptr, box = nullptr, icon = nullptr;
  int ended = 0;
};

TEST_F(ChatFader, EnterSendsTheFadedLineOrThePlainOne) {
  Attach();
  EXPECT_EQ(host.shows, 1);  // the first tick with a room shows the chat tools
  const std::string faded = Faded("hello");
  TypeLine("hello");
  ASSERT_TRUE(Until([&] { return ChatLines().size() == 1; }));
  EXPECT_EQ(ChatLines()[0], faded);
  EXPECT_NE(faded, "hello");

  LiveFadeSettings().FaderOn = kFalse;
  TypeLine("hello");
  ASSERT_TRUE(Until([&] { return ChatLines().size() == 2; }));
  EXPECT_EQ(ChatLines()[1], "hello");
}

TEST_F(ChatFader, SlashLinesRunChatCommands) {
  Attach();
  TypeLine("/fadeoff");
  ASSERT_TRUE(CaughtUp());
  EXPECT_EQ(LiveFadeSettings().FaderOn, kFalse);
  EXPECT_EQ(host.fadeOffs, 1);
  EXPECT_EQ(ReadSetting("", "Fader On"), "False");
  EXPECT_EQ(GetAPIText(box, kFalse), "");
  EXPECT_TRUE(ChatLines().empty());

  LiveFadeSettings().FaderOn = kTrue;
  TypeLine("//roll");
  ASSERT_TRUE(Until([&] { return ChatLines().size() == 1; }));
  EXPECT_EQ(ChatLines()[0], "//roll");

  TypeLine("/Top News");
  ASSERT_TRUE(Until([&] { return !Events("keyword").empty(); }));
  EXPECT_EQ(Events("keyword")[0][1], "topnews");
  EXPECT_EQ(ChatLines().size(), 1u);
}

TEST_F(ChatFader, WithoutChatKeywordsEnterFadesButTheSendIconRunsCommands) {
  LiveAppOptions().ShowFadePanelWithChat = kFalse;
  Attach();
  LiveAppOptions().UseChatKW = kFalse;
  const std::string faded = Faded("/news");
  TypeLine("/news");
  ASSERT_TRUE(Until([&] { return ChatLines().size() == 1; }));
  EXPECT_EQ(ChatLines()[0], faded);

  // "/show" on the Send icon: taken from the box on the button-down, run on the button-up.
  SendMessageA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("/show"));
  SendMessageA(icon, WM_LBUTTONDOWN, MK_LBUTTON, 0);
  EXPECT_EQ(host.shows, 0);
  EXPECT_EQ(chat->CommandPending, kTrue);
  EXPECT_EQ(GetAPIText(box, kFalse), "");
  SendMessageA(icon, WM_LBUTTONUP, 0, 0);
  EXPECT_EQ(host.shows, 1);
  EXPECT_EQ(chat->CommandPending, kFalse);
  ASSERT_TRUE(CaughtUp());
  EXPECT_EQ(ChatLines().size(), 1u);  // the empty box sent nothing
}

TEST_F(ChatFader, SendIconSendsTheFadedLine) {
  Attach();
  const std::string faded = Faded("over the icon");
  SendMessageA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("over the icon"));
  PostMessageA(icon, WM_LBUTTONDOWN, MK_LBUTTON, 0);
  PostMessageA(icon, WM_LBUTTONUP, 0, 0);
  ASSERT_TRUE(Until([&] { return ChatLines().size() == 1; }));
  EXPECT_EQ(ChatLines()[0], faded);
}

TEST_F(ChatFader, SixtyFirstCharacterOpensTheMultilineWindow) {
  Attach();
  const std::string sixty(60, 'a');
  SendMessageA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(sixty.c_str()));
  PostMessageA(box, WM_CHAR, 'b', 0);
  ASSERT_TRUE(Until([&] { return chat->Multiline() && chat->Multiline()->Visible(); }));
  ASSERT_TRUE(CaughtUp());
  EXPECT_EQ(chat->Multiline()->ChatText(), sixty + "b");
  EXPECT_FALSE(IsWindowVisible(chat->Multiline()->cmdInsert()->Window()));
  // The box is emptied, and the moved character does not reach it either.
  EXPECT_EQ(GetAPIText(box, kFalse), "");
  EXPECT_TRUE(ChatLines().empty());

  // With fading off the box holds 85 characters first.
  chat->Multiline()->Unload();
  LiveFadeSettings().FaderOn = kFalse;
  SendMessageA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(sixty.c_str()));
  PostMessageA(box, WM_CHAR, 'b', 0);
  ASSERT_TRUE(CaughtUp());
  EXPECT_FALSE(chat->Multiline()->IsLoaded());
}

TEST_F(ChatFader, MultilineCommandOpensTheWindowEmptyWithInsert) {
  Attach();
  TypeLine("/multiline");
  ASSERT_TRUE(Until([&] { return chat->Multiline() && chat->Multiline()->Visible(); }));
  EXPECT_EQ(chat->Multiline()->ChatText(), "");
  EXPECT_TRUE(IsWindowVisible(chat->Multiline()->cmdInsert()->Window()));
}

TEST_F(ChatFader, ClosingAolRemovesTheMenuEndsGlimraThenClosesAol) {
  Attach();
  AddMenuToAOL();
  chat->AttachMenu(frame_);
  bool aolAliveAtUnload = false;
  std::string barAtUnload;
  host.onUnloadAll = [&] {
    aolAliveAtUnload = IsWindow(frame_) != FALSE;
    RemoteMenu menus(frame_);
    HMENU bar = menus.GetMenu();
    for (int i = 0; i < menus.GetMenuItemCount(bar); ++i)
      barAtUnload += menus.GetMenuString(bar, i, 64, MF_BYPOSITION) + "|";
  };
  PostMessageA(frame_, WM_CLOSE, 0, 0);
  ASSERT_TRUE(Until([&] { return ended > 0; }));
  EXPECT_EQ(host.unloads, 1);
  EXPECT_TRUE(aolAliveAtUnload);
  EXPECT_NE(barAtUnload.find("&File"), std::string::npos) << barAtUnload;
  EXPECT_EQ(barAtUnload.find("Glimr&a"), std::string::npos) << barAtUnload;
  EXPECT_FALSE(host.IsLoaded());
  EXPECT_TRUE(WaitUntilFound([&] { return !IsWindow(frame_); }));
  EXPECT_EQ(Events("close").size(), 1u);
}

TEST_F(ChatFader, ExitGlimraEndsGlimraAndLeavesAolRunning) {
  Attach();
  AddMenuToAOL();
  chat->AttachMenu(frame_);
  PostMessageA(frame_, WM_COMMAND, 60005, 0);
  ASSERT_TRUE(Until([&] { return ended > 0; }));
  EXPECT_EQ(chat->sbcMenu->GetHWnd(), 0u);
  EXPECT_FALSE(host.IsLoaded());
  EXPECT_TRUE(CaughtUp()) << "the client took no more messages";
  EXPECT_TRUE(IsWindow(frame_));
  EXPECT_TRUE(Events("close").empty());
  RemoteMenu menus(frame_);
  HMENU bar = menus.GetMenu();
  for (int i = 0; i < menus.GetMenuItemCount(bar); ++i)
    EXPECT_NE(menus.GetMenuString(bar, i, 64, MF_BYPOSITION), "Glimr&a");
}

TEST_F(ChatFader, TimerDetachesWhenTheRoomClosesAndEndsWhenAolIsGone) {
  Attach();
  SendMessageA(room, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitUntilFound([&] { return !IsWindow(room); }));
  chat->Timer1_Timer();
  EXPECT_EQ(chat->Hooked, kFalse);
  EXPECT_EQ(chat->ChatBox, 0u);
  EXPECT_EQ(chat->ChatEditWindow(), 0u);
  EXPECT_EQ(host.hides, 1);
  EXPECT_EQ(ChatToolsShown(), kFalse);

  EndAllClients();
  EXPECT_THROW(chat->Timer1_Timer(), EndProgramNow);
  EXPECT_EQ(ended, 1);
}

TEST_F(ChatFader, AdvertiseSendsItsLinesUnfadedAndRestoresFading) {
  Attach();
  // The links name the web server the settings give.
  WriteSetting("", kWebServerSetting, "127.0.0.1:9");
  chat->Advertise();
  RegDeleteKeyValueA(HKEY_CURRENT_USER, "Software\\Zol Software\\Glimra", kWebServerSetting);
  // The client sends nothing for the blank third line.
  std::vector<std::string> expected = AdvertiseLines(MakerSiteFor("127.0.0.1:9"));
  expected.erase(expected.begin() + 2);
  ASSERT_TRUE(Until([&] { return ChatLines().size() == 4; }));
  EXPECT_EQ(ChatLines(), expected);
  EXPECT_EQ(LiveFadeSettings().FaderOn, kTrue);
  EXPECT_EQ(chat->FaderWasOn, kFalse);
  EXPECT_TRUE(IsWindowVisible(box));  // the member types on
}

// Chat commands the member types and sends with Enter: "/fadeon" switches
// fading on (setting written, chat tools shown, their On pressed), "/hide"
// and "/show" hide and show the chat tools; none reaches the room. With
// fading off, a full box of 85 characters that begins with "/" goes to AOL
// as it is when Enter is pressed instead of running as a command.
TEST_F(ChatFader, ChatCommandsAndAFullSlashLineSentWithEnter) {
  Attach();
  ASSERT_EQ(host.shows, 1);
  host.Hide();
  LiveFadeSettings().FaderOn = kFalse;
  WriteSetting("", "Fader On", "False");
  ASSERT_NO_FATAL_FAILURE(MemberTypesLine(box, "/fadeon"));
  ASSERT_TRUE(Until([&] { return host.fadeOns == 1; }));
  EXPECT_EQ(LiveFadeSettings().FaderOn, kTrue);
  EXPECT_EQ(ReadSetting("", "Fader On"), "True");
  EXPECT_EQ(host.shows, 2);
  EXPECT_TRUE(host.Visible());

  ASSERT_NO_FATAL_FAILURE(MemberTypesLine(box, "/hide"));
  ASSERT_TRUE(Until([&] { return !host.Visible(); }));
  EXPECT_EQ(host.hides, 1);
  ASSERT_NO_FATAL_FAILURE(MemberTypesLine(box, "/show"));
  ASSERT_TRUE(Until([&] { return host.Visible(); }));
  EXPECT_EQ(host.shows, 3);
  ASSERT_TRUE(CaughtUp());
  EXPECT_TRUE(ChatLines().empty());
  EXPECT_TRUE(Events("keyword").empty());

  ASSERT_NO_FATAL_FAILURE(MemberTypesLine(box, "/fadeoff"));
  ASSERT_TRUE(Until([&] { return host.fadeOffs == 1; }));
  const std::string full = "/" + std::string(84, 'k');
  ASSERT_NO_FATAL_FAILURE(MemberTypesLine(box, full));
  ASSERT_TRUE(Until([&] { return ChatLines().size() == 1; }));
  EXPECT_EQ(ChatLines()[0], full);
  ASSERT_TRUE(CaughtUp());
  EXPECT_TRUE(Events("keyword").empty());
  EXPECT_FALSE(chat->Multiline() && chat->Multiline()->IsLoaded());
}

// The Glimra menu's commands as AOL passes them on, then AOL's own exit
// command, which is kept from AOL and ends Glimra and AOL as closing AOL's
// window does.
TEST_F(ChatFader, MenuCommandsThenAolsExitCommand) {
  Attach();
  AddMenuToAOL();
  chat->AttachMenu(frame_);
  host.Hide();
  ChatRoomWindow() = nullptr;
  PostMessageA(frame_, WM_COMMAND, 60000, 0);
  ASSERT_TRUE(Until([&] { return host.shows == 2; }));
  EXPECT_TRUE(host.Visible());
  EXPECT_EQ(ChatRoomWindow(), room);

  char cwd[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, cwd);
  HelpFile() = std::string(cwd) + "\\glimra.hlp";
  const auto viewerHeading = [] {
    HWND viewer = FindWindowA(kHelpWindowClass, kHelpWindowCaption);
    return viewer ? wine_test::WindowText(GetDlgItem(viewer, 100)) : std::string();
  };
  PostMessageA(frame_, WM_COMMAND, 62000, 0);
  EXPECT_TRUE(Until([&] { return viewerHeading() == "Table of Contents"; }));
  RunWinHelp(host, "Options", kTrue);
  ASSERT_TRUE(Until([&] { return viewerHeading() == "Options"; }));
  // Searching starts from the empty topic: the first one.
  PostMessageA(frame_, WM_COMMAND, 62001, 0);
  EXPECT_TRUE(Until([&] { return viewerHeading() == "Table of Contents"; }));
  if (HWND viewer = FindWindowA(kHelpWindowClass, nullptr)) PostMessageA(viewer, WM_CLOSE, 0, 0);

  PostMessageA(frame_, WM_COMMAND, 62002, 0);
  ASSERT_TRUE(Until([&] { return !Events("keyword").empty(); }));
  EXPECT_EQ(Events("keyword")[0][1], ReadMakerSite().SupportPage());

  PostMessageA(frame_, WM_COMMAND, kAOLExitCommand, 0);
  ASSERT_TRUE(Until([&] { return ended > 0; }));
  EXPECT_EQ(ExitRequested(), kTrue);
  EXPECT_EQ(host.unloads, 1);
  EXPECT_TRUE(WaitUntilFound([&] { return !IsWindow(frame_); }));
  EXPECT_EQ(Events("close").size(), 1u);
  // AOL never saw its exit command: Glimra closed it after leaving.
  const auto menus = Events("menu");
  EXPECT_EQ(std::count_if(menus.begin(), menus.end(), [](const auto& event) { return event[1] == "8207"; }), 0);
}

// While an error report waits for its answer (a modal box whose loop still
// runs timers and the chat box's forwarded keys), the chat tools timer does
// nothing, the keys the member types into the chat box go to AOL untouched,
// a menu command waits, and no second report stacks on the first. Once the
// report is answered, the timer catches up and runs the held command.
TEST_F(ChatFader, AnErrorReportHoldsTheChatToolsUntilItIsAnswered) {
  Attach();
  AddMenuToAOL();
  chat->AttachMenu(frame_);
  std::atomic<int> reports{0};
  CurrentErrorEnvironment().report = [&](const ErrorReport& report) {
    ++reports;
    return ShowErrorReport(report);
  };
  bool detachedDuringReport = false;
  std::atomic<int> ticks{0};
  Ticking ticking(*chat, [&] {
    ++ticks;
    if (FindWindowA(nullptr, kErrorReportCaption) && chat->ChatEditWindow() == 0) detachedDuringReport = true;
  });
  std::atomic<bool> clickedIntoBox{false}, typedLineWentOut{false}, ticksRan{false}, done{false};
  std::atomic<int> reportBoxesSeen{0};
  wine_test::BackgroundStep member([&] {
    HWND report = wine_test::WaitForReadyWindow("#32770", kErrorReportCaption);
    if (report) {
      // Out of the way of the chat room.
      SetWindowPos(report, nullptr, 900, 760, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      clickedIntoBox = wine_test::ClickIntoUntilFocused(box);
      if (clickedIntoBox) {
        wine_test::TypeKeys("/show");
        wine_test::PressEnter();
        typedLineWentOut = WaitUntilFound([&] { return ChatCount() == 1; });
      }
      SendMessageA(room, WM_CLOSE, 0, 0);
      PostMessageA(frame_, WM_COMMAND, 60000, 0);
      // Several ticks with the room closed and the command waiting.
      const int before = ticks;
      ticksRan = WaitUntilFound([&] { return ticks >= before + 3; });
      host.failShow = false;
    }
    // The member answers Ignore; any report stacked on the first is answered too.
    std::vector<HWND> answered;
    for (int tries = 0; tries < 100; ++tries, Sleep(100)) {
      HWND up = FindWindowA("#32770", kErrorReportCaption);
      if (!up) break;
      if (std::find(answered.begin(), answered.end(), up) != answered.end()) {
        SendMessageA(up, WM_COMMAND, IDIGNORE, 0);
        continue;
      }
      answered.push_back(up);
      if (!wine_test::WaitUntilReady(up) || !wine_test::ClickInto(GetDlgItem(up, IDIGNORE)))
        SendMessageA(up, WM_COMMAND, IDIGNORE, 0);
    }
    reportBoxesSeen = static_cast<int>(answered.size());
    done = true;
  });
  host.failShow = true;
  // The menu's first command fails in the chat tools window: the report comes up.
  PostMessageA(frame_, WM_COMMAND, 60000, 0);
  ASSERT_TRUE(Until([&] { return done.load(); }));
  member.Join();
  EXPECT_EQ(reports, 1);
  EXPECT_EQ(reportBoxesSeen, 1);
  ASSERT_TRUE(clickedIntoBox);
  EXPECT_TRUE(typedLineWentOut) << "the typed line did not reach AOL while the report was up";
  EXPECT_TRUE(ticksRan) << "the timer did not tick while the report was up";
  EXPECT_EQ(ChatLines(), std::vector<std::string>{"/show"});
  EXPECT_FALSE(detachedDuringReport) << "a timer tick ran while the report was up";

  // Answered: the next ticks detach from the closed room and run the held command.
  ASSERT_TRUE(Until([&] { return host.shows == 2; }));
  EXPECT_EQ(chat->ChatEditWindow(), 0u);
  EXPECT_EQ(reports, 1);
}

// ---- the multi-line sender ----

// Records every value the progress bar is given, with the time and whether
// the chat box hook was off at that moment.
struct ProgressSpy {
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
    if (message == WM_USER + 100) {
      spy->values.push_back(static_cast<int>(wp));
      spy->ticks.push_back(GetTickCount64());
      spy->hookOff.push_back(spy->chat->ChatEditWindow() == 0);
    }
    return CallWindowProcA(spy->original, window, message, wp, lp);
  }
  static ProgressSpy* spy;
  ChatInterception* chat = nullptr;
  WNDPROC original = nullptr;
  std::vector<int> values;
  std::vector<ULONGLONG> ticks;
  std::vector<bool> hookOff;
};
ProgressSpy* ProgressSpy::spy = nullptr;

class Multiline : public ChatFader {
 protected:
  frmMultiline& Open(const std::string& text) {
    chat->EnableMultiline(box, 0, 0);
    frmMultiline& form = *chat->Multiline();
    form.SetChatText(text);
    spy.chat = chat.get();
    ProgressSpy::spy = &spy;
    spy.original = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(form.SSPanel1()->Window(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ProgressSpy::Proc)));
    return form;
  }
  ProgressSpy spy;
};

// The member moves to another room: the next tick hooks the new room's box,
// and what is typed there goes out faded. When the room changes again while
// the multi-line sender is sending, no line passes through a live hook (none
// is faded twice), and at the end the new room's box is hooked, shown and
// has the focus, so the member types on there, faded.
TEST_F(Multiline, RoomChangesReattachAndLeaveNoLineFadedTwice) {
  Attach();
  RunAOLCommand("chat:Upstairs");
  HWND second = Document("Upstairs");
  ASSERT_TRUE(second);
  HWND secondBox = WaitUntilFound([&] { return ChatInputBox(second); });
  ASSERT_TRUE(secondBox);
  ASSERT_TRUE(WaitUntilFound([&] { return FindChatRoom(mdi_, "AOL Child") == second; }));
  chat->Timer1_Timer();
  EXPECT_EQ(chat->ChatEditWindow(), HandleToULong(secondBox));
  ASSERT_NO_FATAL_FAILURE(MemberTypesLine(secondBox, "in the second room"));
  ASSERT_TRUE(Until([&] { return ChatLines().size() == 1; }));
  EXPECT_EQ(ChatLines()[0], Faded("in the second room"));

  LiveAppOptions().MultilineBurst = 0.5f;
  frmMultiline& form = Open("one\r\ntwo\r\nthree\r\nfour");
  HWND third = nullptr;
  {
    // After the first line the member goes to a third room, leaving the second.
    Ticking ticking(*chat, [&] {
      if (third || ChatCount() != 2) return;
      RunAOLCommand("chat:Garden");
      third = Document("Garden");
      WaitUntilFound([&] { return ChatInputBox(third); });
      SendMessageA(second, WM_CLOSE, 0, 0);
      WaitUntilFound([&] { return FindChatRoom(mdi_, "AOL Child") == third; });
      chat->Timer1_Timer();
    });
    form.SendMultiline("");
  }
  ASSERT_TRUE(third);
  HWND thirdBox = ChatInputBox(third);
  ASSERT_TRUE(Until([&] { return ChatLines().size() == 5; }));
  ASSERT_TRUE(CaughtUp());
  EXPECT_EQ(ChatLines(), (std::vector<std::string>{Faded("in the second room"), Faded("one "), Faded("two "),
                                                   Faded("three "), Faded("four ")}));
  EXPECT_EQ(Events("chat").back()[1], "Garden");
  EXPECT_EQ(chat->ChatEditWindow(), HandleToULong(thirdBox));
  EXPECT_TRUE(Until([&] { return wine_test::VisibleWithFocus(thirdBox); }))
      << "visible " << IsWindowVisible(thirdBox) << " focus " << wine_test::FocusInThreadOf(thirdBox) << " box "
      << thirdBox << " foreground " << GetForegroundWindow() << " frame " << frame_;

  ASSERT_NO_FATAL_FAILURE(MemberTypesLine(thirdBox, "typed on"));
  ASSERT_TRUE(Until([&] { return ChatLines().size() == 6; }));
  EXPECT_EQ(ChatLines()[5], Faded("typed on"));
}

// Enter in the text and the Send button, pressed again while the lines are
// going out, start no second send: each line goes out once.
TEST_F(Multiline, EnterOrSendWhileSendingStartsNoSecondSend) {
  Attach();
  LiveFadeSettings().FaderOn = kFalse;
  LiveAppOptions().MultilineBurst = 0.5f;
  frmMultiline& form = Open("");
  ASSERT_TRUE(wine_test::ClickIntoUntilFocused(form.txtChat(), [&](DWORD ms) { Until([] { return false; }, ms); }));
  wine_test::TypeKeys("first");
  wine_test::PressKey(VK_RETURN, true);
  wine_test::TypeKeys("second");
  ASSERT_TRUE(Until([&] { return form.ChatText() == "first\r\nsecond"; })) << form.ChatText();
  bool pressedAgain = false, focusedAtPress = false, sendingAtPress = false;
  Ticking ticking(*chat, [&] {
    if (pressedAgain || ChatCount() != 1) return;
    pressedAgain = true;
    sendingAtPress = form.Sending();
    focusedAtPress = GetFocus() == form.txtChat();
    wine_test::PressEnter();
    wine_test::ClickInto(GetDlgItem(form.hWnd(), 105));
  });
  wine_test::PressEnter();
  // Once the sender is gone and no key or click of the member waits for this
  // thread, nothing can start a second send; its lines would have reached the
  // client by the time the client has caught up.
  ASSERT_TRUE(Until([&] { return !form.IsLoaded() && HIWORD(GetQueueStatus(QS_INPUT)) == 0; }));
  ASSERT_TRUE(CaughtUp());
  EXPECT_TRUE(pressedAgain);
  EXPECT_TRUE(sendingAtPress);
  EXPECT_TRUE(focusedAtPress);
  EXPECT_EQ(ChatLines(), (std::vector<std::string>{"first ", "second "}));
}

TEST_F(Multiline, ThreeLinesGiveProgressAndABlankLineGoesOutAsNonBreakingSpace) {
  Attach();
  LiveFadeSettings().FaderOn = kFalse;
  frmMultiline& form = Open("one\r\n\r\nthree");
  form.SendMultiline("");
  EXPECT_EQ(spy.values, (std::vector<int>{0, 33, 66, 100}));
  EXPECT_EQ(spy.hookOff, (std::vector<bool>{true, true, true, true}));
  EXPECT_EQ(chat->ChatEditWindow(), HandleToULong(box));  // hooked again
  ASSERT_TRUE(Until([&] { return ChatLines().size() == 3; }));
  EXPECT_EQ(ChatLines(), (std::vector<std::string>{"one ", "\xA0", "three "}));
  EXPECT_EQ(form.ChatText(), "");
  EXPECT_EQ(GetAPIText(form.txtHidden(), kFalse), "");
}

TEST_F(Multiline, FadedLinesAreWrappedAtCharsInLine) {
  Attach();
  LiveAppOptions().CharsInLine = 20;
  std::string words;
  for (int i = 0; i < 12; ++i) words += "word" + std::to_string(i) + " ";
  frmMultiline& form = Open(words);
  form.SendMultiline("");
  ASSERT_TRUE(Until([&] { return ChatLines().size() >= 3; }));
  ASSERT_TRUE(CaughtUp());
  std::string joined;
  for (const std::string& line : ChatLines()) {
    EXPECT_NE(line.find("<FONT COLOR=#"), std::string::npos);
    std::string plain;
    for (std::size_t at = 0; at < line.size(); ++at) {
      if (line[at] == '<')
        at = line.find('>', at);
      else
        plain += line[at];
    }
    EXPECT_LE(plain.size(), 21u) << plain;  // the limit and the copy's closing blank
    joined += plain;
  }
  for (int i = 0; i < 12; ++i) EXPECT_NE(joined.find("word" + std::to_string(i)), std::string::npos);
}

TEST_F(Multiline, PlainLinesUpToEightyFourGoOutUnwrapped) {
  Attach();
  LiveFadeSettings().FaderOn = kFalse;
  const std::string eighty = std::string(39, 'w') + " " + std::string(40, 'i');
  frmMultiline& form = Open(eighty);
  // Wide enough for the whole line at first.
  form.SendMultiline("");
  ASSERT_TRUE(Until([&] { return !ChatLines().empty(); }));
  ASSERT_TRUE(CaughtUp());
  std::string joined;
  for (const std::string& line : ChatLines()) joined += line;
  EXPECT_EQ(ChatLines().size(), 1u) << joined;
}

TEST_F(Multiline, BurstWaitsBeforeEveryLineLettingEventsRun) {
  Attach();
  LiveFadeSettings().FaderOn = kFalse;
  LiveAppOptions().MultilineBurst = 1.5f;
  frmMultiline& form = Open("first\r\nsecond");
  // A timer of the test's own watches the room while the sender waits.
  static std::vector<ULONGLONG> seen;
  static ChatFader* self;
  seen.clear();
  self = this;
  static int ticks;
  ticks = 0;
  const UINT_PTR timer = SetTimer(nullptr, 0, 30, [](HWND, UINT, UINT_PTR, DWORD) {
    ++ticks;
    while (seen.size() < self->ChatCount()) seen.push_back(GetTickCount64());
  });
  form.SendMultiline("");
  Until([] { return seen.size() >= 2; });
  KillTimer(nullptr, timer);
  ASSERT_EQ(seen.size(), 2u);
  ASSERT_GE(spy.ticks.size(), 2u);
  const ULONGLONG firstWait = seen[0] - spy.ticks[0], secondWait = seen[1] - spy.ticks[1];
  std::printf("burst 1.5: line 1 after %llu ms, line 2 after %llu ms\n", firstWait, secondWait);
  EXPECT_GE(firstWait, 1000u);
  EXPECT_GE(secondWait, 1000u);
  EXPECT_GT(ticks, 20);  // events ran during the waits
}

TEST_F(Multiline, EnterSendsCtrlEnterBreaksTheLine) {
  Attach();
  LiveFadeSettings().FaderOn = kFalse;
  frmMultiline& form = Open("top");
  SendMessageA(form.txtChat(), EM_SETSEL, 3, 3);
  SendMessageA(form.txtChat(), WM_CHAR, '\n', 0);
  SendMessageA(form.txtChat(), WM_CHAR, 'x', 0);
  EXPECT_EQ(form.ChatText(), "top\r\nx");
  PostMessageA(form.txtChat(), WM_CHAR, '\r', 0);
  ASSERT_TRUE(Until([&] { return !form.IsLoaded(); }));
  ASSERT_TRUE(Until([&] { return ChatLines().size() == 2; }));
  EXPECT_EQ(ChatLines(), (std::vector<std::string>{"top ", "x "}));
}

TEST_F(Multiline, RememberedPositionIsPulledOntoTheScreen) {
  Attach();
  WriteSetting("ChatExtPos", "Top", "900000");
  WriteSetting("ChatExtPos", "Left", "-5000");
  frmMultiline& form = Open("");
  const int screenHeight = PixelsToTwipsY(GetSystemMetrics(SM_CYSCREEN));
  EXPECT_EQ(form.Left(), 0);
  EXPECT_LE(form.Top() + form.Height(), screenHeight + 15);
  EXPECT_GT(form.Top(), 0);
  DeleteSettingKey("ChatExtPos");
}

}  // namespace
}  // namespace glimra
