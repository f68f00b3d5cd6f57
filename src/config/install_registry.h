// The install-info registry of the suite below HKEY_LOCAL_MACHINE, and its
// move from the old key names ("\Software\Tolva", "\Software\NWEBMAIL") to
// the current ones below "\Software\Nivalis".
#pragma once

inline constexpr const char* kNivalisKey = "Software\\Nivalis";
inline constexpr const char* kServerInfoKey = "Software\\Nivalis\\Tolva Mail Server";
inline constexpr const char* kWebMailInfoKey = "Software\\Nivalis\\Nivalis Web Mail";
inline constexpr const char* kOldServerInfoKey = "Software\\Tolva";
inline constexpr const char* kOldWebMailInfoKey = "Software\\NWEBMAIL";

// Copies the old keys' values to the new keys unless "\Software\Nivalis"
// exists already; with deleteOld the old keys are deleted afterwards. Any
// error ends the copy silently where it happened.
void MigrateInstallRegistry(bool deleteOld);
