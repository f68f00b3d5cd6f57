// Firebird and InterBase through the client library loaded at run time:
// attach to a database, locally (embedded) or on a server.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "database/connection_object.h"
#include "database/database_error.h"

// An error of the engine, from its status vector.
class EFBLError : public EDatabaseError {
 public:
  EFBLError(const std::string& message, int32_t sqlCode, intptr_t engineCode)
      : EDatabaseError(message), sqlCode_(sqlCode), engineCode_(engineCode) {}
  int32_t SQLCode() const { return sqlCode_; }
  intptr_t EngineCode() const { return engineCode_; }

 private:
  int32_t sqlCode_;
  intptr_t engineCode_;
};

enum class TFBLProtocol { ptLocal, ptTcpIp, ptNetBeui };

class TFBLDatabase : public TConnectionObject {
 public:
  TFBLDatabase() = default;
  // Detaches; never throws.
  ~TFBLDatabase() override;
  TFBLDatabase(const TFBLDatabase&) = delete;
  TFBLDatabase& operator=(const TFBLDatabase&) = delete;

  std::string User, Password, Role, Host, DBFile, CharacterSet;
  int TcpPort = 3050;
  TFBLProtocol Protocol = TFBLProtocol::ptLocal;
  bool AutoSetClientDialect = true;

  // The name that the engine is given for this database.
  std::string DatabaseName() const;
  // The database parameter buffer: version, user, password, role, character
  // set, each a code, a length byte and the bytes. A value too long for its
  // length byte is refused.
  std::vector<char> ParameterBuffer() const;

  void Open() override;   // attach
  void Close() override;  // detach
  bool IsOpen() const override { return handle_ != 0; }

  int SQLDialect() const { return sqlDialect_; }
  // Below 1, or above the database's dialect while attached: refused.
  void SetSQLDialect(int dialect);
  int DatabaseDialect() const { return databaseDialect_; }

  // 5, 6 or 7 by the optional entry points the library offers; 0 before it
  // is loaded.
  static int ClientLevel();

 private:
  uint32_t handle_ = 0;
  int sqlDialect_ = 1;
  int databaseDialect_ = 1;
};

// The class the connection layer creates for its Firebird driver.
class TFireBirdDatabase : public TFBLDatabase {};
