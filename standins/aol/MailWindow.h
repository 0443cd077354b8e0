// Mail composition windows ("Write Mail", replies, forwards), their
// Attachments window and its Attach file window, and the message board
// preferences window.
#pragma once

#include <string>

#include "Client.h"

namespace waol {

// The mail window's caption for the client's edition.
std::string WriteMailCaption();
HWND OpenMail(const std::string& caption);
HWND OpenBoardPreferences();
bool RegisterMailClasses(HINSTANCE instance);

}  // namespace waol
