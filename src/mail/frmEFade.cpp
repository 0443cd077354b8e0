#include "mail/frmEFade.h"

#include <commctrl.h>

#include <cstdlib>
#include <cstring>

#include "aol/ClipboardSnapshot.h"
#include "aol/modAOLFunctions.h"
#include "aol/modRichText.h"
#include "aol/modWin32API.h"
#include "chat/ChatInterception.h"
#include "chat/frmChatTools.h"
#include "engine/modFade.h"
#include "mail/MailFade.h"
#include "mail/frmFadeMsg.h"
#include "runtime/ErrorReporting.h"
#include "settings/modRegKeys.h"
#include "shell/modMsgBox.h"
#include "ui/modZolBtns.h"

namespace glimra {

namespace {

constexpr char kModule[] = "frmEFade";
constexpr char kLabel1Class[] = "GlimraDragBar";
constexpr WPARAM kCmdUndoId = 20000, kCmdCopyId = 20002, kCmdPasteId = 20003;
constexpr int kStyleStop = 16, kStyleInfo = 64;

// Twips: the three picture buttons in a row under the drag bar.
constexpr int kButtonSize = 420, kButtonTop = 285, kBarHeight = 225, kExitSize = 165;
constexpr TwipRect kFadePlace{90, kButtonTop, kButtonSize, kButtonSize};
constexpr TwipRect kUndoPlace{570, kButtonTop, kButtonSize, kButtonSize};
constexpr TwipRect kCPPlace{1050, kButtonTop, kButtonSize, kButtonSize};
constexpr int kRightMargin = 110;
constexpr int kBorderTwips = 30;  // WS_BORDER, one pixel each side
constexpr int kClientWidth = kCPPlace.left + kCPPlace.width + kRightMargin - kBorderTwips;
constexpr int kClientHeight = kButtonTop + kButtonSize + 90;

struct ToolTip {
  UINT id;
  const char* text;
};
constexpr ToolTip kToolTips[] = {{frmEFade::kCmdFade, "Apply Fade"},
                                 {frmEFade::kCmdUndo, "Undo Changes"},
                                 {frmEFade::kCmdCP, "Fade Designer/Control panel"}};

// ---- the buttons' pictures, drawn in the button's colours ----

enum class Picture { Fade, Undo, ControlPanel, Cross };

COLORREF Mix(COLORREF a, COLORREF b, int step, int steps) {
  const auto part = [&](int x, int y) { return x + (y - x) * step / steps; };
  return RGB(part(GetRValue(a), GetRValue(b)), part(GetGValue(a), GetGValue(b)), part(GetBValue(a), GetBValue(b)));
}

// A letter "A" over a bar whose colours run from red through gold to blue.
void DrawFadePicture(HDC dc, int size, COLORREF ink) {
  const COLORREF stops[] = {RGB(220, 0, 0), RGB(255, 200, 0), RGB(0, 90, 255)};
  const int barTop = size - 6;
  for (int x = 1; x < size - 1; ++x) {
    const int half = (size - 2) / 2, at = x - 1;
    const COLORREF colour = at < half ? Mix(stops[0], stops[1], at, half) : Mix(stops[1], stops[2], at - half, half);
    for (int y = barTop; y < size - 1; ++y) SetPixel(dc, x, y, colour);
  }
  HPEN pen = CreatePen(PS_SOLID, 2, ink);
  HGDIOBJ old = SelectObject(dc, pen);
  MoveToEx(dc, 3, barTop - 2, nullptr);
  LineTo(dc, size / 2, 1);
  LineTo(dc, size - 4, barTop - 2);
  MoveToEx(dc, size / 2 - 3, barTop - 5, nullptr);
  LineTo(dc, size / 2 + 3, barTop - 5);
  SelectObject(dc, old);
  DeleteObject(pen);
}

// An arrow that turns back to the left.
void DrawUndoPicture(HDC dc, int size, COLORREF ink) {
  HPEN pen = CreatePen(PS_SOLID, 2, ink);
  HGDIOBJ old = SelectObject(dc, pen);
  Arc(dc, 3, 3, size - 2, size - 2, size / 2, size - 2, 4, size / 2 - 1);
  SelectObject(dc, old);
  DeleteObject(pen);
  HBRUSH brush = CreateSolidBrush(ink);
  HGDIOBJ oldBrush = SelectObject(dc, brush);
  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
  const POINT head[] = {{0, 5}, {8, 5}, {4, 10}};
  Polygon(dc, head, 3);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  DeleteObject(brush);
}

// Three sliders with their knobs, as on a mixing desk.
void DrawControlPanelPicture(HDC dc, int size, COLORREF ink) {
  const COLORREF knobs[] = {RGB(220, 0, 0), RGB(0, 160, 0), RGB(0, 90, 255)};
  const int knobY[] = {size / 3, size * 2 / 3, size / 2};
  for (int i = 0; i < 3; ++i) {
    const int x = 3 + i * (size - 6) / 2;
    for (int y = 1; y < size - 1; ++y) SetPixel(dc, x, y, ink);
    RECT knob{x - 2, knobY[i] - 1, x + 3, knobY[i] + 2};
    HBRUSH brush = CreateSolidBrush(knobs[i]);
    FillRect(dc, &knob, brush);
    DeleteObject(brush);
  }
}

void DrawCross(HDC dc, int size, COLORREF ink) {
  for (int i = 0; i < size; ++i) {
    SetPixel(dc, i, i, ink);
    SetPixel(dc, size - 1 - i, i, ink);
  }
}

HBITMAP PictureFor(HostedControl& button, Picture picture, int size) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECT all{0, 0, size, size};
  HBRUSH face = CreateSolidBrush(ResolveColour(button.GetLong(L"BackColor")));
  FillRect(dc, &all, face);
  DeleteObject(face);
  const COLORREF ink = ResolveColour(button.GetLong(L"ForeColor"));
  switch (picture) {
    case Picture::Fade: DrawFadePicture(dc, size, ink); break;
    case Picture::Undo: DrawUndoPicture(dc, size, ink); break;
    case Picture::ControlPanel: DrawControlPanelPicture(dc, size, ink); break;
    case Picture::Cross: DrawCross(dc, size, ink); break;
  }
  SelectObject(dc, old);
  DeleteDC(dc);
  return bitmap;
}

// The clipboard's plain text, up to its first NUL; false when the clipboard stayed locked.
bool ClipboardPlainText(HWND owner, std::string& text) {
  text.clear();
  if (!OpenClipboardPatiently(owner)) return false;
  if (HANDLE block = GetClipboardData(CF_TEXT)) {
    if (const auto* data = static_cast<const char*>(GlobalLock(block))) {
      text.assign(data, strnlen(data, GlobalSize(block)));
      GlobalUnlock(block);
    }
  }
  CloseClipboard();
  return true;
}

bool ClearClipboard(HWND owner) {
  if (!OpenClipboardPatiently(owner)) return false;
  EmptyClipboard();
  CloseClipboard();
  return true;
}

HWND MailBody(HWND mail) { return mail ? FindWindowExA(mail, nullptr, "RICHCNTL", nullptr) : nullptr; }

void SendRichCommand(HWND body, WPARAM command) { SendMessageA(body, WM_COMMAND, command, 0); }

// The body's text: a message to AOL's window, as GetWindowText reads no control of another program.
std::string BodyText(HWND body) { return GetAPIText(body, kFalse); }

}  // namespace

frmEFade::frmEFade() : FormWindow("frmEFade", kClientWidth, kClientHeight) {}

// ---- loading ----

void frmEFade::AddControls() {
  SetCaption(kCaption);
  for (const auto& [id, place] : {std::pair{kCmdFade, kFadePlace}, {kCmdUndo, kUndoPlace}, {kCmdCP, kCPPlace}})
    ShowWindow(AddZolButton(id, place, "").Window(), SW_SHOW);
}

void frmEFade::OnLoad() {
  AddControls();
  // Topmost without taking the activation from the mail being written: the
  // member goes on typing while the toolbar appears.
  SetWindowPos(hWnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  RestorePosition();
  SkipOnError([&] {
    SetFormColor(*this);
    for (UINT id : {kCmdFade, kCmdUndo, kCmdCP}) SetButtonColor(Button(id), kFalse);
  });
  Move(Left(), Top(), kCPPlace.left + kCPPlace.width + kRightMargin, Height());
  // The drag bar across the top, the close button at its right end.
  RegisterWindowClass(kLabel1Class, &frmEFade::Label1Proc, IDC_SIZEALL);
  const int width = ScaleWidth();
  label1_ = AddChild(kLabel1Class, "E-Fade", WS_VISIBLE, kLabel1, {0, 0, width - kExitSize - 45, kBarHeight});
  SetWindowLongPtrA(label1_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  HostedControl& exit = AddFlatButton(kCmdExit, {width - kExitSize - 30, 30, kExitSize, kExitSize}, "");
  ShowWindow(exit.Window(), SW_SHOW);
  SkipOnError([&] { SetOptColor(kFalse, exit); });
  SkipOnError([&] { DrawPictures(); });
  SkipOnError([&] { AddToolTips(); });
  // Owned by the AOL main window: above it, and hidden with it.
  SetWindowLongPtrA(hWnd(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(AOLFrame()));
}

void frmEFade::RestorePosition() {
  const std::string top = ReadSetting(kPositionKey, "Top");
  if (top.empty()) {
    CenterForm(*this);
    return;
  }
  const std::string left = ReadSetting(kPositionKey, "Left");
  Move(static_cast<int>(std::atof(left.c_str())), static_cast<int>(std::atof(top.c_str())), Width(), Height());
  RePosForm(*this, 0);
  RePosForm(*this, 1);
}

void frmEFade::DrawPictures() {
  const int size = TwipsToPixelsX(kButtonSize) - 10;
  Button(kCmdFade).SetPicture(L"Picture", PictureFor(Button(kCmdFade), Picture::Fade, size));
  Button(kCmdUndo).SetPicture(L"Picture", PictureFor(Button(kCmdUndo), Picture::Undo, size));
  Button(kCmdCP).SetPicture(L"Picture", PictureFor(Button(kCmdCP), Picture::ControlPanel, size));
  Button(kCmdExit).SetPicture(L"Picture", PictureFor(Button(kCmdExit), Picture::Cross, 7));
}

// The mouse reaches the windows inside a hosted button, not the button's
// own window: each of them carries the button's tip.
void frmEFade::AddToolTips() {
  INITCOMMONCONTROLSEX common{sizeof common, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&common);
  toolTip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0, hWnd(),
                             nullptr, GetModuleHandleA(nullptr), nullptr);
  for (const ToolTip& tip : kToolTips) {
    const auto add = [&](HWND window) {
      TOOLINFOA tool{};
      tool.cbSize = sizeof tool;
      tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
      tool.hwnd = hWnd();
      tool.uId = reinterpret_cast<UINT_PTR>(window);
      tool.lpszText = const_cast<char*>(tip.text);
      SendMessageA(toolTip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    };
    HWND button = Button(tip.id).Window();
    add(button);
    EnumChildWindows(
        button,
        [](HWND child, LPARAM addTool) CALLBACK -> BOOL {
          (*reinterpret_cast<decltype(add)*>(addTool))(child);
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&add));
  }
}

std::string frmEFade::ToolTipText(UINT id) const {
  HostedControl* button = const_cast<frmEFade*>(this)->Control(id);
  if (!toolTip_ || !button) return "";
  char text[80] = {};
  TOOLINFOA tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = hWnd();
  tool.uId = reinterpret_cast<UINT_PTR>(button->Window());
  tool.lpszText = text;
  SendMessageA(toolTip_, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
  return text;
}

void frmEFade::OnUnload() {
  if (toolTip_) DestroyWindow(toolTip_);
  toolTip_ = nullptr;
  label1_ = nullptr;
}

// ---- the buttons ----

// The mail the member is working in: the mail window in front of AOL's
// others, else the one the toolbar came up for while it is still open.
HWND frmEFade::WorkingMail() const {
  if (HWND mail = IsEMail(GetTopWindow(AOLMDIClient()))) return mail;
  HWND last = LastMailWindow();
  return IsWindow(last) ? last : nullptr;
}

void frmEFade::cmdFade_Click() {
  HWND mail = WorkingMail();
  // The member's clipboard, every format of it, comes back whatever happens.
  const ClipboardSnapshot kept = ClipboardSnapshot::Take(hWnd());
  if (!kept.Taken()) {
    ShowMsg(kClipboardBusyMessage, kStyleInfo);
    return;
  }
  RunProcedure({kModule, "cmdFade_Click"}, [&] { FadeSelection(mail, kept); });
  kept.Restore(hWnd());
}

// A clipboard another program holds leaves the mail untouched: AOL's copy
// would find the member's own text, its paste its own plain copy.
void frmEFade::FadeSelection(HWND mail, const ClipboardSnapshot& kept) {
  const auto busy = [&] {
    kept.Restore(hWnd());
    ShowMsg(kClipboardBusyMessage, kStyleInfo);
  };
  HWND body = MailBody(mail);
  if (!ClearClipboard(hWnd())) return busy();
  SendRichCommand(body, kCmdCopyId);
  std::string text;
  if (!ClipboardPlainText(hWnd(), text)) return busy();
  switch (CheckMailSelection(text)) {
    case MailFadeCheck::NoText:
      kept.Restore(hWnd());
      ShowMsg(kNoTextFoundMessage, kStyleInfo);
      return;
    case MailFadeCheck::TooLong:
      kept.Restore(hWnd());
      ShowMsg(kMessageTooLongMessage, kStyleStop);
      return;
    case MailFadeCheck::Fade: break;
  }
  frmFadeMsg& notice = FadeMsg();
  notice.Load();
  ShowWindow(notice.hWnd(), SW_SHOWNOACTIVATE);
  UpdateWindow(notice.hWnd());
  Pause(500);
  const bool put = PutRichText(*this, FadeMailText(text));
  if (put) SendRichCommand(body, kCmdPasteId);
  notice.Hide();
  if (!put) return busy();
  // What the body shows now tells whether a later Undo would still take this fade back.
  fadedMail_ = mail;
  afterFade_ = BodyText(body);
}

// Takes back the toolbar's last fade, and only that: in another mail, or
// once the member has changed the body since, AOL's undo would take back
// something else.
void frmEFade::cmdUndo_Click() {
  HWND mail = WorkingMail();
  if (!mail || mail != fadedMail_ || BodyText(MailBody(mail)) != afterFade_) return;
  fadedMail_ = nullptr;
  SendRichCommand(MailBody(mail), kCmdUndoId);
}

void frmEFade::cmdCP_Click() {
  ChatTools().Show();
  ChatToolsShown() = kFalse;
}

// Dragging the bar moves the toolbar; where it lands is remembered.
void frmEFade::Label1_MouseDown() {
  ReleaseCapture();
  SendMessageA(hWnd(), WM_NCLBUTTONDOWN, HTCAPTION, 0);
  if (!IsLoaded()) return;
  WriteSetting(kPositionKey, "Top", std::to_string(Top()));
  WriteSetting(kPositionKey, "Left", std::to_string(Left()));
}

void frmEFade::OnCommand(UINT id, UINT code, HWND) {
  // One fade at a time: its pause lets clicks in, and they wait for nothing.
  if (code != BN_CLICKED || working_) return;
  working_ = true;
  struct Done {
    bool& working;
    ~Done() { working = false; }
  } done{working_};
  switch (id) {
    case kCmdFade: cmdFade_Click(); break;
    case kCmdUndo: cmdUndo_Click(); break;
    case kCmdCP: cmdCP_Click(); break;
    case kCmdExit: cmdExit_Click(); break;
    default: break;
  }
}

LRESULT CALLBACK frmEFade::Label1Proc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
  auto* form = reinterpret_cast<frmEFade*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      RECT area;
      GetClientRect(window, &area);
      HBRUSH back = CreateSolidBrush(ResolveColour(form ? form->BackColor() : static_cast<Colour>(0x8000000F)));
      FillRect(dc, &area, back);
      DeleteObject(back);
      // Two grip lines, then the bar's name.
      for (int y : {area.bottom / 2 - 2, area.bottom / 2 + 1}) {
        RECT grip{4, y, 4 + 14, y + 2};
        DrawEdge(dc, &grip, BDR_RAISEDINNER, BF_RECT);
      }
      char text[32] = {};
      GetWindowTextA(window, text, sizeof text);
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
      HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
      RECT label{22, 0, area.right, area.bottom};
      DrawTextA(dc, text, -1, &label, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
      SelectObject(dc, old);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      if (form) form->Label1_MouseDown();
      return 0;
    default: return DefWindowProcA(window, message, wp, lp);
  }
}

// ---- the one toolbar ----

frmEFade& EFade() {
  static frmEFade form;
  return form;
}

void ShowEFadeToolbar() {
  frmEFade& toolbar = EFade();
  toolbar.Load();
  ShowWindow(toolbar.hWnd(), SW_SHOWNOACTIVATE);
}

void UnloadEFadeToolbar() { EFade().Unload(); }

}  // namespace glimra
