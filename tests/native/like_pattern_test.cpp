#include <gtest/gtest.h>

#include "aol/LikePattern.h"

namespace glimra {
namespace {

TEST(LikePattern, PlainTextFollowedByStarIsAPrefix) {
  EXPECT_TRUE(MatchesLike("welcome, jane!", "welcome,*"));
  EXPECT_TRUE(MatchesLike("welcome,", "welcome,*"));
  EXPECT_FALSE(MatchesLike("hi welcome, jane", "welcome,*"));
  EXPECT_FALSE(MatchesLike("welcome", "welcome,*"));
}

TEST(LikePattern, Wildcards) {
  EXPECT_TRUE(MatchesLike("room 12", "room ##"));
  EXPECT_FALSE(MatchesLike("room 1a", "room ##"));
  EXPECT_TRUE(MatchesLike("abc", "a?c"));
  EXPECT_FALSE(MatchesLike("ac", "a?c"));
  EXPECT_TRUE(MatchesLike("xaaab", "x*b"));
  EXPECT_TRUE(MatchesLike("abcabd", "*abd"));
  EXPECT_TRUE(MatchesLike("", "*"));
  EXPECT_FALSE(MatchesLike("", "?"));
}

TEST(LikePattern, CharacterLists) {
  EXPECT_TRUE(MatchesLike("b1", "[abc]#"));
  EXPECT_FALSE(MatchesLike("d1", "[abc]#"));
  EXPECT_TRUE(MatchesLike("d", "[!abc]"));
  EXPECT_TRUE(MatchesLike("m", "[a-z]"));
  EXPECT_FALSE(MatchesLike("M", "[a-z]"));
  EXPECT_TRUE(MatchesLike("[x", "[x"));  // an unclosed list is a plain "["
}

// A range holds both its ends and nothing beside them.
TEST(LikePattern, RangesIncludeBothEnds) {
  for (const char* inside : {"a", "m", "z"}) EXPECT_TRUE(MatchesLike(inside, "[a-z]")) << inside;
  for (const char* outside : {"`", "{", "A", "Z", "-", "0"}) EXPECT_FALSE(MatchesLike(outside, "[a-z]")) << outside;
  EXPECT_TRUE(MatchesLike("Room 5", "[A-Z]oom [0-9]"));
  EXPECT_FALSE(MatchesLike("room 5", "[A-Z]oom [0-9]"));
  EXPECT_TRUE(MatchesLike("q", "[0-9a-z]"));
  EXPECT_TRUE(MatchesLike("7", "[0-9a-z]"));
  EXPECT_FALSE(MatchesLike("z", "[!a-z]"));
  EXPECT_FALSE(MatchesLike("a", "[!a-z]"));
  EXPECT_TRUE(MatchesLike("{", "[!a-z]"));
}

TEST(LikePattern, ManyStarsDoNotBlowUp) {
  const std::string text(5000, 'a');
  EXPECT_FALSE(MatchesLike(text, "*a*a*a*a*a*a*a*b"));
}

}  // namespace
}  // namespace glimra
