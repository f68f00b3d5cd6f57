#include "platform/codepage.h"

#include <gtest/gtest.h>

TEST(Codepage, AnsiRoundTripsThroughUtf16) {
  std::string ascii = "plain text 123";
  EXPECT_EQ(platform::Utf16ToAnsi(platform::AnsiToUtf16(ascii)), ascii);
  EXPECT_EQ(platform::AnsiToUtf16(""), u"");
  // A character no ANSI code page has becomes a question mark.
  EXPECT_EQ(platform::Utf16ToAnsi(u"a\u4E2Db"), "a?b");
#ifndef _WIN32
  // Windows-1252 on POSIX: the euro sign, umlauts and the 0x80 block.
  EXPECT_EQ(platform::AnsiToUtf16("\x80\xE4\xDF\x9F"), u"\u20AC\u00E4\u00DF\u0178");
  EXPECT_EQ(platform::Utf16ToAnsi(u"\u20AC\u00E4\u0178"), "\x80\xE4\x9F");
  EXPECT_EQ(platform::Utf16ToAnsi(u"\U0001F600"), "?");
  EXPECT_EQ(platform::AnsiUpperCase("stra\xDF"
                                    "e \xE4\xF6\xFC \x9A\xFF"),
            "STRA\xDF"
            "E \xC4\xD6\xDC \x8A\x9F");
  EXPECT_EQ(platform::AnsiLowerCase("\xC4\xD7\xDE"), "\xE4\xD7\xFE");
#endif
  EXPECT_EQ(platform::AnsiUpperCase("MiXed"), "MIXED");
  EXPECT_EQ(platform::AnsiLowerCase("MiXed"), "mixed");
}
