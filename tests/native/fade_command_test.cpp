#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "ColourNames.h"
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
                                             {"--colors", "redd", "x"},
                                             {"--format", "pdf", "x"},
                                             {"--scheme", "/nonexistent/x.fde", "x"},
                                             {"--bo\r\nld", "x"},
                                             {"--colors", "#12\n34", "x"},
                                             {"--format", "a\nb", "x"},
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

// ---- terminals and pages ----

constexpr char kEsc[] = "\x1b[";

TEST(FadeCommand, AnsiGivesTrueColoursStylesAndAResetPerLine) {
  // 255 / 3 steps: 85, 170, 255; a terminal shows white as it is.
  EXPECT_EQ(RunCommand({"--format", "ansi", "--colors", "black,white", "abc"}).out,
            std::string(kEsc) + "38;2;85;85;85ma" + kEsc + "38;2;170;170;170mb" + kEsc + "38;2;255;255;255mc" + kEsc +
                "0m\n");
  // Styles open the line; a blank keeps the colour before it; one colour is one change.
  EXPECT_EQ(RunCommand({"--format", "ansi", "--colors", "#FF0000", "--bold", "--underline", " a b"}).out,
            std::string(kEsc) + "1;4m" + kEsc + "38;2;255;0;0m a b" + kEsc + "0m\n");
  // Solid colours cycle over the non-blank characters; blanks before the first stay uncoloured.
  EXPECT_EQ(RunCommand({"--format", "ansi", "--colors", "1,256", "--solid", "--italic", " ab c"}).out,
            std::string(kEsc) + "3m " + kEsc + "38;2;1;0;0ma" + kEsc + "38;2;0;1;0mb " + kEsc + "38;2;1;0;0mc" + kEsc +
                "0m\n");
  // The wave cannot be shown in a terminal: the line is the same as without it.
  EXPECT_EQ(RunCommand({"--format", "ansi", "--wavy", "Hi there"}).out,
            RunCommand({"--format", "ansi", "Hi there"}).out);
  EXPECT_EQ(RunCommand({"--format", "ansi", ""}).out, "\n");
}

TEST(FadeCommand, HtmlSpansRunsOfEqualColourAndEscapesTheText) {
  // 255 / 4 steps: 63.75 -> 40, 127.5 -> 80 (the blank: no colour of its own), 191.25 -> BF, 255.
  EXPECT_EQ(RunCommand({"--format", "html", "--colors", "black,white", "--italic", "a <b"}).out,
            "<div style=\"white-space:pre-wrap;font-style:italic\"><span style=\"color:#404040\">a </span>"
            "<span style=\"color:#BFBFBF\">&lt;</span><span style=\"color:#FFFFFF\">b</span></div>\n");
  // One colour is one run; the wave raises and lowers: on the line, down, on the line, up.
  EXPECT_EQ(RunCommand({"--format", "html", "--colors", "navy,navy", "--wavy", "--bold", "--underline", "ab&'\""}).out,
            "<div style=\"white-space:pre-wrap;font-weight:bold;text-decoration:underline\">"
            "<span style=\"color:#000080\">a</span>"
            "<span style=\"color:#000080;vertical-align:sub;font-size:smaller\">b</span>"
            "<span style=\"color:#000080\">&amp;</span>"
            "<span style=\"color:#000080;vertical-align:super;font-size:smaller\">&#39;</span>"
            "<span style=\"color:#000080\">&quot;</span></div>\n");
  EXPECT_EQ(RunCommand({"--format", "html", "--colors", "1,2", ""}).out,
            "<div style=\"white-space:pre-wrap\"><br></div>\n");
}

std::string StripAnsi(const std::string& text) { return std::regex_replace(text, std::regex("\x1b\\[[0-9;]*m"), ""); }

std::string StripHtml(const std::string& html) {
  std::string text = std::regex_replace(html, std::regex("<[^>]*>"), "");
  for (const auto& [entity, c] : std::vector<std::pair<std::string, std::string>>{
           {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&#39;", "'"}, {"&amp;", "&"}})
    text = std::regex_replace(text, std::regex(entity), c);
  return text;
}

TEST(FadeCommand, EveryFormatStripsBackToTheInput) {
  const std::string input =
      "Hello <world> & \"friends\"\n  two  blanks \n\n\xC3\xA9t\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80\nx\n";
  const std::vector<std::vector<std::string>> styles = {{},
                                                        {"--bold", "--italic", "--underline"},
                                                        {"--wavy"},
                                                        {"--solid", "--colors", "red,lime,blue"},
                                                        {"--colors", "gold"},
                                                        {"--colors", "1,2,3,4,5,6", "--wavy", "--bold"}};
  for (const auto& style : styles) {
    for (const std::string format : {"ansi", "html"}) {
      std::vector<std::string> arguments = style;
      arguments.insert(arguments.end(), {"--format", format});
      SCOPED_TRACE(format + " " + (style.empty() ? "" : style[0]));
      const CommandResult r = RunCommand(arguments, input);
      ASSERT_EQ(r.status, 0) << r.err;
      EXPECT_EQ(format == "ansi" ? StripAnsi(r.out) : StripHtml(r.out), input);
    }
  }
}

// A byte a terminal would obey: a C0 control but tab and line feed, DEL,
// or what an 8-bit terminal takes as a C1 control.
bool ObeyedByTerminals(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return (byte < 0x20 && c != '\t' && c != '\n') || (byte >= 0x7F && byte < 0xA0);
}

TEST(FadeCommand, AnsiShowsTheTextsControlCharactersInsteadOfSendingThem) {
  // A window title, a bell, a cleared screen, a return to the line's start, a colour of its own.
  const std::string hostile = std::string("\x1b]0;owned\x07") + "a\x1b[2J\rb\x1b[31m\x7F";
  const CommandResult shown = RunCommand({"--format", "ansi", "--colors", "red,blue", hostile});
  EXPECT_EQ(shown.status, 0);
  EXPECT_EQ(StripAnsi(shown.out), "^[]0;owned^Ga^[[2J^Mb^[[31m^?\n");
  // C1 controls, in UTF-8 and as lone bytes; a NUL read from standard input.
  const std::string c1 = std::string("\xC2\x9B") + "2J " + "\x9B" + "2J " + "\xC2\x85" + " a" + '\0' + "b\n";
  EXPECT_EQ(StripAnsi(RunCommand({"--format", "ansi"}, c1).out), "M-^[2J M-^[2J M-^E a^@b\n");
  // Printable text passes whole: tab, UTF-8, a no-break space, Latin-1, a line break inside a TEXT.
  const std::string printable = "tab\tthen caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80 \xC2\xA0 caf\xE9\nnext";
  EXPECT_EQ(StripAnsi(RunCommand({"--format", "ansi", printable}).out), printable + "\n");
  // Whatever the bytes, only the fade's own escape sequences reach the terminal.
  std::string everyByte;
  for (int c = 0; c < 256; ++c) everyByte += static_cast<char>(c);
  const std::string text = StripAnsi(RunCommand({"--format", "ansi", "--bold", everyByte}).out);
  EXPECT_EQ(std::count_if(text.begin(), text.end(), ObeyedByTerminals), 0) << text;
  EXPECT_NE(text.find("^@^A"), std::string::npos);
  EXPECT_NE(text.find("\t\n^K"), std::string::npos);
  EXPECT_NE(text.find("^_ !"), std::string::npos);
  EXPECT_NE(text.find("~^?M-^@M-^A"), std::string::npos);
  EXPECT_NE(text.find("M-^_\xA0\xA1"), std::string::npos);
}

TEST(FadeCommand, AnyBytesFadeOrGiveOneLineAndStatusTwo) {
  std::string everyByte;
  for (int c = 0; c < 256; ++c)
    if (c != '\n') everyByte += static_cast<char>(c);
  for (const std::string& input :
       {std::string("\x80"), std::string("caf\xE9"), std::string("\xF0\x9F\x98"), everyByte}) {
    const CommandResult aol = RunCommand({"--colors", "#000000,#000000"}, input);
    ASSERT_EQ(aol.status, 0);
    std::string stripped = std::regex_replace(aol.out, std::regex("<FONT COLOR=#000000>"), "");
    EXPECT_EQ(stripped, input + "\n");
    const CommandResult ansi = RunCommand({"--format", "ansi"}, input);
    EXPECT_EQ(ansi.status, 0);
    const CommandResult html = RunCommand({"--format", "html"}, input);
    EXPECT_EQ(html.status, 2);
    EXPECT_TRUE(html.out.empty());
    EXPECT_EQ(html.err.find('\n'), html.err.size() - 1);
    EXPECT_NE(html.err.find("line 1"), std::string::npos);
  }
  EXPECT_EQ(HtmlTextProblem("tab\there \xC2\xA0 ok"), std::nullopt);
  EXPECT_TRUE(HtmlTextProblem("\xC2\x85"));  // a C1 control
}

std::string WriteFile(const std::string& name, const std::string& text) {
  const std::string path = ::testing::TempDir() + name;
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

TEST(FadeCommand, SchemeFilesGiveColoursAndStyles) {
  for (const char* name : {"Cool Fade", "Forest", "Ocean", "Rainbow", "Sunset"}) {
    SCOPED_TRACE(name);
    const std::string path = std::string(GLIMRA_SOURCE_DIR) + "/data/schemes/" + name + ".fde";
    std::ifstream file(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::string error;
    const std::optional<FadeScheme> scheme = SchemeFromFileText(text, error);
    ASSERT_TRUE(scheme) << error;
    const CommandResult faded = RunCommand({"--scheme", path, "abcdefghij"});
    ASSERT_EQ(faded.status, 0) << faded.err;
    std::string list;
    for (int i = 1; i <= scheme->FadeNumber; ++i) list += (i > 1 ? "," : "") + std::to_string(scheme->Colors[i]);
    std::vector<std::string> same = {"--colors", list};
    if (IsTrue(scheme->Bold)) same.push_back("--bold");
    if (IsTrue(scheme->Italic)) same.push_back("--italic");
    if (IsTrue(scheme->ULine)) same.push_back("--underline");
    if (IsTrue(scheme->Wavy)) same.push_back("--wavy");
    same.push_back("abcdefghij");
    EXPECT_EQ(faded.out, RunCommand(same).out);
    EXPECT_EQ(std::count(faded.out.begin(), faded.out.end(), '#'), 10);
  }
  // A bold, wavy two-colour scheme; keys in any case, the last line of a key wins.
  const std::string path = WriteFile("glimra_scheme.fde",
                                     "[Options]\r\nFadeNumber=2\r\n[Colors]\r\nONE=255\r\nTwo=0\r\ntwo=16711680\r\n"
                                     "[Style]\r\nWavy=True\r\nBold=True\r\nItalic=False\r\nULine=False\r\n");
  EXPECT_EQ(RunCommand({"--scheme", path, "ab"}).out, "<B><FONT COLOR=#800080></sup>a<FONT COLOR=#0000FF><sub>b</B>\n");
  // --colors replaces the scheme's colours, the style options add to its styles.
  EXPECT_EQ(RunCommand({"--scheme", path, "--colors", "#00FF00", "--italic", "ab"}).out,
            "<I><B><FONT COLOR=#00FF00>a<sup>b</B></I>\n");
}

// The shipped six-colour scheme, its values and its fade written out: ten
// letters make five runs of two, each ending on the next colour.
TEST(FadeCommand, TheRainbowSchemeFileGivesItsSixColours) {
  const std::string path = std::string(GLIMRA_SOURCE_DIR) + "/data/schemes/Rainbow.fde";
  std::ifstream file(path, std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  std::string error;
  const std::optional<FadeScheme> scheme = SchemeFromFileText(text, error);
  ASSERT_TRUE(scheme) << error;
  EXPECT_EQ(scheme->FadeNumber, 6);
  const Colour colours[] = {255, 39423, 65535, 49152, 16736256, 12583072};
  for (int i = 1; i <= 6; ++i) EXPECT_EQ(scheme->Colors[i], colours[i - 1]) << i;
  EXPECT_EQ(scheme->Wavy, kFalse);
  EXPECT_EQ(scheme->Bold, kFalse);
  EXPECT_EQ(scheme->Italic, kFalse);
  EXPECT_EQ(scheme->ULine, kFalse);
  EXPECT_EQ(RunCommand({"--scheme", path, "abcdefghij"}).out,
            "<FONT COLOR=#FF4C00>a<FONT COLOR=#FF9900>b<FONT COLOR=#FFCC00>c<FONT COLOR=#FFFF00>d"
            "<FONT COLOR=#80E000>e<FONT COLOR=#00C000>f<FONT COLOR=#009080>g<FONT COLOR=#0060FF>h"
            "<FONT COLOR=#5030E0>i<FONT COLOR=#A000C0>j\n");

  // Each switch under its stored name; "Underline" is no key of the format.
  const std::string styled =
      WriteFile("glimra_styled.fde", "FadeNumber=1\r\nOne=0\r\nULine=True\r\nItalic=True\r\nWavy=False\r\n");
  const std::optional<FadeScheme> read =
      SchemeFromFileText("FadeNumber=1\r\nOne=0\r\nULine=True\r\nItalic=True", error);
  ASSERT_TRUE(read) << error;
  EXPECT_EQ(read->ULine, kTrue);
  EXPECT_EQ(read->Italic, kTrue);
  EXPECT_EQ(read->Bold, kFalse);
  EXPECT_EQ(RunCommand({"--scheme", styled, "ab"}).out, "<U><I><FONT COLOR=#000000>ab</I></U>\n");
  EXPECT_EQ(
      RunCommand({"--scheme", WriteFile("glimra_underline.fde", "FadeNumber=1\r\nOne=0\r\nUnderline=True\r\n"), "ab"})
          .out,
      "<FONT COLOR=#000000>ab\n");
  EXPECT_EQ(RunCommand({"--scheme", WriteFile("glimra_bold.fde", "FadeNumber=1\r\nOne=0\r\nBold=True\r\n"), "ab"}).out,
            "<B><FONT COLOR=#000000>ab</B>\n");
}

// An empty value is stored as a blank, which no colour is; a missing line is black.
TEST(FadeCommand, AnEmptyColourInASchemeFileIsAnError) {
  const CommandResult empty =
      RunCommand({"--scheme", WriteFile("glimra_empty.fde", "FadeNumber=2\r\nOne=\r\nTwo=255\r\n"), "x"});
  EXPECT_EQ(empty.status, 2);
  EXPECT_EQ(empty.out, "");
  EXPECT_NE(empty.err.find("One"), std::string::npos) << empty.err;
  EXPECT_EQ(RunCommand({"--scheme", WriteFile("glimra_missing.fde", "FadeNumber=2\r\nTwo=255\r\n"), "ab"}).out,
            "<FONT COLOR=#800000>a<FONT COLOR=#FF0000>b\n");
}

TEST(FadeCommand, HtmlEscapesTheGreaterThanSign) {
  EXPECT_EQ(RunCommand({"--format", "html", "--colors", "navy,navy", "a>b"}).out,
            "<div style=\"white-space:pre-wrap\"><span style=\"color:#000080\">a&gt;b</span></div>\n");
  const std::string page = ::testing::TempDir() + "glimra_gt_page.html";
  ASSERT_EQ(RunCommand({"--colors", "#FF0000", "--html", page, "x>y"}).status, 0);
  std::ifstream in(page);
  const std::string html((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(html.find("x&gt;y"), std::string::npos);
  EXPECT_EQ(html.find("x>y"), std::string::npos);
}

// Lead bytes C0, C1 and F5 to FF never start a character; E0, ED, F0 and F4
// limit their second byte. Anything else a well-formed sequence keeps whole.
TEST(FadeCommand, Utf8AtTheEdgesOfItsRanges) {
  const std::vector<std::pair<std::string, std::size_t>> first = {{"\x7F", 1},
                                                                  {"\xC2\x80", 2},
                                                                  {"\xDF\xBF", 2},
                                                                  {"\xC1\xBF", 0},
                                                                  {"\xC0\x80", 0},
                                                                  {"\xE0\xA0\x80", 3},
                                                                  {"\xE0\x9F\xBF", 0},
                                                                  {"\xED\x9F\xBF", 3},
                                                                  {"\xED\xA0\x80", 0},
                                                                  {"\xEF\xBF\xBF", 3},
                                                                  {"\xF0\x90\x80\x80", 4},
                                                                  {"\xF0\x8F\xBF\xBF", 0},
                                                                  {"\xF4\x8F\xBF\xBF", 4},
                                                                  {"\xF4\x90\x80\x80", 0},
                                                                  {"\xF5\x80\x80\x80", 0},
                                                                  {"\xFF", 0},
                                                                  {"\xE1\x80", 0},
                                                                  {"\xC2\xC0", 0},
                                                                  {"\x80", 0}};
  for (const auto& [bytes, length] : first)
    EXPECT_EQ(WellFormedUtf8Length(bytes, 0), length) << testing::PrintToString(bytes);

  // Each byte of a sequence started by F5 to FF fades as a character of its own.
  for (const char lead : {'\xF5', '\xF8', '\xFF'}) {
    const std::string text = std::string(1, lead) + "\x80\x80\x80";
    EXPECT_EQ(RunCommand({"--colors", "#000000,#000000", text}).out,
              "<FONT COLOR=#000000>" + std::string(1, lead) +
                  "<FONT COLOR=#000000>\x80<FONT COLOR=#000000>\x80<FONT COLOR=#000000>\x80\n");
  }
  EXPECT_EQ(RunCommand({"--colors", "#000000,#000000", "\xF4\x8F\xBF\xBF!"}).out,
            "<FONT COLOR=#000000>\xF4\x8F\xBF\xBF<FONT COLOR=#000000>!\n");
}

TEST(FadeCommand, BadSchemeFilesAreOneLineAndStatusTwo) {
  const std::string good = "FadeNumber=2\r\nOne=0\r\nTwo=255\r\nBold=False\r\n";
  const std::vector<std::string> bad = {"",
                                        "FadeNumber=7\r\nOne=0\r\nTwo=1\r\n",
                                        "FadeNumber=\r\nOne=0\r\n",
                                        "FadeNumber=two\r\n",
                                        "FadeNumber=2\r\nOne=0\r\nTwo=16777216\r\n",
                                        "FadeNumber=2\r\nOne=-1\r\n",
                                        "FadeNumber=2\r\nOne=blue\r\n",
                                        good + "Wavy=sometimes\r\n",
                                        good + std::string(kLargestSchemeFile, ' ')};
  for (std::size_t i = 0; i < bad.size(); ++i) {
    SCOPED_TRACE(bad[i].substr(0, 60));
    const CommandResult r = RunCommand({"--scheme", WriteFile("glimra_bad.fde", bad[i]), "x"});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.out.empty());
    ASSERT_FALSE(r.err.empty());
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1);
  }
  // Colours past the fade number are not used and not checked.
  EXPECT_EQ(RunCommand({"--scheme", WriteFile("glimra_ok.fde", good + "Three=garbage\r\n"), "x"}).status, 0);
}

TEST(FadeCommand, CssColourNamesInAnyCase) {
  EXPECT_EQ(ParseColourArgument("tomato"), Colour{0x4763FF});  // #FF6347, red in the low byte
  EXPECT_EQ(ParseColourArgument("RebeccaPurple"), Colour{0x993366});
  EXPECT_EQ(ParseColourArgument("white"), Colour{0xFFFFFF});
  EXPECT_EQ(ParseColourArgument("grey"), ParseColourArgument("gray"));
  EXPECT_EQ(ParseColourArgument("tomatoes"), std::nullopt);
  EXPECT_EQ(ParseColourArgument("toma"), std::nullopt);
  std::size_t count = 0;
  const NamedColour* names = CssColourNames(count);
  EXPECT_EQ(count, 148u);
  for (std::size_t i = 1; i < count; ++i) EXPECT_LT(std::string(names[i - 1].name), std::string(names[i].name));
  EXPECT_EQ(RunCommand({"--colors", "Red,blue", "ab"}).out, "<FONT COLOR=#800080>a<FONT COLOR=#0000FF>b\n");
}

TEST(FadeCommand, HelpListsEveryOption) {
  const CommandResult r = RunCommand({"--help"});
  EXPECT_EQ(r.status, 0);
  for (const char* option : {"--colors", "--scheme", "--solid", "--bold", "--italic", "--underline", "--wavy",
                             "--format", "aol", "ansi", "html", "--html", "CSS", "^["})
    EXPECT_NE(r.out.find(option), std::string::npos) << option;
}

}  // namespace
}  // namespace glimra
