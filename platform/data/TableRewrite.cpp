// Rewriting chosen fields of many records in one transaction (the school-year roll-over, the days
// lent of every loan, the loans following re-imported books and readers).

#include "platform/data/Table.h"

#include "platform/data/Field.h"
#include "platform/data/Filter.h"
#include "platform/sys/CzechText.h"

#include <algorithm>
#include <limits>
#include <map>

namespace data {

namespace {

struct PlainIndex {
    std::string drop, create;
};

// The plain indexes of the file's table over `column` (made by CREATE INDEX over columns, neither
// unique nor partial) with the statements that drop them and make them again as they were.
std::vector<PlainIndex> PlainIndexesOver(TableFile& file, const std::string& column)
{
    const std::string alias = sqlite::QuoteIdent(file.Alias());
    const std::string table = sqlite::QuoteIdent(file.TableName());
    std::vector<std::string> names;
    {
        sqlite::Statement list(file.Db(), "PRAGMA " + alias + ".index_list(" + table + ")");
        while (list.Step())
            if (list.ColumnInt64(2) == 0 && list.ColumnText(3) == "c" && list.ColumnInt64(4) == 0)
                names.push_back(list.ColumnText(1));
    }
    std::vector<PlainIndex> found;
    for (const std::string& name : names) {
        sqlite::Statement info(file.Db(), "PRAGMA " + alias + ".index_xinfo(" + sqlite::QuoteIdent(name) + ")");
        std::string columns;
        bool plain = true, over = false;
        while (info.Step()) {
            if (info.ColumnInt64(5) == 0)
                continue; // the rowid every entry ends with
            if (info.ColumnInt64(1) < 0 || info.ColumnIsNull(2)) {
                plain = false; // an expression
                continue;
            }
            const std::string field = info.ColumnText(2);
            over = over || sys::SameTextCzech(field, column);
            columns += (columns.empty() ? "" : ", ") + sqlite::QuoteIdent(field);
            if (const std::string collation = info.ColumnText(4); collation != "BINARY")
                columns += " COLLATE " + sqlite::QuoteIdent(collation);
            if (info.ColumnInt64(3) != 0)
                columns += " DESC";
        }
        if (plain && over && !columns.empty())
            found.push_back({"DROP INDEX " + alias + "." + sqlite::QuoteIdent(name),
                             "CREATE INDEX " + alias + "." + sqlite::QuoteIdent(name) + " ON " + table + " (" + columns + ")"});
    }
    return found;
}

// The rows a renumbering writes, by record number, for the SQL function lendar_renumbered(rowid):
// the row's new number, or none for a row that keeps its own. The statement asks for the rows in
// ascending record numbers, twice each, so the row asked for last is where the search starts.
struct RenumberedRows {
    const std::vector<std::pair<std::int64_t, std::int64_t>>* changes = nullptr; // ascending record numbers
    std::size_t next = 0;

    const std::int64_t* Find(std::int64_t rowid)
    {
        const auto& rows = *changes;
        if (next == 0 || rows[next - 1].first < rowid)
            for (std::size_t at = next; at < rows.size() && at < next + 2; ++at)
                if (rows[at].first >= rowid) {
                    next = at;
                    return rows[at].first == rowid ? &rows[at].second : nullptr;
                }
        const auto it = std::lower_bound(rows.begin(), rows.end(), std::make_pair(rowid, std::numeric_limits<std::int64_t>::min()));
        next = static_cast<std::size_t>(it - rows.begin());
        return it != rows.end() && it->first == rowid ? &it->second : nullptr;
    }
};

RenumberedRows* renumbering = nullptr; // while the statement runs; the connection has one thread

class RunningRenumbering {
public:
    explicit RunningRenumbering(const std::vector<std::pair<std::int64_t, std::int64_t>>& changes)
        : rows_{&changes}
    {
        renumbering = &rows_;
    }
    ~RunningRenumbering() { renumbering = nullptr; }
    RunningRenumbering(const RunningRenumbering&) = delete;
    RunningRenumbering& operator=(const RunningRenumbering&) = delete;

private:
    RenumberedRows rows_;
};

void RenumberedFunction(sqlite3_context* context, int, sqlite3_value** values)
{
    const std::int64_t* number = renumbering != nullptr ? renumbering->Find(sqlite3_value_int64(values[0])) : nullptr;
    if (number != nullptr)
        sqlite3_result_int64(context, *number);
    else
        sqlite3_result_null(context);
}

// Makes lendar_renumbered known to the connection, once: a function added anew (never replaced)
// leaves the connection's prepared statements as they are.
void EnsureRenumberedFunction(sqlite3* db)
{
    sqlite3_stmt* probe = nullptr;
    const bool known = sqlite3_prepare_v2(db, "SELECT lendar_renumbered(0)", -1, &probe, nullptr) == SQLITE_OK;
    sqlite3_finalize(probe);
    if (!known && sqlite3_create_function_v2(db, "lendar_renumbered", 1, SQLITE_UTF8 | SQLITE_DIRECTONLY, nullptr,
                                             RenumberedFunction, nullptr, nullptr, nullptr) != SQLITE_OK)
        sqlite::Fail(db, "Funkci pro přečíslování nelze zavést");
}

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

int TTable::WriteInOneTransaction(const std::function<int()>& write)
{
    TTransaction transaction;
    int written = 0;
    try {
        written = write();
        transaction.Commit();
    } catch (...) {
        transaction.Rollback();
        File().Invalidate(); // what was read of the file may no longer hold
        First();
        throw;
    }
    First();
    return written;
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
    return WriteInOneTransaction([&] {
        int written = 0;
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
        return written;
    });
}

int TTable::RenumberField(const std::string& field,
                          const std::function<std::optional<std::int64_t>(std::int64_t)>& renumber)
{
    const std::string label = Name.empty() ? std::string() : Name + ": ";
    if (!Active() || !HasSource())
        throw EDatabaseError(label + "Operaci nelze provést se zavřenou datovou sadou.");
    if (ReadOnly)
        throw EDatabaseError(label + "Tabulka je určena jen pro čtení.");
    const int column = File().FieldIndex(field);
    if (column < 0)
        throw EDatabaseError(label + "Pole '" + field + "' nebylo nalezeno.");
    const FieldSpec& spec = File().Schema().fields.at(static_cast<std::size_t>(column));
    if (spec.type != TFieldType::ftSmallint && spec.type != TFieldType::ftInteger &&
        spec.type != TFieldType::ftLargeint)
        throw EDatabaseError(label + "Pole '" + spec.name + "' není celočíselné.");
    CheckBrowseMode();

    // Everything is read before the first write, so the writes never meet the running read.
    std::vector<std::pair<std::int64_t, std::int64_t>> changes; // record number, new value
    std::size_t read = 0;
    {
        const std::string name = sqlite::QuoteIdent(spec.name);
        sqlite::Statement& select =
            File().Cached("SELECT rowid, " + name + " FROM " + File().Qualified() + " WHERE typeof(" + name +
                          ") = 'integer' ORDER BY rowid");
        select.Reset();
        while (select.Step()) {
            ++read;
            const std::int64_t value = select.ColumnInt64(1);
            if (const auto number = renumber(value); number && *number != value) {
                // A number out of the field's range is refused before anything is written.
                ConvertValue(Value{*number}, spec.type);
                changes.emplace_back(select.ColumnInt64(0), *number);
            }
        }
        select.Reset();
    }
    if (changes.empty())
        return 0;

    return WriteInOneTransaction([&] {
        const std::string name = sqlite::QuoteIdent(spec.name);
        if (changes.size() >= 1000 && changes.size() * 2 >= read) {
            // Most records change (a table's records got new numbers): one statement rewrites them
            // in a single pass over the table, and the indexes over the field are made anew
            // afterwards, which costs far less than moving each record's entry in them.
            EnsureRenumberedFunction(File().Db());
            std::vector<PlainIndex> dropped;
            for (PlainIndex& index : PlainIndexesOver(File(), spec.name)) {
                try {
                    sqlite::Exec(File().Db(), index.drop);
                    dropped.push_back(std::move(index));
                } catch (const EDatabaseError&) {
                    // A statement still reading the table holds its indexes: this one stays and
                    // is kept up to date entry by entry.
                }
            }
            const RunningRenumbering running(changes);
            sqlite::Exec(File().Db(), "UPDATE " + File().Qualified() + " SET " + name +
                                          " = lendar_renumbered(rowid) WHERE lendar_renumbered(rowid) IS NOT NULL");
            for (const PlainIndex& index : dropped)
                sqlite::Exec(File().Db(), index.create);
        } else {
            sqlite::Statement& update = File().Cached("UPDATE " + File().Qualified() + " SET " + name + " = ? WHERE rowid = ?");
            for (const auto& [rowid, number] : changes) {
                update.Reset();
                update.BindInt64(1, number);
                update.BindInt64(2, rowid);
                update.Step();
            }
            update.Reset();
        }
        File().Changed();
        return static_cast<int>(changes.size());
    });
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
    return WriteInOneTransaction([&] {
        for (const Changed& record : changed)
            updates.Write(record.bits, record.rowid, record.values);
        if (!changed.empty())
            File().Changed();
        // The records the fields cannot read are the caller's, inside the same transaction.
        if (unreadable)
            for (const std::int64_t rowid : unread)
                unreadable(rowid);
        return static_cast<int>(changed.size());
    });
}

} // namespace data
