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

TEST(LikePattern, ManyStarsDoNotBlowUp) {
  const std::string text(5000, 'a');
  EXPECT_FALSE(MatchesLike(text, "*a*a*a*a*a*a*a*b"));
}

}  // namespace
}  // namespace glimra
