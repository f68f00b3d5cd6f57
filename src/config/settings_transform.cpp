#include "config/settings_transform.h"

void TransformSettingsBytes(void* block, size_t length, size_t start) {
  auto* bytes = static_cast<uint8_t*>(block);
  for (size_t i = 0; i < length; ++i)
    bytes[i] ^= SettingsFileKey[(i + start) % SettingsFileKey.size()];
}
