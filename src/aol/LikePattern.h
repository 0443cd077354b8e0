// Caption patterns: "?" one character, "*" any run, "#" one digit, "[...]" a
// character list ("[!...]" any character not in it, "a-z" ranges).
#pragma once

#include <string_view>

namespace glimra {

// Whether `text` matches `pattern`, character for character (case sensitive).
bool MatchesLike(std::string_view text, std::string_view pattern);

}  // namespace glimra
