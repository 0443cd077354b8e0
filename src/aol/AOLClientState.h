// What Glimra knows about the running AOL client, and the small rules that
// turn what the client shows into those facts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "runtime/Conversions.h"

namespace glimra {

// Window handles are held as their 32-bit values; 0 means none.
struct AOLClientState {
  std::uintptr_t AOLFrame = 0;
  std::uintptr_t AOLMDIClient = 0;
  std::string AOLVersion;  // "3", "4" or "5"; empty until detected
  VBBool EditionUK = kFalse;
  VBBool EditionCanada = kFalse;
  VBBool EditionAustralia = kFalse;
  std::string ScreenName[6];  // ScreenName[1] .. ScreenName[5]; [0] unused
  std::string CurrentScreenName;
};
AOLClientState& ClientState();

// The AOL folder from the path of WAOL.EXE in the client's process (any
// letter case), without the backslash before it; nothing for a client whose
// module is not WAOL.EXE (the 16-bit client).
std::optional<std::string> AolFolderFromModulePath(std::string_view modulePath);

// "3.0" / "4.0" / "5.0" give "3" / "4" / "5"; anything else nothing.
std::optional<std::string> VersionFromRelayAnswer(std::string_view answer);

// A screen-name buffer as the relay library leaves it: cut at its first NUL,
// blanks trimmed.
std::string ScreenNameFromBuffer(std::string_view buffer);

// The member's name from the caption "Welcome, <name>!": the text after the
// first 8 characters and before the first "!" (or to the end when there is
// none), blanks trimmed.
std::string ScreenNameFromWelcomeCaption(std::string_view caption);

// The sign-on window's caption for a version, and the sign-off window's for an edition.
std::string SignOnCaption(const std::string& version);
std::string SignOffCaption(const AOLClientState& state);

std::string TrimBlanks(std::string_view text);

}  // namespace glimra
