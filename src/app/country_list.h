// The entries of the country box on the user-details page: country and
// territory names in English, in alphabetical order, then "Other".
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

constexpr size_t kCountryCount = 246;
constexpr const char* kOtherCountry = "Other";

const std::array<const char*, kCountryCount>& CountryNames();
// The 246 names followed by "Other".
std::vector<std::string> CountryListItems();
