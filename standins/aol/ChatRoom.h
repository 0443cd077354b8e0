// A chat room: the transcript, the people here, the input box and its Send
// icon. Enter in the input box or a click on Send sends the box's text to the
// room: the transcript shows it with its markup rendered, and the box empties.
#pragma once

#include <string>

#include "Client.h"

namespace waol {

HWND OpenChatRoom(const std::string& name);

}  // namespace waol
