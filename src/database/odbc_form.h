// The database settings dialog: the primary and backup connections, the
// syntax and driver shared by both, and the connection test. Its controls
// hold Unicode text; the connection string is built in the ANSI code page.
#pragma once

#include <array>

#include "ui/form.h"

class TODBCForm : public ui::TForm {
 public:
  static constexpr int kClientWidth = 329;
  static constexpr int kClientHeight = 417;

  // Syntax number = list position; driver number = list position + 1.
  static constexpr std::array<const char*, 8> kSyntaxNames = {
      "Default", "MS Access", "MS SQL", "My SQL", "InterBase", "Oracle", "Firebird", "SQLite"};
  static constexpr std::array<const char*, 4> kDriverNames = {"ODBC", "My SQL", "SQLite",
                                                              "Firebird"};

  TODBCForm();

  // One connection's fields.
  struct TConnectionFields {
    ui::TControl* Box = nullptr;
    ui::TControl* DSNLabel = nullptr;
    ui::TControl* DSN = nullptr;  // an editable drop-down list
    ui::TControl* ServerLabel = nullptr;
    ui::TControl* Server = nullptr;
    ui::TControl* UserLabel = nullptr;
    ui::TControl* User = nullptr;
    ui::TControl* PasswordLabel = nullptr;
    ui::TControl* Password = nullptr;
  };

  TConnectionFields Primary;
  TConnectionFields Backup;
  ui::TControl* PrimaryConnBox = nullptr;
  ui::TControl* BackupConnBox = nullptr;
  ui::TControl* DatabaseBox = nullptr;
  ui::TControl* SyntaxLabel = nullptr;
  ui::TControl* SyntaxCombo = nullptr;
  ui::TControl* DriverLabel = nullptr;
  ui::TControl* DriverCombo = nullptr;
  ui::TControl* TestButton = nullptr;
  ui::TControl* CreateTablesBut = nullptr;
  ui::TControl* DropTablesBut = nullptr;
  ui::TControl* OKButton = nullptr;
  ui::TControl* CancelButton = nullptr;

 private:
  TConnectionFields AddConnection(const char* prefix, const char* caption, int top);
};
