// The standard colour and file-open dialogs, and the colour picker's sixteen
// remembered custom colours, kept under "Custom Colors" with value names "0"
// to "15".
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "engine/modFade.h"

namespace glimra {

constexpr Colour kDefaultCustomColor = 16777215;  // white

// Custom colour `index`: white when missing; a stored value that is not a
// number goes to the error handler.
Colour GetCustomColor(std::int32_t index);

void SaveCustomColor(std::int32_t index, Colour colour);

// The colour dialog, fully open, preset to `initial`, offering the sixteen
// custom colours; all sixteen are stored again however the dialog ends.
// With an `owner` the dialog is modal to it (the owner is disabled while it
// is open). The chosen colour, or `initial` on Cancel.
Colour PickColor(Colour initial, HWND owner = nullptr);

// OpenDialog modes: the chosen file's full path, or its folder with the
// closing "\".
constexpr std::int16_t kOpenFullPath = 1;
constexpr std::int16_t kOpenFolder = 2;

// The file-open dialog with one filter (`description`, `pattern` such as
// "*.txt;*.log"). The empty text on Cancel and for any other mode.
std::string OpenDialog(const std::string& description, const std::string& pattern, std::int16_t mode);

}  // namespace glimra
