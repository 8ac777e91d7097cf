#include "dbase/Index.h"

#include "dbase/DBaseFile.h"
#include "dbase/Errors.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace dbase {

namespace {

using Entries = std::vector<std::vector<std::uint8_t>>;

std::uint16_t Get16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

// Julian day number of day 0 of data::TDateTime (30.12.1899): dates are numeric keys by it.
constexpr double kJulianOfDayZero = 2415019.0;

unsigned char Fold(unsigned char c) {
    if (c == 0) return ' '; // some writers pad keys with zero bytes
    return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

} // namespace

TIndex::TIndex(TIndexFile& file) : file_(file) {
    file_.ReadPage(0, header_.data());
    const std::uint8_t* h = header_.data();
    root_ = TIndexPage::Get32(h);
    nextFree_ = TIndexPage::Get32(h + 4);
    keyLength_ = Get16(h + 12);
    maxKeys_ = Get16(h + 14);
    stride_ = Get16(h + 18);
    // Key kind: "C" at byte 9 means character keys, another letter numeric keys; files that leave
    // byte 9 zero tell it by the word at 16 (0 character, 1 numeric).
    if (h[9] == 'C') charKeys_ = true;
    else if (h[9] != 0) charKeys_ = false;
    else charKeys_ = Get16(h + 16) != 1;
    const auto* expr = h + 24;
    const auto* end = static_cast<const std::uint8_t*>(std::memchr(expr, 0, 256));
    keyExpression_.assign(reinterpret_cast<const char*>(expr), end ? static_cast<std::size_t>(end - expr) : 256u);
    while (!keyExpression_.empty() && static_cast<unsigned char>(keyExpression_.back()) <= ' ') keyExpression_.pop_back();
    while (!keyExpression_.empty() && static_cast<unsigned char>(keyExpression_.front()) <= ' ') keyExpression_.erase(0, 1);

    if (file_.PageCount() < 2) Damaged("the file holds no index pages");
    if (keyLength_ < 1 || keyLength_ > kMaxKeyLength) Damaged("invalid key length " + std::to_string(keyLength_));
    if (!charKeys_ && keyLength_ != 8) Damaged("numeric keys must be 8 bytes long, not " + std::to_string(keyLength_));
    if (stride_ < keyLength_ + 8 || stride_ > 504) Damaged("invalid key record size " + std::to_string(stride_));
    if (maxKeys_ < 2 || 4 + maxKeys_ * stride_ + 4 > 512) Damaged("invalid maximum key count " + std::to_string(maxKeys_));
    if (root_ < 1 || root_ >= file_.PageCount()) Damaged("invalid root page " + std::to_string(root_));

    // Depth: follow the first pointers from the root down to a leaf.
    std::array<std::uint8_t, 512> page{};
    std::uint32_t n = root_;
    int depth = 0;
    for (;;) {
        if (++depth > kMaxDepth) Damaged("its pages are nested deeper than " + std::to_string(kMaxDepth) + " levels");
        if (n < 1 || n >= file_.PageCount()) Damaged("page pointer " + std::to_string(n) + " is out of range");
        file_.ReadPage(n, page.data());
        const std::uint32_t lower = TIndexPage::Get32(page.data() + 4);
        if (lower == 0) break;
        n = lower;
    }
    for (int l = 0; l < depth; ++l) chain_.push_back(std::make_unique<TIndexPage>(*this, l));
    First();
}

void TIndex::Damaged(const std::string& what) const {
    throw EBinaryDataSetError("Index " + file_.FileName() + ": " + what);
}

void TIndex::LoadPage(TIndexPage& page, std::uint32_t n) {
    if (n < 1 || n >= file_.PageCount()) Damaged("page pointer " + std::to_string(n) + " is out of range");
    file_.ReadPage(n, page.Buffer().data());
    const std::uint32_t count = TIndexPage::Get32(page.Buffer().data());
    if (count > static_cast<std::uint32_t>(maxKeys_))
        Damaged("page " + std::to_string(n) + " holds " + std::to_string(count) + " keys, more than " + std::to_string(maxKeys_));
}

void TIndex::WritePage(TIndexPage& page) {
    if (page.PageNo() < 1) Damaged("writing an unnumbered page");
    file_.WritePage(static_cast<std::uint32_t>(page.PageNo()), page.Buffer().data());
}

void TIndex::WriteHeader() {
    TIndexPage::Put32(header_.data(), root_);
    TIndexPage::Put32(header_.data() + 4, nextFree_);
    file_.WritePage(0, header_.data());
}

std::uint32_t TIndex::AllocPage() {
    // Never hand out a page that the file already holds, even when the header's count is stale.
    const std::uint32_t n = std::max<std::uint32_t>({nextFree_, file_.PageCount(), 1});
    if (n >= 0x7FFFFFFF) Damaged("the file is full");
    nextFree_ = n + 1;
    return n;
}

int TIndex::Compare(const std::uint8_t* a, const std::uint8_t* b) const {
    if (!charKeys_) {
        double x = 0, y = 0;
        std::memcpy(&x, a, 8);
        std::memcpy(&y, b, 8);
        return x < y ? -1 : (y < x ? 1 : 0);
    }
    for (int i = 0; i < keyLength_; ++i) {
        const unsigned char x = Fold(a[i]), y = Fold(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    return 0;
}

void TIndex::CountLoad(int direction) {
    if (direction != direction_) {
        direction_ = direction;
        loads_ = 0;
    }
    // A sound tree is walked end to end loading each page once; more means pages point in a loop.
    if (++loads_ > static_cast<std::int64_t>(file_.PageCount()) + kMaxDepth + 2) Damaged("its pages are linked in a loop");
}

void TIndex::DescendFirst(int level) {
    for (int l = level; l < Depth(); ++l) {
        if (l > 0) {
            const TIndexPage& up = *chain_[static_cast<std::size_t>(l - 1)];
            chain_[static_cast<std::size_t>(l)]->SetPageNo(up.LowerPage(up.EntryNo));
        }
        chain_[static_cast<std::size_t>(l)]->EntryNo = 0;
    }
}

void TIndex::DescendLast(int level) {
    for (int l = level; l < Depth(); ++l) {
        TIndexPage& page = *chain_[static_cast<std::size_t>(l)];
        if (l > 0) {
            const TIndexPage& up = *chain_[static_cast<std::size_t>(l - 1)];
            page.SetPageNo(up.LowerPage(up.EntryNo));
        }
        page.EntryNo = page.LastEntryNo();
    }
}

bool TIndex::NormalizeForward() {
    for (;;) {
        TIndexPage& leaf = Pos();
        if (leaf.EntryNo >= 0 && leaf.EntryNo < leaf.Count()) return positioned_ = true;
        int l = LeafLevel() - 1;
        while (l >= 0 && chain_[static_cast<std::size_t>(l)]->EntryNo >= chain_[static_cast<std::size_t>(l)]->Count()) --l;
        if (l < 0) {
            leaf.EntryNo = leaf.Count();
            return positioned_ = false;
        }
        ++chain_[static_cast<std::size_t>(l)]->EntryNo;
        for (int k = l + 1; k < Depth(); ++k) CountLoad(1);
        DescendFirst(l + 1);
    }
}

bool TIndex::NormalizeBackward() {
    for (;;) {
        TIndexPage& leaf = Pos();
        if (leaf.EntryNo >= 0 && leaf.EntryNo < leaf.Count()) return positioned_ = true;
        int l = LeafLevel() - 1;
        while (l >= 0 && chain_[static_cast<std::size_t>(l)]->EntryNo <= 0) --l;
        if (l < 0) {
            leaf.EntryNo = -1;
            return positioned_ = false;
        }
        --chain_[static_cast<std::size_t>(l)]->EntryNo;
        for (int k = l + 1; k < Depth(); ++k) CountLoad(-1);
        DescendLast(l + 1);
    }
}

bool TIndex::First() {
    direction_ = 1;
    loads_ = 0;
    chain_[0]->SetPageNo(root_);
    chain_[0]->EntryNo = 0;
    DescendFirst(1);
    return NormalizeForward();
}

bool TIndex::Last() {
    direction_ = -1;
    loads_ = 0;
    chain_[0]->SetPageNo(root_);
    chain_[0]->EntryNo = chain_[0]->LastEntryNo();
    DescendLast(1);
    return NormalizeBackward();
}

bool TIndex::Next() {
    TIndexPage& leaf = Pos();
    if (!positioned_ && leaf.EntryNo >= leaf.Count()) return false; // already past the end
    leaf.EntryNo = std::max(leaf.EntryNo, -1) + 1;
    if (direction_ != 1) { direction_ = 1; loads_ = 0; }
    return NormalizeForward();
}

bool TIndex::Prev() {
    TIndexPage& leaf = Pos();
    if (!positioned_ && leaf.EntryNo < 0) return false; // already before the beginning
    leaf.EntryNo = std::min(leaf.EntryNo, leaf.Count()) - 1;
    if (direction_ != -1) { direction_ = -1; loads_ = 0; }
    return NormalizeBackward();
}

bool TIndex::Find(const std::string& key, std::uint32_t recNo) {
    if (key.size() < static_cast<std::size_t>(keyLength_)) Damaged("search key shorter than the key length");
    const auto* k = reinterpret_cast<const std::uint8_t*>(key.data());
    direction_ = 1;
    loads_ = 0;
    for (int l = 0; l < Depth(); ++l) {
        TIndexPage& page = *chain_[static_cast<std::size_t>(l)];
        if (l == 0) page.SetPageNo(root_);
        else {
            const TIndexPage& up = *chain_[static_cast<std::size_t>(l - 1)];
            page.SetPageNo(up.LowerPage(up.EntryNo));
        }
        const int n = page.Count();
        int i = 0;
        while (i < n && Compare(k, page.Key(i)) > 0) ++i;
        page.EntryNo = i; // in an inner page, i == n is the pointer to the greatest keys
    }
    if (!NormalizeForward()) return false;
    if (recNo == 0) return Compare(k, Pos().Key(Pos().EntryNo)) == 0;
    while (positioned_ && Compare(k, Pos().Key(Pos().EntryNo)) == 0) {
        if (Pos().RecNo(Pos().EntryNo) == recNo) return true;
        Next();
    }
    return false;
}

std::vector<std::uint8_t> TIndex::MakeEntry(std::uint32_t lower, std::uint32_t recNo, const std::uint8_t* key) const {
    std::vector<std::uint8_t> e(static_cast<std::size_t>(stride_), 0);
    TIndexPage::Put32(e.data(), lower);
    TIndexPage::Put32(e.data() + 4, recNo);
    if (key) std::memcpy(e.data() + 8, key, static_cast<std::size_t>(keyLength_));
    return e;
}

namespace {

Entries Unpack(const TIndexPage& page, int stride) {
    const int units = page.IsLeaf() ? page.Count() : page.Count() + 1;
    Entries out;
    out.reserve(static_cast<std::size_t>(units) + 1);
    const auto& buf = const_cast<TIndexPage&>(page).Buffer();
    for (int i = 0; i < units; ++i) {
        std::vector<std::uint8_t> e(static_cast<std::size_t>(stride), 0);
        const std::size_t offset = 4 + static_cast<std::size_t>(i) * static_cast<std::size_t>(stride);
        std::memcpy(e.data(), buf.data() + offset, std::min<std::size_t>(static_cast<std::size_t>(stride), buf.size() - offset));
        out.push_back(std::move(e));
    }
    return out;
}

void Pack(TIndexPage& page, const Entries& entries, bool leaf, int stride) {
    auto& buf = page.Buffer();
    const auto pageNo = page.PageNo();
    buf.fill(0);
    (void)pageNo;
    page.SetCount(static_cast<int>(entries.size()) - (leaf ? 0 : 1));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::size_t offset = 4 + i * static_cast<std::size_t>(stride);
        std::memcpy(buf.data() + offset, entries[i].data(), std::min<std::size_t>(static_cast<std::size_t>(stride), buf.size() - offset));
    }
}

} // namespace

void TIndex::InsertAt(int level, int pos, const std::vector<std::uint8_t>& entry) {
    TIndexPage& page = *chain_[static_cast<std::size_t>(level)];
    const bool leaf = page.IsLeaf();
    Entries entries = Unpack(page, stride_);
    pos = std::clamp(pos, 0, static_cast<int>(entries.size()) - (leaf ? 0 : 1));
    entries.insert(entries.begin() + pos, entry);
    const int count = static_cast<int>(entries.size()) - (leaf ? 0 : 1);
    if (count <= maxKeys_) {
        Pack(page, entries, leaf, stride_);
        page.Write();
        return;
    }
    // The page is full: the lower entries move to a new page on the left, this page keeps the
    // upper ones (so the pointer to it above stays valid) and the left page is announced above.
    const int total = static_cast<int>(entries.size());
    int s = std::max(pos, maxKeys_ / 2);
    s = leaf ? std::clamp(s, 1, total - 1) : std::clamp(s, 2, total - 2);
    Entries left(entries.begin(), entries.begin() + s);
    Entries right(entries.begin() + s, entries.end());
    const std::uint32_t leftNo = AllocPage();
    TIndexPage leftPage(*this, level);
    leftPage.Reset(leftNo);
    Pack(leftPage, left, leaf, stride_);
    leftPage.Write();
    Pack(page, right, leaf, stride_);
    page.Write();
    const std::vector<std::uint8_t> separator = MakeEntry(leftNo, 0, left.back().data() + 8);
    if (level == 0) {
        // A new root above the two halves.
        const std::uint32_t rootNo = AllocPage();
        if (Depth() >= kMaxDepth) Damaged("the tree grew deeper than " + std::to_string(kMaxDepth) + " levels");
        auto rootPage = std::make_unique<TIndexPage>(*this, 0);
        rootPage->Reset(rootNo);
        for (auto& p : chain_) p->SetLevel(p->Level() + 1);
        const Entries rootEntries{separator, MakeEntry(static_cast<std::uint32_t>(page.PageNo()), 0, nullptr)};
        chain_.insert(chain_.begin(), std::move(rootPage));
        Pack(*chain_[0], rootEntries, false, stride_);
        chain_[0]->EntryNo = 1;
        chain_[0]->Write();
        root_ = rootNo;
    } else {
        InsertAt(level - 1, chain_[static_cast<std::size_t>(level - 1)]->EntryNo, separator);
    }
    WriteHeader();
}

void TIndex::PositionForInsert(const std::string& key, std::uint32_t recNo) {
    const auto* k = reinterpret_cast<const std::uint8_t*>(key.data());
    Find(key, 0);
    while (positioned_ && Compare(k, Pos().Key(Pos().EntryNo)) == 0 && Pos().RecNo(Pos().EntryNo) < recNo) Next();
    if (!positioned_) {
        // Past every key: the end of the rightmost leaf, whose path has no upper bounds.
        chain_[0]->SetPageNo(root_);
        chain_[0]->EntryNo = chain_[0]->LastEntryNo();
        DescendLast(1);
        Pos().EntryNo = Pos().Count();
    }
}

void TIndex::Insert(const std::string& key, std::uint32_t recNo) {
    if (key.size() < static_cast<std::size_t>(keyLength_)) Damaged("key shorter than the key length");
    PositionForInsert(key, recNo);
    InsertAt(LeafLevel(), Pos().EntryNo, MakeEntry(0, recNo, reinterpret_cast<const std::uint8_t*>(key.data())));
    Find(key, recNo);
}

void TIndex::Delete() {
    TIndexPage& leaf = Pos();
    const int e = leaf.EntryNo;
    if (!positioned_ || e < 0 || e >= leaf.Count()) return;
    Entries entries = Unpack(leaf, stride_);
    entries.erase(entries.begin() + e);
    Pack(leaf, entries, true, stride_);
    leaf.Write();
    const int count = leaf.Count();
    if (e == count && count > 0 && Depth() > 1) {
        // The leaf's greatest key changed: its entry above takes the new one.
        TIndexPage& up = *chain_[static_cast<std::size_t>(LeafLevel() - 1)];
        if (up.EntryNo < up.Count()) {
            std::memcpy(up.Entry(up.EntryNo) + 8, leaf.Key(count - 1), static_cast<std::size_t>(keyLength_));
            up.Write();
        }
    }
    leaf.EntryNo = e;
    NormalizeForward();
}

bool TIndex::Delete(const std::string& key, std::uint32_t recNo) {
    if (!Find(key, recNo)) return false;
    Delete();
    return true;
}

std::int64_t TIndex::GetRealRecNo() const {
    if (!positioned_) return -1;
    const TIndexPage& leaf = *chain_.back();
    return static_cast<std::int64_t>(leaf.RecNo(leaf.EntryNo)) - 1;
}

std::int64_t TIndex::GetRecNo() const {
    std::int64_t n = std::max(chain_[0]->EntryNo, 0);
    for (std::size_t l = 1; l < chain_.size(); ++l) {
        if (n > (std::int64_t{1} << 40)) break;
        n = n * (maxKeys_ + 1) + std::max(chain_[l]->EntryNo, 0);
    }
    return n;
}

std::int64_t TIndex::GetRecordCount() const {
    std::int64_t n = chain_[0]->Count();
    for (std::size_t l = 1; l < chain_.size() && n < (std::int64_t{1} << 40); ++l) n *= maxKeys_ + 1;
    return n;
}

bool TIndex::GotoBookMark(std::int64_t recordIndex) {
    for (bool ok = First(); ok; ok = Next())
        if (GetRealRecNo() == recordIndex) return true;
    return false;
}

std::string TIndex::KeyOfRecord(const TDBaseFile& table, const std::uint8_t* record) const {
    if (KeyField < 0 || KeyField >= static_cast<int>(table.FieldInfos.size())) Damaged("its key field is not bound");
    const TMyFieldInfo& f = table.FieldInfos[static_cast<std::size_t>(KeyField)];
    std::string key;
    if (charKeys_) {
        if (f.FieldType == data::TFieldType::ftString) key = table.RawTrimmedText(KeyField, record);
        else key.assign(reinterpret_cast<const char*>(record) + f.Offset, static_cast<std::size_t>(f.Size));
        key.resize(static_cast<std::size_t>(keyLength_), ' ');
        return key;
    }
    data::Value v;
    table.GetFieldData(KeyField, f.FieldType, &v, record);
    double d = 0;
    if (const auto* i = std::get_if<std::int64_t>(&v)) d = static_cast<double>(*i);
    else if (const auto* x = std::get_if<double>(&v)) d = *x;
    else if (const auto* t = std::get_if<data::TDateTime>(&v)) d = t->days + kJulianOfDayZero;
    else if (const auto* b = std::get_if<bool>(&v)) d = *b ? 1 : 0;
    key.resize(8);
    std::memcpy(key.data(), &d, 8);
    return key;
}

std::string TIndex::SearchKey(const TDBaseFile& table, const std::string& utf8Text) const {
    std::string_view text = utf8Text;
    while (!text.empty() && static_cast<unsigned char>(text.front()) < 33) text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) < 33) text.remove_suffix(1);
    std::string key;
    if (charKeys_) {
        key = table.CodePage().FromUtf8(text);
        key.resize(static_cast<std::size_t>(keyLength_), ' ');
        return key;
    }
    double d = 0;
    std::string t(text);
    std::replace(t.begin(), t.end(), ',', '.');
    const auto r = std::from_chars(t.data(), t.data() + t.size(), d);
    if (r.ec != std::errc() || r.ptr != t.data() + t.size()) {
        // A date "d.M.yyyy" searches a date key.
        int parts[3] = {0, 0, 0};
        int p = 0;
        bool ok = !t.empty();
        for (const char c : t) {
            if (c == '.' && p < 2) ++p;
            else if (c >= '0' && c <= '9' && parts[p] < 100000) parts[p] = parts[p] * 10 + (c - '0');
            else ok = false;
        }
        d = ok && p == 2 && ValidYmd(parts[2], parts[1], parts[0])
                ? DateFromYmd(parts[2], parts[1], parts[0]).days + kJulianOfDayZero
                : 0;
    }
    key.resize(8);
    std::memcpy(key.data(), &d, 8);
    return key;
}

} // namespace dbase
