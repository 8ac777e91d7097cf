// The sort buttons' helper on its own: where the ORDER BY line goes in a list's SQL text, and the
// cycle of a set of columns other than the books page's.

#include "app/SortButtons.h"

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::string>;

struct Put {
    const char* name;
    Lines before;
    Lines after;
};

void PrintTo(const Put& p, std::ostream* os)
{
    *os << p.name;
}

class PutOrderByTest : public ::testing::TestWithParam<Put> {};

TEST_P(PutOrderByTest, OrderLineEndsTheText)
{
    data::TStrings sql;
    for (const std::string& line : GetParam().before)
        sql.Add(line);
    app::SortButtons::PutOrderBy(sql, "ORDER BY Jmeno");
    EXPECT_EQ(sql.Lines(), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, PutOrderByTest,
    ::testing::Values(
        Put{"Empty", {}, {"ORDER BY Jmeno"}},
        Put{"Replaced", {"SELECT * FROM Čtenáři", "ORDER BY Trida DESC"}, {"SELECT * FROM Čtenáři", "ORDER BY Jmeno"}},
        Put{"IndentedAndTabbed", {"SELECT * FROM Čtenáři", "  ORDER\tBY Trida"}, {"SELECT * FROM Čtenáři", "ORDER BY Jmeno"}},
        Put{"WordOnlyStartsLikeIt", {"SELECT * FROM Čtenáři", "ORDERED BY Trida"},
            {"SELECT * FROM Čtenáři", "ORDERED BY Trida", "ORDER BY Jmeno"}},
        Put{"ClauseAtTheEndCut", {"SELECT * FROM Čtenáři WHERE Trida LIKE \"5%\" order by Trida"},
            {"SELECT * FROM Čtenáři WHERE Trida LIKE \"5%\"", "ORDER BY Jmeno"}},
        Put{"QuotedWordsStay", {"SELECT * FROM Čtenáři", "WHERE Poznamka LIKE 'x ORDER BY y'"},
            {"SELECT * FROM Čtenáři", "WHERE Poznamka LIKE 'x ORDER BY y'", "ORDER BY Jmeno"}},
        Put{"DoubledQuoteInsideLiteral", {"SELECT * FROM Čtenáři", "WHERE Jmeno LIKE \"a\"\" ORDER BY b%\""},
            {"SELECT * FROM Čtenáři", "WHERE Jmeno LIKE \"a\"\" ORDER BY b%\"", "ORDER BY Jmeno"}}),
    [](const auto& p) { return std::string(p.param.name); });

// Three columns as on the readers page: a state that is neither sorted way starts at descending.
TEST(SortButtonsCycleTest, ThreeColumnsWithTheirOwnFields)
{
    std::int16_t name = 1, schoolClass = 2, category = 7;
    ui::TBitBtn a, b, c;
    app::SortButtons sort;
    sort.SetColumns({{&name, &a, "Jmeno"}, {&schoolClass, &b, "Trida"}, {&category, &c, "Kategorie"}});
    sort.ShowStartGlyphs();
    EXPECT_EQ(sort.OrderBy(), "ORDER BY Jmeno");
    EXPECT_EQ(sort.GlyphOf(2).State, app::kSortNone);

    const std::filesystem::path none = "/nonexistent-icons";
    sort.Press(2, none);
    EXPECT_EQ(category, 0);
    EXPECT_EQ(name, 2);
    EXPECT_EQ(sort.OrderBy(), "ORDER BY Kategorie DESC");
    sort.Press(2, none);
    EXPECT_EQ(sort.OrderBy(), "ORDER BY Kategorie");
    sort.Press(1, none);
    EXPECT_EQ((std::vector<std::int16_t>{name, schoolClass, category}), (std::vector<std::int16_t>{2, 0, 2}));
    sort.Press(1, none);
    sort.Press(1, none);
    EXPECT_EQ(sort.OrderBy(), "ORDER BY Cislo DESC");
    EXPECT_EQ(sort.OrderByOf(0), "ORDER BY Cislo DESC");
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_FALSE(sort.GlyphOf(i).FromFile);
        EXPECT_EQ(sort.GlyphOf(i).State, app::kSortNone);
    }
    EXPECT_FALSE(b.icon().isNull());
}

} // namespace
