#include "platform/data/FilterLiteral.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace data::filter_detail {
namespace {

std::string_view Trim(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool AllDigits(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

// An unsigned decimal of at most nine digits (day, month, year parts).
std::optional<int> SmallNumber(std::string_view text, std::size_t minDigits, std::size_t maxDigits) {
    if (text.size() < minDigits || text.size() > maxDigits || !AllDigits(text)) return std::nullopt;
    int value = 0;
    for (char c : text)
        value = value * 10 + (c - '0');
    return value;
}

} // namespace

std::optional<std::int64_t> ReadInteger(std::string_view text) {
    text = Trim(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty() || !AllDigits(text.front() == '-' ? text.substr(1) : text)) return std::nullopt;
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::optional<bool> ReadBoolean(std::string_view text) {
    text = Trim(text);
    if (EqualsIgnoringAsciiCase(text, "True")) return true;
    if (EqualsIgnoringAsciiCase(text, "False")) return false;
    return std::nullopt;
}

std::optional<double> ReadFloat(std::string_view text) {
    std::string s(Trim(text));
    if (!s.empty() && s.front() == '+') s.erase(0, 1);
    for (char& c : s)
        if (c == ',') c = '.';
    // Plain decimal notation only: sign, digits, one decimal point.
    const std::string_view body =
        !s.empty() && s.front() == '-' ? std::string_view(s).substr(1) : std::string_view(s);
    const std::size_t point = body.find('.');
    const std::string_view whole = body.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : body.substr(point + 1);
    if (whole.empty() && fraction.empty()) return std::nullopt;
    if ((!whole.empty() && !AllDigits(whole)) || (!fraction.empty() && !AllDigits(fraction)))
        return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (error != std::errc() || end != s.data() + s.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<std::int64_t> ReadCurrencyUnits(std::string_view text) {
    text = Trim(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    const std::size_t point = text.find_first_of(".,");
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    if (whole.empty() && fraction.empty()) return std::nullopt;
    if ((!whole.empty() && !AllDigits(whole)) || (!fraction.empty() && !AllDigits(fraction)) ||
        fraction.size() > 4)
        return std::nullopt;
    constexpr std::int64_t kLimit = std::numeric_limits<std::int64_t>::max() / 10000 - 1;
    std::int64_t units = 0;
    for (char c : whole) {
        units = units * 10 + (c - '0');
        if (units > kLimit) return std::nullopt;
    }
    std::int64_t part = 0;
    for (std::size_t k = 0; k < 4; ++k)
        part = part * 10 + (k < fraction.size() ? fraction[k] - '0' : 0);
    units = units * 10000 + part;
    return negative ? -units : units;
}

std::optional<std::string> ReadShortDateAsIso(std::string_view text) {
    text = Trim(text);
    const std::size_t dot1 = text.find('.');
    const std::size_t dot2 = dot1 == std::string_view::npos ? dot1 : text.find('.', dot1 + 1);
    if (dot2 == std::string_view::npos) return std::nullopt;
    const auto day = SmallNumber(text.substr(0, dot1), 1, 2);
    const auto month = SmallNumber(text.substr(dot1 + 1, dot2 - dot1 - 1), 1, 2);
    const auto year = SmallNumber(text.substr(dot2 + 1), 4, 4);
    if (!day || !month || !year || *year < 1 || *month < 1 || *month > 12 || *day < 1) return std::nullopt;
    const bool leap = (*year % 4 == 0 && *year % 100 != 0) || *year % 400 == 0;
    constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const int daysInMonth = kDays[*month - 1] + (*month == 2 && leap ? 1 : 0);
    if (*day > daysInMonth) return std::nullopt;
    char iso[16];
    std::snprintf(iso, sizeof iso, "%04d-%02d-%02d", *year, *month, *day);
    return std::string(iso);
}

} // namespace data::filter_detail
