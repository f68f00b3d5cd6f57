#include "localization/control_table.h"

#include <array>

namespace {

using C = TCaptionCarrier;
using ui::ControlKind;

constexpr std::array<TControlClass, 24> kClasses = {{
    {"tlabel", C::Text, false, false},
    {"tradiobutton", C::Text, false, false},
    {"tbutton", C::Text, false, false},
    {"tcheckbox", C::Text, false, false},
    {"ttabsheet", C::Text, false, false},
    {"tgroupbox", C::Text, false, false},
    {"tpanel", C::TrimmedText, false, false},
    {"tmenuitem", C::Text, false, false},
    {"tcombobox", C::ItemLines, false, false},
    {"tlistbox", C::ItemLines, false, false},
    {"tchecklistbox", C::CheckedLines, false, false},
    {"textlistviewmanagement", C::Columns, false, false},
    {"tcustomlistview", C::Columns, false, true},
    {"ttntlabel", C::Text, true, false},
    {"ttntradiobutton", C::Text, true, false},
    {"ttntmenuitem", C::Text, true, false},
    {"ttntbutton", C::Text, true, false},
    {"ttntcheckbox", C::Text, true, false},
    {"ttnttabsheet", C::Text, true, false},
    {"ttntgroupbox", C::Text, true, false},
    {"ttntpanel", C::TrimmedText, true, false},
    {"ttntcombobox", C::ItemLines, true, false},
    {"ttntlistbox", C::ItemLines, true, false},
    {"ttntchecklistbox", C::CheckedLines, true, false},
}};

bool CarriesText(ControlKind kind) {
  switch (kind) {
    case ControlKind::Label:
    case ControlKind::Button:
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
    case ControlKind::GroupBox:
    case ControlKind::Panel:
    case ControlKind::TabSheet:
    case ControlKind::MenuItem:
      return true;
    default:
      return false;
  }
}

bool CarriesItems(ControlKind kind) {
  return kind == ControlKind::ComboBox || kind == ControlKind::ListBox ||
         kind == ControlKind::CheckListBox;
}

std::string_view NarrowName(ControlKind kind) {
  switch (kind) {
    case ControlKind::Label:
      return "tlabel";
    case ControlKind::Button:
      return "tbutton";
    case ControlKind::CheckBox:
      return "tcheckbox";
    case ControlKind::RadioButton:
      return "tradiobutton";
    case ControlKind::GroupBox:
      return "tgroupbox";
    case ControlKind::Panel:
      return "tpanel";
    case ControlKind::TabSheet:
      return "ttabsheet";
    case ControlKind::MenuItem:
      return "tmenuitem";
    case ControlKind::ComboBox:
      return "tcombobox";
    case ControlKind::ListBox:
      return "tlistbox";
    case ControlKind::CheckListBox:
      return "tchecklistbox";
    case ControlKind::ListView:
      return "textlistviewmanagement";
    default:
      return {};
  }
}

}  // namespace

const TControlClass* FindControlClass(std::string_view name) {
  for (const TControlClass& row : kClasses)
    if (row.Name == name) return &row;
  return nullptr;
}

const TControlClass* ControlClassOf(const ui::TControl& control) {
  std::string_view narrow = NarrowName(control.Kind());
  if (narrow.empty()) return nullptr;
  // The list view has no wide class of its own.
  if (control.Wide() && control.Kind() != ControlKind::ListView) {
    std::string wide = "ttnt" + std::string(narrow.substr(1));
    return FindControlClass(wide);
  }
  return FindControlClass(narrow);
}

bool ClassFitsControl(const TControlClass& row, const ui::TControl& control) {
  switch (row.Carrier) {
    case C::Text:
    case C::TrimmedText:
      return CarriesText(control.Kind());
    case C::ItemLines:
    case C::CheckedLines:
      return CarriesItems(control.Kind());
    case C::Columns:
      return control.Kind() == ControlKind::ListView;
  }
  return false;
}
