#include "platform/data/ValueText.h"

#include <array>
#include <charconv>
#include <cstring>
#include <cmath>
#include <cstdio>
#include <limits>

namespace data {
namespace {

// Reads `len` decimal digits of `text` from `at` into `out`; false when one is no digit.
bool ReadDigits(std::string_view text, std::size_t at, std::size_t len, int& out)
{
    out = 0;
    for (std::size_t i = at; i < at + len; ++i) {
        const unsigned digit = static_cast<unsigned char>(text[i]) - unsigned{'0'};
        if (digit > 9)
            return false;
        out = out * 10 + static_cast<int>(digit);
    }
    return true;
}

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads 1..maxDigits digits at pos.
bool ReadNumber(std::string_view s, std::size_t& pos, int maxDigits, int& out, int& digits)
{
    out = 0;
    digits = 0;
    while (pos < s.size() && IsDigit(s[pos]) && digits < maxDigits) {
        out = out * 10 + (s[pos] - '0');
        ++pos;
        ++digits;
    }
    return digits > 0;
}

// Days from 1970-01-01 of a proleptic Gregorian date.
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, int& year, int& month, int& day)
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    year = static_cast<int>(y + (m <= 2));
    month = static_cast<int>(m);
    day = static_cast<int>(d);
}

constexpr std::int64_t kUnixDelta = 25569; // day number of 1.1.1970

// Splits a value into whole days and seconds of the day (rounded to the second).
void SplitDateTime(TDateTime value, std::int64_t& days, int& seconds)
{
    double whole = std::trunc(value.days);
    double frac = std::fabs(value.days - whole);
    long secs = std::lround(frac * 86400.0);
    if (secs >= 86400) { // rounding reached midnight: next day
        secs = 0;
        whole += value.days < 0 ? -1 : 1;
    }
    days = static_cast<std::int64_t>(whole);
    seconds = static_cast<int>(secs);
}

TDateTime Compose(TDateTime date, int h, int mi, int s)
{
    const double frac = (h * 3600 + mi * 60 + s) / 86400.0;
    return TDateTime{date.days < 0 ? date.days - frac : date.days + frac};
}

// " H:mm[:ss]" after a date; pos at the first character after the date.
bool ParseTimePart(std::string_view s, std::size_t pos, int& h, int& mi, int& sec)
{
    h = mi = sec = 0;
    if (pos == s.size())
        return true;
    if (s[pos] != ' ')
        return false;
    while (pos < s.size() && s[pos] == ' ')
        ++pos;
    int digits = 0;
    if (!ReadNumber(s, pos, 2, h, digits) || pos >= s.size() || s[pos] != ':')
        return false;
    ++pos;
    if (!ReadNumber(s, pos, 2, mi, digits) || digits != 2)
        return false;
    if (pos < s.size() && s[pos] == ':') {
        ++pos;
        if (!ReadNumber(s, pos, 2, sec, digits) || digits != 2)
            return false;
    }
    return pos == s.size() && h < 24 && mi < 60 && sec < 60;
}

// "d.M.yyyy" (also with leading zeros or a two-digit year); pos is left after the year.
bool ParseShortDatePart(std::string_view s, std::size_t& pos, TDateTime& out)
{
    int d = 0, m = 0, y = 0, digits = 0;
    if (!ReadNumber(s, pos, 2, d, digits) || pos >= s.size() || s[pos] != '.')
        return false;
    ++pos;
    if (!ReadNumber(s, pos, 2, m, digits) || pos >= s.size() || s[pos] != '.')
        return false;
    ++pos;
    if (!ReadNumber(s, pos, 4, y, digits) || (digits != 4 && digits != 2))
        return false;
    if (pos < s.size() && IsDigit(s[pos]))
        return false;
    if (digits == 2)
        y += y < 50 ? 2000 : 1900;
    if (!IsValidDate(y, m, d))
        return false;
    out = EncodeDate(y, m, d);
    return true;
}

} // namespace

std::string FormatInteger(std::int64_t value) { return std::to_string(value); }

std::optional<std::int64_t> ParseInteger(std::string_view text)
{
    text = Trim(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    std::int64_t v = 0;
    const auto* end = text.data() + text.size();
    auto [p, ec] = std::from_chars(text.data(), end, v);
    if (text.empty() || ec != std::errc() || p != end)
        return std::nullopt;
    return v;
}

std::string FormatFloat(double value)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", value);
    std::string s(buf);
    for (char& c : s)
        if (c == '.')
            c = ',';
    return s;
}

std::optional<double> ParseFloat(std::string_view text)
{
    text = Trim(text);
    if (text.empty())
        return std::nullopt;
    std::string s(text);
    if (s.front() == '+')
        s.erase(0, 1);
    for (char& c : s)
        if (c == ',')
            c = '.';
    double v = 0;
    const auto* end = s.data() + s.size();
    auto [p, ec] = std::from_chars(s.data(), end, v);
    if (ec != std::errc() || p != end || !std::isfinite(v))
        return std::nullopt;
    return v;
}

std::string FormatCurrency(TCurrency value)
{
    const bool negative = value.units < 0;
    // Magnitude as unsigned, so the smallest int64 has one too.
    const std::uint64_t mag = negative ? 0 - static_cast<std::uint64_t>(value.units)
                                       : static_cast<std::uint64_t>(value.units);
    std::string s = negative ? "-" : "";
    s += std::to_string(mag / 10000);
    std::uint64_t frac = mag % 10000;
    if (frac != 0) {
        std::string f = std::to_string(frac);
        f.insert(0, 4 - f.size(), '0');
        while (f.back() == '0')
            f.pop_back();
        s += ',' + f;
    }
    return s;
}

std::optional<TCurrency> ParseCurrency(std::string_view text)
{
    text = Trim(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty())
        return std::nullopt;
    std::uint64_t whole = 0;
    std::size_t i = 0;
    int intDigits = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i, ++intDigits) {
        if (whole > (std::numeric_limits<std::int64_t>::max() / 10000 - 9) / 10)
            return std::nullopt;
        whole = whole * 10 + static_cast<std::uint64_t>(text[i] - '0');
    }
    std::uint64_t frac = 0;
    int fracDigits = 0;
    if (i < text.size() && (text[i] == ',' || text[i] == '.')) {
        ++i;
        for (; i < text.size() && IsDigit(text[i]); ++i, ++fracDigits) {
            if (fracDigits < 4)
                frac = frac * 10 + static_cast<std::uint64_t>(text[i] - '0');
            else if (fracDigits == 4 && text[i] >= '5')
                frac += 1; // round half up at the fifth decimal
        }
    }
    if (i != text.size() || (intDigits == 0 && fracDigits == 0))
        return std::nullopt;
    for (int k = fracDigits; k < 4; ++k)
        frac *= 10;
    const auto units = static_cast<std::int64_t>(whole * 10000 + frac);
    return TCurrency{negative ? -units : units};
}

std::optional<bool> ParseBoolean(std::string_view text)
{
    text = Trim(text);
    auto eq = [&](std::string_view word) {
        if (text.size() != word.size())
            return false;
        for (std::size_t i = 0; i < word.size(); ++i) {
            char c = text[i];
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
            if (c != word[i])
                return false;
        }
        return true;
    };
    if (eq("true"))
        return true;
    if (eq("false"))
        return false;
    return std::nullopt;
}

bool IsValidDate(int year, int month, int day)
{
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1)
        return false;
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    const int max = month == 2 && leap ? 29 : kDays[month - 1];
    return day <= max;
}

TDateTime EncodeDate(int year, int month, int day)
{
    return TDateTime{static_cast<double>(DaysFromCivil(year, static_cast<unsigned>(month),
                                                       static_cast<unsigned>(day)) + kUnixDelta)};
}

void DecodeDate(TDateTime value, int& year, int& month, int& day)
{
    std::int64_t days = 0;
    int seconds = 0;
    SplitDateTime(value, days, seconds);
    CivilFromDays(days - kUnixDelta, year, month, day);
}

namespace {

// Writes a number in decimal at p (at most 12 characters); the usual day, month and year
// without the general conversion.
char* WriteNumber(char* p, int number)
{
    if (number >= 0 && number < 100) {
        if (number >= 10)
            *p++ = static_cast<char>('0' + number / 10);
        *p++ = static_cast<char>('0' + number % 10);
        return p;
    }
    if (number >= 1000 && number < 10000) {
        p[0] = static_cast<char>('0' + number / 1000);
        p[1] = static_cast<char>('0' + number / 100 % 10);
        p[2] = static_cast<char>('0' + number / 10 % 10);
        p[3] = static_cast<char>('0' + number % 10);
        return p + 4;
    }
    return std::to_chars(p, p + 12, number).ptr;
}

std::string DateText(int year, int month, int day)
{
    char text[40];
    char* p = WriteNumber(text, day);
    *p++ = '.';
    p = WriteNumber(p, month);
    *p++ = '.';
    p = WriteNumber(p, year);
    return std::string(text, p);
}

// Whole days and seconds of a value; a whole day (a date without a time) without the rounding.
void SplitQuickly(TDateTime value, std::int64_t& days, int& seconds)
{
    if (value.days == std::trunc(value.days) && std::fabs(value.days) < 1e15) {
        days = static_cast<std::int64_t>(value.days);
        seconds = 0;
        return;
    }
    SplitDateTime(value, days, seconds);
}

// The short date text of a day number. Loops read the same few thousand days over and over:
// recent ones are kept, each in the slot of its number.
std::string DayText(std::int64_t days)
{
    struct Slot {
        std::int64_t days = std::numeric_limits<std::int64_t>::min();
        std::uint8_t size = 0;
        char text[23] = {};
    };
    thread_local std::array<Slot, 1024> slots;
    Slot& slot = slots[static_cast<std::size_t>(days) & (slots.size() - 1)];
    if (slot.days == days)
        return std::string(slot.text, slot.size);
    int y = 0, m = 0, d = 0;
    CivilFromDays(days - kUnixDelta, y, m, d);
    std::string text = DateText(y, m, d);
    if (text.size() <= sizeof slot.text) {
        slot.days = days;
        slot.size = static_cast<std::uint8_t>(text.size());
        std::memcpy(slot.text, text.data(), text.size());
    }
    return text;
}

// The day number of an ISO date "YYYY-MM-DD" (the first ten characters of text), kept for the
// dates read recently like the texts above; nullopt for a text that is no valid date.
std::optional<std::int64_t> IsoDay(std::string_view text)
{
    struct Slot {
        std::uint64_t head = 0; // the first eight characters
        std::uint16_t tail = 0; // the next two
        bool used = false;
        std::int64_t days = 0;
    };
    thread_local std::array<Slot, 1024> slots;
    std::uint64_t head = 0;
    std::uint16_t tail = 0;
    std::memcpy(&head, text.data(), sizeof head);
    std::memcpy(&tail, text.data() + sizeof head, sizeof tail);
    const std::uint64_t hash = (head ^ (std::uint64_t{tail} << 17)) * 0x9E3779B97F4A7C15ULL;
    Slot& slot = slots[static_cast<std::size_t>(hash >> 54)];
    if (slot.used && slot.head == head && slot.tail == tail)
        return slot.days;
    const auto num = [text](std::size_t at, std::size_t len, int& out) { return ReadDigits(text, at, len, out); };
    int y = 0, m = 0, d = 0;
    if (!num(0, 4, y) || text[4] != '-' || !num(5, 2, m) || text[7] != '-' || !num(8, 2, d) || !IsValidDate(y, m, d))
        return std::nullopt;
    const auto days = static_cast<std::int64_t>(EncodeDate(y, m, d).days);
    slot = Slot{head, tail, true, days};
    return days;
}

} // namespace

std::string FormatDate(TDateTime value)
{
    std::int64_t days = 0;
    int seconds = 0;
    SplitQuickly(value, days, seconds);
    return DayText(days);
}

std::string FormatDateTime(TDateTime value)
{
    std::int64_t days = 0;
    int seconds = 0;
    SplitQuickly(value, days, seconds);
    std::string s = DayText(days);
    if (seconds != 0) {
        char buf[48];
        std::snprintf(buf, sizeof buf, " %d:%02d:%02d", seconds / 3600, seconds / 60 % 60, seconds % 60);
        s += buf;
    }
    return s;
}

std::optional<TDateTime> ParseDate(std::string_view text)
{
    text = Trim(text);
    std::size_t pos = 0;
    TDateTime date;
    if (!ParseShortDatePart(text, pos, date) || pos != text.size())
        return std::nullopt;
    return date;
}

std::optional<TDateTime> ParseDateTime(std::string_view text)
{
    text = Trim(text);
    std::size_t pos = 0;
    TDateTime date;
    int h = 0, mi = 0, s = 0;
    if (!ParseShortDatePart(text, pos, date) || !ParseTimePart(text, pos, h, mi, s))
        return std::nullopt;
    return Compose(date, h, mi, s);
}

std::string FormatIsoDateTime(TDateTime value)
{
    std::int64_t days = 0;
    int seconds = 0;
    SplitDateTime(value, days, seconds);
    int y = 0, m = 0, d = 0;
    CivilFromDays(days - kUnixDelta, y, m, d);
    char buf[64];
    if (seconds == 0)
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", y, m, d);
    else
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", y, m, d, seconds / 3600,
                      seconds / 60 % 60, seconds % 60);
    return buf;
}

std::optional<TDateTime> ParseIsoDateTime(std::string_view text)
{
    const auto num = [text](std::size_t at, std::size_t len, int& out) { return ReadDigits(text, at, len, out); };
    int h = 0, mi = 0, s = 0;
    if (text.size() < 10)
        return std::nullopt;
    const std::optional<std::int64_t> day = IsoDay(text);
    if (!day)
        return std::nullopt;
    const TDateTime date{static_cast<double>(*day)};
    if (text.size() == 10)
        return date;
    if (text.size() != 19 || (text[10] != ' ' && text[10] != 'T') || !num(11, 2, h) || text[13] != ':' ||
        !num(14, 2, mi) || text[16] != ':' || !num(17, 2, s) || h > 23 || mi > 59 || s > 59)
        return std::nullopt;
    return Compose(date, h, mi, s);
}

} // namespace data
