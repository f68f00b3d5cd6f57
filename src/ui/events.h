// Event slots of forms and controls. The application binds its handlers to
// them; backends call them for what the user does. Setting a property from
// code never calls a slot.
#pragma once

#include <functional>

namespace ui {

class TControl;
class TForm;
class TTreeNode;

// What a mouse click on a tree view hit: the node under the pointer (none
// when the click was beside every node) and the pointer in the tree's
// client coordinates.
struct TNodeClick {
  TTreeNode* Node = nullptr;
  int X = 0;
  int Y = 0;
};

using TNotifyEvent = std::function<void(TControl& sender)>;
// The handler may change the key; setting it to 0 consumes it.
using TKeyPressEvent = std::function<void(TControl& sender, char16_t& key)>;
using TNodeClickEvent = std::function<void(TControl& sender, const TNodeClick& click)>;

using TFormEvent = std::function<void(TForm& sender)>;
using TFormKeyPressEvent = std::function<void(TForm& sender, char16_t& key)>;
// The handler clears canClose to keep the window open.
using TCloseQueryEvent = std::function<void(TForm& sender, bool& canClose)>;

// Keys as the key-press events see them.
constexpr char16_t kKeyBackspace = 8;
constexpr char16_t kKeyTab = 9;
constexpr char16_t kKeyEnter = 13;
constexpr char16_t kKeyEscape = 27;
constexpr char16_t kKeySpace = 32;

}  // namespace ui
