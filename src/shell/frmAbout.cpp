#include "shell/frmAbout.h"

#include "aol/modAOLFunctions.h"
#include "engine/PreviewDrawing.h"
#include "runtime/ErrorReporting.h"
#include "settings/modFileOp.h"
#include "shell/UpgradeNotify.h"
#include "ui/modZolBtns.h"

namespace glimra {

namespace {

constexpr char kModule[] = "frmAbout";
constexpr char kStripClass[] = "GlimraGradientStrip";

}  // namespace

frmAbout::frmAbout() : FormWindow("frmAbout", 4800, 2655) {}

void frmAbout::AddControls() {
  SetCaption(kCaption);
  title_ = std::make_unique<LabelFont>(20, true);
  plain_ = std::make_unique<LabelFont>(9, false);
  bold_ = std::make_unique<LabelFont>(9, true);
  RegisterWindowClass(kStripClass, &frmAbout::StripProc);
  HWND strip = AddChild(kStripClass, "", WS_VISIBLE, kPicture1, {120, 120, 735, 2415});
  SetWindowLongPtrA(strip, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  AddLogo(*this, kImage1, {1080, 240, 600, 600});
  AddLabel(*this, kLabel10, " Glimra!", {1800, 270, 2760, 540}, *title_);
  AddLabel(*this, kLabel2, "Version:", {1080, 1110, 1380, 255}, *plain_);
  AddLabel(*this, kLblVersion, "", {2520, 1110, 2040, 255}, *bold_);
  AddLabel(*this, kLabel3, "Release Date:", {1080, 1440, 1380, 255}, *plain_);
  AddLabel(*this, kLblRelease, "", {2520, 1440, 2040, 255}, *bold_);
  const auto button = [&](UINT id, int left, const char* caption) {
    ShowWindow(AddZolButton(id, {left, 2085, 1110, 330}, caption).Window(), SW_SHOW);
  };
  button(kCmdUpdates, 1080, "Updates");
  button(kCmdHelp, 2265, "Help");
  button(kCmdOK, 3450, "OK");
}

void frmAbout::OnLoad() {
  RunProcedure({kModule, "Form_Load"}, [&] {
    AddControls();
    PrepareForm(*this);
    for (UINT id : {kCmdUpdates, kCmdHelp, kCmdOK}) SetButtonColor(Button(id), kFalse);
    DrawFormEdge(*this);
    SetWindowTextA(lblVersion(), VersionText().c_str());
    SetWindowTextA(lblRelease(), kReleaseDate);
  });
}

void frmAbout::OnUnload() { released_ = true; }

void frmAbout::cmdOK_Click() {
  RunProcedure({kModule, "cmdOK_Click"}, [&] { Unload(); });
}

void frmAbout::cmdHelp_Click() {
  RunProcedure({kModule, "cmdHelp_Click"}, [&] {
    Hide();
    RunWinHelp(*this, kHelpKeyword, kFalse);
    Unload();
  });
}

// Signed off, the box stays loaded and hidden after the message.
void frmAbout::cmdUpdates_Click() {
  RunProcedure({kModule, "cmdUpdates_Click"}, [&] {
    Hide();
    if (!IsTrue(IsAOLOnline(kTrue))) return;
    RunUpgradeCheck();
    Unload();
  });
}

void frmAbout::Picture1_Paint(HDC dc) {
  RECT r;
  GetClientRect(Picture1(), &r);
  DcSurface surface(dc, r.right, r.bottom);
  Gradient(surface, Picture1BackColor, lblColorBackColor, 2);
}

LRESULT CALLBACK frmAbout::StripProc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
  auto* form = reinterpret_cast<frmAbout*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!form) return DefWindowProcA(window, message, wp, lp);
  switch (message) {
    case WM_ERASEBKGND: {
      RECT r;
      GetClientRect(window, &r);
      HBRUSH brush = CreateSolidBrush(ResolveColour(form->Picture1BackColor));
      FillRect(reinterpret_cast<HDC>(wp), &r, brush);
      DeleteObject(brush);
      return 1;
    }
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      form->Picture1_Paint(dc);
      EndPaint(window, &paint);
      return 0;
    }
    default: return DefWindowProcA(window, message, wp, lp);
  }
}

void frmAbout::OnCommand(UINT id, UINT code, HWND) {
  if (code != BN_CLICKED) return;
  switch (id) {
    case kCmdUpdates: cmdUpdates_Click(); break;
    case kCmdHelp: cmdHelp_Click(); break;
    case kCmdOK: cmdOK_Click(); break;
    default: break;
  }
}

frmAbout& AboutBox() {
  // The box let go of last time stays until the next is made: a handler of
  // it may still be on its way out.
  static std::unique_ptr<frmAbout> current, previous;
  if (!current || current->Released()) {
    previous = std::move(current);
    current = std::make_unique<frmAbout>();
  }
  return *current;
}

}  // namespace glimra
