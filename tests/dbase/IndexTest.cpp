// The .ndx B-tree: navigation over hand-built pages, insertion with splits, deletion, search,
// and damaged files.

#include "DBaseTestSupport.h"

#include "dbase/Errors.h"
#include "dbase/Index.h"
#include "dbase/IndexFile.h"

#include <algorithm>
#include <cstring>
#include <map>

#include <gtest/gtest.h>

using namespace dbasetest;
using dbase::TIndex;
using dbase::TIndexFile;
using dbase::TOpenMode;

namespace {

std::string NumKey(double d) {
    std::string k(8, '\0');
    std::memcpy(k.data(), &d, 8);
    return k;
}
std::string CharKey(std::string s, int length) {
    s.resize(static_cast<std::size_t>(length), ' ');
    return s;
}

std::vector<std::pair<std::string, std::uint32_t>> Walk(TIndex& idx) {
    std::vector<std::pair<std::string, std::uint32_t>> out;
    for (bool ok = idx.First(); ok; ok = idx.Next()) {
        const auto& leaf = idx.Pos();
        out.emplace_back(std::string(reinterpret_cast<const char*>(leaf.Key(leaf.EntryNo)), static_cast<std::size_t>(idx.KeyLength())),
                         leaf.RecNo(leaf.EntryNo));
    }
    return out;
}

// Leaf page counts, read straight from the file by walking down from the root.
void LeafCounts(const std::string& bytes, std::uint32_t page, int stride, std::vector<int>& counts, int depth = 0) {
    ASSERT_LT(depth, 10);
    const std::size_t at = page * 512u;
    const int count = static_cast<int>(Get32(bytes, at));
    if (Get32(bytes, at + 4) == 0) {
        counts.push_back(count);
        return;
    }
    for (int i = 0; i <= count; ++i) LeafCounts(bytes, Get32(bytes, at + 4 + static_cast<std::size_t>(i * stride)), stride, counts, depth + 1);
}

TEST(Index, AscendingInsertsFillEveryPageButTheLast) {
    TempDir dir;
    WriteFile(dir / "n.ndx", EmptyNdx("NUM", false, 8, 4));
    {
        TIndexFile file(dir / "n.ndx", TOpenMode::ReadWrite);
        TIndex idx(file);
        EXPECT_EQ(idx.Depth(), 1);
        for (int i = 1; i <= 40; ++i) idx.Insert(NumKey(i), static_cast<std::uint32_t>(i));
        EXPECT_GE(idx.Depth(), 3);
    }
    // Reopened from disk: the header written after the splits leads to every key in order.
    TIndexFile file(dir / "n.ndx", TOpenMode::ReadOnly);
    TIndex idx(file);
    const auto all = Walk(idx);
    ASSERT_EQ(all.size(), 40u);
    for (int i = 0; i < 40; ++i) EXPECT_EQ(all[static_cast<std::size_t>(i)].second, static_cast<std::uint32_t>(i + 1));
    std::vector<int> counts;
    LeafCounts(ReadFile(dir / "n.ndx"), idx.RootPage(), idx.KeyRecordSize(), counts);
    ASSERT_GE(counts.size(), 2u);
    for (std::size_t i = 0; i + 1 < counts.size(); ++i) EXPECT_EQ(counts[i], 4) << i;
    EXPECT_EQ(Get32(ReadFile(dir / "n.ndx"), 4), file.PageCount());
}

TEST(Index, RandomInsertsAndDeletesKeepOrder) {
    TempDir dir;
    WriteFile(dir / "c.ndx", EmptyNdx("NAME", true, 6, 5));
    TIndexFile file(dir / "c.ndx", TOpenMode::ReadWrite);
    TIndex idx(file);
    std::mt19937 rng(7);
    std::multimap<std::string, std::uint32_t> model;
    for (std::uint32_t r = 1; r <= 400; ++r) {
        const std::string key = CharKey("k" + std::to_string(rng() % 60), 6); // many duplicates
        idx.Insert(key, r);
        model.emplace(key, r);
    }
    auto all = Walk(idx);
    ASSERT_EQ(all.size(), model.size());
    EXPECT_TRUE(std::is_sorted(all.begin(), all.end(), [](const auto& a, const auto& b) { return a.first < b.first; }));
    for (const auto& [k, r] : model) ASSERT_TRUE(idx.Find(k, r)) << k << " " << r;
    // Remove every other record.
    for (const auto& [k, r] : model) {
        if (r % 2 == 0) {
            ASSERT_TRUE(idx.Delete(k, r));
        }
    }
    all = Walk(idx);
    ASSERT_EQ(all.size(), 200u);
    for (const auto& e : all) EXPECT_EQ(e.second % 2, 1u);
    for (const auto& [k, r] : model) EXPECT_EQ(idx.Find(k, r), r % 2 == 1);
}

TEST(Index, FindReachesLeafAndTellsWhetherFound) {
    TempDir dir;
    WriteFile(dir / "c.ndx", EmptyNdx("NAME", true, 4, 3));
    TIndexFile file(dir / "c.ndx", TOpenMode::ReadWrite);
    TIndex idx(file);
    const char* keys[] = {"b", "d", "d", "d", "f", "h", "j", "l"};
    std::uint32_t r = 1;
    for (const char* k : keys) idx.Insert(CharKey(k, 4), r++);
    ASSERT_GE(idx.Depth(), 2);
    EXPECT_TRUE(idx.Find(CharKey("d", 4)));
    EXPECT_EQ(idx.GetRealRecNo(), 1); // first of the duplicates
    EXPECT_FALSE(idx.Find(CharKey("e", 4)));
    EXPECT_EQ(idx.GetRealRecNo(), 4); // stands on "f"
    EXPECT_TRUE(idx.Find(CharKey("D", 4))); // letter case ignored
    EXPECT_FALSE(idx.Find(CharKey("z", 4)));
    EXPECT_FALSE(idx.Positioned()); // past every key
    EXPECT_TRUE(idx.Find(CharKey("d", 4), 4));
    EXPECT_EQ(idx.GetRealRecNo(), 3);
}

// Root page 1 with two leaves, 2 and 3: keys 10, 20 | 30, 40.
std::string TwoLeafNdx() {
    std::string f = EmptyNdx("NUM", false, 8, 4);
    f.resize(4 * 512, '\0');
    const int stride = 16;
    auto entry = [&](std::uint32_t page, int i, std::uint32_t lower, std::uint32_t rec, double key) {
        const std::size_t at = page * 512u + 4 + static_cast<std::size_t>(i * stride);
        Put32(f, at, lower);
        Put32(f, at + 4, rec);
        const std::string k = NumKey(key);
        f.replace(at + 8, 8, k);
    };
    Put32(f, 4, 4);
    Put32(f, 512, 1);
    entry(1, 0, 2, 0, 20);
    entry(1, 1, 3, 0, 0);
    Put32(f, 2 * 512, 2);
    entry(2, 0, 0, 1, 10);
    entry(2, 1, 0, 2, 20);
    Put32(f, 3 * 512, 2);
    entry(3, 0, 0, 3, 30);
    entry(3, 1, 0, 4, 40);
    return f;
}

TEST(Index, HandBuiltTreeNavigation) {
    TempDir dir;
    WriteFile(dir / "t.ndx", TwoLeafNdx());
    TIndexFile file(dir / "t.ndx", TOpenMode::ReadWrite);
    TIndex idx(file);
    EXPECT_EQ(idx.Depth(), 2);
    EXPECT_EQ(idx.GetRecordCount(), 5); // the estimate: root count times (max keys + 1)
    std::vector<std::int64_t> order;
    for (bool ok = idx.Last(); ok; ok = idx.Prev()) order.push_back(idx.GetRealRecNo());
    EXPECT_EQ(order, (std::vector<std::int64_t>{3, 2, 1, 0}));
    // Deleting the last entry of the left leaf changes its key above.
    ASSERT_TRUE(idx.Delete(NumKey(20), 2));
    double upper = 0;
    std::memcpy(&upper, ReadFile(dir / "t.ndx").data() + 512 + 4 + 8, 8);
    EXPECT_EQ(upper, 10);
    // Emptying a leaf is safe and its neighbours stay reachable.
    ASSERT_TRUE(idx.Delete(NumKey(10), 1));
    EXPECT_EQ(Walk(idx).size(), 2u);
    EXPECT_FALSE(idx.Find(NumKey(5)));
    EXPECT_EQ(idx.GetRealRecNo(), 2); // stands on 30, past the emptied leaf
    idx.Insert(NumKey(15), 9);
    const auto all = Walk(idx);
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0].second, 9u);
}

TEST(Index, RootLeafDepthOne) {
    TempDir dir;
    std::string f = EmptyNdx("NUM", false, 8, 4);
    Put32(f, 512, 3);
    WriteFile(dir / "r.ndx", f);
    TIndexFile file(dir / "r.ndx", TOpenMode::ReadOnly);
    TIndex idx(file);
    EXPECT_EQ(idx.Depth(), 1);
    EXPECT_EQ(idx.GetRecordCount(), 3);
}

struct DamageCase {
    const char* name;
    std::size_t at;
    std::uint32_t value;
    bool word; // 16-bit
};

class DamagedIndex : public testing::TestWithParam<DamageCase> {};

TEST_P(DamagedIndex, RaisesInsteadOfReadingAstray) {
    TempDir dir;
    std::string f = TwoLeafNdx();
    if (GetParam().word) Put16(f, GetParam().at, GetParam().value);
    else Put32(f, GetParam().at, GetParam().value);
    WriteFile(dir / "d.ndx", f);
    TIndexFile file(dir / "d.ndx", TOpenMode::ReadOnly);
    EXPECT_THROW(
        {
            TIndex idx(file);
            for (bool ok = idx.First(); ok; ok = idx.Next()) {
            }
        },
        dbase::EBinaryDataSetError);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, DamagedIndex,
    testing::Values(DamageCase{"RootOutOfRange", 0, 99, false}, DamageCase{"RootZero", 0, 0, false},
                    DamageCase{"KeyLengthZero", 12, 0, true}, DamageCase{"KeyLengthHuge", 12, 300, true},
                    DamageCase{"StrideTooSmall", 18, 8, true}, DamageCase{"MaxKeysTooMany", 14, 40, true},
                    DamageCase{"CountAboveMax", 3 * 512, 9, false}, DamageCase{"PointerOutOfRange", 512 + 4 + 16, 77, false},
                    DamageCase{"RootPointsToItself", 512 + 4, 1, false}),
    [](const testing::TestParamInfo<DamageCase>& p) { return std::string(p.param.name); });

TEST(Index, PagesSharedInLoopAreCaught) {
    // Every inner entry of a deep chain points to the same next page: a small file that would
    // otherwise be walked an exponential number of times.
    TempDir dir;
    const int pages = 20;
    std::string f = EmptyNdx("NUM", false, 8, 4);
    f.resize(static_cast<std::size_t>(pages + 1) * 512, '\0');
    Put32(f, 4, static_cast<std::uint32_t>(pages + 1));
    for (int p = 1; p < pages; ++p) {
        Put32(f, static_cast<std::size_t>(p) * 512, 4);
        for (int i = 0; i <= 4; ++i) Put32(f, static_cast<std::size_t>(p) * 512 + 4 + static_cast<std::size_t>(i) * 16, static_cast<std::uint32_t>(p + 1));
    }
    Put32(f, static_cast<std::size_t>(pages) * 512, 1);
    Put32(f, static_cast<std::size_t>(pages) * 512 + 8, 1);
    WriteFile(dir / "l.ndx", f);
    TIndexFile file(dir / "l.ndx", TOpenMode::ReadOnly);
    TIndex idx(file);
    EXPECT_THROW(
        {
            for (bool ok = idx.First(); ok; ok = idx.Next()) {
            }
        },
        dbase::EBinaryDataSetError);
}

} // namespace
