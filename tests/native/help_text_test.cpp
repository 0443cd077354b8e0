// The stand-in help viewer's text format and its partial-key lookup.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "HelpText.h"

namespace winhelp {
namespace {

const char kBook[] =
    "; a comment before the first topic is ignored\r\n"
    "Title: Glimra!\r\n"
    "\r\n"
    "== Table of Contents\r\n"
    "Keywords: Table Of Contents; Contents\r\n"
    "\r\n"
    "First line.\r\n"
    "Second line.\r\n"
    "\r\n"
    "== Options\n"
    "Keywords are only read right after the heading.\n"
    "Keywords: not a keyword line here\n"
    "== Import Settings\n"
    "Keywords: Import; ; Backup \n";

TEST(HelpText, ParsesTitleTopicsKeywordsAndBodies) {
  const HelpBook book = ParseHelpText(kBook);
  EXPECT_EQ(book.title, "Glimra!");
  ASSERT_EQ(book.topics.size(), 3u);
  EXPECT_EQ(book.topics[0].name, "Table of Contents");
  EXPECT_EQ(book.topics[0].keywords, (std::vector<std::string>{"Table of Contents", "Table Of Contents", "Contents"}));
  EXPECT_EQ(book.topics[0].body, "First line.\r\nSecond line.");
  EXPECT_EQ(book.topics[1].keywords, std::vector<std::string>{"Options"});
  EXPECT_EQ(book.topics[1].body,
            "Keywords are only read right after the heading.\r\nKeywords: not a keyword line here");
  EXPECT_EQ(book.topics[2].keywords, (std::vector<std::string>{"Import Settings", "Import", "Backup"}));
  EXPECT_EQ(book.topics[2].body, "");
}

TEST(HelpText, FindsByWholeKeywordThenByBeginningIgnoringCase) {
  const HelpBook book = ParseHelpText(kBook);
  EXPECT_EQ(FindTopic(book, "options")->name, "Options");
  EXPECT_EQ(FindTopic(book, "Table Of Contents")->name, "Table of Contents");
  EXPECT_EQ(FindTopic(book, " backup ")->name, "Import Settings");
  // "Import" is a whole keyword of its own before "Import Settings" begins with it.
  EXPECT_EQ(FindTopic(book, "Imp")->name, "Import Settings");
  EXPECT_EQ(FindTopic(book, "Op")->name, "Options");
  EXPECT_EQ(FindTopic(book, "")->name, "Table of Contents");
  EXPECT_EQ(FindTopic(book, "Nothing like it"), nullptr);
  EXPECT_EQ(FindTopic(HelpBook{}, ""), nullptr);
}

// The help file shipped beside the program answers every keyword Glimra passes.
TEST(HelpText, ShippedHelpFileAnswersGlimrasKeywords) {
  std::ifstream in(GLIMRA_SOURCE_DIR "/standins/winhelp/glimra.hlp", std::ios::binary);
  ASSERT_TRUE(in);
  const HelpBook book = ParseHelpText(std::string(std::istreambuf_iterator<char>(in), {}));
  EXPECT_EQ(book.title, "Glimra!");
  for (const char* keyword :
       {"Table of Contents", "Table Of Contents", "Options", "Import Settings", "Chat Commands"}) {
    const HelpTopic* topic = FindTopic(book, keyword);
    ASSERT_NE(topic, nullptr) << keyword;
    EXPECT_FALSE(topic->body.empty()) << keyword;
  }
  EXPECT_EQ(FindTopic(book, "Table Of Contents")->name, "Table of Contents");
}

}  // namespace
}  // namespace winhelp
