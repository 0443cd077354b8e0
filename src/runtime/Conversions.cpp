#include "runtime/Conversions.h"

#include <cctype>
#include <cfenv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <locale>
#include <sstream>

#include "runtime/RuntimeError.h"

namespace glimra {

namespace {

std::string_view TrimBlanks(std::string_view text) {
  const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

// "&H1F" / "&O17": a 16-bit value for up to 4 hex (6 octal) digits, else 32-bit, as VB reads them.
double ParseRadixLiteral(std::string_view digits, int radix) {
  const size_t shortLimit = radix == 16 ? 4 : 6;
  if (digits.empty()) RaiseError(kErrTypeMismatch);
  std::uint64_t value = 0;
  for (char c : digits) {
    int digit = -1;
    if (c >= '0' && c <= '9')
      digit = c - '0';
    else if (radix == 16 && c >= 'a' && c <= 'f')
      digit = c - 'a' + 10;
    else if (radix == 16 && c >= 'A' && c <= 'F')
      digit = c - 'A' + 10;
    if (digit < 0 || digit >= radix) RaiseError(kErrTypeMismatch);
    value = value * radix + digit;
    if (value > 0xFFFFFFFFull) RaiseError(kErrOverflow);
  }
  if (digits.size() <= shortLimit && value <= 0xFFFF) return static_cast<std::int16_t>(value);
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

// Plain decimal: [sign] digits [. digits] [e [sign] digits]; nothing else.
bool IsDecimalLiteral(std::string_view text) {
  size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  size_t mantissaDigits = 0;
  while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++mantissaDigits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++mantissaDigits;
  }
  if (mantissaDigits == 0) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    size_t exponentDigits = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++exponentDigits;
    if (exponentDigits == 0) return false;
  }
  return i == text.size();
}

}  // namespace

double RoundHalfEven(double value) {
  const double lower = std::floor(value);
  const double fraction = value - lower;
  if (fraction > 0.5) return lower + 1;
  if (fraction < 0.5) return lower;
  return std::fmod(lower, 2.0) == 0 ? lower : lower + 1;
}

std::int16_t CIntFromDouble(double value) {
  const double rounded = RoundHalfEven(value);
  if (!(rounded >= std::numeric_limits<std::int16_t>::min() && rounded <= std::numeric_limits<std::int16_t>::max()))
    RaiseError(kErrOverflow);
  return static_cast<std::int16_t>(rounded);
}

std::int32_t CLngFromDouble(double value) {
  const double rounded = RoundHalfEven(value);
  if (!(rounded >= std::numeric_limits<std::int32_t>::min() && rounded <= std::numeric_limits<std::int32_t>::max()))
    RaiseError(kErrOverflow);
  return static_cast<std::int32_t>(rounded);
}

double ParseNumber(std::string_view text) {
  text = TrimBlanks(text);
  if (EqualsNoCase(text, "True")) return -1;
  if (EqualsNoCase(text, "False")) return 0;
  if (text.size() >= 2 && text[0] == '&') {
    const char radix = static_cast<char>(std::toupper(static_cast<unsigned char>(text[1])));
    if (radix == 'H') return ParseRadixLiteral(text.substr(2), 16);
    if (radix == 'O') return ParseRadixLiteral(text.substr(2), 8);
  }
  if (!IsDecimalLiteral(text)) RaiseError(kErrTypeMismatch);
  std::istringstream in{std::string(text)};
  in.imbue(std::locale::classic());
  double value = 0;
  in >> value;
  if (!std::isfinite(value)) RaiseError(kErrOverflow);
  return value;
}

std::int16_t CInt(std::string_view text) { return CIntFromDouble(ParseNumber(text)); }

std::int32_t CLng(std::string_view text) { return CLngFromDouble(ParseNumber(text)); }

float CSng(std::string_view text) {
  const double value = ParseNumber(text);
  if (std::fabs(value) > std::numeric_limits<float>::max()) RaiseError(kErrOverflow);
  return static_cast<float>(value);
}

VBBool CBool(std::string_view text) { return ToVBBool(ParseNumber(text) != 0); }

std::string CStr(VBBool value) { return value != 0 ? "True" : "False"; }

std::string CStr(std::int32_t value) { return std::to_string(value); }

}  // namespace glimra
