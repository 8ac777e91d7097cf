#pragma once
// The memo file (.dbt) beside a table: blocks of a fixed size, block 0 holding the header. A
// memo starts at a block; dialect III ends it with two 0x1A bytes, dialects IV and V put an
// 8-byte block header with the length in front of it.

#include "dbase/DBaseFile.h"
#include "dbase/PagedFile.h"

#include <array>
#include <cstdint>
#include <string>

namespace dbase {

class TDbtFile : public TPagedFile {
public:
    TDbtFile(const std::string& fileName, xBaseVersion version, TOpenMode mode);

    std::array<std::uint8_t, 24> rDbtHdr{};
    xBaseVersion Version;

    std::uint32_t BlockSize() const { return RecordSize; }
    std::uint32_t NextFreeBlock() const { return nextFree_; }

    // The bytes of the memo that starts at the block; empty for block 0 and for a block, length
    // or end mark that does not fit the file.
    std::string ReadMemo(std::uint32_t block);
    // Stores text as a memo and returns its first block (0 for an empty text). A text that fits
    // the blocks of the old memo (oldLength bytes) is written over it; a longer one is appended.
    std::uint32_t WriteMemo(std::uint32_t oldBlock, std::uint32_t oldLength, const std::string& text);
    // Writes the header block of a new, empty memo file.
    void WriteNewHeader();

private:
    void WriteHeaderBytes();
    std::uint32_t nextFree_ = 1;
};

} // namespace dbase
