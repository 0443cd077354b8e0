// The user colours dialog ("Set User Defined Colors"): four swatches for the
// colours of the user colours look and a sample button that shows them at
// once. Every pick is stored the moment it is made.
#pragma once

#include <windows.h>

#include <array>

#include "runtime/FormWindow.h"
#include "settings/OptionsRules.h"

namespace glimra {

class frmSetColors : public FormWindow {
 public:
  enum : UINT {
    kCmdWndClr = 101,  // the four swatches in SwatchOptions() order
    kCmdBtnFC,
    kCmdBtnHL,
    kCmdBtnTC,
    kLblSwatch = 111,  // .. + 3
    kFrame1 = 121,
    kCmdSampleBtn,
    kCmdExit,
  };
  static constexpr char kCaption[] = "Set User Defined Colors";

  frmSetColors();

  // The colour a swatch shows.
  Colour SwatchColour(UINT id) const { return swatches_[id - kCmdWndClr]; }
  HostedControl& Button(UINT id) { return *Control(id); }

  // The form, the Exit button's filler and the sample take the swatches' colours.
  void ChangeButton();

  void cmdSwatch_Click(UINT id);
  void cmdExit_Click() { Unload(); }

 protected:
  void OnLoad() override;
  void OnCommand(UINT id, UINT code, HWND control) override;
  bool OnMessage(UINT message, WPARAM wp, LPARAM lp, LRESULT& result) override;

 private:
  void AddControls();
  void PaintSwatch(UINT id, Colour colour);

  std::array<Colour, 4> swatches_{};
};

// The user colours dialog of the moment; the options dialog shows it modally.
frmSetColors& SetColorsDialog();

}  // namespace glimra
