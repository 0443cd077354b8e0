#include "settings/frmoptions.h"

#include "aol/modWin32API.h"
#include "runtime/ErrorReporting.h"
#include "settings/AppOptions.h"
#include "settings/modFileOp.h"
#include "settings/modRegKeys.h"
#include "shell/FormParts.h"
#include "shell/ReloadChatTools.h"
#include "ui/ColourModes.h"
#include "ui/frmSetColors.h"
#include "ui/modZolBtns.h"

namespace glimra {

namespace {

constexpr char kModule[] = "frmoptions";
constexpr int kClientWidth = 5880, kClientHeight = 6600;
constexpr int kLeft = 240, kIndent = 480, kWide = 5400;

// The controls step 5 greys out with the multi-line sender.
constexpr UINT kMultilineControls[] = {frmoptions::kLabel4,       frmoptions::kLabel5, frmoptions::kCboBurstSecs,
                                       frmoptions::kLblLineTitle, frmoptions::kLabel6, frmoptions::kLabel7,
                                       frmoptions::kCboLines};
constexpr UINT kModeButtons[] = {frmoptions::kOptUIStd, frmoptions::kOptUIEnh, frmoptions::kOptUIUser};
constexpr UINT kColourButtons[] = {frmoptions::kCmdExit, frmoptions::kCmdHelp, frmoptions::kCmdSetColors};

UINT CheckBoxId(OptionsCheck check) { return frmoptions::kChkOpenFade + static_cast<UINT>(check); }

HFONT GuiFont() { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

void Store(const StoredSetting& setting) { WriteSetting(setting.subkey, setting.valueName, setting.text); }

}  // namespace

frmoptions::frmoptions() : FormWindow("frmoptions", kClientWidth, kClientHeight) {}
frmoptions::~frmoptions() = default;

void frmoptions::AddControls() {
  SetCaption(kCaption);
  heading_ = std::make_unique<LabelFont>(8.25, true);
  const auto child = [&](const char* className, const std::string& text, DWORD style, UINT id, const TwipRect& place,
                         DWORD exStyle = 0) {
    HWND control = AddChild(className, text, WS_VISIBLE | style, id, place, exStyle);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(GuiFont()), FALSE);
    return control;
  };
  const auto label = [&](UINT id, const std::string& text, const TwipRect& place) {
    return child("STATIC", text, SS_NOPREFIX, id, place);
  };
  const auto heading = [&](UINT id, const std::string& text, int top) {
    HWND control = label(id, text, {kLeft, top, kWide, 240});
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(heading_->Handle()), FALSE);
  };
  const auto box = [&](OptionsCheck check, int left, int top) {
    child("BUTTON", CheckBoxFor(check).caption, BS_AUTOCHECKBOX | WS_TABSTOP, CheckBoxId(check),
          {left, top, kClientWidth - left - 120, 255});
  };

  box(OptionsCheck::OpenFade, kLeft, 150);
  box(OptionsCheck::ChatKW, kLeft, 420);
  box(OptionsCheck::EFade, kLeft, 690);
  child("STATIC", "", SS_ETCHEDHORZ, kLine1, {120, 1035, kClientWidth - 240, 30});

  heading(kLabel2, "Multiline Chat Options:", 1140);
  box(OptionsCheck::Multiline, kLeft, 1410);
  label(kLabel4, "Line Delay:", {kIndent, 1740, 1140, 240});
  child("COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, kCboBurstSecs, {1680, 1695, 960, 2400});
  label(kLabel5, "seconds.", {2730, 1740, 1200, 240});
  label(kLblLineTitle, "Maximum number of characters per line before text wrapping occurs and Multiline chat begins",
        {kIndent, 2070, kClientWidth - kIndent - 240, 420});
  child("COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, kCboLines, {kIndent, 2535, 960, 2400});
  label(kLabel6, "lines.", {1530, 2580, 1200, 240});
  label(kLabel7, "Warning: Setting a value above 60 might prevent AOL from accepting faded text!",
        {kIndent, 2910, kClientWidth - kIndent - 240, 420});
  child("STATIC", "", SS_ETCHEDHORZ, kLine2, {120, 3420, kClientWidth - 240, 30});

  heading(kLabel1, "E-Mail a Fade Options:", 3525);
  box(OptionsCheck::Alias, kLeft, 3795);
  label(kLblAlias, "Alias:", {kIndent, 4125, 600, 240});
  child("EDIT", "", ES_AUTOHSCROLL | WS_TABSTOP, kTxtAlias, {1140, 4080, 2760, 315}, WS_EX_CLIENTEDGE);
  box(OptionsCheck::FadeSample, kLeft, 4485);

  heading(kLabel3, "Glimra Appearance:", 4905);
  const char* const modeCaptions[] = {"Use Windows style colors", "Use AOL style colors",
                                      "I will specify my own colors"};
  for (int mode = 0; mode < 3; ++mode)
    child("BUTTON", modeCaptions[mode], BS_AUTORADIOBUTTON | WS_TABSTOP | (mode == 0 ? WS_GROUP : 0),
          kModeButtons[mode], {kLeft, 5175 + 270 * mode, 3480, 255});

  const auto button = [&](UINT id, const TwipRect& place, const char* caption) {
    ShowWindow(AddZolButton(id, place, caption).Window(), SW_SHOW);
  };
  button(kCmdSetColors, {4080, 5655, 1560, 345}, "Set Colors");
  button(kCmdHelp, {2880, 6120, 1320, 345}, "Help");
  button(kCmdExit, {4320, 6120, 1320, 345}, "Exit");
}

void frmoptions::OnLoad() {
  RunProcedure({kModule, "Form_Load"}, [&] {
    AddControls();
    const AppOptions& options = LiveAppOptions();
    PrepareForm(*this);
    ResetColor(kFalse);
    DrawFormEdge(*this);
    loading_ = true;
    for (const CheckBoxOption& box : CheckBoxOptions()) {
      if (box.check == OptionsCheck::Alias || box.check == OptionsCheck::FadeSample) continue;
      SendMessageA(Item(CheckBoxId(box.check)), BM_SETCHECK, IsTrue(options.*box.field) ? BST_CHECKED : BST_UNCHECKED,
                   0);
    }
    EnableMultilineControls(MultilineControlsEnabled(IsTrue(options.UseMultiline)));
    FillList(kCboBurstSecs, BurstEntries(), BurstEntryFor(options.MultilineBurst));
    FillList(kCboLines, LineEntries(), LineEntryFor(options.CharsInLine));
    SendMessageA(Item(kChkAlias), BM_SETCHECK, IsTrue(options.UseAlias) ? BST_CHECKED : BST_UNCHECKED, 0);
    EnableAliasControls(AliasControlsEnabled(IsTrue(options.UseAlias)));
    SetWindowTextA(Item(kTxtAlias), options.AliasName.c_str());
    SendMessageA(Item(kChkFadeSample), BM_SETCHECK, IsTrue(options.ShowEMailSample) ? BST_CHECKED : BST_UNCHECKED, 0);
    const std::int16_t mode = CurrentLook().UIModeCopy;
    if (const auto selected = ModeButtonFor(mode))
      SendMessageA(Item(kModeButtons[*selected]), BM_SETCHECK, BST_CHECKED, 0);
    if (const auto enabled = SetColorsEnabledFor(mode)) EnableSetColors(*enabled);
    if (!FixedLooksEnabled(LowColorFlag()))
      for (UINT id : {kLabel3, kOptUIStd, kOptUIEnh}) EnableWindow(Item(id), FALSE);
    loading_ = false;
  });
  loading_ = false;
}

void frmoptions::FillList(UINT id, const std::vector<std::string>& entries, int selected) {
  HWND list = Item(id);
  SendMessageA(list, CB_RESETCONTENT, 0, 0);
  for (const std::string& entry : entries) SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
  SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

std::string frmoptions::ListText(UINT id) const {
  HWND list = Item(id);
  const LRESULT index = SendMessageA(list, CB_GETCURSEL, 0, 0);
  if (index == CB_ERR) return "";
  std::string text(static_cast<std::size_t>(SendMessageA(list, CB_GETLBTEXTLEN, index, 0)) + 1, '\0');
  text.resize(static_cast<std::size_t>(
      SendMessageA(list, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()))));
  return text;
}

void frmoptions::EnableMultilineControls(bool enabled) {
  for (UINT id : kMultilineControls) EnableWindow(Item(id), enabled);
}

void frmoptions::EnableAliasControls(bool enabled) {
  for (UINT id : {kLblAlias, kTxtAlias}) EnableWindow(Item(id), enabled);
}

// The button looks disabled and takes no clicks.
void frmoptions::EnableSetColors(bool enabled) {
  HostedControl& button = Button(kCmdSetColors);
  button.SetBool(L"Enabled", enabled);
  EnableWindow(button.Window(), enabled);
}

void frmoptions::RepaintAll() {
  RedrawWindow(hWnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

// Check boxes and option buttons draw on the form's own background colour.
void frmoptions::ResetColor(VBBool reloadChatTools) {
  RunProcedure({kModule, "ResetColor"}, [&] {
    SetFormColor(*this);
    for (UINT id : kColourButtons) SetButtonColor(Button(id), kFalse);
    RepaintAll();
    if (IsTrue(reloadChatTools)) ReloadChatTools();
  });
}

// ---- Events ----

void frmoptions::chk_Click(UINT id) {
  if (loading_) return;
  RunProcedure({kModule, "chk_Click"}, [&] {
    const auto check = static_cast<OptionsCheck>(id - kChkOpenFade);
    const bool checked = SendMessageA(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
    Store(ApplyCheckBox(LiveAppOptions(), check, checked));
    if (check == OptionsCheck::Multiline) EnableMultilineControls(MultilineControlsEnabled(checked));
    if (check == OptionsCheck::Alias) EnableAliasControls(AliasControlsEnabled(checked));
  });
}

void frmoptions::cboBurstSecs_Click() {
  RunProcedure({kModule, "cboBurstSecs_Click"}, [&] {
    const std::string entry = ListText(kCboBurstSecs);
    if (!entry.empty()) Store(ChooseBurst(LiveAppOptions(), entry));
  });
}

void frmoptions::cboLines_Click() {
  RunProcedure({kModule, "cboLines_Click"}, [&] {
    const std::string entry = ListText(kCboLines);
    if (!entry.empty()) Store(ChooseLines(LiveAppOptions(), entry));
  });
}

void frmoptions::optUI_Click(std::int16_t mode) {
  if (loading_) return;
  RunProcedure({kModule, "optUI_Click"}, [&] {
    LookAndFeel& look = CurrentLook();
    look.UIMode = look.UIModeCopy = mode;
    WriteSetting("", "UIMode", CStr(static_cast<std::int32_t>(mode)));
    EnableSetColors(SetColorsEnabledFor(mode).value_or(false));
    ResetColor(kTrue);
  });
}

// Out of the topmost band meanwhile, so that it cannot cover the colour
// chooser. Afterwards the whole dialog takes the picked colours, not only its
// buttons: a new window colour would otherwise show only around their corners.
void frmoptions::cmdSetColors_Click() {
  RunProcedure({kModule, "cmdSetColors_Click"}, [&] {
    NotOnTop(*this);
    SetColorsDialog().Show(true);
    StayOnTop(*this);
    ResetColor(kTrue);
  });
}

void frmoptions::cmdHelp_Click() {
  RunProcedure({kModule, "cmdHelp_Click"}, [&] { RunWinHelp(*this, kHelpKeyword, kFalse); });
}

void frmoptions::cmdExit_Click() {
  RunProcedure({kModule, "cmdExit_Click"}, [&] {
    char text[1024] = {};
    GetWindowTextA(Item(kTxtAlias), text, sizeof text);
    Store(ApplyAliasName(LiveAppOptions(), text));
    Unload();
  });
}

void frmoptions::OnCommand(UINT id, UINT code, HWND) {
  if (code == CBN_SELCHANGE) {
    if (id == kCboBurstSecs) cboBurstSecs_Click();
    if (id == kCboLines) cboLines_Click();
    return;
  }
  if (code != BN_CLICKED) return;
  if (id >= kChkOpenFade && id <= kChkFadeSample) {
    chk_Click(id);
    return;
  }
  for (std::int16_t mode = 0; mode < 3; ++mode)
    if (id == kModeButtons[mode]) {
      // A look already chosen is not chosen again.
      if (CurrentLook().UIModeCopy != mode) optUI_Click(mode);
      return;
    }
  switch (id) {
    case kCmdSetColors: cmdSetColors_Click(); break;
    case kCmdHelp: cmdHelp_Click(); break;
    case kCmdExit: cmdExit_Click(); break;
    default: break;
  }
}

frmoptions& OptionsDialog() {
  static frmoptions dialog;
  return dialog;
}

void ShowOptions() {
  frmoptions& dialog = OptionsDialog();
  dialog.Show();
  SetForegroundWindow(dialog.hWnd());
}

}  // namespace glimra
