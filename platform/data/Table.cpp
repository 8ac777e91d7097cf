#include "platform/data/Table.h"

namespace data {

TTable::~TTable()
{
    try {
        Close();
    } catch (...) {
    }
}

std::filesystem::path TTable::ResolvePath() const
{
    if (TableName.empty())
        throw EDatabaseError((Name.empty() ? "" : Name + ": ") + "Není zadán název tabulky.");
    return Session::ResolveTableFile(std::filesystem::current_path(), TableName);
}

void TTable::InternalOpen()
{
    auto file = Session::Instance().Attach(ResolvePath());
    std::vector<int> columns(file->Schema().fields.size());
    for (std::size_t i = 0; i < columns.size(); ++i)
        columns[i] = static_cast<int>(i);
    SetSource(std::move(file), std::move(columns));
    InternalInitFieldDefs();
    FilterChanged(); // the filter set before opening, and the first list of records
}

void TTable::InternalClose() { ReleaseSource(); }

void TTable::InternalInitFieldDefs()
{
    FieldDefs().Clear();
    if (!HasSource())
        return;
    for (const auto& spec : File().Schema().fields)
        FieldDefs().Add(spec.name, spec.type, spec.size);
}

bool TTable::UsesAllRows() const { return FilterSql().sql.empty() && !(Filtered() && OnFilterRecord); }

void TTable::BuildList(std::vector<std::int64_t>& rowids)
{
    const SqlFragment& filter = FilterSql();
    if (filter.sql.empty()) {
        rowids = File().AllRowids();
    } else {
        sqlite::Statement& select = File().Cached("SELECT rowid FROM " + File().Qualified() + " WHERE (" + filter.sql +
                                                  ") ORDER BY rowid");
        select.Reset();
        for (std::size_t i = 0; i < filter.params.size(); ++i)
            select.Bind(static_cast<int>(i) + 1, filter.params[i]);
        while (select.Step())
            rowids.push_back(select.ColumnInt64(0));
        select.Reset();
    }
    ApplyFilterEvent(rowids);
}

void TTable::EmptyTable()
{
    if (ReadOnly)
        throw EDatabaseError((Name.empty() ? "" : Name + ": ") + "Tabulku nelze vyprázdnit, je určena jen pro čtení.");
    if (Active()) {
        CheckBrowseMode();
        sqlite::Exec(File().Db(), "DELETE FROM " + File().Qualified());
        File().Invalidate();
        First();
        return;
    }
    auto file = Session::Instance().Attach(ResolvePath());
    sqlite::Exec(file->Db(), "DELETE FROM " + file->Qualified());
    file->Invalidate();
}

} // namespace data
