#include "database/odbc_error.h"

namespace {

std::string FirstMessage(const std::vector<TODBCDiagnostic>& records) {
  return records.empty() ? std::string() : records.front().Message;
}

}  // namespace

EODBC::EODBC(std::vector<TODBCDiagnostic> records)
    : EDatabaseError(FirstMessage(records)), records_(std::move(records)) {}

EODBC EODBC::FromHandle(odbc::SmallInt handleType, odbc::Handle handle, odbc::Return result) {
  std::vector<TODBCDiagnostic> records;
  switch (result) {
    case odbc::kError: {
      odbc::Return got = odbc::kSuccess;
      for (odbc::SmallInt record = 1; record < 1000; ++record) {
        odbc::Char state[6] = {};
        odbc::Char message[256] = {};
        odbc::Integer native = 0;
        odbc::SmallInt length = 0;
        got = SQLGetDiagRec(handleType, handle, record, state, &native, message, sizeof message,
                            &length);
        if (got != odbc::kSuccess && got != odbc::kSuccessWithInfo) break;
        message[sizeof message - 1] = 0;
        records.push_back(
            {reinterpret_cast<char*>(state), native, reinterpret_cast<char*>(message)});
      }
      if (records.empty() || got != odbc::kNoData)
        records.push_back({"", 0, "Unable to Retrieve ODBC Error"});
      break;
    }
    case odbc::kInvalidHandle:
      records.push_back({"", 0, "Invalid ODBC Handle"});
      break;
    case odbc::kNoData:
      records.push_back({"", 0, "No Data Found"});
      break;
    default:
      records.push_back({"", 0, "ODBC Return Code " + std::to_string(result)});
      break;
  }
  return EODBC(std::move(records));
}

bool EODBC::IsConnectionException() const {
  for (const TODBCDiagnostic& record : records_)
    if (record.State.rfind("08", 0) == 0) return true;
  return false;
}
