#include "runtime/Conversions.h"

#include <gtest/gtest.h>

#include <limits>

#include "runtime/RuntimeError.h"

namespace glimra {
namespace {

long ErrorOf(void (*action)()) {
  try {
    action();
  } catch (const RuntimeError& e) {
    return e.Number();
  }
  return 0;
}

TEST(Conversions, RoundHalfToEven) {
  EXPECT_EQ(CInt("2.5"), 2);
  EXPECT_EQ(CInt("3.5"), 4);
  EXPECT_EQ(CInt("-2.5"), -2);
  EXPECT_EQ(CInt("-3.5"), -4);
  EXPECT_EQ(CInt("2.51"), 3);
  EXPECT_EQ(CLng("0.5"), 0);
  EXPECT_EQ(CLng("1.5"), 2);
}

TEST(Conversions, BlanksAroundNumbersAreAllowed) {
  EXPECT_EQ(CInt("  42 "), 42);
  EXPECT_EQ(CLng("\t-16777216"), -16777216);
  EXPECT_EQ(CLng("+7"), 7);
}

TEST(Conversions, IntegerLimitsAndOverflow) {
  EXPECT_EQ(CInt("32767"), 32767);
  EXPECT_EQ(CInt("-32768"), -32768);
  EXPECT_EQ(ErrorOf([] { CInt("32768"); }), kErrOverflow);
  EXPECT_EQ(ErrorOf([] { CInt("32767.5"); }), kErrOverflow);
  EXPECT_EQ(CLng("2147483647"), 2147483647);
  EXPECT_EQ(ErrorOf([] { CLng("2147483648"); }), kErrOverflow);
  EXPECT_EQ(ErrorOf([] { CSng("1e39"); }), kErrOverflow);
  EXPECT_EQ(ErrorOf([] { CLng("1e400"); }), kErrOverflow);
}

// Both ends of each range, in text, in hexadecimal and from a double.
TEST(Conversions, BothEndsOfEachRange) {
  EXPECT_EQ(CLng("-2147483648"), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(ErrorOf([] { CLng("-2147483649"); }), kErrOverflow);
  EXPECT_EQ(CLng("-2147483648.5"), std::numeric_limits<std::int32_t>::min());  // halves go to the even neighbour
  EXPECT_EQ(ErrorOf([] { CLng("-2147483648.6"); }), kErrOverflow);
  EXPECT_EQ(ErrorOf([] { CLng("2147483647.5"); }), kErrOverflow);
  EXPECT_EQ(ErrorOf([] { CInt("-32769"); }), kErrOverflow);
  EXPECT_EQ(CInt("-32768.5"), -32768);
  EXPECT_EQ(CLngFromDouble(-2147483648.0), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(CLngFromDouble(2147483647.4), 2147483647);
  EXPECT_EQ(ErrorOf([] { CLngFromDouble(-2147483649.0); }), kErrOverflow);
  EXPECT_EQ(ErrorOf([] { CLngFromDouble(2147483647.5); }), kErrOverflow);
  EXPECT_EQ(CIntFromDouble(-32768.0), -32768);
  EXPECT_EQ(CIntFromDouble(32767.0), 32767);
  EXPECT_EQ(ErrorOf([] { CIntFromDouble(-32768.6); }), kErrOverflow);
  EXPECT_EQ(ErrorOf([] { CIntFromDouble(32767.5); }), kErrOverflow);
  // Hexadecimal: eight digits are the whole 32 bits, nine overflow.
  EXPECT_EQ(CLng("&H80000000"), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(CLng("&H7FFFFFFF"), 2147483647);
  EXPECT_EQ(ErrorOf([] { CLng("&H100000000"); }), kErrOverflow);
  EXPECT_EQ(ErrorOf([] { CLng("&HFFFFFFFFF"); }), kErrOverflow);
  EXPECT_EQ(CInt("&H8000"), -32768);
  EXPECT_EQ(CInt("&H7FFF"), 32767);
  EXPECT_EQ(ErrorOf([] { CInt("&H80000"); }), kErrOverflow);
}

TEST(Conversions, TextThatIsNoNumberIsATypeMismatch) {
  for (const char* text : {"", " ", "abc", "12abc", "1.2.3", "0x10", "inf", "nan", "1e", ".", "--1", "&H", "&HG1"}) {
    SCOPED_TRACE(text);
    try {
      CLng(text);
      ADD_FAILURE() << "no error";
    } catch (const RuntimeError& e) {
      EXPECT_EQ(e.Number(), kErrTypeMismatch);
    }
  }
}

TEST(Conversions, HexAndOctalLiterals) {
  EXPECT_EQ(CInt("&H10"), 16);
  EXPECT_EQ(CInt("&HFFFF"), -1);  // four digits are a 16-bit value
  EXPECT_EQ(CLng("&HFFFF"), -1);
  EXPECT_EQ(CLng("&H10000"), 65536);
  EXPECT_EQ(CLng("&HFFFFFFFF"), -1);
  EXPECT_EQ(ErrorOf([] { CInt("&H10000"); }), kErrOverflow);
  EXPECT_EQ(CInt("&O17"), 15);
  EXPECT_EQ(ErrorOf([] { CInt("&O8"); }), kErrTypeMismatch);
}

TEST(Conversions, Booleans) {
  EXPECT_EQ(CBool("True"), kTrue);
  EXPECT_EQ(CBool("tRUE"), kTrue);
  EXPECT_EQ(CBool("False"), kFalse);
  EXPECT_EQ(CBool("0"), kFalse);
  EXPECT_EQ(CBool("5"), kTrue);
  EXPECT_EQ(ErrorOf([] { CBool("yes"); }), kErrTypeMismatch);
  EXPECT_EQ(CInt("True"), -1);
  EXPECT_EQ(CStr(kTrue), "True");
  EXPECT_EQ(CStr(kFalse), "False");
  EXPECT_EQ(CStr(std::int32_t{-255}), "-255");
}

TEST(Conversions, SingleKeepsFractions) {
  EXPECT_FLOAT_EQ(CSng("1.25"), 1.25f);
  EXPECT_FLOAT_EQ(CSng("-3e2"), -300.0f);
}

}  // namespace
}  // namespace glimra
