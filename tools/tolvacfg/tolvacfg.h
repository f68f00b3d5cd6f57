// tolvacfg: inspects and edits a configuration folder of the suite through
// the installer's own load and save code.
//
//   tolvacfg show CONFIGFOLDER              the installer's fields, the domain
//                                           table and the primary domain as JSON
//   tolvacfg set CONFIGFOLDER FIELD VALUE   changes one field and saves
//   tolvacfg add-domain CONFIGFOLDER NAME   appends a domain and saves
//   tolvacfg accounts [--json] CONFIGFOLDER DOMAIN
//                                           one line per account of the domain:
//                                           number, type, expiry, aliases,
//                                           "admin" or "-" (tab-separated); with
//                                           --json a JSON list that also has the
//                                           name and mailbox and says whether a
//                                           password is set (not the password)
#pragma once

#include <string>
#include <vector>

enum TolvacfgExit {
  kTolvacfgOk = 0,
  kTolvacfgUsage = 1,       // unknown command or wrong number of arguments
  kTolvacfgUnreadable = 2,  // no settings.cfg, or a domain table that cannot be read
  kTolvacfgBadValue = 3,    // unknown or read-only field, value out of range, domain exists
  kTolvacfgSaveFailed = 4,
};

// Runs one command; what it prints goes to out and err.
int RunTolvacfg(const std::vector<std::string>& arguments, std::string& out, std::string& err);

// An account's expiry date as "yyyy-mm-dd", with " hh:nn" when it has a
// time of day; a value outside the years 100 to 9999 as the number itself.
std::string ExpiryText(double date);

// The JSON document of `show` for the loaded settings and domain table.
std::string ConfigurationJson();
