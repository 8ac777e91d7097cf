// Reading chosen fields of a whole table as texts: the same texts the fields give, the records
// a filter passes, in the table's order, and the table itself left where it was.

#include "LibraryFolder.h"

#include "platform/data/Table.h"

#include <gtest/gtest.h>

namespace {

class TableTextsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        books_.TableName = "Knihy.DB";
        books_.Open();
        Add("K1", "Babička", "False", "", "12,5");
        Add("K2", "Krakatit", "True", "", "");
        Add("K3", "Válka s mloky", "False", "1.1.2020", "3");
        Add("K4", "R.U.R.", "False", "", "");
        books_.Append();
        books_.FieldByName("Kod").SetAsString("K5"); // title, state and price never written
        books_.Post();
    }
    void Add(const char* code, const char* title, const char* lent, const char* discarded, const char* price)
    {
        books_.Append();
        books_.FieldByName("Kod").SetAsString(code);
        books_.FieldByName("Nazev").SetAsString(title);
        books_.FieldByName("Pujceno").SetAsString(lent);
        books_.FieldByName("VyrazenoDatum").SetAsString(discarded);
        books_.FieldByName("CenaX").SetAsString(price);
        books_.Post();
    }

    data_test::LibraryFolder folder_;
    data::TTable books_;
};

TEST_F(TableTextsTest, GivesTheFieldsTextsOfTheRecordsTheFilterPasses)
{
    const auto all = books_.ReadTexts({"Kod", "Nazev", "Pujceno", "CenaX", "Cislo"}, "");
    // Every text is the one AsString gives, record by record.
    books_.First();
    for (std::size_t row = 0; row < all[0].size(); ++row, books_.Next()) {
        EXPECT_EQ(all[0][row], books_.FieldByName("Kod").AsString());
        EXPECT_EQ(all[1][row], books_.FieldByName("Nazev").AsString());
        EXPECT_EQ(all[2][row], books_.FieldByName("Pujceno").AsString());
        EXPECT_EQ(all[3][row], books_.FieldByName("CenaX").AsString());
        EXPECT_EQ(all[4][row], books_.FieldByName("Cislo").AsString());
    }
    EXPECT_TRUE(books_.Eof());
    EXPECT_EQ(all[0].size(), 5u);

    const auto lendable = books_.ReadTexts({"Nazev"}, "Pujceno='False' AND VyrazenoDatum=''");
    EXPECT_EQ(lendable.front(), (std::vector<std::string>{"Babička", "R.U.R."}));
    // A quote inside a filter value is text.
    EXPECT_TRUE(books_.ReadTexts({"Kod"}, "Nazev='Bab''ička'").front().empty());
}

TEST_F(TableTextsTest, LeavesTheTableWhereItWas)
{
    books_.SetFilter("Kod='K2'");
    books_.SetFiltered(true);
    ASSERT_EQ(books_.FieldByName("Nazev").AsString(), "Krakatit");
    EXPECT_EQ(books_.ReadTexts({"Nazev"}, "").front().size(), 5u);
    EXPECT_EQ(books_.FieldByName("Nazev").AsString(), "Krakatit");
    EXPECT_EQ(books_.RecordCount(), 1);
}

TEST_F(TableTextsTest, RefusesAnUnknownFieldOrAClosedTable)
{
    EXPECT_THROW(books_.ReadTexts({"Nic"}, ""), data::EDatabaseError);
    books_.Close();
    EXPECT_THROW(books_.ReadTexts({"Nazev"}, ""), data::EDatabaseError);
}

} // namespace
