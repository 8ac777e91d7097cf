// The memo file: block arithmetic of both layouts, end marks, and damaged memo files.

#include "DBaseTestSupport.h"

#include "dbase/DbtFile.h"

#include <gtest/gtest.h>

using namespace dbasetest;
using dbase::TDbtFile;
using dbase::TOpenMode;
using dbase::xBaseVersion;

namespace {

std::string Header(std::uint32_t nextFree, unsigned blockSize) {
    std::string h(512, '\0');
    Put32(h, 0, nextFree);
    Put16(h, 20, blockSize);
    return h;
}

TEST(DbtFile, DialectFourMemoSpansBlocks) {
    TempDir dir;
    TDbtFile dbt(dir / "m.dbt", xBaseVersion::xBaseIV, TOpenMode::Create);
    dbt.WriteNewHeader();
    const std::string a(1000, 'a'), b = "second";
    const std::uint32_t first = dbt.WriteMemo(0, 0, a);
    EXPECT_EQ(first, 1u);
    EXPECT_EQ(dbt.NextFreeBlock(), 3u); // 1008 bytes need two blocks
    EXPECT_EQ(dbt.WriteMemo(0, 0, b), 3u);
    EXPECT_EQ(dbt.ReadMemo(first), a);
    EXPECT_EQ(dbt.ReadMemo(3), b);
    EXPECT_EQ(Get32(ReadFile(dir / "m.dbt"), 0), 4u);
}

TEST(DbtFile, DialectThreeEndMarkAcrossChunks) {
    TempDir dir;
    for (const std::size_t length : {std::size_t{4095}, std::size_t{4094}, std::size_t{10000}}) {
        std::string text(length, 'x');
        text[length / 2] = '\x1A'; // a lone 0x1A is text
        WriteFile(dir / "m.dbt", Header(100, 0) + text + "\x1A\x1A" + std::string(600, 'y'));
        TDbtFile dbt(dir / "m.dbt", xBaseVersion::xBaseIII, TOpenMode::ReadOnly);
        EXPECT_EQ(dbt.ReadMemo(1), text) << length;
    }
}

TEST(DbtFile, RewriteKeepsBlockOrMovesToEnd) {
    TempDir dir;
    TDbtFile dbt(dir / "m.dbt", xBaseVersion::xBaseIII, TOpenMode::Create);
    dbt.WriteNewHeader();
    const std::uint32_t a = dbt.WriteMemo(0, 0, "first memo");
    const std::uint32_t b = dbt.WriteMemo(0, 0, "other");
    EXPECT_EQ(dbt.WriteMemo(a, 10, "short"), a);
    EXPECT_EQ(dbt.ReadMemo(a), "short");
    const std::uint32_t moved = dbt.WriteMemo(a, 5, std::string(600, 'z'));
    EXPECT_GT(moved, b);
    EXPECT_EQ(dbt.ReadMemo(b), "other");
    EXPECT_EQ(dbt.WriteMemo(moved, 600, ""), 0u);
    EXPECT_EQ(dbt.ReadMemo(0), "");
}

TEST(DbtFile, BlockSizeFromHeader) {
    TempDir dir;
    WriteFile(dir / "a.dbt", Header(1, 100));
    EXPECT_EQ(TDbtFile(dir / "a.dbt", xBaseVersion::xBaseIV, TOpenMode::ReadOnly).BlockSize(), 512u);
    WriteFile(dir / "b.dbt", Header(1, 1024));
    EXPECT_EQ(TDbtFile(dir / "b.dbt", xBaseVersion::xBaseIV, TOpenMode::ReadOnly).BlockSize(), 1024u);
}

TEST(DbtFile, StaleNextFreeBlockNeverOverwrites) {
    TempDir dir;
    std::string file = Header(1, 512); // says block 1 is free, but it holds a memo
    std::string memo(512, '\0');
    memo.replace(0, 8, std::string("\xFF\xFF\x08\x00\x0D\x00\x00\x00", 8));
    memo.replace(8, 5, "kept!");
    WriteFile(dir / "m.dbt", file + memo);
    TDbtFile dbt(dir / "m.dbt", xBaseVersion::xBaseIV, TOpenMode::ReadWrite);
    EXPECT_EQ(dbt.WriteMemo(0, 0, "new"), 2u);
    EXPECT_EQ(dbt.ReadMemo(1), "kept!");
    EXPECT_EQ(dbt.ReadMemo(2), "new");
}

TEST(DbtFile, DamagedMemosReadEmpty) {
    TempDir dir;
    std::string body(512, '\0');
    body.replace(0, 8, std::string("\xFF\xFF\x08\x00\xFF\xFF\xFF\x7F", 8)); // length far past the end
    std::string body2(512, '\0');
    body2.replace(0, 8, std::string("\xFF\xFF\x08\x00\x03\x00\x00\x00", 8)); // length below the block header
    WriteFile(dir / "m.dbt", Header(3, 512) + body + body2);
    TDbtFile dbt(dir / "m.dbt", xBaseVersion::xBaseIV, TOpenMode::ReadOnly);
    EXPECT_EQ(dbt.ReadMemo(1), "");
    EXPECT_EQ(dbt.ReadMemo(2), "");
    EXPECT_EQ(dbt.ReadMemo(0xFFFFFFFF), ""); // block past the end of the file
    EXPECT_EQ(dbt.ReadMemo(0), "");
}

TEST(DbtFile, DialectThreeMemoWithoutEndMarkStopsAtFileEnd) {
    TempDir dir;
    WriteFile(dir / "m.dbt", Header(2, 0) + "open text\x1A");
    TDbtFile dbt(dir / "m.dbt", xBaseVersion::xBaseIII, TOpenMode::ReadOnly);
    EXPECT_EQ(dbt.ReadMemo(1), "open text\x1A");
}

} // namespace
