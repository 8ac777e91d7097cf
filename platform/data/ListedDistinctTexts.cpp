// The distinct texts of chosen fields over the records a table or query holds, read in a few
// statements.

#include "platform/data/SqlDataSet.h"

#include "platform/data/Field.h"
#include "platform/sys/DistinctTexts.h"

#include <algorithm>
#include <numeric>
#include <utility>

namespace data {

std::vector<std::vector<std::string>> TSqlDataSet::ListedDistinctTexts(const std::vector<std::string>& fields)
{
    const std::string label = Name.empty() ? std::string() : Name + ": ";
    if (!Active() || !file_)
        throw EDatabaseError(label + "Operaci nelze provést se zavřenou datovou sadou.");
    const std::vector<TFieldType>& types = Types();
    std::vector<TFieldType> fieldTypes;
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

    // Per field: the texts met, and for each the first place where it appears.
    std::vector<sys::UniqueTexts> met(fields.size());
    std::vector<std::vector<std::size_t>> firstPlace(fields.size());
    Value value;
    std::string converted;
    const auto take = [&](const sqlite::Statement& row, std::size_t position) {
        for (std::size_t f = 0; f < fieldTypes.size(); ++f) {
            const int column = static_cast<int>(f) + 1;
            std::string_view text;
            if (fieldTypes[f] == TFieldType::ftString || row.ColumnIsNull(column)) {
                text = row.ColumnView(column);
            } else {
                row.ReadValue(column, fieldTypes[f], value);
                ValueText(value, fieldTypes[f], converted);
                text = converted;
            }
            const auto [number, added] = met[f].Add(text);
            if (added)
                firstPlace[f].push_back(position);
            else
                firstPlace[f][number] = std::min(firstPlace[f][number], position);
        }
    };
    // The records of the list with this record number (one, unless the list repeats it).
    const auto takeMatches = [&](const sqlite::Statement& row, std::size_t& next, std::size_t end) {
        const std::int64_t rowid = row.ColumnInt64(0);
        while (next < end && byRowid[next].first < rowid)
            ++next;
        for (; next < end && byRowid[next].first == rowid; ++next)
            take(row, byRowid[next].second);
    };

    if (!byRowid.empty()) {
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
                takeMatches(range, next, byRowid.size());
        } else {
            // Scattered records: fetched by record number, a run at a time.
            constexpr std::size_t kRun = 256;
            std::string marks = "?";
            for (std::size_t i = 1; i < kRun; ++i)
                marks += ",?";
            sqlite::Statement fetch(file_->Db(), "SELECT " + columns + " FROM " + file_->Qualified() +
                                                     " WHERE rowid IN (" + marks + ") ORDER BY rowid");
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
                    takeMatches(fetch, next, end);
            }
        }
    }

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
