#include "support/search.h"

#include <gtest/gtest.h>

TEST(ReplaceText, FirstOrAllWithAndWithoutCase) {
  std::string text = "one Two two TWO";
  ReplaceText(text, "two", "2", false, false);
  EXPECT_EQ(text, "one 2 two TWO");

  text = "one Two two TWO";
  ReplaceText(text, "two", "2", false, true);
  EXPECT_EQ(text, "one 2 2 2");

  text = "one Two two TWO";
  ReplaceText(text, "two", "2", true, true);
  EXPECT_EQ(text, "one Two 2 TWO");

  // The replacement is not searched again.
  text = "aaa";
  ReplaceText(text, "a", "aa", true, true);
  EXPECT_EQ(text, "aaaaaa");

  text = "nothing here";
  ReplaceText(text, "absent", "x", false, true);
  EXPECT_EQ(text, "nothing here");

  text = "abc";
  ReplaceText(text, "", "x", false, true);
  EXPECT_EQ(text, "abc");

  text = "abc";
  ReplaceText(text, "abc", "", true, false);
  EXPECT_EQ(text, "");

  // Letters above 127 case as the code page does (Windows-1252 on POSIX).
  text = "Gr\xDC\xDF";
  ReplaceText(text, "gr\xFC\xDF", "ok", false, false);
  EXPECT_EQ(text, "ok");
}

TEST(FindText, RangeAndWholeWord) {
  EXPECT_EQ(FindText("", "abc", 1, 0, false), 0);
  EXPECT_EQ(FindText("b", "", 1, 0, false), 0);
  EXPECT_EQ(FindText("b", "abcb", 1, 0, false), 2);
  EXPECT_EQ(FindText("b", "abcb", 3, 0, false), 4);
  EXPECT_EQ(FindText("b", "abcb", -3, 0, false), 2);
  EXPECT_EQ(FindText("b", "abcb", 3, 3, false), 0);
  EXPECT_EQ(FindText("b", "abcb", 4, 2, false), 0);
  // A match that does not fit stops the search.
  EXPECT_EQ(FindText("bcx", "abc", 1, 0, false), 0);
  EXPECT_EQ(FindText("B", "abc", 1, 0, false), 0);

  EXPECT_EQ(FindText("cat", "concat cat", 1, 0, true), 8);
  EXPECT_EQ(FindText("cat", "cats cat", 1, 0, true), 6);
  EXPECT_EQ(FindText("cat", "cat", 1, 0, true), 1);
  EXPECT_EQ(FindText("cat", "(cat)", 1, 0, true), 2);
  // The character before the start is not looked at.
  EXPECT_EQ(FindText("cat", "xcat", 2, 0, true), 2);
  // A match that ends at the end of the range is not checked after it.
  EXPECT_EQ(FindText("cat", "catx", 1, 3, true), 1);
}

TEST(WildcardMatch, RulesOfThePattern) {
  EXPECT_TRUE(WildcardMatch("abc", "abc"));
  EXPECT_FALSE(WildcardMatch("abc", "ABC"));
  EXPECT_FALSE(WildcardMatch("abc", "ab"));
  EXPECT_TRUE(WildcardMatch("", "*"));
  EXPECT_TRUE(WildcardMatch("anything", "*"));
  EXPECT_TRUE(WildcardMatch("abc", "a?c"));
  EXPECT_FALSE(WildcardMatch("ac", "a?c"));
  EXPECT_TRUE(WildcardMatch("a.txt", "*.txt"));
  EXPECT_FALSE(WildcardMatch("a.txt", "*.TXT"));
  EXPECT_TRUE(WildcardMatch("abcbd", "a*b?"));
  EXPECT_TRUE(WildcardMatch("ab", "a*b*"));
  EXPECT_TRUE(WildcardMatch("a", "a*"));
  EXPECT_TRUE(WildcardMatch("abx", "a**"));
  // Once the subject is used up only nothing or one star may remain.
  EXPECT_FALSE(WildcardMatch("a", "a**"));
  EXPECT_FALSE(WildcardMatch("", "**"));
  EXPECT_FALSE(WildcardMatch("", "?"));
  EXPECT_FALSE(WildcardMatch("ab", "a"));
  EXPECT_TRUE(WildcardMatch("mail.example.com", "*.example.*"));
}

TEST(WildcardMatch, ManyStarsAnswerAtOnce) {
  std::string subject(255, 'a');
  std::string pattern;
  for (int i = 0; i < 30; ++i)
    pattern += "*a";
  pattern += "b";
  EXPECT_FALSE(WildcardMatch(subject, pattern));
  EXPECT_TRUE(WildcardMatch(subject.substr(1) + "b", std::string(30, '*') + "b"));
  // Both sides are cut at 255 characters: the b beyond is not seen.
  EXPECT_FALSE(WildcardMatch(subject + "b", "*b"));
}
