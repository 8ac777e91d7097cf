// The texts of chosen fields over the records a table or query lists: all of them in the list's
// order, or each distinct text once. Both read the file in its own order in a few statements.

#include "platform/data/SqlDataSet.h"

#include "platform/data/Field.h"
#include "platform/sys/DistinctTexts.h"

#include <algorithm>
#include <numeric>
#include <utility>

namespace data {

std::string TSqlDataSet::ListedColumns(const std::vector<std::string>& fields, std::vector<TFieldType>& fieldTypes)
{
    const std::string label = Name.empty() ? std::string() : Name + ": ";
    if (!Active() || !file_)
        throw EDatabaseError(label + "Operaci nelze provést se zavřenou datovou sadou.");
    const std::vector<TFieldType>& types = Types();
    std::string columns = "rowid";
    for (const std::string& name : fields) {
        const TField* field = FindField(name);
        const int index = field != nullptr && field->FieldKind() == TFieldKind::fkData ? field->FieldNo() - 1 : -1;
        if (index < 0 || index >= static_cast<int>(columns_.size()))
            throw EDatabaseError(label + "Pole '" + name + "' nebylo nalezeno.");
        const int column = columns_[static_cast<std::size_t>(index)];
        columns += ", " + sqlite::QuoteIdent(file_->Schema().fields.at(static_cast<std::size_t>(column)).name);
        fieldTypes.push_back(types[static_cast<std::size_t>(index)]);
    }
    return columns;
}

void TSqlDataSet::ForEachListed(const std::string& columns,
                                const std::function<void(const sqlite::Statement& row, std::size_t position)>& visit)
{
    EnsureFresh();
    EnsureList();
    const std::vector<std::int64_t>& list = List();

    // The records by record number, each with its place in the dataset's order, so that the file
    // is read in its own order.
    std::vector<std::pair<std::int64_t, std::size_t>> byRowid;
    byRowid.reserve(list.size());
    for (std::size_t position = 0; position < list.size(); ++position)
        byRowid.emplace_back(list[position], position);
    if (!(NaturalOrder() || useAll_))
        std::sort(byRowid.begin(), byRowid.end());
    if (byRowid.empty())
        return;

    // The records of the list with this record number (one, unless the list repeats it).
    const auto visitMatches = [&](const sqlite::Statement& row, std::size_t& next, std::size_t end) {
        const std::int64_t rowid = row.ColumnInt64(0);
        while (next < end && byRowid[next].first < rowid)
            ++next;
        for (; next < end && byRowid[next].first == rowid; ++next)
            visit(row, byRowid[next].second);
    };
    const std::int64_t firstRowid = byRowid.front().first;
    const std::int64_t lastRowid = byRowid.back().first;
    const auto count = static_cast<std::int64_t>(byRowid.size());
    if (lastRowid - firstRowid < 4 * count + 16) {
        // Most of the file's records in that range: one scan of it.
        sqlite::Statement range(file_->Db(), "SELECT " + columns + " FROM " + file_->Qualified() +
                                                 " WHERE rowid BETWEEN ? AND ? ORDER BY rowid");
        range.BindInt64(1, firstRowid);
        range.BindInt64(2, lastRowid);
        std::size_t next = 0;
        while (range.Step())
            visitMatches(range, next, byRowid.size());
        return;
    }
    // Scattered records: fetched by record number, a run at a time.
    constexpr std::size_t kRun = 256;
    std::string marks = "?";
    for (std::size_t i = 1; i < kRun; ++i)
        marks += ",?";
    sqlite::Statement fetch(file_->Db(), "SELECT " + columns + " FROM " + file_->Qualified() + " WHERE rowid IN (" +
                                             marks + ") ORDER BY rowid");
    for (std::size_t start = 0; start < byRowid.size(); start += kRun) {
        const std::size_t end = std::min(byRowid.size(), start + kRun);
        fetch.Reset();
        for (std::size_t i = 0; i < kRun; ++i) {
            if (start + i < end)
                fetch.BindInt64(static_cast<int>(i) + 1, byRowid[start + i].first);
            else
                fetch.BindNull(static_cast<int>(i) + 1);
        }
        std::size_t next = start;
        while (fetch.Step())
            visitMatches(fetch, next, end);
    }
}

std::vector<std::vector<std::string>> TSqlDataSet::ReadTextsInOrder(const std::vector<std::string>& fields)
{
    std::vector<TFieldType> types;
    const std::string columns = ListedColumns(fields, types);
    EnsureFresh();
    EnsureList();
    const std::size_t size = List().size();
    std::vector<std::vector<std::string>> texts(fields.size(), std::vector<std::string>(size));
    std::vector<bool> read(size, false);
    Value value;
    std::string converted;
    ForEachListed(columns, [&](const sqlite::Statement& row, std::size_t position) {
        read[position] = true;
        for (std::size_t f = 0; f < types.size(); ++f)
            texts[f][position] = row.ColumnAsText(static_cast<int>(f) + 1, types[f], value, converted);
    });
    // A record gone from the file meanwhile is left out; the list is rebuilt on its next use.
    if (std::find(read.begin(), read.end(), false) != read.end())
        for (auto& column : texts) {
            std::size_t kept = 0;
            for (std::size_t position = 0; position < size; ++position)
                if (read[position])
                    column[kept++] = std::move(column[position]);
            column.resize(kept);
        }
    return texts;
}

std::vector<std::vector<std::string>> TSqlDataSet::ListedDistinctTexts(const std::vector<std::string>& fields)
{
    std::vector<TFieldType> fieldTypes;
    const std::string columns = ListedColumns(fields, fieldTypes);

    // Per field: the texts met, and for each the first place where it appears.
    std::vector<sys::UniqueTexts> met(fields.size());
    std::vector<std::vector<std::size_t>> firstPlace(fields.size());
    Value value;
    std::string converted;
    ForEachListed(columns, [&](const sqlite::Statement& row, std::size_t position) {
        for (std::size_t f = 0; f < fieldTypes.size(); ++f) {
            const auto [number, added] =
                met[f].Add(row.ColumnAsText(static_cast<int>(f) + 1, fieldTypes[f], value, converted));
            if (added)
                firstPlace[f].push_back(position);
            else
                firstPlace[f][number] = std::min(firstPlace[f][number], position);
        }
    });

    std::vector<std::vector<std::string>> texts(fields.size());
    for (std::size_t f = 0; f < fields.size(); ++f) {
        std::vector<std::string> all = met[f].Take();
        std::vector<std::size_t> order(all.size());
        std::iota(order.begin(), order.end(), std::size_t{0});
        const std::vector<std::size_t>& place = firstPlace[f];
        std::sort(order.begin(), order.end(), [&place](std::size_t a, std::size_t b) { return place[a] < place[b]; });
        texts[f].reserve(all.size());
        for (std::size_t k : order)
            texts[f].push_back(std::move(all[k]));
    }
    return texts;
}

} // namespace data
