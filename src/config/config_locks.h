// The configuration store's lock table: eight recursive locks that live for
// the whole process. Entry 0 guards the settings record and the domain table,
// entry 5 the calls into the suite's database library.
#pragma once

inline constexpr int kConfigLockCount = 8;
inline constexpr int kSettingsLock = 0;
inline constexpr int kDatabaseLock = 5;

// Entering or leaving an entry outside 0..7 does nothing.
void EnterConfigLock(int index);
void LeaveConfigLock(int index);

// Holds one entry for its lifetime.
class ConfigLockGuard {
 public:
  explicit ConfigLockGuard(int index) : index_(index) { EnterConfigLock(index_); }
  ~ConfigLockGuard() { LeaveConfigLock(index_); }
  ConfigLockGuard(const ConfigLockGuard&) = delete;
  ConfigLockGuard& operator=(const ConfigLockGuard&) = delete;

 private:
  int index_;
};
