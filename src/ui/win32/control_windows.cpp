// The model's side: windows made for controls and kept in step with every
// change of the model.
#include <algorithm>
#include <string>

#include "ui/layout.h"
#include "ui/win32/backend_internals.h"
#include "ui/win32/check_images.h"
#include "ui/win32/win32_backend.h"
#include "ui/win32/window_spec.h"

namespace ui {

// The backend's own helpers, shared by its files.
using namespace win32;

// ---- control windows ------------------------------------------------------

void TWin32Backend::CreateControlWindow(TFormWindow& record, size_t index) {
  TControl& control = *record.Form->Controls()[index];
  const win32::TWindowSpec spec = win32::WindowSpecOf(control);
  if (!spec.ClassName) return;
  DWORD style = spec.Style;
  if (ShownInModel(control)) style |= WS_VISIBLE;
  if (!EnabledInModel(control)) style |= WS_DISABLED;
  const std::u16string text = control.Kind() == ControlKind::Memo ? WithCrLf(control.WideText())
                              : IsComboBox(control.Kind()) || IsListBox(control.Kind())
                                  ? std::u16string()
                                  : control.WideText();
  HWND window;
  {
    TApplying applying(applying_);
    window = CreateWindowExW(spec.ExStyle, spec.ClassName, WidePtr(text), style, 0, 0, 0, 0,
                             HostOf(record, control),
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + index)),
                             GetModuleHandleW(nullptr), this);
  }
  if (!window)
    throw SystemError("cannot create the control " + control.Name() + " of " +
                      record.Form->ClassName());
  record.Windows[index] = window;
  controlWindows_[window] = {&record, index};
  SetWindowSubclass(window, ControlProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
  if (control.Kind() == ControlKind::ComboBox && control.Editable()) {
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (GetComboBoxInfo(window, &info) && info.hwndItem) {
      controlWindows_[info.hwndItem] = {&record, index};
      SetWindowSubclass(info.hwndItem, ControlProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
    }
  }
  TApplying applying(applying_);
  if (HFONT font = gdi_.Font(control.ShownFont()))
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  if (control.Kind() == ControlKind::TreeView && checkImages_)
    TreeView_SetImageList(window, checkImages_, TVSIL_STATE);
  if (control.Kind() == ControlKind::CheckListBox) {
    // The items are as tall as the font or the check box, whichever is more.
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, gdi_.Font(control.ShownFont()));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    SendMessageW(window, LB_SETITEMHEIGHT, 0,
                 std::max<LPARAM>(metrics.tmHeight + 2, scale_.ToScreen(16)));
  }
  ApplyText(record, index);
  ApplyHint(record, index);
  ApplyItems(record, index);
  ApplyStyle(record, index);
  ApplyProgress(record, index);
  if (control.Kind() == ControlKind::CheckBox || control.Kind() == ControlKind::RadioButton)
    SendMessageW(window, BM_SETCHECK, control.Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
  if (control.Kind() == ControlKind::TreeView) RebuildTree(record, index);
  // Only this window: placing every window for each new one made a form's
  // creation quadratic in its controls.
  PlaceControl(record, index);
}

void TWin32Backend::RecreateControlWindow(TFormWindow& record, size_t index) {
  HWND old = record.Windows[index];
  if (!old) return;
  HWND before = GetWindow(old, GW_HWNDPREV);
  const bool focused = GetFocus() == old || IsChild(old, GetFocus());
  for (auto it = controlWindows_.begin(); it != controlWindows_.end();)
    it = it->second.Record == &record && it->second.Index == index ? controlWindows_.erase(it)
                                                                   : std::next(it);
  record.Windows[index] = nullptr;
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = GetParent(old);
  tool.uId = reinterpret_cast<UINT_PTR>(old);
  SendMessageW(record.Tips, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  DestroyWindow(old);
  CreateControlWindow(record, index);
  HWND window = record.Windows[index];
  const bool groupBox = record.Form->Controls()[index]->Kind() == ControlKind::GroupBox;
  SetWindowPos(window, groupBox ? HWND_BOTTOM : (before ? before : HWND_TOP), 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (focused) SetFocus(window);
}

void TWin32Backend::PlaceControl(TFormWindow& record, size_t index) {
  HWND window = record.Windows[index];
  if (!window) return;
  const TControl& control = *record.Form->Controls()[index];
  TRect bounds = control.Bounds();
  // Group boxes hold no windows: what lies in them is placed in the
  // window that holds the group box.
  for (const TControl* parent = control.Parent(); parent && !IsHost(parent->Kind());
       parent = parent->Parent()) {
    bounds.Left += parent->Bounds().Left;
    bounds.Top += parent->Bounds().Top;
  }
  int height = scale_.ToScreen(bounds.Height);
  if (IsComboBox(control.Kind())) height += scale_.ToScreen(kComboListHeight);
  SetWindowPos(window, nullptr, scale_.ToScreen(bounds.Left), scale_.ToScreen(bounds.Top),
               scale_.ToScreen(bounds.Width), height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWin32Backend::PlaceControls(TFormWindow& record) {
  for (size_t i = 0; i < record.Windows.size(); ++i)
    PlaceControl(record, i);
}

void TWin32Backend::Realign(TFormWindow& record) {
  if (aligning_) return;
  aligning_ = true;
  try {
    AlignControls(*record.Form);
  } catch (...) {
    aligning_ = false;
    throw;
  }
  aligning_ = false;
  PlaceControls(record);
}

void TWin32Backend::ApplyText(TFormWindow& record, size_t index) {
  HWND window = record.Windows[index];
  const TControl& control = *record.Form->Controls()[index];
  if (!window) return;
  switch (control.Kind()) {
    case ControlKind::TreeView:
    case ControlKind::ProgressBar:
    case ControlKind::Image:
    case ControlKind::ListBox:
    case ControlKind::CheckListBox:
    case ControlKind::ListView:
    case ControlKind::DirectoryList:
    case ControlKind::DriveList:
      return;
    case ControlKind::ComboBox:
      if (!control.Editable()) return;
      break;
    case ControlKind::Label: {
      // The accelerator decides whether & is shown.
      const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
      const LONG_PTR wanted = (style & ~static_cast<LONG_PTR>(SS_NOPREFIX)) |
                              (win32::HasAccelerator(control.WideText()) ? 0 : SS_NOPREFIX);
      if (wanted != style) SetWindowLongPtrW(window, GWL_STYLE, wanted);
      break;
    }
    case ControlKind::Panel:
    case ControlKind::TabSheet:
      InvalidateRect(window, nullptr, TRUE);
      break;
    default:
      break;
  }
  const std::u16string wanted =
      control.Kind() == ControlKind::Memo ? WithCrLf(control.WideText()) : control.WideText();
  if (WindowText(window) != wanted) SetWindowTextW(window, WidePtr(wanted));
}

void TWin32Backend::ApplyHint(TFormWindow& record, size_t index) {
  HWND window = record.Windows[index];
  if (!window || !record.Tips) return;
  const TControl& control = *record.Form->Controls()[index];
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = GetParent(window);
  tool.uId = reinterpret_cast<UINT_PTR>(window);
  SendMessageW(record.Tips, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  if (control.WideHint().empty()) return;
  std::u16string hint = control.WideHint();
  tool.lpszText = const_cast<wchar_t*>(WidePtr(hint));
  SendMessageW(record.Tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void TWin32Backend::ApplyItems(TFormWindow& record, size_t index) {
  HWND window = record.Windows[index];
  const TControl& control = *record.Form->Controls()[index];
  if (!window || (!HasItems(control.Kind()) && control.Kind() != ControlKind::ListView)) return;
  const bool combo = IsComboBox(control.Kind());
  SendMessageW(window, WM_SETREDRAW, FALSE, 0);
  SendMessageW(window, combo ? CB_RESETCONTENT : LB_RESETCONTENT, 0, 0);
  for (const auto& item : control.WideItems())
    SendMessageW(window, combo ? CB_ADDSTRING : LB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(WidePtr(item)));
  SendMessageW(window, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(window, nullptr, TRUE);
  ApplyItemIndex(record, index);
}

void TWin32Backend::ApplyItemIndex(TFormWindow& record, size_t index) {
  HWND window = record.Windows[index];
  const TControl& control = *record.Form->Controls()[index];
  if (!window) return;
  const bool combo = IsComboBox(control.Kind());
  if (!combo && !IsListBox(control.Kind())) return;
  const LRESULT shown = SendMessageW(window, combo ? CB_GETCURSEL : LB_GETCURSEL, 0, 0);
  if (shown != control.ItemIndex())
    SendMessageW(window, combo ? CB_SETCURSEL : LB_SETCURSEL,
                 static_cast<WPARAM>(control.ItemIndex()), 0);
  // An editable combo box keeps typed text that is no item.
  if (control.Kind() == ControlKind::ComboBox && control.Editable()) ApplyText(record, index);
}

void TWin32Backend::ApplyStyle(TFormWindow& record, size_t index) {
  HWND window = record.Windows[index];
  TControl& control = *record.Form->Controls()[index];
  if (!window) return;
  const win32::TWindowSpec spec = win32::WindowSpecOf(control);
  const DWORD current = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)) &
                        ~static_cast<DWORD>(WS_VISIBLE | WS_DISABLED);
  switch (control.Kind()) {
    case ControlKind::Edit:
    case ControlKind::Memo: {
      SendMessageW(window, EM_SETREADONLY, control.ReadOnly() ? TRUE : FALSE, 0);
      SendMessageW(window, EM_SETPASSWORDCHAR, control.PasswordChar(), 0);
      const DWORD fixed =
          ES_MULTILINE | WS_VSCROLL | WS_HSCROLL | ES_AUTOHSCROLL | ES_CENTER | ES_RIGHT;
      if ((current & fixed) != (spec.Style & fixed)) return RecreateControlWindow(record, index);
      InvalidateRect(window, nullptr, TRUE);
      return;
    }
    case ControlKind::Button:
      SendMessageW(window, BM_SETSTYLE, spec.Style & 0xF, TRUE);
      return;
    case ControlKind::ComboBox:
      if ((current & 0x3) != (spec.Style & 0x3)) return RecreateControlWindow(record, index);
      return;
    case ControlKind::Label:
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
      if (current != spec.Style) {
        SetWindowLongPtrW(window, GWL_STYLE,
                          static_cast<LONG_PTR>(spec.Style) |
                              (GetWindowLongPtrW(window, GWL_STYLE) & (WS_VISIBLE | WS_DISABLED)));
        SetWindowPos(window, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
      }
      InvalidateRect(window, nullptr, TRUE);
      return;
    default:
      InvalidateRect(window, nullptr, TRUE);
      return;
  }
}

void TWin32Backend::ApplyStates(TFormWindow& record) {
  const auto& controls = record.Form->Controls();
  for (size_t i = 0; i < controls.size(); ++i) {
    HWND window = record.Windows[i];
    if (!window) continue;
    const bool shown = ShownInModel(*controls[i]);
    if ((IsWindowVisible(window) || (GetWindowLongPtrW(window, GWL_STYLE) & WS_VISIBLE)) != shown)
      ShowWindow(window, shown ? SW_SHOWNA : SW_HIDE);
    const bool enabled = EnabledInModel(*controls[i]);
    if ((IsWindowEnabled(window) != FALSE) != enabled) EnableWindow(window, enabled);
  }
}

void TWin32Backend::ApplyFonts(TFormWindow& record) {
  const auto& controls = record.Form->Controls();
  for (size_t i = 0; i < controls.size(); ++i)
    if (HWND window = record.Windows[i])
      if (HFONT font = gdi_.Font(controls[i]->ShownFont()))
        SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void TWin32Backend::ApplyProgress(TFormWindow& record, size_t index) {
  HWND window = record.Windows[index];
  const TControl& control = *record.Form->Controls()[index];
  if (!window || control.Kind() != ControlKind::ProgressBar) return;
  SendMessageW(window, PBM_SETRANGE32, static_cast<WPARAM>(control.Min()), control.Max());
  SendMessageW(window, PBM_SETPOS, static_cast<WPARAM>(control.Position()), 0);
}

void TWin32Backend::ApplySelection(TFormWindow& record, size_t index) {
  HWND window = record.Windows[index];
  const TControl& control = *record.Form->Controls()[index];
  if (!window) return;
  const auto start = static_cast<int>(control.SelStart());
  const auto end = static_cast<int>(control.SelStart() + control.SelLength());
  if (control.Kind() == ControlKind::Edit || control.Kind() == ControlKind::Memo)
    SendMessageW(window, EM_SETSEL, static_cast<WPARAM>(start), end);
  else if (control.Kind() == ControlKind::ComboBox && control.Editable())
    SendMessageW(window, CB_SETEDITSEL, 0, MAKELPARAM(start, end));
}

// ---- tree views -----------------------------------------------------------

void TWin32Backend::UpdateTreeItem(HWND tree, const TTreeNode& node, HTREEITEM item) {
  TVITEMW shown{};
  wchar_t text[512] = {};
  shown.mask = TVIF_HANDLE | TVIF_STATE | TVIF_TEXT;
  shown.hItem = item;
  shown.stateMask = TVIS_STATEIMAGEMASK | TVIS_EXPANDED;
  shown.pszText = text;
  shown.cchTextMax = 512;
  SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&shown));
  const UINT state = INDEXTOSTATEIMAGEMASK(win32::StateImageOf(node.ImageIndex()));
  if (node.WideText() != FromWide(text, wcslen(text)) ||
      (shown.state & TVIS_STATEIMAGEMASK) != state) {
    TVITEMW changed{};
    changed.mask = TVIF_HANDLE | TVIF_STATE | TVIF_TEXT;
    changed.hItem = item;
    changed.stateMask = TVIS_STATEIMAGEMASK;
    changed.state = state;
    std::u16string caption = node.WideText();
    changed.pszText = const_cast<wchar_t*>(WidePtr(caption));
    SendMessageW(tree, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&changed));
  }
  const bool expanded = (shown.state & TVIS_EXPANDED) != 0;
  if (expanded != node.Expanded() && !node.Children().empty())
    TreeView_Expand(tree, item, node.Expanded() ? TVE_EXPAND : TVE_COLLAPSE);
}

void TWin32Backend::RebuildTree(TFormWindow& record, size_t index) {
  HWND tree = record.Windows[index];
  const TControl& control = *record.Form->Controls()[index];
  if (!tree) return;
  auto& shown = record.ShownNodes[&control];
  for (const TTreeNode* node : shown)
    record.Items.erase(node);
  shown.clear();
  SendMessageW(tree, WM_SETREDRAW, FALSE, 0);
  TreeView_DeleteAllItems(tree);
  const std::vector<TTreeNode*> nodes = control.AllNodes();
  // Parents come before their children in this order.
  for (TTreeNode* node : nodes) {
    TVINSERTSTRUCTW insert{};
    insert.hParent = node->Parent() ? record.Items[node->Parent()] : TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_STATE | TVIF_PARAM;
    std::u16string caption = node->WideText();
    insert.item.pszText = const_cast<wchar_t*>(WidePtr(caption));
    insert.item.stateMask = TVIS_STATEIMAGEMASK;
    insert.item.state = INDEXTOSTATEIMAGEMASK(win32::StateImageOf(node->ImageIndex()));
    insert.item.lParam = reinterpret_cast<LPARAM>(node);
    auto item = reinterpret_cast<HTREEITEM>(
        SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    record.Items[node] = item;
    shown.push_back(node);
  }
  for (TTreeNode* node : nodes)
    if (node->Expanded() && !node->Children().empty())
      TreeView_Expand(tree, record.Items[node], TVE_EXPAND);
  TTreeNode* selected = control.SelectedNode();
  TreeView_SelectItem(tree, selected ? record.Items[selected] : nullptr);
  SendMessageW(tree, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(tree, nullptr, TRUE);
}

void TWin32Backend::SyncTree(TFormWindow& record, size_t index) {
  HWND tree = record.Windows[index];
  const TControl& control = *record.Form->Controls()[index];
  if (!tree) return;
  const std::vector<TTreeNode*> nodes = control.AllNodes();
  const auto& shown = record.ShownNodes[&control];
  if (!std::equal(nodes.begin(), nodes.end(), shown.begin(), shown.end()))
    return RebuildTree(record, index);
  for (TTreeNode* node : nodes)
    UpdateTreeItem(tree, *node, record.Items[node]);
  TTreeNode* selected = control.SelectedNode();
  HTREEITEM wanted = selected ? record.Items[selected] : nullptr;
  if (TreeView_GetSelection(tree) != wanted) TreeView_SelectItem(tree, wanted);
}

// ---- model changes ---------------------------------------------------------

void TWin32Backend::Changed(TForm& form, TControl* control, TTreeNode* node, TChange change) {
  TFormWindow* record = RecordOf(form);
  // A form not made yet is made from the model when it is shown; one that
  // becomes visible through the model is made now.
  if (!record && !control && change == TChange::Visible && form.Visible()) record = Realize(form);
  if (!record || !record->Window) return;
  TApplying applying(applying_);
  if (!control) return FormChanged(*record, change);
  const size_t index = IndexOf(*record, *control);
  if (index >= record->Windows.size()) return;
  ControlChanged(*record, index, node, change);
}

void TWin32Backend::FormChanged(TFormWindow& record, TChange change) {
  TForm& form = *record.Form;
  switch (change) {
    case TChange::Caption:
      SetWindowTextW(record.Window, WidePtr(form.WideCaption()));
      return;
    case TChange::Font:
      ApplyFonts(record);
      return;
    case TChange::ClientSize:
    case TChange::Style:
      ApplyFrame(record);
      Realign(record);
      return;
    case TChange::Color:
      RedrawWindow(record.Window, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
      return;
    case TChange::Bounds:
      Center(record);
      return;
    case TChange::Visible:
      if (form.Visible() != (IsWindowVisible(record.Window) != FALSE))
        ShowWindow(record.Window, form.Visible() ? SW_SHOW : SW_HIDE);
      return;
    case TChange::ModalResult:
      // Wakes the modal loop when the result was set outside a message.
      PostMessageW(record.Window, WM_NULL, 0, 0);
      return;
    default:
      return;
  }
}

void TWin32Backend::ControlChanged(TFormWindow& record, size_t index, TTreeNode* node,
                                   TChange change) {
  HWND window = record.Windows[index];
  TControl& control = *record.Form->Controls()[index];
  switch (change) {
    case TChange::Text:
      ApplyText(record, index);
      return;
    case TChange::Hint:
      ApplyHint(record, index);
      return;
    case TChange::Items:
      ApplyItems(record, index);
      return;
    case TChange::ItemIndex:
      ApplyItemIndex(record, index);
      return;
    case TChange::ItemStates:
    case TChange::Color:
      if (window)
        RedrawWindow(window, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
      return;
    case TChange::Bounds:
    case TChange::Align:
      Realign(record);
      return;
    case TChange::Visible:
      Realign(record);
      ApplyStates(record);
      return;
    case TChange::Enabled:
      ApplyStates(record);
      return;
    case TChange::Checked:
      if (window &&
          (control.Kind() == ControlKind::CheckBox || control.Kind() == ControlKind::RadioButton)) {
        const WPARAM wanted = control.Checked() ? BST_CHECKED : BST_UNCHECKED;
        if (static_cast<WPARAM>(SendMessageW(window, BM_GETCHECK, 0, 0)) != wanted)
          SendMessageW(window, BM_SETCHECK, wanted, 0);
      }
      return;
    case TChange::Font:
      ApplyFonts(record);
      return;
    case TChange::Style:
      ApplyStyle(record, index);
      return;
    case TChange::Progress:
      ApplyProgress(record, index);
      return;
    case TChange::Selection:
      ApplySelection(record, index);
      return;
    case TChange::Focus:
      if (window && record.Form->Visible() && GetFocus() != window && !IsChild(window, GetFocus()))
        SetFocus(window);
      return;
    case TChange::Nodes:
      SyncTree(record, index);
      return;
    case TChange::Node:
      if (node && window) {
        auto item = record.Items.find(node);
        if (item == record.Items.end())
          SyncTree(record, index);
        else
          UpdateTreeItem(window, *node, item->second);
      }
      return;
    default:
      return;
  }
}

}  // namespace ui
