// Every filter and SELECT shape the program builds: the SQL and parameters it becomes, and the
// records it finds when SQLite runs it.

#include "filter_fixture.h"

#include "platform/data/Quote.h"

#include <gtest/gtest.h>

namespace {

using data::Value;
using filter_test::LibraryDb;
using V = std::vector<Value>;
using I = std::int64_t;

struct FilterCase {
    const char* table;
    std::string filter;
    std::string sql;
    V params;
    std::vector<int> found;
};

void PrintTo(const FilterCase& c, std::ostream* os) { *os << c.table << ": " << c.filter; }

class FilterShapes : public testing::TestWithParam<FilterCase> {};

TEST_P(FilterShapes, TranslatesAndFinds) {
    const FilterCase& c = GetParam();
    LibraryDb db;
    const data::SqlFragment where = data::TranslateFilter(c.filter, db.Columns(c.table));
    EXPECT_EQ(where.sql, c.sql);
    EXPECT_EQ(where.params, c.params);
    EXPECT_EQ(db.Select(c.table, where.sql, where.params), c.found);
}


INSTANTIATE_TEST_SUITE_P(Program, FilterShapes, testing::Values(
    FilterCase{"Výpůjčky", "VracenoB='False'", R"("VracenoB" = ?)", {I{0}}, {1, 3, 5, 6, 7}},
    FilterCase{"Výpůjčky", "VracenoB='True'", R"("VracenoB" = ?)", {I{1}}, {2, 4}},
    FilterCase{"Čtenáři", "Aktivni='False'", R"("Aktivni" = ?)", {I{0}}, {2, 5}},
    FilterCase{"Knihy", "Vlastnosti=''", R"(("Vlastnosti" = ? OR "Vlastnosti" IS NULL))", {std::string()}, {1, 3, 5, 6, 7}},
    FilterCase{"Knihy", "Vlastnosti<>''", R"(coalesce("Vlastnosti", '') <> ?)", {std::string()}, {2, 4}},
    FilterCase{"Knihy", "Vlastnosti='Půjčená'", R"("Vlastnosti" = ?)", {std::string("Půjčená")}, {2}},
    FilterCase{"Knihy", "Kod='A12'", R"("Kod" = ?)", {std::string("A12")}, {1}},
    FilterCase{"Knihy", "Nazev='babička'", R"("Nazev" = ?)", {std::string("babička")}, {}},
    FilterCase{"Knihy", "Kod!='A12'", R"(coalesce("Kod", '') <> ?)", {std::string("A12")}, {2, 3, 4, 5, 6, 7}},
    FilterCase{"Knihy", "Kod=12", R"("Kod" = ?)", {std::string("12")}, {5}},
    FilterCase{"Knihy", "Cislo='5'", R"("Cislo" = ?)", {I{5}}, {5}},
    FilterCase{"Výpůjčky", "CisloKnihy='1'", R"("CisloKnihy" = ?)", {I{1}}, {1, 4}},
    FilterCase{"Výpůjčky", "CisloCtenare='12' AND VracenoB='False'", R"("CisloCtenare" = ? AND "VracenoB" = ?)",
               {I{12}, I{0}}, {1, 6}},
    FilterCase{"Výpůjčky", "Dnu<10", R"("Dnu" < ?)", {I{10}}, {4}},
    FilterCase{"Výpůjčky", "Dnu>60 AND VracenoB='False' AND CisloCtenare='12'",
               R"("Dnu" > ? AND "VracenoB" = ? AND "CisloCtenare" = ?)", {I{60}, I{0}, I{12}}, {1}},
    FilterCase{"Výpůjčky", "CisloCtenare=''", R"("CisloCtenare" IS NULL)", {}, {7}},
    FilterCase{"Výpůjčky", "", "", {}, {1, 2, 3, 4, 5, 6, 7}},
    FilterCase{"Výpůjčky", "vracenob='false' and cislOCtenare='5'", R"("VracenoB" = ? AND "CisloCtenare" = ?)",
               {I{0}, I{5}}, {3}},
    FilterCase{"Výpůjčky", "CisloCtenare='5' OR CisloCtenare='12' AND VracenoB='True'",
               R"("CisloCtenare" = ? OR ("CisloCtenare" = ? AND "VracenoB" = ?))", {I{5}, I{12}, I{1}}, {2, 3, 4}},
    FilterCase{"Výpůjčky", "(CisloCtenare='5' OR CisloCtenare='12') AND VracenoB='True'",
               R"(("CisloCtenare" = ? OR "CisloCtenare" = ?) AND "VracenoB" = ?)", {I{5}, I{12}, I{1}}, {2, 4}},
    FilterCase{"Výpůjčky", " ((Dnu >= 60))\tAND\nVracenoB = \"False\" ", R"("Dnu" >= ? AND "VracenoB" = ?)",
               {I{60}, I{0}}, {1, 5, 6}},
    FilterCase{"Výpůjčky", "Pujceno='1.9.2023'", R"(date("Pujceno") = ?)", {std::string("2023-09-01")}, {1, 2, 6}},
    FilterCase{"Výpůjčky", "Pujceno>'01.09.2023'", R"(date("Pujceno") > ?)", {std::string("2023-09-01")}, {3, 5, 7}},
    FilterCase{"Výpůjčky", "Vraceno<='2.9.2023'", R"(date("Vraceno") <= ?)", {std::string("2023-09-02")}, {4}},
    FilterCase{"Výpůjčky", "Vraceno=''", R"("Vraceno" IS NULL)", {}, {1, 3, 5, 6, 7}},
    FilterCase{"Čtenáři", "Vaha>'40,5'", R"("Vaha" > ?)", {40.5}, {1, 5, 6}},
    FilterCase{"Knihy", "CenaX='99,5' OR CenaX>'125'", R"("CenaX" = ? OR "CenaX" > ?)", {I{995000}, I{1250000}},
               {2, 6, 7}},
    // Text order follows the Czech alphabet: Čapek sorts before D.
    FilterCase{"Knihy", "Autor<'D'", R"(coalesce("Autor", '') < ? COLLATE CZECH)", {std::string("D")},
               {2, 3, 4, 7}}));

struct SelectCase {
    std::vector<std::string> lines;
    std::string where;
    V params;
    std::string orderBy;
    std::vector<int> found; // in the statement's order
};

void PrintTo(const SelectCase& c, std::ostream* os) {
    for (const auto& line : c.lines) *os << line << " | ";
}

class SelectShapes : public testing::TestWithParam<SelectCase> {};

TEST_P(SelectShapes, TranslatesAndFinds) {
    const SelectCase& c = GetParam();
    LibraryDb db;
    const data::SelectStatement statement = data::TranslateSelect(c.lines, db.Catalog());
    EXPECT_EQ(statement.where, c.where);
    EXPECT_EQ(statement.params, c.params);
    EXPECT_EQ(statement.orderBy, c.orderBy);
    EXPECT_EQ(db.Select(statement.table, statement.where, statement.params, statement.orderBy), c.found);
}

const std::string kKeyword = R"(coalesce("KlicovaSlova", '') LIKE ?)";
const std::string kKeywordBlock = kKeyword + " OR " + kKeyword + " OR " + kKeyword + R"( OR "KlicovaSlova" = ?)";

INSTANTIATE_TEST_SUITE_P(Program, SelectShapes, testing::Values(
    SelectCase{{"SELECT * FROM Knihy", "ORDER BY Kod"}, "", {}, R"("Kod" COLLATE CZECH, rowid)",
               {5, 6, 3, 1, 2, 4, 7}},
    // "ch" sorts after "h".
    SelectCase{{"SELECT * FROM Knihy ORDER BY Nazev"}, "", {}, R"("Nazev" COLLATE CZECH, rowid)",
               {1, 7, 4, 5, 6, 3, 2}},
    SelectCase{{"SELECT * FROM Knihy", "ORDER BY Cislo DESC"}, "", {}, R"("Cislo" DESC, rowid)",
               {7, 6, 5, 4, 3, 2, 1}},
    SelectCase{{"SELECT * FROM Knihy", "WHERE Kod LIKE \"A1%\"", " AND Autor LIKE \"ča%\"", "ORDER BY Nazev DESC"},
               R"(coalesce("Kod", '') LIKE ? AND coalesce("Autor", '') LIKE ?)",
               {std::string("A1%"), std::string("ča%")}, R"("Nazev" COLLATE CZECH DESC, rowid)", {2}},
    SelectCase{{"SELECT * FROM Knihy", "WHERE Autor LIKE \"Ča%\"", "ORDER BY Nazev DESC"},
               R"(coalesce("Autor", '') LIKE ?)", {std::string("Ča%")}, R"("Nazev" COLLATE CZECH DESC, rowid)", {2, 4}},
    SelectCase{{"SELECT * FROM Knihy", "WHERE Kod LIKE \"A1_\"", "ORDER BY Cislo"}, R"(coalesce("Kod", '') LIKE ?)",
               {std::string("A1_")}, R"("Cislo", rowid)", {1, 3}},
    SelectCase{{"SELECT * FROM Čtenáři", "WHERE Jmeno LIKE \"No%\"", " AND Trida LIKE \"8%\"", "ORDER BY Jmeno"},
               R"(coalesce("Jmeno", '') LIKE ? AND coalesce("Trida", '') LIKE ?)",
               {std::string("No%"), std::string("8%")}, R"("Jmeno" COLLATE CZECH, rowid)", {1, 6}},
    SelectCase{{"select * from čtenáři order by Trida desc, jmeno asc"}, "", {},
               R"("Trida" COLLATE CZECH DESC, "Jmeno" COLLATE CZECH, rowid)", {2, 6, 3, 5, 1, 4}},
    SelectCase{{"SELECT * FROM VýpůjčkyArchiv", "WHERE Ctenar='Novák Petr'", " AND Pujceno>'1.9.2023'",
                " AND Dnu<'10'", "ORDER BY Vraceno"},
               R"("Ctenar" = ? AND date("Pujceno") > ? AND "Dnu" < ?)",
               {std::string("Novák Petr"), std::string("2023-09-01"), I{10}}, R"("Vraceno", rowid)", {3}},
    SelectCase{{"SELECT * FROM VýpůjčkyArchiv", "WHERE Ctenar<>'Novák Petr'", " AND Vraceno<'15.9.2023'",
                "ORDER BY Dnu DESC"},
               R"(coalesce("Ctenar", '') <> ? AND date("Vraceno") < ?)",
               {std::string("Novák Petr"), std::string("2023-09-15")}, R"("Dnu" DESC, rowid)", {4, 6}},
    // The extended filter, all conditions required: AND binds to the last keyword alternative.
    SelectCase{{"SELECT * FROM Knihy",
                "WHERE KlicovaSlova LIKE '%,kočka,%' OR KlicovaSlova LIKE 'kočka,%' OR KlicovaSlova LIKE '%,kočka' "
                "OR KlicovaSlova='kočka'",
                " OR KlicovaSlova LIKE '%,pes,%' OR KlicovaSlova LIKE 'pes,%' OR KlicovaSlova LIKE '%,pes' "
                "OR KlicovaSlova='pes'",
                " AND Nazev LIKE '%válka%'", " AND RokVydani>'1990'", "ORDER BY Kod"},
               kKeywordBlock + " OR " + kKeyword + " OR " + kKeyword + " OR " + kKeyword + R"( OR ("KlicovaSlova" = ?)" +
                   R"( AND coalesce("Nazev", '') LIKE ? AND "RokVydani" > ?))",
               {std::string("%,kočka,%"), std::string("kočka,%"), std::string("%,kočka"), std::string("kočka"),
                std::string("%,pes,%"), std::string("pes,%"), std::string("%,pes"), std::string("pes"),
                std::string("%válka%"), I{1990}},
               R"("Kod" COLLATE CZECH, rowid)", {5, 3, 1, 4}},
    SelectCase{{"SELECT * FROM Knihy", "WHERE (KlicovaSlova LIKE '%,pes' OR KlicovaSlova='pes')",
                " AND Nazev LIKE '%b%'", "ORDER BY Kod"},
               R"((coalesce("KlicovaSlova", '') LIKE ? OR "KlicovaSlova" = ?) AND coalesce("Nazev", '') LIKE ?)",
               {std::string("%,pes"), std::string("pes"), std::string("%b%")}, R"("Kod" COLLATE CZECH, rowid)",
               {5, 7}},
    // An empty keyword also finds books without keywords.
    SelectCase{{"SELECT * FROM Knihy",
                "WHERE KlicovaSlova LIKE '%,,%' OR KlicovaSlova LIKE ',%' OR KlicovaSlova LIKE '%,' OR KlicovaSlova=''",
                "ORDER BY Kod"},
               kKeyword + " OR " + kKeyword + " OR " + kKeyword + R"( OR ("KlicovaSlova" = ? OR "KlicovaSlova" IS NULL))",
               {std::string("%,,%"), std::string(",%"), std::string("%,"), std::string()},
               R"("Kod" COLLATE CZECH, rowid)", {6}},
    SelectCase{{"SELECT * FROM Knihy", "WHERE Nazev LIKE '%válka%'", " OR RokVydani<'1990'", "ORDER BY Kod"},
               R"(coalesce("Nazev", '') LIKE ? OR "RokVydani" < ?)", {std::string("%válka%"), I{1990}},
               R"("Kod" COLLATE CZECH, rowid)", {3, 2}},
    SelectCase{{"SELECT * FROM Knihy", "WHERE Autor='Cibulka Jan'", " AND CenaX>'4'", " AND CenaX<'125,5'",
                " AND PocetStran<'300'", "ORDER BY Kod"},
               R"("Autor" = ? AND "CenaX" > ? AND "CenaX" < ? AND "PocetStran" < ?)",
               {std::string("Cibulka Jan"), I{40000}, I{1255000}, I{300}}, R"("Kod" COLLATE CZECH, rowid)", {3}},
    SelectCase{{"SELECT * FROM Knihy", "WHERE Nazev LIKE '%100%%'", "ORDER BY Kod"}, R"(coalesce("Nazev", '') LIKE ?)",
               {std::string("%100%%")}, R"("Kod" COLLATE CZECH, rowid)", {7}},
    SelectCase{{"SELECT * FROM Knihy", "WHERE RokVydani LIKE '19%'", " AND Kod LIKE 'a%'"},
               R"(CAST("RokVydani" AS TEXT) LIKE ? AND coalesce("Kod", '') LIKE ?)",
               {std::string("19%"), std::string("a%")}, "rowid", {1, 2, 3}}));

TEST(SelectColumns, StarListsEveryColumnAndAListResolvesNames) {
    LibraryDb db;
    const auto all = data::TranslateSelect({"SELECT * FROM výpůjčky"}, db.Catalog());
    EXPECT_EQ(all.table, "Výpůjčky");
    EXPECT_EQ(all.columns, (std::vector<std::string>{"Cislo", "CisloCtenare", "CisloKnihy", "Pujceno", "Vraceno",
                                                     "Dnu", "VracenoB"}));
    const auto some = data::TranslateSelect({"SELECT kod,NAZEV FROM Knihy"}, db.Catalog());
    EXPECT_EQ(some.columns, (std::vector<std::string>{"Kod", "Nazev"}));
}

// Values built with the quoting helper read back as exactly what was typed.
TEST(QuotedValues, ApostropheAndDoubleQuoteAreJustText) {
    LibraryDb db;
    const std::string title = "O'Brien a \"Kapr\"";
    for (char quote : {'\'', '"'}) {
        const auto where = data::TranslateFilter("Nazev=" + data::QuoteValue(title, quote), db.Columns("Knihy"));
        EXPECT_EQ(where.params, V{title});
        EXPECT_EQ(db.Select("Knihy", where.sql, where.params), std::vector<int>{3});
    }
    const auto query = data::TranslateSelect(
        {"SELECT * FROM VýpůjčkyArchiv", "WHERE Kniha LIKE " + data::QuoteValue("o'brien A \"k%", '"')}, db.Catalog());
    EXPECT_EQ(db.Select(query.table, query.where, query.params, query.orderBy), std::vector<int>{3});
    for (const std::string value : {"", "'", "''", "\"", "a'b\"c''d", "x'"})
        EXPECT_EQ(data::ParseFilter("Kod=" + data::QuoteValue(value))->literal, value) << value;
}

} // namespace
