// makeicons: writes the icon files that setup.exe carries, drawn by the same
// code as the installer's own pictures, so that the Start menu shows what
// the windows show. Runs under Wine or Windows:
//   makeicons FOLDER    writes setup.ico, uninstall.ico and web.ico there
// Each file holds 16, 32 and 48 pixel images, 32 bits, fully opaque.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "ui/win32/pictures.h"

namespace {

constexpr int kSizes[] = {16, 32, 48};

void Put16(std::vector<uint8_t>& out, uint16_t value) {
  out.push_back(value & 0xFF);
  out.push_back(value >> 8);
}
void Put32(std::vector<uint8_t>& out, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8)
    out.push_back((value >> shift) & 0xFF);
}

// One image as an icon file stores it: the header with twice the height,
// the colour rows bottom-up, then an all-clear AND mask.
bool DrawImage(const char* picture, int size, std::vector<uint8_t>& image) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = size;
  info.bmiHeader.biHeight = size;  // bottom-up, as the file wants
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!dc || !bitmap || !bits) return false;
  HGDIOBJ old = SelectObject(dc, bitmap);
  const bool drawn = ui::win32::DrawPicture(dc, RECT{0, 0, size, size}, picture);
  GdiFlush();
  SelectObject(dc, old);
  std::vector<uint8_t> pixels(static_cast<uint8_t*>(bits),
                              static_cast<uint8_t*>(bits) + size * size * 4);
  DeleteObject(bitmap);
  DeleteDC(dc);
  if (!drawn) return false;
  for (size_t i = 3; i < pixels.size(); i += 4)
    pixels[i] = 0xFF;
  Put32(image, sizeof(BITMAPINFOHEADER));
  Put32(image, size);
  Put32(image, size * 2);
  Put16(image, 1);
  Put16(image, 32);
  for (int i = 0; i < 6; ++i)
    Put32(image, 0);
  image.insert(image.end(), pixels.begin(), pixels.end());
  const int maskRow = ((size + 31) / 32) * 4;
  image.insert(image.end(), static_cast<size_t>(maskRow) * size, 0);
  return true;
}

bool WriteIcon(const char* picture, const std::string& path) {
  std::vector<std::vector<uint8_t>> images;
  for (int size : kSizes) {
    images.emplace_back();
    if (!DrawImage(picture, size, images.back())) return false;
  }
  std::vector<uint8_t> file;
  Put16(file, 0);
  Put16(file, 1);  // icon
  Put16(file, static_cast<uint16_t>(images.size()));
  uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
  for (size_t i = 0; i < images.size(); ++i) {
    file.push_back(static_cast<uint8_t>(kSizes[i]));
    file.push_back(static_cast<uint8_t>(kSizes[i]));
    file.push_back(0);  // no palette
    file.push_back(0);
    Put16(file, 1);
    Put16(file, 32);
    Put32(file, static_cast<uint32_t>(images[i].size()));
    Put32(file, offset);
    offset += static_cast<uint32_t>(images[i].size());
  }
  for (const auto& image : images)
    file.insert(file.end(), image.begin(), image.end());
  FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) return false;
  const bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
  return std::fclose(out) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: makeicons FOLDER\n");
    return 2;
  }
  const std::string folder = std::string(argv[1]) + "\\";
  const struct {
    const char* Picture;
    const char* File;
  } icons[] = {
      {"MAINICON", "setup.ico"}, {"UNINSTALLICON", "uninstall.ico"}, {"WEBICON", "web.ico"}};
  for (const auto& icon : icons) {
    if (!WriteIcon(icon.Picture, folder + icon.File)) {
      std::fprintf(stderr, "makeicons: cannot write %s\n", icon.File);
      return 1;
    }
  }
  return 0;
}
