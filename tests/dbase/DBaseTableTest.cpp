// The dataset over a dBase table: navigation over deleted records, writing, memos through
// fields, indexes kept up to date, and the header left alone when nothing changed.

#include "DBaseTestSupport.h"

#include "dbase/DBaseTable.h"
#include "dbase/Errors.h"
#include "platform/data/ValueText.h"
#include "platform/sys/ProgramFolder.h"

#include <gtest/gtest.h>

#include <random>

using namespace dbasetest;
using dbase::TDBaseTable;
using data::TFieldType;

namespace {

std::vector<std::string> Column(TDBaseTable& t, const std::string& field) {
    std::vector<std::string> out;
    for (t.First(); !t.Eof(); t.Next()) out.push_back(t.FieldByName(field).AsString());
    return out;
}

std::string ThreeRecords(const TempDir& dir, bool secondDeleted = true) {
    DbfBuilder b;
    b.fields = {{"NAME", 'C', 8}, {"AGE", 'N', 3}};
    b.records = {{false, {"one", "  1"}}, {secondDeleted, {"two", "  2"}}, {false, {"three", "  3"}}};
    WriteFile(dir / "t.dbf", b.Build());
    return dir / "t.dbf";
}

TEST(DBaseTable, DeletedRecordsHiddenUnlessShown) {
    TempDir dir;
    TDBaseTable t;
    t.FileName = ThreeRecords(dir);
    t.Open();
    EXPECT_EQ(Column(t, "NAME"), (std::vector<std::string>{"one", "three"}));
    EXPECT_EQ(t.RecordCount(), 3);
    t.SetShowDeleted(true);
    EXPECT_EQ(Column(t, "NAME"), (std::vector<std::string>{"one", "two", "three"}));
    EXPECT_EQ(t.RecordCount(), 3);
    t.Last();
    t.Prior();
    EXPECT_EQ(t.FieldByName("AGE").AsInteger(), 2);
}

TEST(DBaseTable, OpenAndCloseLeaveFileUntouched) {
    TempDir dir;
    const std::string name = ThreeRecords(dir);
    const std::string before = ReadFile(name);
    {
        TDBaseTable t;
        t.FileName = name;
        t.Open();
        Column(t, "NAME");
        t.Close();
    }
    EXPECT_EQ(ReadFile(name), before);
}

TEST(DBaseTable, EmptyTableIsAtEof) {
    TempDir dir;
    DbfBuilder b;
    b.fields = {{"A", 'C', 3}};
    WriteFile(dir / "e.dbf", b.Build());
    TDBaseTable t;
    t.FileName = dir / "e.dbf";
    t.Open();
    EXPECT_TRUE(t.Eof());
    EXPECT_EQ(t.FieldByName("A").AsString(), "");
}

TEST(DBaseTable, MissingFileMessage) {
    TDBaseTable t;
    t.FileName = "/nonexistent/none.dbf";
    try {
        t.Open();
        FAIL();
    } catch (const dbase::EBinaryDataSetError& e) {
        EXPECT_STREQ(e.what(), "Open: Table file not found : /nonexistent/none.dbf");
    }
    EXPECT_FALSE(t.Active());
}

TEST(DBaseTable, BareNameFoundInProgramFolder) {
    const std::string name = "lendar-dbase-progdir-test.dbf";
    const std::string full = sys::ProgramFolder() + "/" + name;
    DbfBuilder b;
    b.fields = {{"A", 'C', 3}};
    b.records = {{false, {"x"}}};
    WriteFile(full, b.Build());
    // Work in a folder that does not hold the file.
    TempDir elsewhere;
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(elsewhere.Path());
    TDBaseTable t;
    t.FileName = name;
    t.ReadOnly = true;
    t.Open();
    EXPECT_EQ(t.FileName, full);
    EXPECT_EQ(t.FieldByName("A").AsString(), "x");
    t.Close();
    std::filesystem::current_path(previous);
    std::filesystem::remove(full);
}

TEST(DBaseTable, DeleteMarksFlagAndKeepsSize) {
    TempDir dir;
    const std::string name = ThreeRecords(dir, false);
    const auto size = std::filesystem::file_size(name);
    TDBaseTable t;
    t.FileName = name;
    t.Open();
    t.Next();
    t.Delete();
    EXPECT_EQ(t.FieldByName("NAME").AsString(), "three");
    t.Close();
    const std::string bytes = ReadFile(name);
    EXPECT_EQ(std::filesystem::file_size(name), size);
    EXPECT_EQ(bytes[static_cast<std::size_t>(32 + 64 + 1 + 12)], '*');
}

TEST(DBaseTable, CreateAppendAndReadBack) {
    TempDir dir;
    {
        TDBaseTable t;
        t.FileName = dir / "new.dbf";
        t.FieldDefs().Add("NAME", TFieldType::ftString, 10);
        t.FieldDefs().Add("COUNT", TFieldType::ftInteger);
        t.FieldDefs().Add("OK", TFieldType::ftBoolean);
        t.FieldDefs().Add("BORN", TFieldType::ftDate);
        t.FieldDefs().Add("PRICE", TFieldType::ftFloat);
        t.CreateTable();
        EXPECT_FALSE(std::filesystem::exists(dir / "new.dbt"));
        t.FieldDefs().Clear();
        t.Open();
        for (int i = 1; i <= 3; ++i) {
            t.Append();
            t.FieldByName("NAME").SetAsString("Kůň " + std::to_string(i));
            if (i != 2) t.FieldByName("COUNT").SetAsInteger(i * 100);
            t.FieldByName("OK").SetAsBoolean(i == 1);
            t.FieldByName("BORN").SetAsString("7.3.2005");
            t.FieldByName("PRICE").SetAsFloat(i + 0.25);
            t.Post();
        }
        t.Close();
    }
    const std::string bytes = ReadFile(dir / "new.dbf");
    EXPECT_EQ(Get32(bytes, 4), 3u);
    const std::size_t end = 32 + 5 * 32 + 1 + 3 * static_cast<std::size_t>(1 + 10 + 11 + 1 + 8 + 20);
    ASSERT_EQ(bytes.size(), end + 1);
    EXPECT_EQ(bytes[end], '\x1A');
    TDBaseTable t;
    t.FileName = dir / "new.dbf";
    t.Open();
    EXPECT_EQ(Column(t, "NAME"), (std::vector<std::string>{"Kůň 1", "Kůň 2", "Kůň 3"}));
    EXPECT_EQ(Column(t, "COUNT"), (std::vector<std::string>{"100", "", "300"})); // unset field stays blank
    EXPECT_EQ(Column(t, "OK"), (std::vector<std::string>{"True", "False", "False"}));
    EXPECT_EQ(Column(t, "BORN"), (std::vector<std::string>{"7.3.2005", "7.3.2005", "7.3.2005"}));
    t.First();
    EXPECT_DOUBLE_EQ(t.FieldByName("PRICE").AsFloat(), 1.25);
}

TEST(DBaseTable, MemoFieldsThroughFields) {
    TempDir dir;
    {
        TDBaseTable t;
        t.FileName = dir / "m.dbf";
        t.FieldDefs().Add("NAME", TFieldType::ftString, 10);
        t.FieldDefs().Add("NOTE", TFieldType::ftMemo);
        t.CreateTable();
    }
    const std::string header = ReadFile(dir / "m.dbf");
    EXPECT_EQ(static_cast<unsigned char>(header[0]), 0x83);
    ASSERT_EQ(ReadFile(dir / "m.dbt").size(), 512u);
    EXPECT_EQ(Get32(ReadFile(dir / "m.dbt"), 0), 1u);
    const std::string longText(3000, 'x');
    {
        TDBaseTable t;
        t.FileName = dir / "m.dbf";
        t.Open();
        t.Append();
        t.FieldByName("NAME").SetAsString("a");
        t.FieldByName("NOTE").SetAsString("Poznámka k řádku");
        t.Post();
        t.Append();
        t.FieldByName("NAME").SetAsString("b");
        {
            auto stream = t.CreateBlobStream(t.FieldByName("NOTE"), data::TBlobStreamMode::bmWrite);
            stream->Write(longText.data(), longText.size());
        }
        t.Post();
        t.Append();
        t.FieldByName("NAME").SetAsString("c");
        t.Post();
        t.Close();
    }
    TDBaseTable t;
    t.FileName = dir / "m.dbf";
    t.Open();
    EXPECT_EQ(Column(t, "NOTE"), (std::vector<std::string>{"Poznámka k řádku", longText, ""}));
    t.Close();
    std::filesystem::remove(dir / "m.dbt");
    t.Open(); // without its memo file the table still opens; memos read empty
    EXPECT_EQ(Column(t, "NOTE"), (std::vector<std::string>{"", "", ""}));
}

TEST(DBaseTable, BookmarkOutOfRange) {
    TempDir dir;
    TDBaseTable t;
    t.FileName = ThreeRecords(dir);
    t.Open();
    data::TBookmark bm(12, 0);
    bm[0] = 3;
    try {
        t.GotoBookmark(bm);
        FAIL();
    } catch (const dbase::EBinaryDataSetError& e) {
        EXPECT_STREQ(e.what(), "Bookmark 3 not found");
    }
    t.Last();
    const auto last = t.GetBookmark();
    t.First();
    t.GotoBookmark(last);
    EXPECT_EQ(t.FieldByName("NAME").AsString(), "three");
}

TEST(DBaseTable, FilterEventAndRawFilter) {
    TempDir dir;
    TDBaseTable t;
    t.FileName = ThreeRecords(dir, false);
    t.OnFilterRecord = [](data::TDataSet& ds, bool& accept) { accept = ds.FieldByName("AGE").AsInteger() != 2; };
    t.SetFiltered(true);
    t.Open();
    EXPECT_EQ(Column(t, "NAME"), (std::vector<std::string>{"one", "three"}));
    t.SetFiltered(false);
    t.RawFilter = "thr";
    EXPECT_EQ(Column(t, "NAME"), (std::vector<std::string>{"three"}));
}

TEST(DBaseTable, NoticesGoToCallback) {
    TempDir dir;
    DbfBuilder b;
    b.fields = {{"A", 'C', 3}};
    b.records = {{false, {"x"}}, {false, {"y"}}};
    b.recordCountOverride = 7;
    WriteFile(dir / "n.dbf", b.Build());
    std::vector<std::string> notices;
    TDBaseTable t;
    t.FileName = dir / "n.dbf";
    t.OnNotice = [&](const std::string& n) { notices.push_back(n); };
    t.Open();
    EXPECT_EQ(t.RecordCount(), 2);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_NE(notices[0].find("expected : 2"), std::string::npos);
}

class IndexedTable : public testing::Test {
protected:
    void SetUp() override {
        DbfBuilder b;
        b.fields = {{"NAME", 'C', 8}, {"NUM", 'N', 5}};
        const char* names[] = {"pear", "apple", "fig", "kiwi", "\xA6lu\x9C"}; // the last is "Žluť" in CP852
        int n = 50;
        for (const char* s : names) b.records.push_back({false, {s, std::to_string(n--)}});
        WriteFile(dir / "i.dbf", b.Build());
        WriteFile(dir / "name.ndx", EmptyNdx("NAME", true, 8, 3));
        WriteFile(dir / "num.ndx", EmptyNdx("num", false, 8, 3));
        t.FileName = dir / "i.dbf";
        t.Open();
        // Build both indexes through the dataset by rewriting every record.
        ASSERT_EQ(t.OpenIndex(dir / "name.ndx"), 0);
        ASSERT_EQ(t.OpenIndex(dir / "num.ndx"), 1);
        ASSERT_EQ(t.OpenIndex(dir / "NAME.ndx"), 0); // already open
        for (t.First(); !t.Eof(); t.Next()) {
            t.Edit();
            t.Post();
        }
    }
    TempDir dir;
    TDBaseTable t;
};

TEST_F(IndexedTable, OrderAndFind) {
    t.UseIndex(0);
    EXPECT_EQ(Column(t, "NAME"), (std::vector<std::string>{"apple", "fig", "kiwi", "pear", "Žluť"}));
    EXPECT_TRUE(t.Find("Žluť"));
    EXPECT_EQ(t.FieldByName("NUM").AsInteger(), 46);
    EXPECT_TRUE(t.Find("fig"));
    EXPECT_EQ(t.FieldByName("NUM").AsInteger(), 48);
    EXPECT_FALSE(t.Find("g"));
    EXPECT_EQ(t.FieldByName("NAME").AsString(), "kiwi");
    t.UseIndex(1);
    EXPECT_EQ(Column(t, "NUM"), (std::vector<std::string>{"46", "47", "48", "49", "50"}));
    t.UseIndex(7); // no such index: nothing changes
    t.UseIndex(-1);
    EXPECT_EQ(Column(t, "NUM"), (std::vector<std::string>{"46", "47", "48", "49", "50"}));
}

TEST_F(IndexedTable, EveryIndexFollowsPostAndAppend) {
    t.UseIndex(1);
    t.Append();
    t.FieldByName("NAME").SetAsString("banana");
    t.FieldByName("NUM").SetAsInteger(1);
    t.Post();
    t.UseIndex(0);
    EXPECT_TRUE(t.Find("fig"));
    t.Edit();
    t.FieldByName("NAME").SetAsString("zucchini");
    t.Post();
    t.UseIndex(1);
    EXPECT_EQ(Column(t, "NUM"), (std::vector<std::string>{"1", "46", "47", "48", "49", "50"}));
    t.UseIndex(0);
    EXPECT_EQ(Column(t, "NAME"), (std::vector<std::string>{"apple", "banana", "kiwi", "pear", "zucchini", "Žluť"}));
    t.Close();
    // Reopened, the files still agree.
    t.Open();
    t.OpenIndex(dir / "name.ndx");
    t.UseIndex(0);
    EXPECT_EQ(Column(t, "NAME"), (std::vector<std::string>{"apple", "banana", "kiwi", "pear", "zucchini", "Žluť"}));
}

TEST_F(IndexedTable, MdxGivesNoIndex) {
    WriteFile(dir / "i.mdx", std::string(1024, '\0'));
    EXPECT_THROW(t.OpenIndex(dir / "i.mdx"), dbase::EBinaryDataSetError);
    EXPECT_EQ(t.IndexCount(), 2);
}

TEST_F(IndexedTable, RecordNumberBeyondTableIsRefused) {
    t.Close();
    // Point the first leaf entry at record 99.
    std::string bytes = ReadFile(dir / "num.ndx");
    const std::uint32_t root = Get32(bytes, 0);
    std::uint32_t page = root;
    while (Get32(bytes, page * 512u + 4) != 0) page = Get32(bytes, page * 512u + 4);
    Put32(bytes, page * 512u + 8, 99);
    WriteFile(dir / "bad.ndx", bytes);
    t.Open();
    EXPECT_THROW(
        {
            t.UseIndex(t.OpenIndex(dir / "bad.ndx"));
            Column(t, "NAME");
        },
        dbase::EBinaryDataSetError);
}

} // namespace

namespace {

// The text a field shows must be the same whether it comes straight from the stored bytes or
// through the field's value, for texts in their shortest form and for every other form.
TEST(DBaseTableText, DirectTextEqualsTextOfValue) {
    TempDir dir;
    DbfBuilder b;
    b.fields = {{"I", 'N', 20}, {"F", 'N', 20, 5}, {"D", 'D', 8}, {"L", 'L', 1}, {"S", 'C', 12}};
    const std::vector<std::vector<std::string>> rows = {
        {"12", "1.50000", "20050307", "T", "  abc  "},
        {"-0", "-0.00000", "19000101", "f", "Žluť"},
        {"007", "0.00001", "00000000", "?", ""},
        {"-12345678901234567", "123456789012345.5", "2005 3 7", "Y", "\x01x"},
        {"+5", "1234567890123456", "20050231", " ", "a b"},
        {"9223372036854775807", "0.10000", "99991231", "N", "x"},
        {"  1 2", "1e5", "abcdefgh", "t", "y"},
        {"", ".5", "20050300", "F", "z"},
    };
    for (const auto& r : rows) b.records.push_back({false, r});
    WriteFile(dir / "x.dbf", b.Build());
    TDBaseTable t;
    t.FileName = dir / "x.dbf";
    t.Open();
    int n = 0;
    for (t.First(); !t.Eof(); t.Next(), ++n) {
        for (const auto& f : t.Fields()) {
            const data::Value v = f->AsValue();
            std::string expected;
            if (const auto* s = std::get_if<std::string>(&v)) expected = *s;
            else if (const auto* i = std::get_if<std::int64_t>(&v)) expected = data::FormatInteger(*i);
            else if (const auto* d = std::get_if<double>(&v)) expected = data::FormatFloat(*d);
            else if (const auto* dt = std::get_if<data::TDateTime>(&v)) expected = data::FormatDate(*dt);
            else if (const auto* bo = std::get_if<bool>(&v)) expected = *bo ? "True" : "False";
            EXPECT_EQ(f->AsString(), expected) << "row " << n << " field " << f->FieldName();
        }
    }
    EXPECT_EQ(n, 8);
}

// The same over many stored texts: random digits, signs, points, zeros, blanks and code-page
// bytes in fields of every width class (one 16-byte load, several, wider than 64 bytes), and in
// a record too short for the wide loads. The text is read into one reused string.
std::string ExpectedText(const data::TField& f) {
    const data::Value v = f.AsValue();
    if (const auto* s = std::get_if<std::string>(&v)) return *s;
    if (const auto* i = std::get_if<std::int64_t>(&v)) return data::FormatInteger(*i);
    if (const auto* d = std::get_if<double>(&v)) return data::FormatFloat(*d);
    if (const auto* dt = std::get_if<data::TDateTime>(&v)) return data::FormatDate(*dt);
    if (const auto* bo = std::get_if<bool>(&v)) return *bo ? "True" : "False";
    return {};
}

std::string RandomStored(std::mt19937& rng, const FieldSpec& f) {
    static const std::string kPieces[] = {"0", "1", "9", "5", "-", ".", " ", "00", "12", "\x9f", "\xa1", "x", "+"};
    std::string s;
    if (f.type == 'D' && rng() % 2) { // a date, valid or not
        char buf[16];
        std::snprintf(buf, sizeof buf, "%04u%02u%02u", static_cast<unsigned>(rng() % 10000), static_cast<unsigned>(rng() % 14),
                      static_cast<unsigned>(rng() % 33));
        return buf;
    }
    const std::size_t len = rng() % (static_cast<std::size_t>(f.length) + 1);
    while (s.size() < len) s += kPieces[rng() % std::size(kPieces)];
    s.resize(std::min(s.size(), static_cast<std::size_t>(f.length)));
    if (rng() % 2) s.insert(0, static_cast<std::size_t>(f.length) - s.size(), ' '); // right-aligned
    return s;
}

void CheckRandomTexts(const std::vector<FieldSpec>& fields, unsigned seed) {
    TempDir dir;
    DbfBuilder b;
    b.fields = fields;
    std::mt19937 rng(seed);
    for (int r = 0; r < 400; ++r) {
        std::vector<std::string> texts;
        for (const auto& f : fields) texts.push_back(RandomStored(rng, f));
        b.records.push_back({false, texts});
    }
    WriteFile(dir / "r.dbf", b.Build());
    TDBaseTable t;
    t.FileName = dir / "r.dbf";
    t.ReadOnly = true;
    t.Open();
    std::string text = "a longer text left from before, to be replaced";
    int n = 0;
    for (t.First(); !t.Eof(); t.Next(), ++n)
        for (const auto& f : t.Fields()) {
            f->GetAsString(text);
            ASSERT_EQ(text, ExpectedText(*f)) << "record " << n << " field " << f->FieldName() << " stored \""
                                              << b.records[static_cast<std::size_t>(n)].second[static_cast<std::size_t>(f->FieldNo() - 1)] << '"';
        }
    EXPECT_EQ(n, 400);
}

TEST(DBaseTableText, RandomStoredTextsGiveTextOfValue) {
    CheckRandomTexts({{"I4", 'N', 4}, {"I20", 'N', 20}, {"F", 'N', 10, 2}, {"F20", 'N', 20, 5}, {"D", 'D', 8},
                      {"S", 'C', 12}, {"S40", 'C', 40}, {"F17", 'F', 17, 3}, {"I64", 'N', 64}, {"S70", 'C', 70},
                      {"F70", 'N', 70, 10}, {"L", 'L', 1}},
                     1);
}

// Texts that end the record: their accented bytes are converted without reading past it.
TEST(DBaseTableText, RandomTextsAtTheEndOfTheRecord) {
    CheckRandomTexts({{"I", 'N', 5}, {"S", 'C', 20}, {"T", 'C', 9}}, 3);
}

TEST(DBaseTableText, RandomTextsInRecordShorterThanOneLoad) {
    CheckRandomTexts({{"I", 'N', 5}, {"F", 'N', 6, 2}, {"S", 'C', 3}}, 2);
}

} // namespace
