// tolvacfg: inspects and edits a configuration folder of the suite through
// the installer's own load and save code.
//
//   tolvacfg show CONFIGFOLDER              the installer's fields, the domain
//                                           table and the primary domain as JSON
//   tolvacfg set CONFIGFOLDER FIELD VALUE   changes one field and saves
//   tolvacfg add-domain CONFIGFOLDER NAME   appends a domain and saves
//   tolvacfg accounts CONFIGFOLDER DOMAIN   the domain's accounts as JSON
//                                           (whether a password is set, not
//                                           the password)
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

// The JSON document of `show` for the loaded settings and domain table.
std::string ConfigurationJson();
