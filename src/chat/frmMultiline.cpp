#include "chat/frmMultiline.h"

#include <algorithm>
#include <cstdlib>

#include "aol/modAOLFunctions.h"
#include "aol/modWin32API.h"
#include "chat/ChatInterception.h"
#include "chat/MultilineText.h"
#include "engine/modFade.h"
#include "runtime/ErrorReporting.h"
#include "runtime/EventPump.h"
#include "settings/AppOptions.h"
#include "settings/modCmnDlg.h"
#include "settings/modFileOp.h"
#include "settings/modRegKeys.h"
#include "ui/modZolBtns.h"

namespace glimra {

namespace {

enum ControlId : UINT { kTxtChat = 101, kTxtHidden, kSSPanel1, kCmdInsert, kCmdSend, kCmdClose, kLabel1 };

constexpr char kPositionKey[] = "ChatExtPos";
constexpr char kTxtChatOwnerProp[] = "GlimraMultiline";
// Enter in txtChat sends once the key's own handling has returned.
constexpr UINT kSendFromEnter = WM_APP + 20;

constexpr int kFormWidth = 5400, kFormHeight = 2400;
// Wide enough for the longest plain chat line; narrowing makes faded lines shorter.
constexpr TwipRect kTxtHiddenPlace{60, 60, 18000, 1500};

HWND ToHwnd(WindowHandle handle) { return static_cast<HWND>(ULongToHandle(handle)); }

}  // namespace

frmMultiline::frmMultiline(ChatInterception& chat) : FormWindow("frmMultiline", kFormWidth, kFormHeight), chat_(chat) {}

frmMultiline::~frmMultiline() {
  if (IsLoaded()) Unload();
}

void frmMultiline::AddControls() {
  const HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  SSPanel1_ = std::make_unique<ZolBar>(hWnd(), TwipsToPixelsX(60), TwipsToPixelsY(60), TwipsToPixelsX(5280),
                                       TwipsToPixelsY(255), kSSPanel1);
  SSPanel1_->SetCaption("Glimra Multi-Line");
  txtChat_ = AddChild("EDIT", "", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL, kTxtChat,
                      {60, 375, 5280, 1440}, WS_EX_CLIENTEDGE);
  // Never shown: its own line breaks are the chat lines.
  txtHidden_ = AddChild("EDIT", "", ES_MULTILINE, kTxtHidden, kTxtHiddenPlace);
  label1_ = AddChild("STATIC", "Carriage Return: CTRL+ENTER", WS_VISIBLE, kLabel1, {60, 1965, 2520, 240});
  for (HWND control : {txtChat_, txtHidden_, label1_})
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  SendMessageA(txtChat_, EM_LIMITTEXT, 0, 0);
  SendMessageA(txtHidden_, EM_LIMITTEXT, 0, 0);
  cmdInsert_ = &AddZolButton(kCmdInsert, {2640, 1920, 855, 330}, "Insert");
  cmdSend_ = &AddZolButton(kCmdSend, {3555, 1920, 855, 330}, "Send");
  cmdClose_ = &AddZolButton(kCmdClose, {4470, 1920, 870, 330}, "Close");
  for (HostedControl* button : {cmdInsert_, cmdSend_, cmdClose_}) ShowWindow(button->Window(), SW_SHOW);
  SetPropA(txtChat_, kTxtChatOwnerProp, this);
  txtChatOriginal_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(txtChat_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&frmMultiline::TxtChatProc)));
}

void frmMultiline::OnLoad() {
  SetCaption("Glimra Multi-Line");
  AddControls();
  StayOnTop(*this);
  RestorePosition();
  SetFormColor(*this);
  for (HostedControl* button : {cmdInsert_, cmdSend_, cmdClose_}) SetButtonColor(*button, kFalse);
  DrawFormEdge(*this);
}

void frmMultiline::RestorePosition() {
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

void frmMultiline::OnUnload() {
  if (txtChat_ && txtChatOriginal_) {
    SetWindowLongPtrA(txtChat_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(txtChatOriginal_));
    RemovePropA(txtChat_, kTxtChatOwnerProp);
  }
  SSPanel1_.reset();
  txtChat_ = txtHidden_ = label1_ = nullptr;
  cmdInsert_ = cmdSend_ = cmdClose_ = nullptr;
  txtChatOriginal_ = nullptr;
}

// Enter sends; Ctrl+Enter (character 10) starts a new line.
LRESULT CALLBACK frmMultiline::TxtChatProc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
  auto* self = static_cast<frmMultiline*>(GetPropA(window, kTxtChatOwnerProp));
  if (!self) return DefWindowProcA(window, message, wp, lp);
  if (message == WM_CHAR && wp == '\r') {
    PostMessageA(self->hWnd(), kSendFromEnter, 0, 0);
    return 0;
  }
  if (message == WM_CHAR && wp == '\n') {
    SendMessageA(window, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("\r\n"));
    return 0;
  }
  return CallWindowProcA(self->txtChatOriginal_, window, message, wp, lp);
}

bool frmMultiline::OnMessage(UINT message, WPARAM wp, LPARAM lp, LRESULT& result) {
  if (message == kSendFromEnter) {
    cmdSend_Click();
    result = 0;
    return true;
  }
  if (message == WM_PARENTNOTIFY && LOWORD(wp) == WM_LBUTTONDOWN && SSPanel1_) {
    POINT at{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
    if (ChildWindowFromPoint(hWnd(), at) == SSPanel1_->Window()) SSPanel1_MouseDown();
  }
  return false;
}

// The bar is the window's handle: dragging it moves the window, and the
// place where it lands is remembered.
void frmMultiline::SSPanel1_MouseDown() {
  ReleaseCapture();
  SendMessageA(hWnd(), WM_NCLBUTTONDOWN, HTCAPTION, 0);
  WriteSetting(kPositionKey, "Top", std::to_string(Top()));
  WriteSetting(kPositionKey, "Left", std::to_string(Left()));
}

void frmMultiline::OnCommand(UINT id, UINT code, HWND) {
  if (code != BN_CLICKED) return;
  switch (id) {
    case kCmdSend: cmdSend_Click(); break;
    case kCmdInsert: cmdInsert_Click(); break;
    case kCmdClose: cmdClose_Click(); break;
    default: break;
  }
}

std::string frmMultiline::ChatText() const {
  const int length = GetWindowTextLengthA(txtChat_);
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  text.resize(static_cast<std::size_t>(GetWindowTextA(txtChat_, text.data(), length + 1)));
  return text;
}

void frmMultiline::SetChatText(const std::string& text) { SetWindowTextA(txtChat_, text.c_str()); }

void frmMultiline::PutCaretAt(int position) {
  const int at = std::min(position, GetWindowTextLengthA(txtChat_));
  SendMessageA(txtChat_, EM_SETSEL, at, at);
}

void frmMultiline::SetInsertVisible(bool visible) {
  if (cmdInsert_) ShowWindow(cmdInsert_->Window(), visible ? SW_SHOW : SW_HIDE);
}

void frmMultiline::cmdSend_Click() {
  // Enter or Send again while the lines go out (the burst wait lets them
  // through) must not start a second send.
  if (sending_) return;
  SendMultiline(ChatText());
  Unload();
}

void frmMultiline::cmdInsert_Click() {
  NotOnTop(*this);
  const std::string path = OpenDialog("Text Based Files", "*.txt;*.log;*.wri", kOpenFullPath);
  StayOnTop(*this);
  if (!TrimBlanks(path).empty()) SetChatText(ReadTextFile(path));
}

void frmMultiline::cmdClose_Click() { Unload(); }

// ---- wrapping and sending ----

int frmMultiline::HiddenWidth() const {
  RECT r{};
  GetWindowRect(txtHidden_, &r);
  return PixelsToTwipsX(r.right - r.left);
}

void frmMultiline::SetHiddenWidth(int twips) {
  RECT r{};
  GetWindowRect(txtHidden_, &r);
  SetWindowPos(txtHidden_, nullptr, 0, 0, std::max(1, TwipsToPixelsX(twips)), r.bottom - r.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int frmMultiline::LineLength(int line) const {
  const LRESULT first = SendMessageA(txtHidden_, EM_LINEINDEX, line, 0);
  return static_cast<int>(SendMessageA(txtHidden_, EM_LINELENGTH, first, 0));
}

// Line `line` as copied into a buffer of its length + 1 blanks: the
// buffer's final blank stays part of the line.
std::string frmMultiline::HiddenLine(int line) const {
  const int length = LineLength(line);
  std::string buffer(static_cast<std::size_t>(std::max(length + 1, 2)), ' ');
  *reinterpret_cast<WORD*>(buffer.data()) = static_cast<WORD>(buffer.size());
  const auto copied =
      static_cast<int>(SendMessageA(txtHidden_, EM_GETLINE, line, reinterpret_cast<LPARAM>(buffer.data())));
  return buffer.substr(0, static_cast<std::size_t>(std::clamp(copied, 0, length))) + ' ';
}

// Narrows the hidden box until no line is longer than the limit. The line
// count is read again for every pass: narrowing adds lines, and a line
// beyond the first count can still be too long.
void frmMultiline::WrapHiddenText() {
  const std::int32_t limit = LineLimit(LiveFadeSettings().FaderOn, LiveAppOptions().CharsInLine);
  for (bool tooLong = true; tooLong;) {
    tooLong = false;
    const auto count = static_cast<int>(SendMessageA(txtHidden_, EM_GETLINECOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      if (LineLength(i) <= limit) continue;
      // A box one pixel wide cannot get narrower: stop rather than loop for ever.
      if (TwipsToPixelsX(HiddenWidth() - kNarrowingStepTwips) < 1) return;
      tooLong = true;
      SetHiddenWidth(HiddenWidth() - kNarrowingStepTwips);
    }
  }
}

void frmMultiline::SendLine(std::string line, HWND chatBox) {
  line = ChatLineFor(line);
  if (IsTrue(LiveFadeSettings().FaderOn)) {
    FadeEngine(line);
    ShowWindow(chatBox, SW_HIDE);
  }
  TextToChat(line, 1);
}

void frmMultiline::SendMultiline(const std::string&) {
  if (sending_) return;
  sending_ = true;
  // Glimra's own Enter keys must pass the chat box unseen while the lines go out.
  WindowHandle chatBox = 0;
  SkipOnError([&] { chatBox = chat_.BeginLineSend(); });
  unsigned burst = 0;
  SkipOnError([&] { burst = BurstMilliseconds(LiveAppOptions().MultilineBurst); });
  // What the member types meanwhile would be emptied with the sent text.
  SendMessageA(txtChat_, EM_SETREADONLY, TRUE, 0);
  SetWindowTextA(txtHidden_, ChatText().c_str());
  const int width = HiddenWidth();
  bool sentAny = false;
  if (GetWindowTextLengthA(txtChat_) > 0) {
    SkipOnError([&] { SSPanel1_->SetColor(ZolBar::kBackColor, RGB(255, 255, 255)); });
    SkipOnError([&] { WrapHiddenText(); });
    const auto count = static_cast<int>(SendMessageA(txtHidden_, EM_GETLINECOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      SkipOnError([&] { SSPanel1_->SetValue(LineProgress(i, count)); });
      const std::string line = HiddenLine(i);
      if (line.empty()) continue;
      if (burst > 0) WaitWithEvents(burst);
      // The member may have closed the window while the wait let events run.
      if (!IsLoaded()) break;
      SkipOnError([&] { SendLine(line, ToHwnd(chatBox)); });
      sentAny = true;
    }
  }
  if (IsLoaded()) {
    SetHiddenWidth(width);
    SetWindowTextA(txtHidden_, "");
    SetWindowTextA(txtChat_, "");
    SendMessageA(txtChat_, EM_SETREADONLY, FALSE, 0);
    SkipOnError([&] { SSPanel1_->SetValue(100); });
    SkipOnError([&] { Pause(250); });
  }
  SkipOnError([&] { chat_.EndLineSend(); });
  // The lines went out through a hidden box; the member goes on typing in it.
  if (sentAny) SkipOnError([&] { ShowChatBox(ChatInputBox(FindChatRoom(AOLMDIClient(), "AOL Child"))); });
  sending_ = false;
}

}  // namespace glimra
