#include "dbase/IndexFile.h"

#include <algorithm>
#include <cstring>

namespace dbase {

bool IsMdxName(const std::string& fileName) {
    if (fileName.size() < 4) return false;
    std::string ext = fileName.substr(fileName.size() - 4);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext == ".mdx";
}

TIndexFile::TIndexFile(const std::string& fileName, TOpenMode mode) : TPagedFile(fileName, mode) {
    HeaderSize = 0;
    RecordSize = kPageSize;
    if (IsMdxName(fileName)) {
        FileKind = kMdx;
        ReadAt(0, rMdxHdr.data(), rMdxHdr.size());
        MdxTagCount = rMdxHdr[28] | (rMdxHdr[29] << 8);
    }
}

void TIndexFile::ReadPage(std::uint32_t n, std::uint8_t* page) {
    const std::size_t got = ReadAt(static_cast<std::int64_t>(n) * kPageSize, page, kPageSize);
    if (got < kPageSize) std::memset(page + got, 0, kPageSize - got);
}

void TIndexFile::WritePage(std::uint32_t n, const std::uint8_t* page) {
    WriteAt(static_cast<std::int64_t>(n) * kPageSize, page, kPageSize);
}

} // namespace dbase
