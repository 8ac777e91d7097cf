#pragma once
// Translation of dataset filter texts ("Kod='A12' AND VracenoB='False'", "Dnu>60") into SQLite
// conditions with bound parameters, literals converted to the type of the column they meet.

#include "platform/data/FilterAst.h"
#include "platform/data/Value.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace data {

// A piece of SQLite SQL with `?` placeholders and the values to bind to them, in order.
struct SqlFragment {
    std::string sql;
    std::vector<Value> params;
};

// Resolves a field name (case-insensitively) to its canonical name and type; empty when the
// table has no such field.
using ColumnTypes = std::function<std::optional<std::pair<std::string, TFieldType>>(std::string_view)>;

// The filter as a WHERE condition (without the keyword), columns quoted ("Kod"). An empty filter
// gives an empty fragment. Raises EDatabaseError (Czech message) on a syntax error, an unknown
// field or a literal that does not fit the field's type.
SqlFragment TranslateFilter(std::string_view filter, const ColumnTypes& columns);

// Translates an already parsed condition; shared by filters and local SQL.
SqlFragment TranslateCondition(const FilterNode& condition, const ColumnTypes& columns);

} // namespace data
