// Positions and sizes of windows and controls, in pixels of the parent's
// client area, and how a control docks to an edge of its parent.
#pragma once

namespace ui {

struct TRect {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;

  int Right() const { return Left + Width; }
  int Bottom() const { return Top + Height; }
  bool operator==(const TRect&) const = default;
};

// A docked control takes the whole width (Top, Bottom) or height (Left,
// Right) of what its parent has left, or all of it (Client).
enum class TAlign { None, Top, Bottom, Left, Right, Client };

}  // namespace ui
