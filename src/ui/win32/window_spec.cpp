#include "ui/win32/window_spec.h"

namespace ui::win32 {
namespace {

DWORD LabelStyle(const TControl& control) {
  DWORD style = SS_NOTIFY;
  switch (control.Alignment()) {
    case TTextAlignment::Center:
      style |= SS_CENTER;
      break;
    case TTextAlignment::Right:
      style |= SS_RIGHT;
      break;
    case TTextAlignment::Left:
      style |= control.WordWrap() ? SS_LEFT : SS_LEFTNOWORDWRAP;
      break;
  }
  if (!HasAccelerator(control.WideText())) style |= SS_NOPREFIX;
  return style;
}

DWORD ScrollStyle(TScrollBars bars) {
  switch (bars) {
    case TScrollBars::Horizontal:
      return WS_HSCROLL;
    case TScrollBars::Vertical:
      return WS_VSCROLL;
    case TScrollBars::Both:
      return WS_HSCROLL | WS_VSCROLL;
    case TScrollBars::None:
      break;
  }
  return 0;
}

DWORD AlignStyle(TTextAlignment alignment) {
  switch (alignment) {
    case TTextAlignment::Center:
      return ES_CENTER;
    case TTextAlignment::Right:
      return ES_RIGHT;
    case TTextAlignment::Left:
      break;
  }
  return ES_LEFT;
}

}  // namespace

bool HasAccelerator(const std::u16string& caption) {
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != u'&') continue;
    // "Tom & Jerry": an ampersand before a blank marks nothing.
    if (caption[i + 1] != u'&' && caption[i + 1] != u' ') return true;
    ++i;
  }
  return false;
}

TWindowSpec WindowSpecOf(const TControl& control) {
  const DWORD child = WS_CHILD | WS_CLIPSIBLINGS;
  const DWORD multiline = control.WordWrap() ? BS_MULTILINE : 0;
  switch (control.Kind()) {
    case ControlKind::Label:
      return {L"STATIC", child | LabelStyle(control), 0};
    case ControlKind::Button:
      return {
          L"BUTTON",
          child | WS_TABSTOP | (control.Default() ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | multiline,
          0};
    case ControlKind::CheckBox:
      // The model owns the check mark: the window does not toggle itself.
      return {L"BUTTON", child | WS_TABSTOP | BS_CHECKBOX | multiline, 0};
    case ControlKind::RadioButton:
      return {L"BUTTON", child | WS_TABSTOP | BS_RADIOBUTTON | multiline, 0};
    case ControlKind::GroupBox:
      // What lies inside it are its siblings, above it in the Z order, and
      // they clip it: the box paints only around them.
      return {L"BUTTON", child | BS_GROUPBOX, 0};
    case ControlKind::Panel:
    case ControlKind::TabSheet:
      return {kPanelClass, child | WS_CLIPCHILDREN, 0};
    case ControlKind::MenuItem:
      return {};
    case ControlKind::ComboBox:
      return {L"COMBOBOX",
              child | WS_TABSTOP | WS_VSCROLL | CBS_AUTOHSCROLL |
                  (control.Editable() ? CBS_DROPDOWN : CBS_DROPDOWNLIST),
              0};
    case ControlKind::DriveList:
      return {L"COMBOBOX", child | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0};
    case ControlKind::ListBox:
    case ControlKind::ListView:
    case ControlKind::DirectoryList:
      return {L"LISTBOX", child | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
              WS_EX_CLIENTEDGE};
    case ControlKind::CheckListBox:
      return {L"LISTBOX",
              child | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT |
                  LBS_OWNERDRAWFIXED | LBS_HASSTRINGS,
              WS_EX_CLIENTEDGE};
    case ControlKind::Edit:
      return {L"EDIT",
              child | WS_TABSTOP | ES_AUTOHSCROLL | AlignStyle(control.Alignment()) |
                  (control.ReadOnly() ? ES_READONLY : 0) |
                  (control.PasswordChar() ? ES_PASSWORD : 0),
              WS_EX_CLIENTEDGE};
    case ControlKind::Memo:
      return {L"EDIT",
              child | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN |
                  AlignStyle(control.Alignment()) | (control.ReadOnly() ? ES_READONLY : 0) |
                  (control.WordWrap() ? 0 : ES_AUTOHSCROLL) |
                  ScrollStyle(control.ScrollBars() == TScrollBars::None ? TScrollBars::Vertical
                                                                        : control.ScrollBars()),
              WS_EX_CLIENTEDGE};
    case ControlKind::Image:
      return {kImageClass, child, 0};
    case ControlKind::TreeView:
      return {
          WC_TREEVIEWW,
          child | WS_TABSTOP | TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT | TVS_SHOWSELALWAYS,
          WS_EX_CLIENTEDGE};
    case ControlKind::ProgressBar:
      return {PROGRESS_CLASSW, child, 0};
  }
  return {};
}

}  // namespace ui::win32
