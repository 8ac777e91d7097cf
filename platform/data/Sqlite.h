#pragma once
// Thin RAII helpers over the SQLite C API: prepared statements, value binding in the stored forms
// of the table files, and errors turned into EDatabaseError.

#include "platform/data/DataSet.h"
#include "platform/data/Value.h"

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace data::sqlite {

// Raises EDatabaseError with SQLite's message after a context text.
[[noreturn]] void Fail(sqlite3* db, const std::string& context);

// Runs statements without results.
void Exec(sqlite3* db, const std::string& sql);

// "name" with inner quotes doubled.
std::string QuoteIdent(std::string_view name);

class Statement {
public:
    Statement() = default;
    Statement(sqlite3* db, std::string_view sql);
    ~Statement();
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    explicit operator bool() const { return stmt_ != nullptr; }
    sqlite3_stmt* Handle() const { return stmt_; }

    // 1-based parameter positions. Values are bound in their stored form: booleans 0/1, dates as
    // ISO text, currency as an integer count of 1/10000.
    void Bind(int index, const Value& value);
    void BindInt64(int index, std::int64_t value);
    void BindText(int index, std::string_view text);
    // Without a copy: the text must stay as it is until the statement is reset.
    void BindTextView(int index, std::string_view text);
    void BindNull(int index);

    bool Step(); // true while a row is available; raises on error
    void Reset();

    int ColumnType(int column) const { return sqlite3_column_type(stmt_, column); }
    std::int64_t ColumnInt64(int column) const { return sqlite3_column_int64(stmt_, column); }
    double ColumnDouble(int column) const { return sqlite3_column_double(stmt_, column); }
    std::string ColumnText(int column) const;
    // The same without a copy: valid until the statement steps, resets or reads the column
    // otherwise.
    std::string_view ColumnView(int column) const;
    // The column's text as a field of `type` gives it (AsString); `value` and `converted` are room
    // for a value that must be converted, which the answer may point into.
    std::string_view ColumnAsText(int column, TFieldType type, Value& value, std::string& converted) const;
    bool ColumnIsNull(int column) const { return ColumnType(column) == SQLITE_NULL; }
    // The column read as a value of a field type (text that does not fit the type reads as none).
    Value ColumnValue(int column, TFieldType type) const;
    // The same into an existing value (a text reuses its storage). Answers whether the column is
    // stored in the form this layer writes for the type, so writing the value back would store
    // exactly what is there.
    bool ReadValue(int column, TFieldType type, Value& out) const;

private:
    sqlite3* db_ = nullptr;
    sqlite3_stmt* stmt_ = nullptr;
};

} // namespace data::sqlite
