#include "dbase/DbtFile.h"

#include "dbase/Errors.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace dbase {

namespace {
constexpr std::size_t kChunk = 4096;
constexpr std::uint8_t kBlockMark[4] = {0xFF, 0xFF, 0x08, 0x00};
constexpr std::uint32_t kMaxMemo = 0x7FFFFFF0; // a memo longer than this cannot be held

std::uint32_t Get32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
void Put32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
} // namespace

TDbtFile::TDbtFile(const std::string& fileName, xBaseVersion version, TOpenMode mode)
    : TPagedFile(fileName, mode), Version(version) {
    if (mode != TOpenMode::Create) ReadAt(0, rDbtHdr.data(), rDbtHdr.size());
    std::uint32_t blockSize = static_cast<std::uint32_t>(rDbtHdr[20] | (rDbtHdr[21] << 8));
    if (blockSize == 0 || blockSize % 128 != 0) {
        blockSize = 512;
        rDbtHdr[20] = 0x00;
        rDbtHdr[21] = 0x02;
    }
    HeaderSize = 0;
    RecordSize = blockSize;
    nextFree_ = Get32(rDbtHdr.data());
    if (nextFree_ == 0) nextFree_ = 1; // block 0 always belongs to the header
}

std::string TDbtFile::ReadMemo(std::uint32_t block) {
    std::string out;
    if (block == 0) return out;
    const std::int64_t start = Seek(block);
    if (start >= Size()) return out;
    if (Version != xBaseVersion::xBaseIII) {
        std::uint8_t head[8];
        if (ReadAt(start, head, sizeof head) < sizeof head || std::memcmp(head, kBlockMark, 4) != 0) return out;
        const std::uint32_t total = Get32(head + 4);
        if (total < 8 || total > kMaxMemo || start + static_cast<std::int64_t>(total) > Size()) return out;
        out.resize(total - 8);
        if (ReadAt(start + 8, out.data(), out.size()) < out.size()) out.clear();
        return out;
    }
    // Dialect III: everything up to the first 0x1A 0x1A (or a zero byte, or the end of the file).
    char chunk[kChunk];
    std::int64_t at = start;
    bool pendingMark = false; // the previous chunk ended with one 0x1A
    for (;;) {
        const std::size_t got = ReadAt(at, chunk, sizeof chunk);
        if (got == 0) {
            if (pendingMark) out += '\x1A';
            return out;
        }
        std::size_t i = 0;
        if (pendingMark) {
            if (chunk[0] == '\x1A') return out;
            out += '\x1A';
            pendingMark = false;
        }
        for (; i < got; ++i) {
            const char c = chunk[i];
            if (c == '\0') { out.append(chunk, i); return out; }
            if (c == '\x1A') {
                if (i + 1 < got) {
                    if (chunk[i + 1] == '\x1A') { out.append(chunk, i); return out; }
                } else {
                    out.append(chunk, i);
                    pendingMark = true;
                    break;
                }
            }
        }
        if (!pendingMark) out.append(chunk, got);
        at += static_cast<std::int64_t>(got);
    }
}

void TDbtFile::WriteHeaderBytes() {
    Put32(rDbtHdr.data(), nextFree_);
    std::vector<std::uint8_t> block(BlockSize(), 0);
    // Block 0 is written whole on a new file; afterwards only the header bytes change.
    if (Size() < static_cast<std::int64_t>(BlockSize())) {
        std::memcpy(block.data(), rDbtHdr.data(), rDbtHdr.size());
        WriteAt(0, block.data(), block.size());
    } else {
        WriteAt(0, rDbtHdr.data(), rDbtHdr.size());
    }
}

void TDbtFile::WriteNewHeader() {
    nextFree_ = 1;
    rDbtHdr[20] = static_cast<std::uint8_t>(BlockSize());
    rDbtHdr[21] = static_cast<std::uint8_t>(BlockSize() >> 8);
    WriteHeaderBytes();
}

std::uint32_t TDbtFile::WriteMemo(std::uint32_t oldBlock, std::uint32_t oldLength, const std::string& text) {
    if (text.empty()) return 0;
    if (text.size() > kMaxMemo) throw EBinaryDataSetError("WriteMemo: the memo is too long");
    const std::uint64_t head = Version == xBaseVersion::xBaseIII ? 0 : 8;
    const std::uint64_t tail = Version == xBaseVersion::xBaseIII ? 2 : 0;
    const std::uint64_t bs = BlockSize();
    const std::uint64_t needed = (head + text.size() + tail + bs - 1) / bs;
    const std::uint64_t held = (static_cast<std::uint64_t>(oldLength) + bs - 1) / bs;

    std::uint32_t block = oldBlock;
    const bool append = oldBlock == 0 || held < needed || Seek(oldBlock) >= Size();
    if (append) {
        // A stale next-free value must never make a new memo overwrite existing blocks.
        const std::uint64_t pastEnd = (static_cast<std::uint64_t>(Size()) + bs - 1) / bs;
        const std::uint64_t next = std::max<std::uint64_t>({nextFree_, pastEnd, 1});
        if (next + needed > 0xFFFFFFFFull) throw EBinaryDataSetError("WriteMemo: the memo file is full");
        block = static_cast<std::uint32_t>(next);
    }
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(head + text.size() + tail));
    if (head) {
        std::uint8_t h[8];
        std::memcpy(h, kBlockMark, 4);
        Put32(h + 4, static_cast<std::uint32_t>(text.size() + 8));
        bytes.append(reinterpret_cast<const char*>(h), 8);
    }
    bytes += text;
    if (tail) bytes += "\x1A\x1A";
    if (append && Size() == 0) WriteHeaderBytes(); // a memo file must start with its header
    WriteAt(Seek(block), bytes.data(), bytes.size());
    if (append) {
        nextFree_ = static_cast<std::uint32_t>(block + needed);
        // Pad the last block so that the next memo starts on a block of its own.
        const std::int64_t end = Seek(nextFree_);
        if (Size() < end) {
            const std::uint8_t zero = 0;
            WriteAt(end - 1, &zero, 1);
        }
        WriteHeaderBytes();
    }
    return block;
}

} // namespace dbase
