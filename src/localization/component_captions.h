// The sixteen caption variables of the components tree and their fixed
// pairing with tree positions (depth first). Stored language files rely on
// exactly this pairing, which does not follow the key names.
#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "ui/control.h"

constexpr size_t kComponentCaptionCount = 16;

struct TComponentCaptionKey {
  const char* Key;
  size_t TreePosition;
};

// In registration order.
const std::array<TComponentCaptionKey, kComponentCaptionCount>& ComponentCaptionKeys();
// The variable of the index'th key (registration order); empty at start.
std::string& ComponentCaption(size_t index);
void ClearComponentCaptions();

// The components tree whose captions the variables mirror; set when the
// main window is made. Without one, reading and writing change nothing.
void SetComponentTree(ui::TControl* tree);
ui::TControl* ComponentTree();

// Tree captions into the variables, and back into the tree. Positions the
// tree does not have are left alone.
void ReadComponentCaptions(const ui::TControl& tree);
void WriteComponentCaptions(ui::TControl& tree);
void ReadComponentCaptions();
void WriteComponentCaptions();
