#include "config/info_prefix.h"

#include "platform/files.h"
#include "support/xml_object.h"

namespace {

TXMLObject& Document() {
  static TXMLObject document;
  return document;
}

}  // namespace

std::string& InfoPrefix() {
  static std::string prefix;
  return prefix;
}

const TXMLObject& InfoDocument() {
  return Document();
}

void ReadInfoPrefix(const std::string& fileName) {
  TXMLObject& document = Document();
  document.Clear();
  if (!platform::PathExists(fileName) || platform::IsFolder(fileName)) return;
  try {
    document.LoadFromFile(fileName);
  } catch (const platform::IoError&) {
    return;
  }
  if (!document.Children.empty())
    InfoPrefix() = document.Children.front()->GetChildText("PREFIX", kXMLEntitiesUtf8);
}
