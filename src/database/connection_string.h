// The database dialog's fields and the installer's connection string:
// "DSN;user;password;server;syntax;driver" for the primary connection, and
// "|" + the same fields joined by "|" for the backup connection when it has
// a data source.
#pragma once

#include <string>

#include "database/odbc_form.h"

// Fills the dialog's fields from a connection string. An empty syntax field
// selects defaultSyntax (the suite's configured one); a driver number that
// names no driver selects the first driver ("ODBC").
void LoadConnectionString(TODBCForm& form, const std::string& connection, int defaultSyntax);
// The connection string of the dialog's fields, in the ANSI code page.
std::string BuildConnectionString(const TODBCForm& form);
