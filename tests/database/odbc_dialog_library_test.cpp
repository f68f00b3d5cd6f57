// The dialog and the suite's database library: the stand-in db.dll of an
// installation answers for the connection it holds while the dialog is open.
#include <gtest/gtest.h>

#include "common/temp_folder.h"
#include "config/database_library.h"
#include "config/server_folders.h"
#include "config/settings_fields.h"
#include "config/settings_record.h"
#include "database/odbc_dialog.h"
#include "platform/fake/fake_registry.h"
#include "platform/files.h"
#include "support/paths.h"

namespace {

TEST(ODBCDialog, TheSuiteLibraryGetsItsConnectionBack) {
  platform::FakeRegistry registry;
  TempFolder temp;
  ASSERT_TRUE(platform::CopyOneFile(ProgramFolder() + "standin\\db.dll", temp / "db.dll", false));
  ServerFolders().InstallPath = temp.Path();
  Settings().SetText(settings_field::AccountDatabase, "suite;u;p;h;0;1");
  TODBCForm form;

  // No recorded installation: no library is looked for.
  FormShow(form, "");
  EXPECT_FALSE(DatabaseLibraryLoaded());
  FormClose(form);
  EXPECT_FALSE(DatabaseLibraryLoaded());

  FormShow(form, temp.Path());
  ASSERT_TRUE(DatabaseLibraryLoaded());
  EXPECT_EQ(DatabaseLibraryPath(), temp / "db.dll");
  EXPECT_EQ(DatabaseGetConnection(), "suite;u;p;h;0;1");
  // Whatever happens to the library's connection meanwhile, closing gives it back.
  DatabaseSetConnection("changed;;;;0;1");
  FormClose(form);
  EXPECT_EQ(DatabaseGetConnection(), "suite;u;p;h;0;1");

  ReleaseDatabaseLibrary();
  ServerFolders() = TServerFolders();
}

}  // namespace
