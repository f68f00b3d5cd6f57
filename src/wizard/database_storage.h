// The last step of an installation in the Advanced mode: the suite creates
// its tables in the external database and moves its account storage there.
#pragma once

#include <string>

// Asks the suite's automation server to create its tables with the
// connection string, switches the storage mode to the database, and starts
// the conversion, with the suite's settling waits between. Failures end the
// step without a message; the finish goes on.
void CreateDatabaseStorage(const std::string& connection);
