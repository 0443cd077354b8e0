#include "chat/frmChatTools.h"

#include <commctrl.h>

#include <algorithm>
#include <cctype>

#include "aol/modAOLFunctions.h"
#include "aol/modWin32API.h"
#include "chat/ChatInterception.h"
#include "engine/PreviewDrawing.h"
#include "runtime/ErrorReporting.h"
#include "settings/AppOptions.h"
#include "settings/SchemeFile.h"
#include "settings/SchemeStore.h"
#include "settings/frmEMailFade.h"
#include "settings/modCmnDlg.h"
#include "settings/modFileOp.h"
#include "settings/modRegKeys.h"
#include "shell/InputBox.h"
#include "shell/modMsgBox.h"
#include "ui/modZolBtns.h"

namespace glimra {

namespace {

constexpr char kModule[] = "frmChatTools";
constexpr char kPreviewClass[] = "GlimraPreview";
constexpr const char* kColourNames[] = {"", "One", "Two", "Three", "Four", "Five", "Six"};
constexpr int kFadeLefts[] = {0, 500, 750, 1000, 1260, 1520, 1770};
constexpr int kStyleYesNoInfo = 68;
constexpr std::int16_t kAnswerYes = 6;

struct StyleButton {
  UINT id;
  const char* caption;
  const char* valueName;
  VBBool FadeSettings::*field;
  TwipRect place;
};
constexpr StyleButton kStyles[] = {
    {frmChatTools::kOptWavy, "Wavy", "Wavy", &FadeSettings::Wavy, {2120, 150, 615, 210}},
    {frmChatTools::kOptBold, "Bold", "Bold", &FadeSettings::Bold, {2120, 360, 615, 210}},
    {frmChatTools::kOptItalic, "Italic", "Italic", &FadeSettings::Italic, {2730, 150, 615, 210}},
    {frmChatTools::kOptULine, "U-Line", "ULine", &FadeSettings::ULine, {2730, 360, 615, 210}},
};

const char* TrueFalse(VBBool value) { return IsTrue(value) ? "True" : "False"; }

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

std::string SchemeNameProblem(SchemeNameCheck check) {
  switch (check) {
    case SchemeNameCheck::ForbiddenCharacter:
      return "A scheme name cannot contain any of the characters ~B\\ / : * ? \" < > |~B.";
    case SchemeNameCheck::OnlyDots: return "A scheme name cannot be made of dots only.";
    case SchemeNameCheck::DeviceName: return "Windows keeps this name for a device (like ~BCON~B or ~BLPT1~B).";
    default: return "A scheme needs a name.";
  }
}

int Px(int twips) { return TwipsToPixelsX(twips); }
int Py(int twips) { return TwipsToPixelsY(twips); }

}  // namespace

ChatToolsHooks& ChatToolsExtensions() {
  static ChatToolsHooks hooks;
  return hooks;
}

frmChatTools::frmChatTools() : FormWindow("frmChatTools", kClientWidth, kMaxHeight) {}

// ---- Loading ----

void frmChatTools::AddControls() {
  SetCaption(kCaption);
  const auto flat = [&](UINT id, const TwipRect& place, const std::string& caption) {
    ShowWindow(AddFlatButton(id, place, caption).Window(), SW_SHOW);
  };
  RegisterWindowClass(kPreviewClass, &frmChatTools::PreviewProc, IDC_SIZEALL);
  picPreview_ = AddChild(kPreviewClass, "", WS_VISIBLE, kPicPreview, {0, 0, 6510, 135});
  SetWindowLongPtrA(picPreview_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  flat(kCmdMin, {6510, 0, 135, 135}, "");
  flat(kCmdExit, {6640, 0, 135, 135}, "");
  flat(kOptOn, {30, 150, 375, 210}, "On");
  flat(kOptOff, {30, 360, 375, 210}, "Off");
  for (int n = 1; n <= 6; ++n) {
    flat(kOpt1Fade + static_cast<UINT>(n) - 1, {kFadeLefts[n], 150, 255, 210}, std::to_string(n));
    colourButtons_[static_cast<std::size_t>(n)] = AddChild(
        "BUTTON", "", WS_VISIBLE | BS_OWNERDRAW, kCmdColor1 + static_cast<UINT>(n) - 1, {kFadeLefts[n], 360, 255, 210});
  }
  for (const StyleButton& style : kStyles) flat(style.id, style.place, style.caption);
  cboSchemes_ = AddChild("COMBOBOX", "", WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL, kCboSchemes,
                         {3440, 190, 1935, 330 + 1800});
  flat(kCmdSave, {5400, 150, 615, 210}, "Save");
  flat(kCmdEmail, {5400, 360, 615, 210}, "E-Mail");
  flat(kCmdDel, {6010, 150, 720, 210}, "Delete");
  flat(kCmdRefresh, {6010, 360, 720, 210}, "Refresh");
  chkSolid_ =
      AddChild("BUTTON", "Use colors without fading", WS_VISIBLE | BS_AUTOCHECKBOX, kChkSolid, {30, 670, 2535, 210});
  for (HWND child : {cboSchemes_, chkSolid_})
    SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  INITCOMMONCONTROLSEX common{sizeof common, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&common);
  toolTip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0, hWnd(),
                             nullptr, GetModuleHandleA(nullptr), nullptr);
  TOOLINFOA tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = hWnd();
  tool.uId = reinterpret_cast<UINT_PTR>(Button(kCmdMin).Window());
  tool.lpszText = const_cast<char*>("");
  SendMessageA(toolTip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

namespace {

// A 7 by 7 glyph in the button's caption colour on its face colour: a bar
// low down for collapsing and expanding, a cross for hiding.
HBITMAP TitleButtonGlyph(HostedControl& button, bool cross) {
  constexpr int kSize = 7;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, kSize, kSize);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECT all{0, 0, kSize, kSize};
  HBRUSH face = CreateSolidBrush(ResolveColour(button.GetLong(L"BackColor")));
  FillRect(dc, &all, face);
  DeleteObject(face);
  const COLORREF ink = ResolveColour(button.GetLong(L"ForeColor"));
  if (cross) {
    for (int i = 0; i < kSize; ++i) {
      SetPixel(dc, i, i, ink);
      SetPixel(dc, kSize - 1 - i, i, ink);
    }
  } else {
    for (int x = 0; x < kSize; ++x) {
      SetPixel(dc, x, kSize - 2, ink);
      SetPixel(dc, x, kSize - 1, ink);
    }
  }
  SelectObject(dc, old);
  DeleteDC(dc);
  return bitmap;
}

}  // namespace

void frmChatTools::DrawTitleButtonPictures() {
  Button(kCmdMin).SetPicture(L"Picture", TitleButtonGlyph(Button(kCmdMin), false));
  Button(kCmdExit).SetPicture(L"Picture", TitleButtonGlyph(Button(kCmdExit), true));
}

// Timer1 runs from the moment the window exists, as a timer control on a
// form does, so its first tick (which shows the window beside a room) comes
// a second after loading began, not a second after it ended.
void frmChatTools::OnLoad() {
  StartTimer(kTimer1, 1000);
  loadRunning_ = true;
  try {
    RunLoadSteps();
  } catch (...) {
    loadRunning_ = false;
    StopTimer(kTimer1);
    throw;
  }
  loadRunning_ = false;
}

void frmChatTools::RunLoadSteps() {
  AddControls();
  FadeSettings& fade = LiveFadeSettings();
  SkipOnError([&] {
    SetFormColor(*this);
    for (UINT id : {kCmdSave, kCmdEmail, kCmdDel, kCmdRefresh, kCmdMin, kCmdExit}) SetOptColor(kFalse, Button(id));
    DrawTitleButtonPictures();
  });
  IsLoading = kTrue;
  SkipOnError([&] {
    if (ChatToolsExtensions().attach) ChatToolsExtensions().attach(*this);
  });
  SkipOnError([&] { SetExpanded(ReadSetting("", "State") == "Max"); });
  SkipOnError([&] { DrawFormEdge(*this); });
  SkipOnError([&] {
    const std::string top = ReadSetting("", "Top");
    if (top.empty()) {
      CenterForm(*this);
      return;
    }
    Move(static_cast<int>(CSng(ReadSetting("", "Left"))), static_cast<int>(CSng(top)), Width(), Height());
    RePosForm(*this, 0);
    RePosForm(*this, 1);
  });
  SkipOnError([&] { GetSchemes(); });
  SkipOnError([&] { ColorCount = fade.FadeNumber; });
  SkipOnError([&] {
    if (fade.FaderOn == kTrue) FadeOn();
    if (fade.FaderOn == kFalse) FadeOff();
  });
  SkipOnError([&] { SetOptState(); });
  SkipOnError([&] {
    SelectScheme(LiveAppOptions().CurrentScheme);
    // A rebuild shows the fade as it stands: colours changed since the
    // scheme was chosen are not thrown away for the scheme's.
    if (KeepLiveFade)
      FadeNumber();
    else
      cboSchemes_Click();
  });
  SkipOnError([&] {
    for (const StyleButton& style : kStyles) Button(style.id).SetBool(L"Value", IsTrue(fade.*style.field));
  });
  SkipOnError([&] {
    if (fade.SolidFade == kTrue || fade.SolidFade == kFalse) {
      SendMessageA(chkSolid_, BM_SETCHECK, IsTrue(fade.SolidFade) ? BST_CHECKED : BST_UNCHECKED, 0);
      chkSolid_Click();
    }
  });
  // Owned by the AOL main window so that it floats above it. The owner is
  // set as a full handle: a 16-bit conversion loses large handles.
  SkipOnError([&] { SetWindowLongPtrA(hWnd(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(AOLFrame())); });
  SkipOnError([&] { FocusBack(); });
  IsLoading = kFalse;
}

void frmChatTools::OnUnload() {
  StopTimer(kTimer1);
  SkipOnError([&] {
    if (ChatToolsExtensions().unload) ChatToolsExtensions().unload(*this);
  });
  sbcChatEdit.reset();
  sbcSendIcon.reset();
  sbcMenu.reset();
  if (toolTip_) DestroyWindow(toolTip_);
  toolTip_ = nullptr;
  ChatToolsShown() = kFalse;
}

void frmChatTools::OnTimer(UINT id) {
  // A wait inside the load steps (a message box) lets ticks through; the
  // tick's attachment needs the complete window.
  if (loadRunning_) return;
  if (id == kTimer1 && ChatToolsExtensions().timer) ChatToolsExtensions().timer(*this);
}

// ---- Operations ----

void frmChatTools::GetSchemes() {
  RunProcedure({kModule, "GetSchemes"}, [&] {
    HKEY key = nullptr;
    const LONG opened =
        RegOpenKeyExA(HKEY_CURRENT_USER, (std::string(kSettingsRoot) + "Schemes").c_str(), 0, KEY_READ, &key);
    if (opened == ERROR_SUCCESS) RegCloseKey(key);
    // A fresh installation has no "Schemes" key until the first save or
    // import: that is an empty list, not a broken installation.
    if (opened != ERROR_SUCCESS && opened != ERROR_FILE_NOT_FOUND) {
      // Shows the failure and leaves the list as it was.
      ListSchemes([](const std::string&) {});
      return;
    }
    SendMessageA(cboSchemes_, CB_RESETCONTENT, 0, 0);
    SetWindowTextA(cboSchemes_, "");
    if (opened == ERROR_SUCCESS) ListSchemes(cboSchemes_);
  });
}

void frmChatTools::SetOptState() {
  for (const StyleButton& style : kStyles) {
    HostedControl& button = Button(style.id);
    SetOptColor(ToVBBool(button.GetBool(L"Value")), button);
  }
}

void frmChatTools::FadeNumber() {
  const FadeSettings& fade = LiveFadeSettings();
  SkipOnError([&] { SetColorButton(1, fade.Colors[1]); });
  for (int k = 2; k <= 6; ++k)
    SkipOnError([&] {
      const bool shown = k <= ColorCount;
      ShowWindow(cmdColor(k), shown ? SW_SHOW : SW_HIDE);
      if (shown) SetColorButton(k, fade.Colors[k]);
    });
  for (int n = 1; n <= 6; ++n)
    SkipOnError([&] { SetOptColor(ToVBBool(n == ColorCount), Button(kOpt1Fade + static_cast<UINT>(n) - 1)); });
  SkipOnError([&] { RefreshPreview(); });
}

void frmChatTools::SetColorButton(int k, Colour colour) {
  colourBacks_[static_cast<std::size_t>(k)] = colour;
  InvalidateRect(cmdColor(k), nullptr, TRUE);
}

void frmChatTools::FocusBack() {
  if (ChatRoomWindow()) SetFocus(ChatRoomWindow());
}

// Selects the entry named `name` (letter case aside). Unless `exactly`, a
// name missing from the list selects the first entry it begins, as a
// remembered name always has.
void frmChatTools::SelectScheme(const std::string& name, bool exactly) {
  const auto find = [&](UINT message) {
    return SendMessageA(cboSchemes_, message, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(name.c_str()));
  };
  LRESULT index = find(CB_FINDSTRINGEXACT);
  if (index == CB_ERR && !exactly) index = find(CB_FINDSTRING);
  SendMessageA(cboSchemes_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

std::string frmChatTools::SchemeText() const {
  char text[512] = {};
  GetWindowTextA(cboSchemes_, text, sizeof text);
  return text;
}

void frmChatTools::SetExpanded(bool expanded) {
  SetHeight(expanded ? kMaxHeight : kMinHeight);
  line1Visible_ = expanded;
  minToolTip_ = expanded ? "Close Options" : "Show Options";
  TOOLINFOA tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = hWnd();
  tool.uId = reinterpret_cast<UINT_PTR>(Button(kCmdMin).Window());
  tool.lpszText = minToolTip_.data();
  SendMessageA(toolTip_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
  InvalidateRect(hWnd(), nullptr, TRUE);
}

// ---- Previews ----

void frmChatTools::RefreshPreview() {
  InvalidateRect(picPreview_, nullptr, TRUE);
  UpdateWindow(picPreview_);
}

namespace {

// Draws on picPreview through its own device context, one unit a pixel.
template <class Draw>
void OnPreview(HWND preview, const char* procedure, Draw&& draw) {
  RunProcedure({kModule, procedure}, [&] {
    RECT client{};
    GetClientRect(preview, &client);
    HDC dc = GetDC(preview);
    DcSurface surface(dc, client.right, client.bottom);
    draw(surface);
    ReleaseDC(preview, dc);
  });
}

}  // namespace

void frmChatTools::Fade1Preview(Colour c1) {
  OnPreview(picPreview_, "Fade1Preview", [&](DcSurface& s) { DrawFadeStrip(s, &c1, 1); });
}
void frmChatTools::Fade2Preview(Colour c1, Colour c2) {
  const Colour c[] = {c1, c2};
  OnPreview(picPreview_, "Fade2Preview", [&](DcSurface& s) { DrawFadeStrip(s, c, 2); });
}
void frmChatTools::Fade3Preview(Colour c1, Colour c2, Colour c3) {
  const Colour c[] = {c1, c2, c3};
  OnPreview(picPreview_, "Fade3Preview", [&](DcSurface& s) { DrawFadeStrip(s, c, 3); });
}
void frmChatTools::Fade4Preview(Colour c1, Colour c2, Colour c3, Colour c4) {
  const Colour c[] = {c1, c2, c3, c4};
  OnPreview(picPreview_, "Fade4Preview", [&](DcSurface& s) { DrawFadeStrip(s, c, 4); });
}
void frmChatTools::Fade5Preview(Colour c1, Colour c2, Colour c3, Colour c4, Colour c5) {
  const Colour c[] = {c1, c2, c3, c4, c5};
  OnPreview(picPreview_, "Fade5Preview", [&](DcSurface& s) { DrawFadeStrip(s, c, 5); });
}
void frmChatTools::Fade6Preview(Colour c1, Colour c2, Colour c3, Colour c4, Colour c5, Colour c6) {
  const Colour c[] = {c1, c2, c3, c4, c5, c6};
  OnPreview(picPreview_, "Fade6Preview", [&](DcSurface& s) { DrawFadeStrip(s, c, 6); });
}

// The paint handler of picPreview.
void frmChatTools::DrawPreview(HDC) {
  if (IsTrue(IsLoading) || ColorCount < 1 || ColorCount > 6) return;
  const auto& c = colourBacks_;
  switch (ColorCount) {
    case 1: Fade1Preview(c[1]); break;
    case 2: Fade2Preview(c[1], c[2]); break;
    case 3: Fade3Preview(c[1], c[2], c[3]); break;
    case 4: Fade4Preview(c[1], c[2], c[3], c[4]); break;
    case 5: Fade5Preview(c[1], c[2], c[3], c[4], c[5]); break;
    default: Fade6Preview(c[1], c[2], c[3], c[4], c[5], c[6]); break;
  }
}

LRESULT CALLBACK frmChatTools::PreviewProc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
  auto* form = reinterpret_cast<frmChatTools*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      EndPaint(window, &paint);
      if (form) form->DrawPreview(dc);
      return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      if (form) form->picPreview_MouseDown();
      return 0;
    default: return DefWindowProcA(window, message, wp, lp);
  }
}

// ---- Handlers ----

void frmChatTools::optOn_Click() {
  LiveFadeSettings().FaderOn = kTrue;
  WriteSetting("", "Fader On", "True");
  SetOptColor(kTrue, Button(kOptOn));
  SetOptColor(kFalse, Button(kOptOff));
  if (!IsTrue(IsLoading)) FocusBack();
}

void frmChatTools::optOff_Click() {
  LiveFadeSettings().FaderOn = kFalse;
  WriteSetting("", "Fader On", "False");
  SetOptColor(kTrue, Button(kOptOff));
  SetOptColor(kFalse, Button(kOptOn));
  FocusBack();
}

void frmChatTools::optFade_Click(int n) {
  ColorCount = static_cast<std::int16_t>(n);
  FadeNumber();
  LiveFadeSettings().FadeNumber = static_cast<std::int16_t>(n);
  WriteSetting("Colors", "Fade Number", std::to_string(n));
  FocusBack();
}

void frmChatTools::cmdColor_Click(int k) {
  NotOnTop(*this);
  // Owned by this window: the chooser keeps it disabled while it is open.
  const Colour chosen = PickColor(ColorButtonBack(k), hWnd());
  LiveFadeSettings().Colors[k] = chosen;
  StayOnTop(*this);
  SetColorButton(k, chosen);
  WriteSetting("Colors", kColourNames[k], CStr(chosen));
  RefreshPreview();
  FocusBack();
}

void frmChatTools::optStyle_Click(UINT id) {
  for (const StyleButton& style : kStyles) {
    if (style.id != id) continue;
    HostedControl& button = Button(id);
    const bool pressed = !button.GetBool(L"Value");
    button.SetBool(L"Value", pressed);
    SetOptColor(ToVBBool(pressed), button);
    LiveFadeSettings().*style.field = ToVBBool(pressed);
    WriteSetting("Style", style.valueName, pressed ? "True" : "False");
  }
  FocusBack();
}

void frmChatTools::chkSolid_Click() {
  const bool checked = SendMessageA(chkSolid_, BM_GETCHECK, 0, 0) == BST_CHECKED;
  LiveFadeSettings().SolidFade = ToVBBool(checked);
  WriteSetting("Colors", "SolidFade", checked ? "True" : "False");
}

void frmChatTools::cboSchemes_Click() {
  const std::string name = SchemeText();
  const std::string key = "Schemes\\" + name;
  FadeSettings& fade = LiveFadeSettings();
  SkipOnError([&] { ColorCount = CInt(ReadSetting(key, "Fade Number")); });
  SkipOnError([&] { fade.FadeNumber = ColorCount; });
  SkipOnError([&] { WriteSetting("Colors", "Fade Number", std::to_string(ColorCount)); });
  SkipOnError([&] { FadeNumber(); });
  for (int k = 1; k <= 6; ++k) {
    SkipOnError([&] { fade.Colors[k] = CLng(ReadSetting(key, kColourNames[k])); });
    SkipOnError([&] { SetColorButton(k, fade.Colors[k]); });
    SkipOnError([&] { WriteSetting("Colors", kColourNames[k], CStr(fade.Colors[k])); });
  }
  for (const StyleButton& style : kStyles) {
    SkipOnError([&] { fade.*style.field = CBool(ReadSetting(key, style.valueName)); });
    SkipOnError([&] { Button(style.id).SetBool(L"Value", IsTrue(fade.*style.field)); });
    SkipOnError([&] { WriteSetting("Style", style.valueName, TrueFalse(fade.*style.field)); });
  }
  // With nothing selected (the current scheme is not in the list) the reads
  // above found nothing; the remembered scheme name is kept.
  SkipOnError([&] {
    if (name.empty()) return;
    LiveAppOptions().CurrentScheme = name;
    WriteSetting("Schemes", "Default", name);
  });
  SkipOnError([&] { RefreshPreview(); });
  SkipOnError([&] { SetOptState(); });
  if (!IsTrue(IsLoading)) SkipOnError([&] { FocusBack(); });
}

void frmChatTools::cmdSave_Click() {
  RunProcedure({kModule, "cmdSave_Click"}, [&] {
    NotOnTop(*this);
    const std::string answer = InputBox("Please enter the name of this Fade Scheme below.", "Glimra", SchemeText());
    StayOnTop(*this);
    if (answer.empty()) return;
    // The name becomes a registry key and a file name: refuse one that cannot be either safely.
    const SchemeNameCheck check = CheckSchemeName(answer);
    if (check != SchemeNameCheck::Ok) {
      ShowMsg("~B~CRThe name ~CB" + answer + "~CR cannot be used!~B~CN~N ~N" + SchemeNameProblem(check) +
                  "~N ~NThe scheme was not saved.",
              48);
      return;
    }
    const auto count = static_cast<int>(SendMessageA(cboSchemes_, CB_GETCOUNT, 0, 0));
    bool replacing = false;
    for (int i = 0; i < count && !replacing; ++i) {
      char entry[512] = {};
      SendMessageA(cboSchemes_, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(entry));
      replacing = Lower(entry) == Lower(answer);
    }
    if (replacing) {
      if (AskMsg("The Scheme ~B~CB" + answer +
                     "~B~CN already exists.~N ~NDo you wish to replace it with these new settings?",
                 kStyleYesNoInfo) != kAnswerYes)
        return;
    } else {
      SendMessageA(cboSchemes_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(answer.c_str()));
    }
    // A prefix search would pick "Blue" for a new "Blu" and overwrite it.
    SelectScheme(answer, true);
    SaveScheme(answer);
    FocusBack();
  });
}

void frmChatTools::SaveScheme(const std::string& name) {
  const std::string key = "Schemes\\" + name;
  const FadeSettings& fade = LiveFadeSettings();
  WriteSetting(key, "Fade Number", std::to_string(ColorCount));
  for (int k = 1; k <= std::max<int>(1, std::min<int>(ColorCount, 6)); ++k)
    WriteSetting(key, kColourNames[k], CStr(ColorButtonBack(k)));
  for (const StyleButton& style : kStyles) WriteSetting(key, style.valueName, TrueFalse(fade.*style.field));
}

void frmChatTools::cmdDel_Click() {
  const std::string name = SchemeText();
  std::int16_t answer = 0;
  SkipOnError([&] {
    answer = AskMsg("Are you sure you want to delete the scheme ~B~CB" + name + "~B~CN from your scheme queue?",
                    kStyleYesNoInfo);
  });
  if (answer == kAnswerYes) {
    SkipOnError([&] { DeleteSettingKey("Schemes\\" + name); });
    SkipOnError([&] { GetSchemes(); });
    SkipOnError([&] {
      if (SendMessageA(cboSchemes_, CB_GETCOUNT, 0, 0) <= 0) return;
      SendMessageA(cboSchemes_, CB_SETCURSEL, 0, 0);
      cboSchemes_Click();
    });
  }
  SkipOnError([&] { FocusBack(); });
}

void frmChatTools::cmdRefresh_Click() {
  const std::string remembered = SchemeText();
  SkipOnError([&] { ImportSchemeFiles(AppPath() + "\\incoming\\", kTrue); });
  SkipOnError([&] { GetSchemes(); });
  SkipOnError([&] { SelectScheme(remembered); });
}

void frmChatTools::cmdEmail_Click() { EMailFade().Show(); }

void frmChatTools::cmdMin_Click() {
  // From the window's state: a measured height need not come back as the
  // twips it was set to at every screen resolution.
  const bool expanding = !line1Visible_;
  SetExpanded(expanding);
  if (expanding) {
    RePosForm(*this, 0);
    RePosForm(*this, 1);
  }
  DrawFormEdge(*this);
  WriteSetting("", "State", expanding ? "Max" : "Min");
}

void frmChatTools::picPreview_MouseDown() {
  ReleaseCapture();
  SendMessageA(hWnd(), WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

// ---- Window messages ----

void frmChatTools::OnCommand(UINT id, UINT code, HWND) {
  if (id == kCboSchemes) {
    if (code == CBN_SELCHANGE) {
      // The edit part takes the chosen entry's text only after this
      // notification; the selection works on that text.
      const LRESULT index = SendMessageA(cboSchemes_, CB_GETCURSEL, 0, 0);
      char entry[512] = {};
      if (index >= 0)
        SendMessageA(cboSchemes_, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(entry));
      SetWindowTextA(cboSchemes_, entry);
      cboSchemes_Click();
    }
    return;
  }
  if (code != BN_CLICKED) return;
  if (id == kOptOn) optOn_Click();
  if (id == kOptOff) optOff_Click();
  if (id >= kOpt1Fade && id < kOpt1Fade + 6) optFade_Click(static_cast<int>(id - kOpt1Fade) + 1);
  if (id >= kCmdColor1 && id < kCmdColor1 + 6) cmdColor_Click(static_cast<int>(id - kCmdColor1) + 1);
  if (id >= kOptWavy && id <= kOptULine) optStyle_Click(id);
  if (id == kChkSolid) chkSolid_Click();
  if (id == kCmdSave) cmdSave_Click();
  if (id == kCmdDel) cmdDel_Click();
  if (id == kCmdRefresh) cmdRefresh_Click();
  if (id == kCmdEmail) cmdEmail_Click();
  if (id == kCmdMin) cmdMin_Click();
  if (id == kCmdExit) cmdExit_Click();
}

void frmChatTools::OnPaint(HDC dc) {
  HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
  HGDIOBJ old = SelectObject(dc, pen);
  const auto line = [&](int x0, int y0, int x1, int y1) {
    MoveToEx(dc, Px(x0), Py(y0), nullptr);
    LineTo(dc, Px(x1), Py(y1));
  };
  if (line1Visible_) line(120, 630, 6600, 630);
  for (int x : {450, 2070, 3390}) line(x, 240, x, 480);  // Line3(0..2)
  SelectObject(dc, old);
  DeleteObject(pen);
}

bool frmChatTools::OnMessage(UINT message, WPARAM, LPARAM lp, LRESULT& result) {
  if (message == WM_DRAWITEM) {
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
    if (item->CtlID < kCmdColor1 || item->CtlID >= kCmdColor1 + 6) return false;
    RECT r = item->rcItem;
    HBRUSH brush = CreateSolidBrush(ResolveColour(ColorButtonBack(static_cast<int>(item->CtlID - kCmdColor1) + 1)));
    FillRect(item->hDC, &r, brush);
    DeleteObject(brush);
    DrawEdge(item->hDC, &r, (item->itemState & ODS_SELECTED) ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    result = TRUE;
    return true;
  }
  if (message == WM_EXITSIZEMOVE) {
    WriteSetting("", "Top", std::to_string(Top()));
    WriteSetting("", "Left", std::to_string(Left()));
  }
  return false;
}

frmChatTools& ChatTools() {
  static frmChatTools form;
  return form;
}

}  // namespace glimra
