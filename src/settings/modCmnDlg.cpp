#include "settings/modCmnDlg.h"

#include <string>

#include "settings/modRegKeys.h"
#include "shell/Conversions.h"
#include "shell/ErrorReporting.h"

namespace glimra {

Colour GetCustomColor(std::int32_t index) {
  Colour colour = 0;
  RunProcedure({"modCmnDlg", "GetCustomColor"}, [&] {
    const std::string text = ReadSetting("Custom Colors", CStr(index));
    colour = text.empty() ? kDefaultCustomColor : CLng(text);
  });
  return colour;
}

void SaveCustomColor(std::int32_t index, Colour colour) { WriteSetting("Custom Colors", CStr(index), CStr(colour)); }

}  // namespace glimra
