// The paged file reads through a window of the file kept in memory: whatever was written,
// appended or cut since, a read must give the bytes the file holds.

#include "DBaseTestSupport.h"

#include "dbase/PagedFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

using namespace dbasetest;
using dbase::TOpenMode;
using dbase::TPagedFile;

namespace {

constexpr std::uint32_t kHeader = 100;
constexpr std::uint32_t kRecord = 143; // does not divide the window, so records straddle its edges

// The file as it should be, beside the real one.
struct Model {
    std::string bytes;
    void Write(std::int64_t at, const std::string& data) {
        const auto end = static_cast<std::size_t>(at) + data.size();
        if (bytes.size() < end) bytes.resize(end, '\0');
        bytes.replace(static_cast<std::size_t>(at), data.size(), data);
    }
    std::string Record(std::int64_t n) const {
        const auto at = static_cast<std::size_t>(kHeader + n * kRecord);
        std::string r = at < bytes.size() ? bytes.substr(at, kRecord) : std::string();
        r.resize(kRecord, '\0'); // beyond the end reads as zeros
        return r;
    }
};

std::string Filled(std::size_t n, unsigned seed) {
    std::string s(n, '\0');
    for (auto& c : s) {
        seed = seed * 1103515245u + 12345u;
        c = static_cast<char>(seed >> 16);
    }
    return s;
}

std::string ReadRecord(TPagedFile& f, std::int64_t n) {
    std::string r(kRecord, '\x55');
    f.ReadRecord(n, r.data());
    return r;
}

enum class Op { ReadAll, ReadOne, WriteOne, Append, BigRead, Truncate };

struct Script {
    const char* name;
    std::vector<std::pair<Op, int>> steps; // operation and record number
};

class PagedFileWindow : public testing::TestWithParam<Script> {};

TEST_P(PagedFileWindow, ReadsSeeEveryWrite) {
    TempDir dir;
    const std::string path = dir / "f.dat";
    TPagedFile f(path, TOpenMode::Create);
    f.HeaderSize = kHeader;
    f.RecordSize = kRecord;
    Model m;
    f.WriteAt(0, Filled(kHeader, 1).data(), kHeader);
    m.Write(0, Filled(kHeader, 1));
    std::int64_t count = 0;
    auto append = [&] {
        const std::string r = Filled(kRecord, static_cast<unsigned>(1000 + count));
        f.WriteRecord(count, r.data());
        m.Write(kHeader + count * kRecord, r);
        ++count;
    };
    for (int i = 0; i < 1000; ++i) append(); // about two windows of records
    unsigned seed = 7;
    for (const auto& [op, n] : GetParam().steps) {
        switch (op) {
        case Op::ReadAll:
            for (std::int64_t r = 0; r <= count; ++r) ASSERT_EQ(ReadRecord(f, r), m.Record(r)) << "record " << r;
            break;
        case Op::ReadOne: ASSERT_EQ(ReadRecord(f, n), m.Record(n)) << "record " << n; break;
        case Op::WriteOne: {
            const std::string r = Filled(kRecord, ++seed);
            f.WriteRecord(n, r.data());
            m.Write(kHeader + std::int64_t{n} * kRecord, r);
            ASSERT_EQ(ReadRecord(f, n), r);
            break;
        }
        case Op::Append:
            for (int k = 0; k < n; ++k) append();
            break;
        case Op::BigRead: { // larger than the window: read straight from the file
            std::string big(100000, '\0');
            const std::size_t got = f.ReadAt(kHeader, big.data(), big.size());
            ASSERT_EQ(got, std::min<std::size_t>(big.size(), m.bytes.size() - kHeader));
            ASSERT_EQ(big.substr(0, got), m.bytes.substr(kHeader, got));
            break;
        }
        case Op::Truncate:
            count = n;
            f.Truncate(kHeader + std::int64_t{n} * kRecord);
            m.bytes.resize(kHeader + static_cast<std::size_t>(n) * kRecord);
            break;
        }
    }
    EXPECT_EQ(f.CalcRecordCount(), count);
    EXPECT_EQ(f.Size(), static_cast<std::int64_t>(m.bytes.size()));
    EXPECT_EQ(ReadFile(path), m.bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, PagedFileWindow,
    testing::Values(
        Script{"WriteInsideWindowAfterRead", {{Op::ReadOne, 10}, {Op::WriteOne, 11}, {Op::ReadOne, 12}, {Op::ReadAll, 0}}},
        Script{"WriteStraddlingWindowEdge", {{Op::ReadOne, 0}, {Op::WriteOne, 458}, {Op::WriteOne, 457}, {Op::ReadAll, 0}}},
        Script{"WriteBeforeWindow", {{Op::ReadOne, 600}, {Op::WriteOne, 599}, {Op::ReadOne, 599}, {Op::ReadAll, 0}}},
        Script{"AppendAfterReadingTheEnd", {{Op::ReadOne, 999}, {Op::ReadOne, 1000}, {Op::Append, 3}, {Op::ReadOne, 1001}, {Op::ReadAll, 0}}},
        Script{"AppendManyAfterReadingTheEnd", {{Op::ReadOne, 998}, {Op::Append, 900}, {Op::ReadAll, 0}}},
        Script{"RewriteEveryRecordWhileWalking", {{Op::ReadOne, 0}, {Op::WriteOne, 0}, {Op::ReadOne, 1}, {Op::WriteOne, 1},
                                                  {Op::ReadOne, 999}, {Op::WriteOne, 999}, {Op::ReadAll, 0}}},
        Script{"BigReadAfterWrites", {{Op::ReadOne, 5}, {Op::WriteOne, 5}, {Op::Append, 2}, {Op::BigRead, 0}, {Op::ReadAll, 0}}},
        Script{"TruncateThenAppend", {{Op::ReadAll, 0}, {Op::Truncate, 300}, {Op::ReadOne, 300}, {Op::ReadOne, 299},
                                      {Op::Append, 5}, {Op::ReadAll, 0}}}),
    [](const testing::TestParamInfo<Script>& p) { return std::string(p.param.name); });

// Read-only: records past the end read as zeros, writing is refused.
TEST(PagedFileWindow, ReadOnlyFileReadsZerosPastItsEnd) {
    TempDir dir;
    const std::string path = dir / "s.dat";
    WriteFile(path, std::string(kHeader, 'h') + std::string(kRecord, 'r'));
    TPagedFile f(path, TOpenMode::ReadOnly);
    f.HeaderSize = kHeader;
    f.RecordSize = kRecord;
    EXPECT_EQ(f.CalcRecordCount(), 1);
    EXPECT_EQ(ReadRecord(f, 0), std::string(kRecord, 'r'));
    EXPECT_EQ(ReadRecord(f, 1), std::string(kRecord, '\0'));
    EXPECT_THROW(f.WriteRecord(1, std::string(kRecord, 'x').data()), std::exception);
}

} // namespace
