// The ODBC calls this layer makes, declared from the ODBC interface itself so
// that the same code builds against unixODBC and the Windows driver manager.
// Only the unsuffixed (ANSI) names are used: some driver managers lack the
// "A" forms.
#pragma once

#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define SETUP_ODBC_CALL __stdcall
#else
#define SETUP_ODBC_CALL
#endif

namespace odbc {

using Handle = void*;
using Return = int16_t;
using SmallInt = int16_t;
using USmallInt = uint16_t;
using Integer = int32_t;
using Char = unsigned char;

constexpr SmallInt kHandleEnv = 1;
constexpr SmallInt kHandleDbc = 2;
constexpr SmallInt kHandleStmt = 3;

constexpr Return kSuccess = 0;
constexpr Return kSuccessWithInfo = 1;
constexpr Return kError = -1;
constexpr Return kInvalidHandle = -2;
constexpr Return kNoData = 100;
constexpr SmallInt kNts = -3;

constexpr Integer kAttrOdbcVersion = 200;
constexpr uintptr_t kOvOdbc3 = 3;
constexpr Integer kAttrConnectionPooling = 201;
constexpr uintptr_t kCpOff = 0;
constexpr uintptr_t kCpOnePerDriver = 1;
constexpr uintptr_t kCpOnePerHenv = 2;
constexpr Integer kAttrOdbcCursors = 110;
constexpr uintptr_t kCurUseIfNeeded = 0;
constexpr uintptr_t kCurUseOdbc = 1;
constexpr uintptr_t kCurUseDriver = 2;
constexpr Integer kAttrTxnIsolation = 108;
constexpr uintptr_t kTxnReadCommitted = 2;
constexpr USmallInt kDriverNoPrompt = 0;
constexpr USmallInt kApiDescribeParam = 58;

}  // namespace odbc

extern "C" {
odbc::Return SETUP_ODBC_CALL SQLAllocHandle(odbc::SmallInt type, odbc::Handle input,
                                            odbc::Handle* output);
odbc::Return SETUP_ODBC_CALL SQLFreeHandle(odbc::SmallInt type, odbc::Handle handle);
odbc::Return SETUP_ODBC_CALL SQLSetEnvAttr(odbc::Handle env, odbc::Integer attribute, void* value,
                                           odbc::Integer length);
odbc::Return SETUP_ODBC_CALL SQLGetEnvAttr(odbc::Handle env, odbc::Integer attribute, void* value,
                                           odbc::Integer length, odbc::Integer* got);
odbc::Return SETUP_ODBC_CALL SQLSetConnectAttr(odbc::Handle dbc, odbc::Integer attribute,
                                               void* value, odbc::Integer length);
odbc::Return SETUP_ODBC_CALL SQLGetConnectAttr(odbc::Handle dbc, odbc::Integer attribute,
                                               void* value, odbc::Integer length,
                                               odbc::Integer* got);
odbc::Return SETUP_ODBC_CALL SQLConnect(odbc::Handle dbc, odbc::Char* source,
                                        odbc::SmallInt sourceLength, odbc::Char* user,
                                        odbc::SmallInt userLength, odbc::Char* password,
                                        odbc::SmallInt passwordLength);
odbc::Return SETUP_ODBC_CALL SQLDriverConnect(odbc::Handle dbc, void* window, odbc::Char* in,
                                              odbc::SmallInt inLength, odbc::Char* out,
                                              odbc::SmallInt outSize, odbc::SmallInt* outLength,
                                              odbc::USmallInt completion);
odbc::Return SETUP_ODBC_CALL SQLDisconnect(odbc::Handle dbc);
odbc::Return SETUP_ODBC_CALL SQLGetDiagRec(odbc::SmallInt type, odbc::Handle handle,
                                           odbc::SmallInt record, odbc::Char* state,
                                           odbc::Integer* nativeError, odbc::Char* message,
                                           odbc::SmallInt messageSize,
                                           odbc::SmallInt* messageLength);
odbc::Return SETUP_ODBC_CALL SQLGetFunctions(odbc::Handle dbc, odbc::USmallInt function,
                                             odbc::USmallInt* supported);
}
