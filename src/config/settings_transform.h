// The byte transform of the suite's stored records ("settings.cfg", account
// records): each byte is combined with a 16-byte key by exclusive-or, the key
// position running on from a start offset. Applying it twice restores the block.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

inline constexpr std::array<uint8_t, 16> SettingsFileKey = {
    0x3c, 0x9a, 0x51, 0xe0, 0x7b, 0x2d, 0x8f, 0x46, 0xa1, 0xc3, 0x07, 0x5e, 0x92, 0xb4, 0xd8, 0x6f};

// Byte i of the block is combined with key byte (i + start) mod 16.
void TransformSettingsBytes(void* block, size_t length, size_t start);
