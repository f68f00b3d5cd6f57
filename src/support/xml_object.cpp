#include "support/xml_object.h"

#include "platform/files.h"
#include "support/file_io.h"
#include "support/text.h"

namespace {

constexpr std::string_view kHeader = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";
constexpr std::string_view kLineBreak = "\r\n";

bool IsNameChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.' || c == ':' || c == '_';
}

// Destroys a subtree of any depth without recursion: every node loses its
// children to the work list before it is destroyed.
void DestroyChildren(TXMLChildren& children) {
  TXMLChildren pending = std::move(children);
  children.clear();
  while (!pending.empty()) {
    std::unique_ptr<TXMLObject> node = std::move(pending.back());
    pending.pop_back();
    for (std::unique_ptr<TXMLObject>& child : node->Children)
      pending.push_back(std::move(child));
    node->Children.clear();
  }
}

void AppendStartOrEmpty(std::string& out, const TXMLObject& node, bool lineBreaks) {
  out += '<';
  out += node.Name;
  for (const TXMLAttribute& attribute : node.Attributes) {
    out += ' ';
    out += attribute.Name;
    out += "=\"";
    out += attribute.Value;
    out += '"';
  }
  if (node.Children.empty() && node.Text.empty()) {
    out += "/>";
    if (lineBreaks) out += kLineBreak;
    return;
  }
  out += '>';
  out += node.Text;
}

}  // namespace

TXMLObject::~TXMLObject() {
  DestroyChildren(Children);
}

void TXMLObject::Clear() {
  DestroyChildren(Children);
  Attributes.clear();
  Text.clear();
  Name.clear();
}

void TXMLObject::SetAttribute(std::string_view name, std::string_view value, bool replace,
                              TXMLMode mode) {
  if (value.empty()) return;
  std::string stored = EncodeXMLText(value, mode);
  if (replace) {
    for (TXMLAttribute& attribute : Attributes) {
      if (attribute.Name == name) {
        attribute.Value = std::move(stored);
        return;
      }
    }
  }
  Attributes.push_back({std::string(name), std::move(stored)});
}

TXMLObject* TXMLObject::AddChild(std::string_view name, std::string_view text, TXMLMode mode) {
  auto child = std::make_unique<TXMLObject>();
  child->Name = ShortString(name);
  if (!text.empty()) child->SetText(text, mode);
  Children.push_back(std::move(child));
  return Children.back().get();
}

TXMLObject* TXMLObject::AddTextChild(std::string_view name, std::string_view text, TXMLMode mode) {
  if (text.empty()) return nullptr;
  return AddChild(name, text, mode);
}

TXMLObject* TXMLObject::SetChildText(std::string_view name, std::string_view text, TXMLMode mode) {
  TXMLObject* child = FindChild(name);
  if (child == nullptr) child = AddChild(name, {}, mode);
  child->SetText(text, mode);
  return child;
}

void TXMLObject::AddChildren(std::string_view name, std::string_view list, TXMLMode mode) {
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(";;", start);
    if (end == std::string_view::npos) end = list.size();
    std::string piece = Trim(list.substr(start, end - start));
    if (!piece.empty()) AddChild(name, piece, mode);
    start = end + 2;
  }
}

void TXMLObject::SetText(std::string_view text, TXMLMode mode) {
  Text = EncodeXMLText(text, mode);
}

TXMLObject* TXMLObject::FindChild(std::string_view name) {
  for (std::unique_ptr<TXMLObject>& child : Children)
    if (child->Name == name) return child.get();
  return nullptr;
}

const TXMLObject* TXMLObject::FindChild(std::string_view name) const {
  return const_cast<TXMLObject*>(this)->FindChild(name);
}

std::string TXMLObject::GetChildText(std::string_view name, TXMLMode mode) const {
  return GetText(FindChild(name), mode);
}

std::string TXMLObject::GetChildText(const TXMLObject* node, std::string_view name, TXMLMode mode) {
  return node == nullptr ? std::string() : node->GetChildText(name, mode);
}

std::string TXMLObject::GetText(const TXMLObject* node, TXMLMode mode) {
  return node == nullptr ? std::string() : DecodeXMLText(node->Text, mode);
}

std::string TXMLObject::GetAttribute(const TXMLObject* node, std::string_view name, TXMLMode mode) {
  if (node == nullptr) return std::string();
  for (const TXMLAttribute& attribute : node->Attributes)
    if (attribute.Name == name) return DecodeXMLText(attribute.Value, mode);
  return std::string();
}

std::string TXMLObject::ToText(bool lineBreaks, bool header) const {
  std::string out;
  if (header) out += kHeader;
  // Open elements with the index of the next child to write: an explicit
  // stack, so that depth costs heap, not call stack.
  struct Open {
    const TXMLObject* Node;
    size_t Next;
  };
  std::vector<Open> open;
  auto begin = [&](const TXMLObject& node) {
    if (node.Name.empty()) {
      // An unnamed node (the document root) stands for its content alone.
      out += node.Text;
      open.push_back({&node, 0});
      return;
    }
    AppendStartOrEmpty(out, node, lineBreaks);
    if (!node.Children.empty() || !node.Text.empty()) open.push_back({&node, 0});
  };
  begin(*this);
  while (!open.empty()) {
    Open& top = open.back();
    if (top.Next < top.Node->Children.size()) {
      const TXMLObject& child = *top.Node->Children[top.Next++];
      begin(child);  // may grow the stack; top is not used afterwards
      continue;
    }
    const TXMLObject& done = *top.Node;
    open.pop_back();
    if (done.Name.empty()) continue;
    out += "</";
    out += done.Name;
    out += '>';
    if (lineBreaks) out += kLineBreak;
  }
  return out;
}

void TXMLObject::Parse(std::string_view text) {
  // The nodes being filled, innermost last, each with the length its text
  // had when filling began: text collected beside children is dropped.
  struct Filling {
    TXMLObject* Node;
    size_t TextBefore;
  };
  std::vector<Filling> filling{{this, Text.size()}};
  auto finish = [](const Filling& entry) {
    if (!entry.Node->Children.empty() && entry.Node->Text.size() > entry.TextBefore)
      entry.Node->Text.resize(entry.TextBefore);
  };

  size_t mark = 0;  // start of the text not yet taken
  size_t position = 0;
  while (!filling.empty()) {
    size_t open = text.find('<', position);
    if (open == std::string_view::npos) break;
    TXMLObject& node = *filling.back().Node;
    if (open > mark) node.Text.append(text.substr(mark, open - mark));
    // Without a ">" no tag can follow anywhere, so every open element ends
    // here (searching again for each of them would only cost time).
    size_t close = text.find('>', open);
    if (close == std::string_view::npos) break;
    std::string_view tag = text.substr(open, close + 1 - open);
    position = mark = close + 1;

    if (tag[1] == '/') {
      // An end tag closes the innermost element, whatever its name.
      finish(filling.back());
      filling.pop_back();
      continue;
    }
    size_t nameEnd = 1;
    while (nameEnd < tag.size() && IsNameChar(tag[nameEnd]))
      ++nameEnd;
    if (nameEnd == 1) continue;  // declarations, comments and the like

    TXMLObject* child = node.AddChild(tag.substr(1, nameEnd - 1), {}, kXMLRaw);
    ParseTagAttributes(tag, child->Attributes, kXMLRaw);
    bool empty = tag[tag.size() - 2] == '/';
    if (!empty) filling.push_back({child, 0});
  }
  while (!filling.empty()) {
    finish(filling.back());
    filling.pop_back();
  }
}

bool TXMLObject::LoadFromFile(const std::string& path) {
  std::string data;
  try {
    data = ReadFileToString(path);
  } catch (const platform::IoError&) {
    return false;
  }
  if (data.empty()) return false;
  Parse(data);
  return true;
}

bool TXMLObject::SaveToFile(const std::string& path, bool lineBreaks, bool header) const {
  std::string data = ToText(lineBreaks, header);
  if (data.empty()) return false;
  try {
    return WriteStringToFile(data, path);
  } catch (const platform::IoError&) {
    return false;
  }
}
