#pragma once
// What tables and queries over the table files share: the records that pass are kept as an
// ordered list of rowids (rebuilt when the filter changes or another dataset wrote the table),
// the cursor is a position in that list, and records are fetched by rowid in chunks.

#include "platform/data/DataSet.h"
#include "platform/data/Filter.h"
#include "platform/data/Session.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace data {

class TSqlDataSet : public TDataSet {
public:
    ~TSqlDataSet() override;

    bool ReadRecordAt(int position, std::vector<Value>& values) override;
    Value LookupValue(const std::string& keyField, const Value& key, const std::string& resultField) override;
    bool BookmarkValid(const TBookmark& bookmark) override;

protected:
    struct Record : TRecordBuffer {
        std::int64_t rowid = 0;
        int position = -1; // where the record was in the list (a hint)
        TBookmarkFlag flag = TBookmarkFlag::bfCurrent;
        std::vector<Value> values;   // one per field definition
        std::vector<bool> changed;   // fields assigned since the record was read
    };

    // What a descendant supplies when it opens: the attached file and, for each field definition,
    // the column of the file's table it reads.
    void SetSource(std::shared_ptr<TableFile> file, std::vector<int> columns);
    TableFile& File() const { return *file_; }
    bool HasSource() const { return file_ != nullptr; }
    const std::vector<int>& SourceColumns() const { return columns_; }
    void ReleaseSource();

    // The rowids of the records that pass, in the dataset's order. `extraWhere` is the
    // descendant's own condition (a query's WHERE); the dataset's filter is added to it.
    virtual void BuildList(std::vector<std::int64_t>& rowids) = 0;
    virtual bool NaturalOrder() const = 0; // rowids ascending
    // True when every record of the table passes in rowid order: the dataset then reads the
    // table's own list of rowids instead of keeping a copy.
    virtual bool UsesAllRows() const { return false; }
    // The filter as SQL (empty when filtering is off or the text is empty).
    const SqlFragment& FilterSql() const { return filterSql_; }
    ColumnTypes FieldColumnTypes() const;
    // Applies OnFilterRecord to a candidate list when filtering is on and the event is set.
    void ApplyFilterEvent(std::vector<std::int64_t>& rowids);

    // ---- The record protocol ----
    bool IsCursorOpen() const override { return file_ != nullptr; }
    std::unique_ptr<TRecordBuffer> AllocRecordBuffer() override;
    TGetResult GetRecord(TRecordBuffer& buffer, TGetMode mode, bool doCheck) override;
    void InternalFirst() override;
    void InternalLast() override;
    void InternalInitRecord(TRecordBuffer& buffer) override;
    void InternalPost() override;
    void InternalDelete() override;
    void InternalAddRecord(TRecordBuffer& buffer, bool append) override;
    void InternalRefresh() override;
    void InternalSetToRecord(TRecordBuffer& buffer) override;
    void InternalGotoBookmark(const TBookmark& bookmark) override;
    TBookmark GetBookmarkData(const TRecordBuffer& buffer) const override;
    void SetBookmarkData(TRecordBuffer& buffer, const TBookmark& bookmark) override;
    TBookmarkFlag GetBookmarkFlag(const TRecordBuffer& buffer) const override;
    void SetBookmarkFlag(TRecordBuffer& buffer, TBookmarkFlag flag) override;
    bool GetFieldData(const TField& field, Value* dest) override;
    void SetFieldData(TField& field, const Value& source) override;
    int GetRecordCount() override;
    int GetRecNo() override;
    void SetRecNoInternal(int recNo) override;
    void FilterChanged() override;

private:
    void EnsureFresh();
    void Rebuild();
    int FindPosition(std::int64_t rowid, int hint);
    const std::vector<Value>& Row(int position);
    void FetchAround(int position);
    void LoadInto(Record& record, int position);
    bool Passes(Record& record);
    void InsertRecord(Record& record);
    void UpdateRecord(Record& record);
    std::string ColumnList() const;

    std::shared_ptr<TableFile> file_;
    std::vector<int> columns_;              // field definition -> column of the file's table
    const std::vector<std::int64_t>& List() const { return useAll_ ? file_->AllRowids() : list_; }
    std::vector<std::int64_t> list_;        // the records that pass, unless useAll_
    bool useAll_ = false;
    std::unordered_map<std::int64_t, int> positions_; // for lists not in rowid order
    bool positionsKnown_ = false;
    int pos_ = -1;                          // -1 before the first, list size after the last
    std::uint64_t seenGeneration_ = 0;
    std::unordered_map<std::int64_t, std::vector<Value>> cache_;
    SqlFragment filterSql_;
    Record* filterRecord_ = nullptr;        // the record judged by OnFilterRecord
    std::map<std::vector<bool>, sqlite::Statement*> updates_; // by the fields an update writes
    sqlite::Statement* insert_ = nullptr;
    std::uint64_t lookupGeneration_ = 0;
    std::map<std::string, Value> lookupCache_;
};

} // namespace data
