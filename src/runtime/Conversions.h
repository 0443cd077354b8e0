// VB-style conversions of stored text and numbers. Every conversion of a
// setting or file value goes through here so that rounding, overflow and
// type-mismatch behave the same everywhere.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace glimra {

// 16-bit Boolean: True is -1, False is 0. A flag counts as set only when it
// holds exactly True.
using VBBool = std::int16_t;
constexpr VBBool kTrue = -1;
constexpr VBBool kFalse = 0;
inline bool IsTrue(VBBool value) { return value == kTrue; }
inline VBBool ToVBBool(bool value) { return value ? kTrue : kFalse; }

// Rounds to the nearest integer, halves to the even neighbour (3.5 -> 4, 2.5 -> 2).
double RoundHalfEven(double value);

// Numeric conversions of a double; throw RuntimeError 6 (Overflow) when the
// rounded value does not fit.
std::int16_t CIntFromDouble(double value);
std::int32_t CLngFromDouble(double value);

// Conversions of text, as the registry and scheme files store it. Leading and
// trailing blanks are allowed; "&H" hexadecimal and "&O" octal prefixes are
// understood. Text that is not a number throws RuntimeError 13 (Type mismatch);
// a number out of range throws RuntimeError 6 (Overflow).
double ParseNumber(std::string_view text);
std::int16_t CInt(std::string_view text);
std::int32_t CLng(std::string_view text);
float CSng(std::string_view text);
// "True"/"False" in any letter case, or a number (non-zero is True).
VBBool CBool(std::string_view text);

// The text a VB program writes for these values: "True"/"False", plain decimals.
std::string CStr(VBBool value);
std::string CStr(std::int32_t value);

}  // namespace glimra
