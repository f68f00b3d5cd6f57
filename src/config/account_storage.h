// The accounts of a domain: enumerated, found by alias and saved. With file
// storage they live in configuration folder + domain + "\users.cfg"; in
// storage mode 2 every operation goes through the suite's database library
// (which then gets and gives records with the password in its stored form,
// without the file's transform).
#pragma once

#include <cstdint>
#include <string>

#include "config/account_record.h"
#include "config/database_entries.h"
#include "platform/files.h"

inline constexpr const char* kAccountsFileName = "users.cfg";

// One enumeration of a domain's accounts, from BeginAccountEnum to
// EndAccountEnum. After each NextAccount that returned false, Account is the
// plain record and Index its number in the domain (from 0).
struct TAccountEnum {
  AccountRecord Account;
  int32_t Index = -1;

  // The enumeration's own state.
  std::string AliasFilter;
  bool Database = false;
  bool Open = false;
  platform::File File;
  TDBUserEnum Users{};
};

// The domain's "users.cfg"; empty when the name cannot be a folder name of
// the configuration folder (empty, "..", a delimiter, a reserved character).
std::string AccountsFilePath(const std::string& domain);

// Whether accounts are kept in the database (settings storage mode 2).
bool AccountsInDatabase();

// Opens the enumeration; false when the domain has no accounts file (or the
// database library cannot be reached or does not know the domain). With an
// alias filter only the accounts whose aliases match it (patterns allowed)
// are returned.
bool BeginAccountEnum(const std::string& domain, TAccountEnum& accounts,
                      const std::string& aliasFilter = std::string());
// Reads the next account; true when there is none left (a last record cut
// short counts as none).
bool NextAccount(TAccountEnum& accounts);
void EndAccountEnum(TAccountEnum& accounts);

// The number of the first account whose alias list shares an alias with
// `aliases`, or -1. allowPatterns: a stored pattern alias matches too.
int32_t FindAccountIndex(const std::string& domain, const std::string& aliases,
                         bool allowPatterns = true);

// Stores the plain record as account number `index` of the domain: -1 or the
// number of accounts appends it and sets index to its number. Nothing is
// stored (false) when the record has no alias, the index lies beyond the
// end, or the domain's accounts cannot be read. The file is replaced whole,
// never written in place while the new content is incomplete; a last record
// cut short in the old file is dropped. The record itself is not changed.
bool SaveAccount(const std::string& domain, const AccountRecord& record, int32_t& index);
