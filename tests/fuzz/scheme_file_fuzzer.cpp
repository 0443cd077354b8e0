// Scheme files of any bytes, read as the program imports them and as
// glimra-fade reads them: lines split cleanly, every value a file names
// survives writing the scheme and reading it back, and a scheme glimra-fade
// accepts is one the engine can render.
#include <cstdint>
#include <map>
#include <string>

#include "FadeCommand.h"
#include "FuzzInput.h"
#include "settings/SchemeFile.h"

using namespace glimra;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::map<std::string, std::string> values;
  std::size_t bytes = 0;
  for (std::string_view line : SplitTextLines(text)) {
    fuzz::Require(line.find_first_of("\r\n") == std::string_view::npos);
    bytes += line.size();
    if (const auto value = ParseSchemeLine(line)) {
      fuzz::Require(value->value.find_first_of("\r\n") == std::string::npos);
      values[value->valueName] = value->value;
    }
  }
  fuzz::Require(bytes <= text.size());
  CheckSchemeName(text);

  const SettingReader read = [&values](const std::string&, const std::string& name) {
    const auto found = values.find(name);
    return found == values.end() ? std::string() : found->second;
  };
  FadeScheme scheme;
  ReadFadeScheme(read, "fuzz", scheme);
  // Written out and read back, the scheme's values come back the same.
  std::map<std::string, std::string> again;
  const std::string written = SchemeFileText(read("", "Fade Number"), scheme);
  for (std::string_view line : SplitTextLines(written))
    if (const auto value = ParseSchemeLine(line)) again[value->valueName] = value->value;
  const SettingReader readAgain = [&again](const std::string&, const std::string& name) {
    const auto found = again.find(name);
    return found == again.end() ? std::string() : found->second;
  };
  FadeScheme copy;
  ReadFadeScheme(readAgain, "fuzz", copy);
  for (int i = 1; i <= 6; ++i) fuzz::Require(copy.Colors[i] == scheme.Colors[i]);
  fuzz::Require(copy.Bold == scheme.Bold && copy.Italic == scheme.Italic && copy.ULine == scheme.ULine &&
                copy.Wavy == scheme.Wavy);

  std::string error;
  if (const auto accepted = SchemeFromFileText(text, error)) {
    fuzz::Require(accepted->FadeNumber >= 1 && accepted->FadeNumber <= 6);
    for (int i = 1; i <= accepted->FadeNumber; ++i)
      fuzz::Require(accepted->Colors[i] >= 0 && accepted->Colors[i] <= 0xFFFFFF);
  } else {
    fuzz::Require(!error.empty() && error.find('\n') == std::string::npos);
  }
  return 0;
}
