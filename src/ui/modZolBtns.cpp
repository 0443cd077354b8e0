#include "ui/modZolBtns.h"

#include <windows.h>

#include "aol/AOLClientState.h"
#include "aol/modWin32API.h"
#include "runtime/ErrorReporting.h"
#include "runtime/FormWindow.h"

namespace glimra {

namespace {

constexpr char kModule[] = "modZolBtns";

}  // namespace

// The edition flags of the running AOL client, as far as known.
static EditionFlags CurrentEdition() {
  const AOLClientState& state = ClientState();
  return {IsTrue(state.EditionUK), IsTrue(state.EditionAustralia)};
}

std::int16_t GetUIMode() {
  std::int16_t mode = kWindowsStyle;
  RunProcedure({kModule, "GetUIMode"}, [&] {
    HWND desktop = GetDesktopWindow();
    HDC dc = GetDC(desktop);
    const int bitsPerPixel = GetDeviceCaps(dc, BITSPIXEL);
    ReleaseDC(desktop, dc);
    mode = UIModeForDepth(bitsPerPixel, LowColorFlag());
  });
  return mode;
}

void SetFormColor(FormWindow& form) {
  RunProcedure({kModule, "SetFormColor"}, [&] {
    const LookAndFeel& look = CurrentLook();
    if (auto colour = FormColourFor(look.UIMode, CurrentEdition(), LiveUserColors())) form.SetBackColor(*colour);
  });
}

void SetButtonColor(HostedControl& button, VBBool highlight) {
  RunProcedure({kModule, "SetButtonColor"}, [&] {
    const LookAndFeel& look = CurrentLook();
    const auto colours = ButtonColoursFor(look.UIMode, highlight, CurrentEdition(), LiveUserColors());
    if (!colours) return;
    button.SetLong(L"BackColor", colours->BackColor);
    button.SetLong(L"BorderColor", colours->BorderColor);
    button.SetLong(L"ForeColor", colours->ForeColor);
    button.SetLong(L"FillerBackground", colours->FillerBackground);
    if (colours->FocusColor) button.SetLong(L"FocusColor", *colours->FocusColor);
    button.SetLong(L"ShadowColor", colours->ShadowColor);
  });
}

void SetOptColor(VBBool selected, HostedControl& button) {
  RunProcedure({kModule, "SetOptColor"}, [&] {
    const auto colours = OptionColoursFor(CurrentLook().UIMode, selected, LiveUserColors());
    if (!colours) return;
    button.SetLong(L"BackColor", colours->BackColor);
    button.SetLong(L"Highlight", colours->Highlight);
    button.SetLong(L"ForeColor", colours->ForeColor);
  });
}

void DrawFormEdge(FormWindow& form) {
  RunProcedure({kModule, "DrawFormEdge"}, [&] { form.SetEtchedEdge(true); });
}

void PrepareForm(FormWindow& form) {
  StayOnTop(form);
  CenterForm(form);
  SetFormColor(form);
}

}  // namespace glimra
