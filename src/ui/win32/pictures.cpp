#include "ui/win32/pictures.h"

#include <algorithm>
#include <cmath>

namespace ui::win32 {
namespace {

// Cool blues of the product.
constexpr COLORREF kDeepBlue = RGB(10, 45, 110);
constexpr COLORREF kIceBlue = RGB(120, 180, 235);
constexpr COLORREF kFrost = RGB(235, 245, 255);

COLORREF Mix(COLORREF from, COLORREF to, int step, int steps) {
  if (steps <= 0) return from;
  auto channel = [&](int a, int b) { return a + (b - a) * step / steps; };
  return RGB(channel(GetRValue(from), GetRValue(to)), channel(GetGValue(from), GetGValue(to)),
             channel(GetBValue(from), GetBValue(to)));
}

void FillColor(HDC dc, const RECT& area, COLORREF color) {
  HBRUSH brush = CreateSolidBrush(color);
  FillRect(dc, &area, brush);
  DeleteObject(brush);
}

// Top to bottom, one band per row.
void VerticalGradient(HDC dc, const RECT& area, COLORREF top, COLORREF bottom) {
  const int height = area.bottom - area.top;
  for (int row = 0; row < height; ++row) {
    RECT line{area.left, area.top + row, area.right, area.top + row + 1};
    FillColor(dc, line, Mix(top, bottom, row, std::max<int>(1, height - 1)));
  }
}

void Line(HDC dc, int x1, int y1, int x2, int y2) {
  MoveToEx(dc, x1, y1, nullptr);
  LineTo(dc, x2, y2);
}

// A snowflake: three crossing strokes with short branches near their ends.
void Snowflake(HDC dc, int cx, int cy, int radius) {
  constexpr double kPi = 3.14159265358979323846;
  for (int arm = 0; arm < 6; ++arm) {
    const double angle = arm * kPi / 3.0 - kPi / 2.0;
    const int x = cx + static_cast<int>(std::lround(radius * std::cos(angle)));
    const int y = cy + static_cast<int>(std::lround(radius * std::sin(angle)));
    Line(dc, cx, cy, x, y);
    const int bx = cx + static_cast<int>(std::lround(radius * 0.6 * std::cos(angle)));
    const int by = cy + static_cast<int>(std::lround(radius * 0.6 * std::sin(angle)));
    const double branch = radius * 0.3;
    for (double side : {-kPi / 4.0, kPi / 4.0}) {
      Line(dc, bx, by, bx + static_cast<int>(std::lround(branch * std::cos(angle + side))),
           by + static_cast<int>(std::lround(branch * std::sin(angle + side))));
    }
  }
}

// The emblem: an envelope with a snowflake on its flap, in a square box.
void Emblem(HDC dc, const RECT& box, COLORREF ink, COLORREF paper) {
  const int size = std::min<int>(box.right - box.left, box.bottom - box.top);
  const int left = box.left + (box.right - box.left - size) / 2;
  const int top = box.top + (box.bottom - box.top - size) / 2;
  const int penWidth = std::max<int>(1, size / 24);
  RECT envelope{left + size / 10, top + size * 3 / 10, left + size * 9 / 10, top + size * 8 / 10};

  HPEN pen = CreatePen(PS_SOLID, penWidth, ink);
  HBRUSH brush = CreateSolidBrush(paper);
  HGDIOBJ oldPen = SelectObject(dc, pen);
  HGDIOBJ oldBrush = SelectObject(dc, brush);
  Rectangle(dc, envelope.left, envelope.top, envelope.right, envelope.bottom);
  const int middle = (envelope.left + envelope.right) / 2;
  const int fold = envelope.top + (envelope.bottom - envelope.top) * 11 / 20;
  Line(dc, envelope.left, envelope.top, middle, fold);
  Line(dc, middle, fold, envelope.right - 1, envelope.top);
  Line(dc, envelope.left, envelope.bottom - 1, middle - size / 10, fold - size / 20);
  Line(dc, envelope.right - 1, envelope.bottom - 1, middle + size / 10, fold - size / 20);
  SelectObject(dc, oldBrush);
  DeleteObject(brush);

  // The snowflake sits above the envelope's edge, drawn in the paper colour
  // on an ink disc so that it reads on any background.
  const int radius = size / 5;
  const int cx = envelope.right - radius / 2;
  const int cy = envelope.top;
  HBRUSH disc = CreateSolidBrush(ink);
  SelectObject(dc, disc);
  Ellipse(dc, cx - radius - penWidth, cy - radius - penWidth, cx + radius + penWidth + 1,
          cy + radius + penWidth + 1);
  HPEN flakePen = CreatePen(PS_SOLID, penWidth, paper);
  SelectObject(dc, flakePen);
  Snowflake(dc, cx, cy, radius - penWidth);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  DeleteObject(flakePen);
  DeleteObject(disc);
  DeleteObject(pen);
}

void Welcome(HDC dc, const RECT& area) {
  VerticalGradient(dc, area, kDeepBlue, kIceBlue);
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  // Faint flakes falling over the gradient.
  HPEN faint = CreatePen(PS_SOLID, 1, Mix(kIceBlue, kFrost, 1, 2));
  HGDIOBJ old = SelectObject(dc, faint);
  for (int i = 0; i < 7; ++i) {
    const int x = area.left + width * ((i * 37) % 100) / 100;
    const int y = area.top + height * (35 + (i * 53) % 60) / 100;
    Snowflake(dc, x, y, std::max<int>(2, width / 14));
  }
  SelectObject(dc, old);
  DeleteObject(faint);
  const int size = width * 3 / 4;
  RECT box{area.left + (width - size) / 2, area.top + height / 10, area.left + (width + size) / 2,
           area.top + height / 10 + size};
  Emblem(dc, box, kDeepBlue, kFrost);
}

void Logo(HDC dc, const RECT& area) {
  VerticalGradient(dc, area, RGB(40, 100, 190), kDeepBlue);
  const int inset = std::max<int>(1, (area.right - area.left) / 12);
  RECT box{area.left + inset, area.top + inset, area.right - inset, area.bottom - inset};
  Emblem(dc, box, kDeepBlue, kFrost);
}

// A round badge in the lower left corner of an icon, ringed in frost so
// that it stands apart from the logo under it; returns its inner circle.
RECT Badge(HDC dc, const RECT& area, COLORREF fill) {
  const int size = area.right - area.left;
  const int diameter = size * 11 / 20;
  const int ring = std::max<int>(1, size / 24);
  RECT badge{area.left, area.bottom - diameter, area.left + diameter, area.bottom};
  HPEN pen = CreatePen(PS_SOLID, ring, kFrost);
  HBRUSH brush = CreateSolidBrush(fill);
  HGDIOBJ oldPen = SelectObject(dc, pen);
  HGDIOBJ oldBrush = SelectObject(dc, brush);
  Ellipse(dc, badge.left, badge.top, badge.right, badge.bottom);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(brush);
  DeleteObject(pen);
  return RECT{badge.left + ring, badge.top + ring, badge.right - ring, badge.bottom - ring};
}

// The uninstall shortcut's icon: the logo with a red badge holding a bar.
void UninstallIcon(HDC dc, const RECT& area) {
  Logo(dc, area);
  const RECT inner = Badge(dc, area, RGB(200, 40, 40));
  const int width = inner.right - inner.left;
  const int height = std::max<int>(2, width / 5);
  const int top = (inner.top + inner.bottom - height) / 2;
  RECT bar{inner.left + width / 5, top, inner.right - width / 5, top + height};
  FillColor(dc, bar, kFrost);
}

// The web shortcuts' icon: the logo with a globe badge.
void WebIcon(HDC dc, const RECT& area) {
  Logo(dc, area);
  const RECT inner = Badge(dc, area, RGB(30, 140, 90));
  const int width = inner.right - inner.left;
  const int cx = (inner.left + inner.right) / 2;
  const int cy = (inner.top + inner.bottom) / 2;
  HPEN pen = CreatePen(PS_SOLID, std::max<int>(1, width / 12), kFrost);
  HGDIOBJ oldPen = SelectObject(dc, pen);
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
  // A meridian and the equator with two parallels.
  Ellipse(dc, cx - width / 5, inner.top + 1, cx + width / 5 + 1, inner.bottom - 1);
  Line(dc, inner.left + 1, cy, inner.right - 1, cy);
  Line(dc, cx, inner.top + 1, cx, inner.bottom - 1);
  Line(dc, inner.left + width / 6, inner.top + width / 4, inner.right - width / 6,
       inner.top + width / 4);
  Line(dc, inner.left + width / 6, inner.bottom - width / 4, inner.right - width / 6,
       inner.bottom - width / 4);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(pen);
}

}  // namespace

bool DrawPicture(HDC dc, const RECT& area, std::string_view name) {
  const bool welcome = name == "WELCOME";
  const bool uninstall = name == "UNINSTALLICON";
  const bool web = name == "WEBICON";
  if (!welcome && !uninstall && !web && name != "LOGO" && name != "MAINICON") return false;
  if (area.right <= area.left || area.bottom <= area.top) return true;
  if (welcome)
    Welcome(dc, area);
  else if (uninstall)
    UninstallIcon(dc, area);
  else if (web)
    WebIcon(dc, area);
  else
    Logo(dc, area);
  return true;
}

HICON CreatePictureIcon(std::string_view name, int size) {
  if (size <= 0) return nullptr;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP color = CreateCompatibleBitmap(screen, size, size);
  // All zeros: every pixel of the colour bitmap is shown.
  HBITMAP mask = CreateBitmap(size, size, 1, 1, nullptr);
  HICON icon = nullptr;
  if (memory && color && mask) {
    HGDIOBJ old = SelectObject(memory, color);
    const bool drawn = DrawPicture(memory, RECT{0, 0, size, size}, name);
    SelectObject(memory, old);
    HDC maskDc = CreateCompatibleDC(screen);
    if (maskDc) {
      HGDIOBJ oldMask = SelectObject(maskDc, mask);
      PatBlt(maskDc, 0, 0, size, size, BLACKNESS);
      SelectObject(maskDc, oldMask);
      DeleteDC(maskDc);
    }
    if (drawn) {
      ICONINFO info{};
      info.fIcon = TRUE;
      info.hbmMask = mask;
      info.hbmColor = color;
      icon = CreateIconIndirect(&info);
    }
  }
  if (mask) DeleteObject(mask);
  if (color) DeleteObject(color);
  if (memory) DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return icon;
}

}  // namespace ui::win32
