// Colouring Glimra's windows and buttons for the current look while they load.
#pragma once

#include <cstdint>

#include "runtime/Conversions.h"
#include "ui/ColourModes.h"

namespace glimra {

class FormWindow;
class HostedControl;

// The look a screen of the desktop's depth gives; sets the low-colour flag.
std::int16_t GetUIMode();
void SetFormColor(FormWindow& form);
void SetButtonColor(HostedControl& button, VBBool highlight);
void SetOptColor(VBBool selected, HostedControl& button);
// An etched edge inside the form's client area.
void DrawFormEdge(FormWindow& form);
// Topmost, centred, coloured: the common start of a window's load.
void PrepareForm(FormWindow& form);

}  // namespace glimra
