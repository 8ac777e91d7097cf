// How conditions are grouped, and the messages for texts that cannot be run.

#include "filter_fixture.h"

#include "platform/data/DataSet.h"
#include "platform/data/FilterAst.h"
#include "platform/data/Quote.h"

#include <gtest/gtest.h>

namespace {

using data::FilterNode;
using Kind = data::FilterNode::Kind;

TEST(ConditionTree, AndBindsTighterThanOrAndParenthesesRegroup) {
    const auto plain = data::ParseFilter("a='1' OR b='2' AND c=3 OR d='4'");
    ASSERT_TRUE(plain);
    ASSERT_EQ(plain->kind, Kind::Or);
    ASSERT_EQ(plain->children.size(), 3U);
    EXPECT_EQ(plain->children[1].kind, Kind::And);
    EXPECT_EQ(plain->children[1].children[1].field, "c");
    EXPECT_FALSE(plain->children[1].children[1].literalQuoted);
    EXPECT_EQ(plain->children[2].position, 26U);

    const auto grouped = data::ParseFilter("(a='1' OR b='2') AND (c='3' AND d='4')");
    ASSERT_TRUE(grouped);
    ASSERT_EQ(grouped->kind, Kind::And);
    ASSERT_EQ(grouped->children.size(), 3U); // nested AND merged
    EXPECT_EQ(grouped->children[0].kind, Kind::Or);
    EXPECT_EQ(grouped->children[2].literal, "4");
}

struct ErrorCase {
    const char* table; // nullptr: the lines are a SELECT text
    std::vector<std::string> text;
    std::string message;
};

void PrintTo(const ErrorCase& c, std::ostream* os) { *os << (c.text.empty() ? "" : c.text.front().substr(0, 60)); }

class BadInput : public testing::TestWithParam<ErrorCase> {};

TEST_P(BadInput, RaisesDatabaseErrorWithClearMessage) {
    const ErrorCase& c = GetParam();
    filter_test::LibraryDb db;
    try {
        if (c.table) data::TranslateFilter(c.text.front(), db.Columns(c.table));
        else data::TranslateSelect(c.text, db.Catalog());
        ADD_FAILURE() << "no error";
    } catch (const data::EDatabaseError& error) {
        EXPECT_EQ(error.what(), c.message);
    }
}

INSTANTIATE_TEST_SUITE_P(Filters, BadInput, testing::Values(
    ErrorCase{"Knihy", {"Cislo='abc'"}, "Hodnotu 'abc' nelze porovnat s polem Cislo: očekáváno celé číslo."},
    ErrorCase{"Knihy", {"RokVydani>'1990.5'"},
              "Hodnotu '1990.5' nelze porovnat s polem RokVydani: očekáváno celé číslo."},
    ErrorCase{"Výpůjčky", {"VracenoB='Ano'"}, "Hodnotu 'Ano' nelze porovnat s polem VracenoB: očekáváno True nebo False."},
    ErrorCase{"Výpůjčky", {"Pujceno>'31.2.2023'"},
              "Hodnotu '31.2.2023' nelze porovnat s polem Pujceno: očekáváno datum ve tvaru d.M.rrrr."},
    ErrorCase{"Výpůjčky", {"Dnu>''"}, "Hodnotu '' nelze porovnat s polem Dnu: očekáváno celé číslo."},
    ErrorCase{"Knihy", {"CenaX<'1,23456'"},
              "Hodnotu '1,23456' nelze porovnat s polem CenaX: očekávána částka (nejvýše 4 desetinná místa)."},
    ErrorCase{"Knihy", {"Titul='Babička'"}, "Pole Titul neexistuje."},
    ErrorCase{"Knihy", {"Kod='A12"}, "Chyba syntaxe ve filtru „Kod='A12“ na pozici 5: neukončený řetězec."},
    ErrorCase{"Knihy", {"Kod='O'Brien'"},
              "Chyba syntaxe ve filtru „Kod='O'Brien'“ na pozici 8: očekáváno AND, OR nebo konec podmínky."},
    ErrorCase{"Knihy", {"Kod 'A12'"},
              "Chyba syntaxe ve filtru „Kod 'A12'“ na pozici 5: očekáván operátor porovnání (=, <>, <, >, <=, >=)."},
    ErrorCase{"Knihy", {"Nazev LIKE 'B%'"},
              "Chyba syntaxe ve filtru „Nazev LIKE 'B%'“ na pozici 7: očekáván operátor porovnání (=, <>, <, >, <=, >=)."},
    ErrorCase{"Čtenáři", {"Třída=='8'"},
              "Chyba syntaxe ve filtru „Třída=='8'“ na pozici 7: očekávána hodnota v uvozovkách nebo číslo."},
    ErrorCase{"Výpůjčky", {"Dnu>60 AND"}, "Chyba syntaxe ve filtru „Dnu>60 AND“ na pozici 11: očekáván název pole."},
    ErrorCase{"Výpůjčky", {"(Dnu>60"}, "Chyba syntaxe ve filtru „(Dnu>60“ na pozici 8: očekávána „)“."},
    ErrorCase{"Výpůjčky", {"Dnu>60;"}, "Chyba syntaxe ve filtru „Dnu>60;“ na pozici 7: neočekávaný znak „;“."},
    ErrorCase{"Výpůjčky", {"Pujceno>1.9.2023"}, "Chyba syntaxe ve filtru „Pujceno>1.9.2023“ na pozici 9: neplatné číslo."},
    ErrorCase{"Výpůjčky", {std::string(5000, '(')}, "Chyba syntaxe ve filtru „" + std::string(5000, '(') +
                                                        "“ na pozici 101: příliš mnoho vnořených závorek."}));

INSTANTIATE_TEST_SUITE_P(Select, BadInput, testing::Values(
    ErrorCase{nullptr, {"SELECT * FROM Knihi", "ORDER BY Kod"}, "Tabulka Knihi neexistuje."},
    ErrorCase{nullptr, {"SELECT * FROM Knihy", "WHERE Titul LIKE \"B%\""}, "Tabulka Knihy nemá sloupec Titul."},
    ErrorCase{nullptr, {"SELECT * FROM Knihy", "ORDER BY Titul"}, "Tabulka Knihy nemá sloupec Titul."},
    ErrorCase{nullptr, {"SELECT Kod, Titul FROM Knihy"}, "Tabulka Knihy nemá sloupec Titul."},
    ErrorCase{nullptr, {"SELECT * FROM Knihy", "WHERE Nazev LIKE \"Ba\"b%\"", "ORDER BY Kod"},
              "Chyba syntaxe v dotazu SQL „SELECT * FROM Knihy WHERE Nazev LIKE \"Ba\"b%\" ORDER BY Kod“ na pozici 42: "
              "očekáváno AND, OR, ORDER BY nebo konec dotazu."},
    ErrorCase{nullptr, {"SELECT * Knihy"}, "Chyba syntaxe v dotazu SQL „SELECT * Knihy“ na pozici 10: očekáváno FROM."},
    ErrorCase{nullptr, {"SELECT * FROM Knihy", "ORDER Kod"},
              "Chyba syntaxe v dotazu SQL „SELECT * FROM Knihy ORDER Kod“ na pozici 27: očekáváno BY."},
    ErrorCase{nullptr, {"SELECT * FROM Knihy", "ORDER BY Kod", "ORDER BY Nazev"},
              "Chyba syntaxe v dotazu SQL „SELECT * FROM Knihy ORDER BY Kod ORDER BY Nazev“ na pozici 34: "
              "očekávána čárka nebo konec dotazu."},
    ErrorCase{nullptr, {"DELETE FROM Knihy"},
              "Chyba syntaxe v dotazu SQL „DELETE FROM Knihy“ na pozici 1: očekáváno SELECT."},
    ErrorCase{nullptr, {}, "Chyba syntaxe v dotazu SQL „“ na pozici 1: očekáváno SELECT."},
    ErrorCase{nullptr, {"SELECT * FROM VýpůjčkyArchiv", "WHERE Dnu<'abc'"},
              "Hodnotu 'abc' nelze porovnat s polem Dnu: očekáváno celé číslo."}));

} // namespace
