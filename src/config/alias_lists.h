// Alias lists of accounts: aliases separated by `;`, compared without regard
// to ASCII letter case, blanks around each alias ignored.
//
// A stored alias that begins with `[` may be a pattern, which matches many
// aliases: `[`, a mask, `]`, nothing after it. In the mask `*` stands for any
// run of characters (none included) and `?` for exactly one; every other
// character stands for itself. A mask is valid when it is not empty and holds
// no further `[` or `]`. So "[*]" catches every alias of its domain,
// "[sales-*]" every alias that begins with "sales-", "[??]" every two-letter
// one. An item that begins with `[` but is not a valid pattern is an
// ordinary alias.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Lower-cased, trimmed pieces; empty pieces are dropped.
std::vector<std::string> SplitAliasList(std::string_view list);

// The first non-empty alias of a list (lower-cased and trimmed).
std::string FirstAlias(std::string_view list);

// Whether the item (lower-cased, trimmed) is a valid pattern.
bool IsAliasPattern(std::string_view item);
// Whether a valid pattern matches an alias; both in any letter case.
bool AliasPatternMatches(std::string_view pattern, std::string_view alias);

// True when an item of `aliases` equals an item of `stored`; with
// allowPatterns, also when a pattern item of `stored` matches one of
// `aliases`. Patterns in `aliases` are always taken literally.
bool AliasListsMatch(std::string_view aliases, std::string_view stored, bool allowPatterns);
