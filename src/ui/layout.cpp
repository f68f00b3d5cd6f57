#include "ui/layout.h"

#include <algorithm>
#include <array>

namespace ui {
namespace {

// Docks the children of parent (nullptr: the form) into the area.
void AlignChildren(TForm& form, const TControl* parent, TRect area) {
  constexpr std::array<TAlign, 5> kOrder = {TAlign::Top, TAlign::Bottom, TAlign::Left,
                                            TAlign::Right, TAlign::Client};
  for (TAlign align : kOrder) {
    for (const auto& control : form.Controls()) {
      if (control->Parent() != parent || control->Align() != align || !control->Visible()) continue;
      TRect bounds = control->Bounds();
      switch (align) {
        case TAlign::Top:
          bounds = {area.Left, area.Top, area.Width, std::min(bounds.Height, area.Height)};
          area.Top += bounds.Height;
          area.Height -= bounds.Height;
          break;
        case TAlign::Bottom:
          bounds.Height = std::min(bounds.Height, area.Height);
          bounds = {area.Left, area.Bottom() - bounds.Height, area.Width, bounds.Height};
          area.Height -= bounds.Height;
          break;
        case TAlign::Left:
          bounds = {area.Left, area.Top, std::min(bounds.Width, area.Width), area.Height};
          area.Left += bounds.Width;
          area.Width -= bounds.Width;
          break;
        case TAlign::Right:
          bounds.Width = std::min(bounds.Width, area.Width);
          bounds = {area.Right() - bounds.Width, area.Top, bounds.Width, area.Height};
          area.Width -= bounds.Width;
          break;
        case TAlign::Client:
          bounds = area;
          break;
        case TAlign::None:
          break;
      }
      if (!(bounds == control->Bounds())) control->SetBounds(bounds);
    }
  }
}

}  // namespace

void AlignControls(TForm& form) {
  AlignChildren(form, nullptr, TRect{0, 0, form.ClientWidth(), form.ClientHeight()});
  // Parents are created before their children, so each area is final when
  // its children are placed.
  for (const auto& control : form.Controls()) {
    const TRect& own = control->Bounds();
    AlignChildren(form, control.get(), TRect{0, 0, own.Width, own.Height});
  }
}

}  // namespace ui
