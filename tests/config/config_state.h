// Test helpers for the configuration store: a clean process-wide state for
// each test, and stored settings files written and read back.
#pragma once

#include <string>

#include "config/settings_record.h"

// Every process-wide value of the store back to its start, the database
// library released.
void ResetConfigStore();

// The record as "settings.cfg" holds it, the first `length` bytes of it.
void PutSettingsFile(const std::string& path, const SettingsRecord& record,
                     size_t length = kSettingsRecordSize);
// The plain record of a stored file (shorter files leave zeros behind).
SettingsRecord GetSettingsFile(const std::string& path);

// Points the store at install folder + "config\" below a test folder.
void UseInstallFolder(const std::string& install);
