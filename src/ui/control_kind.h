// What a control is. The language file names a kind by its own class values
// (localization/control_table.h); edits, memos, pictures, trees, progress
// bars and the folder and drive lists have no text there.
#pragma once

namespace ui {

enum class ControlKind {
  Label,
  Button,
  CheckBox,
  RadioButton,
  GroupBox,
  Panel,
  TabSheet,
  MenuItem,
  ComboBox,
  ListBox,
  CheckListBox,
  ListView,
  Edit,
  Memo,
  Image,
  TreeView,
  ProgressBar,
  DirectoryList,
  DriveList,
};

// Kinds whose content is a list of item lines.
constexpr bool HasItems(ControlKind kind) {
  return kind == ControlKind::ComboBox || kind == ControlKind::ListBox ||
         kind == ControlKind::CheckListBox || kind == ControlKind::DirectoryList ||
         kind == ControlKind::DriveList;
}

// Kinds whose text the user can type.
constexpr bool IsTextEntry(ControlKind kind) {
  return kind == ControlKind::Edit || kind == ControlKind::Memo || kind == ControlKind::ComboBox;
}

// Kinds that hold other controls.
constexpr bool IsContainer(ControlKind kind) {
  return kind == ControlKind::Panel || kind == ControlKind::GroupBox ||
         kind == ControlKind::TabSheet;
}

// Kinds that can hold the keyboard focus.
constexpr bool TakesFocus(ControlKind kind) {
  switch (kind) {
    case ControlKind::Label:
    case ControlKind::GroupBox:
    case ControlKind::Panel:
    case ControlKind::TabSheet:
    case ControlKind::MenuItem:
    case ControlKind::Image:
    case ControlKind::ProgressBar:
      return false;
    default:
      return true;
  }
}

}  // namespace ui
