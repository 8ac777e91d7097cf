#pragma once
// Local SQL: the SELECT texts the program keeps as lists of lines ("SELECT * FROM Knihy",
// "WHERE Nazev LIKE \"Bab%\"", " AND Autor LIKE \"Ča%\"", "ORDER BY Kod") parsed and turned into
// the parts of a SQLite statement with bound parameters.

#include "platform/data/Filter.h"
#include "platform/data/Value.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace data {

struct TableInfo {
    std::string name;                                        // canonical table name
    std::vector<std::pair<std::string, TFieldType>> columns; // canonical column names and types
};

// Resolves a table name (case-insensitively, Czech letters included); empty when unknown.
using TableCatalog = std::function<std::optional<TableInfo>(std::string_view name)>;

// One key of the ordering: a canonical column name, whether it is compared as Czech text, and
// its direction.
struct OrderTerm {
    std::string column;
    bool czechText = false;
    bool descending = false;
};

struct SelectStatement {
    std::string table;                // canonical table name
    std::vector<std::string> columns; // canonical names of the selected columns; all for *
    std::string where;                // SQLite condition without "WHERE"; empty for none
    std::vector<Value> params;        // values for the `?` in where, in order
    std::string orderBy;              // SQLite ordering without "ORDER BY"; ends with rowid
    std::vector<OrderTerm> orderTerms; // the same ordering as a list (rowid not included)
};

// Joins the lines with blanks and parses
//   SELECT * | col {, col} FROM table [WHERE condition] [ORDER BY col [ASC|DESC] {, ...}]
// where double-quoted texts are string literals. Raises EDatabaseError (Czech message) on an
// unknown table or column or a syntax error.
SelectStatement TranslateSelect(const std::vector<std::string>& lines, const TableCatalog& catalog);

} // namespace data
