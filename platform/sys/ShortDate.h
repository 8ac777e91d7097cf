#pragma once
// Dates as the program shows and types them: the fixed Czech short format "d.M.yyyy" (day and month
// without leading zeros, four-digit year), independent of the machine's locale. Also the clock that
// gives "today", replaceable in tests.

#include "platform/data/Value.h"

#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace sys {

using data::TDateTime;

// Day number of a calendar date (30.12.1899 is day 0); nullopt for an impossible date such as
// 31.2.2005 or a year outside 1..9999.
std::optional<TDateTime> EncodeDate(int year, int month, int day);

struct CalendarDate {
    int year = 0, month = 0, day = 0;
    friend bool operator==(const CalendarDate&, const CalendarDate&) = default;
};
// Calendar date of the day a value falls on (the time of day is ignored).
CalendarDate DecodeDate(TDateTime value);

// The whole day a value falls on, without its time of day.
TDateTime DateOf(TDateTime value);

// Whole days from `from` to `to` (negative when `to` is earlier); times of day are ignored.
int DaysBetween(TDateTime from, TDateTime to);

// "7.3.2005".
std::string FormatShortDate(TDateTime value);
// "7.3.2005" when the value has no time of day, "7.3.2005 9:05:00" when it has one.
std::string FormatDateTime(TDateTime value);

// Reads "7.3.2005", "07.03.2005", optionally followed by a time " 9:05" or " 9:05:30"; blanks
// around the text are ignored. On failure returns nullopt and, when `error` is given, stores a
// Czech message naming the text and the reason (for instance an impossible day).
std::optional<TDateTime> ParseShortDate(std::string_view text, std::string* error = nullptr);

// Thrown by StrToDate.
class EConvertError : public std::exception {
public:
    explicit EConvertError(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

// ParseShortDate that throws EConvertError with the Czech message on failure.
TDateTime StrToDate(std::string_view text);

// Where "now" comes from. The default is the machine's local time.
class Clock {
public:
    virtual ~Clock() = default;
    virtual TDateTime Now() const = 0;
};

// A clock standing still at a given moment, for tests.
class FixedClock : public Clock {
public:
    explicit FixedClock(TDateTime now) : now_(now) {}
    TDateTime Now() const override { return now_; }
    void Set(TDateTime now) { now_ = now; }

private:
    TDateTime now_;
};

// Replaces the process-wide clock (nullptr restores the system clock). The clock must outlive its
// use; not synchronised, set it before other threads read it.
void SetClock(const Clock* clock);

// Installs a clock for the lifetime of the object and restores the previous one afterwards.
class ScopedClock {
public:
    explicit ScopedClock(const Clock& clock);
    ~ScopedClock();
    ScopedClock(const ScopedClock&) = delete;
    ScopedClock& operator=(const ScopedClock&) = delete;

private:
    const Clock* previous_;
};

// The current moment and today's date (without time) from the installed clock.
TDateTime Now();
TDateTime Today();

} // namespace sys
