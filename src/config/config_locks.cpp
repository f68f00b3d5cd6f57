#include "config/config_locks.h"

#include <array>
#include <mutex>

namespace {

// Created on first use and never destroyed, so that code running while the
// process ends still finds its locks.
std::array<std::recursive_mutex, kConfigLockCount>& Locks() {
  static auto* locks = new std::array<std::recursive_mutex, kConfigLockCount>();
  return *locks;
}

// Made at start-up, before any second thread can ask for it.
[[maybe_unused]] const bool locksCreated = (Locks(), true);

}  // namespace

void EnterConfigLock(int index) {
  if (index >= 0 && index < kConfigLockCount) Locks()[static_cast<size_t>(index)].lock();
}

void LeaveConfigLock(int index) {
  if (index >= 0 && index < kConfigLockCount) Locks()[static_cast<size_t>(index)].unlock();
}
