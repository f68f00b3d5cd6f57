// The installer's own five windows on the screen: every control gets its
// window, and what is painted is what the model asks for (a screenshot of
// each window is kept in screenshots/ of the test's folder for people).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/windows.h"
#include "screen_capture.h"
#include "win32_fixture.h"

namespace {

using test::Capture;
using test::Save;
using test::TShot;

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

// What a group box frames is its sibling window: the box must neither cover
// it nor leave its own inside unpainted.
TEST_F(ProductWindows, GroupBoxesShowWhatTheyFrame) {
  TODBCForm& dialog = windows.ODBCForm;
  backend.ShowForm(dialog);
  backend.ProcessMessages();
  const TShot shot = Capture(Window(dialog));
  Save(shot, "TODBCForm-groups");
  auto pointIn = [&](const ui::TControl& control, int dx, int dy) {
    RECT rect;
    GetWindowRect(Window(control), &rect);
    MapWindowPoints(nullptr, Window(dialog), reinterpret_cast<POINT*>(&rect), 2);
    return shot.At(rect.left + dx, rect.top + dy);
  };
  // Inside the server field: the edit's white, not the box.
  EXPECT_EQ(pointIn(*dialog.Primary.Server, 20, 8), RGB(255, 255, 255));
  // Between the label and the field, inside the box: the dialog's face.
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  EXPECT_EQ(pointIn(*dialog.PrimaryConnBox, 8, 60), face);
  EXPECT_EQ(pointIn(*dialog.DatabaseBox, 6, 100), face);
  backend.HideForm(dialog);
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
