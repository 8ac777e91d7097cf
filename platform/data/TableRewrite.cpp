// Rewriting chosen fields of many records in one transaction (the school-year roll-over, the days
// lent of every loan).

#include "platform/data/Table.h"

#include "platform/data/Field.h"
#include "platform/data/Filter.h"
#include "platform/sys/CzechText.h"

#include <map>

namespace data {

namespace {

// The table's fields as SQL: the filter translated against the file's columns.
SqlFragment FilterOfFile(const TableSchema& schema, std::string_view filter)
{
    return TranslateFilter(filter, [&schema](std::string_view name) -> std::optional<std::pair<std::string, TFieldType>> {
        for (const FieldSpec& spec : schema.fields)
            if (sys::SameTextCzech(spec.name, name))
                return std::make_pair(spec.name, spec.type);
        return std::nullopt;
    });
}

// One update statement per set of fields written, by the bits of the fields.
class Updates {
public:
    Updates(TableFile& file, const std::vector<const FieldSpec*>& specs) : file_(file), specs_(specs) {}

    // Writes the fields of `bits` of the record `rowid`.
    void Write(std::uint64_t bits, std::int64_t rowid, const std::vector<Value>& values)
    {
        sqlite::Statement& update = Of(bits);
        update.Reset();
        int parameter = 1;
        for (std::size_t i = 0; i < specs_.size(); ++i)
            if ((bits >> i) & 1U)
                update.Bind(parameter++, values[i]);
        update.BindInt64(parameter, rowid);
        update.Step();
        update.Reset();
    }

private:
    sqlite::Statement& Of(std::uint64_t bits)
    {
        sqlite::Statement*& statement = statements_[bits];
        if (statement == nullptr) {
            std::string sql = "UPDATE " + file_.Qualified() + " SET ";
            bool first = true;
            for (std::size_t i = 0; i < specs_.size(); ++i)
                if ((bits >> i) & 1U) {
                    sql += (first ? "" : ", ") + sqlite::QuoteIdent(specs_[i]->name) + " = ?";
                    first = false;
                }
            statement = &file_.Cached(sql + " WHERE rowid = ?");
        }
        return *statement;
    }

    TableFile& file_;
    const std::vector<const FieldSpec*>& specs_;
    std::map<std::uint64_t, sqlite::Statement*> statements_;
};

} // namespace

std::vector<const FieldSpec*> TTable::RewrittenSpecs(const std::vector<std::string>& fields)
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
    return specs;
}

int TTable::RewriteTexts(const std::vector<std::string>& fields, std::string_view filter,
                         const std::function<bool(std::vector<std::string>& texts)>& change)
{
    const std::vector<const FieldSpec*> specs = RewrittenSpecs(fields);

    // Everything is read before the first write, so the writes never meet the running read.
    const std::vector<std::vector<std::string>> read = ReadTexts(fields, filter);
    std::vector<std::int64_t> rowids;
    rowids.reserve(read.front().size());
    {
        const SqlFragment where = FilterOfFile(File().Schema(), filter);
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

    Updates updates(File(), specs);
    int written = 0;
    TTransaction transaction;
    try {
        std::vector<std::string> texts(fields.size());
        std::vector<Value> values(fields.size());
        for (std::size_t record = 0; record < rowids.size(); ++record) {
            for (std::size_t i = 0; i < fields.size(); ++i)
                texts[i] = read[i][record];
            if (!change(texts))
                continue;
            std::uint64_t bits = 0;
            for (std::size_t i = 0; i < fields.size(); ++i)
                if (texts[i] != read[i][record]) {
                    bits |= std::uint64_t{1} << i;
                    values[i] = ConvertValue(Value{texts[i]}, specs[i]->type, specs[i]->size);
                }
            if (bits == 0)
                continue;
            updates.Write(bits, rowids[record], values);
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

int TTable::RewriteValues(const std::vector<std::string>& fields,
                          const std::function<bool(std::vector<Value>& values)>& change,
                          const std::function<void(std::int64_t number)>& unreadable)
{
    const std::vector<const FieldSpec*> specs = RewrittenSpecs(fields);
    // Each value is read as the dataset reads its column, then converted as its field converts it.
    std::vector<TFieldType> columnTypes, fieldTypes;
    std::string columns = "rowid";
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const TFieldDef* def = FieldDefs().Find(fields[i]);
        const TField* field = FindField(fields[i]);
        columnTypes.push_back(def != nullptr ? def->DataType : specs[i]->type);
        fieldTypes.push_back(field != nullptr ? field->DataType() : columnTypes.back());
        columns += ", " + sqlite::QuoteIdent(specs[i]->name);
    }

    // Everything is read before the first write, so the writes never meet the running read.
    struct Changed {
        std::int64_t rowid;
        std::uint64_t bits;
        std::vector<Value> values;
    };
    std::vector<Changed> changed;
    std::vector<std::int64_t> unread;
    {
        sqlite::Statement& select = File().Cached("SELECT " + columns + " FROM " + File().Qualified() + " ORDER BY rowid");
        select.Reset();
        std::vector<Value> read(fields.size()), values(fields.size());
        try {
            while (select.Step()) {
                bool readable = true;
                for (std::size_t i = 0; i < fields.size() && readable; ++i) {
                    select.ReadValue(static_cast<int>(i) + 1, columnTypes[i], read[i]);
                    try {
                        read[i] = ConvertValue(read[i], fieldTypes[i]);
                    } catch (const EConvertError&) {
                        readable = false;
                    }
                }
                if (!readable) {
                    unread.push_back(select.ColumnInt64(0));
                    continue;
                }
                values = read;
                if (!change(values))
                    continue;
                std::uint64_t bits = 0;
                for (std::size_t i = 0; i < fields.size(); ++i)
                    if (values[i] != read[i]) {
                        bits |= std::uint64_t{1} << i;
                        values[i] = ConvertValue(values[i], specs[i]->type, specs[i]->size);
                    }
                if (bits != 0)
                    changed.push_back({select.ColumnInt64(0), bits, values});
            }
        } catch (...) {
            select.Reset();
            throw;
        }
        select.Reset();
    }

    Updates updates(File(), specs);
    TTransaction transaction;
    try {
        for (const Changed& record : changed)
            updates.Write(record.bits, record.rowid, record.values);
        if (!changed.empty())
            File().Changed();
        // The records the fields cannot read are the caller's, inside the same transaction.
        if (unreadable)
            for (const std::int64_t rowid : unread)
                unreadable(rowid);
        transaction.Commit();
    } catch (...) {
        transaction.Rollback();
        File().Invalidate();
        First();
        throw;
    }
    First();
    return static_cast<int>(changed.size());
}

} // namespace data
