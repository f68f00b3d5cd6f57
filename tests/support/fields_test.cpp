#include "support/fields.h"

#include <gtest/gtest.h>

#include "support/text.h"

TEST(GetField, IndexesSeparatorsAndTrimming) {
  EXPECT_EQ(GetField("", 0, ';'), "");
  EXPECT_EQ(GetField("   ", 0, ';'), "");
  EXPECT_EQ(GetField("  whole text  ", 0, ';'), "whole text");
  EXPECT_EQ(GetField("a;b;c", 0, ';'), "a");
  EXPECT_EQ(GetField("a;b;c", 1, ';'), "b");
  // The index equal to the number of separators is the last field.
  EXPECT_EQ(GetField("a;b;c", 2, ';'), "c");
  EXPECT_EQ(GetField("a;b;c", 3, ';'), "");
  EXPECT_EQ(GetField("a;b;", 2, ';'), "");
  EXPECT_EQ(GetField("a; b ;c", 1, ';'), "b");
  EXPECT_EQ(GetField("a; b ;c", 1, ';', false, false, true), " b ");
  // The whole text is trimmed before the scan unless keepSpaces.
  EXPECT_EQ(GetField(" a;b ", 0, ';', false, true, true), " a");
  EXPECT_EQ(GetField(" a;b ", 0, ';', false, false, true), "a");
  // To the end: a key=value line whose value holds '='.
  EXPECT_EQ(GetField("key=a=b=c", 1, '=', true), "a=b=c");
  EXPECT_EQ(GetField("key=a=b=c", 1, '='), "a");
  EXPECT_EQ(GetField("x", 0, ';', true), "x");
}

TEST(SplitString, PiecesWithAndWithoutTrimming) {
  std::vector<std::string> pieces{"stale"};
  EXPECT_FALSE(SplitString("", ';', pieces, true));
  EXPECT_TRUE(pieces.empty());

  ASSERT_TRUE(SplitString("  first ; ;  second ;", ';', pieces, true));
  EXPECT_EQ(pieces, (std::vector<std::string>{"first", "second"}));

  ASSERT_TRUE(SplitString("a;b;", ';', pieces, false));
  EXPECT_EQ(pieces, (std::vector<std::string>{"a", "b"}));

  ASSERT_TRUE(SplitString(";a;;b", ';', pieces, false));
  EXPECT_EQ(pieces, (std::vector<std::string>{"", "a", "", "b"}));

  ASSERT_TRUE(SplitString(" x ", ';', pieces, false));
  EXPECT_EQ(pieces, (std::vector<std::string>{" x "}));

  ASSERT_TRUE(SplitString(";", ';', pieces, false));
  EXPECT_EQ(pieces, (std::vector<std::string>{""}));
  ASSERT_TRUE(SplitString(";", ';', pieces, true));
  EXPECT_TRUE(pieces.empty());
}

TEST(CopyRangeAndLastCharPos, ClampAndPositions) {
  EXPECT_EQ(CopyRange("abcdef", 2, 4), "bcd");
  EXPECT_EQ(CopyRange("abcdef", -5, 2), "ab");
  EXPECT_EQ(CopyRange("abcdef", 5, 100), "ef");
  EXPECT_EQ(CopyRange("abcdef", 4, 3), "");
  EXPECT_EQ(CopyRange("abcdef", 7, 9), "");
  EXPECT_EQ(CopyRange("", 1, 1), "");

  EXPECT_EQ(LastCharPos('\\', "C:\\a\\b"), 5);
  EXPECT_EQ(LastCharPos('x', "C:\\a\\b"), 0);
  EXPECT_EQ(LastCharPos('a', "a"), 1);
}

TEST(Text, TrimAndCase) {
  EXPECT_EQ(Trim(std::string("\t\r\n x y \x01")), "x y");
  EXPECT_EQ(TrimLeft("  a "), "a ");
  EXPECT_EQ(TrimRight("  a "), "  a");
  // Only ASCII letters change; bytes above 127 stay.
  EXPECT_EQ(LowerCase("AbC\xC4"), "abc\xC4");
  EXPECT_EQ(UpperCase("aBc\xE4"), "ABC\xE4");
  EXPECT_TRUE(SameText("Hello", "hELLO"));
  EXPECT_FALSE(SameText("Hello", "Hell"));
  EXPECT_EQ(ShortString(std::string(300, 'x')).size(), 255u);
}
