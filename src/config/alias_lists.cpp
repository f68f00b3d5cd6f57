#include "config/alias_lists.h"

#include <algorithm>

#include "support/text.h"

std::vector<std::string> SplitAliasList(std::string_view list) {
  std::vector<std::string> items;
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(';', start);
    if (end == std::string_view::npos) end = list.size();
    std::string item = LowerCase(Trim(list.substr(start, end - start)));
    if (!item.empty()) items.push_back(std::move(item));
    start = end + 1;
  }
  return items;
}

std::string FirstAlias(std::string_view list) {
  std::vector<std::string> items = SplitAliasList(list);
  return items.empty() ? std::string() : items.front();
}

bool IsAliasPattern(std::string_view item) {
  if (item.size() < 3 || item.front() != '[' || item.back() != ']') return false;
  std::string_view mask = item.substr(1, item.size() - 2);
  return mask.find_first_of("[]") == std::string_view::npos;
}

bool AliasPatternMatches(std::string_view pattern, std::string_view alias) {
  if (!IsAliasPattern(pattern)) return false;
  std::string mask = LowerCase(pattern.substr(1, pattern.size() - 2));
  std::string text = LowerCase(alias);
  // Greedy matching that goes back only to the last `*`: time proportional
  // to the product of the lengths at worst, never exponential.
  size_t m = 0, t = 0;
  size_t starMask = std::string::npos, starText = 0;
  while (t < text.size()) {
    if (m < mask.size() && mask[m] == '*') {
      starMask = m++;
      starText = t;
    } else if (m < mask.size() && (mask[m] == '?' || mask[m] == text[t])) {
      ++m;
      ++t;
    } else if (starMask != std::string::npos) {
      m = starMask + 1;
      t = ++starText;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*')
    ++m;
  return m == mask.size();
}

bool AliasListsMatch(std::string_view aliases, std::string_view stored, bool allowPatterns) {
  std::vector<std::string> wanted = SplitAliasList(aliases);
  if (wanted.empty()) return false;
  for (const std::string& item : SplitAliasList(stored)) {
    if (std::find(wanted.begin(), wanted.end(), item) != wanted.end()) return true;
    if (allowPatterns && IsAliasPattern(item)) {
      for (const std::string& alias : wanted)
        if (AliasPatternMatches(item, alias)) return true;
    }
  }
  return false;
}
