// The pictures drawn at run time really draw something.
#include <gtest/gtest.h>

#include <set>

#include "ui/win32/check_images.h"
#include "ui/win32/pictures.h"
#include "ui/win32/win32_api.h"

namespace {

// Draws the picture into a memory bitmap filled with magenta first and
// returns the distinct colours it holds afterwards.
std::set<COLORREF> Colours(const char* name, int width, int height, bool* drawn) {
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  RECT area{0, 0, width, height};
  HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
  FillRect(memory, &area, magenta);
  DeleteObject(magenta);
  *drawn = ui::win32::DrawPicture(memory, area, name);
  std::set<COLORREF> colours;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      colours.insert(GetPixel(memory, x, y));
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return colours;
}

TEST(Pictures, EachPictureDrawsMoreThanOneColourAndCoversItsArea) {
  struct {
    const char* Name;
    int Width;
    int Height;
  } const pictures[] = {{"WELCOME", 165, 314}, {"LOGO", 49, 49}, {"MAINICON", 32, 32}};
  for (const auto& picture : pictures) {
    SCOPED_TRACE(picture.Name);
    bool drawn = false;
    const std::set<COLORREF> colours = Colours(picture.Name, picture.Width, picture.Height, &drawn);
    EXPECT_TRUE(drawn);
    EXPECT_GT(colours.size(), 3u);
    EXPECT_EQ(colours.count(RGB(255, 0, 255)), 0u) << "background left uncovered";
  }
}

TEST(Pictures, UnknownNamesDrawNothing) {
  bool drawn = true;
  const std::set<COLORREF> colours = Colours("NOSUCH", 20, 20, &drawn);
  EXPECT_FALSE(drawn);
  EXPECT_EQ(colours, std::set<COLORREF>{RGB(255, 0, 255)});
  EXPECT_EQ(ui::win32::CreatePictureIcon("NOSUCH", 32), nullptr);
}

TEST(Pictures, IconIsMadeAtRunTime) {
  HICON icon = ui::win32::CreatePictureIcon("MAINICON", 32);
  ASSERT_NE(icon, nullptr);
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(icon, &info));
  BITMAP colour{};
  GetObjectW(info.hbmColor, sizeof colour, &colour);
  EXPECT_EQ(colour.bmWidth, 32);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  DestroyIcon(icon);
}

TEST(CheckImages, HoldAnEmptyImageAndFourCheckPictures) {
  HIMAGELIST images = ui::win32::CreateCheckImages(16);
  ASSERT_NE(images, nullptr);
  EXPECT_EQ(ImageList_GetImageCount(images), 5);
  ImageList_Destroy(images);
  EXPECT_EQ(ui::win32::StateImageOf(0), 1);
  EXPECT_EQ(ui::win32::StateImageOf(3), 4);
  EXPECT_EQ(ui::win32::StateImageOf(-1), 0);
  EXPECT_EQ(ui::win32::StateImageOf(4), 0);
  EXPECT_EQ(ui::win32::PictureIndexOf(2), 1);
  EXPECT_EQ(ui::win32::PictureIndexOf(0), -1);
}

}  // namespace
