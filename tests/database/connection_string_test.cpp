#include <gtest/gtest.h>

#include "database/connection_string.h"

namespace {

TEST(ConnectionString, EmptyGivesEmptyFieldsOdbcAndTheDefaultSyntax) {
  TODBCForm form;
  form.Primary.DSN->SetText("stale");
  LoadConnectionString(form, "", 3);
  EXPECT_EQ(form.Primary.DSN->Text(), "");
  EXPECT_EQ(form.Backup.Server->Text(), "");
  EXPECT_EQ(form.DriverCombo->ItemIndex(), 0);
  EXPECT_EQ(form.SyntaxCombo->ItemIndex(), 3);
  EXPECT_EQ(BuildConnectionString(form), ";;;;3;1");
}

TEST(ConnectionString, RoundTripWithBackupKeepsEveryField) {
  TODBCForm form;
  const std::string text = "tolva;admin; secret ;db.example.org;7;2|spare|bob|pw|db2|7|2";
  LoadConnectionString(form, text, 0);
  EXPECT_EQ(form.Primary.DSN->Text(), "tolva");
  EXPECT_EQ(form.Primary.User->Text(), "admin");
  EXPECT_EQ(form.Primary.Password->Text(), " secret ");
  EXPECT_EQ(form.Primary.Server->Text(), "db.example.org");
  EXPECT_EQ(form.Backup.DSN->Text(), "spare");
  EXPECT_EQ(form.Backup.Server->Text(), "db2");
  EXPECT_EQ(form.SyntaxCombo->ItemIndex(), 7);
  EXPECT_EQ(form.DriverCombo->ItemIndex(), 1);
  EXPECT_EQ(BuildConnectionString(form), text);

  // Without a backup data source there is no backup part.
  form.Backup.DSN->SetText("");
  EXPECT_EQ(BuildConnectionString(form), "tolva;admin; secret ;db.example.org;7;2");
  // Older strings separate the backup's fields with ";" too.
  LoadConnectionString(form, "tolva;;;;;|spare;bob;pw;db2", 0);
  EXPECT_EQ(form.Backup.User->Text(), "bob");
  EXPECT_EQ(form.Backup.Server->Text(), "db2");
}

TEST(ConnectionString, UnknownDriverNumbersMeanOdbc) {
  TODBCForm form;
  for (const char* text : {"d;u;p;s;0;7", "d;u;p;s;0;0", "d;u;p;s;0;x", "d;u;p;s;0;-3"}) {
    LoadConnectionString(form, text, 0);
    EXPECT_EQ(form.DriverCombo->ItemIndex(), 0) << text;
  }
  LoadConnectionString(form, "d;u;p;s;0;4", 0);
  EXPECT_EQ(form.DriverCombo->Item(form.DriverCombo->ItemIndex()), "Firebird");
}

TEST(ConnectionString, TextsBeyondTheCodePageAreConvertedWhenBuilt) {
  TODBCForm form;
  form.Primary.DSN->SetWideText(u"Daten\u00e4\u4e2d");
  const std::string built = BuildConnectionString(form);
  EXPECT_EQ(built.substr(0, 6), "Daten\xE4");
  EXPECT_EQ(built.substr(7), ";;;;0;1");
}

}  // namespace
