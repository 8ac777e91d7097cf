#include "platform/sys/ShortDate.h"

#include <cmath>
#include <cstdio>
#include <ctime>

namespace sys {

namespace {

// Days since 1.1.1970 of a proleptic Gregorian date (civil-from-days inverse).
constexpr long long DaysFromCivil(long long y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

CalendarDate CivilFromDays(long long z)
{
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long y = static_cast<long long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return {static_cast<int>(y + (m <= 2)), static_cast<int>(m), static_cast<int>(d)};
}

constexpr long long kEpochOffset = DaysFromCivil(1899, 12, 30); // day 0 of TDateTime

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : days[m - 1];
}

// Day number and milliseconds of the day; out-of-range and non-finite values are clamped so that
// decoding never misbehaves.
void Split(TDateTime value, long long& day, long long& ms)
{
    double v = value.days;
    if (!std::isfinite(v))
        v = 0;
    constexpr double kLimit = 4e6; // beyond year 9999 in both directions
    if (v > kLimit)
        v = kLimit;
    if (v < -kLimit)
        v = -kLimit;
    const double whole = std::trunc(v);
    day = static_cast<long long>(whole);
    ms = std::llround(std::fabs(v - whole) * 86400000.0);
    if (ms >= 86400000)
        ms = 86399999;
}

class SystemClock : public Clock {
public:
    TDateTime Now() const override
    {
        timespec ts{};
        clock_gettime(CLOCK_REALTIME, &ts);
        std::tm local{};
        localtime_r(&ts.tv_sec, &local);
        const auto date = EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
        const double seconds = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec +
                               static_cast<double>(ts.tv_nsec / 1000000) / 1000.0;
        return {date->days + seconds / 86400.0};
    }
};

const SystemClock systemClock;
const Clock* currentClock = &systemClock;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads 1..maxDigits digits at `pos`; false when there are none or too many.
bool ReadNumber(std::string_view s, std::size_t& pos, std::size_t minDigits, std::size_t maxDigits,
                int& value)
{
    std::size_t start = pos;
    value = 0;
    while (pos < s.size() && IsDigit(s[pos])) {
        if (pos - start == maxDigits)
            return false;
        value = value * 10 + (s[pos] - '0');
        ++pos;
    }
    return pos - start >= minDigits;
}

std::string Quoted(std::string_view text) { return "„" + std::string(text) + "“"; }

} // namespace

std::optional<TDateTime> EncodeDate(int year, int month, int day)
{
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        day > DaysInMonth(year, month))
        return std::nullopt;
    return TDateTime{static_cast<double>(
        DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) -
        kEpochOffset)};
}

CalendarDate DecodeDate(TDateTime value)
{
    long long day = 0, ms = 0;
    Split(value, day, ms);
    return CivilFromDays(day + kEpochOffset);
}

TDateTime DateOf(TDateTime value)
{
    long long day = 0, ms = 0;
    Split(value, day, ms);
    return {static_cast<double>(day)};
}

int DaysBetween(TDateTime from, TDateTime to)
{
    return static_cast<int>(DateOf(to).days - DateOf(from).days);
}

std::string FormatShortDate(TDateTime value)
{
    const CalendarDate d = DecodeDate(value);
    char text[32];
    std::snprintf(text, sizeof text, "%d.%d.%04d", d.day, d.month, d.year);
    return text;
}

std::string FormatDateTime(TDateTime value)
{
    long long day = 0, ms = 0;
    Split(value, day, ms);
    std::string text = FormatShortDate(value);
    if (ms == 0)
        return text;
    const long long seconds = ms / 1000;
    char time[32];
    std::snprintf(time, sizeof time, " %lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60,
                  seconds % 60);
    return text + time;
}

std::optional<TDateTime> ParseShortDate(std::string_view text, std::string* error)
{
    auto fail = [&](const std::string& why) -> std::optional<TDateTime> {
        if (error)
            *error = Quoted(text) + " není platné datum: " + why;
        return std::nullopt;
    };
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return fail("text je prázdný.");
    const auto last = text.find_last_not_of(" \t");
    const std::string_view s = text.substr(first, last - first + 1);
    const std::string formatHint = "očekává se den.měsíc.rok, například 7.3.2005.";

    std::size_t pos = 0;
    int day = 0, month = 0, year = 0;
    if (!ReadNumber(s, pos, 1, 2, day) || pos >= s.size() || s[pos++] != '.' ||
        !ReadNumber(s, pos, 1, 2, month) || pos >= s.size() || s[pos++] != '.' ||
        !ReadNumber(s, pos, 4, 4, year))
        return fail(formatHint);

    double seconds = 0;
    if (pos < s.size()) {
        if (s[pos] != ' ')
            return fail(formatHint);
        while (pos < s.size() && s[pos] == ' ')
            ++pos;
        int h = 0, m = 0, sec = 0;
        if (!ReadNumber(s, pos, 1, 2, h) || pos >= s.size() || s[pos++] != ':' ||
            !ReadNumber(s, pos, 2, 2, m))
            return fail("čas má tvar hodiny:minuty nebo hodiny:minuty:sekundy.");
        if (pos < s.size() && (s[pos++] != ':' || !ReadNumber(s, pos, 2, 2, sec) || pos != s.size()))
            return fail("čas má tvar hodiny:minuty nebo hodiny:minuty:sekundy.");
        if (h > 23 || m > 59 || sec > 59)
            return fail("čas " + std::string(s.substr(s.find(' ') + 1)) + " neexistuje.");
        seconds = h * 3600.0 + m * 60.0 + sec;
    }

    if (month < 1 || month > 12)
        return fail("měsíc " + std::to_string(month) + " neexistuje.");
    if (year < 1)
        return fail("rok musí být alespoň 1.");
    const auto date = EncodeDate(year, month, day);
    if (!date)
        return fail("měsíc " + std::to_string(month) + "/" + std::to_string(year) + " nemá den " +
                    std::to_string(day) + ".");
    const double fraction = seconds / 86400.0;
    return TDateTime{date->days < 0 ? date->days - fraction : date->days + fraction};
}

TDateTime StrToDate(std::string_view text)
{
    std::string error;
    const auto value = ParseShortDate(text, &error);
    if (!value)
        throw EConvertError(error);
    return *value;
}

void SetClock(const Clock* clock) { currentClock = clock ? clock : &systemClock; }

ScopedClock::ScopedClock(const Clock& clock) : previous_(currentClock) { currentClock = &clock; }
ScopedClock::~ScopedClock() { currentClock = previous_; }

TDateTime Now() { return currentClock->Now(); }
TDateTime Today() { return DateOf(Now()); }

} // namespace sys
