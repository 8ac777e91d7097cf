#pragma once
// The one quoting helper for values written into filter and SQL texts.

#include <string>
#include <string_view>

namespace data {

// Encloses the value in the quote character and doubles that character inside it, so any text
// (an apostrophe in a title, a typed double quote) reads back as exactly that text:
// QuoteValue("O'Neill") == "'O''Neill'", QuoteValue("Bab\"a", '"') == "\"Bab\"\"a\"".
std::string QuoteValue(std::string_view value, char quote = '\'');

} // namespace data
