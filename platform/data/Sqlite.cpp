#include "platform/data/Sqlite.h"

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

Value Statement::ColumnValue(int column, TFieldType type) const
{
    const int kind = ColumnType(column);
    if (kind == SQLITE_NULL)
        return std::monostate{};
    switch (type) {
    case TFieldType::ftString:
    case TFieldType::ftMemo:
        return ColumnText(column);
    case TFieldType::ftSmallint:
    case TFieldType::ftInteger:
    case TFieldType::ftLargeint:
    case TFieldType::ftAutoInc:
        if (kind == SQLITE_TEXT) { // written as text by another program
            if (auto n = ParseInteger(ColumnText(column)))
                return *n;
            return std::monostate{};
        }
        return kind == SQLITE_FLOAT ? std::llround(ColumnDouble(column)) : ColumnInt64(column);
    case TFieldType::ftBoolean:
        if (kind == SQLITE_TEXT) {
            const std::string text = ColumnText(column);
            if (auto b = ParseBoolean(text))
                return *b;
            if (auto n = ParseInteger(text))
                return *n != 0;
            return std::monostate{};
        }
        return ColumnInt64(column) != 0;
    case TFieldType::ftFloat:
        return ColumnDouble(column);
    case TFieldType::ftCurrency:
        if (kind == SQLITE_INTEGER)
            return TCurrency{ColumnInt64(column)};
        if (kind == SQLITE_FLOAT)
            return TCurrency{std::llround(ColumnDouble(column))};
        if (auto c = ParseInteger(ColumnText(column)))
            return TCurrency{*c};
        return std::monostate{};
    case TFieldType::ftDate:
    case TFieldType::ftDateTime:
        if (kind == SQLITE_TEXT) {
            if (auto d = ParseIsoDateTime(ColumnText(column))) {
                if (type == TFieldType::ftDate)
                    d->days = std::trunc(d->days);
                return *d;
            }
        }
        return std::monostate{};
    case TFieldType::ftUnknown:
        break;
    }
    return std::monostate{};
}

} // namespace data::sqlite
