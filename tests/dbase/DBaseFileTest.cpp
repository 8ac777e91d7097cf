// The table file: header checks, field layouts of the dialects, conversions of stored texts.

#include "DBaseTestSupport.h"

#include "dbase/DBaseFile.h"
#include "dbase/Errors.h"

#include <gtest/gtest.h>

using namespace dbasetest;
using dbase::TDBaseFile;
using dbase::TOpenMode;
using data::TFieldType;
using data::Value;

namespace {

Value ReadOne(const TempDir& dir, const FieldSpec& f, const std::string& stored, std::uint8_t ldid = 0) {
    DbfBuilder b;
    b.languageDriver = ldid;
    b.fields = {f};
    b.records = {{false, {stored}}};
    WriteFile(dir / "one.dbf", b.Build());
    TDBaseFile file(dir / "one.dbf", TOpenMode::ReadOnly);
    file.CreateFieldDefs();
    std::vector<std::uint8_t> rec(file.RecordSize);
    file.ReadRecord(0, rec.data());
    Value v;
    file.GetFieldData(0, file.FieldInfos[0].FieldType, &v, rec.data());
    return v;
}

data::TDateTime Date(int y, int m, int d) { return dbase::DateFromYmd(y, m, d); }

struct ReadCase {
    const char* name;
    FieldSpec field;
    std::string stored;
    Value expected;
};

class ReadConversion : public testing::TestWithParam<ReadCase> {};

TEST_P(ReadConversion, StoredTextGivesValue) {
    TempDir dir;
    EXPECT_EQ(ReadOne(dir, GetParam().field, GetParam().stored), GetParam().expected);
}

const Value kNone = std::monostate{};

INSTANTIATE_TEST_SUITE_P(
    Fields, ReadConversion,
    testing::Values(
        ReadCase{"LogicalT", {"L", 'L', 1}, "T", true}, ReadCase{"LogicalLowerT", {"L", 'L', 1}, "t", true},
        ReadCase{"LogicalY", {"L", 'L', 1}, "Y", true}, ReadCase{"LogicalN", {"L", 'L', 1}, "n", false},
        ReadCase{"LogicalUnknown", {"L", 'L', 1}, "?", kNone}, ReadCase{"LogicalBlank", {"L", 'L', 1}, " ", kNone},
        ReadCase{"IntLeadingBlanks", {"N", 'N', 4}, "  12", std::int64_t{12}},
        ReadCase{"IntTrailingBlanks", {"N", 'N', 4}, "12  ", std::int64_t{12}},
        ReadCase{"IntNegative", {"N", 'N', 6}, "   -45", std::int64_t{-45}},
        ReadCase{"IntBlank", {"N", 'N', 6}, "      ", kNone}, ReadCase{"IntStars", {"N", 'N', 6}, "******", kNone},
        ReadCase{"IntLetters", {"N", 'N', 6}, "  12ab", kNone},
        ReadCase{"Int64", {"N", 'N', 15}, "   12345678901", std::int64_t{12345678901}},
        ReadCase{"Int64Max", {"N", 'N', 20}, " 9223372036854775807", std::int64_t{9223372036854775807}},
        ReadCase{"Int64Overflow", {"N", 'N', 20}, " 9223372036854775808", kNone},
        ReadCase{"Float", {"N", 'N', 10, 2}, "      1.50", 1.5}, ReadCase{"FloatF", {"F", 'F', 10, 2}, "  -3.25   ", -3.25},
        ReadCase{"FloatComma", {"N", 'N', 10, 2}, "      1,50", kNone},
        ReadCase{"FloatInfText", {"N", 'N', 10, 2}, "       inf", kNone},
        ReadCase{"Date", {"D", 'D', 8}, "20050307", Date(2005, 3, 7)},
        ReadCase{"DateBlanksForZeros", {"D", 'D', 8}, "2005 3 7", Date(2005, 3, 7)},
        ReadCase{"DateBlank", {"D", 'D', 8}, "        ", kNone}, ReadCase{"DateZeros", {"D", 'D', 8}, "00000000", kNone},
        ReadCase{"Date1899", {"D", 'D', 8}, "18991231", Date(1899, 12, 31)},
        ReadCase{"DateImpossible", {"D", 'D', 8}, "20050231", kNone},
        ReadCase{"DateNoDay", {"D", 'D', 8}, "20050300", Date(2005, 3, 1)},
        ReadCase{"DateGarbage", {"D", 'D', 8}, "abcdefgh", kNone},
        ReadCase{"StringTrimmed", {"C", 'C', 10}, "  abc  ", std::string("abc")},
        ReadCase{"StringControlChars", {"C", 'C', 6}, std::string("\0ab\0\0\0", 6), std::string("ab")},
        ReadCase{"UnknownLetterIsString", {"X", 'X', 4}, "ab", std::string("ab")},
        ReadCase{"Oem852", {"C", 'C', 10}, "\xA6\x6C\x75\x9C", std::string("Žluť")}),
    [](const testing::TestParamInfo<ReadCase>& p) { return std::string(p.param.name); });

TEST(DBaseFileText, WindowsDriverByteMeansCp1250) {
    TempDir dir;
    EXPECT_EQ(ReadOne(dir, {"C", 'C', 10}, "\x8E\x6C\x75\x9D", 0xC8), Value(std::string("Žluť")));
    EXPECT_EQ(ReadOne(dir, {"C", 'C', 10}, "\xA6\x6C\x75\x9C", 0x64), Value(std::string("Žluť")));
}

TEST(DBaseFileMapping, NumericWidthsChooseIntegerSize) {
    EXPECT_EQ(dbase::FieldTypeOf('N', 4, 0), TFieldType::ftSmallint);
    EXPECT_EQ(dbase::FieldTypeOf('N', 5, 0), TFieldType::ftInteger);
    EXPECT_EQ(dbase::FieldTypeOf('N', 9, 0), TFieldType::ftInteger);
    EXPECT_EQ(dbase::FieldTypeOf('N', 10, 0), TFieldType::ftLargeint);
    EXPECT_EQ(dbase::FieldTypeOf('N', 10, 2), TFieldType::ftFloat);
    EXPECT_EQ(dbase::FieldTypeOf('M', 10, 0), TFieldType::ftMemo);
}

struct WriteCase {
    const char* name;
    FieldSpec field;
    Value value;
    std::string stored;
};

class WriteConversion : public testing::TestWithParam<WriteCase> {};

TEST_P(WriteConversion, ValueGivesStoredText) {
    TempDir dir;
    DbfBuilder b;
    b.fields = {GetParam().field};
    b.records = {{false, {"x"}}};
    WriteFile(dir / "w.dbf", b.Build());
    TDBaseFile file(dir / "w.dbf", TOpenMode::ReadOnly);
    file.CreateFieldDefs();
    std::vector<std::uint8_t> rec(file.RecordSize, 'x');
    file.SetFieldData(0, file.FieldInfos[0].FieldType, rec.data(), GetParam().value);
    EXPECT_EQ(std::string(rec.begin() + 1, rec.end()), GetParam().stored);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, WriteConversion,
    testing::Values(WriteCase{"LogicalTrue", {"L", 'L', 1}, true, "T"}, WriteCase{"LogicalFalse", {"L", 'L', 1}, false, "F"},
                    WriteCase{"LogicalNonZero", {"L", 'L', 1}, std::int64_t{2}, "T"},
                    WriteCase{"LogicalCleared", {"L", 'L', 1}, std::monostate{}, " "},
                    WriteCase{"IntRightAligned", {"N", 'N', 6}, std::int64_t{-42}, "   -42"},
                    WriteCase{"Int64Kept", {"N", 'N', 12}, std::int64_t{12345678901}, " 12345678901"},
                    WriteCase{"SmallIntNotTruncated", {"N", 'N', 6}, std::int64_t{70000}, " 70000"},
                    WriteCase{"IntCleared", {"N", 'N', 4}, std::monostate{}, "    "},
                    WriteCase{"Float", {"N", 'N', 8, 2}, 3.14159, "    3.14"},
                    WriteCase{"FloatNegativeZero", {"N", 'N', 6, 1}, -0.0, "   0.0"},
                    WriteCase{"Date", {"D", 'D', 8}, Date(2005, 3, 7), "20050307"},
                    WriteCase{"DateCleared", {"D", 'D', 8}, std::monostate{}, "        "},
                    WriteCase{"StringOem", {"C", 'C', 6}, std::string("Žluť"), "\xA6\x6C\x75\x9C  "},
                    WriteCase{"StringUnmappable", {"C", 'C', 3}, std::string("€"), "?  "}),
    [](const testing::TestParamInfo<WriteCase>& p) { return std::string(p.param.name); });

TEST(DBaseFileWrite, TooLongRaisesAndLeavesRecord) {
    TempDir dir;
    DbfBuilder b;
    b.fields = {{"N", 'N', 5}, {"C", 'C', 3}};
    b.records = {{false, {"1", "a"}}};
    WriteFile(dir / "w.dbf", b.Build());
    TDBaseFile file(dir / "w.dbf", TOpenMode::ReadOnly);
    file.CreateFieldDefs();
    std::vector<std::uint8_t> rec(file.RecordSize, 'x');
    try {
        file.SetFieldData(0, TFieldType::ftInteger, rec.data(), std::int64_t{123456});
        FAIL() << "no exception";
    } catch (const dbase::EFieldToLongError& e) {
        EXPECT_STREQ(e.what(), "Field too long :6 (must be between 1 and 5).");
    }
    EXPECT_THROW(file.SetFieldData(1, TFieldType::ftString, rec.data(), std::string("abcd")), dbase::EFieldToLongError);
    EXPECT_EQ(std::string(rec.begin(), rec.end()), std::string(file.RecordSize, 'x'));
}

TEST(DBaseFileOpen, RecordCountFromFileSizeWithNotice) {
    TempDir dir;
    DbfBuilder b;
    b.fields = {{"A", 'C', 4}};
    for (int i = 0; i < 12; ++i) b.records.push_back({false, {std::to_string(i)}});
    b.recordCountOverride = 10;
    std::string bytes = b.Build();
    bytes.insert(bytes.size() - 1, "xy"); // a trailing partial record
    WriteFile(dir / "c.dbf", bytes);
    std::vector<std::string> notices;
    TDBaseFile file(dir / "c.dbf", TOpenMode::ReadWrite, [&](const std::string& n) { notices.push_back(n); });
    EXPECT_EQ(file.RecordCount(), 12);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0], "Invalid Record Count,\rRecordCount in Hdr : 10\rexpected : 12");
    file.CreateFieldDefs();
    file.WriteHeader(); // unchanged table: nothing is written
    EXPECT_EQ(ReadFile(dir / "c.dbf"), bytes);
}

TEST(DBaseFileOpen, FileShorterThanItsHeaderHasNoRecords) {
    TempDir dir;
    DbfBuilder b;
    b.fields = {{"A", 'C', 4}};
    b.recordCountOverride = 5;
    std::string bytes = b.Build();
    Put16(bytes, 8, 4000);
    WriteFile(dir / "s.dbf", bytes);
    TDBaseFile file(dir / "s.dbf", TOpenMode::ReadOnly);
    EXPECT_EQ(file.RecordCount(), 0);
}

TEST(DBaseFileOpen, CutHeaderIsRefused) {
    TempDir dir;
    WriteFile(dir / "h.dbf", std::string(20, '\x03'));
    EXPECT_THROW(TDBaseFile(dir / "h.dbf", TOpenMode::ReadOnly), dbase::EBinaryDataSetError);
}

TEST(DBaseFileFields, FieldCountErrors) {
    TempDir dir;
    DbfBuilder b;
    b.fields = {{"A", 'C', 4}};
    b.headerSizeOverride = 32;
    WriteFile(dir / "f.dbf", b.Build());
    TDBaseFile file(dir / "f.dbf", TOpenMode::ReadOnly);
    try {
        file.CreateFieldDefs();
        FAIL();
    } catch (const dbase::EBinaryDataSetError& e) {
        EXPECT_STREQ(e.what(), "Invalid Field count : 0 (must be between 1 and 255)");
    }
}

TEST(DBaseFileFields, ListStopsAtTerminator) {
    TempDir dir;
    DbfBuilder b;
    b.fields = {{"A", 'C', 4}, {"B", 'N', 3}};
    b.headerSizeOverride = 32 + 2 * 32 + 1 + 263; // room after the terminator, as some writers leave
    b.records = {{false, {"ab", "7"}}};
    WriteFile(dir / "t.dbf", b.Build());
    TDBaseFile file(dir / "t.dbf", TOpenMode::ReadOnly);
    file.CreateFieldDefs();
    ASSERT_EQ(file.FieldInfos.size(), 2u);
    EXPECT_EQ(file.FieldInfos[1].Name, "B");
    EXPECT_EQ(file.FieldInfos[1].Offset, 5);
}

TEST(DBaseFileFields, FieldsWiderThanStoredRecordAreRefused) {
    TempDir dir;
    DbfBuilder b;
    b.fields = {{"A", 'C', 4}, {"B", 'C', 4}};
    b.recordSizeOverride = 6;
    WriteFile(dir / "r.dbf", b.Build());
    TDBaseFile file(dir / "r.dbf", TOpenMode::ReadWrite);
    try {
        file.CreateFieldDefs();
        FAIL();
    } catch (const dbase::EBinaryDataSetError& e) {
        EXPECT_STREQ(e.what(), "Invalid Record Size,\rRecord Size in Hdr : 6\rExpected : 9");
    }
}

TEST(DBaseFileFields, PaddedRecordKeepsStoredSize) {
    TempDir dir;
    DbfBuilder b;
    b.fields = {{"A", 'C', 4}};
    b.recordSizeOverride = 8;
    WriteFile(dir / "p.dbf", b.Build());
    std::vector<std::string> notices;
    TDBaseFile file(dir / "p.dbf", TOpenMode::ReadOnly, [&](const std::string& n) { notices.push_back(n); });
    file.CreateFieldDefs();
    EXPECT_EQ(file.RecordSize, 8u);
    EXPECT_EQ(notices.size(), 1u);
}

TEST(DBaseFileFields, DialectFiveLayout) {
    TempDir dir;
    DbfBuilder b;
    b.version = 0x05;
    b.fields = {{"LONGNAMEOFFIELD", 'C', 5}, {"N", 'N', 3}};
    b.records = {{false, {"hello", " 42"}}};
    std::string bytes = b.Build();
    bytes[40] = '\x77'; // a reserved byte inside the dialect's longer header
    bytes[20] = '\x55'; // and one inside the common 32 bytes
    WriteFile(dir / "v.dbf", bytes);
    {
        TDBaseFile file(dir / "v.dbf", TOpenMode::ReadWrite);
        EXPECT_EQ(file.Version, dbase::xBaseVersion::xBaseV);
        file.CreateFieldDefs();
        ASSERT_EQ(file.FieldInfos.size(), 2u);
        EXPECT_EQ(file.FieldInfos[0].Name, "LONGNAMEOFFIELD");
        EXPECT_EQ(file.FieldInfos[1].FieldType, TFieldType::ftSmallint);
        std::vector<std::uint8_t> rec(file.RecordSize);
        file.ReadRecord(0, rec.data());
        file.AppendRecord(rec.data());
        file.WriteHeader();
    }
    const std::string after = ReadFile(dir / "v.dbf");
    EXPECT_EQ(after[40], '\x77');
    EXPECT_EQ(after[20], '\x55');
    EXPECT_EQ(Get32(after, 4), 2u);
}

TEST(DBaseFileCreate, LayoutOfNewTable) {
    TempDir dir;
    {
        TDBaseFile file(dir / "n.dbf", TOpenMode::Create);
        std::vector<data::TFieldDef> defs(3);
        defs[0].Name = "NAME"; defs[0].DataType = TFieldType::ftString; defs[0].Size = 20;
        defs[1].Name = "COUNT"; defs[1].DataType = TFieldType::ftInteger;
        defs[2].Name = "BORN"; defs[2].DataType = TFieldType::ftDate;
        file.CreateTable(defs);
    }
    const std::string bytes = ReadFile(dir / "n.dbf");
    ASSERT_EQ(bytes.size(), 130u);
    EXPECT_EQ(bytes[0], '\x03');
    EXPECT_EQ(static_cast<unsigned char>(bytes[8]) | (static_cast<unsigned char>(bytes[9]) << 8), 129);
    EXPECT_EQ(bytes[10], 40);
    EXPECT_EQ(bytes[128], '\x0D');
    EXPECT_EQ(bytes[129], '\x1A');
    EXPECT_EQ(static_cast<unsigned char>(bytes[29]), 0x64); // the OEM code page the text is written in
}

TEST(DBaseFileCreate, UnsupportedTypeIsRefused) {
    TempDir dir;
    TDBaseFile file(dir / "u.dbf", TOpenMode::Create);
    std::vector<data::TFieldDef> defs(1);
    defs[0].Name = "X";
    defs[0].DataType = TFieldType::ftCurrency;
    try {
        file.CreateTable(defs);
        FAIL();
    } catch (const dbase::EBinaryDataSetError& e) {
        EXPECT_STREQ(e.what(), "InitFieldsDefs: Unsupported field type");
    }
}

} // namespace

// Field texts converted to UTF-8 in place agree with the byte-by-byte conversion whatever the mix
// and position of plain and accented bytes (runs of plain bytes are copied at once).
TEST(DBaseFileText, InPlaceConversionMatchesByteByByte) {
    for (const dbase::TCodePage page : {dbase::TCodePage::Oem852, dbase::TCodePage::Ansi1250}) {
        const auto& table = dbase::TCodePageTable::Get(page);
        std::string out = "previous text that is longer than some of the results";
        for (std::size_t length = 0; length <= 40; ++length)
            for (std::size_t shift = 0; shift < 9; ++shift) {
                std::string bytes;
                for (std::size_t i = 0; i < length; ++i)
                    bytes += static_cast<char>((i + shift) % 9 == 0 || (i + shift) % 13 == 5 ? 0x80 + (i * 37 + shift) % 128
                                                                                        : 'a' + (i + shift) % 26);
                std::string expected;
                table.AppendUtf8(bytes.data(), bytes.size(), expected);
                table.AssignUtf8(bytes.data(), bytes.size(), out);
                EXPECT_EQ(out, expected) << "length " << length << ", shift " << shift;
                // With the accented bytes marked, read in place or copied aside first.
                std::uint64_t high = 0;
                for (std::size_t i = 0; i < length; ++i)
                    if (static_cast<unsigned char>(bytes[i]) > 127) high |= 1ull << i;
                for (const std::size_t readable : {length, length + 16}) {
                    std::string padded = bytes + std::string(readable - length, 'z');
                    out = "previous";
                    table.AssignUtf8(padded.data(), length, high, readable, out);
                    EXPECT_EQ(out, expected) << "length " << length << ", shift " << shift << ", marked";
                }
                // The whole range of byte values, each at every position of an eight-byte run.
                std::string all;
                for (int b = 0; b < 256; ++b) all += std::string(shift, 'x') + static_cast<char>(b) + std::string(7, 'y');
                expected.clear();
                table.AppendUtf8(all.data(), all.size(), expected);
                table.AssignUtf8(all.data(), std::min<std::size_t>(all.size(), 256), out);
                std::string prefix;
                table.AppendUtf8(all.data(), std::min<std::size_t>(all.size(), 256), prefix);
                EXPECT_EQ(out, prefix);
                table.AssignUtf8(all.data(), all.size(), out);
                EXPECT_EQ(out, expected);
            }
    }
}
