// info.xml, the language files and the downloaded component list come from
// outside: no document may crash the tree parser, make it hang, or make the
// tree or its serialization grow out of proportion to the input.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "support/xml_object.h"
#include "support/xml_text.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);

  // What goes in with a mode comes out unchanged with the same mode.
  for (TXMLMode mode = 0; mode < 4; ++mode)
    Check(DecodeXMLText(EncodeXMLText(input, mode), mode) == input);
  for (TXMLMode mode = 0; mode < 4; ++mode)
    (void)DecodeXMLText(input, mode);

  TXMLObject root;
  root.Parse(input);
  const std::string text = root.ToText(size % 2 == 0, false);
  // Names are written at most twice, attribute values at most once more
  // than they stand in the tag; everything else is copied once.
  Check(text.size() <= 8 * size + 16);

  // Walk the tree without recursion and read every value with every mode.
  std::vector<const TXMLObject*> pending{&root};
  size_t nodes = 0;
  while (!pending.empty()) {
    const TXMLObject* node = pending.back();
    pending.pop_back();
    ++nodes;
    Check(node->Name.size() <= 255);
    Check(node->Children.empty() || node == &root || node->Text.empty());
    TXMLMode mode = static_cast<TXMLMode>(nodes % 4);
    (void)TXMLObject::GetText(node, mode);
    for (const TXMLAttribute& attribute : node->Attributes)
      (void)TXMLObject::GetAttribute(node, attribute.Name, mode);
    if (!node->Children.empty()) (void)node->GetChildText(node->Children.front()->Name, mode);
    for (const auto& child : node->Children)
      pending.push_back(child.get());
  }
  Check(nodes <= size / 3 + 1);

  // A written document reads back to the same text once more.
  TXMLObject again;
  again.Parse(text);
  (void)again.ToText(true, true);
  return 0;
}
