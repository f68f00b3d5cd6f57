#include "support/config_text.h"

#include <gtest/gtest.h>

TEST(StripComments, MarkersEscapesAndBlocks) {
  EXPECT_EQ(StripComments("value # note"), "value");
  EXPECT_EQ(StripComments("value // note"), "value");
  EXPECT_EQ(StripComments("http://host/path"), "http://host/path");
  EXPECT_EQ(StripComments("pass##word"), "pass#word");
  EXPECT_EQ(StripComments("pass##word # note"), "pass#word");
  EXPECT_EQ(StripComments("a ### b"), "a #");
  EXPECT_EQ(StripComments("# whole line"), "");
  EXPECT_EQ(StripComments("  untouched  "), "  untouched  ");
  EXPECT_EQ(StripComments("a // /b"), "a /b");
  EXPECT_EQ(StripComments("a // /b // c"), "a /b");
  // A block keeps the blanks on both sides; only the ends are trimmed.
  EXPECT_EQ(StripComments("a /* b */ c"), "a  c");
  EXPECT_EQ(StripComments(" /* b */ c "), "c");
  EXPECT_EQ(StripComments("a /* b */ c /* d */ e"), "a  c /* d */ e");
  // Without its end a block runs to the end of the line.
  EXPECT_EQ(StripComments("keep /* open"), "keep");
  EXPECT_EQ(StripComments("x */ y /* z */"), "x */ y");
}

TEST(StrToIntLoose, LenientDigits) {
  EXPECT_EQ(StrToIntLoose(""), 0);
  EXPECT_EQ(StrToIntLoose("abc"), 0);
  EXPECT_EQ(StrToIntLoose("42"), 42);
  EXPECT_EQ(StrToIntLoose("   42"), 42);
  EXPECT_EQ(StrToIntLoose("-42"), -42);
  EXPECT_EQ(StrToIntLoose("+42"), 42);
  EXPECT_EQ(StrToIntLoose("42abc"), 42);
  // A number stopped by a bad character loses its sign.
  EXPECT_EQ(StrToIntLoose("-42abc"), 42);
  EXPECT_EQ(StrToIntLoose("-42 "), 42);
  EXPECT_EQ(StrToIntLoose("$ff"), 255);
  EXPECT_EQ(StrToIntLoose("0x1F"), 31);
  EXPECT_EQ(StrToIntLoose("X10"), 16);
  EXPECT_EQ(StrToIntLoose("x41"), 65);
  EXPECT_EQ(StrToIntLoose("0"), 0);
  EXPECT_EQ(StrToIntLoose("0x"), 0);
  EXPECT_EQ(StrToIntLoose("-"), 0);
  EXPECT_EQ(StrToIntLoose("2147483647"), 2147483647);
  // Too many digits wrap instead of overflowing.
  EXPECT_EQ(StrToIntLoose("4294967296"), 0);
}
