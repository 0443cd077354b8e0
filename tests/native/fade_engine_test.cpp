#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "FadeReference.h"
#include "engine/modFade.h"

namespace glimra {
namespace {

class FadeEngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LiveFadeSettings() = FadeSettings{};
    WavePhase() = 0;
    SetTextEncoding(TextEncoding::Ansi);
    SetFadeYield(nullptr);
  }
  void UseColours(std::vector<Colour> colours) {
    FadeSettings& s = LiveFadeSettings();
    s.FadeNumber = static_cast<std::int16_t>(colours.size());
    for (std::size_t i = 0; i < colours.size(); ++i) s.Colors[i + 1] = colours[i];
  }
  std::string Fade(std::string text) { return FadeEngine(text); }
};

constexpr Colour kRed = 0x0000FF;
constexpr Colour kBlue = 0xFF0000;

TEST_F(FadeEngineTest, BlackToWhiteWritesFbfbfbForWhite) {
  UseColours({0, 0xFFFFFF});
  EXPECT_EQ(Fade("abc"), "<FONT COLOR=#555555>a<FONT COLOR=#AAAAAA>b<FONT COLOR=#FBFBFB>c");
}

TEST_F(FadeEngineTest, BlankTakesAPositionButNoTag) {
  UseColours({kRed, kBlue});
  EXPECT_EQ(Fade("Hi you"),
            "<FONT COLOR=#D4002A>H<FONT COLOR=#AA0055>i <FONT COLOR=#5500AA>y<FONT COLOR=#2A00D4>o"
            "<FONT COLOR=#0000FF>u");
}

TEST_F(FadeEngineTest, WavyGradientStartsAtPhaseTwo) {
  UseColours({kRed, kBlue});
  LiveFadeSettings().Wavy = kTrue;
  WavePhase() = 3;  // whatever came before, a gradient starts its wave afresh
  EXPECT_EQ(Fade("Hi you"),
            "<FONT COLOR=#D4002A></sup>H<FONT COLOR=#AA0055><sub>i <FONT COLOR=#5500AA></sub>y"
            "<FONT COLOR=#2A00D4><sup>o<FONT COLOR=#0000FF></sup>u");
}

TEST_F(FadeEngineTest, HalfStepsRoundToEven) {
  UseColours({0, 0x010101});
  EXPECT_EQ(Fade("ab"), "<FONT COLOR=#000000>a<FONT COLOR=#010101>b");
}

TEST_F(FadeEngineTest, StylesWrapBoldThenItalicThenUnderline) {
  UseColours({kRed});
  FadeSettings& s = LiveFadeSettings();
  s.Bold = s.Italic = s.ULine = kTrue;
  EXPECT_EQ(Fade("x"), "<U><I><B><FONT COLOR=#FF0000>x</B></I></U>");
}

TEST_F(FadeEngineTest, FlagsCountOnlyWhenExactlyTrue) {
  UseColours({kRed});
  LiveFadeSettings().Bold = 1;
  LiveFadeSettings().SolidFade = 1;
  EXPECT_EQ(Fade("x"), "<FONT COLOR=#FF0000>x");
}

TEST_F(FadeEngineTest, ThreeColourRunsSplitHalfToEven) {
  EXPECT_EQ(GradientRunLengths(3, 1), (std::vector<std::size_t>{0, 1}));
  EXPECT_EQ(GradientRunLengths(3, 3), (std::vector<std::size_t>{2, 1}));
  EXPECT_EQ(GradientRunLengths(3, 5), (std::vector<std::size_t>{2, 3}));
  EXPECT_EQ(GradientRunLengths(3, 7), (std::vector<std::size_t>{4, 3}));
}

TEST_F(FadeEngineTest, DealtRunsGiveTheFirstRunsOneMore) {
  EXPECT_EQ(GradientRunLengths(4, 7), (std::vector<std::size_t>{3, 2, 2}));
  EXPECT_EQ(GradientRunLengths(5, 6), (std::vector<std::size_t>{2, 2, 1, 1}));
  EXPECT_EQ(GradientRunLengths(6, 3), (std::vector<std::size_t>{1, 1, 1, 0, 0}));
  EXPECT_EQ(GradientRunLengths(2, 9), (std::vector<std::size_t>{9}));
}

TEST_F(FadeEngineTest, ThreeColoursFiveCharactersFadeTwoThenThree) {
  const Colour c1 = 0x000000, c2 = 0x0000FF, c3 = 0xFF0000;
  // Run 1 ("ab") goes black to red, run 2 ("cde") red to blue.
  EXPECT_EQ(FadeByColor3(c1, c2, c3, "abcde", kFalse),
            "<FONT COLOR=#800000>a<FONT COLOR=#FF0000>b"
            "<FONT COLOR=#AA0055>c<FONT COLOR=#5500AA>d<FONT COLOR=#0000FF>e");
}

TEST_F(FadeEngineTest, SixColoursShortTextTakesTheEndColoursOfTheFirstRuns) {
  const std::vector<Colour> colours = {0x000001, 0x000002, 0x000003, 0x000004, 0x000005, 0x000006};
  EXPECT_EQ(FadeByColors(colours, "xyz", kFalse), "<FONT COLOR=#020000>x<FONT COLOR=#030000>y<FONT COLOR=#040000>z");
}

TEST_F(FadeEngineTest, ThreeColoursOneCharacterTakesColourThree) {
  EXPECT_EQ(FadeByColor3(0x000001, 0x000002, 0x000003, "q", kFalse), "<FONT COLOR=#030000>q");
}

TEST_F(FadeEngineTest, DealingYieldsOncePerRound) {
  static int yields;
  yields = 0;
  SetFadeYield([] { ++yields; });
  GradientRunLengths(6, 11);  // rounds of 5: 5, 5, 1
  EXPECT_EQ(yields, 3);
  yields = 0;
  GradientRunLengths(3, 11);  // the two-run split does not deal
  EXPECT_EQ(yields, 0);
}

TEST_F(FadeEngineTest, SolidCyclesOverNonBlanks) {
  UseColours({0x000001, 0x000002, 0x000003});
  LiveFadeSettings().SolidFade = kTrue;
  EXPECT_EQ(Fade("a b cd"), "<FONT COLOR=#010000>a <FONT COLOR=#020000>b <FONT COLOR=#030000>c<FONT COLOR=#010000>d");
}

TEST_F(FadeEngineTest, OneColourWritesOneLeadingTagEvenForEmptyText) {
  EXPECT_EQ(SolidByColor("", {kRed}, kFalse), "<FONT COLOR=#FF0000>");
  EXPECT_EQ(SolidByColor("ab", {kRed}, kFalse), "<FONT COLOR=#FF0000>ab");
}

TEST_F(FadeEngineTest, SolidWaveCarriesOnFromThePreviousLine) {
  WavePhase() = 4;
  EXPECT_EQ(SolidByColor("abc", {kRed}, kTrue), "<FONT COLOR=#FF0000></sub>a<sup>b</sup>c");
  EXPECT_EQ(WavePhase(), 3);
  EXPECT_EQ(SolidByColor("d", {kRed}, kTrue), "<FONT COLOR=#FF0000><sub>d");
}

TEST_F(FadeEngineTest, PhaseZeroWritesNoWaveTagButAdvances) {
  EXPECT_EQ(SolidByColor("ab", {kRed}, kTrue), "<FONT COLOR=#FF0000>a<sup>b");
}

TEST_F(FadeEngineTest, WaveMovesEvenWhenNotWavy) {
  SolidByColor("a b", {kRed}, kFalse);
  EXPECT_EQ(WavePhase(), 2);
}

TEST_F(FadeEngineTest, BlanksOnlyGetNoTagsInGradientButTheLeadingTagInOneColour) {
  UseColours({kRed, kBlue});
  LiveFadeSettings().Bold = kTrue;
  EXPECT_EQ(Fade("   "), "<B>   </B>");
  UseColours({kRed});
  EXPECT_EQ(Fade("   "), "<B><FONT COLOR=#FF0000>   </B>");
}

TEST_F(FadeEngineTest, EmptyGradientRenderingIsEmptyWithoutStyles) {
  UseColours({kRed, kBlue});
  LiveFadeSettings().Bold = kTrue;
  EXPECT_EQ(Fade(""), "");
}

TEST_F(FadeEngineTest, FadeNumberOutOfRangeLeavesTheText) {
  LiveFadeSettings().FadeNumber = 7;
  EXPECT_EQ(Fade("plain"), "plain");
  LiveFadeSettings().FadeNumber = 0;
  EXPECT_EQ(Fade("plain"), "plain");
}

TEST_F(FadeEngineTest, ResultIsWrittenBackIntoTheArgument) {
  UseColours({kRed});
  std::string text = "a";
  const std::string result = FadeEngine(text);
  EXPECT_EQ(text, result);
  EXPECT_EQ(text, "<FONT COLOR=#FF0000>a");
}

TEST_F(FadeEngineTest, NearWhiteIsKeptOnlyExactWhiteIsReplaced) {
  EXPECT_EQ(SolidByColor("a", {0xFFFFFE}, kFalse), "<FONT COLOR=#FEFFFF>a");
  EXPECT_EQ(SolidByColor("a", {0xFFFFFF}, kFalse), "<FONT COLOR=#FBFBFB>a");
}

TEST_F(FadeEngineTest, MarkupCharactersPassUnescaped) {
  UseColours({kRed, kRed});
  EXPECT_EQ(Fade("a<b"), "<FONT COLOR=#FF0000>a<FONT COLOR=#FF0000><<FONT COLOR=#FF0000>b");
}

TEST_F(FadeEngineTest, MakeFadeTakesComponentsBlueGreenRed) {
  EXPECT_EQ(MakeFade("a", 0, 0x30, 0, 0x20, 0, 0x10, kFalse), "<FONT COLOR=#102030>a");
}

TEST_F(FadeEngineTest, RgbToHexPadsToSixDigits) {
  EXPECT_EQ(RGBtoHEX(0), "000000");
  EXPECT_EQ(RGBtoHEX(0xF), "00000F");
  EXPECT_EQ(RGBtoHEX(0xABCDE), "0ABCDE");
  EXPECT_EQ(RGBtoHEX(0xFF0000), "FF0000");
  EXPECT_EQ(RGBtoHEX(0x80000005), "80000005");
  EXPECT_EQ(RGBtoHEX(-1), "FFFFFFFF");
}

TEST_F(FadeEngineTest, WorstCaseMarkupSizeOfALongLine) {
  // No blanks and a wave tag on every character: 20 + 6 + 1 bytes a character
  // on average, the largest output the engine writes.
  UseColours({0, 0xFFFFFF});
  LiveFadeSettings().Wavy = kTrue;
  const std::string text(4000, 'x');
  const std::string markup = Fade(text);
  std::size_t waveBytes = 0;
  for (std::size_t i = 0; i < text.size(); ++i) waveBytes += (i % 2 == 0) ? 6 : 5;  // </sup> <sub> </sub> <sup> ...
  EXPECT_EQ(markup.size(), text.size() * 21 + waveBytes);
  EXPECT_EQ(markup.substr(markup.size() - 26), "<FONT COLOR=#FBFBFB><sup>x");
}

TEST_F(FadeEngineTest, Utf8CharactersStayWhole) {
  SetTextEncoding(TextEncoding::Utf8);
  EXPECT_EQ(FadeByColor2(0, 0xFFFFFF, "\xC3\xA9x", kFalse), "<FONT COLOR=#808080>\xC3\xA9<FONT COLOR=#FBFBFB>x");
}

}  // namespace
}  // namespace glimra

namespace glimra {
namespace {

// Bytes that start no well-formed UTF-8 sequence are characters of their
// own: each gets its tag and passes through unchanged.
TEST_F(FadeEngineTest, BytesThatAreNotUtf8AreCharactersOfTheirOwn) {
  SetTextEncoding(TextEncoding::Utf8);
  UseColours({0, 0xFFFFFF});
  EXPECT_EQ(Fade("\x80"), "<FONT COLOR=#FBFBFB>\x80");
  EXPECT_EQ(Fade("caf\xE9"), "<FONT COLOR=#404040>c<FONT COLOR=#808080>a<FONT COLOR=#BFBFBF>f<FONT COLOR=#FBFBFB>\xE9");
  // A cut-off sequence, a stray continuation byte, an overlong form and a surrogate.
  for (const std::string text : {"\xE2\x82x", "x\x80\x80y", "\xC0\xAF!", "\xED\xA0\x80"}) {
    SCOPED_TRACE(text);
    const std::string markup = Fade(text);
    EXPECT_EQ(std::count(markup.begin(), markup.end(), '<'), static_cast<long>(text.size()));
    std::string stripped;  // every character is one byte after a 20-byte tag
    for (std::size_t at = 20; at < markup.size(); at += 21) stripped += markup[at];
    EXPECT_EQ(stripped, text);
  }
  LiveFadeSettings().SolidFade = kTrue;
  LiveFadeSettings().Wavy = kTrue;
  WavePhase() = 0;
  EXPECT_EQ(Fade("\xF0\x9F\x98\x80\xF0\x9F"),
            "<FONT COLOR=#000000>\xF0\x9F\x98\x80<FONT COLOR=#FBFBFB><sup>\xF0<FONT COLOR=#000000></sup>\x9F");
}

TEST_F(FadeEngineTest, MakeFadeTakesComponentsOutsideTheByteAsItsEnds) {
  // Blue 0 -> 300 (255), green -40 (0) -> 0, red 999 (255) -> 0.
  EXPECT_EQ(MakeFade("ab", 0, 300, -40, 0, 999, 0, kFalse), MakeFade("ab", 0, 255, 0, 0, 255, 0, kFalse));
  EXPECT_EQ(MakeFade("ab", 0, 300, -40, 0, 999, 0, kFalse), "<FONT COLOR=#800080>a<FONT COLOR=#0000FF>b");
  EXPECT_EQ(MakeFade("x", 256, 256, 256, 256, 256, 256, kFalse), "<FONT COLOR=#FBFBFB>x");
}

// Random lines of every kind, long and short, against the plain rendering,
// and the character layout against the markup.
TEST_F(FadeEngineTest, MatchesThePlainRenderingByteForByte) {
  std::mt19937 random(20240613);
  const auto pick = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  static const std::string kPieces[] = {
      " ", "  ", "a", "Z", "<", "&", "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "\x80", "\xE9", "\xE2\x82", "\xFF",
      // the edges of the well-formed ranges, and just past them
      "\xC2\x80", "\xDF\xBF", "\xC1\xBF", "\xE0\xA0\x80", "\xE0\x9F\xBF", "\xED\x9F\xBF", "\xED\xA0\x80",
      "\xEF\xBF\xBF", "\xF0\x90\x80\x80", "\xF0\x8F\xBF\xBF", "\xF4\x8F\xBF\xBF", "\xF4\x90\x80\x80",
      "\xF5\x80\x80\x80", "\xF8\x88\x80\x80\x80"};
  constexpr int kPieceCount = static_cast<int>(std::size(kPieces));
  for (int round = 0; round < 300; ++round) {
    reference::Line line;
    line.fadeNumber = pick(10) == 0 ? pick(9) - 1 : 1 + pick(6);
    for (Colour& c : line.colours)
      c = pick(4) == 0 ? (pick(2) ? 0xFFFFFF : 0) : static_cast<Colour>(random() & 0xFFFFFF);
    line.bold = pick(2), line.italic = pick(2), line.underline = pick(2), line.wavy = pick(2),
    line.solid = pick(3) == 0;
    line.utf8 = pick(2);
    const std::size_t length = pick(4) == 0 ? 1000 + pick(8000) : pick(40);
    std::string text;
    while (text.size() < length)
      text += pick(3) ? std::string(1, static_cast<char>('a' + pick(26))) : kPieces[pick(kPieceCount)];
    const auto phase = static_cast<std::int16_t>(pick(6));
    SCOPED_TRACE(testing::Message() << "round " << round << " colours " << line.fadeNumber << " length "
                                    << text.size());

    reference::Apply(line);
    std::int16_t expectedPhase = phase;
    const std::string expected = reference::Fade(line, text, expectedPhase);
    WavePhase() = phase;
    std::string markup = text;
    FadeEngine(markup);
    ASSERT_EQ(markup, expected);
    EXPECT_EQ(WavePhase(), expectedPhase);

    WavePhase() = phase;
    const FadedLine layout = FadeEngineLayout(text);
    EXPECT_EQ(reference::MarkupOfLayout(layout, text), expected);
    EXPECT_EQ(WavePhase(), expectedPhase);
  }
}

}  // namespace
}  // namespace glimra
