// The database dialog on the headless backend, with real connections
// behind its test: SQLite files and unixODBC.
#include <gtest/gtest.h>

#include "common/temp_folder.h"
#include "database/connection_string.h"
#include "database/odbc_dialog.h"
#include "platform/fake/fake_registry.h"
#include "platform/files.h"
#include "ui/headless/headless_backend.h"

using ui::TModalResult;

namespace {

constexpr const char* kSources = "SOFTWARE\\ODBC\\ODBC.INI\\ODBC Data Sources";

TEST(ODBCDialog, DataSourceListFromTheMachine) {
  platform::FakeRegistry registry;
  EXPECT_EQ(ListOdbcDataSources(platform::RegistryRoot::LocalMachine), "");
  registry.SetString(platform::RegistryRoot::LocalMachine, kSources, "zeta", "SQLite3");
  registry.SetString(platform::RegistryRoot::LocalMachine, kSources, "Mail", "SQLite3");
  registry.SetString(platform::RegistryRoot::LocalMachine, kSources, "alpha", "MariaDB");
  registry.SetString(platform::RegistryRoot::CurrentUser, kSources, "mine", "SQLite3");
  EXPECT_EQ(ListOdbcDataSources(platform::RegistryRoot::LocalMachine), "alpha\r\nMail\r\nzeta\r\n");

  TODBCForm form;
  form.Primary.DSN->SetText("typed");
  FillDataSourceList(form);
  const std::vector<std::string> expected = {"alpha", "Mail", "zeta"};
  EXPECT_EQ(form.Primary.DSN->Items(), expected);
  EXPECT_EQ(form.Backup.DSN->Items(), expected);
  EXPECT_EQ(form.Primary.DSN->Text(), "typed");
}

TEST(ODBCDialog, OkIsRefusedUntilTheConnectionWorks) {
  ui::THeadlessBackend backend;
  platform::FakeRegistry registry;
  registry.SetString(platform::RegistryRoot::LocalMachine, kSources, "maildsn", "SQLite3");
  TempFolder temp;
  TODBCForm form;
  BindODBCForm(form, [] { return std::string(); });
  LoadConnectionString(form, "", 0);

  // An empty data source: OK does nothing, and no box.
  bool stayedOpen = false;
  std::vector<std::string> listed;
  backend.WhenModal("TODBCForm", [&](ui::TForm&) {
    listed = form.Primary.DSN->Items();
    backend.Click(*form.OKButton);
    stayedOpen = form.Visible();
    backend.Click(*form.CancelButton);
  });
  EXPECT_EQ(ui::ShowModal(form), TModalResult::Cancel);
  EXPECT_TRUE(stayedOpen);
  EXPECT_EQ(listed, std::vector<std::string>{"maildsn"});
  EXPECT_TRUE(backend.Boxes().empty());

  // A data source that cannot be reached: the driver's text, never the
  // password, and the dialog stays open; Esc closes it.
  backend.WhenModal("TODBCForm", [&](ui::TForm&) {
    backend.Type(*form.Primary.DSN, "nosuchdsn");
    backend.Type(*form.Primary.User, "sa");
    backend.Type(*form.Primary.Password, "Driver");
    backend.Click(*form.OKButton);
    stayedOpen = form.Visible();
    backend.PressKey(ui::kKeyEscape);
  });
  EXPECT_EQ(ui::ShowModal(form), TModalResult::Cancel);
  EXPECT_TRUE(stayedOpen);
  ASSERT_EQ(backend.Boxes().size(), 1u);
  EXPECT_EQ(backend.Boxes()[0].Request.Caption, "Error");
  EXPECT_EQ(backend.Boxes()[0].Request.Icon, ui::TMessageIcon::Error);
  EXPECT_EQ(backend.Boxes()[0].Request.Text,
            "[unixODBC][*** Manager]Data source name not found and no default driver specified");
  backend.ClearBoxes();

  // The test button on a working SQLite file, then OK closes the dialog.
  const std::string file = platform::NativePath(temp / "mail.db");
  backend.WhenModal("TODBCForm", [&](ui::TForm&) {
    backend.ReplaceText(*form.Primary.DSN, file);
    backend.ReplaceText(*form.Primary.Password, "");
    backend.PickItem(*form.DriverCombo, 2);
    backend.PickItem(*form.SyntaxCombo, 7);
    backend.Click(*form.TestButton);
    backend.Click(*form.OKButton);
  });
  EXPECT_EQ(ui::ShowModal(form), TModalResult::Ok);
  // The button's test shows its success; OK's silent one shows nothing.
  ASSERT_EQ(backend.Boxes().size(), 1u);
  EXPECT_EQ(backend.Boxes()[0].Request.Caption, "Information");
  EXPECT_EQ(backend.Boxes()[0].Request.Text, "Database connection test successful.");
  EXPECT_EQ(BuildConnectionString(form), file + ";sa;;;7;3");
  EXPECT_TRUE(platform::PathExists(file));
}

}  // namespace
