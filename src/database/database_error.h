// The exceptions of the database connection classes. Each carries the
// message that the connection test shows to the administrator.
#pragma once

#include <stdexcept>
#include <string>

class EDatabaseError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class ESQLiteException : public EDatabaseError {
 public:
  using EDatabaseError::EDatabaseError;
};

class EMySQLError : public EDatabaseError {
 public:
  using EDatabaseError::EDatabaseError;
};
