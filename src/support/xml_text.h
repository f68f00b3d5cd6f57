// Text of XML documents: the conversions applied on the way into a node and
// on the way out, chosen per call by a text mode, and the small converters
// used with node values.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// A text mode selects the conversions. Values above 3 are taken as raw.
using TXMLMode = uint8_t;
constexpr TXMLMode kXMLEntitiesUtf8 = 0;  // entities and the ANSI/UTF-8 conversion
constexpr TXMLMode kXMLEntities = 1;      // entities only
constexpr TXMLMode kXMLUtf8 = 2;          // ANSI/UTF-8 conversion only
constexpr TXMLMode kXMLRaw = 3;           // unchanged

// Into a node: escapes & " ' < > (modes 0 and 1), then converts ANSI text with
// bytes of 128 or more to UTF-8 (modes 0 and 2).
std::string EncodeXMLText(std::string_view text, TXMLMode mode);
// Out of a node: converts UTF-8 text with bytes of 128 or more to ANSI
// (modes 0 and 2), then decodes entity references in one pass (modes 0 and 1).
std::string DecodeXMLText(std::string_view text, TXMLMode mode);

// &, ", ', < and > as their entities; every other byte unchanged.
std::string EscapeXMLEntities(std::string_view text);
// &amp; &quot; &apos; &lt; &gt; &nbsp; (any letter case) and &#n; / &#xh;
// (the low 8 bits of the number, as one byte). What a reference yields is
// never decoded again; anything else is kept as it stands.
std::string DecodeXMLEntities(std::string_view text);

// ANSI code page text to UTF-8 and back. A byte sequence that is not UTF-8
// is taken as ANSI text as it stands, so a file saved in the ANSI code page
// still reads correctly; characters without an ANSI form become '?'.
std::string AnsiToUtf8(std::string_view text);
std::string Utf8ToAnsi(std::string_view text);

// "1" or "0".
std::string BoolToXMLText(bool value);
// True for "1" and for "true" in any letter case.
bool XMLTextToBool(std::string_view text);
// Decimal text; 0 gives the empty text, so that the value is left out.
std::string IntToXMLText(int64_t value);
