// The installer's own five windows on the screen: every control gets its
// window, and what is painted is what the model asks for (a screenshot of
// each window is kept in screenshots/ of the test's folder for people).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/windows.h"
#include "win32_fixture.h"

namespace {

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

TShot Capture(HWND window) {
  RedrawWindow(window, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  RECT client;
  GetClientRect(window, &client);
  TShot shot;
  shot.Width = client.right;
  shot.Height = client.bottom;
  shot.Pixels.resize(static_cast<size_t>(shot.Width) * shot.Height);
  HDC source = GetDC(window);
  HDC memory = CreateCompatibleDC(source);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = shot.Width;
  info.bmiHeader.biHeight = -shot.Height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, shot.Width, shot.Height, source, 0, 0, SRCCOPY);
  GdiFlush();
  std::memcpy(shot.Pixels.data(), bits, shot.Pixels.size() * 4);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(window, source);
  return shot;
}

void Save(const TShot& shot, const std::string& name) {
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

bool Bluish(COLORREF c) {
  return GetBValue(c) > GetRValue(c) + 40;
}

class ProductWindows : public test::Win32Test {
 protected:
  ProductWindows() : windows(CreateApplicationWindows()) {}
  ~ProductWindows() override { DestroyApplicationWindows(); }

  TApplicationWindows windows;
};

TEST_F(ProductWindows, EveryControlHasItsWindow) {
  for (const auto& form : ui::Application().Forms()) {
    SCOPED_TRACE(form->ClassName());
    ASSERT_NE(Window(*form), nullptr);
    EXPECT_EQ(test::TextOf(Window(*form)), form->WideCaption());
    for (const auto& control : form->Controls()) {
      SCOPED_TRACE(control->Name());
      if (control->Kind() == ui::ControlKind::MenuItem) continue;
      EXPECT_NE(Window(*control), nullptr);
    }
  }
}

TEST_F(ProductWindows, PaintTheHeaderLogoAndTheWelcomePicture) {
  ui::TForm& main = windows.MainForm;
  backend.ShowForm(main);
  backend.ProcessMessages();
  const TShot shot = Capture(Window(main));
  Save(shot, main.ClassName());
  ASSERT_GT(shot.Width, 100);
  // The header panel is white; the logo at its right is blue.
  EXPECT_EQ(shot.At(4, 4), RGB(255, 255, 255));
  const ui::TControl& logo = main.Control("ImageLogo");
  RECT logoRect;
  GetWindowRect(Window(logo), &logoRect);
  MapWindowPoints(nullptr, Window(main), reinterpret_cast<POINT*>(&logoRect), 2);
  int blue = 0;
  for (int y = logoRect.top; y < logoRect.bottom; ++y)
    for (int x = logoRect.left; x < logoRect.right; ++x)
      blue += Bluish(shot.At(x, y));
  EXPECT_GT(blue, (logoRect.right - logoRect.left) * (logoRect.bottom - logoRect.top) / 3);
  backend.HideForm(main);

  for (const auto& form : ui::Application().Forms()) {
    if (form.get() == &main) continue;
    backend.ShowForm(*form);
    backend.ProcessMessages();
    Save(Capture(Window(*form)), form->ClassName());
    backend.HideForm(*form);
  }
}

TEST_F(ProductWindows, ClosingTheMainWindowEndsTheRun) {
  int closed = 0;
  windows.MainForm.OnClose = [&](ui::TForm&) { ++closed; };
  backend.ShowForm(windows.MainForm);
  PostMessageW(Window(windows.MainForm), WM_CLOSE, 0, 0);
  backend.Run();
  EXPECT_EQ(closed, 1);
  EXPECT_FALSE(windows.MainForm.Visible());
}

}  // namespace
