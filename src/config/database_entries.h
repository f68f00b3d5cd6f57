// The entries of the suite's database library "db.dll" that the installer
// calls, as C functions resolved by name. Texts are NUL-terminated in the
// ANSI code page; results of 0 mean false, other values true.
#pragma once

#include <array>
#include <cstdint>

#ifdef _WIN32
#define DB_CALL __stdcall
#else
#define DB_CALL
#endif

inline constexpr int kAccountRecordSize = 2848;

// The state of one account enumeration; the library owns Handle, the caller
// reads Account after each successful DBNextUser.
struct TDBUserEnum {
  void* Handle;
  int32_t Index;  // number of the record in Account, -1 before the first
  uint8_t Account[kAccountRecordSize];
};

extern "C" {
// Sets the connection text of the account database (settings offset 2356).
using DBSetConnectionFn = int32_t(DB_CALL*)(const char* connection);
// Tells the library the suite's install folder (ending in `\`).
using DBLoadConfigFn = int32_t(DB_CALL*)(const char* installFolder);
// Copies the current connection text, NUL-terminated and cut to the buffer;
// returns its full length.
using DBGetConnectionFn = int32_t(DB_CALL*)(char* buffer, int32_t size);
// Closes the connection; the next call opens it again.
using DBDoneConnectionFn = void(DB_CALL*)();
// The number of domains; 0 when there are none or the database is unusable.
using DBGetDomainCountFn = int32_t(DB_CALL*)();
// Fills up to count 96-byte domain records; returns the number filled.
using DBGetDomainsFn = int32_t(DB_CALL*)(void* records, int32_t count);
// The number of accounts of a domain, or of all domains for an empty name.
using DBGetTotalUsersFn = int32_t(DB_CALL*)(const char* domain);
// Opens an enumeration of the domain's accounts from record `start` (-1: the
// first) for at most `count` records (-1: all); true when it opened.
using DBInitUsersFn = int32_t(DB_CALL*)(const char* domain, TDBUserEnum* users, int32_t start,
                                        int32_t count);
// Puts the next account into users->Account; true when there is none left.
using DBNextUserFn = int32_t(DB_CALL*)(TDBUserEnum* users);
using DBDoneUsersFn = void(DB_CALL*)(TDBUserEnum* users);
// Stores an account as record *index of the domain; -1 (or the number of
// records) appends it and sets *index. True when stored.
using DBSaveUsersFn = int32_t(DB_CALL*)(const char* domain, const void* account, int32_t* index);
// Adds a domain to the database; true when it is there afterwards.
using DBAddDomainFn = int32_t(DB_CALL*)(const char* domain);
}

// The names resolved right after loading, in the order of TDatabaseEntries.
inline constexpr std::array<const char*, 12> kDatabaseEntryNames = {
    "DBSetConnection",  "DBLoadConfig", "DBGetConnection", "DBDoneConnection",
    "DBGetDomainCount", "DBGetDomains", "DBGetTotalUsers", "DBInitUsers",
    "DBNextUser",       "DBDoneUsers",  "DBSaveUsers",     "DBAddDomain",
};
