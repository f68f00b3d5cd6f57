// The backend that answers chosen modal windows itself and hands the rest
// to the one behind it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/answering_backend.h"
#include "ui/backend.h"
#include "ui/headless/headless_backend.h"

using ui::TForm;
using ui::TModalResult;

namespace {

TEST(AnsweringBackend, AnswersItsWindowsOnceAsAPersonWouldAndPassesTheRestOn) {
  ui::THeadlessBackend inner;
  TForm chooser("TChooser", "Chooser");
  TForm other("TOther", "Other");
  std::vector<std::string> events;
  chooser.OnShow = [&](TForm&) { events.push_back("show"); };
  bool allowClose = false;
  chooser.OnCloseQuery = [&](TForm&, bool& canClose) {
    events.push_back("close query");
    canClose = allowClose;
  };
  {
    ui::TAnsweringBackend answering(inner);
    EXPECT_EQ(ui::InstalledBackend(), &answering);
    const auto answer = [&](TForm& form) {
      events.push_back("answer");
      form.SetModalResult(TModalResult::Ok);
    };
    answering.WhenModal("TChooser", answer);
    answering.WhenModal("TChooser", answer);
    // The window refuses to close: the answer counts as a cancel.
    EXPECT_EQ(ui::ShowModal(chooser), TModalResult::Cancel);
    allowClose = true;
    EXPECT_EQ(ui::ShowModal(chooser), TModalResult::Ok);
    EXPECT_EQ(events, (std::vector<std::string>{"show", "answer", "close query", "show", "answer",
                                                "close query"}));
    EXPECT_TRUE(inner.ModalsShown().empty());
    // Once answered, the window is the person's again; others always were.
    ui::ShowModal(chooser);
    ui::ShowModal(other);
    EXPECT_EQ(inner.ModalsShown(), (std::vector<std::string>{"TChooser", "TOther"}));
  }
  EXPECT_EQ(ui::InstalledBackend(), &inner);
}

}  // namespace
