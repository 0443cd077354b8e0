// The rules of the multi-line sender that need no window: the longest chat
// line allowed, the progress shown before each line, and the line that
// stands in for a blank one.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/Conversions.h"

namespace glimra {

// The longest line the wrap may leave: the "Chars In Line" option when
// fading (markup makes a faded line many times longer), else 84.
std::int32_t LineLimit(VBBool faderOn, std::int32_t charsInLine);

// The progress bar's value before line `index` of `count` (whole percent,
// 0 to 100 for any count the text box can report).
int LineProgress(int index, int count);

// The wait before each line for "Multiline Burst" `seconds`: 0 for nothing,
// a negative value or a value that is no number; a value longer than any wait
// can last waits kLongestBurstMs (one step short of the pump's "for ever").
constexpr unsigned kLongestBurstMs = 0xFFFFFFFEu;
unsigned BurstMilliseconds(float seconds);

// AOL sends nothing for a blank line: a single CR, LF, blank or nothing goes
// out as one non-breaking space (ANSI 160).
std::string ChatLineFor(const std::string& line);

// Each narrowing pass of the wrap makes the hidden text box this much narrower.
constexpr int kNarrowingStepTwips = 1000;

}  // namespace glimra
