#include "app/kept_start_types.h"

#include <charconv>
#include <string>

#include "support/advanced_registry.h"

namespace {

constexpr const char* kValueName = "SetupStartTypes";

}  // namespace

std::optional<TStartTypes> ReadKeptStartTypes(TAdvancedRegistry& productKey) {
  std::string text;
  try {
    text = productKey.ReadStringValue(kValueName);
  } catch (...) {
    return std::nullopt;
  }
  if (text.empty()) return std::nullopt;
  TStartTypes types{};
  const char* at = text.data();
  const char* end = text.data() + text.size();
  for (size_t i = 0; i < types.size(); ++i) {
    if (i > 0) {
      if (at == end || *at != ',') return std::nullopt;
      ++at;
    }
    auto [next, error] = std::from_chars(at, end, types[i]);
    if (error != std::errc() || types[i] < -1 || types[i] > 4) return std::nullopt;
    at = next;
  }
  if (at != end) return std::nullopt;
  return types;
}

bool KeepStartTypes(TAdvancedRegistry& productKey, const TStartTypes& types) {
  std::string text;
  for (size_t i = 0; i < types.size(); ++i)
    text += (i ? "," : "") + std::to_string(types[i]);
  try {
    productKey.WriteStringValue(kValueName, text);
    return true;
  } catch (...) {
    return false;
  }
}

void ForgetStartTypes(TAdvancedRegistry& productKey) {
  productKey.DeleteValue(kValueName);
}
