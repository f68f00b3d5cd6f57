#include "ui/font.h"

namespace ui {

TFont InheritFont(const TFont& own, const TFont& inherited) {
  TFont shown = inherited;
  if (!own.Name.empty()) shown.Name = own.Name;
  if (own.Size > 0) shown.Size = own.Size;
  // Styles add to what the parent shows; a colour of its own replaces.
  shown.Bold = inherited.Bold || own.Bold;
  shown.Italic = inherited.Italic || own.Italic;
  shown.Underline = inherited.Underline || own.Underline;
  if (own.Color != kColorDefault) shown.Color = own.Color;
  return shown;
}

}  // namespace ui
