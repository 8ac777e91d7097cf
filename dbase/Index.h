#pragma once
// One single-key B-tree index of a table: its header, its key field, and the chain of pages from
// the root down to a leaf that marks the current position. Every page, pointer, count and record
// number read from the file is checked, so a damaged index raises EBinaryDataSetError instead of
// reading out of bounds or looping.

#include "dbase/IndexFile.h"
#include "dbase/IndexPage.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace dbase {

class TDBaseFile;

class TIndex {
public:
    static constexpr int kMaxDepth = 32;
    static constexpr int kMaxKeyLength = 100;

    // Reads and checks the header on page 0 and goes to the first entry.
    explicit TIndex(TIndexFile& file);

    TIndexFile& File() { return file_; }
    const std::string& KeyExpression() const { return keyExpression_; }
    bool CharacterKeys() const { return charKeys_; }
    int KeyLength() const { return keyLength_; }
    int MaxKeys() const { return maxKeys_; }
    int KeyRecordSize() const { return stride_; }
    int Depth() const { return static_cast<int>(chain_.size()); }
    std::uint32_t RootPage() const { return root_; }
    std::uint32_t NextFreePage() const { return nextFree_; }

    // The key field: position in the table's field list, -1 until bound.
    int KeyField = -1;

    // Navigation; false at the end or beginning.
    bool First();
    bool Last();
    bool Next();
    bool Prev();
    bool Positioned() const { return positioned_; }

    // Places the chain on the first entry whose key is not less than key; with recNo > 0 on the
    // entry of that key and record number. Always reaches a leaf; true when the key (and record
    // number) was found.
    bool Find(const std::string& key, std::uint32_t recNo = 0);
    // Inserts a key for a record number (counted from 1), splitting pages as needed.
    void Insert(const std::string& key, std::uint32_t recNo);
    // Removes the current leaf entry.
    void Delete();
    // Removes the entry of the key and record number; false when there is none.
    bool Delete(const std::string& key, std::uint32_t recNo);

    TIndexPage& Pos() { return *chain_.back(); }
    // Record index (from 0) of the current entry; -1 when not on an entry.
    std::int64_t GetRealRecNo() const;
    std::int64_t GetRecNo() const;
    std::int64_t GetRecordCount() const;
    // Goes to the entry of the record index by scanning from the first entry.
    bool GotoBookMark(std::int64_t recordIndex);

    // The key of a record as stored in this index, and a search key made from text.
    std::string KeyOfRecord(const TDBaseFile& table, const std::uint8_t* record) const;
    std::string SearchKey(const TDBaseFile& table, const std::string& utf8Text) const;
    // <0, 0, >0 as key a sorts before, with or after stored key b.
    int Compare(const std::uint8_t* a, const std::uint8_t* b) const;

    // Used by TIndexPage.
    void LoadPage(TIndexPage& page, std::uint32_t n);
    void WritePage(TIndexPage& page);
    int LeafLevel() const { return Depth() - 1; }

private:
    [[noreturn]] void Damaged(const std::string& what) const;
    void WriteHeader();
    std::uint32_t AllocPage();
    void DescendFirst(int level);
    void DescendLast(int level);
    bool NormalizeForward();
    bool NormalizeBackward();
    void CountLoad(int direction);
    void InsertAt(int level, int pos, const std::vector<std::uint8_t>& entry);
    void Split(int level, int pos, const std::vector<std::uint8_t>& entry);
    void PositionForInsert(const std::string& key, std::uint32_t recNo);
    std::vector<std::uint8_t> MakeEntry(std::uint32_t lower, std::uint32_t recNo, const std::uint8_t* key) const;

    TIndexFile& file_;
    std::array<std::uint8_t, 512> header_{};
    std::uint32_t root_ = 0;
    std::uint32_t nextFree_ = 0;
    bool charKeys_ = true;
    int keyLength_ = 0;
    int maxKeys_ = 0;
    int stride_ = 0;
    std::string keyExpression_;
    std::vector<std::unique_ptr<TIndexPage>> chain_;
    bool positioned_ = false;
    int direction_ = 0;      // last direction of travel, for the revisit guard
    std::int64_t loads_ = 0; // pages loaded since the last positioning or change of direction
};

} // namespace dbase
