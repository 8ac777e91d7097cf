#pragma once
// Czech-aware text operations on UTF-8 strings: ordering, letter case, LIKE matching and widths
// counted in characters. Invalid UTF-8 never crashes; an ill-formed byte sequence counts as one
// character that equals only itself.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace sys {

// Orders two texts by the Czech collation ("Cibulka" < "Čapek" < "Dvořák", "ch" after "h"; case
// and accents decide only between otherwise equal texts). Returns <0, 0 or >0. Thread-safe.
int CompareCzech(std::string_view a, std::string_view b);

// Appends the sort key of a text under the same Czech collation: comparing two keys byte by byte
// (memcmp, shorter first on a common prefix) orders the texts exactly as CompareCzech does. Sorting
// many texts by key is much faster than comparing them pairwise through the collator.
void AppendSortKeyCzech(std::string_view text, std::string& out);

// The sort keys of many texts (each as AppendSortKeyCzech makes it), in their order. A long list is
// shared out among several threads, so the keys of a whole table's column are ready in a fraction
// of the time one thread takes.
std::vector<std::string> SortKeysCzech(const std::vector<std::string_view>& texts);

// Upper / lower case by the Czech rules ("čapek" <-> "ČAPEK").
std::string UpperCzech(std::string_view text);
std::string LowerCzech(std::string_view text);

// Equal when letter case is ignored ("Řehoř" == "ŘEHOŘ"); accents still count ("Čapek" != "Capek").
bool SameTextCzech(std::string_view a, std::string_view b);

// SQL LIKE: "%" matches any run of characters (also none), "_" exactly one character; letter case
// is ignored as in SameTextCzech, accents count. The whole text must match. Allocates nothing.
bool LikeCzech(std::string_view text, std::string_view pattern);

// Number of characters (code points) in a UTF-8 text.
std::size_t Utf8Length(std::string_view text);

// The first `maxChars` characters of a UTF-8 text (the whole text when it is shorter); never cuts a
// character in half.
std::string_view TruncateUtf8(std::string_view text, std::size_t maxChars);

} // namespace sys
