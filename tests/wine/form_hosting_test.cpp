// Glimra's forms host the ZolBtns buttons in a control site of their own:
// each button where its twips put it at the screen's resolution, its Click
// through the event interface, the form's font as its ambient font, and the
// colour looks' colours on form and buttons as their automation interfaces
// read them back.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "RealInput.h"
#include "aol/AOLClientState.h"
#include "runtime/ErrorReporting.h"
#include "runtime/FormWindow.h"
#include "settings/AppOptions.h"
#include "ui/ColourModes.h"
#include "ui/modZolBtns.h"

namespace glimra {
namespace {

class TestForm : public FormWindow {
 public:
  TestForm() : FormWindow("TestForm", 4800, 3000) {}
  std::vector<std::pair<UINT, UINT>> commands;

 protected:
  DWORD WindowExStyle() const override { return WS_EX_DLGMODALFRAME | WS_EX_TOPMOST; }
  void OnCommand(UINT id, UINT code, HWND) override { commands.emplace_back(id, code); }
};

// Pixels for twips at the screen's resolution, worked out afresh.
int ScreenPixels(int twips, int index) {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, index);
  ReleaseDC(nullptr, screen);
  return twips * dpi / 1440;
}

RECT PlaceOnForm(HWND control, HWND form) {
  RECT place;
  GetWindowRect(control, &place);
  MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&place), 2);
  return place;
}

// Rows of the control's face that hold anything but `background`.
int InkHeight(HWND control, COLORREF background) {
  HWND face = GetWindow(control, GW_CHILD);
  RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  RECT client;
  GetClientRect(face, &client);
  HDC dc = GetDC(face);
  int top = -1, bottom = -1;
  for (int y = 0; y < client.bottom; ++y)
    for (int x = 0; x < client.right; ++x)
      if (GetPixel(dc, x, y) != background) {
        if (top < 0) top = y;
        bottom = y;
        break;
      }
  ReleaseDC(face, dc);
  return top < 0 ? 0 : bottom - top + 1;
}

class FormHosting : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = CurrentErrorEnvironment();
    // A property the control does not know must fail the test, not vanish in an ignored report.
    CurrentErrorEnvironment().report = [this](const ErrorReport& report) -> std::int16_t {
      reports.push_back(report.procedure + ": " + report.description);
      return kAnswerIgnore;
    };
  }
  void TearDown() override {
    form.Unload();
    CurrentErrorEnvironment() = saved_;
    real_input::Pump();
  }
  void ShowForm() {
    form.Show();
    SetWindowPos(form.hWnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE);
    real_input::Activate(form.hWnd());
  }

  TestForm form;
  std::vector<std::string> reports;

 private:
  ErrorEnvironment saved_;
};

TEST_F(FormHosting, ButtonsSitWhereTheirTwipsPutThemAtTheScreensResolution) {
  ShowForm();
  HostedControl& go = form.AddZolButton(101, {600, 300, 1200, 450}, "Go");
  HostedControl& on = form.AddFlatButton(102, {600, 900, 1500, 330}, "On");
  for (auto [control, place] : {std::pair<HostedControl*, TwipRect>{&go, {600, 300, 1200, 450}},
                                std::pair<HostedControl*, TwipRect>{&on, {600, 900, 1500, 330}}}) {
    const RECT at = PlaceOnForm(control->Window(), form.hWnd());
    EXPECT_EQ(at.left, ScreenPixels(place.left, LOGPIXELSX));
    EXPECT_EQ(at.top, ScreenPixels(place.top, LOGPIXELSY));
    EXPECT_EQ(at.right, ScreenPixels(place.left + place.width, LOGPIXELSX));
    EXPECT_EQ(at.bottom, ScreenPixels(place.top + place.height, LOGPIXELSY));
    EXPECT_EQ(GetDlgItem(form.hWnd(), static_cast<int>(control->Id())), control->Window());
    EXPECT_TRUE(IsWindowVisible(control->Window()));
  }
  // The form's own size uses the same conversion.
  RECT client;
  GetClientRect(form.hWnd(), &client);
  EXPECT_EQ(client.right, ScreenPixels(4800, LOGPIXELSX));
  EXPECT_EQ(client.bottom, ScreenPixels(3000, LOGPIXELSY));
  EXPECT_TRUE(reports.empty());
}

TEST_F(FormHosting, EachRealClickReachesTheFormOnceThroughTheEventInterface) {
  ShowForm();
  HostedControl& go = form.AddZolButton(101, {300, 300, 1200, 450}, "Go");
  HostedControl& on = form.AddFlatButton(102, {300, 1200, 1200, 450}, "On");
  real_input::ClickAt(go.Window(), 20, 10);
  EXPECT_EQ(form.commands, (std::vector<std::pair<UINT, UINT>>{{101, BN_CLICKED}}));
  EXPECT_EQ(GetFocus(), go.Window());
  real_input::Press(VK_SPACE);
  real_input::ClickAt(on.Window(), 20, 10);
  EXPECT_EQ(form.commands,
            (std::vector<std::pair<UINT, UINT>>{{101, BN_CLICKED}, {101, BN_CLICKED}, {102, BN_CLICKED}}));
}

TEST_F(FormHosting, TheFormsFontIsTheButtonsAmbientFontAndAChangeIsPickedUp) {
  ShowForm();
  HostedControl& go = form.AddZolButton(101, {300, 300, 2400, 900}, "Hg");
  go.SetLong(L"BackColor", 0xFFFFFF);
  go.SetLong(L"ForeColor", 0);
  go.SetBool(L"UseBorder", false);
  const int small = InkHeight(go.Window(), RGB(255, 255, 255));
  EXPECT_GT(small, 4);
  HFONT large = CreateFontA(-36, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, 0, 0, 0, 0, "Arial");
  SendMessageA(form.hWnd(), WM_SETFONT, reinterpret_cast<WPARAM>(large), TRUE);
  EXPECT_GT(InkHeight(go.Window(), RGB(255, 255, 255)), small + 10);
  // A button added later starts with the form's font too.
  HostedControl& later = form.AddZolButton(102, {300, 1300, 2400, 900}, "Hg");
  later.SetLong(L"BackColor", 0xFFFFFF);
  later.SetLong(L"ForeColor", 0);
  later.SetBool(L"UseBorder", false);
  EXPECT_GT(InkHeight(later.Window(), RGB(255, 255, 255)), small + 10);
  form.Unload();
  DeleteObject(large);
}

struct ExpectedLook {
  std::int16_t mode;
  long form, back, border, fore, filler, shadow, focus;
  long optionBack, optionHighlight, optionFore;
};

TEST_F(FormHosting, FormsAndButtonsTakeTheColourLooksColours) {
  LiveUserColors() = UserColors{0x111111, 0x222222, 0x333333, 0x444444};
  ClientState().EditionUK = kFalse;
  ClientState().EditionAustralia = kFalse;
  const std::int16_t savedMode = CurrentLook().UIMode;
  const long windowsFocus = 0x0;  // the Windows and user looks leave FocusColor as it was
  const ExpectedLook looks[] = {
      {kWindowsStyle, static_cast<long>(0x8000000F), static_cast<long>(0x8000000F), 0, static_cast<long>(0x80000012),
       static_cast<long>(0x8000000F), static_cast<long>(0x80000010), windowsFocus, static_cast<long>(0x8000000F),
       static_cast<long>(0x80000014), static_cast<long>(0x80000012)},
      {kAolStyle, 0xF0FBFF, 0xAD6D00, 0, 0xFFFFFF, 0xF0FBFF, 0x808080, 0xFFFFFF, 0xAD6D00, 0xFFB28C, 0xFFFFFF},
      {2, 0x111111, 0x222222, 0x333333, 0x444444, 0x111111, static_cast<long>(0x80000010), windowsFocus, 0x222222,
       0x333333, 0x444444},
  };
  for (const ExpectedLook& look : looks) {
    SCOPED_TRACE("mode " + std::to_string(look.mode));
    CurrentLook().UIMode = look.mode;
    form.Load();
    HostedControl& button = form.AddZolButton(101, {300, 300, 1200, 450}, "Exit");
    HostedControl& option = form.AddFlatButton(102, {300, 900, 1200, 450}, "On");
    button.SetLong(L"FocusColor", 0);
    SetFormColor(form);
    SetButtonColor(button, kFalse);
    SetOptColor(kFalse, option);
    EXPECT_EQ(form.BackColor(), look.form);
    EXPECT_EQ(button.GetLong(L"BackColor"), look.back);
    EXPECT_EQ(button.GetLong(L"BorderColor"), look.border);
    EXPECT_EQ(button.GetLong(L"ForeColor"), look.fore);
    EXPECT_EQ(button.GetLong(L"FillerBackground"), look.filler);
    EXPECT_EQ(button.GetLong(L"ShadowColor"), look.shadow);
    EXPECT_EQ(button.GetLong(L"FocusColor"), look.focus);
    EXPECT_EQ(option.GetLong(L"BackColor"), look.optionBack);
    EXPECT_EQ(option.GetLong(L"Highlight"), look.optionHighlight);
    EXPECT_EQ(option.GetLong(L"ForeColor"), look.optionFore);
    // Selected: dark red with a red highlight and a white caption in every look.
    SetOptColor(kTrue, option);
    EXPECT_EQ(option.GetLong(L"BackColor"), 0x0000C0);
    EXPECT_EQ(option.GetLong(L"Highlight"), 0x0000FF);
    EXPECT_EQ(option.GetLong(L"ForeColor"), 0xFFFFFF);
    EXPECT_TRUE(reports.empty()) << reports.front();
    form.Unload();
  }
  // The handler does hear a property a button lacks: a FlatButton has no BorderColor.
  form.Load();
  SetButtonColor(form.AddFlatButton(102, {300, 900, 1200, 450}, "On"), kFalse);
  ASSERT_FALSE(reports.empty());
  EXPECT_EQ(reports.front().rfind("SetButtonColor", 0), 0u) << reports.front();
  CurrentLook().UIMode = savedMode;
}

}  // namespace
}  // namespace glimra
