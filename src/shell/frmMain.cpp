#include "shell/frmMain.h"

#include "aol/modWin32API.h"
#include "runtime/ErrorReporting.h"
#include "ui/modZolBtns.h"

namespace glimra {

namespace {

constexpr int kWidth = 4800;
constexpr int kHeight = 2160;
// picTitle: the program's name drawn large across the top.
constexpr TwipRect kTitle{120, 120, 4560, 900};
constexpr TwipRect kVersion{240, 1080, 2160, 255};
constexpr TwipRect kRelease{2400, 1080, 2160, 255};
constexpr TwipRect kStatus{240, 1500, 4320, 375};

}  // namespace

frmMain::frmMain() : FormWindow("frmMain", kWidth, kHeight) {}

void frmMain::OnLoad() {
  SetCaption("Glimra");
  lblVersion_ = AddChild("STATIC", "Version " + VersionText(), WS_VISIBLE | SS_LEFT, 1, kVersion);
  lblRelease_ = AddChild("STATIC", kReleaseText, WS_VISIBLE | SS_RIGHT, 2, kRelease);
  prgStatus_ = std::make_unique<ZolBar>(hWnd(), TwipsToPixelsX(kStatus.left), TwipsToPixelsY(kStatus.top),
                                        TwipsToPixelsX(kStatus.width), TwipsToPixelsY(kStatus.height), 3);
  prgStatus_->SetCaption(kInitialStatus);
  prgStatus_->SetValue(0);
  titleFont_ = CreateFontA(-TwipsToPixelsY(720), 0, 0, 0, FW_BOLD, TRUE, FALSE, FALSE, ANSI_CHARSET, 0, 0,
                           ANTIALIASED_QUALITY, VARIABLE_PITCH | FF_SWISS, "Arial");
  SetFormColor(*this);
  // Topmost once it shows (ShowSplash), not here as well: under Wine,
  // placing a hidden window in the topmost band already activates it.
  CenterForm(*this);
}

void frmMain::OnUnload() {
  prgStatus_.reset();
  if (titleFont_) DeleteObject(titleFont_);
  titleFont_ = nullptr;
}

void frmMain::OnPaint(HDC dc) {
  RECT title{TwipsToPixelsX(kTitle.left), TwipsToPixelsY(kTitle.top), TwipsToPixelsX(kTitle.left + kTitle.width),
             TwipsToPixelsY(kTitle.top + kTitle.height)};
  HGDIOBJ old = SelectObject(dc, titleFont_);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 0, 128));
  DrawTextA(dc, "Glimra", -1, &title, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  SelectObject(dc, old);
}

frmMain& MainSplash() {
  static frmMain form;
  return form;
}

}  // namespace glimra
