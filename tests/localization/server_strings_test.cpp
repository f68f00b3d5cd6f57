#include <gtest/gtest.h>

#include <string>

#include "common/temp_folder.h"
#include "localization/server_strings.h"

namespace {

std::u16string Value(const char* line) {
  std::string key;
  std::u16string value;
  EXPECT_TRUE(ParseServerStringLine(line, key, value)) << line;
  return value;
}

bool Parses(const char* line) {
  std::string key;
  std::u16string value;
  return ParseServerStringLine(line, key, value);
}

}  // namespace

TEST(ServerStrings, LinesSplitIntoKeyAndDecodedValue) {
  std::string key;
  std::u16string value;
  ASSERT_TRUE(ParseServerStringLine("  cMsgHello = 'Hello'#13#10'World'  ", key, value));
  EXPECT_EQ(key, "cMsgHello");
  EXPECT_EQ(value, u"Hello\r\nWorld");

  EXPECT_EQ(Value("k = 'x' = ignored"), u"x");
  EXPECT_EQ(Value("k = 'a' + 'b';"), u"ab");
  EXPECT_EQ(Value("k=#65#66#0#67"), u"ABC");
  EXPECT_EQ(Value("k=#"), u"");
  EXPECT_EQ(Value("k='unterminated"), u"unterminated");
  EXPECT_EQ(Value("k='caf'#233"), u"caf\u00e9");
  EXPECT_EQ(Value("k=#128#8364"), u"\u20ac\u20ac");
  EXPECT_EQ(Value("k=#99999999999999999999'x'"), u"x");
  // A quoted "=" belongs to the text, and a doubled quote is one quote.
  EXPECT_EQ(Value("k = 'a=b' = c"), u"a=b");
  EXPECT_EQ(Value("k = 'it''s'"), u"it's");
  EXPECT_EQ(Value("k = ''''"), u"'");

  EXPECT_FALSE(Parses("no equals sign"));
  EXPECT_FALSE(Parses("=value"));
  EXPECT_FALSE(Parses("  = 'value'"));
  EXPECT_FALSE(Parses("key="));
  EXPECT_FALSE(Parses("key =   "));
  EXPECT_FALSE(Parses("key == 'x'"));
  EXPECT_FALSE(Parses(""));
}

TEST(ServerStrings, OverridesOnlyRegisteredKeys) {
  TLocalizationStrings registry;
  std::string greeting = "old", farewell = "old";
  RegisterString("cGreeting", greeting, registry);
  RegisterString("cFarewell", farewell, registry);
  const std::string text =
      "cgreeting='Hallo'#13#10'Welt'\r\n"
      "cUnknown='skipped'\r"
      "\n"
      "   \n"
      "CFAREWELL = 'Tsch'#252's '#8364\n"
      "cFarewell = 'second line of the same key'";
  EXPECT_EQ(ApplyServerStrings(text, registry), 3u);
  EXPECT_EQ(greeting, "Hallo\r\nWelt");
  EXPECT_EQ(farewell, "second line of the same key");
  EXPECT_EQ(ApplyServerStrings("", registry), 0u);

  TempFolder temp;
  EXPECT_FALSE(LoadServerStrings(temp / "strings.dat", registry));
  EXPECT_FALSE(LoadServerStrings(temp.Path(), registry));
  PutFile(temp / "strings.dat", "cFarewell = 'Tsch'#252's '#8364\r\n");
  EXPECT_TRUE(LoadServerStrings(temp / "strings.dat", registry));
  EXPECT_EQ(farewell, "Tsch\xfcs \x80");
}
