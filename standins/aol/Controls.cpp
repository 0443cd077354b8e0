#include "Controls.h"

#include <richedit.h>

#include <map>
#include <vector>

#include "EventLog.h"

namespace waol {

namespace {

HINSTANCE g_instance;
const char kLabelProp[] = "waol.label";
const char kPressedProp[] = "waol.pressed";
const char kRoleProp[] = "waol.role";
std::function<void(HWND, const std::string&)> g_pasteObserver;

// ---- system controls under AOL's class names ----

struct Superclass {
  const char* base;
  const char* name;
  WNDPROC original;
};
Superclass g_superclasses[] = {{"COMBOBOX", "_AOL_COMBOBOX", nullptr},  {"LISTBOX", "_AOL_LISTBOX", nullptr},
                               {"EDIT", "_AOL_EDIT", nullptr},          {"BUTTON", "_AOL_Checkbox", nullptr},
                               {"COMBOBOX", "_AOL_FontCombo", nullptr}, {"STATIC", "_AOL_STATIC", nullptr}};

template <int N>
LRESULT CALLBACK SuperclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcA(g_superclasses[N].original, window, message, wParam, lParam);
}

template <int N>
bool RegisterSuperclass() {
  Superclass& entry = g_superclasses[N];
  WNDCLASSEXA base{};
  base.cbSize = sizeof base;
  if (!GetClassInfoExA(nullptr, entry.base, &base)) return false;
  entry.original = base.lpfnWndProc;
  base.lpfnWndProc = &SuperclassProc<N>;
  base.hInstance = g_instance;
  base.lpszClassName = entry.name;
  base.style &= ~CS_GLOBALCLASS;
  return RegisterClassExA(&base) != 0;
}

// ---- _AOL_ICON ----

void PaintIcon(HWND icon) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(icon, &paint);
  RECT area;
  GetClientRect(icon, &area);
  FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
  DrawEdge(dc, &area, GetPropA(icon, kPressedProp) ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  std::string text = WindowString(icon);
  if (text.empty()) {
    if (auto label = static_cast<const char*>(GetPropA(icon, kLabelProp))) text = label;
  }
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 0, 96));
  HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  DrawTextA(dc, text.c_str(), -1, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
  SelectObject(dc, old);
  EndPaint(icon, &paint);
}

LRESULT CALLBACK IconProc(HWND icon, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: PaintIcon(icon); return 0;
    case WM_LBUTTONDOWN:
      SetPropA(icon, kPressedProp, reinterpret_cast<HANDLE>(1));
      InvalidateRect(icon, nullptr, TRUE);
      return 0;
    case WM_LBUTTONUP:
      // A click is a press followed by a release; the release alone does nothing.
      if (!GetPropA(icon, kPressedProp)) return 0;
      RemovePropA(icon, kPressedProp);
      InvalidateRect(icon, nullptr, TRUE);
      SendMessageA(GetParent(icon), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(icon), kIconClicked),
                   reinterpret_cast<LPARAM>(icon));
      return 0;
    case WM_SETTEXT: {
      LRESULT result = DefWindowProcA(icon, message, wParam, lParam);
      InvalidateRect(icon, nullptr, TRUE);
      return result;
    }
    case WM_NCDESTROY:
      RemovePropA(icon, kLabelProp);
      RemovePropA(icon, kPressedProp);
      break;
  }
  return DefWindowProcA(icon, message, wParam, lParam);
}

LRESULT CALLBACK PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND) return SendMessageA(GetParent(window), message, wParam, lParam);
  return DefWindowProcA(window, message, wParam, lParam);
}

// ---- RICHCNTL ----

WNDPROC g_richOriginal;

struct Snapshot {
  std::string rtf;
  CHARRANGE selection{};
};
std::map<HWND, Snapshot>& Snapshots() {
  static std::map<HWND, Snapshot> snapshots;
  return snapshots;
}

RichRole Role(HWND rich) { return static_cast<RichRole>(reinterpret_cast<INT_PTR>(GetPropA(rich, kRoleProp)) - 1); }

DWORD CALLBACK StreamOut(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* done) {
  reinterpret_cast<std::string*>(cookie)->append(reinterpret_cast<char*>(buffer), size);
  *done = size;
  return 0;
}

struct StreamSource {
  const std::string* text;
  size_t at;
};
DWORD CALLBACK StreamIn(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* done) {
  auto* source = reinterpret_cast<StreamSource*>(cookie);
  const size_t count = std::min(static_cast<size_t>(size), source->text->size() - source->at);
  memcpy(buffer, source->text->data() + source->at, count);
  source->at += count;
  *done = static_cast<LONG>(count);
  return 0;
}

// One level of undo for AOL's own commands: the content before the last one.
void TakeSnapshot(HWND rich) {
  Snapshot snapshot;
  EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&snapshot.rtf), 0, &StreamOut};
  CallWindowProcA(g_richOriginal, rich, EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&stream));
  CallWindowProcA(g_richOriginal, rich, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&snapshot.selection));
  Snapshots()[rich] = std::move(snapshot);
}

bool RestoreSnapshot(HWND rich) {
  auto found = Snapshots().find(rich);
  if (found == Snapshots().end()) return false;
  StreamSource source{&found->second.rtf, 0};
  EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&source), 0, &StreamIn};
  CallWindowProcA(g_richOriginal, rich, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
  CallWindowProcA(g_richOriginal, rich, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&found->second.selection));
  Snapshots().erase(found);
  return true;
}

std::string SelectedText(HWND rich) {
  CHARRANGE range{};
  SendMessageA(rich, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
  if (range.cpMax <= range.cpMin) return "";
  std::string text(static_cast<size_t>(range.cpMax - range.cpMin) * 2 + 2, '\0');
  const LRESULT length = SendMessageA(rich, EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(length));
  return text;
}

void CopyToClipboard(HWND rich) {
  std::string text;
  for (char c : SelectedText(rich)) {  // the control ends paragraphs with CR alone
    text += c;
    if (c == '\r') text += '\n';
  }
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  if (!block) return;
  memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
  GlobalUnlock(block);
  if (!OpenClipboard(rich)) {
    GlobalFree(block);
    return;
  }
  EmptyClipboard();
  if (!SetClipboardData(CF_TEXT, block)) GlobalFree(block);
  CloseClipboard();
}

// The clipboard's "AOLMAIL" text, or its plain text; `markup` tells which.
std::string ClipboardText(HWND owner, bool& markup) {
  std::string text;
  markup = false;
  if (!OpenClipboard(owner)) return text;
  const UINT format = RegisterClipboardFormatA("AOLMAIL");
  HANDLE block = GetClipboardData(format);
  if (block)
    markup = true;
  else
    block = GetClipboardData(CF_TEXT);
  if (block) {
    if (auto data = static_cast<const char*>(GlobalLock(block))) {
      text.assign(data, strnlen(data, GlobalSize(block)));
      GlobalUnlock(block);
    }
  }
  CloseClipboard();
  return text;
}

void Paste(HWND rich) {
  bool markup = false;
  const std::string text = ClipboardText(rich, markup);
  TakeSnapshot(rich);
  if (markup) {
    InsertRuns(rich, ParseMarkup(text));
    if (g_pasteObserver) g_pasteObserver(rich, text);
  } else {
    Run plain;
    plain.text = text;
    InsertRuns(rich, {plain});
  }
}

LRESULT RichCommand(HWND rich, WORD command) {
  switch (command) {
    case kCmdUndo:
      if (!RestoreSnapshot(rich)) SendMessageA(rich, EM_UNDO, 0, 0);
      return 0;
    case kCmdCut:
      CopyToClipboard(rich);
      TakeSnapshot(rich);
      SendMessageA(rich, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(""));
      return 0;
    case kCmdCopy: CopyToClipboard(rich); return 0;
    case kCmdPaste: Paste(rich); return 0;
    case kCmdClear:
      TakeSnapshot(rich);
      SendMessageA(rich, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(""));
      return 0;
    case kCmdSelectAll: SendMessageA(rich, EM_SETSEL, 0, -1); return 0;
  }
  return 0;
}

LRESULT CALLBACK RichProc(HWND rich, UINT message, WPARAM wParam, LPARAM lParam) {
  static const UINT logMarkup = RegisterWindowMessageA(kLogMarkupMessage);
  if (message == logMarkup) {
    LogEvent({"markup", WindowString(GetParent(rich)), RichMarkup(rich)});
    return 1;
  }
  switch (message) {
    case WM_CHAR:
      if (Role(rich) == RichRole::ChatInput && wParam == '\r') {
        SendMessageA(GetParent(rich), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(rich), kEnterPressed),
                     reinterpret_cast<LPARAM>(rich));
        return 0;
      }
      Snapshots().erase(rich);
      break;
    case WM_SETTEXT: Snapshots().erase(rich); break;
    case WM_COMMAND:
      if (lParam == 0 && LOWORD(wParam) >= kCmdUndo && LOWORD(wParam) <= kCmdSelectAll)
        return RichCommand(rich, LOWORD(wParam));
      break;
    case WM_NCDESTROY:
      Snapshots().erase(rich);
      RemovePropA(rich, kRoleProp);
      break;
  }
  return CallWindowProcA(g_richOriginal, rich, message, wParam, lParam);
}

bool RegisterRichCntl() {
  if (!LoadLibraryA("riched20.dll")) return false;
  WNDCLASSEXA base{};
  base.cbSize = sizeof base;
  if (!GetClassInfoExA(nullptr, "RichEdit20A", &base) &&
      !GetClassInfoExA(GetModuleHandleA("riched20.dll"), "RichEdit20A", &base))
    return false;
  g_richOriginal = base.lpfnWndProc;
  base.lpfnWndProc = &RichProc;
  base.hInstance = g_instance;
  base.lpszClassName = "RICHCNTL";
  base.style &= ~CS_GLOBALCLASS;
  return RegisterClassExA(&base) != 0;
}

bool RegisterPlain(const char* name, WNDPROC proc, HBRUSH background) {
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = proc;
  windowClass.hInstance = g_instance;
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.hbrBackground = background;
  windowClass.lpszClassName = name;
  return RegisterClassExA(&windowClass) != 0;
}

CHARFORMAT2A FormatOf(const Run& run) {
  CHARFORMAT2A format{};
  format.cbSize = sizeof format;
  format.dwMask = CFM_COLOR | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_SUPERSCRIPT | CFM_LINK | CFM_FACE | CFM_SIZE;
  format.crTextColor = run.colour == kDefaultColour ? RGB(0, 0, 0) : run.colour;
  if (run.link) format.crTextColor = RGB(0, 0, 255);
  format.dwEffects = (run.bold ? CFE_BOLD : 0) | (run.italic ? CFE_ITALIC : 0) |
                     (run.underline || run.link ? CFE_UNDERLINE : 0) | (run.superscript ? CFE_SUPERSCRIPT : 0) |
                     (run.subscript ? CFE_SUBSCRIPT : 0);
  lstrcpynA(format.szFaceName, "Arial", LF_FACESIZE);
  format.yHeight = 200;  // 10 points
  return format;
}

LONG TextLength(HWND rich) {
  GETTEXTLENGTHEX length{GTL_NUMCHARS | GTL_PRECISE, CP_ACP};
  return static_cast<LONG>(SendMessageA(rich, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0));
}

std::string Hex(COLORREF colour) {
  char text[8];
  wsprintfA(text, "%02X%02X%02X", GetRValue(colour), GetGValue(colour), GetBValue(colour));
  return text;
}

}  // namespace

std::string WindowString(HWND window) {
  const int length = GetWindowTextLengthA(window);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowTextA(window, text.data(), length + 1)));
  return text;
}

bool RegisterControlClasses(HINSTANCE instance) {
  g_instance = instance;
  bool ok = RegisterSuperclass<0>() && RegisterSuperclass<1>() && RegisterSuperclass<2>() && RegisterSuperclass<3>() &&
            RegisterSuperclass<4>() && RegisterSuperclass<5>();
  ok = ok && RegisterRichCntl();
  ok = ok && RegisterPlain("_AOL_ICON", &IconProc, nullptr);
  ok = ok && RegisterPlain("AOL Toolbar", &PanelProc, GetSysColorBrush(COLOR_BTNFACE));
  ok = ok && RegisterPlain("_AOL_Toolbar", &PanelProc, GetSysColorBrush(COLOR_BTNFACE));
  return ok;
}

HWND CreateControl(const char* className, const char* caption, DWORD style, HWND parent, int id) {
  return CreateWindowExA(0, className, caption, WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), g_instance, nullptr);
}

HWND CreateIcon(HWND parent, int id, const char* caption, const char* label) {
  HWND icon = CreateControl("_AOL_ICON", caption, 0, parent, id);
  if (label) SetPropA(icon, kLabelProp, const_cast<char*>(label));
  return icon;
}

HWND CreateRichCntl(HWND parent, int id, RichRole role) {
  DWORD style = WS_BORDER | WS_TABSTOP;
  if (role == RichRole::ChatInput)
    style |= ES_AUTOHSCROLL;
  else
    style |= ES_MULTILINE | WS_VSCROLL | ES_AUTOVSCROLL;
  if (role == RichRole::Transcript) style |= ES_READONLY;
  HWND rich = CreateWindowExA(0, "RICHCNTL", "", WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), g_instance, nullptr);
  if (!rich) return nullptr;
  SetPropA(rich, kRoleProp, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(role) + 1));
  SendMessageA(rich, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
  Run plain;
  CHARFORMAT2A format = FormatOf(plain);
  SendMessageA(rich, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
  return rich;
}

void InsertRuns(HWND rich, const std::vector<Run>& runs) {
  for (const Run& run : runs) {
    if (run.text.empty()) continue;
    CHARFORMAT2A format = FormatOf(run);
    SendMessageA(rich, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    SendMessageA(rich, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(run.text.c_str()));
  }
}

void AppendChatLine(HWND transcript, const std::string& name, const std::string& markup, COLORREF nameColour) {
  SendMessageA(transcript, EM_SETREADONLY, FALSE, 0);
  const LONG end = TextLength(transcript);
  SendMessageA(transcript, EM_SETSEL, end, end);
  std::vector<Run> runs;
  Run speaker;
  speaker.text = (end > 0 ? "\r" : "") + name + ":\t";
  speaker.colour = nameColour;
  speaker.bold = true;
  runs.push_back(speaker);
  for (Run& run : ParseMarkup(markup)) {
    for (char& c : run.text)  // one chat line stays one transcript line
      if (c == '\r' || c == '\n') c = ' ';
    runs.push_back(std::move(run));
  }
  InsertRuns(transcript, runs);
  SendMessageA(transcript, EM_SETREADONLY, TRUE, 0);
  SendMessageA(transcript, WM_VSCROLL, SB_BOTTOM, 0);
}

std::string RichMarkup(HWND rich) {
  const LONG length = TextLength(rich);
  std::string text(static_cast<size_t>(length) * 2 + 2, '\0');
  GETTEXTEX request{static_cast<DWORD>(text.size()), GT_DEFAULT, CP_ACP, nullptr, nullptr};
  text.resize(static_cast<size_t>(
      SendMessageA(rich, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&request), reinterpret_cast<LPARAM>(text.data()))));
  CHARRANGE kept{};
  SendMessageA(rich, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&kept));
  std::string markup;
  CHARFORMAT2A previous{};
  bool first = true;
  for (size_t i = 0; i < text.size(); ++i) {
    CHARFORMAT2A format{};
    format.cbSize = sizeof format;
    SendMessageA(rich, EM_SETSEL, i, i + 1);
    SendMessageA(rich, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    const auto changed = [&](DWORD effect) {
      return first ? (format.dwEffects & effect) != 0 : ((format.dwEffects ^ previous.dwEffects) & effect) != 0;
    };
    if (changed(CFE_BOLD)) markup += format.dwEffects & CFE_BOLD ? "<B>" : "</B>";
    if (changed(CFE_ITALIC)) markup += format.dwEffects & CFE_ITALIC ? "<I>" : "</I>";
    if (changed(CFE_UNDERLINE)) markup += format.dwEffects & CFE_UNDERLINE ? "<U>" : "</U>";
    if (changed(CFE_SUPERSCRIPT)) markup += format.dwEffects & CFE_SUPERSCRIPT ? "<SUP>" : "</SUP>";
    if (changed(CFE_SUBSCRIPT)) markup += format.dwEffects & CFE_SUBSCRIPT ? "<SUB>" : "</SUB>";
    if (first || format.crTextColor != previous.crTextColor) markup += "<FONT COLOR=#" + Hex(format.crTextColor) + ">";
    const char c = text[i];
    if (c == '<')
      markup += "&lt;";
    else if (c == '>')
      markup += "&gt;";
    else if (c == '&')
      markup += "&amp;";
    else if (c == '\r')
      markup += "\r\n";
    else
      markup += c;
    previous = format;
    first = false;
  }
  SendMessageA(rich, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&kept));
  return markup;
}

void SetPasteObserver(std::function<void(HWND, const std::string&)> observer) { g_pasteObserver = std::move(observer); }

}  // namespace waol
