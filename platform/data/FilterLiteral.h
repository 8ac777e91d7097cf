#pragma once
// Internal to the filter and local-SQL translation: a literal's text read as the type of the
// column it is compared with.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace data::filter_detail {

// Each returns nothing when the text is not a value of that type. Blanks around it are ignored.
std::optional<std::int64_t> ReadInteger(std::string_view text);       // "-12"
std::optional<bool> ReadBoolean(std::string_view text);               // "True" / "False", any case
std::optional<double> ReadFloat(std::string_view text);               // "12.5" or "12,5"
std::optional<std::int64_t> ReadCurrencyUnits(std::string_view text); // "12,50" -> 125000
std::optional<std::string> ReadShortDateAsIso(std::string_view text); // "1.9.2023" -> "2023-09-01"

} // namespace data::filter_detail
