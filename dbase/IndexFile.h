#pragma once
// A single-key index file (.ndx): pages of 512 bytes, page 0 holding the index header. A
// multiple-index file (.mdx) is recognised but gives no usable index.

#include "dbase/PagedFile.h"

#include <array>
#include <cstdint>
#include <string>

namespace dbase {

class TIndexFile : public TPagedFile {
public:
    static constexpr std::uint32_t kPageSize = 512;
    enum Kind { kNdx = 0, kMdx = 1 };

    TIndexFile(const std::string& fileName, TOpenMode mode);

    Kind FileKind = kNdx;
    std::array<std::uint8_t, 48> rMdxHdr{};
    int MdxTagCount = 0;

    // Pages the file holds (a partial last page counts).
    std::uint32_t PageCount() const {
        return static_cast<std::uint32_t>(std::min<std::int64_t>((Size() + kPageSize - 1) / kPageSize, 0x7FFFFFFF));
    }
    void ReadPage(std::uint32_t n, std::uint8_t* page);
    void WritePage(std::uint32_t n, const std::uint8_t* page);
};

// True when the file name ends in ".mdx" (letter case ignored).
bool IsMdxName(const std::string& fileName);

} // namespace dbase
