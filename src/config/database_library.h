// The suite's database library "db.dll", through which every account and
// domain operation goes when the accounts are kept in a database. It is
// loaded once per process and found beside the suite, in its "lib\" folder or
// on the system's search path. Every call below holds lock 5 of the lock
// table and swallows what the library throws; a missing entry makes its call
// fail (or, for the enumeration, end).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "config/database_entries.h"
#include "config/domain_table.h"

// True when the library is loaded, loading it first if needed. Right after
// loading it is given the settings' connection text and the install folder.
bool ConnectDatabaseLibrary();
// Tells the library to close its connection and unloads it.
void ReleaseDatabaseLibrary();
bool DatabaseLibraryLoaded();
// Where the loaded library was found (empty when none is loaded).
std::string DatabaseLibraryPath();

bool DatabaseSetConnection(const std::string& connection);
bool DatabaseLoadConfig(const std::string& installFolder);
std::optional<std::string> DatabaseGetConnection();
void DatabaseDoneConnection();
// The database's domain table; false (and no records) when it holds none.
bool DatabaseReadDomains(std::vector<DomainRecord>& records);
std::optional<int32_t> DatabaseTotalUsers(const std::string& domain);
bool DatabaseInitUsers(const std::string& domain, TDBUserEnum& users, int32_t start, int32_t count);
// True when there is no further account.
bool DatabaseNextUser(TDBUserEnum& users);
void DatabaseDoneUsers(TDBUserEnum& users);
bool DatabaseSaveUser(const std::string& domain, const uint8_t* account, int32_t& index);
bool DatabaseAddDomain(const std::string& domain);
