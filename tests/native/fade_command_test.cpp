#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "FadeCommand.h"

namespace glimra {
namespace {

struct CommandResult {
  int status;
  std::string out;
  std::string err;
};

CommandResult RunCommand(const std::vector<std::string>& arguments, const std::string& input = "") {
  WavePhase() = 0;
  std::istringstream in(input);
  std::ostringstream out, err;
  const int status = RunFadeCommand(arguments, in, out, err);
  return {status, out.str(), err.str()};
}

TEST(FadeCommand, DecimalColoursAreWindowsColours) {
  const CommandResult r = RunCommand({"--colors", "0,16777215", "abc"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "<FONT COLOR=#555555>a<FONT COLOR=#AAAAAA>b<FONT COLOR=#FBFBFB>c\n");
}

TEST(FadeCommand, WebColoursAreRedFirst) {
  EXPECT_EQ(ParseColourArgument("#FF0000"), Colour{0x0000FF});
  EXPECT_EQ(ParseColourArgument("#0000ff"), Colour{0xFF0000});
  EXPECT_EQ(ParseColourArgument("255"), Colour{255});
  const CommandResult r = RunCommand({"--colors", "#FF0000", "ab"});
  EXPECT_EQ(r.out, "<FONT COLOR=#FF0000>ab\n");
}

TEST(FadeCommand, EachTextIsOneLineAndTheWaveCarriesOn) {
  const CommandResult r = RunCommand({"--colors", "#102030", "--wavy", "ab", "c"});
  EXPECT_EQ(r.out, "<FONT COLOR=#102030>a<sup>b\n<FONT COLOR=#102030></sup>c\n");
}

TEST(FadeCommand, ReadsStandardInputLineByLine) {
  const CommandResult r = RunCommand({"--colors", "#000000", "--bold"}, "x\r\ny\n");
  EXPECT_EQ(r.out, "<B><FONT COLOR=#000000>x</B>\n<B><FONT COLOR=#000000>y</B>\n");
}

TEST(FadeCommand, StylesAndSolid) {
  const CommandResult r = RunCommand({"--colors", "#000001,#000002", "--solid", "--italic", "--underline", "ab"});
  EXPECT_EQ(r.out, "<U><I><FONT COLOR=#000001>a<FONT COLOR=#000002>b</I></U>\n");
}

TEST(FadeCommand, BadInputIsOneLineOnStderrAndStatusTwo) {
  for (const std::vector<std::string>& arguments :
       std::vector<std::vector<std::string>>{{"--colors", "", "x"},
                                             {"--colors", "1,2,3,4,5,6,7", "x"},
                                             {"--colors", "#12345", "x"},
                                             {"--colors", "#GG0000", "x"},
                                             {"--colors", "16777216", "x"},
                                             {"--colors", "-1", "x"},
                                             {"--colors", "red", "x"},
                                             {"--sparkle", "x"},
                                             {"x", "--colors"}}) {
    SCOPED_TRACE(arguments[0] + " " + arguments[1]);
    const CommandResult r = RunCommand(arguments);
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.out.empty());
    ASSERT_FALSE(r.err.empty());
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1);
  }
}

TEST(FadeCommand, BadInputWritesNoPage) {
  const std::string page = ::testing::TempDir() + "glimra_bad_page.html";
  std::remove(page.c_str());
  EXPECT_EQ(RunCommand({"--html", page, "--nope", "x"}).status, 2);
  EXPECT_FALSE(std::ifstream(page).good());
}

TEST(FadeCommand, PreviewPageRendersTagsAndEscapesText) {
  const std::string page = ::testing::TempDir() + "glimra_page.html";
  const CommandResult r = RunCommand({"--colors", "#FF0000", "--html", page, "--wavy", "a<b & c"});
  ASSERT_EQ(r.status, 0);
  std::ifstream in(page);
  const std::string html((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(html.find("<font color=\"#FF0000\">a"), std::string::npos);
  EXPECT_NE(html.find("<sup>&lt;</sup>b"), std::string::npos);  // the member's "<" is text, the wave tags are markup
  EXPECT_NE(html.find("&amp;"), std::string::npos);
  EXPECT_EQ(html.find("<b & c"), std::string::npos);
}

TEST(FadeCommand, DefaultSchemeHasFiveColours) {
  const CommandResult r = RunCommand({"abcde"});
  EXPECT_EQ(r.status, 0);
  std::size_t tags = 0;
  for (std::size_t at = r.out.find("<FONT"); at != std::string::npos; at = r.out.find("<FONT", at + 1)) ++tags;
  EXPECT_EQ(tags, 5u);
  EXPECT_EQ(DefaultFadeColours().size(), 5u);
}

}  // namespace
}  // namespace glimra
