// The codes that "LastErr" reports after a refused save.
#pragma once

#include <cstdint>

inline constexpr int32_t kErrNone = 0;
inline constexpr int32_t kErrNoName = 1;      // no domain or account given with "New"
inline constexpr int32_t kErrBadName = 2;     // too long, or blanks, ";" or "," in it
inline constexpr int32_t kErrExists = 3;      // the domain or account exists already
inline constexpr int32_t kErrNotWritten = 4;  // the suite's files could not be written
inline constexpr int32_t kErrNoDomain = 5;    // the account's domain does not exist
inline constexpr int32_t kErrEmptyAlias = 6;  // the account has no alias
