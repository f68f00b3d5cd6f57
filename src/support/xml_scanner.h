// A tag scanner over a whole XML document held in one string: finds elements
// by tag name and returns their content or markup without building a tree,
// and reads the attributes of a single start tag.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "support/xml_text.h"

struct TXMLAttribute {
  std::string Name;
  std::string Value;
};
using TXMLAttributes = std::vector<TXMLAttribute>;

// The scanner's cursor.
struct TXMLType {
  std::string Data;     // the whole document
  std::string Tag;      // the element name searched for
  size_t Position = 0;  // 1-based position in Data; 0 before the first search
};

// Reads the whole file into Data (Tag empty, Position 0). False when the path
// is empty or the file cannot be opened or read.
bool LoadXMLFile(TXMLType& cursor, const std::string& path);
void InitXMLText(TXMLType& cursor, std::string_view text, std::string_view tag);

// Searches from the start for an element named tag. See FindNextElement.
bool FindElement(TXMLType& cursor, std::string_view tag, std::string& result, TXMLMode mode,
                 bool whole);
// Finds the next start tag "<" Tag followed by a blank, "/" or ">" behind
// Position. An empty element ("/>") yields its tag (whole) or nothing; else
// the first "</" Tag ">" after it closes the element (same-named elements are
// not paired), and the result is the whole element (whole) or its content,
// decoded with mode. Position ends on the last ">" taken. False and an empty
// result when no complete element follows.
bool FindNextElement(TXMLType& cursor, std::string& result, bool whole, TXMLMode mode);
// FindElement on a cursor of its own over text.
bool ElementText(std::string_view text, std::string_view tag, TXMLMode mode, bool whole,
                 std::string& result);

// The attributes of one start tag ("<name a="1" b='2'>"), in order, values
// decoded with mode. Replaces the content of attributes. Names are separated
// by spaces outside quotes and end at "="; each value is read where its
// name stands, so a duplicate name or a " name=" inside another attribute's
// quotes does not borrow a value that belongs elsewhere.
void ParseTagAttributes(std::string_view tag, TXMLAttributes& attributes, TXMLMode mode);
// The value of the first " name=" in the tag (up to its first ">"), decoded
// with mode; empty when there is none. A quoted value runs to the next quote
// of either kind; an unquoted one to the next space or the end of the tag
// (without the "/" of an empty element's "/>").
std::string TagAttribute(std::string_view tag, std::string_view name, TXMLMode mode);
