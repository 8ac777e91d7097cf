#include "platform/data/SqlDataSet.h"

#include "platform/data/ValueText.h"
#include "platform/sys/CzechText.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

namespace data {
namespace {

constexpr int kFirstRun = 16;  // rows read at once after the cursor jumped
constexpr int kLongestRun = 256; // rows read at once while reading on in one direction

std::string KeyText(const Value& v)
{
    if (const auto* s = std::get_if<std::string>(&v))
        return "s" + *s;
    if (const auto* i = std::get_if<std::int64_t>(&v))
        return "i" + std::to_string(*i);
    try {
        return "o" + std::get<std::string>(ConvertValue(v, TFieldType::ftMemo));
    } catch (const std::exception&) {
        return "?";
    }
}

TFieldType KeyType(TFieldType stored)
{
    return stored == TFieldType::ftAutoInc ? TFieldType::ftLargeint : stored;
}

std::uint64_t FieldBit(std::size_t field) { return std::uint64_t{1} << std::min<std::size_t>(field, 63); }

// Copies a row into a record buffer; numbers and dates over ones of the same kind are set
// directly, which is much cheaper than the general assignment of a value. Only the fields in
// `loaded` are copied: the record reads the others when asked for them.
void CopyRow(std::vector<Value>& to, const std::vector<Value>& from, std::uint64_t loaded)
{
    if (to.size() != from.size()) {
        to = from;
        return;
    }
    for (std::size_t i = 0; i < from.size(); ++i) {
        if ((loaded & FieldBit(i)) == 0)
            continue;
        const Value& source = from[i];
        Value& target = to[i];
        if (source.index() == target.index()) {
            if (const auto* n = std::get_if<std::int64_t>(&source)) {
                *std::get_if<std::int64_t>(&target) = *n;
                continue;
            }
            if (const auto* d = std::get_if<TDateTime>(&source)) {
                *std::get_if<TDateTime>(&target) = *d;
                continue;
            }
            if (const auto* b = std::get_if<bool>(&source)) {
                *std::get_if<bool>(&target) = *b;
                continue;
            }
            if (IsNull(source))
                continue;
        }
        target = source;
    }
}

std::string Marks(int count)
{
    std::string marks;
    for (int i = 0; i < count; ++i)
        marks += i == 0 ? "?" : ",?";
    return marks;
}

// Every dataset alive, by address, with its id.
std::unordered_map<const TSqlDataSet*, std::uint64_t>& LiveDataSets()
{
    static auto* live = new std::unordered_map<const TSqlDataSet*, std::uint64_t>();
    return *live;
}

std::uint64_t nextInstanceId = 0;
std::uint64_t nextOpenSerial = 0;

} // namespace

TSqlDataSet::TSqlDataSet()
    : instanceId_(++nextInstanceId)
{
    LiveDataSets()[this] = instanceId_;
}

TSqlDataSet::~TSqlDataSet()
{
    // Descendants closed themselves already; the file no longer lists this dataset.
    if (file_)
        file_->RemoveDataSet(this);
    LiveDataSets().erase(this);
}

bool TSqlDataSet::Exists(const TSqlDataSet* dataSet, std::uint64_t instanceId)
{
    const auto it = LiveDataSets().find(dataSet);
    return it != LiveDataSets().end() && it->second == instanceId;
}

// ---- Source and list ----

void TSqlDataSet::SetSource(std::shared_ptr<TableFile> file, std::vector<int> columns)
{
    if (file_)
        file_->RemoveDataSet(this);
    file_ = std::move(file);
    if (file_)
        file_->AddDataSet(this);
    openSerial_ = ++nextOpenSerial;
    columns_ = std::move(columns);
    types_.clear();
    useAll_ = false;
    listReady_ = false;
    list_.clear();
    ClearWindow();
    positions_.clear();
    positionsKnown_ = false;
    pos_ = -1;
    seenGeneration_ = 0;
    lookupCache_.clear();
    lookupGeneration_ = 0;
    updates_.clear();
    lastUpdate_ = nullptr;
    insert_ = nullptr;
    ranges_.clear();
    fetches_.clear();
    ForgetRowsAt();
}

void TSqlDataSet::ReleaseSource()
{
    useAll_ = false;
    listReady_ = false;
    list_.clear();
    list_.shrink_to_fit();
    ClearWindow();
    windowRows_.shrink_to_fit();
    positions_.clear();
    lookupCache_.clear();
    filterSql_ = {};
    updates_.clear();
    lastUpdate_ = nullptr;
    insert_ = nullptr;
    ranges_.clear();
    fetches_.clear();
    ForgetRowsAt();
    rowsAt_.rows.shrink_to_fit();
    types_.clear();
    if (file_)
        file_->RemoveDataSet(this);
    file_.reset(); // detaches the file when no other dataset holds it
}

ColumnTypes TSqlDataSet::FieldColumnTypes() const
{
    return [this](std::string_view name) -> std::optional<std::pair<std::string, TFieldType>> {
        const auto& defs = const_cast<TSqlDataSet*>(this)->FieldDefs();
        for (int i = 0; i < defs.Count(); ++i) {
            if (!sys::SameTextCzech(defs[i].Name, name))
                continue;
            const FieldSpec& spec = file_->Schema().fields.at(static_cast<std::size_t>(columns_.at(static_cast<std::size_t>(i))));
            return std::make_pair(spec.name, spec.type);
        }
        return std::nullopt;
    };
}

const std::vector<TFieldType>& TSqlDataSet::Types()
{
    if (types_.size() != columns_.size()) {
        types_.clear();
        for (std::size_t c = 0; c < columns_.size(); ++c)
            types_.push_back(FieldDefs()[static_cast<int>(c)].DataType);
    }
    return types_;
}

void TSqlDataSet::FilterChanged()
{
    if (!file_)
        return;
    if (Filtered() && !Filter().empty())
        filterSql_ = TranslateFilter(Filter(), FieldColumnTypes());
    else
        filterSql_ = {};
    Rebuild(false); // the cursor moves to the first record next
}

std::optional<std::vector<std::int64_t>> TSqlDataSet::TakeCurrentList()
{
    if (!file_ || !listReady_ || useAll_ || seenGeneration_ != file_->Generation())
        return std::nullopt;
    std::vector<std::int64_t> list = std::move(list_);
    list_.clear();
    listReady_ = false;
    return list;
}

void TSqlDataSet::EnsureFresh()
{
    if (!file_ || file_->Generation() == seenGeneration_)
        return;
    // Standing before the first record: nothing to keep, and the list may wait.
    Rebuild(pos_ >= 0);
}

void TSqlDataSet::EnsureList()
{
    if (listReady_)
        return;
    const int windowEnd = windowStart_ + static_cast<int>(windowRowids_.size());
    const bool afterLast = endKnown_ && pos_ >= windowEnd;
    const std::int64_t current = InWindow(pos_) ? windowRowids_[static_cast<std::size_t>(pos_ - windowStart_)] : 0;
    positions_.clear();
    positionsKnown_ = false;
    list_.clear();
    useAll_ = UsesAllRows();
    if (useAll_) {
        list_.shrink_to_fit();
        file_->AllRowids(); // kept up to date by the table from now on
    } else {
        BuildList(list_);
    }
    listReady_ = true;
    endKnown_ = false;
    // The rows read on from the first record keep their positions in the list.
    const auto& list = List();
    const int size = static_cast<int>(list.size());
    if (!windowRowids_.empty() &&
        (windowEnd > size || list[static_cast<std::size_t>(windowStart_)] != windowRowids_.front() ||
         list[static_cast<std::size_t>(windowEnd - 1)] != windowRowids_.back())) {
        ClearWindow();
        if (current != 0 || pos_ >= 0) {
            const int found = FindPosition(current, -1);
            pos_ = found >= 0 ? found : std::min(pos_, size);
        }
    }
    if (afterLast)
        pos_ = size;
}

void TSqlDataSet::Rebuild(bool keepPosition)
{
    // Where the cursor stood (approximate when the table's own list changed meanwhile; moves
    // start by finding the current record by its rowid anyway).
    bool onRecord = false, afterLast = false;
    std::int64_t current = 0;
    const int oldPos = pos_;
    if (keepPosition && listReady_) {
        const int size = static_cast<int>(List().size());
        onRecord = pos_ >= 0 && pos_ < size;
        current = onRecord ? List()[static_cast<std::size_t>(pos_)] : 0;
        afterLast = pos_ >= size && size > 0;
    } else if (keepPosition) {
        onRecord = InWindow(pos_);
        current = onRecord ? windowRowids_[static_cast<std::size_t>(pos_ - windowStart_)] : 0;
        afterLast = !onRecord && pos_ >= 0;
    }

    ClearWindow();
    ForgetRowsAt();
    positions_.clear();
    positionsKnown_ = false;
    list_.clear();
    useAll_ = false;
    listReady_ = false;
    seenGeneration_ = file_->Generation();
    pos_ = -1;
    if (!keepPosition && ReadsOnWithoutList())
        return; // records are read on from the first one; the list waits until something needs it
    EnsureList();
    const std::vector<std::int64_t>& list = List();
    const int newSize = static_cast<int>(list.size());
    if (onRecord) {
        const int found = FindPosition(current, oldPos);
        if (found >= 0)
            pos_ = found;
        else if (NaturalOrder())
            pos_ = static_cast<int>(std::lower_bound(list.begin(), list.end(), current) - list.begin());
        else
            pos_ = std::min(oldPos, newSize);
    } else {
        pos_ = afterLast ? newSize : -1;
    }
}

bool TSqlDataSet::ReadRun(std::int64_t after, int position, int count)
{
    // The next records that pass after rowid `after`, read straight from the table.
    const SqlFragment& filter = FilterSql();
    const std::uint64_t fields = RunFields(after != std::numeric_limits<std::int64_t>::min());
    sqlite::Statement* statement = nullptr;
    if (NaturalOrder()) {
        statement = &file_->Cached("SELECT " + ColumnList(fields) + " FROM " + file_->Qualified() + " WHERE rowid > ?" +
                                   (filter.sql.empty() ? std::string() : " AND (" + filter.sql + ")") +
                                   " ORDER BY rowid LIMIT ?");
        statement->Reset();
        statement->BindInt64(1, after);
        for (std::size_t i = 0; i < filter.params.size(); ++i)
            statement->Bind(static_cast<int>(i) + 2, filter.params[i]);
        statement->BindInt64(static_cast<int>(filter.params.size()) + 2, count);
    } else {
        // In the dataset's own order only the first run is read so.
        const int limit = PrepareRunAt(ColumnList(fields), statement);
        statement->BindInt64(limit, count);
        statement->BindInt64(limit + 1, position);
    }
    sqlite::Statement& next = *statement;
    std::vector<std::int64_t> rowids;
    while (next.Step()) {
        const std::size_t slot = rowids.size();
        if (windowRows_.size() <= slot)
            windowRows_.resize(slot + 1);
        if (windowState_.size() <= slot)
            windowState_.resize(slot + 1);
        ReadRow(next, slot, fields, false);
        rowids.push_back(next.ColumnInt64(0));
    }
    next.Reset();
    if (rowids.empty())
        return false; // the rows read before stay
    windowStart_ = position;
    windowRowids_ = std::move(rowids);
    windowState_.resize(windowRowids_.size());
    endKnown_ = static_cast<int>(windowRowids_.size()) < count;
    readAhead_ = count;
    return true;
}

std::optional<TGetResult> TSqlDataSet::GetWithoutList(Record& record, TGetMode mode)
{
    const int windowEnd = windowStart_ + static_cast<int>(windowRowids_.size());
    switch (mode) {
    case TGetMode::gmCurrent:
        if (!InWindow(pos_)) {
            if (pos_ >= 0 && !(endKnown_ && pos_ >= windowEnd))
                return std::nullopt;
            return TGetResult::grError;
        }
        break;
    case TGetMode::gmPrior:
        if (pos_ <= 0) {
            pos_ = -1;
            return TGetResult::grBOF;
        }
        if (!InWindow(pos_ - 1))
            return std::nullopt;
        --pos_;
        break;
    case TGetMode::gmNext:
        if (pos_ + 1 >= windowStart_ && pos_ + 1 < windowEnd) {
            ++pos_;
        } else if (endKnown_ && pos_ + 1 >= windowEnd) {
            pos_ = windowEnd;
            return TGetResult::grEOF;
        } else if (pos_ < 0) {
            if (!ReadRun(std::numeric_limits<std::int64_t>::min(), 0, 1)) {
                // Nothing passes: that is the whole list.
                ClearWindow();
                list_.clear();
                useAll_ = false;
                listReady_ = true;
                pos_ = 0;
                return TGetResult::grEOF;
            }
            pos_ = 0;
        } else if (pos_ + 1 == windowEnd && !windowRowids_.empty() && NaturalOrder()) {
            const std::int64_t last = windowRowids_.back();
            if (!ReadRun(last, windowEnd, std::min(std::max(readAhead_, kFirstRun / 2) * 2, kLongestRun))) {
                endKnown_ = true;
                pos_ = windowEnd;
                return TGetResult::grEOF;
            }
            pos_ = windowEnd;
        } else {
            return std::nullopt;
        }
        break;
    }
    const auto slot = static_cast<std::size_t>(pos_ - windowStart_);
    record.rowid = windowRowids_[slot];
    record.position = pos_;
    record.flag = TBookmarkFlag::bfCurrent;
    record.loaded = windowState_[slot].loaded;
    CopyRow(record.values, windowRows_[slot], record.loaded);
    record.ClearChanged(columns_.size());
    return TGetResult::grOK;
}

int TSqlDataSet::FindPosition(std::int64_t rowid, int hint)
{
    const std::vector<std::int64_t>& list = List();
    const int size = static_cast<int>(list.size());
    if (hint >= 0 && hint < size && list[static_cast<std::size_t>(hint)] == rowid)
        return hint;
    if (NaturalOrder() || useAll_) {
        auto it = std::lower_bound(list.begin(), list.end(), rowid);
        return it != list.end() && *it == rowid ? static_cast<int>(it - list.begin()) : -1;
    }
    if (!positionsKnown_) {
        positions_.clear();
        positions_.reserve(list.size());
        for (int i = 0; i < size; ++i)
            positions_.emplace(list[static_cast<std::size_t>(i)], i);
        positionsKnown_ = true;
    }
    auto it = positions_.find(rowid);
    return it == positions_.end() ? -1 : it->second;
}

void TSqlDataSet::ApplyFilterEvent(std::vector<std::int64_t>& rowids)
{
    if (!Filtered() || !OnFilterRecord)
        return;
    const std::vector<TFieldType>& types = Types();
    std::vector<std::int64_t> kept;
    std::unordered_map<std::int64_t, std::vector<Value>> rows;
    Record record;
    sqlite::Statement& fetch = file_->Cached("SELECT " + ColumnList(AllFields()) + " FROM " + file_->Qualified() +
                                             " WHERE rowid IN (" + Marks(kLongestRun) + ")");
    for (std::size_t start = 0; start < rowids.size(); start += kLongestRun) {
        const std::size_t end = std::min(rowids.size(), start + kLongestRun);
        rows.clear();
        fetch.Reset();
        for (int i = 0; i < kLongestRun; ++i) {
            const std::size_t k = start + static_cast<std::size_t>(i);
            if (k < end)
                fetch.BindInt64(i + 1, rowids[k]);
            else
                fetch.BindNull(i + 1);
        }
        while (fetch.Step()) {
            std::vector<Value> row(columns_.size());
            for (std::size_t c = 0; c < columns_.size(); ++c)
                fetch.ReadValue(static_cast<int>(c) + 1, types[c], row[c]);
            rows[fetch.ColumnInt64(0)] = std::move(row);
        }
        fetch.Reset();
        for (std::size_t k = start; k < end; ++k) {
            auto it = rows.find(rowids[k]);
            if (it == rows.end())
                continue;
            record.rowid = rowids[k];
            record.values = std::move(it->second);
            if (Passes(record))
                kept.push_back(rowids[k]);
        }
    }
    rowids = std::move(kept);
}

// ---- Reading records ----

std::string TSqlDataSet::ColumnList(std::uint64_t fields) const
{
    std::string cols = "rowid";
    for (std::size_t i = 0; i < columns_.size(); ++i)
        if ((fields & FieldBit(i)) != 0)
            cols += ", " + sqlite::QuoteIdent(file_->Schema().fields.at(static_cast<std::size_t>(columns_[i])).name);
    return cols;
}

std::uint64_t TSqlDataSet::AllFields() const
{
    return columns_.size() >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << columns_.size()) - 1;
}

std::uint64_t TSqlDataSet::RunFields(bool readingOn)
{
    // Reading on, the fields used during the run before are likely all the loop needs.
    const std::uint64_t fields = readingOn ? touched_ & AllFields() : AllFields();
    touched_ = 0;
    return fields;
}

void TSqlDataSet::ClearWindow()
{
    windowStart_ = 0;
    windowRowids_.clear();
    windowState_.clear();
    endKnown_ = false;
    readAhead_ = 0;
    // windowRows_ keeps its rows, so texts read later reuse their storage.
}

bool TSqlDataSet::InWindow(int position) const
{
    return position >= windowStart_ && position < windowStart_ + static_cast<int>(windowRowids_.size());
}

int TSqlDataSet::WindowSearch(std::int64_t rowid, int hint) const
{
    const int slot = WindowSlot(rowid, hint);
    if (slot >= 0)
        return slot;
    const auto it = std::find(windowRowids_.begin(), windowRowids_.end(), rowid);
    return it == windowRowids_.end() ? -1 : static_cast<int>(it - windowRowids_.begin());
}

int TSqlDataSet::WindowSlot(std::int64_t rowid, int position) const
{
    const int slot = position - windowStart_;
    if (slot >= 0 && slot < static_cast<int>(windowRowids_.size()) && windowRowids_[static_cast<std::size_t>(slot)] == rowid)
        return slot;
    return -1;
}

void TSqlDataSet::ReadRow(sqlite::Statement& statement, std::size_t slot, std::uint64_t fields, bool adding)
{
    const std::vector<TFieldType>& types = Types();
    std::vector<Value>& row = windowRows_[slot];
    row.resize(columns_.size());
    RowState& state = windowState_[slot];
    if (!adding)
        state = RowState{};
    state.inexact &= ~fields;
    int column = 1;
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        if ((fields & FieldBit(i)) == 0)
            continue;
        if (!statement.ReadValue(column++, types[i], row[i]))
            state.inexact |= FieldBit(i);
    }
    state.loaded |= fields;
}

void TSqlDataSet::LoadFields(std::uint64_t fields)
{
    // Fields not read with the rows read ahead: read them for all of those rows at once.
    if (windowRowids_.empty() || fields == 0)
        return;
    std::vector<std::pair<std::int64_t, std::size_t>> slots;
    for (std::size_t slot = 0; slot < windowRowids_.size(); ++slot)
        slots.emplace_back(windowRowids_[slot], slot);
    std::sort(slots.begin(), slots.end());
    sqlite::Statement& fetch = file_->Cached("SELECT " + ColumnList(fields) + " FROM " + file_->Qualified() +
                                             " WHERE rowid IN (" + Marks(kLongestRun) + ")");
    for (std::size_t start = 0; start < slots.size(); start += kLongestRun) {
        fetch.Reset();
        for (int i = 0; i < kLongestRun; ++i) {
            const std::size_t k = start + static_cast<std::size_t>(i);
            if (k < slots.size())
                fetch.BindInt64(i + 1, slots[k].first);
            else
                fetch.BindNull(i + 1);
        }
        while (fetch.Step()) {
            const auto it = std::lower_bound(slots.begin(), slots.end(), std::make_pair(fetch.ColumnInt64(0), std::size_t{0}));
            if (it != slots.end() && it->first == fetch.ColumnInt64(0))
                ReadRow(fetch, it->second, fields, true);
        }
        fetch.Reset();
    }
    // A record gone from the table meanwhile has no values.
    for (std::size_t slot = 0; slot < windowRowids_.size(); ++slot) {
        RowState& state = windowState_[slot];
        if ((state.loaded & fields) != fields) {
            for (std::size_t i = 0; i < columns_.size(); ++i)
                if ((fields & FieldBit(i)) != 0)
                    windowRows_[slot][i] = Value{};
            state.loaded |= fields;
        }
    }
}

void TSqlDataSet::LoadField(Record& record, std::size_t field)
{
    const std::uint64_t bit = FieldBit(field);
    const int slot = WindowSearch(record.rowid, record.position);
    if (slot >= 0) {
        if ((windowState_[static_cast<std::size_t>(slot)].loaded & bit) == 0)
            LoadFields(bit);
        const std::vector<Value>& row = windowRows_[static_cast<std::size_t>(slot)];
        for (std::size_t i = 0; i < columns_.size(); ++i)
            if (FieldBit(i) == bit && !(i < record.changed.size() && record.changed[i])) // an assigned value stays
                record.values[i] = row[i];
    } else {
        // Not among the rows read ahead any more: read it from the table.
        sqlite::Statement& fetch = file_->Cached("SELECT " + ColumnList(bit) + " FROM " + file_->Qualified() +
                                                 " WHERE rowid = ?");
        fetch.Reset();
        fetch.BindInt64(1, record.rowid);
        const bool found = fetch.Step();
        int column = 1;
        for (std::size_t i = 0; i < columns_.size(); ++i) {
            if (FieldBit(i) != bit)
                continue;
            Value value;
            if (found)
                fetch.ReadValue(column++, Types()[i], value);
            if (!(i < record.changed.size() && record.changed[i])) // an assigned value stays
                record.values[i] = std::move(value);
        }
        fetch.Reset();
    }
    record.loaded |= bit;
}

int TSqlDataSet::RunStart(int position, int runStart, int runSize, int& readAhead)
{
    // Reading on in one direction reads ever longer runs; a jump reads a short one.
    if (runSize > 0 && (position == runStart + runSize || position == runStart - 1)) {
        readAhead = std::min(std::max(readAhead, kFirstRun) * 2, kLongestRun);
        return position < runStart ? position - readAhead + 1 : position;
    }
    readAhead = kFirstRun;
    return position;
}

void TSqlDataSet::FetchAround(int position)
{
    const std::vector<std::int64_t>& list = List();
    const int size = static_cast<int>(list.size());
    int start = RunStart(position, windowStart_, static_cast<int>(windowRowids_.size()), readAhead_);
    start = std::max(0, std::min(start, size - readAhead_));
    const int count = std::min(size - start, readAhead_);

    const std::uint64_t fields = RunFields(readAhead_ > kFirstRun);
    windowStart_ = start;
    windowRowids_.assign(list.begin() + start, list.begin() + start + count);
    windowState_.assign(static_cast<std::size_t>(count), RowState{});
    if (windowRows_.size() < static_cast<std::size_t>(count))
        windowRows_.resize(static_cast<std::size_t>(count));
    std::vector<bool> found(static_cast<std::size_t>(count), false);
    const auto slotOf = [&](std::int64_t rowid) -> int {
        if (NaturalOrder()) {
            auto it = std::lower_bound(windowRowids_.begin(), windowRowids_.end(), rowid);
            return it != windowRowids_.end() && *it == rowid ? static_cast<int>(it - windowRowids_.begin()) : -1;
        }
        auto it = std::find(windowRowids_.begin(), windowRowids_.end(), rowid);
        return it != windowRowids_.end() ? static_cast<int>(it - windowRowids_.begin()) : -1;
    };
    const auto readAll = [&](sqlite::Statement& statement) {
        while (statement.Step()) {
            const int slot = slotOf(statement.ColumnInt64(0));
            if (slot < 0)
                continue;
            ReadRow(statement, static_cast<std::size_t>(slot), fields, false);
            found[static_cast<std::size_t>(slot)] = true;
        }
        statement.Reset();
    };
    const std::int64_t first = windowRowids_.front();
    const std::int64_t last = windowRowids_.back();
    if (NaturalOrder() && last - first < 4 * static_cast<std::int64_t>(count) + 16) {
        // A dense run of rowids: one range scan.
        sqlite::Statement*& range = ranges_[fields];
        if (range == nullptr)
            range = &file_->Cached("SELECT " + ColumnList(fields) + " FROM " + file_->Qualified() +
                                   " WHERE rowid BETWEEN ? AND ?");
        range->Reset();
        range->BindInt64(1, first);
        range->BindInt64(2, last);
        readAll(*range);
    } else {
        int marks = kFirstRun;
        while (marks < count)
            marks *= 2;
        sqlite::Statement*& fetch = fetches_[{marks, fields}];
        if (fetch == nullptr)
            fetch = &file_->Cached("SELECT " + ColumnList(fields) + " FROM " + file_->Qualified() + " WHERE rowid IN (" +
                                   Marks(marks) + ")");
        fetch->Reset();
        for (int i = 0; i < marks; ++i) {
            if (i < count)
                fetch->BindInt64(i + 1, windowRowids_[static_cast<std::size_t>(i)]);
            else
                fetch->BindNull(i + 1);
        }
        readAll(*fetch);
    }
    // A record gone from the table meanwhile reads as an empty one.
    for (std::size_t slot = 0; slot < found.size(); ++slot)
        if (!found[slot]) {
            windowRows_[slot].assign(columns_.size(), Value{});
            windowState_[slot].loaded = ~std::uint64_t{0};
        }
}

const std::vector<Value>& TSqlDataSet::Row(int position)
{
    EnsureList();
    const std::int64_t rowid = List().at(static_cast<std::size_t>(position));
    int slot = WindowSlot(rowid, position);
    if (slot < 0) {
        FetchAround(position);
        slot = WindowSlot(rowid, position);
    }
    return windowRows_.at(static_cast<std::size_t>(slot));
}

void TSqlDataSet::WindowInserted(int position, const Record& record)
{
    const int windowEnd = windowStart_ + static_cast<int>(windowRowids_.size());
    if (windowRowids_.empty() || position > windowEnd)
        return;
    if (position < windowStart_) {
        ++windowStart_;
        return;
    }
    const auto slot = static_cast<std::ptrdiff_t>(position - windowStart_);
    windowRowids_.insert(windowRowids_.begin() + slot, record.rowid);
    windowState_.insert(windowState_.begin() + slot, RowState{record.loaded, 0}); // as written
    windowRows_.insert(windowRows_.begin() + slot, record.values);
    // Many inserts (appends one after another, say): keep the half around the newest one.
    const auto size = static_cast<std::ptrdiff_t>(windowRowids_.size());
    if (size > 2 * kLongestRun) {
        const std::ptrdiff_t drop = size / 2;
        const std::ptrdiff_t from = slot >= size / 2 ? 0 : size - drop;
        windowRowids_.erase(windowRowids_.begin() + from, windowRowids_.begin() + from + drop);
        windowState_.erase(windowState_.begin() + from, windowState_.begin() + from + drop);
        windowRows_.erase(windowRows_.begin() + from, windowRows_.begin() + from + drop);
        if (from == 0)
            windowStart_ += static_cast<int>(drop);
    }
}

void TSqlDataSet::WindowErased(int position)
{
    const int windowEnd = windowStart_ + static_cast<int>(windowRowids_.size());
    if (windowRowids_.empty() || position >= windowEnd)
        return;
    if (position < windowStart_) {
        --windowStart_;
        return;
    }
    const auto slot = static_cast<std::ptrdiff_t>(position - windowStart_);
    windowRowids_.erase(windowRowids_.begin() + slot);
    windowState_.erase(windowState_.begin() + slot);
    std::rotate(windowRows_.begin() + slot, windowRows_.begin() + slot + 1, windowRows_.end());
}

void TSqlDataSet::LoadInto(Record& record, int position)
{
    record.rowid = List()[static_cast<std::size_t>(position)];
    record.position = position;
    record.flag = TBookmarkFlag::bfCurrent;
    const std::vector<Value>& row = Row(position);
    record.loaded = windowState_[static_cast<std::size_t>(position - windowStart_)].loaded;
    CopyRow(record.values, row, record.loaded);
    record.ClearChanged(columns_.size());
}

// ---- The record protocol ----

std::unique_ptr<TRecordBuffer> TSqlDataSet::AllocRecordBuffer()
{
    auto record = std::make_unique<Record>();
    record->values.resize(columns_.size());
    record->ClearChanged(columns_.size());
    return record;
}

TGetResult TSqlDataSet::GetRecord(TRecordBuffer& buffer, TGetMode mode, bool doCheck)
{
    EnsureFresh();
    auto& record = static_cast<Record&>(buffer);
    if (!listReady_) {
        if (const auto result = GetWithoutList(record, mode)) {
            if (*result == TGetResult::grError && doCheck)
                throw EDatabaseError((Name.empty() ? "" : Name + ": ") + "Žádný aktuální záznam.");
            return *result;
        }
        EnsureList();
    }
    const int size = static_cast<int>(List().size());
    switch (mode) {
    case TGetMode::gmNext:
        if (pos_ + 1 >= size) {
            pos_ = size;
            return TGetResult::grEOF;
        }
        ++pos_;
        break;
    case TGetMode::gmPrior:
        if (pos_ - 1 < 0) {
            pos_ = -1;
            return TGetResult::grBOF;
        }
        --pos_;
        break;
    case TGetMode::gmCurrent:
        if (pos_ < 0 || pos_ >= size) {
            if (doCheck)
                throw EDatabaseError((Name.empty() ? "" : Name + ": ") + "Žádný aktuální záznam.");
            return TGetResult::grError;
        }
        break;
    }
    LoadInto(record, pos_);
    return TGetResult::grOK;
}

void TSqlDataSet::InternalFirst()
{
    pos_ = -1;
    EnsureFresh();
}

void TSqlDataSet::InternalLast()
{
    EnsureFresh();
    EnsureList();
    pos_ = static_cast<int>(List().size());
}

void TSqlDataSet::InternalInitRecord(TRecordBuffer& buffer)
{
    auto& record = static_cast<Record&>(buffer);
    record.rowid = 0;
    record.position = -1;
    record.values.assign(columns_.size(), Value{});
    record.ClearChanged(columns_.size());
    record.loaded = ~std::uint64_t{0};
}

void TSqlDataSet::InternalSetToRecord(TRecordBuffer& buffer)
{
    auto& record = static_cast<Record&>(buffer);
    EnsureFresh();
    if (!listReady_) {
        const int slot = WindowSearch(record.rowid, record.position);
        if (slot >= 0) {
            pos_ = windowStart_ + slot;
            return;
        }
        EnsureList();
    }
    const int found = FindPosition(record.rowid, record.position);
    if (found >= 0) {
        pos_ = found;
        return;
    }
    // The record left the list meanwhile: stand just before where it was.
    if (NaturalOrder())
        pos_ = static_cast<int>(std::lower_bound(List().begin(), List().end(), record.rowid) - List().begin()) - 1;
    else
        pos_ = std::min(record.position, static_cast<int>(List().size())) - 1;
}

bool TSqlDataSet::Passes(Record& record)
{
    bool ok = true;
    if (!filterSql_.sql.empty()) {
        sqlite::Statement& check = file_->Cached("SELECT 1 FROM " + file_->Qualified() + " WHERE rowid = ? AND (" +
                                                 filterSql_.sql + ")");
        check.Reset();
        check.BindInt64(1, record.rowid);
        for (std::size_t i = 0; i < filterSql_.params.size(); ++i)
            check.Bind(static_cast<int>(i) + 2, filterSql_.params[i]);
        ok = check.Step();
        check.Reset();
    }
    if (ok && Filtered() && OnFilterRecord) {
        const TDataSetState previous = State();
        filterRecord_ = &record;
        SetState(TDataSetState::dsFilter);
        try {
            OnFilterRecord(*this, ok);
        } catch (...) {
            SetState(previous);
            filterRecord_ = nullptr;
            throw;
        }
        SetState(previous);
        filterRecord_ = nullptr;
    }
    return ok;
}

bool TSqlDataSet::StoredAlready(const Record& record, int slot)
{
    const std::uint64_t changed = record.changedBits;
    const auto at = static_cast<std::size_t>(slot);
    if (const std::uint64_t missing = changed & ~windowState_[at].loaded; missing != 0)
        LoadFields(missing);
    const std::vector<Value>& stored = windowRows_[at];
    if ((windowState_[at].inexact & changed) != 0)
        return false;
    if (record.changed.size() < 64) { // one bit per field
        for (std::uint64_t bits = changed; bits != 0; bits &= bits - 1) {
            const auto i = static_cast<std::size_t>(std::countr_zero(bits));
            if (stored[i] != record.values[i])
                return false;
        }
        return true;
    }
    for (std::size_t i = 0; i < record.changed.size(); ++i)
        if (record.changed[i] && stored[i] != record.values[i])
            return false;
    return true;
}

void TSqlDataSet::UpdateRecord(Record& record)
{
    const bool wasFresh = seenGeneration_ == file_->Generation();
    if (!record.anyChanged) {
        postedInPlace_ = wasFresh && InWindow(pos_) &&
                         windowRowids_[static_cast<std::size_t>(pos_ - windowStart_)] == record.rowid;
        return; // nothing to write
    }
    // The table holds these values already, in the form a write would give them: writing them
    // again would change nothing, so nothing is written.
    if (wasFresh) {
        const int slot = WindowSearch(record.rowid, record.position);
        if (slot >= 0 && StoredAlready(record, slot)) {
            record.ClearChanged(record.changed.size());
            postedInPlace_ = windowStart_ + slot == pos_;
            return;
        }
    }
    std::vector<std::size_t>& changed = changedFields_;
    changed.clear();
    if (record.changed.size() < 64) { // one bit per field
        for (std::uint64_t bits = record.changedBits; bits != 0; bits &= bits - 1)
            changed.push_back(static_cast<std::size_t>(std::countr_zero(bits)));
    } else {
        for (std::size_t i = 0; i < record.changed.size(); ++i)
            if (record.changed[i])
                changed.push_back(i);
    }

    // A loop writes the same fields row after row: the statement used last is looked up first.
    const bool bitsSuffice = record.changed.size() < 64;
    sqlite::Statement*& prepared = bitsSuffice && lastUpdate_ != nullptr && lastUpdateBits_ == record.changedBits
                                       ? lastUpdate_
                                       : updates_[record.changed];
    if (prepared == nullptr) {
        std::string sql = "UPDATE " + file_->Qualified() + " SET ";
        for (std::size_t k = 0; k < changed.size(); ++k) {
            if (k > 0)
                sql += ", ";
            sql += sqlite::QuoteIdent(file_->Schema().fields.at(static_cast<std::size_t>(columns_[changed[k]])).name) + " = ?";
        }
        sql += " WHERE rowid = ?";
        prepared = &file_->Cached(sql);
    }
    if (bitsSuffice && &prepared != &lastUpdate_) {
        lastUpdate_ = prepared;
        lastUpdateBits_ = record.changedBits;
    }
    sqlite::Statement& update = *prepared;
    update.Reset();
    for (std::size_t k = 0; k < changed.size(); ++k)
        update.Bind(static_cast<int>(k) + 1, record.values[changed[k]]);
    update.BindInt64(static_cast<int>(changed.size()) + 1, record.rowid);
    update.Step();
    update.Reset();
    if (sqlite3_changes(file_->Db()) == 0)
        throw EDatabaseError((Name.empty() ? "" : Name + ": ") + "Záznam už v tabulce '" + file_->FileLabel() +
                             "' není, změny nelze uložit.");

    file_->Changed();
    if (!wasFresh)
        return; // another dataset wrote the table too: the list is rebuilt on the next read
    seenGeneration_ = file_->Generation();
    record.ClearChanged(record.changed.size());
    const int slot = WindowSearch(record.rowid, record.position);
    postedInPlace_ = slot >= 0 && windowStart_ + slot == pos_;
    if (slot >= 0) {
        // The row read ahead takes the record's values (those it has): the written ones, and
        // those it had not read; the others it holds already, as the record read them from it
        // or from the unchanged table.
        std::vector<Value>& row = windowRows_[static_cast<std::size_t>(slot)];
        RowState& state = windowState_[static_cast<std::size_t>(slot)];
        const std::uint64_t take = record.loaded & ~state.loaded;
        for (std::size_t i = 0; i < row.size(); ++i)
            if ((take & FieldBit(i)) != 0 || (i >= 63 && (record.loaded & FieldBit(i)) != 0))
                row[i] = record.values[i];
        for (const std::size_t i : changed)
            row[i] = record.values[i];
        state.loaded |= record.loaded;
        for (const std::size_t i : changed)
            if (i < 63)
                state.inexact &= ~FieldBit(i);
    }
    if ((!filterSql_.sql.empty() || (Filtered() && OnFilterRecord)) && !Passes(record)) {
        // The record leaves the list (or the rows read on, while there is no list).
        int at = -1;
        if (listReady_ && !useAll_) {
            at = FindPosition(record.rowid, record.position);
            if (at >= 0) {
                list_.erase(list_.begin() + at);
                positionsKnown_ = false;
            }
        } else if (!listReady_ && slot >= 0) {
            at = windowStart_ + slot;
        }
        if (at >= 0) {
            WindowErased(at);
            pos_ = at;
        }
        postedInPlace_ = false;
    }
}

void TSqlDataSet::InsertRecord(Record& record)
{
    const bool wasFresh = seenGeneration_ == file_->Generation();
    if (wasFresh)
        EnsureList();
    if (insert_ == nullptr) {
        std::string names, marks;
        for (std::size_t i = 0; i < columns_.size(); ++i) {
            names += (i == 0 ? "" : ", ") + sqlite::QuoteIdent(file_->Schema().fields.at(static_cast<std::size_t>(columns_[i])).name);
            marks += i == 0 ? "?" : ", ?";
        }
        insert_ = &file_->Cached("INSERT INTO " + file_->Qualified() + " (" + names + ") VALUES (" + marks + ")");
    }
    sqlite::Statement& insert = *insert_;
    insert.Reset();
    for (std::size_t i = 0; i < columns_.size(); ++i)
        insert.Bind(static_cast<int>(i) + 1, record.values[i]);
    insert.Step();
    insert.Reset();
    const std::int64_t rowid = sqlite3_last_insert_rowid(file_->Db());

    file_->NoteInserted(rowid);
    record.rowid = rowid;
    record.flag = TBookmarkFlag::bfCurrent;
    record.ClearChanged(record.changed.size());
    // The record as stored, with the number the table gave it.
    for (std::size_t i = 0; i < columns_.size(); ++i)
        if (file_->Schema().fields[static_cast<std::size_t>(columns_[i])].type == TFieldType::ftAutoInc)
            record.values[i] = rowid;
    if (!wasFresh)
        return;
    seenGeneration_ = file_->Generation();
    if (useAll_) { // the table's list has it already
        const auto& all = List();
        pos_ = static_cast<int>(std::lower_bound(all.begin(), all.end(), rowid) - all.begin());
        record.position = pos_;
        WindowInserted(pos_, record);
        return;
    }
    const auto at = NaturalOrder() ? std::lower_bound(list_.begin(), list_.end(), rowid) : list_.end();
    const int index = static_cast<int>(at - list_.begin());
    pos_ = index;
    record.position = index;
    if (Passes(record)) {
        list_.insert(at, rowid);
        positionsKnown_ = false;
        WindowInserted(index, record);
    }
}

void TSqlDataSet::InternalPost()
{
    if (!CanModify())
        throw EDatabaseError((Name.empty() ? "" : Name + ": ") + "Datovou sadu nelze měnit, je určena jen pro čtení.");
    auto& record = static_cast<Record&>(*ActiveBuffer());
    postedInPlace_ = false;
    if (State() == TDataSetState::dsInsert)
        InsertRecord(record);
    else
        UpdateRecord(record);
}

void TSqlDataSet::InternalAddRecord(TRecordBuffer& buffer, bool /*append*/)
{
    InsertRecord(static_cast<Record&>(buffer));
}

void TSqlDataSet::InternalDelete()
{
    auto& record = static_cast<Record&>(*ActiveBuffer());
    const bool wasFresh = seenGeneration_ == file_->Generation();
    if (wasFresh)
        EnsureList();
    sqlite::Statement& remove = file_->Cached("DELETE FROM " + file_->Qualified() + " WHERE rowid = ?");
    remove.Reset();
    remove.BindInt64(1, record.rowid);
    remove.Step();
    remove.Reset();
    const int at = wasFresh ? FindPosition(record.rowid, record.position) : -1;
    file_->NoteDeleted(record.rowid); // also leaves the table's own list
    if (!wasFresh)
        return;
    seenGeneration_ = file_->Generation();
    if (at >= 0) {
        if (!useAll_)
            list_.erase(list_.begin() + at);
        positionsKnown_ = false;
        WindowErased(at);
        pos_ = at;
    }
}

void TSqlDataSet::InternalRefresh()
{
    if (!file_)
        return;
    Rebuild(true);
}

void TSqlDataSet::InternalGotoBookmark(const TBookmark& bookmark)
{
    std::int64_t rowid = 0;
    if (bookmark.size() != sizeof rowid)
        throw EDatabaseError((Name.empty() ? "" : Name + ": ") + "Neplatná záložka.");
    std::memcpy(&rowid, bookmark.data(), sizeof rowid);
    EnsureFresh();
    EnsureList();
    const int at = FindPosition(rowid, -1);
    if (at < 0)
        throw EDatabaseError((Name.empty() ? "" : Name + ": ") + "Záznam nebyl nalezen.");
    pos_ = at;
}

bool TSqlDataSet::BookmarkValid(const TBookmark& bookmark)
{
    std::int64_t rowid = 0;
    if (!Active() || bookmark.size() != sizeof rowid)
        return false;
    std::memcpy(&rowid, bookmark.data(), sizeof rowid);
    EnsureFresh();
    EnsureList();
    return FindPosition(rowid, -1) >= 0;
}

TBookmark TSqlDataSet::GetBookmarkData(const TRecordBuffer& buffer) const
{
    const auto& record = static_cast<const Record&>(buffer);
    TBookmark bookmark(sizeof record.rowid);
    std::memcpy(bookmark.data(), &record.rowid, sizeof record.rowid);
    return bookmark;
}

void TSqlDataSet::SetBookmarkData(TRecordBuffer& buffer, const TBookmark& bookmark)
{
    auto& record = static_cast<Record&>(buffer);
    if (bookmark.size() == sizeof record.rowid)
        std::memcpy(&record.rowid, bookmark.data(), sizeof record.rowid);
}

TBookmarkFlag TSqlDataSet::GetBookmarkFlag(const TRecordBuffer& buffer) const
{
    return static_cast<const Record&>(buffer).flag;
}

void TSqlDataSet::SetBookmarkFlag(TRecordBuffer& buffer, TBookmarkFlag flag)
{
    static_cast<Record&>(buffer).flag = flag;
}

const Value* TSqlDataSet::FieldValue(const TField& field)
{
    Record* record = nullptr;
    if (State() == TDataSetState::dsFilter) {
        record = filterRecord_;
    } else {
        if (IsEmpty())
            return nullptr;
        record = static_cast<Record*>(ActiveBuffer());
    }
    const int index = field.FieldNo() - 1;
    if (record == nullptr || index < 0 || index >= static_cast<int>(record->values.size()))
        return nullptr;
    const std::uint64_t bit = FieldBit(static_cast<std::size_t>(index));
    touched_ |= bit;
    if ((record->loaded & bit) == 0)
        LoadField(*record, static_cast<std::size_t>(index));
    return &record->values[static_cast<std::size_t>(index)];
}

bool TSqlDataSet::GetFieldData(const TField& field, Value* dest)
{
    const Value* value = FieldValue(field);
    if (value == nullptr || IsNull(*value))
        return false;
    if (dest != nullptr)
        *dest = *value;
    return true;
}

void TSqlDataSet::GetFieldText(const TField& field, std::string& text)
{
    // The text of a stored text, date or empty value, written without a copy of the value;
    // other values take the general way.
    if (field.FieldKind() != TFieldKind::fkData)
        return TDataSet::GetFieldText(field, text);
    const Value* value = FieldValue(field);
    if (value == nullptr || IsNull(*value)) {
        text.clear();
        return;
    }
    switch (field.DataType()) {
    case TFieldType::ftString:
        if (const auto* s = std::get_if<std::string>(value)) {
            text.assign(*s);
            return;
        }
        break;
    case TFieldType::ftDateTime:
        if (const auto* d = std::get_if<TDateTime>(value)) {
            text = FormatDateTime(*d);
            return;
        }
        break;
    case TFieldType::ftDate:
        if (const auto* d = std::get_if<TDateTime>(value); d != nullptr && std::trunc(d->days) == d->days) {
            text = FormatDate(*d);
            return;
        }
        break;
    default:
        break;
    }
    TDataSet::GetFieldText(field, text);
}

void TSqlDataSet::SetFieldData(TField& field, const Value& source)
{
    auto* record = static_cast<Record*>(ActiveBuffer());
    const int index = field.FieldNo() - 1;
    if (record == nullptr || index < 0 || index >= static_cast<int>(record->values.size()))
        return;
    const TFieldDef& def = FieldDefs()[index];
    record->values[static_cast<std::size_t>(index)] = ConvertValue(source, def.DataType, def.Size);
    record->changed[static_cast<std::size_t>(index)] = true;
    record->anyChanged = true;
    record->changedBits |= FieldBit(static_cast<std::size_t>(index));
    touched_ |= FieldBit(static_cast<std::size_t>(index));
    if (FieldBit(static_cast<std::size_t>(index)) != FieldBit(63))
        record->loaded |= FieldBit(static_cast<std::size_t>(index));
    DataEvent(TDataEvent::deFieldChange, &field);
}

int TSqlDataSet::GetRecordCount()
{
    EnsureFresh();
    if (!listReady_ && endKnown_)
        return windowStart_ + static_cast<int>(windowRowids_.size());
    if (ShowsRowsWithoutList())
        return CountWithoutList();
    EnsureList();
    return static_cast<int>(List().size());
}

int TSqlDataSet::GetRecNo()
{
    if (!listReady_)
        return InWindow(pos_) ? pos_ + 1 : -1;
    return pos_ >= 0 && pos_ < static_cast<int>(List().size()) ? pos_ + 1 : -1;
}

void TSqlDataSet::SetRecNoInternal(int recNo)
{
    EnsureFresh();
    EnsureList();
    if (recNo >= 1 && recNo <= static_cast<int>(List().size()))
        pos_ = recNo - 1;
}

// ---- Grids and look-ups ----

bool TSqlDataSet::ReadRecordAt(int position, std::vector<Value>& values)
{
    if (!Active() || !file_)
        return false;
    EnsureFresh();
    // A grid shows every field: read them all from now on.
    touched_ = AllFields();
    std::vector<Value> row; // a copy: look-ups below may read on
    if (ShowsRowsWithoutList()) {
        const std::vector<Value>* shown = RowAtWithoutList(position);
        if (shown == nullptr)
            return false;
        row = *shown;
    } else {
        EnsureList();
        if (position < 0 || position >= static_cast<int>(List().size()))
            return false;
        Row(position);
        const int slot = position - windowStart_;
        if (const std::uint64_t missing = AllFields() & ~windowState_[static_cast<std::size_t>(slot)].loaded; missing != 0)
            LoadFields(missing);
        row = windowRows_[static_cast<std::size_t>(slot)];
    }
    values.clear();
    values.reserve(Fields().size());
    for (const auto& field : Fields()) {
        Value v;
        try {
            if (field->FieldKind() == TFieldKind::fkData) {
                const int index = field->FieldNo() - 1;
                if (index >= 0 && index < static_cast<int>(row.size()))
                    v = ConvertValue(row[static_cast<std::size_t>(index)], field->DataType());
            } else if (field->FieldKind() == TFieldKind::fkLookup && field->LookupDataSet != nullptr) {
                const TField* key = FindField(field->KeyFields);
                if (key != nullptr && key->FieldNo() >= 1 && key->FieldNo() <= static_cast<int>(row.size())) {
                    const Value& k = row[static_cast<std::size_t>(key->FieldNo() - 1)];
                    if (!IsNull(k))
                        v = ConvertValue(field->LookupDataSet->LookupValue(field->LookupKeyFields, k,
                                                                           field->LookupResultField),
                                         field->DataType());
                }
            }
        } catch (const std::exception&) {
            v = Value{};
        }
        values.push_back(std::move(v));
    }
    return true;
}

Value TSqlDataSet::LookupValue(const std::string& keyField, const Value& key, const std::string& resultField)
{
    if (!Active() || !file_ || IsNull(key))
        return std::monostate{};
    const int keyIndex = file_->FieldIndex(keyField);
    const int resultIndex = file_->FieldIndex(resultField);
    if (keyIndex < 0 || resultIndex < 0)
        throw EDatabaseError((Name.empty() ? "" : Name + ": ") + "Pole '" + (keyIndex < 0 ? keyField : resultField) +
                             "' nebylo nalezeno.");
    if (lookupGeneration_ != file_->Generation()) {
        lookupCache_.clear();
        lookupGeneration_ = file_->Generation();
    }
    const FieldSpec& keySpec = file_->Schema().fields[static_cast<std::size_t>(keyIndex)];
    const FieldSpec& resultSpec = file_->Schema().fields[static_cast<std::size_t>(resultIndex)];
    Value typedKey;
    try {
        typedKey = ConvertValue(key, KeyType(keySpec.type));
    } catch (const EConvertError&) {
        return std::monostate{}; // no record can have such a key
    }
    if (IsNull(typedKey))
        return std::monostate{};
    const std::string cacheKey = keySpec.name + '\x1f' + resultSpec.name + '\x1f' + KeyText(typedKey);
    if (auto it = lookupCache_.find(cacheKey); it != lookupCache_.end())
        return it->second;
    if (lookupCache_.size() > 100000)
        lookupCache_.clear();
    sqlite::Statement& find = file_->Cached("SELECT " + sqlite::QuoteIdent(resultSpec.name) + " FROM " + file_->Qualified() +
                                            " WHERE " + sqlite::QuoteIdent(keySpec.name) + " = ? ORDER BY rowid LIMIT 1");
    find.Reset();
    find.Bind(1, typedKey);
    Value result;
    if (find.Step())
        result = find.ColumnValue(0, KeyType(resultSpec.type));
    find.Reset();
    lookupCache_.emplace(cacheKey, result);
    return result;
}

} // namespace data
