#include "ui/frmSetColors.h"

#include "aol/modWin32API.h"
#include "runtime/ErrorReporting.h"
#include "settings/AppOptions.h"
#include "settings/modCmnDlg.h"
#include "settings/modRegKeys.h"
#include "ui/modZolBtns.h"

namespace glimra {

namespace {

constexpr char kModule[] = "frmSetColors";
constexpr int kClientWidth = 4320, kClientHeight = 2880;

HFONT GuiFont() { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

void Store(const StoredSetting& setting) { WriteSetting(setting.subkey, setting.valueName, setting.text); }

constexpr char kFrameProcProp[] = "GlimraFrameProc";

// A group box draws only its border and caption; its inside is erased here
// in the form's colour, which the form's own painting leaves out.
LRESULT CALLBACK FrameProc(HWND frame, UINT message, WPARAM wp, LPARAM lp) {
  const auto original = reinterpret_cast<WNDPROC>(GetPropA(frame, kFrameProcProp));
  if (message == WM_ERASEBKGND) {
    HWND form = GetParent(frame);
    auto brush = reinterpret_cast<HBRUSH>(SendMessageA(form, WM_CTLCOLORSTATIC, wp, reinterpret_cast<LPARAM>(frame)));
    RECT inside{};
    GetClientRect(frame, &inside);
    if (brush) FillRect(reinterpret_cast<HDC>(wp), &inside, brush);
    return 1;
  }
  if (message == WM_NCDESTROY) {
    RemovePropA(frame, kFrameProcProp);
    SetWindowLongPtrA(frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
  }
  return CallWindowProcA(original, frame, message, wp, lp);
}

}  // namespace

frmSetColors::frmSetColors() : FormWindow("frmSetColors", kClientWidth, kClientHeight) {}

void frmSetColors::AddControls() {
  SetCaption(kCaption);
  const auto withFont = [](HWND control) {
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(GuiFont()), FALSE);
    return control;
  };
  for (UINT i = 0; i < 4; ++i) {
    const int top = 240 + 390 * static_cast<int>(i);
    AddChild("BUTTON", "", WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW, kCmdWndClr + i, {240, top, 480, 300});
    withFont(AddChild("STATIC", SwatchOptions()[i].caption, WS_VISIBLE | SS_NOPREFIX, kLblSwatch + i,
                      {840, top + 45, 1500, 240}));
  }
  HWND frame = withFont(AddChild("BUTTON", "Sample", WS_VISIBLE | BS_GROUPBOX, kFrame1, {2460, 150, 1680, 1080}));
  SetPropA(frame, kFrameProcProp, reinterpret_cast<HANDLE>(GetWindowLongPtrA(frame, GWLP_WNDPROC)));
  SetWindowLongPtrA(frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FrameProc));
  ShowWindow(AddFlatButton(kCmdSampleBtn, {2640, 540, 1320, 390}, "Sample Button").Window(), SW_SHOW);
  ShowWindow(AddZolButton(kCmdExit, {2820, 2220, 1320, 375}, "Exit").Window(), SW_SHOW);
}

void frmSetColors::OnLoad() {
  RunProcedure({kModule, "Form_Load"}, [&] {
    AddControls();
    PrepareForm(*this);
    SetButtonColor(Button(kCmdExit), kFalse);
    SetOptColor(kFalse, Button(kCmdSampleBtn));
    const UserColors& colours = LiveUserColors();
    for (UINT i = 0; i < 4; ++i) PaintSwatch(kCmdWndClr + i, colours.*SwatchOptions()[i].field);
    ChangeButton();
    DrawFormEdge(*this);
  });
}

void frmSetColors::PaintSwatch(UINT id, Colour colour) {
  swatches_[id - kCmdWndClr] = colour;
  InvalidateRect(GetDlgItem(hWnd(), static_cast<int>(id)), nullptr, TRUE);
}

// The frame and the labels draw on the form's background: they repaint with
// it. The Exit button's corners show its filler, which follows it too.
void frmSetColors::ChangeButton() {
  SetBackColor(SwatchColour(kCmdWndClr));
  Button(kCmdExit).SetLong(L"FillerBackground", BackColor());
  HostedControl& sample = Button(kCmdSampleBtn);
  sample.SetLong(L"BackColor", SwatchColour(kCmdBtnFC));
  sample.SetLong(L"Highlight", SwatchColour(kCmdBtnHL));
  sample.SetLong(L"ForeColor", SwatchColour(kCmdBtnTC));
  RedrawWindow(hWnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void frmSetColors::cmdSwatch_Click(UINT id) {
  RunProcedure({kModule, "cmdSwatch_Click"}, [&] {
    const SwatchOption& swatch = SwatchOptions()[id - kCmdWndClr];
    NotOnTop(*this);
    const Colour picked = PickColor(SwatchColour(id), hWnd());
    const StoredSetting stored = ApplySwatchPick(LiveUserColors(), swatch.swatch, picked);
    StayOnTop(*this);
    PaintSwatch(id, picked);
    Store(stored);
    ChangeButton();
  });
}

void frmSetColors::OnCommand(UINT id, UINT code, HWND) {
  if (code != BN_CLICKED) return;
  if (id >= kCmdWndClr && id <= kCmdBtnTC) cmdSwatch_Click(id);
  if (id == kCmdExit) cmdExit_Click();
}

bool frmSetColors::OnMessage(UINT message, WPARAM, LPARAM lp, LRESULT& result) {
  if (message != WM_DRAWITEM) return false;
  const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
  if (item->CtlID < kCmdWndClr || item->CtlID > kCmdBtnTC) return false;
  RECT r = item->rcItem;
  HBRUSH brush = CreateSolidBrush(ResolveColour(SwatchColour(item->CtlID)));
  FillRect(item->hDC, &r, brush);
  DeleteObject(brush);
  DrawEdge(item->hDC, &r, (item->itemState & ODS_SELECTED) ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  if (item->itemState & ODS_FOCUS) {
    InflateRect(&r, -4, -4);
    DrawFocusRect(item->hDC, &r);
  }
  result = TRUE;
  return true;
}

frmSetColors& SetColorsDialog() {
  static frmSetColors dialog;
  return dialog;
}

}  // namespace glimra
