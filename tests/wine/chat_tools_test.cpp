// The chat tools window in this process: its controls change the live fade
// settings and the settings tree, it collapses and expands, saves, replaces
// and deletes schemes, and draws its preview strip.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "AolClientFixture.h"
#include "MemberInput.h"
#include "SettingsTestSupport.h"
#include "WineTestSupport.h"
#include "aol/AOLClientState.h"
#include "chat/ChatInterception.h"
#include "chat/frmChatTools.h"
#include "engine/PreviewDrawing.h"
#include "runtime/ErrorReporting.h"
#include "runtime/EventPump.h"
#include "runtime/FormWindow.h"
#include "settings/AppOptions.h"
#include "settings/modRegKeys.h"

namespace glimra {
namespace {

using wine_test::BackgroundStep;
using Tools = frmChatTools;

constexpr char kMsgCaption[] = "Glimra - 1.1.9";

void PutScheme(const std::string& name, int count, const std::string& bold = "False") {
  const std::string key = "Schemes\\" + name;
  WriteSetting(key, "Fade Number", std::to_string(count));
  for (const char* colour : {"One", "Two", "Three", "Four", "Five", "Six"}) WriteSetting(key, colour, "255");
  for (const char* style : {"Wavy", "Italic", "ULine"}) WriteSetting(key, style, "False");
  WriteSetting(key, "Bold", bold);
}

// Answers the formatted message box with its button `index` (0 the
// rightmost) and returns the message.
std::string AnswerMessage(int index) {
  HWND box = wine_test::WaitForReadyWindow("GlimraForm", kMsgCaption);
  if (!box) return "<no message>";
  const std::string text = wine_test::WindowText(GetDlgItem(box, 100));
  wine_test::ClickMiddle(GetDlgItem(box, 200 + index));
  return text;
}

// Types `name` into the input box and presses OK.
void AnswerInputBox(const std::string& name) {
  HWND box = wine_test::WaitForReadyWindow("GlimraForm", "Glimra");
  if (!box) return;
  SetDlgItemTextA(box, 1, name.c_str());
  wine_test::ClickMiddle(GetDlgItem(box, 2));
}

class ChatToolsWin : public ::testing::Test {
 protected:
  void SetUp() override {
    wine_test::DeleteGlimraTree();
    VersionText() = "1.1.9";
    LiveFadeSettings() = FadeSettings{};
    LiveFadeSettings().Colors[1] = 0x000000;
    LiveFadeSettings().Colors[2] = 0xFFFFFF;
    LiveAppOptions() = AppOptions{};
    ChatRoomWindow() = nullptr;
  }
  void TearDown() override {
    tools.Unload();
    wine_test::DeleteGlimraTree();
  }
  // The posted click and all it sets off run before this returns.
  void Click(UINT id) {
    wine_test::ClickMiddle(tools.Button(id).Window());
    DoEvents();
  }
  Tools tools;
};

TEST_F(ChatToolsWin, NoSchemesKeyGivesAnEmptyListWithoutAMessage) {
  tools.Load();  // a message box would wait here for an answer
  EXPECT_EQ(SendMessageA(tools.cboSchemes(), CB_GETCOUNT, 0, 0), 0);
  EXPECT_EQ(FindWindowA("GlimraForm", kMsgCaption), nullptr);
}

TEST_F(ChatToolsWin, ThreeColoursShowThreeButtonsAndAreStored) {
  tools.Load();
  tools.Show();
  Click(Tools::kOpt1Fade + 2);
  for (int k = 1; k <= 6; ++k) EXPECT_EQ(IsWindowVisible(tools.cmdColor(k)) != FALSE, k <= 3) << k;
  EXPECT_EQ(ReadSetting("Colors", "Fade Number"), "3");
  EXPECT_EQ(LiveFadeSettings().FadeNumber, 3);
  EXPECT_EQ(tools.ColorCount, 3);
}

TEST_F(ChatToolsWin, BoldIsStoredAndShownPressedAfterARestart) {
  tools.Load();
  tools.Show();
  Click(Tools::kOptBold);
  EXPECT_EQ(ReadSetting("Style", "Bold"), "True");
  EXPECT_EQ(LiveFadeSettings().Bold, kTrue);
  tools.Unload();
  LiveFadeSettings() = FadeSettings{};
  LoadOptions();
  tools.Load();
  EXPECT_TRUE(tools.Button(Tools::kOptBold).GetBool(L"Value"));
  EXPECT_FALSE(tools.Button(Tools::kOptItalic).GetBool(L"Value"));
}

TEST_F(ChatToolsWin, FaderSwitchAndSolidModeAreStored) {
  tools.Load();
  Click(Tools::kOptOn);
  EXPECT_EQ(LiveFadeSettings().FaderOn, kTrue);
  EXPECT_EQ(ReadSetting("", "Fader On"), "True");
  Click(Tools::kOptOff);
  EXPECT_EQ(ReadSetting("", "Fader On"), "False");
  tools.Show();
  wine_test::ClickMiddle(tools.chkSolid());
  DoEvents();
  EXPECT_EQ(LiveFadeSettings().SolidFade, kTrue);
  EXPECT_EQ(ReadSetting("Colors", "SolidFade"), "True");
}

// Heights come back in whole pixels: at 120 dpi 990 twips are 82 pixels, 984 twips.
void ExpectHeight(const Tools& tools, int twips) {
  EXPECT_NEAR(tools.Height(), twips, TwipsPerPixelY() - 1) << "twips per pixel: " << TwipsPerPixelY();
}

TEST_F(ChatToolsWin, LoadsCollapsedUnlessStoredExpandedAndRemembersTheState) {
  tools.Load();
  ExpectHeight(tools, Tools::kMinHeight);
  EXPECT_FALSE(tools.Line1Visible());
  EXPECT_EQ(tools.MinToolTip(), "Show Options");
  tools.cmdMin_Click();
  ExpectHeight(tools, Tools::kMaxHeight);
  EXPECT_TRUE(tools.Line1Visible());
  EXPECT_EQ(tools.MinToolTip(), "Close Options");
  EXPECT_EQ(ReadSetting("", "State"), "Max");
  tools.Unload();
  tools.Load();
  ExpectHeight(tools, Tools::kMaxHeight);
  // The same button collapses it again, at any screen resolution.
  tools.cmdMin_Click();
  ExpectHeight(tools, Tools::kMinHeight);
  EXPECT_FALSE(tools.Line1Visible());
  EXPECT_EQ(ReadSetting("", "State"), "Min");
}

TEST_F(ChatToolsWin, StoredPositionPartlyOffTheScreenIsPulledBack) {
  WriteSetting("", "Top", "-3000");
  WriteSetting("", "Left", "-600");
  tools.Load();
  EXPECT_EQ(tools.Top(), 0);
  EXPECT_EQ(tools.Left(), 0);
}

TEST_F(ChatToolsWin, SavingOverANameDifferingInCaseAsksAndNoWritesNothing) {
  PutScheme("Cool", 5);
  tools.Load();
  std::string asked;
  BackgroundStep member([&] {
    AnswerInputBox("COOL");
    asked = AnswerMessage(0);  // No
  });
  tools.cmdSave_Click();
  member.Join();
  EXPECT_EQ(asked, "The Scheme ~B~CBCOOL~B~CN already exists.~N ~NDo you wish to replace it with these new settings?");
  EXPECT_EQ(ReadSetting("Schemes\\Cool", "Fade Number"), "5");
  EXPECT_EQ(SendMessageA(tools.cboSchemes(), CB_GETCOUNT, 0, 0), 1);
}

TEST_F(ChatToolsWin, SavingOverAFiveColourSchemeWithTwoKeepsTheOldColours) {
  PutScheme("Cool", 5);
  WriteSetting("Schemes\\Cool", "Three", "333");
  tools.Load();
  tools.ColorCount = 2;
  BackgroundStep member([&] {
    AnswerInputBox("cool");
    AnswerMessage(1);  // Yes
  });
  tools.cmdSave_Click();
  member.Join();
  EXPECT_EQ(ReadSetting("Schemes\\Cool", "Fade Number"), "2");
  EXPECT_EQ(ReadSetting("Schemes\\Cool", "Two"), std::to_string(tools.ColorButtonBack(2)));
  EXPECT_EQ(ReadSetting("Schemes\\Cool", "Three"), "333");
}

TEST_F(ChatToolsWin, AnUnsafeNameIsExplainedAndNothingIsSaved) {
  tools.Load();
  std::string told;
  BackgroundStep member([&] {
    AnswerInputBox("..\\Options");
    told = AnswerMessage(0);
  });
  tools.cmdSave_Click();
  member.Join();
  EXPECT_NE(told.find("cannot be used"), std::string::npos) << told;
  EXPECT_NE(told.find("cannot contain"), std::string::npos) << told;
  EXPECT_EQ(SendMessageA(tools.cboSchemes(), CB_GETCOUNT, 0, 0), 0);
  EXPECT_EQ(ReadSetting("Options", "Fade Number"), "");
}

TEST_F(ChatToolsWin, ANewSchemeIsAddedSelectedAndWritten) {
  WriteSetting("Schemes", "Default", "Old");
  tools.Load();
  BackgroundStep member([&] { AnswerInputBox("Sunset"); });
  tools.cmdSave_Click();
  member.Join();
  EXPECT_EQ(tools.SchemeText(), "Sunset");
  EXPECT_EQ(ReadSetting("Schemes\\Sunset", "Fade Number"), "2");
  EXPECT_EQ(ReadSetting("Schemes\\Sunset", "One"), "0");
  EXPECT_EQ(ReadSetting("Schemes\\Sunset", "Two"), "16777215");
  EXPECT_EQ(ReadSetting("Schemes\\Sunset", "Bold"), "False");
  EXPECT_EQ(ReadSetting("Schemes", "Default"), "Old");  // saving does not make it current
}

TEST_F(ChatToolsWin, ANewNameThatBeginsAnotherIsSavedUnderItselfAndTheOtherIsKept) {
  PutScheme("Blue", 5);
  tools.Load();
  tools.ColorCount = 3;
  BackgroundStep member([&] { AnswerInputBox("Blu"); });
  tools.cmdSave_Click();
  member.Join();
  EXPECT_EQ(tools.SchemeText(), "Blu");
  EXPECT_EQ(ReadSetting("Schemes\\Blu", "Fade Number"), "3");
  EXPECT_EQ(ReadSetting("Schemes\\Blue", "Fade Number"), "5");
  EXPECT_EQ(SendMessageA(tools.cboSchemes(), CB_GETCOUNT, 0, 0), 2);
}

TEST_F(ChatToolsWin, SelectingASchemeAppliesItAndDeletingTheOnlyOneEmptiesTheList) {
  PutScheme("Only", 4, "True");
  LiveAppOptions().CurrentScheme = "only";
  tools.Load();
  EXPECT_EQ(tools.SchemeText(), "Only");
  EXPECT_EQ(tools.ColorCount, 4);
  EXPECT_EQ(LiveFadeSettings().Bold, kTrue);
  EXPECT_EQ(LiveFadeSettings().Colors[3], 255);
  EXPECT_EQ(ReadSetting("Style", "Bold"), "True");
  EXPECT_EQ(ReadSetting("Schemes", "Default"), "Only");
  std::string asked;
  BackgroundStep member([&] { asked = AnswerMessage(1); });  // Yes
  tools.cmdDel_Click();
  member.Join();
  EXPECT_EQ(asked, "Are you sure you want to delete the scheme ~B~CBOnly~B~CN from your scheme queue?");
  EXPECT_EQ(SendMessageA(tools.cboSchemes(), CB_GETCOUNT, 0, 0), 0);
  EXPECT_EQ(SendMessageA(tools.cboSchemes(), CB_GETCURSEL, 0, 0), CB_ERR);
  EXPECT_EQ(tools.SchemeText(), "");
  EXPECT_EQ(ReadSetting("Schemes\\Only", "Fade Number"), "");
}

TEST_F(ChatToolsWin, ACancelledColourChoiceStillWritesTheColour) {
  LiveFadeSettings().Colors[2] = 0x123456;
  tools.Load();
  BackgroundStep member([] {
    if (HWND dialog = wine_test::WaitForReadyWindow("#32770", nullptr))
      SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  });
  tools.cmdColor_Click(2);
  member.Join();
  EXPECT_EQ(ReadSetting("Colors", "Two"), std::to_string(0x123456));
  EXPECT_EQ(LiveFadeSettings().Colors[2], 0x123456);
}

// The colour choosers of this process on the screen.
std::vector<HWND> VisibleChoosers() {
  std::vector<HWND> found;
  EnumWindows(
      [](HWND window, LPARAM list) -> BOOL {
        char className[16] = {};
        GetClassNameA(window, className, sizeof className);
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (std::string(className) == "#32770" && process == GetCurrentProcessId() && IsWindowVisible(window))
          reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

TEST_F(ChatToolsWin, TheColourChooserBelongsToTheWindowSoASecondOneCannotOpen) {
  LiveFadeSettings().Colors[2] = 0x123456;
  tools.Load();
  tools.Show();
  HWND owner = nullptr;
  bool toolsEnabled = true, done = false;
  std::size_t choosersAfterSecondClick = 0;
  wine_test::InputMark mark;  // on this thread, which owns the window and the chooser
  BackgroundStep member([&] {
    HWND chooser = nullptr;
    if (wine_test::WaitUntilReady(tools.cmdColor(2))) {
      wine_test::ClickCentre(tools.cmdColor(2));
      chooser = wine_test::WaitForReadyWindow("#32770", nullptr);
    }
    if (chooser) {
      owner = GetWindow(chooser, GW_OWNER);
      toolsEnabled = IsWindowEnabled(tools.hWnd()) != FALSE;
      // The chooser is dragged out of the way and the member clicks the first colour.
      RECT below{};
      GetWindowRect(tools.hWnd(), &below);
      SetWindowPos(chooser, nullptr, 0, below.bottom + 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
      wine_test::ClickCentre(tools.cmdColor(1));
      // Whatever that click opens, it has opened once the window's thread has taken the input after it.
      if (mark.WaitUntilInputTaken() && wine_test::WaitUntilReady(chooser))
        choosersAfterSecondClick = VisibleChoosers().size();
    }
    // Every chooser still up is cancelled.
    while (!VisibleChoosers().empty()) {
      HWND open = VisibleChoosers().back();
      PostMessageA(open, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
      if (!wine_test::WaitUntil([&] { return !IsWindow(open) || !IsWindowVisible(open); })) break;
    }
    done = true;
  });
  PumpUntil([&] { return done; }, 3 * wine_test::kPatienceMs, 50);
  member.Join();
  EXPECT_EQ(owner, tools.hWnd());
  EXPECT_FALSE(toolsEnabled);
  EXPECT_EQ(choosersAfterSecondClick, 1u);
  EXPECT_TRUE(IsWindowEnabled(tools.hWnd()));
  EXPECT_EQ(LiveFadeSettings().Colors[2], 0x123456);
}

class ChatToolsOwnerWin : public wine_test::AolClientFixture {
 protected:
  void TearDown() override {
    tools.Unload();
    AolClientFixture::TearDown();
  }
  Tools tools;
};

TEST_F(ChatToolsOwnerWin, TheAolMainWindowOwnsTheWindow) {
  Start("Version=4\r\n");
  ClientState().AOLFrame = reinterpret_cast<std::uintptr_t>(frame_);
  tools.Load();
  EXPECT_EQ(GetWindow(tools.hWnd(), GW_OWNER), frame_);
}

// Timer1 runs from the window's creation: a load that takes longer than its
// interval ends with a tick already due. Ticks that a wait inside the load
// lets through do not reach the attachment of a half-built window.
TEST_F(ChatToolsWin, TimerRunsFromCreationAndTicksWaitForTheCompleteWindow) {
  const ChatToolsHooks saved = ChatToolsExtensions();
  int ticks = 0, ticksWhileLoading = 0;
  bool comboDuringTick = true;
  ChatToolsExtensions().timer = [&](frmChatTools& form) {
    ++ticks;
    comboDuringTick = comboDuringTick && IsWindow(form.cboSchemes());
  };
  // The load takes two intervals: a tick comes due and is let through with
  // events running, then the next comes due while no events run.
  const auto letATickThrough = [](HWND window) {
    const ULONGLONG deadline = GetTickCount64() + wine_test::kPatienceMs;
    while (GetTickCount64() < deadline) {
      MSG message;
      if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        continue;
      }
      TranslateMessage(&message);
      DispatchMessageA(&message);
      if (message.message == WM_TIMER && message.hwnd == window) return true;
    }
    return false;
  };
  const auto tickDue = [](HWND window) {
    MSG due{};
    return PeekMessageA(&due, window, WM_TIMER, WM_TIMER, PM_NOREMOVE) != FALSE;
  };
  bool tickLetThrough = false, nextTickCameDue = false;
  ChatToolsExtensions().attach = [&](frmChatTools& form) {
    tickLetThrough = letATickThrough(form.hWnd());
    ticksWhileLoading = ticks;
    nextTickCameDue = wine_test::WaitUntil([&] { return tickDue(form.hWnd()); });
  };
  ChatToolsExtensions().unload = nullptr;
  tools.Load();
  MSG due{};
  const bool tickDueAtLoadEnd = PeekMessageA(&due, tools.hWnd(), WM_TIMER, WM_TIMER, PM_NOREMOVE) != FALSE;
  PumpUntil([&] { return ticks > 0; }, wine_test::kPatienceMs, 20);
  ChatToolsExtensions() = saved;
  ASSERT_TRUE(tickLetThrough) << "no tick came while the window loaded";
  ASSERT_TRUE(nextTickCameDue);
  EXPECT_TRUE(tickDueAtLoadEnd);
  EXPECT_EQ(ticksWhileLoading, 0);
  EXPECT_GT(ticks, 0);
  EXPECT_TRUE(comboDuringTick);
}

COLORREF PixelOf(HWND window, int x, int y) {
  HDC dc = GetDC(window);
  const COLORREF colour = GetPixel(dc, x, y);
  ReleaseDC(window, dc);
  return colour;
}

TEST_F(ChatToolsWin, PreviewStripRunsThroughTheColourButtons) {
  LiveFadeSettings().Colors[3] = 0x0000FF;
  tools.Load();
  tools.Show();
  tools.optFade_Click(3);
  ASSERT_TRUE(PumpUntil([&] { return wine_test::Painted(tools.hWnd()); }, wine_test::kPatienceMs, 20));
  RECT r{};
  GetClientRect(tools.picPreview(), &r);
  const int w = r.right, f = w / 2;
  EXPECT_EQ(PixelOf(tools.picPreview(), 0, 2), RGB(0, 0, 0));
  EXPECT_EQ(PixelOf(tools.picPreview(), f, 2), RGB(255, 255, 255));  // the shared column: colour 2
  EXPECT_EQ(PixelOf(tools.picPreview(), w - 1, 2) & 0xFF, 255u);
  tools.optFade_Click(1);
  ASSERT_TRUE(PumpUntil([&] { return wine_test::Painted(tools.hWnd()); }, wine_test::kPatienceMs, 20));
  EXPECT_EQ(PixelOf(tools.picPreview(), w / 2, 2), RGB(0, 0, 0));
}

// Drawing on a memory bitmap read back pixel by pixel.
class Canvas {
 public:
  Canvas(int width, int height) : width_(width), height_(height) {
    dc_ = CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    old_ = SelectObject(dc_, bitmap_);
    DcSurface(dc_, width, height).Fill(0x808080);
  }
  ~Canvas() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  DcSurface Surface() { return DcSurface(dc_, width_, height_); }
  COLORREF At(int x, int y) { return GetPixel(dc_, x, y); }

 private:
  int width_, height_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
};

TEST(PreviewDrawingWin, TwoColoursOver255ColumnsGiveOneGreyLevelEach) {
  Canvas canvas(256, 4);
  DcSurface surface = canvas.Surface();
  FadeVertical(surface, 0, 0, 0, 255, 255, 255, 0, 255);
  for (int x : {0, 1, 100, 128, 254, 255}) EXPECT_EQ(canvas.At(x, 2), RGB(x, x, x)) << x;
}

TEST(PreviewDrawingWin, ZeroWidthStretchDrawsOneColumnInTheEndColour) {
  Canvas canvas(10, 4);
  DcSurface surface = canvas.Surface();
  FadeVertical(surface, 255, 0, 0, 0, 0, 255, 4, 4);
  EXPECT_EQ(canvas.At(4, 0), RGB(0, 0, 255));
  EXPECT_EQ(canvas.At(4, 3), RGB(0, 0, 255));
  EXPECT_EQ(canvas.At(3, 0), RGB(128, 128, 128));
  EXPECT_EQ(canvas.At(5, 0), RGB(128, 128, 128));
}

TEST(PreviewDrawingWin, SixColoursOn100ColumnsMeetAtTheStretchEnds) {
  Canvas canvas(100, 4);
  DcSurface surface = canvas.Surface();
  const Colour colours[] = {0x0000FF, 0x00FF00, 0xFF0000, 0x0000FF, 0x00FF00, 0xFF0000};
  DrawFadeStrip(surface, colours, 6);
  EXPECT_EQ(canvas.At(0, 1), RGB(255, 0, 0));
  EXPECT_EQ(canvas.At(20, 1), RGB(0, 255, 0));
  EXPECT_EQ(canvas.At(21, 1), RGB(0, 255, 0));
  EXPECT_EQ(canvas.At(40, 1), RGB(0, 0, 255));
  EXPECT_EQ(canvas.At(80, 1), RGB(0, 255, 0));   // drawn twice: the later stretch's start
  EXPECT_EQ(canvas.At(99, 1), RGB(0, 13, 242));  // 19 of 20 steps from green to blue
}

TEST(PreviewDrawingWin, GradientRunsFromTopToBottom) {
  Canvas canvas(8, 10);
  DcSurface surface = canvas.Surface();
  Gradient(surface, 0x000000, 0x0A0A0A, 0);
  EXPECT_EQ(canvas.At(3, 0), RGB(0, 0, 0));
  EXPECT_EQ(canvas.At(7, 5), RGB(5, 5, 5));
  EXPECT_EQ(canvas.At(0, 9), RGB(9, 9, 9));  // the bottom colour is reached one row below the surface
}

}  // namespace
}  // namespace glimra
