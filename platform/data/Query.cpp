#include "platform/data/Query.h"

#include "platform/data/FilterParser.h"
#include "platform/data/Sql.h"
#include "platform/sys/CzechText.h"

#include <algorithm>
#include <array>
#include <map>
#include <sys/stat.h>

namespace data {
namespace {

// The table file of a table name in the folder: the name with the extension ".db", found by the
// session's resolver (letter case ignored).
std::optional<std::filesystem::path> FindTableByName(const std::filesystem::path& folder, std::string_view name)
{
    if (name.empty() || name.find('/') != std::string_view::npos)
        return std::nullopt;
    return Session::FindTableFile(folder, std::string(name) + ".db");
}

struct KeyedRow {
    std::uint64_t prefix; // the key's first eight bytes, big-endian: most comparisons end here
    const std::string* key; // nullptr: no value
    std::int64_t rowid;
};

std::uint64_t KeyPrefix(const std::string& key)
{
    std::uint64_t prefix = 0;
    for (std::size_t i = 0; i < 8; ++i)
        prefix = (prefix << 8) | (i < key.size() ? static_cast<unsigned char>(key[i]) : 0u);
    return prefix;
}

// Sorts as SQLite orders "col COLLATE CZECH [DESC], rowid": no value before any text (after, when
// descending), equal texts by record number.
void SortByKey(std::vector<KeyedRow>& rows, bool descending)
{
    const auto compareKeys = [](const KeyedRow& a, const KeyedRow& b) {
        if (!a.key || !b.key)
            return (a.key == nullptr) == (b.key == nullptr) ? 0 : a.key == nullptr ? -1 : 1;
        if (a.prefix != b.prefix)
            return a.prefix < b.prefix ? -1 : 1;
        const int c = a.key->compare(*b.key);
        return c < 0 ? -1 : c > 0 ? 1 : 0;
    };
    std::sort(rows.begin(), rows.end(), [&](const KeyedRow& a, const KeyedRow& b) {
        int c = compareKeys(a, b);
        if (descending)
            c = -c;
        return c != 0 ? c < 0 : a.rowid < b.rowid;
    });
}

} // namespace

TQuery::TQuery()
{
    SQL.OnChange = [this] {
        if (Active())
            Close();
    };
}

TQuery::~TQuery()
{
    SQL.OnChange = nullptr;
    try {
        Close();
    } catch (...) {
    }
}

void TQuery::InternalOpen()
{
    const std::filesystem::path folder = std::filesystem::current_path();
    std::map<std::string, std::shared_ptr<TableFile>> opened;
    const TableCatalog catalog = [&](std::string_view name) -> std::optional<TableInfo> {
        const auto path = FindTableByName(folder, name);
        if (!path)
            return std::nullopt;
        auto file = Session::Instance().Attach(*path);
        TableInfo info;
        info.name = file->TableName();
        for (const auto& spec : file->Schema().fields)
            info.columns.emplace_back(spec.name, spec.type);
        opened[info.name] = std::move(file);
        return info;
    };
    const SelectStatement statement = TranslateSelect(SQL.Lines(), catalog);
    auto it = opened.find(statement.table);
    if (it == opened.end())
        throw EDatabaseError((Name.empty() ? "" : Name + ": ") + "Tabulka '" + statement.table + "' nebyla nalezena.");
    std::vector<int> columns;
    for (const auto& column : statement.columns) {
        const int index = it->second->FieldIndex(column);
        if (index < 0)
            throw EDatabaseError((Name.empty() ? "" : Name + ": ") + "Pole '" + column + "' nebylo nalezeno.");
        columns.push_back(index);
    }
    where_ = statement.where;
    params_ = statement.params;
    orderBy_ = statement.orderBy.empty() ? std::string("rowid") : statement.orderBy;
    orderTerms_ = statement.orderTerms;
    SetSource(it->second, std::move(columns));
    InternalInitFieldDefs();
    opening_ = true;
    try {
        FilterChanged();
    } catch (...) {
        opening_ = false;
        kept_.reset();
        throw;
    }
    opening_ = false;
    kept_.reset();
}

void TQuery::InternalClose()
{
    kept_.reset();
    // Kept only when everything written is in the file, so that an unchanged file means an
    // unchanged list.
    if (HasSource() && Session::Instance().TransactionDepth() == 0 && !(Filtered() && OnFilterRecord)) {
        const auto stamp = StampOf(File());
        auto list = TakeCurrentList();
        if (stamp && list)
            kept_ = KeptList{std::move(*list), Statement(), Params(), *stamp};
    }
    ReleaseSource();
    where_.clear();
    params_.clear();
    orderBy_.clear();
    orderTerms_.clear();
    planChecked_ = false;
}

void TQuery::InternalInitFieldDefs()
{
    FieldDefs().Clear();
    if (!HasSource())
        return;
    // The columns of the result; a record number is a plain integer here.
    for (const int column : SourceColumns()) {
        const FieldSpec& spec = File().Schema().fields[static_cast<std::size_t>(column)];
        FieldDefs().Add(spec.name, spec.type == TFieldType::ftAutoInc ? TFieldType::ftInteger : spec.type, spec.size);
    }
}

std::string TQuery::Condition() const
{
    std::string condition;
    if (!where_.empty())
        condition = "(" + where_ + ")";
    const SqlFragment& filter = FilterSql();
    if (!filter.sql.empty())
        condition += (condition.empty() ? "(" : " AND (") + filter.sql + ")";
    return condition;
}

std::string TQuery::FromWhere(const std::string& condition) const
{
    return " FROM " + File().Qualified() + (condition.empty() ? std::string() : " WHERE " + condition);
}

int TQuery::BindCondition(sqlite::Statement& statement) const
{
    int index = 1;
    for (const auto& p : params_)
        statement.Bind(index++, p);
    for (const auto& p : FilterSql().params)
        statement.Bind(index++, p);
    return index;
}

bool TQuery::ReadsOnWithoutList() const
{
    // The order ends with the record number, so the first records SQLite gives under a LIMIT are
    // always the first ones of the whole list. Worth it only when no sorting is needed for them.
    if (!HasSource() || (Filtered() && OnFilterRecord) || (orderTerms_.size() == 1 && orderTerms_.front().czechText))
        return false;
    const std::string condition = Condition();
    if (!planChecked_ || condition != planCondition_) {
        sqlite::Statement plan(File().Db(), "EXPLAIN QUERY PLAN SELECT rowid" + FromWhere(condition) + " ORDER BY " + orderBy_);
        bool sorts = false;
        while (plan.Step())
            sorts |= plan.ColumnText(3).find("TEMP B-TREE") != std::string::npos;
        planCondition_ = condition;
        planChecked_ = true;
        indexOrder_ = !sorts;
    }
    return indexOrder_;
}

int TQuery::PrepareRunAt(const std::string& columns, sqlite::Statement*& statement)
{
    statement = &File().Cached("SELECT " + columns + FromWhere(Condition()) + " ORDER BY " + orderBy_ + " LIMIT ? OFFSET ?");
    statement->Reset();
    return BindCondition(*statement);
}

void TQuery::PrepareCount(sqlite::Statement*& statement)
{
    statement = &File().Cached("SELECT count(*)" + FromWhere(Condition()));
    statement->Reset();
    BindCondition(*statement);
}

std::optional<TQuery::FileStamp> TQuery::StampOf(const TableFile& file)
{
    // The header is read through the connection's own descriptor: opening and closing another one
    // would drop the locks SQLite holds on the file.
    struct stat st {};
    sqlite3_file* handle = nullptr;
    std::array<unsigned char, 4> counter{};
    if (::stat(file.Path().c_str(), &st) != 0 ||
        sqlite3_file_control(file.Db(), file.Alias().c_str(), SQLITE_FCNTL_FILE_POINTER, &handle) != SQLITE_OK ||
        handle == nullptr || handle->pMethods == nullptr ||
        handle->pMethods->xRead(handle, counter.data(), static_cast<int>(counter.size()), 24) != SQLITE_OK)
        return std::nullopt;
    FileStamp stamp;
    stamp.device = static_cast<std::uint64_t>(st.st_dev);
    stamp.inode = static_cast<std::uint64_t>(st.st_ino);
    stamp.size = static_cast<std::uint64_t>(st.st_size);
    stamp.modified = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    stamp.changed = static_cast<std::int64_t>(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    stamp.counter = (std::uint32_t{counter[0]} << 24) | (std::uint32_t{counter[1]} << 16) |
                    (std::uint32_t{counter[2]} << 8) | counter[3];
    return stamp;
}

std::string TQuery::Statement() const
{
    std::string statement = where_ + '\x1f' + orderBy_ + '\x1f' + FilterSql().sql;
    for (const OrderTerm& term : orderTerms_)
        statement += '\x1f' + term.column + (term.descending ? " DESC" : "") + (term.czechText ? " CZECH" : "");
    return statement;
}

std::vector<Value> TQuery::Params() const
{
    std::vector<Value> params = params_;
    params.insert(params.end(), FilterSql().params.begin(), FilterSql().params.end());
    return params;
}

void TQuery::BuildList(std::vector<std::int64_t>& rowids)
{
    if (opening_ && kept_) {
        KeptList kept = std::move(*kept_);
        kept_.reset();
        if (Session::Instance().TransactionDepth() == 0 && !(Filtered() && OnFilterRecord) &&
            kept.statement == Statement() && kept.params == Params() && StampOf(File()) == kept.stamp) {
            rowids = std::move(kept.rowids);
            return;
        }
    }

    // One text key (the lists' usual order): SQLite only selects, and the rows are put in Czech
    // order here by collation sort keys, which is several times faster than letting SQLite call the
    // collator for every comparison. Other orderings are left to SQLite.
    const bool sortByKey = orderTerms_.size() == 1 && orderTerms_.front().czechText;
    std::string sql = "SELECT rowid";
    if (sortByKey)
        sql += ", " + filter_detail::QuoteIdentifier(orderTerms_.front().column);
    sql += FromWhere(Condition());
    if (!sortByKey)
        sql += " ORDER BY " + orderBy_;
    sqlite::Statement select(File().Db(), sql);
    BindCondition(select);
    if (!sortByKey) {
        while (select.Step())
            rowids.push_back(select.ColumnInt64(0));
    } else {
        // Keys are kept per row between builds; a row whose text changed gets a new one. The keys
        // missing are made all at once, after the read.
        auto& keys = File().SortKeys(File().FieldIndex(orderTerms_.front().column));
        std::vector<KeyedRow> rows;
        std::vector<std::size_t> missing;     // rows whose key is to be made
        std::vector<std::string> missingText; // their texts
        std::vector<std::size_t> missingHash; // and the texts' hashes
        while (select.Step()) {
            KeyedRow row{0, nullptr, select.ColumnInt64(0)};
            if (!select.ColumnIsNull(1)) {
                const std::string_view text = select.ColumnView(1);
                const std::size_t hash = std::hash<std::string_view>{}(text);
                const auto it = keys.find(row.rowid);
                if (it != keys.end() && it->second.textHash == hash) {
                    row.key = &it->second.key;
                    row.prefix = KeyPrefix(it->second.key);
                } else {
                    missing.push_back(rows.size());
                    missingText.emplace_back(text);
                    missingHash.push_back(hash);
                }
            }
            rows.push_back(row);
        }
        if (!missing.empty()) {
            std::vector<std::string> made = sys::SortKeysCzech({missingText.begin(), missingText.end()});
            for (std::size_t i = 0; i < missing.size(); ++i) {
                KeyedRow& row = rows[missing[i]];
                TableFile::SortKey& key =
                    keys.insert_or_assign(row.rowid, TableFile::SortKey{missingHash[i], std::move(made[i])}).first->second;
                row.key = &key.key;
                row.prefix = KeyPrefix(key.key);
            }
        }
        SortByKey(rows, orderTerms_.front().descending);
        rowids.reserve(rowids.size() + rows.size());
        for (const KeyedRow& row : rows)
            rowids.push_back(row.rowid);
    }
    ApplyFilterEvent(rowids);
}

} // namespace data
