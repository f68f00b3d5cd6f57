#include "support/utf8.h"

#include <gtest/gtest.h>

TEST(Utf8, SequencesBothWays) {
  EXPECT_EQ(Utf8ToUtf16("plain"), u"plain");
  EXPECT_EQ(Utf8ToUtf16("\xC3\xA4\xE2\x82\xAC"), u"\u00E4\u20AC");
  // Four bytes become a surrogate pair and back.
  EXPECT_EQ(Utf8ToUtf16("\xF0\x9F\x98\x80"), u"\U0001F600");
  EXPECT_EQ(Utf16ToUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
  EXPECT_EQ(Utf16ToUtf8(u"\u00E4\u20AC"), "\xC3\xA4\xE2\x82\xAC");
  // An unpaired surrogate cannot be written as UTF-8.
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800)) + u"x"), "\xEF\xBF\xBDx");

  uint32_t code = 0;
  // Overlong forms, encoded surrogates and cut sequences are not UTF-8.
  EXPECT_EQ(DecodeUtf8Sequence("\xC0\x80", 0, code), 0u);
  EXPECT_EQ(DecodeUtf8Sequence("\xE0\x80\x80", 0, code), 0u);
  EXPECT_EQ(DecodeUtf8Sequence("\xED\xA0\x80", 0, code), 0u);
  EXPECT_EQ(DecodeUtf8Sequence("\xE2\x82", 0, code), 0u);
  EXPECT_EQ(DecodeUtf8Sequence("\xF4\x90\x80\x80", 0, code), 0u);
  EXPECT_EQ(DecodeUtf8Sequence("x\xE2\x82\xAC", 1, code), 3u);
  EXPECT_EQ(code, 0x20ACu);

#ifndef _WIN32
  // Bytes that are not UTF-8 are read as Windows-1252 text.
  EXPECT_EQ(Utf8ToUtf16("Gr\xFC\xDF"), u"Gr\u00FC\u00DF");
  EXPECT_EQ(Utf8ToUtf16("\x80\xC3\xA4"), u"\u20AC\u00E4");
#endif
}
