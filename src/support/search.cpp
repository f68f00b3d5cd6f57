#include "support/search.h"

#include <vector>

#include "platform/codepage.h"
#include "support/text.h"

void ReplaceText(std::string& text, std::string_view from, std::string_view to, bool caseSensitive,
                 bool replaceAll) {
  if (from.empty()) return;
  std::string haystack = caseSensitive ? text : platform::AnsiUpperCase(text);
  std::string needle = caseSensitive ? std::string(from) : platform::AnsiUpperCase(from);
  std::string result;
  size_t position = 0;
  while (position <= text.size()) {
    size_t found = haystack.find(needle, position);
    if (found == std::string::npos) break;
    result.append(text, position, found - position);
    result.append(to);
    position = found + needle.size();
    if (!replaceAll) break;
  }
  if (position == 0 && result.empty()) return;  // nothing found
  result.append(text, position, std::string::npos);
  text = std::move(result);
}

int FindText(std::string_view pattern, std::string_view text, int start, int end, bool wholeWord) {
  if (pattern.empty() || text.empty()) return 0;
  const long long length = static_cast<long long>(text.size());
  long long s = start < 1 ? 1 : start;
  long long e = end <= 0 || end > length ? length : end;
  if (e < s) return 0;
  const long long size = static_cast<long long>(pattern.size());
  for (long long i = s; i <= e; ++i) {
    if (text[static_cast<size_t>(i - 1)] != pattern[0]) continue;
    if (i + size - 1 > length) return 0;
    if (text.substr(static_cast<size_t>(i - 1), pattern.size()) != pattern) continue;
    if (wholeWord) {
      if (i > s && IsAsciiLetterOrDigit(text[static_cast<size_t>(i - 2)])) continue;
      long long last = i + size - 1;
      if (last < e && IsAsciiLetterOrDigit(text[static_cast<size_t>(last)])) continue;
    }
    return static_cast<int>(i);
  }
  return 0;
}

bool WildcardMatch(std::string_view subject, std::string_view pattern) {
  subject = subject.substr(0, kShortStringLength);
  pattern = pattern.substr(0, kShortStringLength);
  if (pattern.find_first_of("*?") == std::string_view::npos) return subject == pattern;

  // match[i][j]: subject from i matches pattern from j. Filled from the ends
  // so that each cell is computed once, instead of backtracking per star.
  const size_t n = subject.size(), m = pattern.size();
  std::vector<char> match((n + 1) * (m + 1), 0);
  auto at = [&](size_t i, size_t j) -> char& { return match[i * (m + 1) + j]; };
  auto lone_star = [&](size_t j) { return j + 1 == m && pattern[j] == '*'; };
  for (size_t i = n + 1; i-- > 0;) {
    for (size_t j = m + 1; j-- > 0;) {
      bool result;
      if (lone_star(j)) {
        result = true;  // a final lone star takes whatever is left
      } else if (i == n) {
        result = j == m;
      } else if (j == m) {
        result = false;
      } else if (pattern[j] == '*') {
        result = at(i, j + 1) || at(i + 1, j);
      } else {
        result = (pattern[j] == '?' || pattern[j] == subject[i]) && at(i + 1, j + 1);
      }
      at(i, j) = result;
    }
  }
  return at(0, 0);
}
