// A grid's rows of a query that reads its records in its own order straight from an index,
// without building the list of every record: the count is one count statement, and the rows
// shown are read in runs at their positions (LIMIT and OFFSET, which SQLite answers from the
// index). The archive's million loans are shown so in milliseconds; the list is built only when
// the cursor itself moves far.

#include "platform/data/SqlDataSet.h"

#include <algorithm>

namespace data {

bool TSqlDataSet::ShowsRowsWithoutList()
{
    if (listReady_ || !file_ || NaturalOrder() || !ReadsOnWithoutList())
        return false;
    if (rowsAt_.generation != file_->Generation()) {
        ForgetRowsAt();
        rowsAt_.generation = file_->Generation();
    }
    return true;
}

void TSqlDataSet::ForgetRowsAt()
{
    rowsAt_.generation = 0;
    rowsAt_.count = -1;
    rowsAt_.start = 0;
    rowsAt_.rows.clear();
    rowsAt_.readAhead = 0;
}

int TSqlDataSet::CountWithoutList()
{
    if (rowsAt_.count < 0) {
        sqlite::Statement* count = nullptr;
        PrepareCount(count);
        rowsAt_.count = count->Step() ? static_cast<int>(count->ColumnInt64(0)) : 0;
        count->Reset();
    }
    return rowsAt_.count;
}

const std::vector<Value>* TSqlDataSet::RowAtWithoutList(int position)
{
    if (position < 0 || (rowsAt_.count >= 0 && position >= rowsAt_.count))
        return nullptr;
    // The cursor's own rows read ahead hold the edits posted through it.
    if (InWindow(position)) {
        const auto slot = static_cast<std::size_t>(position - windowStart_);
        if (const std::uint64_t missing = AllFields() & ~windowState_[slot].loaded; missing != 0)
            LoadFields(missing);
        return &windowRows_[slot];
    }
    auto& rows = rowsAt_.rows;
    const int end = rowsAt_.start + static_cast<int>(rows.size());
    if (position >= rowsAt_.start && position < end)
        return &rows[static_cast<std::size_t>(position - rowsAt_.start)];

    const int start =
        std::max(0, RunStart(position, rowsAt_.start, static_cast<int>(rows.size()), rowsAt_.readAhead));

    sqlite::Statement* run = nullptr;
    const int limit = PrepareRunAt(ColumnList(AllFields()), run);
    run->BindInt64(limit, rowsAt_.readAhead);
    run->BindInt64(limit + 1, start);
    const std::vector<TFieldType>& types = Types();
    rows.clear();
    while (run->Step()) {
        std::vector<Value>& row = rows.emplace_back(columns_.size());
        for (std::size_t i = 0; i < columns_.size(); ++i)
            run->ReadValue(static_cast<int>(i) + 1, types[i], row[i]);
    }
    run->Reset();
    rowsAt_.start = start;
    if (position >= start + static_cast<int>(rows.size()))
        return nullptr;
    return &rows[static_cast<std::size_t>(position - start)];
}

} // namespace data
