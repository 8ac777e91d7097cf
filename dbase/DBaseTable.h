#pragma once
// The dataset over one dBase table: the table file, its memo file and any .ndx indexes opened on
// it, plugged into the generic dataset so that fields are read and written as with any table.

#include "dbase/DBaseFile.h"
#include "dbase/DbtFile.h"
#include "dbase/Index.h"
#include "dbase/IndexFile.h"
#include "platform/data/DataSet.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace dbase {

class TDBaseTable;

// A memo read into memory; a stream opened for writing stores the memo when it is destroyed
// (or earlier, through Flush, which reports a failure instead of dropping it).
class TMyBlobFile : public data::TMemoryStream {
public:
    TMyBlobFile(TDBaseTable& dataSet, const data::TField& field, data::TBlobStreamMode mode);
    ~TMyBlobFile() override;
    void Flush();

    data::TBlobStreamMode Mode;
    std::uint32_t MemoBlock = 0;
    std::uint32_t MemoLength = 0; // bytes of the memo as read

private:
    TDBaseTable& dataSet_;
    int fieldNo_;
    bool flushed_ = false;
};

class TDBaseTable : public data::TDataSet {
public:
    TDBaseTable();
    ~TDBaseTable() override;

    std::string FileName;
    bool ReadOnly = false;
    // Receives the notices about a header that disagrees with its file ("Invalid Record Count",
    // "Invalid Record Size"); they do not stop the opening.
    TNoticeEvent OnNotice;
    // Records whose raw bytes, letters A-Z lower-cased, do not contain this text are skipped.
    std::string RawFilter;

    bool ShowDeleted() const { return showDeleted_; }
    void SetShowDeleted(bool value);

    // Creates the table file (and a memo file when a memo field is defined) from FieldDefs, or
    // from the data fields when FieldDefs is empty.
    void CreateTable();
    // Opens an .ndx index and returns its position; an index already open returns its position.
    int OpenIndex(const std::string& fileName);
    // Makes the index at the position the active order; any other position changes nothing.
    void UseIndex(int position);
    int IndexCount() const { return static_cast<int>(indexes_.size()); }
    TIndex* ActiveIndex() const { return activeIndex_; }
    // Goes to the first record whose key is not less than key in the active index; true when
    // its key equals key. Without an active index nothing happens and the answer is false.
    bool Find(const std::string& key);

    // The field of that name, letter case ignored, found through a hash of the names (the import
    // looks fields up by name for every value it copies). Same results and errors as the base.
    data::TField* FindField(std::string_view name) const;
    data::TField& FieldByName(std::string_view name) const {
        // Callers name fields with the same texts again and again: a hit on the text's address,
        // length and bytes skips the look-up.
        const auto key = reinterpret_cast<std::uintptr_t>(name.data());
        TNameHit& hit = nameHits_[(key >> 3 ^ name.size()) & (kNameHits - 1)];
        if (hit.data == name.data() && hit.size == name.size() && hit.field &&
            std::memcmp(hit.bytes, name.data(), std::min<std::size_t>(name.size(), sizeof hit.bytes)) == 0 &&
            name.size() <= sizeof hit.bytes)
            return *hit.field;
        return FieldByNameSlow(name, hit);
    }

    TDBaseFile* TableFile() const { return dbf_.get(); }
    TDbtFile* MemoFile() const { return dbt_.get(); }

    std::unique_ptr<data::TMemoryStream> CreateBlobStream(data::TField& field, data::TBlobStreamMode mode) override;

protected:
    void InternalOpen() override;
    void InternalClose() override;
    void InternalInitFieldDefs() override;
    bool IsCursorOpen() const override { return cursorOpen_; }
    std::unique_ptr<data::TRecordBuffer> AllocRecordBuffer() override;
    data::TGetResult GetRecord(data::TRecordBuffer& buffer, data::TGetMode mode, bool doCheck) override;
    void InternalFirst() override;
    void InternalLast() override;
    void InternalInitRecord(data::TRecordBuffer& buffer) override;
    void InternalPost() override;
    void InternalDelete() override;
    void InternalAddRecord(data::TRecordBuffer& buffer, bool append) override;
    void InternalSetToRecord(data::TRecordBuffer& buffer) override;
    void InternalGotoBookmark(const data::TBookmark& bookmark) override;
    data::TBookmark GetBookmarkData(const data::TRecordBuffer& buffer) const override;
    void SetBookmarkData(data::TRecordBuffer& buffer, const data::TBookmark& bookmark) override;
    data::TBookmarkFlag GetBookmarkFlag(const data::TRecordBuffer& buffer) const override;
    void SetBookmarkFlag(data::TRecordBuffer& buffer, data::TBookmarkFlag flag) override;
    bool GetFieldData(const data::TField& field, data::Value* dest) override;
    void GetFieldText(const data::TField& field, std::string& text) override;
    void SetFieldData(data::TField& field, const data::Value& source) override;
    int GetRecordCount() override;
    int GetRecNo() override;
    bool GetCanModify() const override { return !ReadOnly; }
    int GetRecordSize() const override { return dbf_ ? static_cast<int>(dbf_->RecordSize) : 0; }

private:
    friend class TMyBlobFile;
    struct TRecBuf;

    void _OpenFiles(bool create);
    void _CloseFiles();
    void _AppendRecord(TRecBuf& buffer);
    bool _FilterRecord(TRecBuf& buffer);
    TRecBuf& Active_() const;
    const TRecBuf* FieldBuffer() const;
    void PositionIndexOn(TIndex& index, std::int64_t recordIndex);
    std::int64_t CheckedRecord(TIndex& index) const;
    std::uint32_t MemoBlockOf(const std::uint8_t* record, int field) const;
    std::string ReadMemoText(const std::uint8_t* record, int field, std::uint32_t* length = nullptr);
    void StoreMemo(std::uint8_t* record, int field, const std::string& utf8);
    std::string MemoFileName() const;

    void BuildFieldHash() const;
    static constexpr std::size_t kNameHits = 64;
    struct TNameHit {
        const char* data = nullptr;
        std::size_t size = 0;
        char bytes[16] = {};
        data::TField* field = nullptr;
    };
    data::TField& FieldByNameSlow(std::string_view name, TNameHit& hit) const;
    void ClearNameHits() const;
    mutable std::array<TNameHit, kNameHits> nameHits_{};

    mutable std::vector<std::pair<std::string, data::TField*>> fieldHash_; // folded name, field
    mutable std::size_t fieldHashCount_ = 0;                                // fields hashed
    std::unique_ptr<TDBaseFile> dbf_;
    std::unique_ptr<TDbtFile> dbt_;
    std::vector<std::unique_ptr<TIndexFile>> indexFiles_;
    std::vector<std::unique_ptr<TIndex>> indexes_;
    TIndex* activeIndex_ = nullptr;
    enum class TIndexSide { Before, On, After } indexSide_ = TIndexSide::Before;
    std::int64_t current_ = -1;
    bool cursorOpen_ = false;
    bool showDeleted_ = false;
    const TRecBuf* filterBuffer_ = nullptr;
};

} // namespace dbase
