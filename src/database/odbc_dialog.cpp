#include "database/odbc_dialog.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "config/database_library.h"
#include "database/connection_string.h"
#include "database/db_connection.h"
#include "localization/message_table.h"
#include "platform/codepage.h"
#include "ui/backend.h"
#include "ui/events.h"

namespace {

constexpr const char* kDataSourcesKey = "\\SOFTWARE\\ODBC\\ODBC.INI\\ODBC Data Sources";

// The connection that the suite's database library had when the dialog was
// shown, given back when it closes.
std::optional<std::string>& RememberedConnection() {
  static std::optional<std::string> connection;
  return connection;
}

// Short passwords are left alone: hiding them would mangle the message.
constexpr size_t kShortestHiddenPassword = 3;

std::string WithoutPasswords(std::string text, const TODBCForm& form) {
  for (const ui::TControl* field : {form.Primary.Password, form.Backup.Password}) {
    const std::string password = field->Text();
    if (password.size() < kShortestHiddenPassword) continue;
    for (size_t at = text.find(password); at != std::string::npos; at = text.find(password, at + 3))
      text.replace(at, password.size(), "***");
  }
  return text;
}

}  // namespace

std::string ListOdbcDataSources(platform::RegistryRoot root) {
  auto key = platform::CurrentRegistry().OpenKey(root, kDataSourcesKey);
  if (!key) return "";
  auto names = key.Value()->ValueNames();
  if (!names) return "";
  std::vector<std::string> sorted = names.Value();
  // In the order an administrator reads them: letter case does not count.
  std::stable_sort(sorted.begin(), sorted.end(), [](const std::string& a, const std::string& b) {
    return platform::AnsiLowerCase(a) < platform::AnsiLowerCase(b);
  });
  std::string list;
  for (const std::string& name : sorted)
    list += name + "\r\n";
  return list;
}

void FillDataSourceList(TODBCForm& form) {
  std::vector<std::string> items;
  const std::string list = ListOdbcDataSources(platform::RegistryRoot::LocalMachine);
  size_t start = 0;
  while (start < list.size()) {
    const size_t end = list.find("\r\n", start);
    items.push_back(list.substr(start, end - start));
    start = end == std::string::npos ? list.size() : end + 2;
  }
  // Setting the items keeps the text typed into the editable lists.
  const std::string primary = form.Primary.DSN->Text();
  const std::string backup = form.Backup.DSN->Text();
  form.Primary.DSN->SetItems(items).SetText(primary);
  form.Backup.DSN->SetItems(items).SetText(backup);
}

bool TestDatabaseConnection(TODBCForm& form, bool silent) {
  std::string failure;
  try {
    TDBConnection connection(0);
    connection.SetConnectionString(BuildConnectionString(form));
    connection.Connect();
  } catch (const std::exception& e) {
    failure = e.what();
  } catch (...) {
    failure = "Unknown error";
  }
  if (failure.empty()) {
    if (!silent)
      ui::ShowMessageBox(Message(TMessage::cDBTestSuccessful), Message(TMessage::cInformation),
                         ui::TMessageButtons::Ok, ui::TMessageIcon::Information);
    return true;
  }
  ui::ShowMessageBox(WithoutPasswords(failure, form), Message(TMessage::cError),
                     ui::TMessageButtons::Ok, ui::TMessageIcon::Error);
  return false;
}

void FormShow(TODBCForm& form, const std::string& installFolder) {
  FillDataSourceList(form);
  form.Primary.DSN->SetFocus();
  form.Primary.DSN->SelectAll();
  // Without an installation there is no library of the suite to ask.
  if (installFolder.empty() || !ConnectDatabaseLibrary()) return;
  RememberedConnection() = DatabaseGetConnection();
}

void FormClose(TODBCForm&) {
  if (!DatabaseLibraryLoaded() || !RememberedConnection()) return;
  DatabaseSetConnection(*RememberedConnection());
}

void FormCloseQuery(TODBCForm& form, bool& canClose) {
  if (form.ModalResult() != ui::TModalResult::Ok) return;
  if (form.Primary.DSN->Text().empty()) {
    canClose = false;
    return;
  }
  if (!TestDatabaseConnection(form, true)) canClose = false;
}

void FormKeyPress(TODBCForm& form, char16_t& key) {
  if (key != ui::kKeyEscape) return;
  key = 0;
  form.SetModalResult(ui::TModalResult::Cancel);
}

void TestButtonClick(TODBCForm& form) {
  TestDatabaseConnection(form, false);
}

void BindODBCForm(TODBCForm& form, std::function<std::string()> installFolder) {
  form.OnShow = [&form, installFolder](ui::TForm&) {
    FormShow(form, installFolder ? installFolder() : std::string());
  };
  form.OnClose = [&form](ui::TForm&) { FormClose(form); };
  form.OnCloseQuery = [&form](ui::TForm&, bool& canClose) { FormCloseQuery(form, canClose); };
  form.OnKeyPress = [&form](ui::TForm&, char16_t& key) { FormKeyPress(form, key); };
  form.TestButton->OnClick = [&form](ui::TControl&) { TestButtonClick(form); };
}
