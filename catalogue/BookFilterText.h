#pragma once
// What the extended book filter holds, as plain data: its seventeen criteria texts, eight
// exact-match flags and condition mode; the SQL lines it turns into, and the record line that a
// saved filter file holds. No Qt, so the file reader can be fuzzed and tested alone.

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace catalogue {

inline constexpr std::size_t kFilterTexts = 17; // 8 pick lists, keywords, 8 range bounds
inline constexpr std::size_t kFilterFlags = 8;  // exact match of the 8 pick lists
inline constexpr std::size_t kRecordItems = 26;

struct BookFilter {
    // 0..7 the pick lists (Kod, Nazev, Autor, Kategorie, Umisteni, Ilustrator, Nakladatelstvi,
    // Signatura), 8 the keywords, 9..16 the range bounds (price, year, pages, age; from, to).
    std::array<std::string, kFilterTexts> Texts;
    std::array<bool, kFilterFlags> Exact{};
    bool AllConditions = true; // AND; false: OR
};

// The books fields of the eight pick lists, in the order of BookFilter::Texts.
extern const std::array<const char*, kFilterFlags> kPickFields;

// The SQL lines of the books query for a filter: "SELECT * FROM Knihy", one line per condition,
// then `orderBy` when it is not empty. Every value is quoted; with all conditions required the
// keyword alternatives stand in parentheses so that they bind only with each other.
std::vector<std::string> FilterSqlLines(const BookFilter& filter, const std::string& orderBy);

// The keyword text split into words at blanks and commas (a word beginning with a double quote
// runs to the next double quote), empty words dropped, in ascending order.
std::vector<std::string> FilterKeywords(std::string_view text);

// The record line of a saved filter: 26 comma-terminated items, blanks written as "_". An item
// holding a comma, a double quote or a control character stands in double quotes (inner quotes
// doubled), so it reads back as it was.
std::string FilterRecordLine(const BookFilter& filter);
// Reads a record line (the text of a saved filter file). Missing items are empty; a flag is on
// only for "1"; the mode is "all conditions" only for "1".
BookFilter ParseFilterRecordLine(std::string_view text);

// Whether a typed name can be the name of a saved filter file: not empty, no path separator, not
// "." or "..", no control characters or characters other systems refuse in file names, and not too long.
bool IsValidFilterName(std::string_view name);

} // namespace catalogue
