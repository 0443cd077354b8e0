// Signing on and off: the sign-on window ("Sign On", or "Welcome" for
// version 3), the sign-off window ("Goodbye From ..."), both with the screen
// names in an "_AOL_COMBOBOX", and the "Welcome, <name>!" window.
//
// Each combo box entry's item data is the address of an entry record; the
// 32-bit value at +24 of that record is the address of a name record whose
// 16 bytes at +6 hold the screen name. Both records live below 4 GB, so a
// reader that takes the pointers as 32-bit values finds them.
#pragma once

#include <string>

#include "Client.h"

namespace waol {

HWND OpenSignOnWindow();
HWND OpenWelcomeWindow();
void SignOn(int nameIndex);
void SignOff();
std::string GoodbyeCaption();

}  // namespace waol
