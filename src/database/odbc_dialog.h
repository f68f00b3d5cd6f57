// What the database dialog does: the list of system data sources, the
// connection test, and the handlers of its window.
#pragma once

#include <functional>
#include <string>

#include "database/odbc_form.h"
#include "platform/registry.h"

// The names of the data sources registered under `root`, sorted, one per
// line; empty when the registry cannot be read.
std::string ListOdbcDataSources(platform::RegistryRoot root);
// The machine's data sources into the primary and backup "DSN:" lists.
void FillDataSourceList(TODBCForm& form);

// Connects with the dialog's connection string. Success: an information box
// unless silent; failure: an error box with the client's message even when
// silent. The passwords never appear in a box.
bool TestDatabaseConnection(TODBCForm& form, bool silent);

// The handlers of the window. installFolder is the folder of the recorded
// installation, whose database library is asked for its connection while
// the dialog is open; empty when there is none.
void FormShow(TODBCForm& form, const std::string& installFolder);
void FormClose(TODBCForm& form);
// OK with an empty primary data source, or with a failing test, keeps the
// dialog open; Cancel always closes it.
void FormCloseQuery(TODBCForm& form, bool& canClose);
// Esc closes the dialog as Cancel.
void FormKeyPress(TODBCForm& form, char16_t& key);
void TestButtonClick(TODBCForm& form);

// Binds the handlers above to the dialog's events.
void BindODBCForm(TODBCForm& form, std::function<std::string()> installFolder);
