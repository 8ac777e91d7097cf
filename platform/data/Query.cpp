#include "platform/data/Query.h"

#include "platform/data/Sql.h"
#include "platform/sys/CzechText.h"

#include <map>

namespace data {
namespace {

// The table file of a table name in the folder: stem equal without regard to letter case,
// extension ".db" in any case.
std::optional<std::filesystem::path> FindTableByName(const std::filesystem::path& folder, std::string_view name)
{
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const auto& path = it->path();
        if (sys::SameTextCzech(path.extension().string(), ".db") && sys::SameTextCzech(path.stem().string(), name) &&
            it->is_regular_file(ec))
            return path;
    }
    return std::nullopt;
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
    SetSource(it->second, std::move(columns));
    InternalInitFieldDefs();
    FilterChanged();
}

void TQuery::InternalClose()
{
    ReleaseSource();
    where_.clear();
    params_.clear();
    orderBy_.clear();
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

void TQuery::BuildList(std::vector<std::int64_t>& rowids)
{
    std::string sql = "SELECT rowid FROM " + File().Qualified();
    std::string condition;
    if (!where_.empty())
        condition = "(" + where_ + ")";
    const SqlFragment& filter = FilterSql();
    if (!filter.sql.empty())
        condition += (condition.empty() ? "(" : " AND (") + filter.sql + ")";
    if (!condition.empty())
        sql += " WHERE " + condition;
    sql += " ORDER BY " + orderBy_;
    sqlite::Statement select(File().Db(), sql);
    int index = 1;
    for (const auto& p : params_)
        select.Bind(index++, p);
    for (const auto& p : filter.params)
        select.Bind(index++, p);
    while (select.Step())
        rowids.push_back(select.ColumnInt64(0));
    ApplyFilterEvent(rowids);
}

} // namespace data
