// EODBC: an ODBC call that failed, with the driver manager's diagnostic
// records.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "database/database_error.h"
#include "database/odbc_api.h"

struct TODBCDiagnostic {
  std::string State;  // the five-character SQLSTATE
  int32_t NativeError = 0;
  std::string Message;
};

class EODBC : public EDatabaseError {
 public:
  explicit EODBC(std::vector<TODBCDiagnostic> records);
  // The records of a failing call on `handle` (of `handleType`).
  static EODBC FromHandle(odbc::SmallInt handleType, odbc::Handle handle, odbc::Return result);

  const std::vector<TODBCDiagnostic>& Records() const { return records_; }
  size_t Index() const { return index_; }
  void SetIndex(size_t index) { index_ = index < records_.size() ? index : index_; }
  // A connection exception (SQLSTATE class "08"): the handle cannot be used again.
  bool IsConnectionException() const;

 private:
  std::vector<TODBCDiagnostic> records_;
  size_t index_ = 0;
};
