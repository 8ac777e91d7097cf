#pragma once
// The structure of a table file and the file layout itself.
//
// Layout version 1 (PRAGMA user_version = 1) of a table file, one SQLite database per table:
//  - the table, named after the file's stem (Knihy.DB holds "Knihy"); an auto-increment field is
//    its INTEGER PRIMARY KEY AUTOINCREMENT (numbers never reused), other tables use the rowid;
//    booleans are stored 0/1, dates as ISO text "YYYY-MM-DD" or "YYYY-MM-DD HH:MM:SS", currency as
//    an integer count of 1/10000, texts as TEXT;
//  - "lendar_fields" (position, name, type, size): every field's logical type and width;
//  - "lendar_indexes" (name, fields, options): the stored index definitions;
//  - plain SQLite indexes (BINARY collation) on the columns searched often.
// Other programs can read and write such a file with any SQLite client.

#include "platform/data/Value.h"

#include <sqlite3.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace data {

inline constexpr int kTableFileVersion = 1;

struct FieldSpec {
    std::string name;
    TFieldType type = TFieldType::ftUnknown;
    int size = 0; // characters of a text field
    friend bool operator==(const FieldSpec&, const FieldSpec&) = default;
};

struct IndexSpec {
    std::string name;    // "PodleJmena"
    std::string fields;  // "Jmeno;Cislo"
    std::string options; // "caseinsensitive" ...
    friend bool operator==(const IndexSpec&, const IndexSpec&) = default;
};

struct TableSchema {
    std::string fileName;                 // "Knihy.DB"
    std::vector<FieldSpec> fields;
    std::vector<IndexSpec> indexes;       // stored index definitions
    std::vector<std::string> sqlIndexes;  // columns given a SQLite index for speed
    std::string TableName() const;        // the file's stem
};

// Type names used in schema texts and in lendar_fields: text, smallint, integer, largeint,
// autoinc, boolean, float, currency, date, datetime, memo.
std::string FieldTypeName(TFieldType type);
std::optional<TFieldType> FieldTypeFromName(std::string_view name);
// The declared SQLite column type of a field type.
std::string SqlColumnType(TFieldType type);

// Reads a schema text:
//   file Knihy.DB
//   field Kod text 20
//   index PodleJmena Jmeno;Cislo caseinsensitive
//   sqlindex Kod
// Blank lines and lines starting with '#' are ignored. Raises EDatabaseError naming the source
// and line on an error.
TableSchema ParseSchemaText(std::string_view text, const std::string& sourceName);
TableSchema ReadSchemaFile(const std::filesystem::path& path);

// Writes a new, empty table file with the schema; an existing file is replaced only once the new
// one is complete.
void WriteTableFile(const std::filesystem::path& path, const TableSchema& schema);

// The structure a table file declares, checked against the table it holds. `schemaName` is the
// database name in the connection ("main" or an attached alias), `fileLabel` names the file in
// messages. Raises EDatabaseError with a Czech message naming the file when the file is not a
// table file of version 1 or its table differs from the declared fields.
TableSchema ReadTableStructure(sqlite3* db, const std::string& schemaName, const std::string& tableName,
                               const std::string& fileLabel);

// True when the file exists and declares exactly the schema's fields and index definitions.
bool TableFileMatches(const std::filesystem::path& path, const TableSchema& schema);

} // namespace data
