// The distribution information file of an installed suite (install folder +
// "xml\info.xml"): its document is kept for the process's lifetime, and of it
// the installer reads the value "PREFIX" of the first top-level element.
#pragma once

#include <string>

class TXMLObject;

// Discards the document read before; when the file exists it is parsed, and
// a first top-level element sets the prefix to its "PREFIX" child's text. A
// missing file keeps the prefix as it was.
void ReadInfoPrefix(const std::string& fileName);

std::string& InfoPrefix();
// The document read last; empty when there was none.
const TXMLObject& InfoDocument();
