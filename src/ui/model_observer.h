// A backend that shows the model learns of every change through this
// interface, so that it can update the window it made for a form.
#pragma once

namespace ui {

class TControl;
class TForm;
class TTreeNode;

enum class TChange {
  Text,
  Hint,
  Items,
  ItemIndex,
  ItemStates,  // check marks and enabled flags of list items
  Columns,
  Bounds,
  Align,
  Visible,
  Enabled,
  Checked,
  Font,
  Color,
  Style,      // read-only, password character, cursor, picture, word wrap ...
  Progress,   // position and range of a progress bar
  Selection,  // the selected text of an edit
  Focus,
  Nodes,    // tree nodes added, removed or selected
  Node,     // one node's caption, pictures or expansion
  Caption,  // a form's title
  ClientSize,
  ModalResult,
};

class TModelObserver {
 public:
  virtual ~TModelObserver() = default;
  // control is nullptr when the form itself changed; node is set for Node.
  virtual void Changed(TForm& form, TControl* control, TTreeNode* node, TChange change) = 0;
  // The form is about to be destroyed (its controls still exist); a backend
  // drops what it made for it.
  virtual void FormDestroyed(TForm& form) { (void)form; }
};

}  // namespace ui
