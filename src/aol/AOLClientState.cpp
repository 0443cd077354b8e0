#include "aol/AOLClientState.h"

#include <algorithm>
#include <cctype>

namespace glimra {

AOLClientState& ClientState() {
  static AOLClientState state;
  return state;
}

std::string TrimBlanks(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

std::optional<std::string> AolFolderFromModulePath(std::string_view modulePath) {
  std::string upper(modulePath);
  std::transform(upper.begin(), upper.end(), upper.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  const std::size_t at = upper.find("WAOL.EXE");
  if (at == std::string::npos) return std::nullopt;
  // Up to the character before the backslash that precedes WAOL.EXE.
  return std::string(modulePath.substr(0, at == 0 ? 0 : at - 1));
}

std::optional<std::string> VersionFromRelayAnswer(std::string_view answer) {
  if (answer == "3.0") return "3";
  if (answer == "4.0") return "4";
  if (answer == "5.0") return "5";
  return std::nullopt;
}

std::string ScreenNameFromBuffer(std::string_view buffer) {
  const std::size_t end = buffer.find('\0');
  return TrimBlanks(buffer.substr(0, end));
}

std::string ScreenNameFromWelcomeCaption(std::string_view caption) {
  const std::string_view afterWelcome = caption.size() > 8 ? caption.substr(8) : std::string_view();
  // Without a "!" the name runs to the end of the caption.
  return TrimBlanks(afterWelcome.substr(0, afterWelcome.find('!')));
}

std::string SignOnCaption(const std::string& version) {
  return version == "4" || version == "5" ? "Sign On" : "Welcome";
}

std::string SignOffCaption(const AOLClientState& state) {
  if (IsTrue(state.EditionUK) || IsTrue(state.EditionAustralia)) return "Goodbye From AOL!";
  if (IsTrue(state.EditionCanada)) return "Goodbye From AOL Canada!";
  return "Goodbye From America Online!";
}

}  // namespace glimra
