#pragma once
// Text forms of field values, as the program reads and writes them: booleans "True"/"False",
// dates in the short date format "d.M.yyyy" (with " H:mm:ss" when a time is held), numbers with
// the decimal comma. Parsers return false for a text they cannot read.

#include "platform/data/Value.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace data {

std::string FormatInteger(std::int64_t value);
std::optional<std::int64_t> ParseInteger(std::string_view text);

std::string FormatFloat(double value);
std::optional<double> ParseFloat(std::string_view text);

std::string FormatCurrency(TCurrency value);
std::optional<TCurrency> ParseCurrency(std::string_view text);

std::optional<bool> ParseBoolean(std::string_view text);

// Short date ("1.9.2023"); the time part is written only when the value has one.
std::string FormatDate(TDateTime value);
std::string FormatDateTime(TDateTime value);
std::optional<TDateTime> ParseDate(std::string_view text);     // date only
std::optional<TDateTime> ParseDateTime(std::string_view text); // date with optional time

// ISO forms used inside the table files: "YYYY-MM-DD" or "YYYY-MM-DD HH:MM:SS".
std::string FormatIsoDateTime(TDateTime value);
std::optional<TDateTime> ParseIsoDateTime(std::string_view text);

// Calendar arithmetic on the day count of TDateTime.
TDateTime EncodeDate(int year, int month, int day);
void DecodeDate(TDateTime value, int& year, int& month, int& day);
bool IsValidDate(int year, int month, int day);

} // namespace data
