// MySQL and MariaDB through the client library loaded at run time.
#pragma once

#include <map>
#include <string>

#include "database/connection_object.h"

struct MYSQL;

class TMySQLDatabase : public TConnectionObject {
 public:
  TMySQLDatabase() = default;
  // Closes the connection; never throws.
  ~TMySQLDatabase() override;
  TMySQLDatabase(const TMySQLDatabase&) = delete;
  TMySQLDatabase& operator=(const TMySQLDatabase&) = delete;

  // "UserName", "Password" and "HostName" (a host, or a host, ":" and a
  // port; a host with a backslash names a pipe or socket).
  void SetParam(const std::string& name, const std::string& value) { params_[name] = value; }
  std::string Param(const std::string& name) const;
  void SetDatabaseName(const std::string& name) { databaseName_ = name; }
  const std::string& DatabaseName() const { return databaseName_; }

  // Connects and selects the database; a connection held before is closed.
  void Open() override;
  void Close() override;
  bool IsOpen() const override { return handle_ != nullptr && connected_; }

  const std::string& ServerInfo() const { return serverInfo_; }
  const std::string& HostInfo() const { return hostInfo_; }

 private:
  std::map<std::string, std::string> params_;
  std::string databaseName_;
  MYSQL* handle_ = nullptr;
  bool connected_ = false;
  std::string serverInfo_;
  std::string hostInfo_;
};
