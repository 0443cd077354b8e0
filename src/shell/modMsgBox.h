// Glimra's own messages: ShowMsg with one OK button, AskMsg with a button set
// and the pressed button's answer. Both block until a button is pressed.
#pragma once

#include <cstdint>
#include <string>

namespace glimra {

// Style: 16 stop, 32 question, 48 exclamation, 64 information; + 4096 shows
// the box non-modal while the call still waits.
void ShowMsg(const std::string& message, std::int32_t style);
// Style adds the button set (0 to 5) and the default button (256, 512);
// answers 1 OK, 2 Cancel, 3 Abort, 4 Retry, 5 Ignore, 6 Yes, 7 No.
std::int16_t AskMsg(const std::string& message, std::int32_t style);

}  // namespace glimra
