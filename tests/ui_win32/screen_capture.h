// What a shown window really shows: its client area read back from the
// screen, and a way to keep it as a bitmap file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "common/screen_pixels.h"
#include "ui/win32/win32_api.h"

namespace test {

// The client area of a shown window as 32-bit pixels, top row first.
struct TShot {
  int Width = 0;
  int Height = 0;
  std::vector<uint32_t> Pixels;

  COLORREF At(int x, int y) const {
    const uint32_t p = Pixels[static_cast<size_t>(y) * Width + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
};

inline TShot Capture(HWND window) {
  RedrawWindow(window, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  RECT client;
  GetClientRect(window, &client);
  TShot shot;
  shot.Width = client.right;
  shot.Height = client.bottom;
  HDC source = GetDC(window);
  shot.Pixels = ReadPixels(source, 0, 0, shot.Width, shot.Height);
  ReleaseDC(window, source);
  return shot;
}

// Keeps the picture as screenshots/NAME.bmp for people to look at.
inline void Save(const TShot& shot, const std::string& name) {
  std::filesystem::create_directories("screenshots");
  FILE* file = std::fopen(("screenshots/" + name + ".bmp").c_str(), "wb");
  if (!file) return;
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = shot.Width;
  header.biHeight = -shot.Height;
  header.biPlanes = 1;
  header.biBitCount = 32;
  header.biCompression = BI_RGB;
  const DWORD size = static_cast<DWORD>(shot.Pixels.size() * 4);
  BITMAPFILEHEADER fileHeader{};
  fileHeader.bfType = 0x4D42;
  fileHeader.bfOffBits = sizeof fileHeader + sizeof header;
  fileHeader.bfSize = fileHeader.bfOffBits + size;
  std::fwrite(&fileHeader, sizeof fileHeader, 1, file);
  std::fwrite(&header, sizeof header, 1, file);
  std::fwrite(shot.Pixels.data(), 1, size, file);
  std::fclose(file);
}

}  // namespace test
