#include "database/odbc_form.h"

#include <string>
#include <vector>

using ui::ControlKind;

TODBCForm::TODBCForm() : TForm("TODBCForm", "ODBCForm", /*wide=*/true) {
  SetCaption("Database");
  SetClientSize(kClientWidth, kClientHeight);
  SetBorderStyle(ui::TBorderStyle::ToolWindow);
  SetPosition(ui::TFormPosition::ScreenCenter);

  Primary = AddConnection("", "Primary Connection", 8);
  PrimaryConnBox = Primary.Box;
  Backup = AddConnection("Backup", "Backup Connection", 136);
  BackupConnBox = Backup.Box;

  DatabaseBox = &AddControl(ControlKind::GroupBox, "DatabaseBox", nullptr, {8, 264, 313, 110})
                     .SetText("Database");
  SyntaxLabel = &AddControl(ControlKind::Label, "SyntaxLabel", DatabaseBox, {12, 20, 80, 13})
                     .SetText("Syntax:");
  SyntaxCombo = &AddControl(ControlKind::ComboBox, "SyntaxCombo", DatabaseBox, {96, 16, 205, 21})
                     .SetEditable(false)
                     .SetItems(std::vector<std::string>(kSyntaxNames.begin(), kSyntaxNames.end()))
                     .SetItemIndex(0);
  SyntaxLabel->SetLinked(SyntaxCombo);
  DriverLabel = &AddControl(ControlKind::Label, "DriverLabel", DatabaseBox, {12, 46, 80, 13})
                     .SetText("Driver:");
  DriverCombo = &AddControl(ControlKind::ComboBox, "DriverCombo", DatabaseBox, {96, 42, 205, 21})
                     .SetEditable(false)
                     .SetItems(std::vector<std::string>(kDriverNames.begin(), kDriverNames.end()))
                     .SetItemIndex(0);
  DriverLabel->SetLinked(DriverCombo);
  TestButton = &AddControl(ControlKind::Button, "TestButton", DatabaseBox, {12, 76, 100, 23})
                    .SetText("Test Connection");
  CreateTablesBut =
      &AddControl(ControlKind::Button, "CreateTablesBut", DatabaseBox, {116, 76, 90, 23})
           .SetText("Create Tables");
  DropTablesBut = &AddControl(ControlKind::Button, "DropTablesBut", DatabaseBox, {210, 76, 91, 23})
                       .SetText("Drop Tables");

  OKButton = &AddControl(ControlKind::Button, "OKButton", nullptr, {166, 384, 75, 23})
                  .SetText("&OK")
                  .SetDefault(true)
                  .SetModalResult(ui::TModalResult::Ok);
  // Esc closes the dialog as Cancel.
  CancelButton = &AddControl(ControlKind::Button, "CancelButton", nullptr, {246, 384, 75, 23})
                      .SetText("&Cancel")
                      .SetCancel(true)
                      .SetModalResult(ui::TModalResult::Cancel);
}

TODBCForm::TConnectionFields TODBCForm::AddConnection(const char* prefix, const char* caption,
                                                      int top) {
  const std::string p = prefix;
  TConnectionFields fields;
  fields.Box = &AddControl(ControlKind::GroupBox, p.empty() ? "PrimaryConnBox" : p + "ConnBox",
                           nullptr, {8, top, 313, 121})
                    .SetText(caption);
  struct Row {
    ui::TControl** Label;
    const char* LabelName;
    const char* Text;
    ui::TControl** Field;
    const char* FieldName;
    ControlKind Kind;
  };
  const Row rows[] = {
      {&fields.DSNLabel, "DSNLabel", "DSN:", &fields.DSN, "DSNEdit", ControlKind::ComboBox},
      {&fields.ServerLabel, "ServerLabel", "Server:", &fields.Server, "ServerEdit",
       ControlKind::Edit},
      {&fields.UserLabel, "UserLabel", "Username:", &fields.User, "UserEdit", ControlKind::Edit},
      {&fields.PasswordLabel, "PasswordLabel", "Password:", &fields.Password, "PasswordEdit",
       ControlKind::Edit},
  };
  int y = 16;
  for (const Row& row : rows) {
    *row.Label = &AddControl(ControlKind::Label, p + row.LabelName, fields.Box, {12, y + 4, 80, 13})
                      .SetText(row.Text);
    *row.Field = &AddControl(row.Kind, p + row.FieldName, fields.Box, {96, y, 205, 21});
    (*row.Label)->SetLinked(*row.Field);
    y += 26;
  }
  fields.DSN->SetEditable(true);
  fields.Password->SetPasswordChar(u'*');
  return fields;
}
