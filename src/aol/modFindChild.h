// Finding the direct children of a window by class or by caption, in z-order.
#pragma once

#include <windows.h>

#include <string>

namespace glimra {

// The index-th direct child whose class is `className` (any letter case), or 0.
HWND FindChildByClass(HWND parent, const std::string& className, int index = 1);
// The index-th direct child whose caption begins with `pattern` (any letter
// case; "?", "*", "#" and "[...]" work as wildcards), or 0.
HWND FindChildByTitle(HWND parent, const std::string& pattern, int index = 1);

// Class name and caption through a 100-character buffer, blanks trimmed.
std::string GetClass(HWND window);
std::string GetText(HWND window);

}  // namespace glimra
