// The substitution boxes of CAST-256 (the four of CAST-128).
#pragma once

#include <cstdint>

extern const uint32_t kCast256S1[256];
extern const uint32_t kCast256S2[256];
extern const uint32_t kCast256S3[256];
extern const uint32_t kCast256S4[256];
