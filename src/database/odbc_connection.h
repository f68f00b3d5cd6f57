// ODBC through the system's driver manager: the process's one environment
// and a connection to a data source.
#pragma once

#include <cstdint>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "database/connection_object.h"
#include "database/odbc_api.h"
#include "database/odbc_error.h"

class THdbc;

enum class TConnectionPooling { cpDefault, cpOff, cpOnePerDriver, cpOnePerEnv };

// The process's ODBC environment, made on first use and freed at program end.
class THenv {
 public:
  static THenv& Instance();
  // Every allocation and release of an environment or connection handle.
  static std::mutex& HandleLock();

  // Takes effect when the environment is allocated; cpDefault leaves the
  // process's setting alone.
  void SetConnectionPooling(TConnectionPooling pooling) { pooling_ = pooling; }
  TConnectionPooling ConnectionPooling() const { return pooling_; }
  // Allocates the environment when there is none; raises EODBC.
  odbc::Handle Handle();

  void Register(THdbc* connection);
  void Unregister(THdbc* connection);

  ~THenv();

 private:
  THenv() = default;
  odbc::Handle handle_ = nullptr;
  TConnectionPooling pooling_ = TConnectionPooling::cpDefault;
  std::set<THdbc*> connections_;
};

class THdbc : public TConnectionObject {
 public:
  THdbc() = default;
  // Disconnects and frees the handle; never throws.
  ~THdbc() override;
  THdbc(const THdbc&) = delete;
  THdbc& operator=(const THdbc&) = delete;

  std::string DataSource, UserName, Password, DriverName;
  // name=value lines added to a driver connection string.
  std::vector<std::string> Attributes;
  uintptr_t IsolationLevel = odbc::kTxnReadCommitted;
  uintptr_t CursorLib = odbc::kCurUseDriver;
  uint16_t InfoPrompt = odbc::kDriverNoPrompt;

  // SQLDriverConnect's string; empty when SQLConnect is used.
  std::string DriverConnectString() const;

  void Open() override { Connect(); }
  void Close() override { Disconnect(); }
  bool IsOpen() const override { return connected_; }
  void Connect();
  void Disconnect();

  bool DescribeParamSupported() const { return describeParam_; }
  // The handle, allocated on first use; null after a connection exception
  // released it.
  odbc::Handle Handle();

 private:
  // Raises EODBC for a result other than success; a connection exception
  // releases the handle first.
  void Check(odbc::Return result);
  void ApplyCursorLibrary();
  void ReleaseHandle();

  odbc::Handle handle_ = nullptr;
  bool connected_ = false;
  bool describeParam_ = false;
};
