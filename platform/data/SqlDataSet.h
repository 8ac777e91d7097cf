#pragma once
// What tables and queries over the table files share: the records that pass are kept as an
// ordered list of rowids (rebuilt when the filter changes or another dataset wrote the table),
// the cursor is a position in that list, and records are read ahead in runs of the list. A
// dataset that can find its records directly in rowid order reads them on from the first one
// without the list, and builds it only for what needs it (the count, moving back far, jumping; a
// query in an index's order gives a grid its count and rows without it), so
// switching a filter on and off, or one pass over the records, scans the table at most once. A
// posted edit whose values the table holds already, in the form a write would store, writes nothing.

#include "platform/data/DataSet.h"
#include "platform/data/Filter.h"
#include "platform/data/Session.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace data {

class TSqlDataSet : public TDataSet {
public:
    TSqlDataSet();
    ~TSqlDataSet() override;

    // Told apart from every other dataset of the process, also one made later at the same address.
    std::uint64_t InstanceId() const { return instanceId_; }
    // Rises with every opening of any dataset: orders datasets by when they were opened.
    std::uint64_t OpenSerial() const { return openSerial_; }
    // True while the dataset with this address and id exists.
    static bool Exists(const TSqlDataSet* dataSet, std::uint64_t instanceId);

    // Changes whenever the records of the dataset's table file may have changed: a write through
    // any dataset, a bulk rewrite, a rollback, the file attached anew. 0 while closed. Two equal
    // stamps other than 0 mean the file holds the same records, so what was read from it holds.
    std::uint64_t ContentStamp() const { return file_ ? file_->Generation() : 0; }

    // The texts (as AsString gives them) of some fields of every record that passes, in the
    // dataset's order: one list of texts per field, read in one statement over the file. The
    // cursor, filter and records are left as they were. The dataset must be open.
    std::vector<std::vector<std::string>> ReadTextsInOrder(const std::vector<std::string>& fields); // ListedTexts.cpp

    // The texts (as AsString gives them) that some stored fields take among the records the
    // dataset holds (those its statement and filter pass): per field each text once, the empty
    // one included, in the order of the records where they first appear. Read in a few
    // statements over the file instead of record by record, so that pick lists of a whole query's
    // values fill in milliseconds. The cursor and the current record are left as they were. The
    // dataset must be open; an unknown field raises.
    std::vector<std::vector<std::string>> ListedDistinctTexts(const std::vector<std::string>& fields); // ListedTexts.cpp

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
        bool anyChanged = false;     // some entry of changed is set
        std::uint64_t changedBits = 0; // changed as bits (bit 63 stands for all later fields)
        // Fields whose values are here (bit 63 stands for all later ones); the others are read
        // when asked for.
        std::uint64_t loaded = ~std::uint64_t{0};
        void ClearChanged(std::size_t count)
        {
            if (anyChanged || changed.size() != count)
                changed.assign(count, false);
            anyChanged = false;
            changedBits = 0;
        }
    };

    // What a descendant supplies when it opens: the attached file and, for each field definition,
    // the column of the file's table it reads.
    void SetSource(std::shared_ptr<TableFile> file, std::vector<int> columns);
    TableFile& File() const { return *file_; }
    std::shared_ptr<TableFile> SharedFile() const { return file_; }
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
    // True when the records that pass are exactly those of the table that meet FilterSql(), in
    // rowid order: they can then be read on from the first one without building the list.
    virtual bool ReadsOnWithoutList() const { return false; }
    // For a dataset not in rowid order that reads on without the list: points `statement` at the
    // one that reads its records in its order (`columns`, then LIMIT and OFFSET parameters), with
    // its other parameters bound, and answers the LIMIT parameter's position (OFFSET's is the
    // next). Reading on from the cursor beyond the first run builds the list; a grid's rows are
    // read so at any position (ReadRecordAt).
    virtual int PrepareRunAt(const std::string& /*columns*/, sqlite::Statement*& /*statement*/) { return 0; }
    // Likewise: points `statement` at the one that counts the records that pass, parameters bound.
    virtual void PrepareCount(sqlite::Statement*& /*statement*/) {}
    // The filter as SQL (empty when filtering is off or the text is empty).
    const SqlFragment& FilterSql() const { return filterSql_; }
    ColumnTypes FieldColumnTypes() const;
    // Applies OnFilterRecord to a candidate list when filtering is on and the event is set.
    void ApplyFilterEvent(std::vector<std::int64_t>& rowids);
    // Hands over the list of the records that pass when it is built and no write to the table
    // came after it; none otherwise. For a descendant that is closing.
    std::optional<std::vector<std::int64_t>> TakeCurrentList();

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
    void GetFieldText(const TField& field, std::string& text) override;
    void SetFieldData(TField& field, const Value& source) override;
    int GetRecordCount() override;
    int GetRecNo() override;
    void SetRecNoInternal(int recNo) override;
    void FilterChanged() override;
    bool PostedInPlace() const override { return postedInPlace_; }

private:
    void EnsureFresh();
    void EnsureList();
    void Rebuild(bool keepPosition);
    bool ReadRun(std::int64_t after, int position, int count);
    std::optional<TGetResult> GetWithoutList(Record& record, TGetMode mode);
    int FindPosition(std::int64_t rowid, int hint);
    const std::vector<std::int64_t>& List() const { return useAll_ ? file_->AllRowids() : list_; }
    const std::vector<TFieldType>& Types();
    const std::vector<Value>& Row(int position);
    void FetchAround(int position);
    // Where the run of rows read for `position` starts (before any bound), given the run read last
    // (`runStart`, `runSize` rows); `readAhead` is its length, then the new run's.
    static int RunStart(int position, int runStart, int runSize, int& readAhead);
    std::uint64_t AllFields() const;
    std::uint64_t RunFields(bool readingOn);
    void ReadRow(sqlite::Statement& statement, std::size_t slot, std::uint64_t fields, bool adding);
    void LoadFields(std::uint64_t fields);
    void LoadField(Record& record, std::size_t field);
    const Value* FieldValue(const TField& field); // of the current record, read if need be
    int WindowSlot(std::int64_t rowid, int position) const;
    int WindowSearch(std::int64_t rowid, int hint) const;
    bool InWindow(int position) const;
    void ClearWindow();
    void WindowInserted(int position, const Record& record);
    void WindowErased(int position);
    void LoadInto(Record& record, int position);
    bool StoredAlready(const Record& record, int slot);
    bool Passes(Record& record);
    void InsertRecord(Record& record);
    void UpdateRecord(Record& record);
    std::string ColumnList(std::uint64_t fields) const;
    // A grid's rows of a dataset that reads on in its own order, without the list (RowsAt.cpp).
    bool ShowsRowsWithoutList();
    int CountWithoutList();
    const std::vector<Value>* RowAtWithoutList(int position);
    void ForgetRowsAt();
    // The column list ("rowid, ...") of stored fields, with their types; raises for an unknown
    // field or a closed dataset (ListedTexts.cpp).
    std::string ListedColumns(const std::vector<std::string>& fields, std::vector<TFieldType>& fieldTypes);
    // Reads `columns` of the records the dataset lists in the file's order (one range scan, or runs
    // fetched by record number when they lie far apart) and visits each row at its place in the
    // list, also at each place of a record the list repeats.
    void ForEachListed(const std::string& columns,
                       const std::function<void(const sqlite::Statement& row, std::size_t position)>& visit);

    std::uint64_t instanceId_ = 0;
    std::uint64_t openSerial_ = 0;
    std::shared_ptr<TableFile> file_;
    std::vector<int> columns_;              // field definition -> column of the file's table
    std::vector<TFieldType> types_;         // field definition -> its type
    // The records that pass: the table's own list when useAll_, else list_. Until listReady_ only
    // the rows read ahead are known, read on from the first record: the cursor is then before the
    // first record (pos_ -1), on a row read ahead, or after the last one when endKnown_.
    std::vector<std::int64_t> list_;
    bool useAll_ = false;
    bool listReady_ = false;
    bool endKnown_ = false; // the rows read ahead reach the last record that passes
    std::unordered_map<std::int64_t, int> positions_; // for lists not in rowid order
    bool positionsKnown_ = false;
    int pos_ = -1;                          // -1 before the first, list size after the last
    std::uint64_t seenGeneration_ = 0;
    // Rows read ahead: those of list positions windowStart_ ... windowStart_ + size - 1. While
    // reading on, a run reads only the fields used during the run before; the others are read
    // for all rows read ahead when first asked for.
    struct RowState {
        std::uint64_t loaded = 0;  // fields read (bit 63 stands for all later ones)
        std::uint64_t inexact = 0; // fields not stored in the form this layer writes
    };
    int windowStart_ = 0;
    std::vector<std::int64_t> windowRowids_;
    std::vector<std::vector<Value>> windowRows_;
    std::vector<RowState> windowState_;
    int readAhead_ = 0;
    std::uint64_t touched_ = 0; // fields read or set since the last run was read
    SqlFragment filterSql_;
    Record* filterRecord_ = nullptr;        // the record judged by OnFilterRecord
    std::map<std::vector<bool>, sqlite::Statement*> updates_; // by the fields an update writes
    std::vector<std::size_t> changedFields_; // of the record being posted
    sqlite::Statement* lastUpdate_ = nullptr;  // the update used last (fewer than 64 fields)
    std::uint64_t lastUpdateBits_ = 0;         // the fields it writes
    bool postedInPlace_ = false;
    sqlite::Statement* insert_ = nullptr;
    std::map<std::uint64_t, sqlite::Statement*> ranges_; // by the fields they read
    std::map<std::pair<int, std::uint64_t>, sqlite::Statement*> fetches_; // by rowids taken, fields read
    std::uint64_t lookupGeneration_ = 0;
    std::map<std::string, Value> lookupCache_;
    // Without the list: the count of the records that pass, and a run of rows read for a grid at
    // any position (apart from the cursor's rows read ahead), both valid for the file's generation.
    struct RowsAt {
        std::uint64_t generation = 0; // 0: nothing known
        int count = -1;
        int start = 0;
        std::vector<std::vector<Value>> rows;
        int readAhead = 0;
    };
    RowsAt rowsAt_;
};

} // namespace data
