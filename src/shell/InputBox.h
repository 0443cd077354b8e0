// The input box: a prompt, one line of text and OK / Cancel, modal.
#pragma once

#include <string>

namespace glimra {

// The text typed when OK is pressed; the empty text on Cancel or close.
// The window is a "GlimraForm" captioned `title`; its edit box is control 1,
// OK control 2, Cancel control 3.
std::string InputBox(const std::string& prompt, const std::string& title, const std::string& defaultText);

}  // namespace glimra
