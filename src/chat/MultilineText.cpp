#include "chat/MultilineText.h"

#include <algorithm>

namespace glimra {

std::int32_t LineLimit(VBBool faderOn, std::int32_t charsInLine) { return IsTrue(faderOn) ? charsInLine : 84; }

int LineProgress(int index, int count) {
  if (count <= 0) return 0;
  const std::int64_t percent = std::int64_t{index} * 100 / count;
  return static_cast<int>(std::clamp<std::int64_t>(percent, 0, 100));
}

unsigned BurstMilliseconds(float seconds) {
  const float milliseconds = seconds * 1000.0f;
  if (!(milliseconds > 0.0f)) return 0;
  if (milliseconds >= static_cast<float>(kLongestBurstMs)) return kLongestBurstMs;
  return static_cast<unsigned>(milliseconds);
}

std::string ChatLineFor(const std::string& line) {
  if (line.empty() || line == "\r" || line == "\n" || line == " ") return "\xA0";
  return line;
}

}  // namespace glimra
