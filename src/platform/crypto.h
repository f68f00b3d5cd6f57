// Message digests from the system's own cryptography: BCrypt on Windows,
// libcrypto on Linux.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace platform {

using Sha1Digest = std::array<uint8_t, 20>;

// The SHA-1 digest of the bytes. Throws std::runtime_error when the system
// cannot provide the algorithm.
Sha1Digest Sha1(std::string_view data);

}  // namespace platform
