// The e-mail fader against the stand-in client: the chat tools timer brings
// the toolbar with a mail window and takes it away again; the fade button
// replaces the highlighted text in place, undo takes it back; the limits and
// messages; and what the clipboard holds afterwards.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "AolClientFixture.h"
#include "SettingsTestSupport.h"
#include "WineTestSupport.h"
#include "aol/modAOLFunctions.h"
#include "aol/modFindChild.h"
#include "chat/ChatInterception.h"
#include "chat/frmChatTools.h"
#include "engine/modFade.h"
#include "mail/MailFade.h"
#include "mail/frmEFade.h"
#include "mail/frmFadeMsg.h"
#include "runtime/ErrorReporting.h"
#include "runtime/EventPump.h"
#include "runtime/FormWindow.h"
#include "runtime/Forms.h"
#include "runtime/OutsideLibraries.h"
#include "settings/AppOptions.h"
#include "settings/modRegKeys.h"

namespace glimra {
namespace {

using wine_test::BackgroundStep;
using wine_test::WaitUntilFound;

constexpr char kMsgCaption[] = "Glimra - 1.1.9";
const UINT kAolMail = RegisterClipboardFormatA("AOLMAIL");

// The chat tools window's part in the timer: nothing but a window to host the watchers.
class TestHost : public FormWindow, public ChatToolsHost {
 public:
  TestHost() : FormWindow("frmChatTools", 3000, 1000) {}
  FormWindow& HostForm() override { return *this; }
  void ShowChatTools() override {}
  void HideChatTools() override {}
  bool ChatToolsVisible() override { return false; }
  void FadeOn() override {}
  void FadeOff() override {}
  void UnloadAll() override { UnloadAllForms(); }
};

void PutClipboard(const std::string& plain, const std::string& aolMail) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  for (const auto& [format, text] : {std::pair{static_cast<UINT>(CF_TEXT), plain}, {kAolMail, aolMail}}) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    std::memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
    GlobalUnlock(block);
    SetClipboardData(format, block);
  }
  CloseClipboard();
}

// The clipboard's text in `format`; "<none>" when it holds none.
std::string ClipboardText(UINT format) {
  std::string text = "<none>";
  if (!OpenClipboard(nullptr)) return "<closed>";
  if (HANDLE block = GetClipboardData(format)) {
    text = static_cast<const char*>(GlobalLock(block));
    GlobalUnlock(block);
  }
  CloseClipboard();
  return text;
}

// Presses OK on the formatted message box and returns its text.
std::string AnswerMessage() {
  HWND box = wine_test::WaitForReadyWindow("GlimraForm", kMsgCaption);
  if (!box) return "<no message>";
  const std::string text = wine_test::WindowText(GetDlgItem(box, 100));
  wine_test::ClickMiddle(GetDlgItem(box, 200));
  return text;
}

std::string Faded(std::string text) { return FadeEngine(text); }

class MailFader : public wine_test::AolClientFixture {
 protected:
  void SetUp() override {
    wine_test::DeleteGlimraTree();
    VersionText() = "1.1.9";
    ClientState() = AOLClientState{};
    LastMailWindow() = nullptr;
    ChatToolsShown() = kFalse;
    AppOptions& options = LiveAppOptions();
    options = AppOptions{};
    options.ShowEFToolbar = kTrue;
    FadeSettings& fade = LiveFadeSettings();
    fade = FadeSettings{};
    fade.FadeNumber = 2;
    fade.Colors[1] = 0x0000FF;
    fade.Colors[2] = 0xFF0000;
    CurrentErrorEnvironment() = ErrorEnvironment{[](const ErrorReport&) -> std::int16_t { return kAnswerIgnore; },
                                                 [] { UnloadAllForms(); }, [] { throw EndProgramNow{}; }};
  }

  void TearDown() override {
    chat.reset();
    UnloadAllForms();
    AolClientFixture::TearDown();
    wine_test::DeleteGlimraTree();
  }

  // The client signed on with nothing open, and the timer's watchers ready.
  void StartClient() {
    Start("Version=4\r\nScreenNames=Zolster\r\n");
    ClientState().AOLFrame = reinterpret_cast<std::uintptr_t>(frame_);
    ClientState().AOLMDIClient = reinterpret_cast<std::uintptr_t>(mdi_);
    ClientState().AOLVersion = "4";
    LiveAppOptions().AOLPath = folder_;
    // The toolbar's icons come a moment after the toolbar itself.
    HWND bar = FindWindowExA(FindWindowExA(frame_, nullptr, "AOL Toolbar", nullptr), nullptr, "_AOL_Toolbar", nullptr);
    ASSERT_TRUE(WaitUntilFound([&] { return FindChildByClass(bar, "_AOL_ICON", 2); }));
    host.Load();
    chat = std::make_unique<ChatInterception>(host, SystemSubClassFactory());
  }

  // A Write Mail window holding `text`, the toolbar attached to it by a tick.
  HWND MailWith(const std::string& text) {
    HWND mail = OpenEMail();
    EXPECT_NE(mail, nullptr);
    // Found while the client still makes it: its controls are in once the client takes messages again.
    EXPECT_TRUE(wine_test::Answers(mail));
    body = FindChildByClass(mail, "RICHCNTL");
    SendMessageA(body, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    chat->Timer1_Timer();
    return mail;
  }

  void Highlight(const std::string& text, const std::string& part) {
    const auto at = static_cast<WPARAM>(text.find(part));
    SendMessageA(body, EM_SETSEL, at, at + part.size());
  }

  // The body as the member sees it: its content written back as markup.
  std::string BodyMarkup() {
    const std::size_t before = Events("markup").size();
    SendMessageA(body, RegisterWindowMessageA("WaolLogMarkup"), 0, 0);
    WaitUntilFound([&] { return Events("markup").size() > before; });
    const auto events = Events("markup");
    return events.size() > before ? events.back()[2] : "<nothing logged>";
  }

  std::vector<std::string> Pasted() {
    std::vector<std::string> markups;
    for (const auto& event : Events("mailpaste")) markups.push_back(event[2]);
    return markups;
  }

  TestHost host;
  std::unique_ptr<ChatInterception> chat;
  HWND body = nullptr;
};

TEST_F(MailFader, ToolbarComesWithAMailWindowAndGoesWithIt) {
  ASSERT_NO_FATAL_FAILURE(StartClient());
  chat->Timer1_Timer();
  EXPECT_FALSE(EFade().IsLoaded());

  HWND mail = MailWith("");
  frmEFade& toolbar = EFade();
  ASSERT_TRUE(toolbar.Visible());
  EXPECT_EQ(LastMailWindow(), mail);
  EXPECT_EQ(chat->MailToolbarShown, kTrue);
  EXPECT_EQ(GetWindow(toolbar.hWnd(), GW_OWNER), frame_);
  EXPECT_TRUE(GetWindowLongA(toolbar.hWnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_NE(GetForegroundWindow(), toolbar.hWnd());
  EXPECT_EQ(toolbar.ToolTipText(frmEFade::kCmdFade), "Apply Fade");
  EXPECT_EQ(toolbar.ToolTipText(frmEFade::kCmdUndo), "Undo Changes");
  EXPECT_EQ(toolbar.ToolTipText(frmEFade::kCmdCP), "Fade Designer/Control panel");
  // As wide as the row of buttons and 110 twips; centred with no stored place.
  RECT cp{};
  GetWindowRect(toolbar.Button(frmEFade::kCmdCP).Window(), &cp);
  MapWindowPoints(nullptr, toolbar.hWnd(), reinterpret_cast<POINT*>(&cp), 2);
  EXPECT_NEAR(toolbar.Width(), PixelsToTwipsX(cp.right) + 110, 15);
  EXPECT_NEAR(toolbar.Left(), (PixelsToTwipsX(GetSystemMetrics(SM_CXSCREEN)) - toolbar.Width()) / 2, 15);

  SendMessageA(mail, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitUntilFound([&] { return !IsWindow(mail); }));
  chat->Timer1_Timer();
  EXPECT_FALSE(toolbar.IsLoaded());
  EXPECT_EQ(LastMailWindow(), nullptr);

  // A stored place off the screen is pulled back onto it.
  WriteSetting("E-Fade", "Top", "900000");
  WriteSetting("E-Fade", "Left", "-5000");
  MailWith("");
  ASSERT_TRUE(toolbar.Visible());
  EXPECT_EQ(toolbar.Left(), 0);
  EXPECT_LE(toolbar.Top() + toolbar.Height(), PixelsToTwipsY(GetSystemMetrics(SM_CYSCREEN)) + 15);

  // Its buttons: the control panel shows the chat tools as the member's own; exit unloads.
  ChatToolsShown() = kTrue;
  toolbar.cmdCP_Click();
  EXPECT_TRUE(ChatTools().Visible());
  EXPECT_EQ(ChatToolsShown(), kFalse);
  toolbar.cmdExit_Click();
  EXPECT_FALSE(toolbar.IsLoaded());
}

TEST_F(MailFader, NoToolbarWhenTheOptionIsOff) {
  LiveAppOptions().ShowEFToolbar = kFalse;
  ASSERT_NO_FATAL_FAILURE(StartClient());
  MailWith("");
  EXPECT_FALSE(EFade().IsLoaded());
  EXPECT_EQ(LastMailWindow(), nullptr);
}

TEST_F(MailFader, HighlightedSentenceIsFadedInPlaceAndUndoBringsItBack) {
  ASSERT_NO_FATAL_FAILURE(StartClient());
  const std::string text = "Dear Zol, Glimra fades this sentence. Bye!";
  const std::string sentence = "Glimra fades this sentence.";
  MailWith(text);
  const std::string plainBody = BodyMarkup();
  ASSERT_EQ(plainBody, "<FONT COLOR=#000000>" + text);
  Highlight(text, sentence);
  PutClipboard("the member's own words", "<B>a mail the member copied</B>");

  EFade().cmdFade_Click();
  const std::string faded = Faded(sentence);
  ASSERT_EQ(Pasted(), std::vector<std::string>{faded});
  const std::string shown = BodyMarkup();
  EXPECT_EQ(shown.find("<FONT COLOR=#000000>Dear Zol, "), 0u) << shown;
  EXPECT_NE(shown.find(faded + "<FONT COLOR=#000000> Bye!"), std::string::npos) << shown;
  EXPECT_EQ(wine_test::WindowText(body), text);
  // The clipboard holds what it held before, both formats.
  EXPECT_EQ(ClipboardText(CF_TEXT), "the member's own words");
  EXPECT_EQ(ClipboardText(kAolMail), "<B>a mail the member copied</B>");
  EXPECT_FALSE(FadeMsg().Visible());
  EXPECT_EQ(FadeMsg().lblMsg(), "Please wait while Glimra applies the fade to your E-Mail");

  EFade().cmdUndo_Click();
  EXPECT_EQ(BodyMarkup(), plainBody);
}

TEST_F(MailFader, ThirtyThousandCharactersFadeOneMoreIsTooLong) {
  ASSERT_NO_FATAL_FAILURE(StartClient());
  // Words far apart: every character counts, only the words take tags.
  std::string text;
  for (int i = 0; text.size() < 30001; ++i) text += "word" + std::to_string(i % 10) + std::string(45, ' ');
  text.resize(30001);
  MailWith(text);

  SendMessageA(body, EM_SETSEL, 0, 30000);
  EFade().cmdFade_Click();
  ASSERT_EQ(Pasted().size(), 1u);
  EXPECT_EQ(Pasted()[0], Faded(text.substr(0, 30000)));

  SendMessageA(body, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  SendMessageA(body, EM_SETSEL, 0, -1);
  PutClipboard("kept text", "kept mail");
  std::string told;
  {
    BackgroundStep member([&] { told = AnswerMessage(); });
    EFade().cmdFade_Click();
  }
  EXPECT_NE(told.find("Message too long!"), std::string::npos) << told;
  EXPECT_NE(told.find("up to 30000 characters"), std::string::npos) << told;
  EXPECT_EQ(Pasted().size(), 1u);
  EXPECT_EQ(SendMessageA(body, WM_GETTEXTLENGTH, 0, 0), 30001);
  EXPECT_EQ(ClipboardText(CF_TEXT), "kept text");
  EXPECT_EQ(ClipboardText(kAolMail), "kept mail");
}

// Thirty thousand characters with no blank between them, markup characters
// among them: each takes its own tag, and the body shows them all again.
TEST_F(MailFader, ADenseThirtyThousandCharactersFadeWhole) {
  ASSERT_NO_FATAL_FAILURE(StartClient());
  std::string text;
  for (int i = 0; text.size() < 30000; ++i) text += "a<b&c>d" + std::to_string(i % 10);
  text.resize(30000);
  MailWith(text);
  SendMessageA(body, EM_SETSEL, 0, -1);
  EFade().cmdFade_Click();
  ASSERT_EQ(Pasted().size(), 1u);
  EXPECT_EQ(Pasted()[0], FadeMailText(text));
  std::string shown(40000, '\0');
  shown.resize(
      static_cast<std::size_t>(SendMessageA(body, WM_GETTEXT, shown.size(), reinterpret_cast<LPARAM>(shown.data()))));
  EXPECT_EQ(shown, text);
}

TEST_F(MailFader, BlanksOnlyGiveNoTextFoundAndTheClipboardStays) {
  ASSERT_NO_FATAL_FAILURE(StartClient());
  const std::string text = "Before     after";
  MailWith(text);
  Highlight(text, "     ");
  PutClipboard("the member's own words", "<I>kept</I>");
  std::string told;
  {
    BackgroundStep member([&] { told = AnswerMessage(); });
    EFade().cmdFade_Click();
  }
  EXPECT_NE(told.find("No text found!"), std::string::npos) << told;
  EXPECT_NE(told.find("Please highlight the text you would like faded"), std::string::npos) << told;
  EXPECT_TRUE(Pasted().empty());
  EXPECT_EQ(wine_test::WindowText(body), text);
  EXPECT_EQ(ClipboardText(CF_TEXT), "the member's own words");
  EXPECT_EQ(ClipboardText(kAolMail), "<I>kept</I>");
}

TEST_F(MailFader, FadeGoesToTheLastMailWindowWithAnotherWindowInFront) {
  ASSERT_NO_FATAL_FAILURE(StartClient());
  const std::string text = "Faded even from behind.";
  HWND mail = MailWith(text);
  Highlight(text, "even");
  RunAOLCommand("chat:Lobby");
  HWND room = WaitUntilFound([&] { return FindWindowExA(mdi_, nullptr, "AOL Child", "Lobby"); });
  ASSERT_TRUE(room);
  ASSERT_TRUE(WaitUntilFound([&] { return GetTopWindow(mdi_) == room; }));
  chat->Timer1_Timer();
  EXPECT_EQ(LastMailWindow(), mail);

  EFade().cmdFade_Click();
  const auto pastes = Events("mailpaste");
  ASSERT_EQ(pastes.size(), 1u);
  EXPECT_EQ(pastes[0][1], "Write Mail");
  EXPECT_EQ(pastes[0][2], Faded("even"));
}

TEST_F(MailFader, WhatTheMemberWroteComesBackAsWrittenInOneColourAndOverSeveralLines) {
  ASSERT_NO_FATAL_FAILURE(StartClient());
  LiveFadeSettings().FadeNumber = 1;  // one tag, then the text itself
  const std::string text = "Mail me at <zol@example.com> & smile, if a<b and c>d";
  MailWith(text);
  SendMessageA(body, EM_SETSEL, 0, -1);
  EFade().cmdFade_Click();
  ASSERT_EQ(Pasted().size(), 1u);
  EXPECT_EQ(wine_test::WindowText(body), text);

  LiveFadeSettings().FadeNumber = 2;
  SendMessageA(body, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("first line\r\nsecond line"));
  const std::string lines = wine_test::WindowText(body);
  SendMessageA(body, EM_SETSEL, 0, -1);
  EFade().cmdFade_Click();
  ASSERT_EQ(Pasted().size(), 2u);
  EXPECT_EQ(wine_test::WindowText(body), lines) << "a line break became two";
  EXPECT_EQ(SendMessageA(body, EM_GETLINECOUNT, 0, 0), 2);
}

// The fade button's face, clicked again from a timer once the fade shows its notice.
HWND g_fadeFace = nullptr;
void CALLBACK ClickAgainWhileFading(HWND, UINT, UINT_PTR timer, DWORD) {
  if (!IsWindowVisible(FadeMsg().hWnd())) return;
  KillTimer(nullptr, timer);
  wine_test::ClickMiddle(g_fadeFace);
}

// The member clicks the fade button again while the fade runs (its pause
// lets the click in): the sentence is faded and pasted once.
TEST_F(MailFader, AClickWhileAFadeRunsFadesNothingMore) {
  ASSERT_NO_FATAL_FAILURE(StartClient());
  const std::string text = "Clicked twice, faded once.";
  MailWith(text);
  Highlight(text, "faded once");
  g_fadeFace = GetDlgItem(EFade().hWnd(), frmEFade::kCmdFade);
  ASSERT_TRUE(g_fadeFace);
  const UINT_PTR timer = SetTimer(nullptr, 0, 10, &ClickAgainWhileFading);
  wine_test::ClickMiddle(g_fadeFace);
  ASSERT_TRUE(PumpUntil([&] { return !Pasted().empty() && !FadeMsg().Visible(); }, 30000));
  KillTimer(nullptr, timer);
  DoEvents();
  EXPECT_EQ(Pasted(), std::vector<std::string>{Faded("faded once")});
  EXPECT_EQ(wine_test::WindowText(body), text);
}

// The member's picture stays on the clipboard through a fade; with only a
// caret in the body there is nothing to fade, and the picture is not pasted.
TEST_F(MailFader, APictureOnTheClipboardStaysAndACaretAloneFadesNothing) {
  ASSERT_NO_FATAL_FAILURE(StartClient());
  const std::string text = "A picture waits on the clipboard.";
  MailWith(text);
  Highlight(text, "picture");
  ASSERT_TRUE(wine_test::PutClipboardPicture(7, 5));
  EFade().cmdFade_Click();
  ASSERT_EQ(Pasted(), std::vector<std::string>{Faded("picture")});
  EXPECT_TRUE(wine_test::ClipboardHoldsPicture(7, 5));

  SendMessageA(body, EM_SETSEL, 3, 3);
  PutClipboard("the member's own words", "<B>own mail</B>");
  std::string told;
  {
    BackgroundStep member([&] { told = AnswerMessage(); });
    EFade().cmdFade_Click();
  }
  EXPECT_NE(told.find("No text found!"), std::string::npos) << told;
  EXPECT_EQ(Pasted().size(), 1u) << "the member's own clipboard went into the mail";
  EXPECT_EQ(wine_test::WindowText(body), text);
  EXPECT_EQ(ClipboardText(CF_TEXT), "the member's own words");
}

// Another program holds the clipboard open all the while (a clipboard
// manager that hangs): the member is told, and the mail and the clipboard
// stay as they were.
TEST_F(MailFader, ALockedClipboardLeavesTheMailAndTheClipboardAsTheyWere) {
  ASSERT_NO_FATAL_FAILURE(StartClient());
  const std::string text = "Nothing changes while the clipboard is held.";
  MailWith(text);
  Highlight(text, "Nothing changes");
  const std::string before = BodyMarkup();
  PutClipboard("the member's own words", "<I>kept</I>");
  std::string told;
  {
    wine_test::ClipboardHolder other;
    ASSERT_TRUE(other.Holding()) << "the other program could not open the clipboard";
    BackgroundStep member([&] { told = AnswerMessage(); });
    EFade().cmdFade_Click();
  }
  EXPECT_NE(told.find("The clipboard is busy!"), std::string::npos) << told;
  EXPECT_TRUE(Pasted().empty());
  EXPECT_EQ(BodyMarkup(), before);
  EXPECT_EQ(ClipboardText(CF_TEXT), "the member's own words");
  EXPECT_EQ(ClipboardText(kAolMail), "<I>kept</I>");
}

// Two mails open: the fade and its undo go to the one in front, and the
// other one's closing changes nothing for them.
TEST_F(MailFader, FadeAndUndoWorkOnTheMailInFront) {
  ASSERT_NO_FATAL_FAILURE(StartClient());
  const std::string first = "The first mail stays as written.", second = "The second mail is faded.";
  HWND older = MailWith(first);
  HWND olderBody = body;
  const std::string olderMarkup = BodyMarkup();
  MailWith(second);
  ASSERT_TRUE(WaitUntilFound([&] { return GetTopWindow(mdi_) != older; }));
  chat->Timer1_Timer();
  const std::string plain = BodyMarkup();

  Highlight(second, "faded");
  EFade().cmdFade_Click();
  ASSERT_EQ(Pasted(), std::vector<std::string>{Faded("faded")});
  EXPECT_NE(BodyMarkup(), plain);
  EFade().cmdUndo_Click();
  EXPECT_EQ(BodyMarkup(), plain);
  std::swap(body, olderBody);
  EXPECT_EQ(BodyMarkup(), olderMarkup) << "the undo changed the other mail";
  std::swap(body, olderBody);
  // Undo takes back its own fade once: a second one leaves the mail alone.
  EFade().cmdUndo_Click();
  EXPECT_EQ(BodyMarkup(), plain);

  SendMessageA(older, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitUntilFound([&] { return !IsWindow(older); }));
  chat->Timer1_Timer();
  Highlight(second, "second");
  EFade().cmdFade_Click();
  ASSERT_EQ(Pasted().size(), 2u) << "no fade once the other mail had gone";
  EXPECT_EQ(Pasted()[1], Faded("second"));
  EFade().cmdUndo_Click();
  EXPECT_EQ(BodyMarkup(), plain);
}

}  // namespace
}  // namespace glimra
