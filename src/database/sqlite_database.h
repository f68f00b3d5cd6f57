// SQLite through the client library loaded at run time: one database file.
#pragma once

#include <string>

#include "database/connection_object.h"

struct sqlite3;

class TSQLiteDatabase : public TConnectionObject {
 public:
  // Loads the client library on first use (it stays loaded).
  TSQLiteDatabase();
  ~TSQLiteDatabase() override;
  TSQLiteDatabase(const TSQLiteDatabase&) = delete;
  TSQLiteDatabase& operator=(const TSQLiteDatabase&) = delete;

  // The file's path in the ANSI code page; a relative one is taken below the
  // running program's folder.
  void SetFileName(const std::string& path) { fileName_ = path; }
  const std::string& FileName() const { return fileName_; }

  void Open() override;
  // Rolls back an open transaction first.
  void Close() override;
  bool IsOpen() const override { return handle_ != nullptr; }

  // Runs statements; raises ESQLiteException when one fails.
  void Execute(const std::string& sql);

  // The file that Open uses (ANSI, host form).
  static std::string ResolvePath(const std::string& path);

 private:
  std::string fileName_;
  sqlite3* handle_ = nullptr;
};
