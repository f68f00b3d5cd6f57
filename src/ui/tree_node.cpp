#include "ui/tree_node.h"

#include "platform/codepage.h"
#include "ui/control.h"

namespace ui {

TTreeNode::TTreeNode(TControl& tree, TTreeNode* parent) : tree_(tree), parent_(parent) {}

size_t TTreeNode::IndexInParent() const {
  const auto& siblings = parent_ ? parent_->children_ : tree_.Nodes();
  for (size_t i = 0; i < siblings.size(); ++i)
    if (siblings[i].get() == this) return i;
  return siblings.size();
}

std::string TTreeNode::Text() const {
  return platform::Utf16ToAnsi(text_);
}

TTreeNode& TTreeNode::SetText(std::string_view text) {
  text_ = platform::AnsiToUtf16(text);
  Changed();
  return *this;
}

TTreeNode& TTreeNode::SetWideText(std::u16string_view text) {
  text_ = tree_.Store(text);
  Changed();
  return *this;
}

TTreeNode& TTreeNode::SetId(int id) {
  id_ = id;
  return *this;
}

TTreeNode& TTreeNode::SetImageIndex(int index) {
  imageIndex_ = index;
  Changed();
  return *this;
}

TTreeNode& TTreeNode::SetSelectedIndex(int index) {
  selectedIndex_ = index;
  Changed();
  return *this;
}

TTreeNode& TTreeNode::SetExpanded(bool expanded) {
  expanded_ = expanded;
  Changed();
  return *this;
}

TTreeNode& TTreeNode::AddChild(std::string_view text, int id) {
  children_.push_back(std::make_unique<TTreeNode>(tree_, this));
  TTreeNode& child = *children_.back();
  child.text_ = platform::AnsiToUtf16(text);
  child.id_ = id;
  tree_.Changed(TChange::Nodes);
  return child;
}

void TTreeNode::Changed() {
  tree_.Changed(TChange::Node, this);
}

}  // namespace ui
