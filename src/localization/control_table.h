// The language file's CLASS values: which property of a control carries its
// CAPTION, and whether the text is narrow (ANSI code page) or wide.
#pragma once

#include <string>
#include <string_view>

#include "ui/control.h"

enum class TCaptionCarrier {
  Text,          // the control's text
  TrimmedText,   // the control's text, trimmed on export
  ItemLines,     // the items joined with CR LF; the selected index survives import
  CheckedLines,  // as ItemLines; check marks and enabled flags survive too
  Columns,       // column captions, one per line
};

struct TControlClass {
  std::string_view Name;  // lower case, as written to the file
  TCaptionCarrier Carrier;
  bool Wide;
  bool ImportOnly;  // accepted on reading, never written
};

// The row of a CLASS value (compared as given, so lower case); nullptr when
// the value is not in the table.
const TControlClass* FindControlClass(std::string_view name);
// The row a control is written under; nullptr for kinds the file skips.
const TControlClass* ControlClassOf(const ui::TControl& control);
// Whether a row may be applied to the control: its kind must hold what the
// row carries (a text, items, or columns).
bool ClassFitsControl(const TControlClass& row, const ui::TControl& control);
