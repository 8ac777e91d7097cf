#pragma once
// Field types and the value a dataset exchanges with its fields. Shared by the SQLite-backed
// datasets, the filter/SQL translation and the dBase dataset.

#include <cstdint>
#include <string>
#include <variant>

namespace data {

enum class TFieldType {
    ftUnknown,
    ftString,   // fixed-width text of at most Size characters
    ftSmallint, // 16-bit signed
    ftInteger,  // 32-bit signed
    ftLargeint, // 64-bit signed
    ftAutoInc,  // auto-increment record number, never reused
    ftBoolean,
    ftFloat,    // 64-bit floating point
    ftCurrency, // exact fixed point, 4 decimals
    ftDate,     // date without time
    ftDateTime, // date with optional time
    ftMemo,     // long text held outside the record
};

// Days since 30.12.1899 (day 0), fraction = time of day. Whole-day differences are plain
// subtraction of the integral parts.
struct TDateTime {
    double days = 0;
    friend bool operator==(const TDateTime&, const TDateTime&) = default;
};

// Currency as an exact count of 1/10000 units.
struct TCurrency {
    std::int64_t units = 0;
    friend bool operator==(const TCurrency&, const TCurrency&) = default;
};

// A field value; monostate is "no value" (null, or a cleared field).
using Value = std::variant<std::monostate, std::string, std::int64_t, bool, double, TDateTime, TCurrency>;

inline bool IsNull(const Value& v) { return std::holds_alternative<std::monostate>(v); }

} // namespace data
