// Rewriting chosen fields of many records in one transaction (the school-year roll-over).

#include "platform/data/Table.h"

#include "platform/data/Field.h"
#include "platform/data/Filter.h"
#include "platform/sys/CzechText.h"

#include <map>

namespace data {

int TTable::RewriteTexts(const std::vector<std::string>& fields, std::string_view filter,
                         const std::function<bool(std::vector<std::string>& texts)>& change)
{
    const std::string label = Name.empty() ? std::string() : Name + ": ";
    if (!Active() || !HasSource())
        throw EDatabaseError(label + "Operaci nelze provést se zavřenou datovou sadou.");
    if (ReadOnly)
        throw EDatabaseError(label + "Tabulka je určena jen pro čtení.");
    if (fields.empty() || fields.size() >= 64)
        throw EDatabaseError(label + "Nelze přepsat zadaná pole.");
    CheckBrowseMode();

    const TableSchema& schema = File().Schema();
    std::vector<const FieldSpec*> specs;
    for (const std::string& name : fields) {
        const int column = File().FieldIndex(name);
        if (column < 0)
            throw EDatabaseError(label + "Pole '" + name + "' nebylo nalezeno.");
        specs.push_back(&schema.fields.at(static_cast<std::size_t>(column)));
    }

    // Everything is read before the first write, so the writes never meet the running read.
    const std::vector<std::vector<std::string>> read = ReadTexts(fields, filter);
    std::vector<std::int64_t> rowids;
    rowids.reserve(read.front().size());
    {
        const SqlFragment where = TranslateFilter(filter, [&schema](std::string_view name)
                                                              -> std::optional<std::pair<std::string, TFieldType>> {
            for (const FieldSpec& spec : schema.fields)
                if (sys::SameTextCzech(spec.name, name))
                    return std::make_pair(spec.name, spec.type);
            return std::nullopt;
        });
        sqlite::Statement& select = File().Cached("SELECT rowid FROM " + File().Qualified() +
                                                  (where.sql.empty() ? std::string() : " WHERE (" + where.sql + ")") +
                                                  " ORDER BY rowid");
        select.Reset();
        for (std::size_t i = 0; i < where.params.size(); ++i)
            select.Bind(static_cast<int>(i) + 1, where.params[i]);
        while (select.Step())
            rowids.push_back(select.ColumnInt64(0));
        select.Reset();
    }

    // One update statement per set of fields written, by the bits of the fields.
    std::map<std::uint64_t, sqlite::Statement*> updates;
    const auto updateOf = [&](std::uint64_t bits) -> sqlite::Statement& {
        sqlite::Statement*& statement = updates[bits];
        if (statement == nullptr) {
            std::string sql = "UPDATE " + File().Qualified() + " SET ";
            bool first = true;
            for (std::size_t i = 0; i < specs.size(); ++i)
                if ((bits >> i) & 1U) {
                    sql += (first ? "" : ", ") + sqlite::QuoteIdent(specs[i]->name) + " = ?";
                    first = false;
                }
            statement = &File().Cached(sql + " WHERE rowid = ?");
        }
        return *statement;
    };

    int written = 0;
    TTransaction transaction;
    try {
        std::vector<std::string> texts(fields.size());
        for (std::size_t record = 0; record < rowids.size(); ++record) {
            for (std::size_t i = 0; i < fields.size(); ++i)
                texts[i] = read[i][record];
            if (!change(texts))
                continue;
            std::uint64_t bits = 0;
            for (std::size_t i = 0; i < fields.size(); ++i)
                if (texts[i] != read[i][record])
                    bits |= std::uint64_t{1} << i;
            if (bits == 0)
                continue;
            sqlite::Statement& update = updateOf(bits);
            update.Reset();
            int parameter = 1;
            for (std::size_t i = 0; i < specs.size(); ++i)
                if ((bits >> i) & 1U) {
                    update.Bind(parameter++, ConvertValue(Value{texts[i]}, specs[i]->type, specs[i]->size));
                }
            update.BindInt64(parameter, rowids[record]);
            update.Step();
            update.Reset();
            ++written;
        }
        if (written > 0)
            File().Changed();
        transaction.Commit();
    } catch (...) {
        transaction.Rollback();
        File().Invalidate();
        First();
        throw;
    }
    First();
    return written;
}

} // namespace data
