#include "dbase/IndexPage.h"

#include "dbase/Errors.h"
#include "dbase/Index.h"

namespace dbase {

void TIndexPage::SetPageNo(std::uint32_t n) {
    index_.LoadPage(*this, n);
    pageNo_ = n;
    EntryNo = -1;
}

void TIndexPage::Reset(std::uint32_t n) {
    buf_.fill(0);
    pageNo_ = n;
    EntryNo = -1;
}

bool TIndexPage::IsLeaf() const { return level_ == index_.LeafLevel(); }

std::uint8_t* TIndexPage::Entry(int i) {
    // The last pointer of a full inner page may stand in the page's final bytes; only its first
    // four bytes (the pointer) are ever used.
    const long offset = 4L + static_cast<long>(i) * index_.KeyRecordSize();
    if (i < 0 || i > index_.MaxKeys() || offset + 4 > static_cast<long>(buf_.size()))
        throw EBinaryDataSetError("Index " + index_.File().FileName() + ": entry " + std::to_string(i) + " lies outside its page");
    return buf_.data() + offset;
}

void TIndexPage::Write() { index_.WritePage(*this); }

void TIndexPage::SetLevel(int level) { level_ = level; }

} // namespace dbase
