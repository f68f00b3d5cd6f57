#include "support/xml_text.h"

#include <gtest/gtest.h>

#include "platform/codepage.h"

namespace {

// The euro sign is 0x80 in Windows-1252, the code page of the POSIX build
// and of the test prefix's system.
bool AnsiIsWindows1252() {
  return platform::AnsiToUtf16("\x80\xE9") == u"\u20AC\u00E9";
}

}  // namespace

TEST(XMLEntities, EscapeEveryOccurrenceAmpersandFirst) {
  EXPECT_EQ(EscapeXMLEntities("a&b\"c'd<e>f"), "a&amp;b&quot;c&apos;d&lt;e&gt;f");
  // Existing references are escaped again: the ampersand goes first.
  EXPECT_EQ(EscapeXMLEntities("&lt;&&"), "&amp;lt;&amp;&amp;");
  EXPECT_EQ(EscapeXMLEntities(""), "");
  EXPECT_EQ(EscapeXMLEntities(std::string("\0\xff", 2)), std::string("\0\xff", 2));
}

TEST(XMLEntities, DecodeInOnePassIgnoringCase) {
  EXPECT_EQ(DecodeXMLEntities("&LT;&#65;&nbsp;"), "<A ");
  EXPECT_EQ(DecodeXMLEntities("&amp;lt;"), "&lt;");
  EXPECT_EQ(DecodeXMLEntities("&AmP;&QUOT;&Apos;&gT;&NBSP;"), "&\"'> ");
  // Decimal and hexadecimal numbers; only the low 8 bits are kept.
  EXPECT_EQ(DecodeXMLEntities("&#x41;&#X62;&#321;&#0065;"), "AbAA");
  EXPECT_EQ(DecodeXMLEntities("&#0;"), std::string("\0", 1));
  EXPECT_EQ(DecodeXMLEntities("&#233;"), "\xE9");
  EXPECT_EQ(DecodeXMLEntities("&#38;lt;"), "&lt;");
  // Anything that is not a complete reference stays as it stands.
  EXPECT_EQ(DecodeXMLEntities("&;&#;&#x;&#12&#1a;&copy;& amp;&amp"),
            "&;&#;&#x;&#12&#1a;&copy;& amp;&amp");
  EXPECT_EQ(DecodeXMLEntities("&"), "&");
  EXPECT_EQ(DecodeXMLEntities("a && b &&amp; c"), "a && b && c");
  // A very long number wraps but still gives its low byte.
  EXPECT_EQ(DecodeXMLEntities("&#" + std::string(40, '9') + ";"),
            "\xFF");  // 10^40 - 1 = 255 modulo 256
}

TEST(XMLUtf8, AnsiRoundTripAndForeignBytes) {
  ASSERT_TRUE(AnsiIsWindows1252());
  EXPECT_EQ(AnsiToUtf8("caf\xE9 \x80"), "caf\xC3\xA9 \xE2\x82\xAC");
  EXPECT_EQ(Utf8ToAnsi("caf\xC3\xA9 \xE2\x82\xAC"), "caf\xE9 \x80");
  EXPECT_EQ(AnsiToUtf8("plain"), "plain");
  // Every ANSI byte survives the way out and back.
  std::string all;
  for (int c = 1; c < 256; ++c)
    all.push_back(static_cast<char>(c));
  EXPECT_EQ(Utf8ToAnsi(AnsiToUtf8(all)), all);

  // Characters without an ANSI form, of three and four bytes, give one '?'.
  EXPECT_EQ(Utf8ToAnsi("a\xE4\xB8\xAD"
                       "b\xF0\x9F\x98\x80"
                       "c"),
            "a?b?c");
  // Bytes that are not UTF-8 are ANSI text already and are kept: a file
  // saved in the ANSI code page reads unchanged.
  EXPECT_EQ(Utf8ToAnsi("caf\xE9"), "caf\xE9");
  EXPECT_EQ(Utf8ToAnsi("\xC0\xAF|\xE2\x82|\xED\xA0\x80|\xC3\xA9"),
            "\xC0\xAF|\xE2\x82|\xED\xA0\x80|\xE9");
  EXPECT_EQ(Utf8ToAnsi("\xE2\x82"), "\xE2\x82");
}

TEST(XMLTextModes, FourModesInBothDirections) {
  ASSERT_TRUE(AnsiIsWindows1252());
  const std::string ansi = "R\xE9sum\xE9 <&>";
  EXPECT_EQ(EncodeXMLText(ansi, 0), "R\xC3\xA9sum\xC3\xA9 &lt;&amp;&gt;");
  EXPECT_EQ(EncodeXMLText(ansi, 1), "R\xE9sum\xE9 &lt;&amp;&gt;");
  EXPECT_EQ(EncodeXMLText(ansi, 2), "R\xC3\xA9sum\xC3\xA9 <&>");
  EXPECT_EQ(EncodeXMLText(ansi, 3), ansi);
  for (TXMLMode mode = 0; mode < 4; ++mode)
    EXPECT_EQ(DecodeXMLText(EncodeXMLText(ansi, mode), mode), ansi) << int(mode);

  // Mode 0 converts from UTF-8 before decoding references, so the bytes a
  // reference yields are not taken as UTF-8.
  EXPECT_EQ(DecodeXMLText("&#195;&#169;\xC3\xA9", 0), "\xC3\xA9\xE9");
  EXPECT_EQ(DecodeXMLText("&lt;\xC3\xA9", 1), "<\xC3\xA9");
  EXPECT_EQ(DecodeXMLText("&lt;\xC3\xA9", 2), "&lt;\xE9");
  EXPECT_EQ(DecodeXMLText("&lt;\xC3\xA9", 3), "&lt;\xC3\xA9");
  // Modes beyond the four are raw.
  EXPECT_EQ(EncodeXMLText("<\xE9", 7), "<\xE9");
  EXPECT_EQ(DecodeXMLText("&lt;", 200), "&lt;");
}

TEST(XMLConverters, BooleansAndIntegers) {
  EXPECT_EQ(BoolToXMLText(true), "1");
  EXPECT_EQ(BoolToXMLText(false), "0");
  EXPECT_TRUE(XMLTextToBool("1"));
  EXPECT_TRUE(XMLTextToBool("true"));
  EXPECT_TRUE(XMLTextToBool("TrUe"));
  EXPECT_FALSE(XMLTextToBool(""));
  EXPECT_FALSE(XMLTextToBool("0"));
  EXPECT_FALSE(XMLTextToBool("yes"));
  EXPECT_FALSE(XMLTextToBool(" 1"));
  EXPECT_FALSE(XMLTextToBool("true "));
  EXPECT_FALSE(XMLTextToBool("2"));
  EXPECT_EQ(IntToXMLText(0), "");
  EXPECT_EQ(IntToXMLText(42), "42");
  EXPECT_EQ(IntToXMLText(-7), "-7");
  EXPECT_EQ(IntToXMLText(4294967296), "4294967296");
}
