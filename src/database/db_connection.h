// A database connection described by the installer's connection string:
// "source;user;password;server;syntax;driver", optionally followed by "|" and
// a backup connection whose fields are joined by "|". The backup is tried
// once when the primary connection fails.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "database/connection_object.h"

enum class TDatabaseDriver : uint8_t { ODBC = 0, MySQL = 1, SQLite = 2, Firebird = 3 };

class TDBConnection {
 public:
  explicit TDBConnection(uint8_t defaultSyntax = 0);
  // Closes an open connection; never throws.
  ~TDBConnection();
  TDBConnection(const TDBConnection&) = delete;
  TDBConnection& operator=(const TDBConnection&) = delete;

  // Parses and configures; no connection is opened.
  void SetConnectionString(const std::string& text);
  // Copies the fields of the primary or backup part into the connection.
  void ApplyConnection(bool useBackup);
  // Raises the client's exception when neither connection opens: the
  // primary's when there is no backup, else the backup's.
  void Connect();
  void Disconnect();
  // False when the backup is already in use or there is none.
  bool SwitchToBackup();

  uint8_t Syntax() const { return syntax_; }
  TDatabaseDriver Driver() const { return driver_; }
  bool UsingBackup() const { return usingBackup_; }
  bool CursorLibrary() const { return cursorLibrary_; }
  const std::string& Primary() const { return primary_; }
  const std::string& Backup() const { return backup_; }
  TConnectionObject* Connection() const { return connection_.get(); }

 private:
  bool usingBackup_ = false;
  std::string primary_;
  std::string backup_;
  uint8_t syntax_;
  bool cursorLibrary_ = false;
  TDatabaseDriver driver_ = TDatabaseDriver::ODBC;
  std::unique_ptr<TConnectionObject> connection_;
};

// A field of a connection string as read: decimal digits up to the first
// other character; empty or unreadable is 0.
uint32_t ReadConnectionNumber(const std::string& field);
