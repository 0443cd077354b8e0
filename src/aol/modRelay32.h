// relay32.dll, the closed library that reports the AOL client's version,
// on-line state and screen names from its folder. Imported by name.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace glimra {

// "3.0", "4.0" or "5.0" for those versions; the three characters the library wrote.
std::string RelayVersion(const std::string& aolFolder);
// 1 means not signed on; anything else signed on.
std::int32_t RelayIsOnline();
// The six 175-character buffers after the library filled them (blanks where
// it wrote nothing): five stored screen names, then the current one.
std::array<std::string, 6> RelayScreenNames(const std::string& aolFolderWithBackslash);

}  // namespace glimra
