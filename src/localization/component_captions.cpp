#include "localization/component_captions.h"

#include <stdexcept>

namespace {

constexpr std::array<TComponentCaptionKey, kComponentCaptionCount> kKeys = {{
    {"MEngine", 0},
    {"MConsole", 1},
    {"MDesktopIcon", 2},
    {"MQuickLaunch", 3},
    {"MWebmail", 4},
    {"MAntispam", 5},
    {"MAvast", 6},
    {"MGW", 7},
    {"MIM", 8},
    {"MLDAP", 9},
    {"MWizards", 10},
    {"MASpell", 11},
    {"MDemoAccounts", 15},
    {"MAdministration", 12},
    {"MModules", 13},
    {"MAddOns", 14},
}};

std::array<std::string, kComponentCaptionCount>& Captions() {
  static std::array<std::string, kComponentCaptionCount> captions;
  return captions;
}

ui::TControl*& Tree() {
  static ui::TControl* tree = nullptr;
  return tree;
}

}  // namespace

const std::array<TComponentCaptionKey, kComponentCaptionCount>& ComponentCaptionKeys() {
  return kKeys;
}

std::string& ComponentCaption(size_t index) {
  if (index >= kComponentCaptionCount) throw std::out_of_range("no such component caption");
  return Captions()[index];
}

void ClearComponentCaptions() {
  for (std::string& caption : Captions())
    caption.clear();
}

void SetComponentTree(ui::TControl* tree) {
  Tree() = tree;
}

ui::TControl* ComponentTree() {
  return Tree();
}

void ReadComponentCaptions(const ui::TControl& tree) {
  for (size_t i = 0; i < kComponentCaptionCount; ++i)
    if (const ui::TTreeNode* node = tree.NodeAt(kKeys[i].TreePosition))
      Captions()[i] = node->Text();
}

void WriteComponentCaptions(ui::TControl& tree) {
  for (size_t i = 0; i < kComponentCaptionCount; ++i)
    if (ui::TTreeNode* node = tree.NodeAt(kKeys[i].TreePosition)) node->SetText(Captions()[i]);
}

void ReadComponentCaptions() {
  if (ui::TControl* tree = Tree()) ReadComponentCaptions(*tree);
}

void WriteComponentCaptions() {
  if (ui::TControl* tree = Tree()) WriteComponentCaptions(*tree);
}
