#include "settings/SchemeFile.h"

#include <algorithm>
#include <cctype>

#include "runtime/ErrorReporting.h"

namespace glimra {

const char* const kColorValueNames[7] = {"", "One", "Two", "Three", "Four", "Five", "Six"};
const char kSchemeNameForbiddenCharacters[] = "\\/:*?\"<>|";

namespace {

std::string LowerCase(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower;
}

// Converts `text` into `field`; missing or unconvertible text leaves it.
template <class Field, class Convert>
void ConvertInto(Field& field, const std::string& text, Convert convert) {
  if (text.empty()) return;
  SkipOnError([&] { field = convert(text); });
}

// 1 to 9, and the superscript digits 1, 2, 3 of code page 1252: Windows
// reserves "COM" and "LPT" with those for devices too.
bool IsDevicePortDigit(char c) { return (c >= '1' && c <= '9') || c == '\xB9' || c == '\xB2' || c == '\xB3'; }

bool IsDeviceName(std::string_view name) {
  std::string base = LowerCase(name.substr(0, name.find('.')));
  while (!base.empty() && base.back() == ' ') base.pop_back();  // "CON .fde" is the device too
  if (base == "con" || base == "prn" || base == "aux" || base == "nul") return true;
  return base.size() == 4 && (base.compare(0, 3, "com") == 0 || base.compare(0, 3, "lpt") == 0) &&
         IsDevicePortDigit(base[3]);
}

}  // namespace

std::string SchemeKey(const std::string& name) { return "Schemes\\" + name; }

void ReadFadeScheme(const SettingReader& read, const std::string& name, FadeScheme& scheme) {
  const std::string key = SchemeKey(name);
  ConvertInto(scheme.FadeNumber, read(key, "Fade Number"), [](const std::string& t) { return CInt(t); });
  for (int i = 1; i <= 6; ++i)
    ConvertInto(scheme.Colors[i], read(key, kColorValueNames[i]), [](const std::string& t) { return CLng(t); });
  const auto toBool = [](const std::string& t) { return CBool(t); };
  ConvertInto(scheme.Bold, read(key, "Bold"), toBool);
  ConvertInto(scheme.Italic, read(key, "Italic"), toBool);
  ConvertInto(scheme.ULine, read(key, "ULine"), toBool);
  ConvertInto(scheme.Wavy, read(key, "Wavy"), toBool);
}

std::string SchemeFileText(std::string_view fadeNumberText, const FadeScheme& scheme) {
  std::string text = "[Options]\r\nFadeNumber=";
  text += fadeNumberText;
  text += "\r\n\r\n[Colors]\r\n";
  for (int i = 1; i <= 6; ++i) text += std::string(kColorValueNames[i]) + "=" + CStr(scheme.Colors[i]) + "\r\n";
  text += "\r\n[Style]\r\n";
  text += "Wavy=" + CStr(scheme.Wavy) + "\r\n";
  text += "Bold=" + CStr(scheme.Bold) + "\r\n";
  text += "Italic=" + CStr(scheme.Italic) + "\r\n";
  text += "ULine=" + CStr(scheme.ULine);
  return text;
}

std::optional<SchemeLineValue> ParseSchemeLine(std::string_view line) {
  const size_t equals = line.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  const std::string_view key = line.substr(0, equals);
  std::string value(line.substr(equals + 1));
  const std::string lower = LowerCase(key);
  if (lower == "fadenumber") return SchemeLineValue{"Fade Number", std::move(value)};
  static const char* const kNamedKeys[] = {"one", "two",  "three", "four",   "five",
                                           "six", "wavy", "bold",  "italic", "uline"};
  for (const char* named : kNamedKeys)
    if (lower == named) return SchemeLineValue{std::string(key), std::move(value)};
  return std::nullopt;
}

std::vector<std::string_view> SplitTextLines(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
  }
  return lines;
}

SchemeNameCheck CheckSchemeName(std::string_view name) {
  if (name.empty()) return SchemeNameCheck::Empty;
  for (unsigned char c : name)
    if (c < 32 || std::string_view(kSchemeNameForbiddenCharacters).find(static_cast<char>(c)) != std::string_view::npos)
      return SchemeNameCheck::ForbiddenCharacter;
  if (name.find_first_not_of('.') == std::string_view::npos) return SchemeNameCheck::OnlyDots;
  if (IsDeviceName(name)) return SchemeNameCheck::DeviceName;
  return SchemeNameCheck::Ok;
}

}  // namespace glimra
