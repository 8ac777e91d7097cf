// The extended book filter's texts without a window: the SQL lines of the books query, the record
// line of a saved filter file, saved filter files as older writers left them, and filter names.

#include "catalogue/BookFilterText.h"
#include "fuzz/FilterFileFuzzEntry.h"
#include "platform/ui/RichText.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

using catalogue::BookFilter;
using Lines = std::vector<std::string>;

enum Item { kKod = 0, kNazev = 1, kAutor = 2, kNakladatelstvi = 6, kKeywords = 8, kCenaOd = 9, kRokOd = 11,
            kRokDo = 12, kStranDo = 14 };

BookFilter Make(std::initializer_list<std::pair<int, std::string>> texts, bool all = true)
{
    BookFilter f;
    for (const auto& [item, text] : texts)
        f.Texts[static_cast<std::size_t>(item)] = text;
    f.AllConditions = all;
    return f;
}

const std::string kKocka = "KlicovaSlova LIKE '%,kočka,%' OR KlicovaSlova LIKE 'kočka,%' OR KlicovaSlova LIKE "
                           "'%,kočka' OR KlicovaSlova='kočka'";
const std::string kPes =
    "KlicovaSlova LIKE '%,pes,%' OR KlicovaSlova LIKE 'pes,%' OR KlicovaSlova LIKE '%,pes' OR KlicovaSlova='pes'";

struct SqlCase {
    const char* name;
    BookFilter filter;
    std::string orderBy;
    Lines lines;
};

void PrintTo(const SqlCase& c, std::ostream* os)
{
    *os << c.name;
}

class FilterSqlTest : public ::testing::TestWithParam<SqlCase> {};

TEST_P(FilterSqlTest, LinesOfTheBooksQuery)
{
    EXPECT_EQ(catalogue::FilterSqlLines(GetParam().filter, GetParam().orderBy), GetParam().lines);
}

BookFilter ExactAuthor()
{
    BookFilter f = Make({{kAutor, "Čapek"}});
    f.Exact[kAutor] = true;
    return f;
}

INSTANTIATE_TEST_SUITE_P(
    Examples, FilterSqlTest,
    ::testing::Values(
        // Keywords with a further criterion, all required: the alternatives are one condition.
        SqlCase{"KeywordsTitleYearAll",
                Make({{kKeywords, "pes kočka"}, {kNazev, "válka"}, {kRokOd, "1990"}}),
                "ORDER BY Kod",
                {"SELECT * FROM Knihy", "WHERE (" + kKocka, " OR " + kPes + ")", " AND Nazev LIKE '%válka%'",
                 " AND RokVydani>'1990'", "ORDER BY Kod"}},
        SqlCase{"KeywordsAnyNoParentheses", Make({{kKeywords, "pes kočka"}, {kNazev, "válka"}}, false), "",
                {"SELECT * FROM Knihy", "WHERE " + kKocka, " OR " + kPes, " OR Nazev LIKE '%válka%'"}},
        SqlCase{"AnyOfTitleAndYear", Make({{kNazev, "válka"}, {kRokDo, "1990"}}, false), "ORDER BY Nazev DESC",
                {"SELECT * FROM Knihy", "WHERE Nazev LIKE '%válka%'", " OR RokVydani<'1990'", "ORDER BY Nazev DESC"}},
        SqlCase{"OnlyPagesTo", Make({{kStranDo, "300"}}), "ORDER BY Kod",
                {"SELECT * FROM Knihy", "WHERE PocetStran<'300'", "ORDER BY Kod"}},
        SqlCase{"ExactMatch", ExactAuthor(), "ORDER BY Kod",
                {"SELECT * FROM Knihy", "WHERE Autor='Čapek'", "ORDER BY Kod"}},
        SqlCase{"ApostropheQuoted", Make({{kNazev, "O'Neill"}, {kCenaOd, "1'0"}}), "",
                {"SELECT * FROM Knihy", "WHERE Nazev LIKE '%O''Neill%'", " AND CenaX>'1''0'"}},
        SqlCase{"StrayBlanksGiveNoEmptyWord", Make({{kKeywords, " pes  "}}), "ORDER BY Kod",
                {"SELECT * FROM Knihy", "WHERE (" + kPes + ")", "ORDER BY Kod"}},
        SqlCase{"OnlyBlanksNoCondition", Make({{kKeywords, "   "}}), "ORDER BY Kod",
                {"SELECT * FROM Knihy", "ORDER BY Kod"}},
        SqlCase{"Nothing", Make({}), "ORDER BY Cislo DESC", {"SELECT * FROM Knihy", "ORDER BY Cislo DESC"}},
        SqlCase{"AllPickListsInOrder",
                Make({{7, "s"}, {6, "n"}, {5, "i"}, {4, "u"}, {3, "t"}, {2, "a"}, {1, "z"}, {0, "k"}}),
                "",
                {"SELECT * FROM Knihy", "WHERE Kod LIKE '%k%'", " AND Nazev LIKE '%z%'", " AND Autor LIKE '%a%'",
                 " AND Kategorie LIKE '%t%'", " AND Umisteni LIKE '%u%'", " AND Ilustrator LIKE '%i%'",
                 " AND Nakladatelstvi LIKE '%n%'", " AND Signatura LIKE '%s%'"}}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(FilterKeywordsTest, SplitAtBlanksAndCommasQuotedWordsWholeSorted)
{
    EXPECT_EQ(catalogue::FilterKeywords("pes kočka"), (Lines{"kočka", "pes"}));
    EXPECT_EQ(catalogue::FilterKeywords("čáp,cibule  ,"), (Lines{"cibule", "čáp"}));
    EXPECT_EQ(catalogue::FilterKeywords("\"dlouhé slovo\" a"), (Lines{"a", "dlouhé slovo"}));
    EXPECT_EQ(catalogue::FilterKeywords("\"neukončené"), (Lines{"neukončené"}));
    EXPECT_TRUE(catalogue::FilterKeywords(" , ").empty());
}

// ---- Record line. ----

TEST(FilterRecordLineTest, ExampleLine)
{
    const BookFilter f = Make({{kNakladatelstvi, "Nové knihy"}, {kRokOd, "1990"}});
    EXPECT_EQ(catalogue::FilterRecordLine(f), ",,,,,,Nové_knihy,,,,,1990,,,,,,0,0,0,0,0,0,0,0,1,");
}

class RecordRoundTripTest : public ::testing::TestWithParam<std::string> {};

TEST_P(RecordRoundTripTest, EveryItemReadsBackAsWritten)
{
    BookFilter f;
    for (std::size_t i = 0; i < f.Texts.size(); ++i)
        f.Texts[i] = i % 3 == 0 ? GetParam() : "x" + std::to_string(i);
    f.Exact = {true, false, true, true, false, false, true, false};
    f.AllConditions = false;
    const std::string line = catalogue::FilterRecordLine(f);
    for (const std::string& text : {line, ui::RtfToText(ui::TextToRtf(line)),
                                    ui::RichEditFileText(ui::TextToRtf(line))}) {
        const BookFilter back = catalogue::ParseFilterRecordLine(text);
        EXPECT_EQ(back.Texts, f.Texts) << text;
        EXPECT_EQ(back.Exact, f.Exact);
        EXPECT_FALSE(back.AllConditions);
    }
}

INSTANTIATE_TEST_SUITE_P(Values, RecordRoundTripTest,
                         ::testing::Values("", "Nové knihy", "a,b", "\"uvozovky\" na začátku", "x\"y", "tab\there",
                                           "řádek\nnový", "  okraje  ", "Žluťoučký kůň", "znak €"));

TEST(FilterRecordLineTest, UnderscoreReadsBackAsBlank)
{
    EXPECT_EQ(catalogue::ParseFilterRecordLine("a_b,").Texts[0], "a b");
}

TEST(FilterRecordLineTest, ShortAndLongLinesAndSurroundingBlanks)
{
    const BookFilter shortLine = catalogue::ParseFilterRecordLine("A1,Babička");
    EXPECT_EQ(shortLine.Texts[0], "A1");
    EXPECT_EQ(shortLine.Texts[1], "Babička");
    EXPECT_EQ(shortLine.Texts[16], "");
    EXPECT_EQ(shortLine.Exact, (std::array<bool, 8>{}));
    EXPECT_FALSE(shortLine.AllConditions);

    std::string line = " \r\nK1 ,";
    for (int i = 1; i < 17; ++i)
        line += ",";
    line += "1,2,01,1,0,0,0, 1,1,extra,\r\n";
    const BookFilter f = catalogue::ParseFilterRecordLine(line);
    EXPECT_EQ(f.Texts[0], "K1");
    EXPECT_EQ(f.Exact, (std::array<bool, 8>{true, false, false, true, false, false, false, true}));
    EXPECT_TRUE(f.AllConditions);
}

// ---- Saved filter files as older writers left them. ----

std::string Fixture(const std::string& name)
{
    std::ifstream in(std::filesystem::path(LENDAR_FILTER_CORPUS_DIR) / name, std::ios::binary);
    EXPECT_TRUE(in.good()) << name;
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(SavedFilterFileTest, CodePageEscapesOfTheOriginalControl)
{
    const BookFilter f = catalogue::ParseFilterRecordLine(ui::RichEditFileText(Fixture("original_publisher.flt")));
    EXPECT_EQ(f.Texts[kNakladatelstvi], "Nové knihy");
    EXPECT_EQ(f.Texts[kRokOd], "1990");
    EXPECT_TRUE(f.AllConditions);
}

TEST(SavedFilterFileTest, UnicodeEscapesFontAndColourTables)
{
    const BookFilter f = catalogue::ParseFilterRecordLine(ui::RichEditFileText(Fixture("newer_writer_unicode.flt")));
    EXPECT_EQ(f.Texts[kAutor], "Čapek");
    EXPECT_EQ(f.Texts[kKeywords], "pes kočka");
    EXPECT_TRUE(f.Exact[kAutor]);
    EXPECT_FALSE(f.Exact[kKod]);
    EXPECT_FALSE(f.AllConditions);
}

TEST(SavedFilterFileTest, SkippedDestinationsPicturesBinaryAndFallbackCount)
{
    EXPECT_EQ(ui::RichEditFileText(Fixture("skipped_destinations.flt")), "Kř,Š,");
}

TEST(SavedFilterFileTest, PlainTextIsCodePage1250)
{
    const BookFilter f = catalogue::ParseFilterRecordLine(ui::RichEditFileText(Fixture("plain_cp1250.flt")));
    EXPECT_EQ(f.Texts[kNazev], "číšla");
    EXPECT_EQ(f.Texts[kCenaOd], "10");
    EXPECT_TRUE(f.Exact[0]);
}

TEST(SavedFilterFileTest, WrittenInCodePage1250Escapes)
{
    const std::string rtf = ui::TextToRtf("Nové_knihy,€,ǅ");
    EXPECT_EQ(rtf.rfind("{\\rtf1\\ansi\\ansicpg1250", 0), 0u);
    EXPECT_NE(rtf.find("\\fcharset238"), std::string::npos);
    EXPECT_NE(rtf.find("Nov\\'e9_knihy,\\'80,\\u453?"), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("\\par"), std::string::npos);
}

// An independent rich-text reader, when installed, reads our files as the text we wrote.
TEST(SavedFilterFileTest, ReadBackByAnotherReader)
{
    if (std::system("command -v unrtf >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "unrtf is not installed";
    const std::filesystem::path file = std::filesystem::temp_directory_path() / "lendar-filter-unrtf.flt";
    std::ofstream(file, std::ios::binary) << ui::TextToRtf(",,Čapek,,,,Nové_knihy,\"a,b\",1990,");
    std::string html;
    if (FILE* pipe = popen(("unrtf --html '" + file.string() + "' 2>/dev/null").c_str(), "r")) {
        char buffer[4096];
        while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
            html.append(buffer, n);
        pclose(pipe);
    }
    std::filesystem::remove(file);
    EXPECT_NE(html.find(",,&#268;apek,,,,Nov&eacute;_knihy,&quot;a,b&quot;,1990,"), std::string::npos) << html;
}

TEST(SavedFilterFileTest, CorpusReplaysWithoutFault)
{
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(LENDAR_FILTER_CORPUS_DIR)) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        filterfuzz::ReadFilterFile(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        ++files;
    }
    EXPECT_GE(files, 7);
}

// ---- Names. ----

class FilterNameTest : public ::testing::TestWithParam<std::pair<const char*, bool>> {};

TEST_P(FilterNameTest, OnlyNamesThatMakeOneFile)
{
    EXPECT_EQ(catalogue::IsValidFilterName(GetParam().first), GetParam().second) << GetParam().first;
}

INSTANTIATE_TEST_SUITE_P(Names, FilterNameTest,
                         ::testing::Values(std::pair{"Dobrodružné knihy", true}, std::pair{"5.A čtení", true},
                                           std::pair{"", false}, std::pair{".", false}, std::pair{"..", false},
                                           std::pair{"a/b", false}, std::pair{"a\\b", false},
                                           std::pair{"a:b", false}, std::pair{"co?", false},
                                           std::pair{"řádek\n", false}, std::pair{"tečka.", false}));

} // namespace
