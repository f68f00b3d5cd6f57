// A control of a form as data: what it is, what it shows, where it lies, its
// state and its event slots. The application reads and writes these
// properties; the backend that shows the form mirrors every change (see
// model_observer.h) and reports what the user does through the slots.
//
// Texts are kept as UTF-16, as the window controls hold them. A narrow
// control (the form is not wide) holds only what the ANSI code page can
// express: whatever is stored into it passes through that code page first.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/color.h"
#include "ui/control_kind.h"
#include "ui/events.h"
#include "ui/font.h"
#include "ui/geometry.h"
#include "ui/modal_result.h"
#include "ui/model_observer.h"
#include "ui/tree_node.h"

namespace ui {

class TForm;

enum class TCursor { Default, Hand, Wait };
enum class TScrollBars { None, Horizontal, Vertical, Both };
enum class TTextAlignment { Left, Center, Right };

class TControl {
 public:
  TControl(TForm& form, ControlKind kind, std::string_view name, TControl* parent);
  TControl(const TControl&) = delete;
  TControl& operator=(const TControl&) = delete;
  ~TControl();

  const std::string& Name() const { return name_; }
  ControlKind Kind() const { return kind_; }
  TForm& Form() const { return form_; }
  // The control it lies in; nullptr for the form's client area.
  TControl* Parent() const { return parent_; }
  // Wide controls keep any Unicode text; narrow ones the ANSI code page's.
  bool Wide() const;

  // The control's text: a caption, or what an edit holds.
  std::string Text() const;  // in the ANSI code page
  const std::u16string& WideText() const { return text_; }
  TControl& SetText(std::string_view text);
  TControl& SetWideText(std::u16string_view text);

  std::string Hint() const;
  const std::u16string& WideHint() const { return hint_; }
  TControl& SetHint(std::string_view hint);
  TControl& SetWideHint(std::u16string_view hint);

  // Items of a list. Replacing them clears every check mark, enables every
  // item and leaves the selection alone unless it no longer points at one.
  size_t ItemCount() const { return items_.size(); }
  std::string Item(size_t index) const;
  const std::vector<std::u16string>& WideItems() const { return items_; }
  std::vector<std::string> Items() const;
  TControl& SetItems(const std::vector<std::string>& items);
  TControl& SetWideItems(std::vector<std::u16string> items);
  TControl& AddItem(std::string_view item);
  // The first item with exactly that text (ANSI), or -1.
  int IndexOfItem(std::string_view text) const;
  // -1 when nothing is selected; an index outside the items selects nothing.
  int ItemIndex() const { return itemIndex_; }
  TControl& SetItemIndex(int index);
  bool ItemChecked(size_t index) const;
  TControl& SetItemChecked(size_t index, bool checked);
  bool ItemEnabled(size_t index) const;
  TControl& SetItemEnabled(size_t index, bool enabled);

  // Column captions of a list view.
  const std::vector<std::u16string>& WideColumns() const { return columns_; }
  TControl& AddColumn(std::string_view caption);
  TControl& SetWideColumn(size_t index, std::u16string_view caption);

  const TRect& Bounds() const { return bounds_; }
  TControl& SetBounds(const TRect& bounds);
  TControl& SetBounds(int left, int top, int width, int height);
  TAlign Align() const { return align_; }
  TControl& SetAlign(TAlign align);

  bool Visible() const { return visible_; }
  TControl& SetVisible(bool visible);
  bool Enabled() const { return enabled_; }
  TControl& SetEnabled(bool enabled);
  // Whether the user can reach it: it and every parent visible and enabled.
  bool Reachable() const;
  // Check boxes and radio buttons. Checking a radio button unchecks the
  // other radio buttons of the same parent.
  bool Checked() const { return checked_; }
  TControl& SetChecked(bool checked);

  int Tag() const { return tag_; }
  TControl& SetTag(int tag);

  const TFont& Font() const { return font_; }
  TControl& SetFont(const TFont& font);
  // The font shown: the control's own settings over its parent's or form's.
  TFont ShownFont() const;
  TColor Color() const { return color_; }
  TControl& SetColor(TColor color);

  TCursor Cursor() const { return cursor_; }
  TControl& SetCursor(TCursor cursor);
  bool ReadOnly() const { return readOnly_; }
  TControl& SetReadOnly(bool readOnly);
  // Shown instead of each character of an edit; 0 for none.
  char16_t PasswordChar() const { return passwordChar_; }
  TControl& SetPasswordChar(char16_t c);
  TScrollBars ScrollBars() const { return scrollBars_; }
  TControl& SetScrollBars(TScrollBars bars);
  bool WordWrap() const { return wordWrap_; }
  TControl& SetWordWrap(bool wrap);
  TTextAlignment Alignment() const { return alignment_; }
  TControl& SetAlignment(TTextAlignment alignment);
  // A combo box whose text can be typed, not only picked from the list.
  bool Editable() const { return editable_; }
  TControl& SetEditable(bool editable);
  // The resource name of an image's picture.
  const std::string& Picture() const { return picture_; }
  TControl& SetPicture(std::string_view resource);
  // Another control this one works with: the control a label's accelerator
  // focuses, the folder list a drive list drives.
  TControl* Linked() const { return linked_; }
  TControl& SetLinked(TControl* control);

  // Buttons: Enter presses the default button and Esc the cancel button; a
  // modal result closes the modal window with that result when clicked.
  bool Default() const { return default_; }
  TControl& SetDefault(bool isDefault);
  bool Cancel() const { return cancel_; }
  TControl& SetCancel(bool isCancel);
  TModalResult ModalResult() const { return modalResult_; }
  TControl& SetModalResult(TModalResult result);

  // Progress bars.
  int Min() const { return min_; }
  int Max() const { return max_; }
  int Position() const { return position_; }
  TControl& SetRange(int min, int max);
  TControl& SetPosition(int position);  // kept within the range

  // The selected part of an edit's text (in UTF-16 units).
  size_t SelStart() const { return selStart_; }
  size_t SelLength() const { return selLength_; }
  TControl& SetSelection(size_t start, size_t length);
  TControl& SelectAll();

  bool Focused() const;
  void SetFocus();

  // Tree views. Positions count all nodes depth first: a node's children
  // follow it before its next sibling.
  const std::vector<std::unique_ptr<TTreeNode>>& Nodes() const { return nodes_; }
  TTreeNode& AddNode(std::string_view text, int id);
  void ClearNodes();
  size_t NodeCount() const;
  TTreeNode* NodeAt(size_t position) const;
  // -1 when the node is not in this tree.
  int PositionOf(const TTreeNode* node) const;
  std::vector<TTreeNode*> AllNodes() const;
  TTreeNode* SelectedNode() const { return selectedNode_; }
  void SelectNode(TTreeNode* node);
  void FullExpand();

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TNotifyEvent OnChange;
  TKeyPressEvent OnKeyPress;
  TNodeClickEvent OnNodeClick;

 private:
  friend class TTreeNode;
  void Changed(TChange change, TTreeNode* node = nullptr);
  std::u16string Store(std::u16string_view text) const;
  void FitItemStates();

  TForm& form_;
  ControlKind kind_;
  std::string name_;
  TControl* parent_;

  std::u16string text_;
  std::u16string hint_;
  std::vector<std::u16string> items_;
  std::vector<bool> itemChecked_;
  std::vector<bool> itemEnabled_;
  int itemIndex_ = -1;
  std::vector<std::u16string> columns_;

  TRect bounds_;
  TAlign align_ = TAlign::None;
  bool visible_ = true;
  bool enabled_ = true;
  bool checked_ = false;
  int tag_ = 0;
  TFont font_;
  TColor color_ = kColorDefault;
  TCursor cursor_ = TCursor::Default;
  bool readOnly_ = false;
  char16_t passwordChar_ = 0;
  TScrollBars scrollBars_ = TScrollBars::None;
  bool wordWrap_ = false;
  TTextAlignment alignment_ = TTextAlignment::Left;
  bool editable_ = false;
  std::string picture_;
  TControl* linked_ = nullptr;
  bool default_ = false;
  bool cancel_ = false;
  TModalResult modalResult_ = TModalResult::None;
  int min_ = 0;
  int max_ = 100;
  int position_ = 0;
  size_t selStart_ = 0;
  size_t selLength_ = 0;

  std::vector<std::unique_ptr<TTreeNode>> nodes_;
  TTreeNode* selectedNode_ = nullptr;
};

}  // namespace ui
