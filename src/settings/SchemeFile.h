// Fade schemes: the named scheme record, how it is read from the settings
// tree, and the ".fde" scheme file text that carries it between computers.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/modFade.h"
#include "runtime/Conversions.h"

namespace glimra {

// Reads one value of the settings tree: (subkey, value name) -> text, the
// empty text when missing. ReadSetting in the program, a table in tests.
using SettingReader = std::function<std::string(const std::string& subkey, const std::string& valueName)>;

// The value names of colours 1 to 6, used by the live settings and by schemes.
extern const char* const kColorValueNames[7];  // [1] "One" .. [6] "Six"

// A named fade: how many colours it runs through, the six colours and four
// style switches.
struct FadeScheme {
  std::string Name;
  std::int16_t FadeNumber = 0;
  Colour Colors[7] = {};  // Colors[1] .. Colors[6]; [0] is unused
  VBBool Wavy = kFalse;
  VBBool Bold = kFalse;
  VBBool Italic = kFalse;
  VBBool ULine = kFalse;
};

// "Schemes\" + name: the scheme's key below the settings root.
std::string SchemeKey(const std::string& name);

// Fills `scheme` from the key of scheme `name`. A value that is missing or
// does not convert leaves its field as it was.
void ReadFadeScheme(const SettingReader& read, const std::string& name, FadeScheme& scheme);

// The text of a scheme file, lines joined by CR LF. The final CR LF is not
// included: the file writer adds it. The fade number goes in as the store
// holds it (`fadeNumberText`); colours and switches come from `scheme`.
std::string SchemeFileText(std::string_view fadeNumberText, const FadeScheme& scheme);

// One value a scheme file line names: the registry value name and its text.
struct SchemeLineValue {
  std::string valueName;
  std::string value;
};

// Reads one line of a scheme file. Lines without "=" and keys the format does
// not name give nothing. "FadeNumber" (any case) is stored as "Fade Number";
// the colour and style keys keep the spelling the file uses.
std::optional<SchemeLineValue> ParseSchemeLine(std::string_view line);

// Splits file text into lines at CR LF, lone CR and lone LF alike.
std::vector<std::string_view> SplitTextLines(std::string_view text);

// Whether a name can be a scheme: it becomes both a registry key below
// "Schemes" and a file name, so it must not address another key or folder.
enum class SchemeNameCheck {
  Ok,
  Empty,
  ForbiddenCharacter,  // one of kSchemeNameForbiddenCharacters or a control character
  OnlyDots,
  DeviceName,  // CON, PRN, AUX, NUL, COM1..COM9, LPT1..LPT9 (also with the superscript digits 1, 2 and 3 of code
               // page 1252), with or without an extension
};
extern const char kSchemeNameForbiddenCharacters[];  // \ / : * ? " < > |
SchemeNameCheck CheckSchemeName(std::string_view name);

}  // namespace glimra
