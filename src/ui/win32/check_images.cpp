#include "ui/win32/check_images.h"

#include <algorithm>

namespace ui::win32 {
namespace {

constexpr int kPictureCount = 4;

enum class TMark { None, Check, Partial };

void DrawBox(HDC dc, int size, TMark mark, bool greyed) {
  RECT all{0, 0, size, size};
  HBRUSH window = CreateSolidBrush(GetSysColor(COLOR_WINDOW));
  FillRect(dc, &all, window);
  DeleteObject(window);

  const int inset = std::max<int>(1, size / 8);
  RECT box{inset, inset, size - inset, size - inset};
  const COLORREF frame = greyed ? RGB(160, 160, 160) : RGB(40, 70, 120);
  HBRUSH face = CreateSolidBrush(greyed ? RGB(230, 230, 230) : RGB(255, 255, 255));
  HPEN pen = CreatePen(PS_SOLID, 1, frame);
  HGDIOBJ oldPen = SelectObject(dc, pen);
  HGDIOBJ oldBrush = SelectObject(dc, face);
  Rectangle(dc, box.left, box.top, box.right, box.bottom);
  SelectObject(dc, oldBrush);
  DeleteObject(face);

  const int width = box.right - box.left;
  if (mark == TMark::Check) {
    HPEN tick = CreatePen(PS_SOLID, std::max<int>(2, size / 8), RGB(20, 60, 140));
    SelectObject(dc, tick);
    MoveToEx(dc, box.left + width / 5, box.top + width / 2, nullptr);
    LineTo(dc, box.left + width * 2 / 5, box.top + width * 3 / 4);
    LineTo(dc, box.left + width * 4 / 5, box.top + width / 4);
    SelectObject(dc, pen);
    DeleteObject(tick);
  } else if (mark == TMark::Partial) {
    const int gap = std::max<int>(2, width / 4);
    RECT inner{box.left + gap, box.top + gap, box.right - gap, box.bottom - gap};
    HBRUSH fill = CreateSolidBrush(RGB(90, 130, 190));
    FillRect(dc, &inner, fill);
    DeleteObject(fill);
  }
  SelectObject(dc, oldPen);
  DeleteObject(pen);
}

}  // namespace

HIMAGELIST CreateCheckImages(int size) {
  HIMAGELIST images = ImageList_Create(size, size, ILC_COLOR24, kPictureCount + 1, 0);
  if (!images) return nullptr;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  bool complete = memory != nullptr;
  for (int image = 0; complete && image <= kPictureCount; ++image) {
    HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
    if (!bitmap) {
      complete = false;
      break;
    }
    HGDIOBJ old = SelectObject(memory, bitmap);
    const int picture = PictureIndexOf(image);
    if (picture < 0) {
      RECT all{0, 0, size, size};
      HBRUSH window = CreateSolidBrush(GetSysColor(COLOR_WINDOW));
      FillRect(memory, &all, window);
      DeleteObject(window);
    } else {
      const TMark mark = picture == 0 ? TMark::Check : picture == 3 ? TMark::Partial : TMark::None;
      DrawBox(memory, size, mark, picture == 2);
    }
    SelectObject(memory, old);
    complete = ImageList_Add(images, bitmap, nullptr) == image;
    DeleteObject(bitmap);
  }
  if (memory) DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  if (!complete) {
    ImageList_Destroy(images);
    return nullptr;
  }
  return images;
}

int StateImageOf(int pictureIndex) {
  return pictureIndex >= 0 && pictureIndex < kPictureCount ? pictureIndex + 1 : 0;
}

int PictureIndexOf(int stateImage) {
  return stateImage >= 1 && stateImage <= kPictureCount ? stateImage - 1 : -1;
}

}  // namespace ui::win32
