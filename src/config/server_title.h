// The server title file "servertitle.dat" in the configuration folder: the
// first line is the server's title, each further line "key = value" a pair.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct TServerTitle {
  std::string Title;  // at most 255 characters
  // In file order; keys and values trimmed, at most 255 characters each.
  std::vector<std::pair<std::string, std::string>> Pairs;
};

TServerTitle& ServerTitle();

// Reads the file when it can be opened; a missing one changes nothing.
void ReadServerTitleFile();

// Applies a title file's text: a non-empty first line becomes the title; the
// pairs are replaced by those of the further lines (comments stripped; lines
// without `=` skipped; further `=` belong to the value).
void ApplyServerTitleText(std::string_view text);
