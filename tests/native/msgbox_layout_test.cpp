#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/MsgBoxLayout.h"

namespace glimra {
namespace {

// A text area with fixed-width letters: 7 pixels a character (8 in bold),
// lines 16 pixels high, 15 twips a pixel, and a 2-pixel border.
class FakeArea : public TextArea {
 public:
  struct Printed {
    int x, y;
    std::string text;
    TextStyle style;
  };
  explicit FakeArea(int width, int outerHeightTwips = 825) : width_(width), outerTwips_(outerHeightTwips) {}

  int TextWidth(std::string_view text, const TextStyle& style) override {
    return static_cast<int>(text.size()) * (style.bold ? 8 : 7);
  }
  int LineHeight(const TextStyle&) override { return 16; }
  int InnerWidth() override { return width_; }
  int InnerHeight() override { return outerTwips_ / 15 - 4; }
  void SetOuterHeightTwips(int twips) override { outerTwips_ = twips; }
  int TwipsPerPixelY() override { return 15; }
  void Clear() override { printed.clear(); }
  void Print(int x, int y, std::string_view text, const TextStyle& style) override {
    printed.push_back({x, y, std::string(text), style});
  }

  std::vector<std::string> Lines() const {
    std::vector<std::string> lines;
    int lastY = -1;
    for (const Printed& p : printed) {
      if (p.y != lastY) lines.emplace_back();
      lines.back() += p.text;
      lastY = p.y;
    }
    return lines;
  }

  std::vector<Printed> printed;
  int outerTwips() const { return outerTwips_; }

 private:
  int width_;
  int outerTwips_;
};

TEST(MsgBoxMarkup, NoTextFoundMessage) {
  FakeArea area(1000);
  RenderMarkup(area, "~B~CRNo text found!~B~CN~N ~NPlease highlight the text you would like faded and try again.");
  ASSERT_EQ(area.printed.size(), 3u + 11u);  // word by word
  const FakeArea::Printed& first = area.printed[0];
  EXPECT_EQ(first.text, "No ");
  EXPECT_TRUE(first.style.bold);
  EXPECT_EQ(first.style.colour, 0x0000FFu);
  EXPECT_EQ(first.x, kTextLeft);
  EXPECT_EQ(first.y, kTextTop);
  EXPECT_EQ(area.printed[2].text, "found!");
  EXPECT_TRUE(area.printed[2].style.bold);
  const FakeArea::Printed& second = area.printed[3];
  EXPECT_EQ(second.text, "Please ");
  EXPECT_FALSE(second.style.bold);
  EXPECT_EQ(second.style.colour, 0u);
  EXPECT_EQ(second.y, kTextTop + 32);  // one empty line between
  EXPECT_EQ(second.x, kTextLeft);
}

TEST(MsgBoxMarkup, LowerCaseCodesActLikeUpperCase) {
  FakeArea area(1000);
  RenderMarkup(area, "~b~cga~ib~u~Bc");
  ASSERT_EQ(area.printed.size(), 3u);
  EXPECT_TRUE(area.printed[0].style.bold);
  EXPECT_EQ(area.printed[0].style.colour, 0x00FF00u);
  EXPECT_TRUE(area.printed[1].style.italic);
  EXPECT_TRUE(area.printed[2].style.underline);
  EXPECT_FALSE(area.printed[2].style.bold);
}

TEST(MsgBoxMarkup, UnknownCodesAreDroppedWithoutEffect) {
  FakeArea area(1000);
  RenderMarkup(area, "a~Xb~CZc~");
  EXPECT_EQ(area.Lines(), std::vector<std::string>{"abc"});
  for (const auto& p : area.printed) {
    EXPECT_FALSE(p.style.colour.has_value());
    EXPECT_FALSE(p.style.bold);
  }
}

TEST(MsgBoxMarkup, BlankRunsPrintNothingAndMessageIsTrimmed) {
  FakeArea area(1000);
  RenderMarkup(area, "   one~N ~Ntwo   ");
  EXPECT_EQ(area.Lines(), (std::vector<std::string>{"one", "two"}));
  EXPECT_EQ(area.printed.back().y, kTextTop + 32);
}

TEST(MsgBoxMarkup, LongTextWrapsAtBlanksWithoutLeadingBlank) {
  // Room for (120 - 2 - 51) / 7 = 9 characters a line.
  FakeArea area(120);
  RenderMarkup(area, "aaa bbb ccc ddd eee");
  const std::vector<std::string> lines = area.Lines();
  ASSERT_EQ(lines, (std::vector<std::string>{"aaa bbb ", "ccc ddd ", "eee"}));
  for (const auto& p : area.printed) EXPECT_NE(p.text.front(), ' ');
  for (const auto& p : area.printed)
    if (p.text.rfind("ccc", 0) == 0 || p.text.rfind("eee", 0) == 0) {
      EXPECT_EQ(p.x, kTextLeft);
    }
}

// The message's words as the member reads them: a gap on the line or a new
// line parts two words, and blank runs count as one blank.
std::string WordsOf(FakeArea& area) {
  std::string text;
  int lastY = -1, lastEnd = 0;
  for (const FakeArea::Printed& p : area.printed) {
    if (p.y != lastY || p.x > lastEnd) text += ' ';
    text += p.text;
    lastY = p.y;
    lastEnd = p.x + area.TextWidth(p.text, p.style);
  }
  std::string words;
  for (char c : text)
    if (c != ' ' || (!words.empty() && words.back() != ' ')) words += c;
  while (!words.empty() && words.back() == ' ') words.pop_back();
  return words;
}

TEST(MsgBoxMarkup, WrappedWordsArePrintedOnceAndWrappedLinesStartWithALetter) {
  FakeArea hello(113);  // room for 8 letters: " World" wraps after "Hello. "
  RenderMarkup(hello, "Hello.  World");
  EXPECT_EQ(hello.Lines(), (std::vector<std::string>{"Hello. ", "World"}));
  FakeArea see(103);  // bold "See" and " here" do not fit together
  RenderMarkup(see, "~BSee~B here");
  EXPECT_EQ(see.Lines(), (std::vector<std::string>{"See", "here"}));

  const std::vector<std::pair<std::string, std::string>> messages = {
      {"~B~CRAOL.EXE not found!~B~CN~N ~NThis is not a valid AOL directory.~N ~NPlease choose a directory that "
       "conatins the ~B~CBAOL.EXE~B~CN file.",
       "AOL.EXE not found! This is not a valid AOL directory. Please choose a directory that conatins the AOL.EXE "
       "file."},
      {"Hello.  World", "Hello. World"},
      {"~BSee~B here", "See here"},
      {"one   two ~I   three~I    four", "one two three four"},
  };
  for (const auto& [message, words] : messages) {
    for (int width = 90; width <= 420; width += 7) {
      SCOPED_TRACE(message + " at " + std::to_string(width));
      FakeArea area(width);
      RenderMarkup(area, message);
      EXPECT_EQ(WordsOf(area), words);
      int lastY = kTextTop;
      for (const FakeArea::Printed& p : area.printed) {
        if (p.y != lastY) {
          EXPECT_NE(p.text.front(), ' ') << "a line starts with a blank";
        }
        lastY = p.y;
      }
    }
  }
}

TEST(MsgBoxMarkup, WideWordGetsALineOfItsOwn) {
  FakeArea area(120);
  RenderMarkup(area, "ab abcdefghijklmnop cd");
  EXPECT_EQ(area.Lines(), (std::vector<std::string>{"ab ", "abcdefghijklmnop ", "cd"}));
}

TEST(MsgBoxMarkup, ManyLinesGrowTheAreaOnly) {
  FakeArea area(1000);
  std::string message;
  for (int i = 0; i < 40; ++i) message += "line~N";
  RenderMarkup(area, message);
  EXPECT_GT(area.outerTwips(), 825);
  EXPECT_GE(area.InnerHeight(), area.printed.back().y + 16);
  FakeArea small(1000, 5000);
  RenderMarkup(small, "one line");
  EXPECT_EQ(small.outerTwips(), 5000);
}

TEST(MsgBoxMarkup, EachColourCodePrintsItsColour) {
  FakeArea area(1000);
  RenderMarkup(area, "~CRr ~CGg ~CBb ~CNn");
  ASSERT_EQ(area.printed.size(), 4u);
  EXPECT_EQ(area.printed[0].style.colour, 0x0000FFu);  // 0x00BBGGRR: red
  EXPECT_EQ(area.printed[1].style.colour, 0x00FF00u);
  EXPECT_EQ(area.printed[2].style.colour, 0xFF0000u);  // blue
  EXPECT_EQ(area.printed[3].style.colour, 0u);
}

// Before each new line the area makes room for two lines below the current
// one: (y + 2 x 16 + 12) x 15 + 30 twips. Lines sit at 6, 22, 38, 54; the
// design height (825 twips, 51 pixels inside) holds the first two.
TEST(MsgBoxMarkup, TheAreaKeepsTwoLinesBelowTheLastLineWhateverTheMessageEndsWith) {
  const std::vector<std::pair<std::string, int>> messages = {
      {"a~Nb", 825},
      {"a~Nb~Nc", 1020},       // (22 + 44) x 15 + 30
      {"a~Nb~Nc~Nd", 1260},    // (38 + 44) x 15 + 30
      {"a~Nb~Nc~Nd~N", 1500},  // (54 + 44) x 15 + 30: the break after the last line counts too
      {"a~Nb~Nc~N~Bd~B ", 1260},
      {"a~Nb~Nc~Nd~N~N", 1740},
  };
  for (const auto& [message, twips] : messages) {
    FakeArea area(1000);
    RenderMarkup(area, message);
    EXPECT_EQ(area.outerTwips(), twips) << message;
  }
  // Lines begun by wrapping make room the same way: four lines of 9 letters.
  FakeArea wrapped(120);
  RenderMarkup(wrapped, "aaa bbb ccc ddd eee fff ggg");
  EXPECT_EQ(wrapped.Lines(), (std::vector<std::string>{"aaa bbb ", "ccc ddd ", "eee fff ", "ggg"}));
  EXPECT_EQ(wrapped.outerTwips(), 1260);
}

// Where the lines break: at 300 pixels there is room for 247 pixels from the
// text's left, 35 regular letters or 30 bold ones.
TEST(MsgBoxMarkup, LinesBreakWhereTheNextWordNoLongerFits) {
  FakeArea area(300);
  RenderMarkup(area,
               "~B~CRAOL.EXE not found!~B~CN~N ~NThis is not a valid AOL directory.~N ~NPlease choose a directory "
               "that conatins the ~B~CBAOL.EXE~B~CN file.");
  EXPECT_EQ(area.Lines(), (std::vector<std::string>{"AOL.EXE not found!", "This is not a valid AOL directory.",
                                                    "Please choose a directory that ", "conatins the AOL.EXE file."}));
  std::vector<int> tops;
  for (const FakeArea::Printed& p : area.printed)
    if (tops.empty() || tops.back() != p.y) tops.push_back(p.y);
  EXPECT_EQ(tops, (std::vector<int>{6, 38, 70, 86}));
  const FakeArea::Printed& exe = area.printed[area.printed.size() - 2];
  EXPECT_EQ(exe.text, "AOL.EXE");
  EXPECT_EQ(exe.x, 51 + 13 * 7);  // after "conatins the "
  EXPECT_EQ(exe.style.colour, 0xFF0000u);
  EXPECT_TRUE(exe.style.bold);
}

TEST(MsgBoxStyle, ShowMsgIconsAndOk) {
  MsgLayout plain = ShowMsgLayout(0);
  EXPECT_EQ(plain.icon, kNoIcon);
  EXPECT_FALSE(plain.waiting);
  EXPECT_TRUE(plain.buttons[0].visible);
  EXPECT_EQ(plain.buttons[0].caption, "OK");
  EXPECT_FALSE(plain.buttons[1].visible);
  EXPECT_FALSE(plain.buttons[2].visible);
  EXPECT_EQ(ShowMsgLayout(16).icon, kIconStop);
  EXPECT_EQ(ShowMsgLayout(64).icon, kIconInfo);
  const MsgLayout waiting = ShowMsgLayout(4096 + 64);
  EXPECT_TRUE(waiting.waiting);
  EXPECT_EQ(waiting.icon, kIconInfo);
  EXPECT_EQ(ShowMsgLayout(64 + 16).icon, kIconStop);  // the last match wins
}

TEST(MsgBoxStyle, AskMsgStopWithAbortRetryIgnore) {
  const MsgLayout layout = AskMsgLayout(18);
  EXPECT_EQ(layout.icon, kIconStop);
  EXPECT_EQ(layout.buttons[2].caption, "&Abort");
  EXPECT_EQ(layout.buttons[1].caption, "&Retry");
  EXPECT_EQ(layout.buttons[0].caption, "&Ignore");
  EXPECT_EQ(layout.focusOrder[0], 0);  // Ignore has the focus
  EXPECT_EQ(AnswerForCaption(layout.buttons[1].caption), 4);
}

TEST(MsgBoxStyle, AskMsgInformationYesNo) {
  const MsgLayout layout = AskMsgLayout(68);
  EXPECT_EQ(layout.icon, kIconInfo);
  EXPECT_FALSE(layout.buttons[2].visible);
  EXPECT_EQ(layout.buttons[1].caption, "&Yes");
  EXPECT_EQ(layout.buttons[0].caption, "&No");
  EXPECT_EQ(layout.focusOrder[0], 0);
  EXPECT_EQ(AnswerForCaption("&Yes"), 6);
}

TEST(MsgBoxStyle, EveryButtonSetEndsWithItsOwnRow) {
  const std::vector<std::vector<std::string>> rows = {
      {"OK", "", ""},      {"Cancel", "OK", ""},    {"&Ignore", "&Retry", "&Abort"}, {"Cancel", "&No", "&Yes"},
      {"&No", "&Yes", ""}, {"Cancel", "&Retry", ""}};
  for (int set = 0; set <= 5; ++set) {
    SCOPED_TRACE(set);
    const MsgLayout layout = AskMsgLayout(set);
    for (int index = 0; index < 3; ++index) {
      EXPECT_EQ(layout.buttons[index].visible, !rows[set][index].empty());
      if (layout.buttons[index].visible) {
        EXPECT_EQ(layout.buttons[index].caption, rows[set][index]);
      }
    }
  }
}

TEST(MsgBoxStyle, DefaultButtonGroups) {
  EXPECT_EQ(AskMsgLayout(256 + 4).focusOrder, (std::array<int, 3>{1, 0, 2}));
  EXPECT_EQ(AskMsgLayout(512 + 3).focusOrder[0], 2);
  EXPECT_EQ(AskMsgLayout(4096 + 512 + 32 + 3).icon, kIconQuestion);
  EXPECT_TRUE(AskMsgLayout(4096 + 4).waiting);
}

TEST(MsgBoxStyle, AnswersAndCaption) {
  const char* captions[] = {"OK", "Cancel", "&Abort", "&Retry", "&Ignore", "&Yes", "&No"};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(AnswerForCaption(captions[i]), i + 1);
  EXPECT_EQ(AnswerForCaption("Yes"), 0);
  EXPECT_EQ(MsgCaption("1.1.9"), "Glimra - 1.1.9");
  EXPECT_EQ(SystemIconId(kIconStop), 32513);
  EXPECT_EQ(SystemIconId(kIconInfo), 32516);
  EXPECT_EQ(SystemIconId(kNoIcon), 0);
}

}  // namespace
}  // namespace glimra
