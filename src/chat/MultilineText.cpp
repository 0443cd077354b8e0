#include "chat/MultilineText.h"

namespace glimra {

std::int32_t LineLimit(VBBool faderOn, std::int32_t charsInLine) { return IsTrue(faderOn) ? charsInLine : 84; }

int LineProgress(int index, int count) { return count > 0 ? index * 100 / count : 0; }

std::string ChatLineFor(const std::string& line) {
  if (line.empty() || line == "\r" || line == "\n" || line == " ") return "\xA0";
  return line;
}

}  // namespace glimra
