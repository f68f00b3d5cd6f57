// Modal runs, message boxes and slots that throw, with real message loops.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "win32_fixture.h"

using ui::ControlKind;
using ui::TControl;
using ui::TModalResult;

namespace {

class Modal : public test::Win32Test {
 protected:
  Modal() {
    owner = &NewForm("TOwner");
    dialog = &NewForm("TDialog");
    ok = &dialog->AddControl(ControlKind::Button, "Ok", nullptr, {8, 8, 75, 25});
    ok->SetText("OK").SetModalResult(TModalResult::Ok);
    broken = &dialog->AddControl(ControlKind::Button, "Broken", nullptr, {90, 8, 75, 25});
    broken->OnClick = [](TControl&) { throw std::runtime_error("slot failed"); };
    backend.CreateForm(*owner);
    backend.CreateForm(*dialog);
  }

  ui::TForm* owner;
  ui::TForm* dialog;
  TControl* ok;
  TControl* broken;
};

TEST_F(Modal, EndsWithTheResultOfTheButtonPressedAndDisablesTheOthers) {
  backend.ShowForm(*owner);
  bool ownerEnabledDuringRun = true;
  bool dialogShownDuringRun = false;
  dialog->OnShow = [&](ui::TForm&) {
    ownerEnabledDuringRun = IsWindowEnabled(Window(*owner)) != FALSE;
    dialogShownDuringRun = IsWindowVisible(Window(*dialog)) != FALSE;
    PostMessageW(Window(*ok), BM_CLICK, 0, 0);
  };
  int closed = 0;
  dialog->OnClose = [&](ui::TForm&) { ++closed; };
  EXPECT_EQ(backend.ShowModal(*dialog), TModalResult::Ok);
  EXPECT_FALSE(ownerEnabledDuringRun);
  EXPECT_TRUE(dialogShownDuringRun);
  EXPECT_TRUE(IsWindowEnabled(Window(*owner)));
  EXPECT_FALSE(IsWindowVisible(Window(*dialog)));
  EXPECT_FALSE(dialog->Visible());
  EXPECT_FALSE(dialog->Modal());
  EXPECT_EQ(closed, 1);
}

TEST_F(Modal, AClickPostedBeforeTheRunEndsIt) {
  dialog->SetModalResult(TModalResult::Abort);  // reset by the run
  PostMessageW(Window(*ok), BM_CLICK, 0, 0);
  EXPECT_EQ(backend.ShowModal(*dialog), TModalResult::Ok);
}

TEST_F(Modal, CloseQueryCanKeepTheWindowOpen) {
  int queries = 0;
  dialog->OnCloseQuery = [&](ui::TForm&, bool& canClose) { canClose = ++queries > 1; };
  PostMessageW(Window(*ok), BM_CLICK, 0, 0);
  PostMessageW(Window(*dialog), WM_CLOSE, 0, 0);
  // The first click is refused; the close box then ends it with Cancel.
  EXPECT_EQ(backend.ShowModal(*dialog), TModalResult::Cancel);
  EXPECT_EQ(queries, 2);
}

TEST_F(Modal, AnExceptionFromASlotReachesTheApplicationAndTheLoopGoesOn) {
  PostMessageW(Window(*broken), BM_CLICK, 0, 0);
  PostMessageW(Window(*ok), BM_CLICK, 0, 0);
  EXPECT_EQ(backend.ShowModal(*dialog), TModalResult::Ok);
  EXPECT_EQ(exceptions, std::vector<std::string>{"slot failed"});
}

TEST_F(Modal, WithoutAnExceptionHandlerTheErrorLeavesTheRun) {
  ui::Application().OnException = nullptr;
  backend.ShowForm(*owner);
  PostMessageW(Window(*broken), BM_CLICK, 0, 0);
  EXPECT_THROW(backend.ShowModal(*dialog), std::runtime_error);
  EXPECT_FALSE(dialog->Modal());
  EXPECT_FALSE(IsWindowVisible(Window(*dialog)));
  EXPECT_TRUE(IsWindowEnabled(Window(*owner)));
}

TEST_F(Modal, TheSameFormCannotRunTwice) {
  dialog->OnShow = [&](ui::TForm& form) {
    EXPECT_THROW(backend.ShowModal(form), std::logic_error);
    PostMessageW(Window(*ok), BM_CLICK, 0, 0);
  };
  EXPECT_EQ(backend.ShowModal(*dialog), TModalResult::Ok);
}

// Answers the message box with this caption by clicking its Yes button.
struct TBoxAnswer {
  const wchar_t* Caption = nullptr;
  std::u16string Text;
  HWND Owner = nullptr;
  bool Clicked = false;
};
TBoxAnswer* pendingAnswer = nullptr;

void CALLBACK AnswerBox(HWND, UINT, UINT_PTR timer, DWORD) {
  if (!pendingAnswer || pendingAnswer->Clicked) return;
  HWND box = FindWindowW(L"#32770", pendingAnswer->Caption);
  if (!box) return;
  HWND yes = GetDlgItem(box, IDYES);
  if (!yes) return;
  wchar_t text[256] = {};
  // The message text is the static control with the id 0xFFFF.
  GetDlgItemTextW(box, 0xFFFF, text, 256);
  pendingAnswer->Text = ui::win32::FromWide(text, wcslen(text));
  pendingAnswer->Owner = GetWindow(box, GW_OWNER);
  pendingAnswer->Clicked = true;
  KillTimer(nullptr, timer);
  PostMessageW(yes, BM_CLICK, 0, 0);
}

TEST_F(Modal, MessageBoxReturnsTheButtonClicked) {
  backend.ShowForm(*owner);
  TBoxAnswer answer;
  answer.Caption = L"Setup question";
  pendingAnswer = &answer;
  const UINT_PTR timer = SetTimer(nullptr, 0, 50, AnswerBox);
  ASSERT_NE(timer, 0u);
  const TModalResult result =
      backend.ShowMessageBox({"Setup question", "Stop the services now?",
                              ui::TMessageButtons::YesNo, ui::TMessageIcon::Question});
  pendingAnswer = nullptr;
  KillTimer(nullptr, timer);
  EXPECT_TRUE(answer.Clicked);
  EXPECT_EQ(result, TModalResult::Yes);
  EXPECT_EQ(answer.Text, u"Stop the services now?");
  EXPECT_EQ(answer.Owner, Window(*owner)) << "owned by the window in front";
  EXPECT_TRUE(IsWindowEnabled(Window(*owner)));
}

}  // namespace
