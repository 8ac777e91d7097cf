#pragma once
// One 512-byte page of an index in memory, with the entry the index chain stands on. A leaf page
// holds Count() entries; an inner page holds Count() keyed entries and one more that only points
// to the page of the greatest keys.

#include <array>
#include <cstdint>
#include <cstring>

namespace dbase {

class TIndex;

class TIndexPage {
public:
    TIndexPage(TIndex& index, int level) : index_(index), level_(level) {}

    int Level() const { return level_; }
    void SetLevel(int level);
    std::int64_t PageNo() const { return pageNo_; }
    int EntryNo = -1;

    // Loads page n (validated by the index); clears the current entry.
    void SetPageNo(std::uint32_t n);
    // Makes this a fresh, empty page numbered n (not written yet).
    void Reset(std::uint32_t n);

    int Count() const { return static_cast<int>(Get32(buf_.data())); }
    void SetCount(int count) { Put32(buf_.data(), static_cast<std::uint32_t>(count)); }
    bool IsLeaf() const;
    // Last valid entry number: Count() - 1 in a leaf, Count() in an inner page.
    int LastEntryNo() const { return IsLeaf() ? Count() - 1 : Count(); }

    std::uint8_t* Entry(int i);
    const std::uint8_t* Entry(int i) const { return const_cast<TIndexPage*>(this)->Entry(i); }
    std::uint32_t LowerPage(int i) const { return Get32(Entry(i)); }
    std::uint32_t RecNo(int i) const { return Get32(Entry(i) + 4); }
    const std::uint8_t* Key(int i) const { return Entry(i) + 8; }

    // Writes the buffer to its page.
    void Write();

    std::array<std::uint8_t, 512>& Buffer() { return buf_; }

    static std::uint32_t Get32(const std::uint8_t* p) {
        return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
               (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
    }
    static void Put32(std::uint8_t* p, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
    }

private:
    TIndex& index_;
    int level_;
    std::int64_t pageNo_ = -1;
    std::array<std::uint8_t, 512> buf_{};
};

} // namespace dbase
