// Window primitives: keeping Glimra's own windows centred, on the screen and
// above other windows.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "runtime/Conversions.h"

namespace glimra {

class FormWindow;

// The window's whole text through WM_GETTEXT. With `wait` True, reads again
// until the text holds more than blanks, for at most 10 seconds ("" then).
std::string GetAPIText(HWND window, VBBool wait);

// Bounded waits of 10 seconds: a visible window found, or 0. Events keep
// running while they wait.
HWND WaitForWindow(const std::string& className, const std::string& caption);
// A top-level window of `process` only: another program's window of the same
// class and caption is not taken for it.
HWND WaitForWindowOf(DWORD process, const std::string& className, const std::string& caption);
HWND WaitForChildClass(HWND parent, const std::string& className);
HWND WaitForChildTitle(HWND parent, const std::string& pattern);

// Lets events run for `milliseconds`.
void Pause(double milliseconds);

// Pulls the form back onto the screen: axis 0 vertically, 1 horizontally.
void RePosForm(FormWindow& form, std::int16_t axis);

// Left = (screen width - form width) / 2, Top likewise.
void CenterForm(FormWindow& form);
// Puts the form in the topmost band, or takes it out again.
void StayOnTop(FormWindow& form);
void NotOnTop(FormWindow& form);
// flag -1: topmost; 0: not topmost; anything else: top of the non-topmost band.
void SetTopMost(HWND window, std::int16_t flag);

// Start-up checks of the platform and the installation; each failing one
// shows its message and ends the program.
// Ends the program unless running on the Windows 95/98 platform.
void OS_Check();
// The Windows system directory.
std::string GetSysDir();
// A marked-up message as plain text: the codes dropped, "~N" a line break.
std::string PlainMessageText(const std::string& marked);
// Ends the program when `fileName` is missing from the system directory.
void CheckRuntimeFile(const std::string& fileName);

}  // namespace glimra
