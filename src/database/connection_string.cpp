#include "database/connection_string.h"

#include "support/config_text.h"
#include "support/fields.h"

namespace {

// Field `index` (0-based) as stored: passwords may begin or end in blanks.
std::string Field(const std::string& text, int index, char separator) {
  return GetField(text, index, separator, false, true, true);
}

void LoadFields(TODBCForm::TConnectionFields& fields, const std::string& text, char separator) {
  fields.DSN->SetText(Field(text, 0, separator));
  fields.User->SetText(Field(text, 1, separator));
  fields.Password->SetText(Field(text, 2, separator));
  fields.Server->SetText(Field(text, 3, separator));
}

int Position(const ui::TControl& list) {
  return list.ItemIndex() < 0 ? 0 : list.ItemIndex();
}

}  // namespace

void LoadConnectionString(TODBCForm& form, const std::string& connection, int defaultSyntax) {
  const size_t bar = connection.find('|');
  const std::string primary = connection.substr(0, bar);
  LoadFields(form.Primary, primary, ';');

  const int driver = StrToIntLoose(Field(primary, 5, ';')) - 1;
  const bool validDriver =
      driver >= 0 && static_cast<size_t>(driver) < form.DriverCombo->ItemCount();
  form.DriverCombo->SetItemIndex(validDriver ? driver : 0);

  std::string backup = bar == std::string::npos ? "" : connection.substr(bar + 1);
  for (char& c : backup)
    if (c == '|') c = ';';
  LoadFields(form.Backup, backup, ';');

  const std::string syntax = Field(primary, 4, ';');
  form.SyntaxCombo->SetItemIndex(syntax.empty() ? defaultSyntax : StrToIntLoose(syntax));
}

std::string BuildConnectionString(const TODBCForm& form) {
  const std::string syntax = std::to_string(Position(*form.SyntaxCombo));
  const std::string driver = std::to_string(Position(*form.DriverCombo) + 1);
  auto join = [&](const TODBCForm::TConnectionFields& fields, char separator) {
    const std::string s(1, separator);
    return fields.DSN->Text() + s + fields.User->Text() + s + fields.Password->Text() + s +
           fields.Server->Text() + s + syntax + s + driver;
  };
  std::string result = join(form.Primary, ';');
  if (!form.Backup.DSN->Text().empty()) result += "|" + join(form.Backup, '|');
  return result;
}
