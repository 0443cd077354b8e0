#include "settings/modCmnDlg.h"

// clang-format off
#include <windows.h>
#include <commdlg.h>
// clang-format on

#include <array>
#include <cstring>
#include <string>

#include "runtime/Conversions.h"
#include "runtime/ErrorReporting.h"
#include "settings/modRegKeys.h"

namespace glimra {

namespace {

constexpr char kModule[] = "modCmnDlg";
constexpr int kCustomColours = 16;
using CustomColours = std::array<COLORREF, kCustomColours>;

CustomColours LoadCustomColours() {
  CustomColours colours{};
  for (int index = 0; index < kCustomColours; ++index) colours[index] = static_cast<COLORREF>(GetCustomColor(index));
  return colours;
}

void StoreCustomColours(const CustomColours& colours) {
  for (int index = 0; index < kCustomColours; ++index) SaveCustomColor(index, static_cast<Colour>(colours[index]));
}

// Shows the dialog over `colours` kept in a movable global block, as the
// dialog's callers always have; copies the block back. False when no block
// could be had (nothing is shown then).
bool ChooseWithCustomColours(CHOOSECOLORA& choice, CustomColours& colours, BOOL& chosen) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof colours);
  if (!block) return false;
  auto* locked = static_cast<COLORREF*>(GlobalLock(block));
  if (!locked) {
    GlobalFree(block);
    return false;
  }
  std::memcpy(locked, colours.data(), sizeof colours);
  choice.lpCustColors = locked;
  chosen = ChooseColorA(&choice);
  std::memcpy(colours.data(), locked, sizeof colours);
  GlobalUnlock(block);
  GlobalFree(block);
  return true;
}

}  // namespace

Colour GetCustomColor(std::int32_t index) {
  Colour colour = 0;
  RunProcedure({kModule, "GetCustomColor"}, [&] {
    const std::string text = ReadSetting("Custom Colors", CStr(index));
    colour = text.empty() ? kDefaultCustomColor : CLng(text);
  });
  return colour;
}

void SaveCustomColor(std::int32_t index, Colour colour) { WriteSetting("Custom Colors", CStr(index), CStr(colour)); }

Colour PickColor(Colour initial, HWND owner) {
  Colour result = 0;
  RunProcedure({kModule, "PickColor"}, [&] {
    CustomColours colours = LoadCustomColours();
    CHOOSECOLORA choice{};
    choice.lStructSize = sizeof choice;
    choice.hwndOwner = owner;
    choice.rgbResult = static_cast<COLORREF>(initial);
    choice.Flags = CC_RGBINIT | CC_FULLOPEN;
    BOOL chosen = FALSE;
    if (!ChooseWithCustomColours(choice, colours, chosen)) return;
    // Custom colours defined in the dialog are kept even when it is cancelled.
    StoreCustomColours(colours);
    const auto picked = static_cast<Colour>(choice.rgbResult);
    result = !chosen || picked < 0 ? initial : picked;
  });
  return result;
}

std::string OpenDialog(const std::string& description, const std::string& pattern, std::int16_t mode) {
  std::string result;
  RunProcedure({kModule, "OpenDialog"}, [&] {
    std::string filter = description;
    filter.push_back('\0');
    filter += pattern;
    filter.append(2, '\0');
    // Room for any path the file system allows.
    std::string file(MAX_PATH, '\0');
    OPENFILENAMEA open{};
    open.lStructSize = sizeof open;
    open.lpstrFilter = filter.c_str();
    open.nFilterIndex = 1;
    open.lpstrFile = file.data();
    open.nMaxFile = static_cast<DWORD>(file.size());
    open.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    if (!GetOpenFileNameA(&open)) return;
    const std::string path = file.substr(0, file.find('\0'));
    if (mode == kOpenFullPath) result = path;
    if (mode == kOpenFolder) result = path.substr(0, open.nFileOffset);
  });
  return result;
}

}  // namespace glimra
