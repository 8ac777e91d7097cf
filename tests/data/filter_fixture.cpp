#include "filter_fixture.h"

#include "platform/sys/CzechText.h"

#include <gtest/gtest.h>

#include <optional>
#include <variant>

namespace filter_test {
namespace {

using data::TFieldType;
using Columns = std::vector<std::pair<std::string, TFieldType>>;

const std::vector<data::TableInfo>& Tables() {
    static const std::vector<data::TableInfo> tables = {
        {"Knihy",
         {{"Cislo", TFieldType::ftAutoInc}, {"Kod", TFieldType::ftString}, {"Nazev", TFieldType::ftString},
          {"Autor", TFieldType::ftString}, {"Umisteni", TFieldType::ftString}, {"Pujceno", TFieldType::ftBoolean},
          {"CenaX", TFieldType::ftCurrency}, {"RokVydani", TFieldType::ftInteger},
          {"PocetStran", TFieldType::ftInteger}, {"VekOd", TFieldType::ftInteger},
          {"KlicovaSlova", TFieldType::ftString}, {"Anotace", TFieldType::ftMemo},
          {"Vlastnosti", TFieldType::ftString}}},
        {"Výpůjčky",
         {{"Cislo", TFieldType::ftAutoInc}, {"CisloCtenare", TFieldType::ftInteger},
          {"CisloKnihy", TFieldType::ftInteger}, {"Pujceno", TFieldType::ftDateTime},
          {"Vraceno", TFieldType::ftDateTime}, {"Dnu", TFieldType::ftInteger}, {"VracenoB", TFieldType::ftBoolean}}},
        {"Čtenáři",
         {{"Cislo", TFieldType::ftAutoInc}, {"Jmeno", TFieldType::ftString}, {"Trida", TFieldType::ftString},
          {"Kategorie", TFieldType::ftString}, {"Aktivni", TFieldType::ftBoolean}, {"Vaha", TFieldType::ftFloat}}},
        {"VýpůjčkyArchiv",
         {{"Cislo", TFieldType::ftAutoInc}, {"CisloCtenare", TFieldType::ftInteger}, {"Ctenar", TFieldType::ftString},
          {"CisloKnihy", TFieldType::ftInteger}, {"KodKnihy", TFieldType::ftString}, {"Kniha", TFieldType::ftString},
          {"Pujceno", TFieldType::ftDate}, {"Vraceno", TFieldType::ftDate}, {"Dnu", TFieldType::ftInteger}}},
    };
    return tables;
}

const char* const kSchemaAndRows = R"sql(
CREATE TABLE Knihy (Cislo INTEGER PRIMARY KEY AUTOINCREMENT, Kod TEXT, Nazev TEXT, Autor TEXT, Umisteni TEXT,
  Pujceno INTEGER, CenaX INTEGER, RokVydani INTEGER, PocetStran INTEGER, VekOd INTEGER, KlicovaSlova TEXT,
  Anotace TEXT, Vlastnosti TEXT);
INSERT INTO Knihy VALUES
  (1, 'A12', 'Babička', 'Němcová Božena', 'Sklad', 0, 1250000, 1990, 300, 10, 'pes,kočka', NULL, NULL),
  (2, 'A120', 'Válka s mloky', 'Čapek Karel', 'Sál', 1, 995000, 1991, 250, 12, 'válka,mloci', 'sci-fi', 'Půjčená'),
  (3, 'a12', 'O''Brien a "Kapr"', 'Cibulka Jan', 'Sklad', 0, 50000, 1989, 120, 6, 'kočka', '', ''),
  (4, 'B7', 'Bílá nemoc', 'čapek Karel', 'Chodba', 0, NULL, NULL, 90, 15, 'kočka,pes,válka', NULL, 'Vyřazená'),
  (5, '12', 'Hobit', 'Tolkien', 'Hala', 0, 1250000, 1990, 300, 10, 'drak,pes', NULL, NULL),
  (6, '120', 'Chata v horách', 'Dvořák', 'Hala', 0, 2000000, 2005, 400, NULL, NULL, NULL, ''),
  (7, 'C_1', 'bábovka 100%', 'Cibulka Jan', 'Sklad', 0, 1255000, 1990, 301, 10, 'pes', NULL, '');
CREATE TABLE "Výpůjčky" (Cislo INTEGER PRIMARY KEY AUTOINCREMENT, CisloCtenare INTEGER, CisloKnihy INTEGER,
  Pujceno TEXT, Vraceno TEXT, Dnu INTEGER, VracenoB INTEGER);
INSERT INTO "Výpůjčky" VALUES
  (1, 12, 1, '2023-09-01', NULL, 70, 0),
  (2, 12, 2, '2023-09-01 10:30:00', '2023-09-11', 10, 1),
  (3, 5, 3, '2023-10-05', NULL, 40, 0),
  (4, 5, 1, '2023-08-31', '2023-09-02 08:00:00', 2, 1),
  (5, 7, 4, '2023-09-02', NULL, 61, 0),
  (6, 12, 5, '2023-09-01', NULL, 60, 0),
  (7, NULL, 6, '2023-09-03', NULL, 59, 0);
CREATE TABLE "Čtenáři" (Cislo INTEGER PRIMARY KEY AUTOINCREMENT, Jmeno TEXT, Trida TEXT, Kategorie TEXT,
  Aktivni INTEGER, Vaha REAL);
INSERT INTO "Čtenáři" VALUES
  (1, 'Novák Petr', '8.A', 'Žák', 1, 41.5),
  (2, 'Nováková Jana', '9.B', 'Žák', 0, 38),
  (3, 'Chalupa Ondřej', '8.B', 'Učitel', 1, NULL),
  (4, 'Cibulka Adam', '7.A', 'Žák', 1, 30.25),
  (5, 'Čermák Jiří', '8.A', 'Žák', 0, 50),
  (6, 'novotný Karel', '80', NULL, 1, 45);
CREATE TABLE "VýpůjčkyArchiv" (Cislo INTEGER PRIMARY KEY AUTOINCREMENT, CisloCtenare INTEGER, Ctenar TEXT,
  CisloKnihy INTEGER, KodKnihy TEXT, Kniha TEXT, Pujceno TEXT, Vraceno TEXT, Dnu INTEGER);
INSERT INTO "VýpůjčkyArchiv" VALUES
  (1, 1, 'Novák Petr', 1, 'A12', 'Babička', '2023-09-01', '2023-09-10', 9),
  (2, 2, 'Nováková Jana', 2, 'A120', 'Válka s mloky', '2023-09-05', '2023-09-20', 15),
  (3, 1, 'Novák Petr', 3, 'a12', 'O''Brien a "Kapr"', '2023-10-01', '2023-10-03', 2),
  (4, 3, 'Chalupa Ondřej', 1, 'A12', 'Babička', '2023-08-15', '2023-09-10', 26),
  (5, 4, 'Cibulka Adam', 4, 'B7', 'Bílá nemoc', '2023-09-10', '2023-09-15', 5),
  (6, 5, 'Čermák Jiří', 5, '12', 'Hobit', '2023-09-10', '2023-09-10', 0);
)sql";

int CompareCzechCollation(void*, int lengthA, const void* a, int lengthB, const void* b) {
    return sys::CompareCzech(std::string_view(static_cast<const char*>(a), static_cast<std::size_t>(lengthA)),
                             std::string_view(static_cast<const char*>(b), static_cast<std::size_t>(lengthB)));
}

// like(pattern, text) as the engine session overrides it: Czech letter case ignored.
void CzechLike(sqlite3_context* context, int, sqlite3_value** argv) {
    const auto* pattern = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[1]));
    if (pattern == nullptr || text == nullptr) {
        sqlite3_result_null(context);
        return;
    }
    sqlite3_result_int(context, sys::LikeCzech(text, pattern) ? 1 : 0);
}

void Bind(sqlite3_stmt* statement, int index, const data::Value& value) {
    if (const auto* text = std::get_if<std::string>(&value)) {
        sqlite3_bind_text(statement, index, text->c_str(), static_cast<int>(text->size()), SQLITE_TRANSIENT);
    } else if (const auto* integer = std::get_if<std::int64_t>(&value)) {
        sqlite3_bind_int64(statement, index, *integer);
    } else if (const auto* real = std::get_if<double>(&value)) {
        sqlite3_bind_double(statement, index, *real);
    } else {
        ADD_FAILURE() << "parameter of an unexpected type (index " << value.index() << ")";
    }
}

} // namespace

LibraryDb::LibraryDb() {
    if (sqlite3_open(":memory:", &db_) != SQLITE_OK) throw std::runtime_error("sqlite3_open");
    sqlite3_create_collation(db_, "CZECH", SQLITE_UTF8, nullptr, CompareCzechCollation);
    sqlite3_create_function(db_, "like", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, CzechLike, nullptr, nullptr);
    char* error = nullptr;
    if (sqlite3_exec(db_, kSchemaAndRows, nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string message = error ? error : "?";
        sqlite3_free(error);
        throw std::runtime_error(message);
    }
}

LibraryDb::~LibraryDb() { sqlite3_close(db_); }

data::ColumnTypes LibraryDb::Columns(const std::string& table) const {
    const data::TableInfo info = *Catalog()(table);
    return [info](std::string_view name) -> std::optional<std::pair<std::string, TFieldType>> {
        for (const auto& column : info.columns)
            if (sys::SameTextCzech(column.first, name)) return column;
        return std::nullopt;
    };
}

data::TableCatalog LibraryDb::Catalog() const {
    return [](std::string_view name) -> std::optional<data::TableInfo> {
        for (const auto& table : Tables())
            if (sys::SameTextCzech(table.name, name)) return table;
        return std::nullopt;
    };
}

std::vector<int> LibraryDb::Select(const std::string& table, const std::string& where,
                                   const std::vector<data::Value>& params, const std::string& orderBy) const {
    std::string sql = "SELECT Cislo FROM \"" + table + "\"";
    if (!where.empty()) sql += " WHERE " + where;
    sql += " ORDER BY " + (orderBy.empty() ? std::string("Cislo") : orderBy);
    sqlite3_stmt* statement = nullptr;
    std::vector<int> ids;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
        ADD_FAILURE() << sqlite3_errmsg(db_) << " in: " << sql;
        return ids;
    }
    EXPECT_EQ(sqlite3_bind_parameter_count(statement), static_cast<int>(params.size())) << sql;
    for (std::size_t i = 0; i < params.size(); ++i) Bind(statement, static_cast<int>(i + 1), params[i]);
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) ids.push_back(sqlite3_column_int(statement, 0));
    if (rc != SQLITE_DONE) ADD_FAILURE() << sqlite3_errmsg(db_) << " in: " << sql;
    sqlite3_finalize(statement);
    return ids;
}

} // namespace filter_test
