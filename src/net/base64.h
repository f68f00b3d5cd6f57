// Base64 with the standard alphabet and "=" padding (RFC 4648).
#pragma once

#include <string>
#include <string_view>

std::string Base64Encode(std::string_view data);
