// A node of a tree view: caption, the component id it stands for, the
// pictures drawn for it (a check state, for the component tree), whether it
// is expanded, and its children in order.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ui {

class TControl;

class TTreeNode {
 public:
  TTreeNode(TControl& tree, TTreeNode* parent);
  TTreeNode(const TTreeNode&) = delete;
  TTreeNode& operator=(const TTreeNode&) = delete;

  TControl& Tree() const { return tree_; }
  TTreeNode* Parent() const { return parent_; }
  const std::vector<std::unique_ptr<TTreeNode>>& Children() const { return children_; }
  // The node's place among its parent's children (or the top-level nodes).
  size_t IndexInParent() const;

  // The caption in the ANSI code page, or as stored (see TControl::SetText).
  std::string Text() const;
  const std::u16string& WideText() const { return text_; }
  TTreeNode& SetText(std::string_view text);
  TTreeNode& SetWideText(std::u16string_view text);

  int Id() const { return id_; }
  TTreeNode& SetId(int id);
  int ImageIndex() const { return imageIndex_; }
  int SelectedIndex() const { return selectedIndex_; }
  TTreeNode& SetImageIndex(int index);
  TTreeNode& SetSelectedIndex(int index);
  bool Expanded() const { return expanded_; }
  TTreeNode& SetExpanded(bool expanded);

  TTreeNode& AddChild(std::string_view text, int id);

 private:
  friend class TControl;
  void Changed();

  TControl& tree_;
  TTreeNode* parent_;
  std::vector<std::unique_ptr<TTreeNode>> children_;
  std::u16string text_;
  int id_ = 0;
  int imageIndex_ = -1;
  int selectedIndex_ = -1;
  bool expanded_ = false;
};

}  // namespace ui
