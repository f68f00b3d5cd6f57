// What a device context shows in a rectangle, as 0x00RRGGBB pixels with the
// top row first: the screen read back for tests and screenshots.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace test {

inline std::vector<uint32_t> ReadPixels(HDC source, int left, int top, int width, int height) {
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
  HDC memory = CreateCompatibleDC(source);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, source, left, top, SRCCOPY);
  GdiFlush();
  if (bits) std::memcpy(pixels.data(), bits, pixels.size() * 4);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  return pixels;
}

}  // namespace test
