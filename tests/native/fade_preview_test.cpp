#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/FadePreview.h"

namespace glimra {
namespace {

std::vector<std::pair<float, float>> Spans(int count, float width) {
  std::vector<std::pair<float, float>> spans;
  for (const PreviewStretch& s : PreviewStretches(count, width)) spans.emplace_back(s.x0, s.x1);
  return spans;
}

using Spans_t = std::vector<std::pair<float, float>>;

TEST(PreviewStretches, FollowTheColourCount) {
  EXPECT_EQ(Spans(3, 101), (Spans_t{{0, 50}, {50, 101}}));
  EXPECT_EQ(Spans(6, 100), (Spans_t{{0, 20}, {21, 40}, {41, 60}, {61, 80}, {80, 100}}));
  EXPECT_EQ(Spans(2, 434), (Spans_t{{0, 434}}));
  EXPECT_EQ(Spans(4, 100), (Spans_t{{0, 33}, {33, 67}, {67, 100}}));
  EXPECT_EQ(Spans(5, 101), (Spans_t{{0, 25}, {25, 50}, {50, 76}, {76, 101}}));
  // The width is rounded half to even before it is divided.
  EXPECT_EQ(Spans(3, 100.5f), (Spans_t{{0, 50}, {50, 100.5f}}));
  EXPECT_TRUE(Spans(1, 100).empty());
  EXPECT_TRUE(Spans(7, 100).empty());
}

TEST(FadeVerticalLines, BlackToWhiteOver255UnitsStepsOneGreyLevelPerColumn) {
  const auto lines = FadeVerticalLines(SplitColour(0), SplitColour(0xFFFFFF), 0, 255);
  ASSERT_EQ(lines.size(), 256u);
  for (int x = 0; x <= 255; ++x) {
    EXPECT_EQ(lines[static_cast<std::size_t>(x)].at, x);
    EXPECT_EQ(lines[static_cast<std::size_t>(x)].colour, x * 0x010101) << x;
  }
}

TEST(FadeVerticalLines, RoundsHalvesToEvenAndReachesTheEndColour) {
  // Red 0 -> 3 over 2 units: 0, 1.5 (-> 2), 3.
  const auto lines = FadeVerticalLines({0, 0, 0}, {3, 0, 0}, 10, 12);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].colour, 0);
  EXPECT_EQ(lines[1].colour, 2);
  EXPECT_EQ(lines[2].colour, 3);
  // 0 -> 5 over 2: 2.5 rounds to 2.
  EXPECT_EQ(FadeVerticalLines({0, 0, 0}, {5, 0, 0}, 0, 2)[1].colour, 2);
}

TEST(FadeVerticalLines, ZeroWidthIsOneColumnInTheEndColour) {
  const auto lines = FadeVerticalLines(SplitColour(0x0000FF), SplitColour(0xFF0000), 7, 7);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].at, 7);
  EXPECT_EQ(lines[0].colour, 0xFF0000);
}

TEST(SplitColour, GivesTheBytesOfPlainColoursAndKeepsTheSign) {
  const ColourParts p = SplitColour(0x123456);
  EXPECT_EQ(p.red, 0x56);
  EXPECT_EQ(p.green, 0x34);
  EXPECT_EQ(p.blue, 0x12);
  const ColourParts n = SplitColour(-1);
  EXPECT_EQ(n.red, -1);
  EXPECT_EQ(n.green, 0);
  EXPECT_EQ(n.blue, 0);
}

TEST(GradientLines, RunFromTopToBottomOneRowPerUnit) {
  const auto rows = GradientLines(0, 0x0A0A0A, 10);
  ASSERT_EQ(rows.size(), 11u);
  EXPECT_EQ(rows[0].colour, 0);
  EXPECT_EQ(rows[5].colour, 0x050505);
  EXPECT_EQ(rows[10].colour, 0x0A0A0A);
}

// Past 2^24 a single real no longer moves by one unit: the strip used to
// loop for ever there, and its accumulated steps drifted past 255 on very
// wide stretches, carrying into the next component.
TEST(FadeVerticalLines, HugeWidthsStopAtTheLargestSurfaceAndStayInRange) {
  for (float width : {1e6f, 16777216.0f, 3e38f, std::numeric_limits<float>::infinity()}) {
    SCOPED_TRACE(width);
    const auto stretches = PreviewStretches(2, width);
    ASSERT_EQ(stretches.size(), 1u);
    EXPECT_EQ(stretches[0].x1, kLargestPreviewUnits);
    const auto lines = FadeVerticalLines(SplitColour(0), SplitColour(0xFFFFFF), 0, width);
    ASSERT_EQ(lines.size(), 32768u);
    int previousGrey = 0;
    for (const PreviewLine& line : lines) {
      const int grey = line.colour & 0xFF;
      ASSERT_EQ(line.colour, grey * 0x010101) << line.at;  // no component carried into the next
      ASSERT_GE(grey, previousGrey);
      previousGrey = grey;
    }
    EXPECT_EQ(lines.back().colour, 0xFFFFFF);
    EXPECT_EQ(GradientLines(0xFFFFFF, 0, width).size(), 32768u);
  }
  EXPECT_TRUE(FadeVerticalLines(SplitColour(0), SplitColour(1), std::nanf(""), 5).size() == 6u);
  EXPECT_TRUE(PreviewStretches(3, std::nanf(""))[1].x1 == 0);
}

TEST(FadeVerticalLines, ComponentsOutsideTheByteAreHeldAtItsEnds) {
  // A colour with the sign bit splits into a negative red; 300 would carry into green.
  const auto lines = FadeVerticalLines(SplitColour(-1), ColourParts{300, 0, 0}, 0, 2);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].colour, 0);
  EXPECT_EQ(lines[2].colour, 0xFF);
  EXPECT_EQ(GradientLines(-1, -1, 3)[0].colour, 0);
}

}  // namespace
}  // namespace glimra
