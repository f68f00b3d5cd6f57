// A font as forms and controls hold it. A control's empty name or zero size
// means "the parent's", so a font chosen for a whole window (as a language
// file does) reaches every control that does not set its own.
#pragma once

#include <string>

#include "ui/color.h"

namespace ui {

struct TFont {
  std::string Name;  // ANSI; empty: inherited
  int Size = 0;      // points; 0: inherited
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  TColor Color = kColorDefault;

  bool operator==(const TFont&) const = default;

  // Variations for design-time definitions: TFont().Sized(12).Bolded().
  TFont Named(const std::string& name) const {
    TFont font = *this;
    font.Name = name;
    return font;
  }
  TFont Sized(int points) const {
    TFont font = *this;
    font.Size = points;
    return font;
  }
  TFont Bolded() const {
    TFont font = *this;
    font.Bold = true;
    return font;
  }
  TFont Underlined() const {
    TFont font = *this;
    font.Underline = true;
    return font;
  }
  TFont Colored(TColor color) const {
    TFont font = *this;
    font.Color = color;
    return font;
  }
};

// The font a control shows: its own values where set, the inherited ones
// elsewhere. Styles and colour are the control's own.
TFont InheritFont(const TFont& own, const TFont& inherited);

}  // namespace ui
