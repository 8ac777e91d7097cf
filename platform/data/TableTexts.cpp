// Reading chosen fields of a whole table as texts in one statement (pick lists).

#include "platform/data/Table.h"

#include "platform/data/Field.h"
#include "platform/data/Filter.h"
#include "platform/sys/CzechText.h"

#include <algorithm>

namespace data {

namespace {

// Appends the texts of the statement's row, one per list (each of its field type, as AsString
// gives it).
void AppendTexts(const sqlite::Statement& select, const std::vector<TFieldType>& types,
                 std::vector<std::vector<std::string>>& texts, Value& value, std::string& text)
{
    for (std::size_t i = 0; i < types.size(); ++i)
        texts[i].emplace_back(select.ColumnAsText(static_cast<int>(i), types[i], value, text));
}

} // namespace

std::vector<std::vector<std::string>> TTable::ReadTexts(const std::vector<std::string>& fields, std::string_view filter)
{
    const std::string label = Name.empty() ? std::string() : Name + ": ";
    if (!Active() || !HasSource())
        throw EDatabaseError(label + "Operaci nelze provést se zavřenou datovou sadou.");
    const TableSchema& schema = File().Schema();
    std::string columns;
    std::vector<TFieldType> types;
    for (const std::string& name : fields) {
        const int column = File().FieldIndex(name);
        if (column < 0)
            throw EDatabaseError(label + "Pole '" + name + "' nebylo nalezeno.");
        const FieldSpec& spec = schema.fields.at(static_cast<std::size_t>(column));
        columns += (columns.empty() ? "" : ", ") + sqlite::QuoteIdent(spec.name);
        types.push_back(spec.type);
    }
    const SqlFragment where = TranslateFilter(filter, [&schema](std::string_view name)
                                                          -> std::optional<std::pair<std::string, TFieldType>> {
        for (const FieldSpec& spec : schema.fields)
            if (sys::SameTextCzech(spec.name, name))
                return std::make_pair(spec.name, spec.type);
        return std::nullopt;
    });
    sqlite::Statement& select =
        File().Cached("SELECT " + columns + " FROM " + File().Qualified() +
                      (where.sql.empty() ? std::string() : " WHERE (" + where.sql + ")") + " ORDER BY rowid");
    select.Reset();
    for (std::size_t i = 0; i < where.params.size(); ++i)
        select.Bind(static_cast<int>(i) + 1, where.params[i]);

    // Room for every record at once when the table's records are counted already: growing lists
    // of 100,000 texts step by step costs more than reading them, counting them first costs more
    // than growing.
    std::vector<std::vector<std::string>> texts(fields.size());
    if (const std::size_t known = File().KnownRowCount(); known > 0)
        for (auto& column : texts)
            column.reserve(known);
    Value value;
    std::string text;
    try {
        while (select.Step())
            AppendTexts(select, types, texts, value, text);
    } catch (...) {
        select.Reset();
        throw;
    }
    select.Reset();
    return texts;
}

} // namespace data
