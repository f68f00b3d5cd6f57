#include "support/xml_scanner.h"

#include <gtest/gtest.h>

#include "common/temp_folder.h"

namespace {

std::vector<std::pair<std::string, std::string>> Pairs(const TXMLAttributes& attributes) {
  std::vector<std::pair<std::string, std::string>> pairs;
  for (const TXMLAttribute& attribute : attributes)
    pairs.push_back({attribute.Name, attribute.Value});
  return pairs;
}

using P = std::vector<std::pair<std::string, std::string>>;

}  // namespace

TEST(XMLScanner, FindElementMatchesWholeTagNamesOnly) {
  TXMLType cursor;
  std::string result;
  InitXMLText(cursor, "<MMX>no</MMX><MM url=\"u\">one</MM><MM/><MM\t>two &amp;</MM>", "");
  EXPECT_EQ(cursor.Position, 0u);

  ASSERT_TRUE(FindElement(cursor, "MM", result, 1, false));
  EXPECT_EQ(result, "one");
  EXPECT_EQ(cursor.Tag, "MM");
  // Position is the 1-based place of the end tag's ">".
  EXPECT_EQ(cursor.Data[cursor.Position - 1], '>');
  EXPECT_EQ(cursor.Data.substr(cursor.Position - 5, 5), "</MM>");

  // An empty element is found; without whole its result is empty.
  ASSERT_TRUE(FindNextElement(cursor, result, false, 1));
  EXPECT_EQ(result, "");
  EXPECT_EQ(cursor.Data.substr(cursor.Position - 5, 5), "<MM/>");

  ASSERT_TRUE(FindNextElement(cursor, result, false, 1));
  EXPECT_EQ(result, "two &");
  size_t last = cursor.Position;
  EXPECT_EQ(last, cursor.Data.size());
  EXPECT_FALSE(FindNextElement(cursor, result, false, 1));
  EXPECT_EQ(result, "");
  EXPECT_EQ(cursor.Position, last);

  // whole gives the markup, decoded with the mode; an empty element's tag is
  // never decoded.
  ASSERT_TRUE(FindElement(cursor, "MM", result, 1, true));
  EXPECT_EQ(result, "<MM url=\"u\">one</MM>");
  ASSERT_TRUE(FindNextElement(cursor, result, true, 1));
  EXPECT_EQ(result, "<MM/>");
  ASSERT_TRUE(FindNextElement(cursor, result, true, 1));
  EXPECT_EQ(result, "<MM\t>two &</MM>");
  ASSERT_TRUE(FindElement(cursor, "MM", result, 3, true));
  ASSERT_TRUE(FindNextElement(cursor, result, true, 3));
  ASSERT_TRUE(FindNextElement(cursor, result, true, 3));
  EXPECT_EQ(result, "<MM\t>two &amp;</MM>");

  InitXMLText(cursor, "<E a=\"&lt;\"/>", "E");
  ASSERT_TRUE(FindNextElement(cursor, result, true, 1));
  EXPECT_EQ(result, "<E a=\"&lt;\"/>");
}

TEST(XMLScanner, SearchRulesAndUnfinishedElements) {
  std::string result;
  // Every delimiter after the name counts; other characters do not.
  for (const char* text : {"<T>x</T>", "<T x=\"1\">x</T>", "<T\n>x</T>", "<T\r>x</T>"}) {
    EXPECT_TRUE(ElementText(text, "T", 3, false, result)) << text;
    EXPECT_EQ(result, "x");
  }
  EXPECT_FALSE(ElementText("<TT>x</TT><t>y</t>", "T", 3, false, result));
  // Case-sensitive, and same-named elements are not paired.
  ASSERT_TRUE(ElementText("<A><A>in</A>out</A>", "A", 3, false, result));
  EXPECT_EQ(result, "<A>in");
  // The content must be closed by exactly "</" Tag ">".
  EXPECT_FALSE(ElementText("<A>x</A >", "A", 3, false, result));
  EXPECT_FALSE(ElementText("<A>x", "A", 3, false, result));
  EXPECT_FALSE(ElementText("<A x", "A", 3, false, result));
  EXPECT_FALSE(ElementText("", "A", 3, false, result));
  EXPECT_FALSE(ElementText("<A", "A", 3, false, result));
  // Mode 0 converts UTF-8 content.
  ASSERT_TRUE(ElementText("<N>Jos\xC3\xA9 &amp; co</N>", "N", 0, false, result));
  EXPECT_EQ(result, "Jos\xE9 & co");

  // A start tag without its end is not found, but the cursor moves behind
  // it, so the next call finds the element after it.
  TXMLType cursor;
  InitXMLText(cursor, "<I>open<I/><J/>", "I");
  EXPECT_FALSE(FindNextElement(cursor, result, true, 3));
  EXPECT_EQ(cursor.Position, 3u);
  ASSERT_TRUE(FindNextElement(cursor, result, true, 3));
  EXPECT_EQ(result, "<I/>");
  EXPECT_FALSE(FindNextElement(cursor, result, true, 3));

  InitXMLText(cursor, "<K>one<K>two</K>", "K");
  EXPECT_TRUE(FindNextElement(cursor, result, false, 3));
  EXPECT_EQ(result, "one<K>two");
  EXPECT_FALSE(FindNextElement(cursor, result, false, 3));

  // A Position beyond the data finds nothing instead of reading outside it.
  cursor.Position = 1000;
  EXPECT_FALSE(FindNextElement(cursor, result, false, 3));
}

TEST(XMLScanner, LoadXMLFile) {
  TempFolder temp;
  TXMLType cursor;
  InitXMLText(cursor, "old", "T");
  cursor.Position = 4;
  EXPECT_FALSE(LoadXMLFile(cursor, ""));
  EXPECT_FALSE(LoadXMLFile(cursor, temp / "missing.xml"));
  EXPECT_EQ(cursor.Data, "old");

  std::string bytes("<T>\xEF\xBB\xBF\0\r\n</T>", 13);
  PutFile(temp / "a.xml", bytes);
  ASSERT_TRUE(LoadXMLFile(cursor, temp / "a.xml"));
  EXPECT_EQ(cursor.Data, bytes);
  EXPECT_EQ(cursor.Tag, "");
  EXPECT_EQ(cursor.Position, 0u);

  PutFile(temp / "empty.xml", "");
  ASSERT_TRUE(LoadXMLFile(cursor, temp / "empty.xml"));
  EXPECT_EQ(cursor.Data, "");
  // A folder does not read as a file.
  EXPECT_FALSE(LoadXMLFile(cursor, temp.Path()));
}

TEST(XMLTagAttribute, QuotingAndBoundaries) {
  EXPECT_EQ(TagAttribute("<A a='x y'>", "a", 3), "x y");
  EXPECT_EQ(TagAttribute("<A a=x b=y>", "a", 3), "x");
  EXPECT_EQ(TagAttribute("<A a=\"1\" b=\"2\">", "b", 3), "2");
  // Either quote closes either kind.
  EXPECT_EQ(TagAttribute("<A a=\"it's\">", "a", 3), "it");
  // An unquoted value at the end of the tag stops at ">" or "/>".
  EXPECT_EQ(TagAttribute("<A a=x>", "a", 3), "x");
  EXPECT_EQ(TagAttribute("<A a=x/>", "a", 3), "x");
  EXPECT_EQ(TagAttribute("<A a=/>", "a", 3), "");
  EXPECT_EQ(TagAttribute("<A a=x/y>", "a", 3), "x/y");
  EXPECT_EQ(TagAttribute("<A a=x", "a", 3), "x");
  // An unterminated quoted value ends with the tag.
  EXPECT_EQ(TagAttribute("<A a=\"x y>", "a", 3), "x y");
  // The name needs a space before it and "=" right after it.
  EXPECT_EQ(TagAttribute("<A xa=\"1\" a=\"2\">", "a", 3), "2");
  EXPECT_EQ(TagAttribute("<A a =\"1\">", "a", 3), "");
  EXPECT_EQ(TagAttribute("<A=\"1\">", "A", 3), "");
  EXPECT_EQ(TagAttribute("<A>", "a", 3), "");
  EXPECT_EQ(TagAttribute("", "a", 3), "");
  EXPECT_EQ(TagAttribute("<A a=", "a", 3), "");
  // Only the tag up to its first ">" is searched.
  EXPECT_EQ(TagAttribute("<A> <B a=\"1\">", "a", 3), "");
  // The first occurrence wins, even inside another value.
  EXPECT_EQ(TagAttribute("<A t=\" a=1\" a=\"2\">", "a", 3), "1\"");
  // Names compare case-sensitively; the value is decoded with the mode.
  EXPECT_EQ(TagAttribute("<A Lang=\"de\">", "lang", 3), "");
  EXPECT_EQ(TagAttribute("<A v=\"&lt;&#65;\">", "v", 1), "<A");
  EXPECT_EQ(TagAttribute("<A v=\"&lt;&#65;\">", "v", 3), "&lt;&#65;");
  EXPECT_EQ(TagAttribute("<A v=\"Fran\xC3\xA7"
                         "ais\">",
                         "v", 0),
            "Fran\xE7"
            "ais");
}

TEST(XMLTagAttributes, AllAttributesOfOneTag) {
  TXMLAttributes attributes{{"stale", "1"}};
  ParseTagAttributes("<item id=\"7\" name='a b' flag=x path=\"c:\\x=y\"/>", attributes, 3);
  EXPECT_EQ(Pairs(attributes),
            (P{{"id", "7"}, {"name", "a b"}, {"flag", "x"}, {"path", "c:\\x=y"}}));

  // Decoded with the mode.
  ParseTagAttributes("<A v=\"&amp;&quot;\" w='&#x3C;'>", attributes, 1);
  EXPECT_EQ(Pairs(attributes), (P{{"v", "&\""}, {"w", "<"}}));

  // Too short, or nothing but a name: no attributes, and the list is emptied.
  ParseTagAttributes("<>", attributes, 3);
  EXPECT_TRUE(attributes.empty());
  attributes = {{"stale", "1"}};
  ParseTagAttributes("<A>", attributes, 3);
  EXPECT_TRUE(attributes.empty());
  ParseTagAttributes("<A =\"1\" b>", attributes, 3);
  EXPECT_TRUE(attributes.empty());

  // An attribute without a value is kept with an empty one.
  ParseTagAttributes("<A a=\"\" b= c=3>", attributes, 3);
  EXPECT_EQ(Pairs(attributes), (P{{"a", ""}, {"b", ""}, {"c", "3"}}));

  // ">" outside quotes ends the scan; inside quotes it does not, but values
  // are only read up to the tag's first ">".
  ParseTagAttributes("<A a=1> b=2>", attributes, 3);
  EXPECT_EQ(Pairs(attributes), (P{{"a", "1"}}));
  ParseTagAttributes("<A a=\"x>y\" b=\"2\">", attributes, 3);
  EXPECT_EQ(Pairs(attributes), (P{{"a", "x"}, {"b", ""}}));

  // The token behind "<" has no space before it: its value comes from a
  // " name=" elsewhere, if any.
  ParseTagAttributes("<A=1 B=2>", attributes, 3);
  EXPECT_EQ(Pairs(attributes), (P{{"A", ""}, {"B", "2"}}));
  ParseTagAttributes("<a=1 a=2>", attributes, 3);
  EXPECT_EQ(Pairs(attributes), (P{{"a", "2"}, {"a", "2"}}));
}

TEST(XMLTagAttributes, ValuesAreReadWhereTheirNameStands) {
  TXMLAttributes attributes;
  // Duplicate names keep their own values.
  ParseTagAttributes("<A x=\"1\" x=\"2\">", attributes, 3);
  EXPECT_EQ(Pairs(attributes), (P{{"x", "1"}, {"x", "2"}}));
  // A " name=" inside another attribute's quotes lends no value.
  ParseTagAttributes("<A t=\" y=5\" y=\"7\">", attributes, 3);
  EXPECT_EQ(Pairs(attributes), (P{{"t", " y=5"}, {"y", "7"}}));
  // A later "=" in the same token belongs to the value.
  ParseTagAttributes("<A a=b=c d=e>", attributes, 3);
  EXPECT_EQ(Pairs(attributes), (P{{"a", "b=c"}, {"d", "e"}}));
  ParseTagAttributes("<A x" + std::string(1000, '=') + ">", attributes, 3);
  ASSERT_EQ(attributes.size(), 1u);
  EXPECT_EQ(attributes[0].Name, "x");
  EXPECT_EQ(attributes[0].Value, std::string(999, '='));
}
