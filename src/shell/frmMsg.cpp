#include "shell/frmMsg.h"

#include "aol/modWin32API.h"
#include "runtime/ErrorReporting.h"
#include "ui/modZolBtns.h"

namespace glimra {

namespace {

constexpr UINT kPicture1 = 100;
constexpr UINT kCommand1Base = 200;  // Command1(index) has id kCommand1Base + index
constexpr Colour kSystemWindowColour = static_cast<Colour>(0x80000005);

// Design places of Command1(0), (1), (2) in twips.
constexpr TwipRect kButtonPlaces[3] = {{4200, 900, 1215, 330}, {3000, 900, 1095, 330}, {1680, 900, 1215, 330}};

}  // namespace

frmMsg::frmMsg() : FormWindow("frmMsg", 5445, 1260) {}

frmMsg::~frmMsg() {
  Unload();
  if (buttonFont_) DeleteObject(buttonFont_);
}

void frmMsg::OnLoad() {
  if (!buttonFont_) {
    HDC screen = GetDC(nullptr);
    const int height = -MulDiv(9, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    buttonFont_ = CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                              CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "Arial");
  }
  // The buttons write their captions in the window's font.
  SendMessageA(hWnd(), WM_SETFONT, reinterpret_cast<WPARAM>(buttonFont_), FALSE);
  picture_ = std::make_unique<PictureBox>(hWnd(), kPicture1, TwipRect{30, 30, 5385, 825}, kSystemWindowColour, 9.75);
  for (int index = 0; index < 3; ++index) {
    HostedControl& button = AddZolButton(kCommand1Base + index, kButtonPlaces[index], "");
    ShowWindow(button.Window(), SW_SHOW);
    buttons_[static_cast<std::size_t>(index)] = &button;
  }
  PrepareForm(*this);
  for (HostedControl* button : buttons_) SetButtonColor(*button, kFalse);
}

void frmMsg::OnUnload() { picture_.reset(); }

void frmMsg::ApplyButtons(const MsgLayout& layout) {
  for (int index = 0; index < 3; ++index) {
    const MsgButton& wanted = layout.buttons[static_cast<std::size_t>(index)];
    HostedControl& button = Command1(index);
    if (wanted.visible) button.SetText(L"Caption", wanted.caption);
    ShowWindow(button.Window(), wanted.visible ? SW_SHOW : SW_HIDE);
  }
  // Tab order follows the focus order; the first one has the focus.
  HWND previous = HWND_TOP;
  for (int index : layout.focusOrder) {
    HWND window = Command1(index).Window();
    SetWindowPos(window, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    previous = window;
  }
}

void frmMsg::MoveButtonsBelowText() {
  for (int index = 0; index < 3; ++index) {
    HWND window = Command1(index).Window();
    RECT r;
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, hWnd(), reinterpret_cast<POINT*>(&r), 2);
    MoveWindow(window, r.left - TwipsToPixelsX(10), TwipsToPixelsY(Picture1().HeightTwips() + 60), r.right - r.left,
               r.bottom - r.top, TRUE);
  }
  RECT right;
  GetWindowRect(Command1(0).Window(), &right);
  MapWindowPoints(nullptr, hWnd(), reinterpret_cast<POINT*>(&right), 2);
  // The client top of the rightmost button plus its height, plus 420 twips for the frame.
  SetHeight(PixelsToTwipsY(right.bottom) + 420);
}

void frmMsg::Arrange(const MsgLayout& layout, const std::string& message, bool etchedEdge) {
  ApplyButtons(layout);
  RenderMarkup(Picture1(), message);
  // The text is drawn; the picture also carries it as its window text, so
  // that screen readers and tests can read which message is shown.
  SetWindowTextA(Picture1().Window(), message.c_str());
  MoveButtonsBelowText();
  if (const int iconId = SystemIconId(layout.icon)) {
    Picture1().DrawIconAt(LoadIconA(nullptr, MAKEINTRESOURCEA(iconId)), 5, 5);
  }
  SetCaption(MsgCaption(VersionText()));
  CenterForm(*this);
  StayOnTop(*this);
  if (etchedEdge) DrawFormEdge(*this);
  SetFocus(Command1(layout.focusOrder[0]).Window());
}

void frmMsg::OnCommand(UINT id, UINT code, HWND) {
  if (id >= kCommand1Base && id < kCommand1Base + 3 && code == BN_CLICKED)
    Command1_Click(static_cast<int>(id - kCommand1Base));
}

void frmMsg::Command1_Click(int index) {
  if (const std::int16_t answer = AnswerForCaption(Command1(index).GetText(L"Caption"))) Tag = std::to_string(answer);
  Hide();
}

// Closing from the system menu or with Alt+F4 answers as the rightmost button.
bool frmMsg::OnClose() {
  Command1_Click(0);
  return false;
}

}  // namespace glimra
