#include "platform/data/Sqlite.h"

#include "platform/data/Field.h"
#include "platform/data/ValueText.h"

#include <cmath>
#include <utility>

namespace data::sqlite {

void Fail(sqlite3* db, const std::string& context)
{
    std::string message = context;
    if (db != nullptr) {
        message += ": ";
        message += sqlite3_errmsg(db);
    }
    throw EDatabaseError(message);
}

void Exec(sqlite3* db, const std::string& sql)
{
    char* error = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        std::string message = "Chyba databáze: ";
        message += error != nullptr ? error : sqlite3_errmsg(db);
        sqlite3_free(error);
        throw EDatabaseError(message);
    }
}

std::string QuoteIdent(std::string_view name)
{
    std::string out = "\"";
    for (char c : name) {
        out += c;
        if (c == '"')
            out += '"';
    }
    out += '"';
    return out;
}

Statement::Statement(sqlite3* db, std::string_view sql) : db_(db)
{
    if (sqlite3_prepare_v3(db, sql.data(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT,
                           &stmt_, nullptr) != SQLITE_OK)
        Fail(db, "Chyba databáze");
}

Statement::~Statement()
{
    if (stmt_ != nullptr)
        sqlite3_finalize(stmt_);
}

Statement::Statement(Statement&& other) noexcept
    : db_(std::exchange(other.db_, nullptr)), stmt_(std::exchange(other.stmt_, nullptr))
{
}

Statement& Statement::operator=(Statement&& other) noexcept
{
    if (this != &other) {
        if (stmt_ != nullptr)
            sqlite3_finalize(stmt_);
        db_ = std::exchange(other.db_, nullptr);
        stmt_ = std::exchange(other.stmt_, nullptr);
    }
    return *this;
}

void Statement::Bind(int index, const Value& value)
{
    if (IsNull(value))
        BindNull(index);
    else if (const auto* s = std::get_if<std::string>(&value))
        BindText(index, *s);
    else if (const auto* i = std::get_if<std::int64_t>(&value))
        BindInt64(index, *i);
    else if (const auto* b = std::get_if<bool>(&value))
        BindInt64(index, *b ? 1 : 0);
    else if (const auto* d = std::get_if<double>(&value))
        sqlite3_bind_double(stmt_, index, *d);
    else if (const auto* t = std::get_if<TDateTime>(&value))
        BindText(index, FormatIsoDateTime(*t));
    else if (const auto* c = std::get_if<TCurrency>(&value))
        BindInt64(index, c->units);
}

void Statement::BindInt64(int index, std::int64_t value) { sqlite3_bind_int64(stmt_, index, value); }

void Statement::BindText(int index, std::string_view text)
{
    sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

void Statement::BindTextView(int index, std::string_view text)
{
    // A null pointer would bind no value: an empty text stays a text.
    sqlite3_bind_text(stmt_, index, text.data() != nullptr ? text.data() : "", static_cast<int>(text.size()),
                      SQLITE_STATIC);
}

void Statement::BindNull(int index) { sqlite3_bind_null(stmt_, index); }

bool Statement::Step()
{
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    const std::string message = std::string("Chyba databáze: ") + sqlite3_errmsg(db_);
    sqlite3_reset(stmt_);
    throw EDatabaseError(message);
}

void Statement::Reset()
{
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

std::string Statement::ColumnText(int column) const
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    if (text == nullptr)
        return {};
    return std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column)));
}

std::string_view Statement::ColumnView(int column) const
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    if (text == nullptr)
        return {};
    return {text, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column))};
}

std::string_view Statement::ColumnAsText(int column, TFieldType type, Value& value, std::string& converted) const
{
    if (type == TFieldType::ftString || ColumnIsNull(column))
        return ColumnView(column);
    ReadValue(column, type, value);
    ValueText(value, type, converted);
    return converted;
}

Value Statement::ColumnValue(int column, TFieldType type) const
{
    Value value;
    ReadValue(column, type, value);
    return value;
}

bool Statement::ReadValue(int column, TFieldType type, Value& out) const
{
    // One look-up of the column's value; the value functions are cheaper than the column ones
    // and safe on it while a single thread uses the connection, as the session does.
    sqlite3_value* const value = sqlite3_column_value(stmt_, column);
    const int kind = sqlite3_value_type(value);
    if (kind == SQLITE_NULL) {
        out = std::monostate{};
        return true;
    }
    const auto integer = [value] { return static_cast<std::int64_t>(sqlite3_value_int64(value)); };
    const auto real = [value] { return sqlite3_value_double(value); };
    const auto text = [value] {
        const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(value));
        return p == nullptr ? std::string_view()
                            : std::string_view(p, static_cast<std::size_t>(sqlite3_value_bytes(value)));
    };
    switch (type) {
    case TFieldType::ftString:
    case TFieldType::ftMemo: {
        const std::string_view t = text();
        if (auto* s = std::get_if<std::string>(&out))
            s->assign(t);
        else
            out.emplace<std::string>(t);
        return kind == SQLITE_TEXT;
    }
    case TFieldType::ftSmallint:
    case TFieldType::ftInteger:
    case TFieldType::ftLargeint:
    case TFieldType::ftAutoInc:
        if (kind == SQLITE_INTEGER) {
            out = integer();
            return true;
        }
        if (kind == SQLITE_FLOAT) {
            out = static_cast<std::int64_t>(std::llround(real()));
            return false;
        }
        // Written as text by another program.
        if (auto n = ParseInteger(text()))
            out = *n;
        else
            out = std::monostate{};
        return false;
    case TFieldType::ftBoolean:
        if (kind == SQLITE_INTEGER) {
            const std::int64_t n = integer();
            out = n != 0;
            return n == 0 || n == 1;
        }
        if (kind == SQLITE_TEXT) {
            const std::string_view t = text();
            if (auto b = ParseBoolean(t))
                out = *b;
            else if (auto n = ParseInteger(t))
                out = *n != 0;
            else
                out = std::monostate{};
            return false;
        }
        out = integer() != 0;
        return false;
    case TFieldType::ftFloat:
        out = real();
        return kind == SQLITE_FLOAT;
    case TFieldType::ftCurrency:
        if (kind == SQLITE_INTEGER) {
            out = TCurrency{integer()};
            return true;
        }
        if (kind == SQLITE_FLOAT)
            out = TCurrency{std::llround(real())};
        else if (auto c = ParseInteger(text()))
            out = TCurrency{*c};
        else
            out = std::monostate{};
        return false;
    case TFieldType::ftDate:
    case TFieldType::ftDateTime:
        if (kind == SQLITE_TEXT) {
            const std::string_view t = text();
            if (auto d = ParseIsoDateTime(t)) {
                // The form FormatIsoDateTime writes: the date alone, or with a time that is not
                // midnight (a date field never holds a time).
                bool exact = t.size() == 10;
                if (type == TFieldType::ftDate)
                    d->days = std::trunc(d->days);
                else if (t.size() == 19)
                    exact = t[10] == ' ' && t.substr(11) != "00:00:00";
                out = *d;
                return exact;
            }
        }
        out = std::monostate{};
        return false;
    case TFieldType::ftUnknown:
        break;
    }
    out = std::monostate{};
    return false;
}

} // namespace data::sqlite
