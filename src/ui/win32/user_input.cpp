// The user's side: window procedures, and what a click, a key or a close
// box does to the model and its slots.
#include <algorithm>
#include <string>

#include "ui/click.h"
#include "ui/win32/backend_internals.h"
#include "ui/win32/pictures.h"
#include "ui/win32/win32_backend.h"
#include "ui/win32/window_spec.h"

namespace ui {

// The backend's own helpers, shared by its files.
using namespace win32;

namespace {

char16_t KeyOf(WPARAM wParam) {
  return static_cast<char16_t>(wParam & 0xFFFF);
}

}  // namespace

// ---- user actions ---------------------------------------------------------

void TWin32Backend::Click(TControl& control) {
  if (!control.Reachable()) return;
  // Frames are not clicked themselves; what lies in them is.
  if (control.Kind() == ControlKind::GroupBox || control.Kind() == ControlKind::Panel) return;
  if (!ApplyClickState(control)) return;
  if (control.OnClick) Dispatch([&] { control.OnClick(control); });
  ApplyClickModalResult(control);
}

void TWin32Backend::ToggleItem(TControl& list, int index) {
  if (index < 0 || static_cast<size_t>(index) >= list.ItemCount() || !list.Reachable()) return;
  const size_t item = static_cast<size_t>(index);
  if (!list.ItemEnabled(item)) return;
  list.SetItemIndex(index);
  list.SetItemChecked(item, !list.ItemChecked(item));
  if (list.OnClick) Dispatch([&] { list.OnClick(list); });
}

void TWin32Backend::TreeClick(TControl& tree, HWND window, POINT point) {
  TVHITTESTINFO hit{};
  hit.pt = point;
  TreeView_HitTest(window, &hit);
  TTreeNode* node = nullptr;
  // Anywhere on a node's row: its picture, caption, indent, button or the
  // space right of it.
  constexpr UINT kOnRow = TVHT_ONITEM | TVHT_ONITEMBUTTON | TVHT_ONITEMINDENT | TVHT_ONITEMRIGHT;
  if (hit.hItem && (hit.flags & kOnRow)) {
    TVITEMW item{};
    item.mask = TVIF_HANDLE | TVIF_PARAM;
    item.hItem = hit.hItem;
    if (SendMessageW(window, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) {
      auto* candidate = reinterpret_cast<TTreeNode*>(item.lParam);
      if (tree.PositionOf(candidate) >= 0) node = candidate;
    }
  }
  tree.SetFocus();
  if (node) tree.SelectNode(node);
  const TNodeClick click{node, scale_.ToModel(point.x), scale_.ToModel(point.y)};
  if (tree.OnNodeClick) Dispatch([&] { tree.OnNodeClick(tree, click); });
  if (tree.OnClick) Dispatch([&] { tree.OnClick(tree); });
}

TControl* TWin32Backend::FindButton(TForm& form, bool cancel) const {
  for (const auto& control : form.Controls())
    if (control->Kind() == ControlKind::Button &&
        (cancel ? control->Cancel() : control->Default()) && control->Reachable())
      return control.get();
  return nullptr;
}

bool TWin32Backend::PreviewKey(TForm& form, TControl* control, char16_t& key) {
  // Without a focused control the form's own handler is the only one.
  if ((form.KeyPreview() || !control) && form.OnKeyPress)
    Dispatch([&] { form.OnKeyPress(form, key); });
  if (key != 0 && control && control->OnKeyPress)
    Dispatch([&] { control->OnKeyPress(*control, key); });
  return key != 0;
}

bool TWin32Backend::KeyAction(TFormWindow& record, TControl* control, HWND window, char16_t key) {
  TForm& form = *record.Form;
  switch (key) {
    case kKeyEnter:
      if (control && control->Kind() == ControlKind::Memo && !control->ReadOnly()) return false;
      if (control && control->Kind() == ControlKind::Button)
        Click(*control);
      else if (TControl* button = FindButton(form, false))
        Click(*button);
      return true;
    case kKeyEscape:
      if (control && IsComboBox(control->Kind()) && window &&
          SendMessageW(window, CB_GETDROPPEDSTATE, 0, 0))
        return false;
      if (TControl* button = FindButton(form, true)) Click(*button);
      return true;
    case kKeyTab:
      return true;
    case kKeySpace:
      if (!control) return true;
      switch (control->Kind()) {
        case ControlKind::Button:
        case ControlKind::CheckBox:
        case ControlKind::RadioButton:
          Click(*control);
          return true;
        case ControlKind::CheckListBox:
          ToggleItem(*control, control->ItemIndex());
          return true;
        default:
          return false;
      }
    default:
      return !control;
  }
}

void TWin32Backend::MoveFocus(TFormWindow& record, TControl* from, bool forward) {
  const auto& controls = record.Form->Controls();
  const size_t count = controls.size();
  if (count == 0) return;
  size_t start = from ? IndexOf(record, *from) : (forward ? count - 1 : 0);
  if (start >= count) start = forward ? count - 1 : 0;
  for (size_t step = 1; step <= count; ++step) {
    const size_t i = forward ? (start + step) % count : (start + count - step % count) % count;
    const TControl& candidate = *controls[i];
    if (TakesFocus(candidate.Kind()) && candidate.Reachable() && record.Windows[i]) {
      SetFocus(record.Windows[i]);
      return;
    }
  }
}

void TWin32Backend::CloseBox(TFormWindow& record) {
  TForm& form = *record.Form;
  if (form.Modal()) {
    // The modal loop asks the close query.
    form.SetModalResult(TModalResult::Cancel);
    return;
  }
  bool canClose = true;
  if (form.OnCloseQuery) Dispatch([&] { form.OnCloseQuery(form, canClose); });
  if (!canClose) return;
  form.SetVisible(false);
  if (form.OnClose) Dispatch([&] { form.OnClose(form); });
  const auto& forms = Application().Forms();
  if (!forms.empty() && forms.front().get() == &form) PostQuitMessage(0);
}

bool TWin32Backend::Mnemonic(TFormWindow& record, char16_t key) {
  auto upper = [](char16_t c) {
    return static_cast<char16_t>(
        reinterpret_cast<UINT_PTR>(CharUpperW(reinterpret_cast<LPWSTR>(static_cast<UINT_PTR>(c)))));
  };
  const auto& controls = record.Form->Controls();
  auto nextFocusable = [&](size_t after) -> TControl* {
    for (size_t i = after + 1; i < controls.size(); ++i)
      if (TakesFocus(controls[i]->Kind()) && controls[i]->Reachable() && record.Windows[i])
        return controls[i].get();
    return nullptr;
  };
  for (size_t i = 0; i < controls.size(); ++i) {
    TControl& control = *controls[i];
    const ControlKind kind = control.Kind();
    if (kind != ControlKind::Button && kind != ControlKind::CheckBox &&
        kind != ControlKind::RadioButton && kind != ControlKind::Label &&
        kind != ControlKind::GroupBox)
      continue;
    if (!control.Reachable()) continue;
    const std::u16string& caption = control.WideText();
    char16_t marked = 0;
    for (size_t j = 0; j + 1 < caption.size(); ++j) {
      if (caption[j] != u'&') continue;
      if (caption[j + 1] == u'&') {
        ++j;
        continue;
      }
      marked = caption[j + 1];
      break;
    }
    if (marked == 0 || marked == u' ' || upper(marked) != upper(key)) continue;
    TControl* focus = nullptr;
    switch (kind) {
      case ControlKind::Button:
        Click(control);
        return true;
      case ControlKind::CheckBox:
      case ControlKind::RadioButton:
        SetFocus(record.Windows[i]);
        Click(control);
        return true;
      default:
        // A label or group box hands the focus on: to its linked control, or
        // to the next one in the tab order.
        focus =
            control.Linked() && control.Linked()->Reachable() ? control.Linked() : nextFocusable(i);
        if (HWND window = focus ? WindowOf(*focus) : nullptr) SetFocus(window);
        return true;
    }
  }
  return false;
}

// ---- window procedures ----------------------------------------------------

void TWin32Backend::Command(TControlRef ref, HWND window, UINT code) {
  TControl& control = *ref.Record->Form->Controls()[ref.Index];
  const ControlKind kind = control.Kind();
  if (applying_ > 0) return;
  switch (kind) {
    case ControlKind::Button:
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
    case ControlKind::Label:
      if (code == BN_CLICKED) Click(control);
      return;
    case ControlKind::Edit:
    case ControlKind::Memo:
      if (code == EN_CHANGE) {
        const std::u16string text = WindowText(window);
        if (text != control.WideText()) control.SetWideText(text);
        DWORD start = 0;
        DWORD end = 0;
        SendMessageW(window, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        control.SetSelection(start, end - start);
        if (control.OnChange) Dispatch([&] { control.OnChange(control); });
      }
      return;
    case ControlKind::ComboBox:
    case ControlKind::DriveList:
      if (code == CBN_EDITCHANGE) {
        const std::u16string text = WindowText(window);
        if (text != control.WideText()) control.SetWideText(text);
        if (control.OnChange) Dispatch([&] { control.OnChange(control); });
      } else if (code == CBN_SELCHANGE) {
        control.SetItemIndex(static_cast<int>(SendMessageW(window, CB_GETCURSEL, 0, 0)));
        if (control.OnChange) Dispatch([&] { control.OnChange(control); });
        if (kind == ControlKind::ComboBox && control.OnClick)
          Dispatch([&] { control.OnClick(control); });
      }
      return;
    case ControlKind::ListBox:
    case ControlKind::CheckListBox:
    case ControlKind::ListView:
    case ControlKind::DirectoryList:
      if (code == LBN_SELCHANGE) {
        control.SetItemIndex(static_cast<int>(SendMessageW(window, LB_GETCURSEL, 0, 0)));
        if (pendingToggle_ >= 0) return;  // the toggle that follows reports the click
        if (kind == ControlKind::DirectoryList) {
          if (control.OnChange) Dispatch([&] { control.OnChange(control); });
        } else if (control.OnClick) {
          Dispatch([&] { control.OnClick(control); });
        }
      } else if (code == LBN_DBLCLK && control.OnDblClick) {
        Dispatch([&] { control.OnDblClick(control); });
      }
      return;
    default:
      return;
  }
}

LRESULT TWin32Backend::Notify(TControlRef ref, const NMHDR& header) {
  TControl& control = *ref.Record->Form->Controls()[ref.Index];
  if (control.Kind() != ControlKind::TreeView || applying_ > 0) return 0;
  switch (header.code) {
    case NM_CLICK:
      TreeClick(control, header.hwndFrom, ref.Record->LastTreePoint);
      return 0;
    case TVN_SELCHANGEDW: {
      const auto& change = reinterpret_cast<const NMTREEVIEWW&>(header);
      auto* node = reinterpret_cast<TTreeNode*>(change.itemNew.lParam);
      if (change.itemNew.hItem && control.PositionOf(node) >= 0 && control.SelectedNode() != node)
        control.SelectNode(node);
      return 0;
    }
    case TVN_ITEMEXPANDEDW: {
      const auto& change = reinterpret_cast<const NMTREEVIEWW&>(header);
      auto* node = reinterpret_cast<TTreeNode*>(change.itemNew.lParam);
      const bool expanded = (change.action & TVE_EXPAND) != 0;
      if (control.PositionOf(node) >= 0 && node->Expanded() != expanded)
        node->SetExpanded(expanded);
      return 0;
    }
    default:
      return 0;
  }
}

LRESULT TWin32Backend::ControlColor(HWND host, HDC dc, HWND window, UINT message) {
  const TControlRef* ref = RefOf(window);
  if (!ref)
    return DefWindowProcW(host, message, reinterpret_cast<WPARAM>(dc),
                          reinterpret_cast<LPARAM>(window));
  const TControl& control = *ref->Record->Form->Controls()[ref->Index];
  const TFont font = control.ShownFont();
  switch (control.Kind()) {
    case ControlKind::Label:
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
    case ControlKind::GroupBox: {
      const COLORREF background = BackgroundOf(control);
      SetTextColor(dc, win32::ResolveColor(font.Color, GetSysColor(COLOR_WINDOWTEXT)));
      SetBkColor(dc, background);
      return reinterpret_cast<LRESULT>(gdi_.Brush(background));
    }
    default:
      break;
  }
  const LRESULT standard =
      DefWindowProcW(host, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(window));
  if (font.Color != kColorDefault) SetTextColor(dc, win32::ResolveColor(font.Color, 0));
  if (control.Color() != kColorDefault) {
    const COLORREF background = win32::ResolveColor(control.Color(), 0);
    SetBkColor(dc, background);
    return reinterpret_cast<LRESULT>(gdi_.Brush(background));
  }
  return standard;
}

void TWin32Backend::DrawCheckListItem(const DRAWITEMSTRUCT& draw) {
  const TControlRef* ref = RefOf(draw.hwndItem);
  if (!ref || draw.itemID == static_cast<UINT>(-1)) return;
  const TControl& list = *ref->Record->Form->Controls()[ref->Index];
  const size_t item = draw.itemID;
  if (item >= list.ItemCount()) return;
  const bool selected = (draw.itemState & ODS_SELECTED) != 0;
  const bool enabled = list.ItemEnabled(item) && IsWindowEnabled(draw.hwndItem);
  HDC dc = draw.hDC;
  RECT area = draw.rcItem;
  FillRect(dc, &area, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  const int box = std::min<int>(area.bottom - area.top - 2, scale_.ToScreen(13));
  RECT check{area.left + 2, area.top + (area.bottom - area.top - box) / 2, area.left + 2 + box,
             area.top + (area.bottom - area.top - box) / 2 + box};
  DrawFrameControl(dc, &check, DFC_BUTTON,
                   DFCS_BUTTONCHECK | (list.ItemChecked(item) ? DFCS_CHECKED : 0) |
                       (enabled ? 0 : DFCS_INACTIVE));
  RECT text = area;
  text.left = check.right + scale_.ToScreen(4);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(!enabled   ? COLOR_GRAYTEXT
                               : selected ? COLOR_HIGHLIGHTTEXT
                                          : COLOR_WINDOWTEXT));
  const std::u16string& caption = list.WideItems()[item];
  DrawTextW(dc, WidePtr(caption), static_cast<int>(caption.size()), &text,
            DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  if (draw.itemState & ODS_FOCUS) DrawFocusRect(dc, &area);
}

bool TWin32Backend::SetCursorFor(HWND window) {
  if (waitCursor_) {
    SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT)));
    return true;
  }
  const TControlRef* ref = RefOf(window);
  if (ref && ref->Record->Form->Controls()[ref->Index]->Cursor() == TCursor::Hand) {
    SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND)));
    return true;
  }
  return false;
}

bool TWin32Backend::HostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                LRESULT& result) {
  switch (message) {
    case WM_COMMAND:
      if (lParam)
        if (const TControlRef* ref = RefOf(reinterpret_cast<HWND>(lParam))) {
          Command(*ref, reinterpret_cast<HWND>(lParam), HIWORD(wParam));
          result = 0;
          return true;
        }
      return false;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (const TControlRef* ref = header ? RefOf(header->hwndFrom) : nullptr) {
        result = Notify(*ref, *header);
        return true;
      }
      return false;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      result = ControlColor(window, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam),
                            message);
      return true;
    case WM_MEASUREITEM: {
      auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      if (measure->CtlType != ODT_LISTBOX) return false;
      measure->itemHeight = static_cast<UINT>(scale_.ToScreen(16));
      result = TRUE;
      return true;
    }
    case WM_DRAWITEM: {
      const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (draw->CtlType != ODT_LISTBOX) return false;
      DrawCheckListItem(*draw);
      result = TRUE;
      return true;
    }
    case WM_SETCURSOR:
      if (SetCursorFor(reinterpret_cast<HWND>(wParam))) {
        result = TRUE;
        return true;
      }
      return false;
    default:
      return false;
  }
}

LRESULT TWin32Backend::FormMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (HostMessage(window, message, wParam, lParam, result)) return result;
  TFormWindow* record = RecordOfWindow(window);
  if (!record) return DefWindowProcW(window, message, wParam, lParam);
  switch (message) {
    case WM_CLOSE:
      CloseBox(*record);
      return 0;
    case WM_ERASEBKGND: {
      RECT area;
      GetClientRect(window, &area);
      FillRect(reinterpret_cast<HDC>(wParam), &area,
               gdi_.Brush(win32::ResolveColor(record->Form->Color(), GetSysColor(COLOR_BTNFACE))));
      return 1;
    }
    case WM_CHAR: {
      char16_t key = KeyOf(wParam);
      if (PreviewKey(*record->Form, nullptr, key)) KeyAction(*record, nullptr, nullptr, key);
      return 0;
    }
    case WM_KEYDOWN:
      if (wParam == VK_TAB) {
        MoveFocus(*record, nullptr, GetKeyState(VK_SHIFT) >= 0);
        return 0;
      }
      break;
    case WM_SYSCHAR:
      if (Mnemonic(*record, KeyOf(wParam))) return 0;
      break;
    case WM_ACTIVATE:
      // Back to the control that had the focus, not the window itself.
      if (LOWORD(wParam) != WA_INACTIVE && record->Form->Visible()) {
        FocusFirst(*record);
        return 0;
      }
      break;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void TWin32Backend::PaintPanel(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  const TControlRef* ref = RefOf(window);
  if (ref) {
    const TControl& panel = *ref->Record->Form->Controls()[ref->Index];
    RECT area;
    GetClientRect(window, &area);
    FillRect(dc, &area, gdi_.Brush(BackgroundOf(panel)));
    if (!panel.WideText().empty()) {
      const TFont font = panel.ShownFont();
      HGDIOBJ old = SelectObject(dc, gdi_.Font(font));
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, win32::ResolveColor(font.Color, GetSysColor(COLOR_WINDOWTEXT)));
      DrawTextW(dc, WidePtr(panel.WideText()), static_cast<int>(panel.WideText().size()), &area,
                DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
      SelectObject(dc, old);
    }
  }
  EndPaint(window, &paint);
}

void TWin32Backend::PaintImage(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  const TControlRef* ref = RefOf(window);
  if (ref) {
    const TControl& image = *ref->Record->Form->Controls()[ref->Index];
    RECT area;
    GetClientRect(window, &area);
    if (!win32::DrawPicture(dc, area, image.Picture()))
      FillRect(dc, &area, gdi_.Brush(BackgroundOf(image)));
  }
  EndPaint(window, &paint);
}

LRESULT TWin32Backend::ControlMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const TControlRef* found = RefOf(window);
  if (!found) return DefSubclassProc(window, message, wParam, lParam);
  const TControlRef ref = *found;
  TFormWindow& record = *ref.Record;
  TControl& control = *record.Form->Controls()[ref.Index];
  HWND own = record.Windows[ref.Index];
  switch (message) {
    case WM_ERASEBKGND:
      // The window beneath clips a group box out of its own painting, and
      // the box draws only its frame: it fills its inside itself.
      if (control.Kind() == ControlKind::GroupBox) {
        RECT area;
        GetClientRect(window, &area);
        FillRect(reinterpret_cast<HDC>(wParam), &area, gdi_.Brush(BackgroundOf(control)));
        return 1;
      }
      break;
    case WM_SETFOCUS:
      // Also while the model is copied in: showing a window moves the focus.
      if (record.Form->ActiveControl() != &control) control.SetFocus();
      break;
    case WM_KEYDOWN:
    case WM_KEYUP:
      if (wParam == VK_TAB) {
        if (message == WM_KEYDOWN) MoveFocus(record, &control, GetKeyState(VK_SHIFT) >= 0);
        return 0;
      }
      // Space and Enter act on WM_CHAR, after the key preview.
      if ((wParam == VK_SPACE || wParam == VK_RETURN) &&
          (control.Kind() == ControlKind::Button || control.Kind() == ControlKind::CheckBox ||
           control.Kind() == ControlKind::RadioButton))
        return 0;
      break;
    case WM_SYSCHAR:
      if (Mnemonic(record, KeyOf(wParam))) return 0;
      break;
    case WM_CHAR: {
      char16_t key = KeyOf(wParam);
      if (!PreviewKey(*record.Form, &control, key)) return 0;
      if (!RefOf(window)) return 0;  // a handler recreated or destroyed it
      if (!control.Reachable()) return 0;
      if (KeyAction(record, &control, own, key)) return 0;
      return DefSubclassProc(window, message, key, lParam);
    }
    case WM_LBUTTONDOWN:
      if (control.Kind() == ControlKind::TreeView) {
        record.LastTreePoint =
            POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      } else if (control.Kind() == ControlKind::CheckListBox) {
        const LRESULT hit = SendMessageW(window, LB_ITEMFROMPOINT, 0, lParam);
        const int x = static_cast<short>(LOWORD(lParam));
        const int item = LOWORD(hit);
        const bool onCheck = HIWORD(hit) == 0 && x < scale_.ToScreen(17);
        // The list reports its selection on the button's release, so the
        // toggle waits for that too and reports the one click.
        pendingToggle_ = onCheck ? item : -1;
      }
      break;
    case WM_LBUTTONUP:
      if (control.Kind() == ControlKind::CheckListBox) {
        const LRESULT standard = DefSubclassProc(window, message, wParam, lParam);
        const int item = pendingToggle_;
        pendingToggle_ = -1;
        if (item >= 0) ToggleItem(control, item);
        return standard;
      }
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(window, ControlProc, kSubclassId);
      controlWindows_.erase(window);
      break;
    default:
      break;
  }
  return DefSubclassProc(window, message, wParam, lParam);
}

// Our window classes carry their backend from WM_NCCREATE on; the messages
// before it get the default treatment.
LRESULT TWin32Backend::RouteToBackend(TMessageHandler handler, HWND window, UINT message,
                                      WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<TWin32Backend*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  return self->Guarded(handler, window, message, wParam, lParam);
}

LRESULT TWin32Backend::Guarded(TMessageHandler handler, HWND window, UINT message, WPARAM wParam,
                               LPARAM lParam) {
  try {
    return (this->*handler)(window, message, wParam, lParam);
  } catch (...) {
    // Nothing may unwind through the system's frames.
    Keep(std::current_exception());
    return 0;
  }
}

LRESULT CALLBACK TWin32Backend::FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return RouteToBackend(&TWin32Backend::FormMessage, window, message, wParam, lParam);
}

LRESULT CALLBACK TWin32Backend::PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return RouteToBackend(&TWin32Backend::PanelMessage, window, message, wParam, lParam);
}

LRESULT CALLBACK TWin32Backend::ImageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return RouteToBackend(&TWin32Backend::ImageMessage, window, message, wParam, lParam);
}

LRESULT CALLBACK TWin32Backend::ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                            UINT_PTR, DWORD_PTR data) {
  return reinterpret_cast<TWin32Backend*>(data)->Guarded(&TWin32Backend::ControlMessage, window,
                                                         message, wParam, lParam);
}

LRESULT TWin32Backend::PanelMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (HostMessage(window, message, wParam, lParam, result)) return result;
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      PaintPanel(window);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

LRESULT TWin32Backend::ImageMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      PaintImage(window);
      return 0;
    case WM_SETCURSOR:
      if (SetCursorFor(window)) return TRUE;
      break;
    case WM_LBUTTONUP:
      if (const TControlRef* ref = RefOf(window)) {
        TControl& image = *ref->Record->Form->Controls()[ref->Index];
        if (image.OnClick && image.Reachable()) Dispatch([&] { image.OnClick(image); });
      }
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace ui
