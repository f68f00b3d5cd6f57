// A small XML node tree on 8-bit strings with its parser and writer. Nodes
// keep text and attribute values escaped; each call that stores or returns
// text names the text mode that converts it (see xml_text.h).
//
// The parser accepts any text and never reports an error: it is meant for
// the files this installer and its suite write, not as a conforming parser.
// Parsing, writing and destroying need no stack per nesting level.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "support/xml_scanner.h"
#include "support/xml_text.h"

class TXMLObject;
using TXMLChildren = std::vector<std::unique_ptr<TXMLObject>>;

class TXMLObject {
 public:
  TXMLObject() = default;
  TXMLObject(const TXMLObject&) = delete;
  TXMLObject& operator=(const TXMLObject&) = delete;
  ~TXMLObject();

  TXMLChildren Children;      // in document order, owned
  TXMLAttributes Attributes;  // in the order added; values escaped
  std::string Text;           // escaped; empty after parsing when there are children
  std::string Name;           // at most 255 characters; empty for the document root

  // Destroys the children and empties attributes, text and name.
  void Clear();

  // Nothing happens for an empty value. With replace, the first attribute of
  // that name gets the value in place; otherwise a new one is appended.
  void SetAttribute(std::string_view name, std::string_view value, bool replace, TXMLMode mode);
  // Appends a child (its text set when text is not empty) and returns it.
  TXMLObject* AddChild(std::string_view name, std::string_view text, TXMLMode mode);
  // AddChild, but only when text is not empty; returns the child or nullptr.
  TXMLObject* AddTextChild(std::string_view name, std::string_view text, TXMLMode mode);
  // The first child of that name (appended when missing) with its text set,
  // even to an empty text.
  TXMLObject* SetChildText(std::string_view name, std::string_view text, TXMLMode mode);
  // One child of that name for each non-empty trimmed piece of list ";;" list.
  void AddChildren(std::string_view name, std::string_view list, TXMLMode mode);
  void SetText(std::string_view text, TXMLMode mode);

  // The first child with exactly that name, or nullptr.
  TXMLObject* FindChild(std::string_view name);
  const TXMLObject* FindChild(std::string_view name) const;

  // Decoded text of the first child of that name; empty when there is none.
  std::string GetChildText(std::string_view name, TXMLMode mode) const;
  // The same, and empty when node is nullptr.
  static std::string GetChildText(const TXMLObject* node, std::string_view name, TXMLMode mode);
  // The node's decoded text; empty when node is nullptr.
  static std::string GetText(const TXMLObject* node, TXMLMode mode);
  // The first attribute of that name, decoded; empty when absent.
  static std::string GetAttribute(const TXMLObject* node, std::string_view name, TXMLMode mode);

  // The serialized element, or for the unnamed root its text and children.
  // lineBreaks puts CR LF behind each element's end; header puts the XML
  // declaration and CR LF in front. Stored values are written as they are.
  std::string ToText(bool lineBreaks, bool header) const;
  // Appends the elements found in text to the children.
  void Parse(std::string_view text);

  // True when the file had at least one byte; it is then parsed into this node.
  bool LoadFromFile(const std::string& path);
  // Writes ToText (replacing the file, creating its folder); false when there
  // is nothing to write or the file cannot be written.
  bool SaveToFile(const std::string& path, bool lineBreaks, bool header) const;
};
