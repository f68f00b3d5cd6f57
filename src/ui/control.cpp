#include "ui/control.h"

#include <algorithm>
#include <functional>

#include "platform/codepage.h"
#include "ui/form.h"

namespace ui {
namespace {

std::u16string Widen(std::string_view text) {
  return platform::AnsiToUtf16(text);
}
std::string Narrow(std::u16string_view text) {
  return platform::Utf16ToAnsi(text);
}

void CollectNodes(const std::vector<std::unique_ptr<TTreeNode>>& nodes,
                  std::vector<TTreeNode*>& into) {
  for (const auto& node : nodes) {
    into.push_back(node.get());
    CollectNodes(node->Children(), into);
  }
}

}  // namespace

TControl::TControl(TForm& form, ControlKind kind, std::string_view name, TControl* parent)
    : form_(form), kind_(kind), name_(name), parent_(parent) {}

TControl::~TControl() = default;

bool TControl::Wide() const {
  return form_.Wide();
}

std::u16string TControl::Store(std::u16string_view text) const {
  if (Wide()) return std::u16string(text);
  return Widen(Narrow(text));
}

void TControl::Changed(TChange change, TTreeNode* node) {
  form_.Notify(this, node, change);
}

std::string TControl::Text() const {
  return Narrow(text_);
}

TControl& TControl::SetText(std::string_view text) {
  return SetWideText(Widen(text));
}

TControl& TControl::SetWideText(std::u16string_view text) {
  text_ = Store(text);
  selStart_ = std::min(selStart_, text_.size());
  selLength_ = std::min(selLength_, text_.size() - selStart_);
  Changed(TChange::Text);
  return *this;
}

std::string TControl::Hint() const {
  return Narrow(hint_);
}

TControl& TControl::SetHint(std::string_view hint) {
  return SetWideHint(Widen(hint));
}

TControl& TControl::SetWideHint(std::u16string_view hint) {
  hint_ = Store(hint);
  Changed(TChange::Hint);
  return *this;
}

int TControl::IndexOfItem(std::string_view text) const {
  for (size_t i = 0; i < items_.size(); ++i)
    if (Item(i) == text) return static_cast<int>(i);
  return -1;
}

std::string TControl::Item(size_t index) const {
  return index < items_.size() ? Narrow(items_[index]) : std::string();
}

std::vector<std::string> TControl::Items() const {
  std::vector<std::string> items;
  items.reserve(items_.size());
  for (const auto& item : items_)
    items.push_back(Narrow(item));
  return items;
}

TControl& TControl::SetItems(const std::vector<std::string>& items) {
  std::vector<std::u16string> wide;
  wide.reserve(items.size());
  for (const auto& item : items)
    wide.push_back(Widen(item));
  return SetWideItems(std::move(wide));
}

TControl& TControl::SetWideItems(std::vector<std::u16string> items) {
  for (auto& item : items)
    item = Store(item);
  items_ = std::move(items);
  // As the list controls do when their content is replaced.
  itemChecked_.assign(items_.size(), false);
  itemEnabled_.assign(items_.size(), true);
  itemIndex_ = -1;
  if (kind_ == ControlKind::ComboBox && !editable_) text_.clear();
  Changed(TChange::Items);
  return *this;
}

TControl& TControl::AddItem(std::string_view item) {
  items_.push_back(Widen(item));
  FitItemStates();
  Changed(TChange::Items);
  return *this;
}

void TControl::FitItemStates() {
  itemChecked_.resize(items_.size(), false);
  itemEnabled_.resize(items_.size(), true);
}

TControl& TControl::SetItemIndex(int index) {
  if (index < 0 || static_cast<size_t>(index) >= items_.size()) index = -1;
  itemIndex_ = index;
  // A combo box shows the chosen item as its text.
  if (kind_ == ControlKind::ComboBox) {
    if (index >= 0)
      text_ = items_[static_cast<size_t>(index)];
    else if (!editable_)
      text_.clear();
    selStart_ = std::min(selStart_, text_.size());
    selLength_ = std::min(selLength_, text_.size() - selStart_);
  }
  Changed(TChange::ItemIndex);
  return *this;
}

bool TControl::ItemChecked(size_t index) const {
  return index < itemChecked_.size() && itemChecked_[index];
}

TControl& TControl::SetItemChecked(size_t index, bool checked) {
  if (index < itemChecked_.size()) {
    itemChecked_[index] = checked;
    Changed(TChange::ItemStates);
  }
  return *this;
}

bool TControl::ItemEnabled(size_t index) const {
  return index < itemEnabled_.size() && itemEnabled_[index];
}

TControl& TControl::SetItemEnabled(size_t index, bool enabled) {
  if (index < itemEnabled_.size()) {
    itemEnabled_[index] = enabled;
    Changed(TChange::ItemStates);
  }
  return *this;
}

TControl& TControl::AddColumn(std::string_view caption) {
  columns_.push_back(Widen(caption));
  Changed(TChange::Columns);
  return *this;
}

TControl& TControl::SetWideColumn(size_t index, std::u16string_view caption) {
  if (index < columns_.size()) {
    columns_[index] = Store(caption);
    Changed(TChange::Columns);
  }
  return *this;
}

TControl& TControl::SetBounds(const TRect& bounds) {
  bounds_ = bounds;
  Changed(TChange::Bounds);
  return *this;
}

TControl& TControl::SetBounds(int left, int top, int width, int height) {
  return SetBounds(TRect{left, top, width, height});
}

TControl& TControl::SetAlign(TAlign align) {
  align_ = align;
  Changed(TChange::Align);
  return *this;
}

TControl& TControl::SetVisible(bool visible) {
  visible_ = visible;
  Changed(TChange::Visible);
  return *this;
}

TControl& TControl::SetEnabled(bool enabled) {
  enabled_ = enabled;
  Changed(TChange::Enabled);
  return *this;
}

bool TControl::Reachable() const {
  for (const TControl* control = this; control; control = control->parent_)
    if (!control->visible_ || !control->enabled_) return false;
  return true;
}

TControl& TControl::SetChecked(bool checked) {
  checked_ = checked;
  Changed(TChange::Checked);
  if (checked && kind_ == ControlKind::RadioButton) {
    for (const auto& other : form_.Controls()) {
      if (other.get() != this && other->kind_ == ControlKind::RadioButton &&
          other->parent_ == parent_ && other->checked_) {
        other->checked_ = false;
        other->Changed(TChange::Checked);
      }
    }
  }
  return *this;
}

TControl& TControl::SetTag(int tag) {
  tag_ = tag;
  return *this;
}

TControl& TControl::SetFont(const TFont& font) {
  font_ = font;
  Changed(TChange::Font);
  return *this;
}

TFont TControl::ShownFont() const {
  return InheritFont(font_, parent_ ? parent_->ShownFont() : form_.Font());
}

TControl& TControl::SetColor(TColor color) {
  color_ = color;
  Changed(TChange::Color);
  return *this;
}

TControl& TControl::SetCursor(TCursor cursor) {
  cursor_ = cursor;
  Changed(TChange::Style);
  return *this;
}

TControl& TControl::SetReadOnly(bool readOnly) {
  readOnly_ = readOnly;
  Changed(TChange::Style);
  return *this;
}

TControl& TControl::SetPasswordChar(char16_t c) {
  passwordChar_ = c;
  Changed(TChange::Style);
  return *this;
}

TControl& TControl::SetScrollBars(TScrollBars bars) {
  scrollBars_ = bars;
  Changed(TChange::Style);
  return *this;
}

TControl& TControl::SetWordWrap(bool wrap) {
  wordWrap_ = wrap;
  Changed(TChange::Style);
  return *this;
}

TControl& TControl::SetAlignment(TTextAlignment alignment) {
  alignment_ = alignment;
  Changed(TChange::Style);
  return *this;
}

TControl& TControl::SetEditable(bool editable) {
  editable_ = editable;
  Changed(TChange::Style);
  return *this;
}

TControl& TControl::SetPicture(std::string_view resource) {
  picture_ = resource;
  Changed(TChange::Style);
  return *this;
}

TControl& TControl::SetLinked(TControl* control) {
  linked_ = control;
  return *this;
}

TControl& TControl::SetDefault(bool isDefault) {
  default_ = isDefault;
  Changed(TChange::Style);
  return *this;
}

TControl& TControl::SetCancel(bool isCancel) {
  cancel_ = isCancel;
  return *this;
}

TControl& TControl::SetModalResult(TModalResult result) {
  modalResult_ = result;
  return *this;
}

TControl& TControl::SetRange(int min, int max) {
  min_ = min;
  max_ = std::max(min, max);
  position_ = std::clamp(position_, min_, max_);
  Changed(TChange::Progress);
  return *this;
}

TControl& TControl::SetPosition(int position) {
  position_ = std::clamp(position, min_, max_);
  Changed(TChange::Progress);
  return *this;
}

TControl& TControl::SetSelection(size_t start, size_t length) {
  selStart_ = std::min(start, text_.size());
  selLength_ = std::min(length, text_.size() - selStart_);
  Changed(TChange::Selection);
  return *this;
}

TControl& TControl::SelectAll() {
  return SetSelection(0, text_.size());
}

bool TControl::Focused() const {
  return form_.ActiveControl() == this;
}

void TControl::SetFocus() {
  form_.SetActiveControl(this);
}

TTreeNode& TControl::AddNode(std::string_view text, int id) {
  nodes_.push_back(std::make_unique<TTreeNode>(*this, nullptr));
  TTreeNode& node = *nodes_.back();
  node.text_ = Widen(text);
  node.id_ = id;
  Changed(TChange::Nodes);
  return node;
}

void TControl::ClearNodes() {
  selectedNode_ = nullptr;
  nodes_.clear();
  Changed(TChange::Nodes);
}

std::vector<TTreeNode*> TControl::AllNodes() const {
  std::vector<TTreeNode*> all;
  CollectNodes(nodes_, all);
  return all;
}

size_t TControl::NodeCount() const {
  return AllNodes().size();
}

TTreeNode* TControl::NodeAt(size_t position) const {
  std::vector<TTreeNode*> all = AllNodes();
  return position < all.size() ? all[position] : nullptr;
}

int TControl::PositionOf(const TTreeNode* node) const {
  std::vector<TTreeNode*> all = AllNodes();
  auto found = std::find(all.begin(), all.end(), node);
  return found == all.end() ? -1 : static_cast<int>(found - all.begin());
}

void TControl::SelectNode(TTreeNode* node) {
  if (node && PositionOf(node) < 0) return;
  selectedNode_ = node;
  Changed(TChange::Nodes);
}

void TControl::FullExpand() {
  for (TTreeNode* node : AllNodes())
    node->expanded_ = true;
  Changed(TChange::Nodes);
}

}  // namespace ui
