// The services' start types as a run found them, kept in the product key
// while the run has them changed, so that the run after one ended by force
// (a kill, a power cut) still gives the administrator's back.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "system/server_table.h"

class TAdvancedRegistry;

using TStartTypes = std::array<int32_t, kServerCount>;

// What an earlier run kept and did not give back; nothing when there is none
// or it cannot be read.
std::optional<TStartTypes> ReadKeptStartTypes(TAdvancedRegistry& productKey);
// False when the value could not be written.
bool KeepStartTypes(TAdvancedRegistry& productKey, const TStartTypes& types);
void ForgetStartTypes(TAdvancedRegistry& productKey);
