// The options dialog ("Glimra Options"): the options that are not part of a
// fade (the chat tools window and chat keywords, the multi-line sender's
// pacing, sharing schemes by mail, the e-mail toolbar) and the look of
// Glimra's own windows. Every change is stored the moment it is made, except
// the alias, which "Exit" stores.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "runtime/Conversions.h"
#include "runtime/FormWindow.h"
#include "settings/OptionsRules.h"

namespace glimra {

class LabelFont;

class frmoptions : public FormWindow {
 public:
  enum : UINT {
    kChkOpenFade = 101,
    kChkChatKW,
    kChkEFade,
    kChkMultiline,
    kChkAlias,
    kChkFadeSample,
    kLabel1 = 111,
    kLabel2,
    kLabel3,
    kLabel4,
    kLabel5,
    kLabel6,
    kLabel7,
    kLblLineTitle,
    kLblAlias,
    kLine1 = 121,
    kLine2,
    kCboBurstSecs = 131,
    kCboLines,
    kTxtAlias,
    kOptUIStd = 141,
    kOptUIEnh,
    kOptUIUser,
    kCmdSetColors = 151,
    kCmdHelp,
    kCmdExit,
  };
  static constexpr char kCaption[] = "Glimra Options";
  static constexpr char kHelpKeyword[] = "Options";

  frmoptions();
  ~frmoptions() override;

  // Applies the current look to this window and, when `reloadChatTools` is
  // True, rebuilds the chat tools window in it too.
  void ResetColor(VBBool reloadChatTools);

  HWND Item(UINT id) const { return GetDlgItem(hWnd(), static_cast<int>(id)); }
  HostedControl& Button(UINT id) { return *Control(id); }
  bool Loading() const { return loading_; }

  // Event handlers.
  void chk_Click(UINT id);
  void cboBurstSecs_Click();
  void cboLines_Click();
  void optUI_Click(std::int16_t mode);
  void cmdSetColors_Click();
  void cmdHelp_Click();
  void cmdExit_Click();

 protected:
  void OnLoad() override;
  void OnCommand(UINT id, UINT code, HWND control) override;

 private:
  void AddControls();
  void EnableMultilineControls(bool enabled);
  void EnableAliasControls(bool enabled);
  void EnableSetColors(bool enabled);
  void FillList(UINT id, const std::vector<std::string>& entries, int selected);
  std::string ListText(UINT id) const;
  void RepaintAll();

  bool loading_ = false;
  std::unique_ptr<LabelFont> heading_;
};

// The options dialog of the moment; shown non-modal by the menu and the chat commands.
frmoptions& OptionsDialog();
void ShowOptions();

}  // namespace glimra
