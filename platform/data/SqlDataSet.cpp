#include "platform/data/SqlDataSet.h"

#include "platform/sys/CzechText.h"

#include <algorithm>
#include <cstring>

namespace data {
namespace {

constexpr int kChunk = 256;        // rows fetched at once
constexpr std::size_t kCacheLimit = 4096;

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

} // namespace

TSqlDataSet::~TSqlDataSet() = default;

// ---- Source and list ----

void TSqlDataSet::SetSource(std::shared_ptr<TableFile> file, std::vector<int> columns)
{
    file_ = std::move(file);
    columns_ = std::move(columns);
    useAll_ = false;
    list_.clear();
    cache_.clear();
    positions_.clear();
    positionsKnown_ = false;
    pos_ = -1;
    seenGeneration_ = 0;
    lookupCache_.clear();
    lookupGeneration_ = 0;
    updates_.clear();
    insert_ = nullptr;
}

void TSqlDataSet::ReleaseSource()
{
    useAll_ = false;
    list_.clear();
    list_.shrink_to_fit();
    cache_.clear();
    positions_.clear();
    lookupCache_.clear();
    filterSql_ = {};
    updates_.clear();
    insert_ = nullptr;
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

void TSqlDataSet::FilterChanged()
{
    if (!file_)
        return;
    if (Filtered() && !Filter().empty())
        filterSql_ = TranslateFilter(Filter(), FieldColumnTypes());
    else
        filterSql_ = {};
    Rebuild();
}

void TSqlDataSet::EnsureFresh()
{
    if (file_ && file_->Generation() != seenGeneration_)
        Rebuild();
}

void TSqlDataSet::Rebuild()
{
    // Where the cursor stood (approximate when the table's own list changed meanwhile; moves
    // start by finding the current record by its rowid anyway).
    const int size = static_cast<int>(List().size());
    const bool onRecord = pos_ >= 0 && pos_ < size;
    const std::int64_t current = onRecord ? List()[static_cast<std::size_t>(pos_)] : 0;
    const bool afterLast = pos_ >= size && size > 0;
    const int oldPos = pos_;

    cache_.clear();
    positions_.clear();
    positionsKnown_ = false;
    list_.clear();
    useAll_ = UsesAllRows();
    if (useAll_) {
        list_.shrink_to_fit();
    } else {
        std::vector<std::int64_t> rowids;
        BuildList(rowids);
        list_ = std::move(rowids);
    }
    seenGeneration_ = file_->Generation();
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
        positions_.reserve(List().size());
        for (int i = 0; i < size; ++i)
            positions_.emplace(List()[static_cast<std::size_t>(i)], i);
        positionsKnown_ = true;
    }
    auto it = positions_.find(rowid);
    return it == positions_.end() ? -1 : it->second;
}

void TSqlDataSet::ApplyFilterEvent(std::vector<std::int64_t>& rowids)
{
    if (!Filtered() || !OnFilterRecord)
        return;
    std::vector<std::int64_t> kept;
    Record record;
    for (std::size_t start = 0; start < rowids.size(); start += kChunk) {
        const std::size_t end = std::min(rowids.size(), start + kChunk);
        cache_.clear();
        // Fetch this chunk by rowid.
        const std::string sql = "SELECT " + ColumnList() + " FROM " + file_->Qualified() + " WHERE rowid IN (" +
                                [] {
                                    std::string marks;
                                    for (int i = 0; i < kChunk; ++i)
                                        marks += i == 0 ? "?" : ",?";
                                    return marks;
                                }() + ")";
        sqlite::Statement& fetch = file_->Cached(sql);
        fetch.Reset();
        for (int i = 0; i < kChunk; ++i) {
            const std::size_t k = start + static_cast<std::size_t>(i);
            if (k < end)
                fetch.BindInt64(i + 1, rowids[k]);
            else
                fetch.BindNull(i + 1);
        }
        while (fetch.Step()) {
            std::vector<Value> row;
            row.reserve(columns_.size());
            for (std::size_t c = 0; c < columns_.size(); ++c)
                row.push_back(fetch.ColumnValue(static_cast<int>(c) + 1, FieldDefs()[static_cast<int>(c)].DataType));
            cache_[fetch.ColumnInt64(0)] = std::move(row);
        }
        fetch.Reset();
        for (std::size_t k = start; k < end; ++k) {
            auto it = cache_.find(rowids[k]);
            if (it == cache_.end())
                continue;
            record.rowid = rowids[k];
            record.values = it->second;
            if (Passes(record))
                kept.push_back(rowids[k]);
        }
    }
    cache_.clear();
    rowids = std::move(kept);
}

// ---- Fetching records ----

std::string TSqlDataSet::ColumnList() const
{
    std::string cols = "rowid";
    for (int c : columns_)
        cols += ", " + sqlite::QuoteIdent(file_->Schema().fields.at(static_cast<std::size_t>(c)).name);
    return cols;
}

void TSqlDataSet::FetchAround(int position)
{
    if (cache_.size() > kCacheLimit)
        cache_.clear();
    const int size = static_cast<int>(List().size());
    // Read ahead in the direction of travel: forward by default, backward near the list's end
    // when moving back (the cursor gives no direction, so look at what is cached already).
    int start = position - kChunk / 8;
    if (position + 1 < size && cache_.count(List()[static_cast<std::size_t>(position + 1)]) != 0)
        start = position - kChunk + 1; // the next one is cached: we are moving backward
    start = std::max(0, std::min(start, size - kChunk));
    start = std::max(0, start);
    const int end = std::min(size, start + kChunk);
    const auto readRow = [&](sqlite::Statement& s) {
        std::vector<Value> row;
        row.reserve(columns_.size());
        for (std::size_t c = 0; c < columns_.size(); ++c)
            row.push_back(s.ColumnValue(static_cast<int>(c) + 1, FieldDefs()[static_cast<int>(c)].DataType));
        return row;
    };
    const std::int64_t first = List()[static_cast<std::size_t>(start)];
    const std::int64_t last = List()[static_cast<std::size_t>(end - 1)];
    if (NaturalOrder() && last - first < 4 * static_cast<std::int64_t>(end - start) + 16) {
        // Dense run of rowids: one range scan.
        sqlite::Statement& range = file_->Cached("SELECT " + ColumnList() + " FROM " + file_->Qualified() +
                                                 " WHERE rowid BETWEEN ? AND ?");
        range.Reset();
        range.BindInt64(1, first);
        range.BindInt64(2, last);
        const auto windowBegin = List().begin() + start, windowEnd = List().begin() + end;
        while (range.Step()) {
            const std::int64_t rowid = range.ColumnInt64(0);
            if (std::binary_search(windowBegin, windowEnd, rowid))
                cache_[rowid] = readRow(range);
        }
        range.Reset();
        return;
    }
    std::string marks;
    for (int i = 0; i < kChunk; ++i)
        marks += i == 0 ? "?" : ",?";
    sqlite::Statement& fetch = file_->Cached("SELECT " + ColumnList() + " FROM " + file_->Qualified() +
                                             " WHERE rowid IN (" + marks + ")");
    fetch.Reset();
    for (int i = 0; i < kChunk; ++i) {
        if (start + i < end)
            fetch.BindInt64(i + 1, List()[static_cast<std::size_t>(start + i)]);
        else
            fetch.BindNull(i + 1);
    }
    while (fetch.Step())
        cache_[fetch.ColumnInt64(0)] = readRow(fetch);
    fetch.Reset();
}

const std::vector<Value>& TSqlDataSet::Row(int position)
{
    const std::int64_t rowid = List().at(static_cast<std::size_t>(position));
    auto it = cache_.find(rowid);
    if (it == cache_.end()) {
        FetchAround(position);
        it = cache_.find(rowid);
        if (it == cache_.end()) // gone from the table: an empty record
            it = cache_.emplace(rowid, std::vector<Value>(columns_.size())).first;
    }
    return it->second;
}

void TSqlDataSet::LoadInto(Record& record, int position)
{
    record.rowid = List()[static_cast<std::size_t>(position)];
    record.position = position;
    record.flag = TBookmarkFlag::bfCurrent;
    record.values = Row(position);
    record.changed.assign(columns_.size(), false);
}

// ---- The record protocol ----

std::unique_ptr<TRecordBuffer> TSqlDataSet::AllocRecordBuffer()
{
    auto record = std::make_unique<Record>();
    record->values.resize(columns_.size());
    record->changed.assign(columns_.size(), false);
    return record;
}

TGetResult TSqlDataSet::GetRecord(TRecordBuffer& buffer, TGetMode mode, bool doCheck)
{
    EnsureFresh();
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
    LoadInto(static_cast<Record&>(buffer), pos_);
    return TGetResult::grOK;
}

void TSqlDataSet::InternalFirst()
{
    EnsureFresh();
    pos_ = -1;
}

void TSqlDataSet::InternalLast()
{
    EnsureFresh();
    pos_ = static_cast<int>(List().size());
}

void TSqlDataSet::InternalInitRecord(TRecordBuffer& buffer)
{
    auto& record = static_cast<Record&>(buffer);
    record.rowid = 0;
    record.position = -1;
    record.values.assign(columns_.size(), Value{});
    record.changed.assign(columns_.size(), false);
}

void TSqlDataSet::InternalSetToRecord(TRecordBuffer& buffer)
{
    auto& record = static_cast<Record&>(buffer);
    EnsureFresh();
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

void TSqlDataSet::UpdateRecord(Record& record)
{
    std::vector<std::size_t> changed;
    for (std::size_t i = 0; i < record.changed.size(); ++i)
        if (record.changed[i])
            changed.push_back(i);
    if (changed.empty())
        return; // nothing to write
    sqlite::Statement*& prepared = updates_[record.changed];
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

    const bool wasFresh = seenGeneration_ == file_->Generation();
    file_->Changed();
    if (!wasFresh)
        return; // another dataset wrote the table too: the list is rebuilt on the next read
    seenGeneration_ = file_->Generation();
    record.changed.assign(record.changed.size(), false);
    if (cache_.size() > kCacheLimit)
        cache_.clear();
    cache_[record.rowid] = record.values;
    if ((!filterSql_.sql.empty() || (Filtered() && OnFilterRecord)) && !Passes(record)) {
        const int at = useAll_ ? -1 : FindPosition(record.rowid, record.position);
        if (at >= 0) {
            list_.erase(list_.begin() + at);
            positionsKnown_ = false;
            pos_ = at;
        }
    }
}

void TSqlDataSet::InsertRecord(Record& record)
{
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

    const bool wasFresh = seenGeneration_ == file_->Generation();
    file_->NoteInserted(rowid);
    record.rowid = rowid;
    record.flag = TBookmarkFlag::bfCurrent;
    record.changed.assign(record.changed.size(), false);
    // The record as stored, with the number the table gave it.
    if (cache_.size() > kCacheLimit)
        cache_.clear();
    for (std::size_t i = 0; i < columns_.size(); ++i)
        if (file_->Schema().fields[static_cast<std::size_t>(columns_[i])].type == TFieldType::ftAutoInc)
            record.values[i] = rowid;
    cache_[rowid] = record.values;
    if (!wasFresh)
        return;
    seenGeneration_ = file_->Generation();
    if (useAll_) { // the table's list has it already
        const auto& all = List();
        pos_ = static_cast<int>(std::lower_bound(all.begin(), all.end(), rowid) - all.begin());
        record.position = pos_;
        return;
    }
    const auto at = NaturalOrder() ? std::lower_bound(list_.begin(), list_.end(), rowid) : list_.end();
    const int index = static_cast<int>(at - list_.begin());
    if (Passes(record)) {
        list_.insert(at, rowid);
        positionsKnown_ = false;
    }
    pos_ = index;
    record.position = index;
}

void TSqlDataSet::InternalPost()
{
    if (!CanModify())
        throw EDatabaseError((Name.empty() ? "" : Name + ": ") + "Datovou sadu nelze měnit, je určena jen pro čtení.");
    auto& record = static_cast<Record&>(*ActiveBuffer());
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
    sqlite::Statement& remove = file_->Cached("DELETE FROM " + file_->Qualified() + " WHERE rowid = ?");
    remove.Reset();
    remove.BindInt64(1, record.rowid);
    remove.Step();
    remove.Reset();
    const bool wasFresh = seenGeneration_ == file_->Generation();
    const int at = wasFresh ? FindPosition(record.rowid, record.position) : -1;
    file_->NoteDeleted(record.rowid); // also leaves the table's own list
    if (!wasFresh)
        return;
    seenGeneration_ = file_->Generation();
    cache_.erase(record.rowid);
    if (at >= 0) {
        if (!useAll_)
            list_.erase(list_.begin() + at);
        positionsKnown_ = false;
        pos_ = at;
    }
}

void TSqlDataSet::InternalRefresh()
{
    if (!file_)
        return;
    Rebuild();
}

void TSqlDataSet::InternalGotoBookmark(const TBookmark& bookmark)
{
    std::int64_t rowid = 0;
    if (bookmark.size() != sizeof rowid)
        throw EDatabaseError((Name.empty() ? "" : Name + ": ") + "Neplatná záložka.");
    std::memcpy(&rowid, bookmark.data(), sizeof rowid);
    EnsureFresh();
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

bool TSqlDataSet::GetFieldData(const TField& field, Value* dest)
{
    const Record* record = nullptr;
    if (State() == TDataSetState::dsFilter) {
        record = filterRecord_;
    } else {
        if (IsEmpty())
            return false;
        record = static_cast<const Record*>(ActiveBuffer());
    }
    const int index = field.FieldNo() - 1;
    if (record == nullptr || index < 0 || index >= static_cast<int>(record->values.size()))
        return false;
    const Value& value = record->values[static_cast<std::size_t>(index)];
    if (IsNull(value))
        return false;
    if (dest != nullptr)
        *dest = value;
    return true;
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
    DataEvent(TDataEvent::deFieldChange, &field);
}

int TSqlDataSet::GetRecordCount()
{
    EnsureFresh();
    return static_cast<int>(List().size());
}

int TSqlDataSet::GetRecNo()
{
    return pos_ >= 0 && pos_ < static_cast<int>(List().size()) ? pos_ + 1 : -1;
}

void TSqlDataSet::SetRecNoInternal(int recNo)
{
    EnsureFresh();
    if (recNo >= 1 && recNo <= static_cast<int>(List().size()))
        pos_ = recNo - 1;
}

// ---- Grids and look-ups ----

bool TSqlDataSet::ReadRecordAt(int position, std::vector<Value>& values)
{
    if (!Active() || !file_)
        return false;
    EnsureFresh();
    if (position < 0 || position >= static_cast<int>(List().size()))
        return false;
    const std::vector<Value> row = Row(position); // a copy: look-ups below may refill the cache
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
