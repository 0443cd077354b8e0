#include "aol/LikePattern.h"

#include <cctype>
#include <vector>

namespace glimra {

namespace {

// Matches one character against the list that starts after "[" at `pos`;
// sets `next` to the position after "]". A list without "]" is taken as a
// literal "[".
bool MatchesList(char c, std::string_view pattern, std::size_t pos, std::size_t& next, bool& valid) {
  const std::size_t close = pattern.find(']', pos);
  valid = close != std::string_view::npos;
  if (!valid) return false;
  next = close + 1;
  std::string_view list = pattern.substr(pos, close - pos);
  const bool negate = !list.empty() && list.front() == '!';
  if (negate) list.remove_prefix(1);
  bool found = false;
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (i + 2 < list.size() && list[i + 1] == '-') {
      found = found || (c >= list[i] && c <= list[i + 2]);
      i += 2;
    } else {
      found = found || c == list[i];
    }
  }
  return found != negate;
}

}  // namespace

bool MatchesLike(std::string_view text, std::string_view pattern) {
  // Classic backtracking over the last "*": linear in practice, no recursion.
  std::size_t t = 0, p = 0;
  std::size_t starPattern = std::string_view::npos, starText = 0;
  while (t < text.size()) {
    bool advanced = false;
    if (p < pattern.size()) {
      const char want = pattern[p];
      if (want == '*') {
        starPattern = p++;
        starText = t;
        continue;
      }
      if (want == '?') {
        advanced = true, ++p;
      } else if (want == '#') {
        if (std::isdigit(static_cast<unsigned char>(text[t]))) advanced = true, ++p;
      } else if (want == '[') {
        std::size_t next = p + 1;
        bool valid = false;
        if (MatchesList(text[t], pattern, p + 1, next, valid)) {
          advanced = true, p = next;
        } else if (!valid && text[t] == '[') {
          advanced = true, ++p;
        }
      } else if (want == text[t]) {
        advanced = true, ++p;
      }
    }
    if (advanced) {
      ++t;
    } else if (starPattern != std::string_view::npos) {
      p = starPattern + 1;
      t = ++starText;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace glimra
