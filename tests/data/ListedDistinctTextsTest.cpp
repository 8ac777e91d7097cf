// The distinct texts of fields over the records a query or table holds: the texts AsString gives,
// each once, in the order the dataset first shows them; its statement, filter and filter event
// respected, a change by another dataset seen, the cursor left where it was.

#include "LibraryFolder.h"

#include "platform/data/Query.h"
#include "platform/data/Session.h"
#include "platform/data/Table.h"

#include <gtest/gtest.h>

#include <set>

using namespace data;

namespace {

using Lists = std::vector<std::vector<std::string>>;

class ListedDistinctTexts : public ::testing::Test {
protected:
    void SetUp() override
    {
        books_.TableName = "Knihy.DB";
        books_.Open();
        // Titles repeat in other letter case and authors repeat, in an order unlike the titles'.
        Add("K1", "Válka s mloky", "Čapek", "False", "12,5", "1936");
        Add("K2", "babička", "Němcová", "True", "", "1855");
        Add("K3", "Válka a mír", "Tolstoj", "False", "3", "");
        Add("K4", "Bílá nemoc", "čapek", "False", "12,5", "1937");
        Add("K5", "Chata", "", "True", "", "1936");
        Add("K6", "Babička", "Němcová", "False", "7", "1855");
        Add("K7", "cibulka", "Čapek", "False", "", "2001");
    }

    void Add(const char* code, const char* title, const char* author, const char* lent, const char* price,
             const char* year)
    {
        books_.Append();
        books_.FieldByName("Kod").SetAsString(code);
        books_.FieldByName("Nazev").SetAsString(title);
        books_.FieldByName("Autor").SetAsString(author);
        books_.FieldByName("Pujceno").SetAsString(lent);
        books_.FieldByName("CenaX").SetAsString(price);
        books_.FieldByName("RokVydani").SetAsString(year);
        books_.Post();
    }

    void Run(std::initializer_list<std::string> lines)
    {
        query_.Close();
        query_.SQL.Clear();
        for (const std::string& line : lines)
            query_.SQL.Add(line);
        query_.Open();
    }

    // What walking the dataset record by record gives: each text once, where it first appears.
    static Lists Walked(TDataSet& dataSet, const std::vector<std::string>& fields)
    {
        Lists lists(fields.size());
        std::vector<std::set<std::string>> seen(fields.size());
        for (dataSet.First(); !dataSet.Eof(); dataSet.Next())
            for (std::size_t f = 0; f < fields.size(); ++f) {
                std::string text = dataSet.FieldByName(fields[f]).AsString();
                if (seen[f].insert(text).second)
                    lists[f].push_back(std::move(text));
            }
        return lists;
    }

    data_test::LibraryFolder folder_;
    TTable books_;
    TQuery query_;
};

TEST_F(ListedDistinctTexts, GiveEachTextOnceInTheQuerysOrderAsAsStringDoes)
{
    Run({"SELECT * FROM Knihy", "WHERE Kod <> \"K3\"", "ORDER BY Nazev"});
    const std::vector<std::string> fields{"Autor", "nazev", "Pujceno", "CenaX", "RokVydani", "Cislo"};
    const Lists listed = query_.ListedDistinctTexts(fields);
    // Titles in Czech order: babička, Babička, Bílá nemoc, cibulka, Chata, Válka s mloky.
    EXPECT_EQ(listed[0], (std::vector<std::string>{"Němcová", "čapek", "Čapek", ""}));
    EXPECT_EQ(listed[1].size(), 6u);
    EXPECT_EQ(listed[2], (std::vector<std::string>{"True", "False"}));
    EXPECT_EQ(listed[3], (std::vector<std::string>{"", "7", "12,5"}));
    EXPECT_EQ(listed[4], (std::vector<std::string>{"1855", "1937", "2001", "1936"}));
    EXPECT_EQ(listed, Walked(query_, fields));

    // Descending, narrowed by a filter.
    Run({"SELECT * FROM Knihy", "ORDER BY Nazev DESC"});
    query_.SetFilter("Pujceno='False'");
    query_.SetFiltered(true);
    EXPECT_EQ(query_.ListedDistinctTexts({"Autor"}).front(), (std::vector<std::string>{"Čapek", "Tolstoj", "čapek", "Němcová"}));
    EXPECT_EQ(query_.ListedDistinctTexts(fields), Walked(query_, fields));

    // Nothing passes: a list of nothing for each field.
    Run({"SELECT * FROM Knihy", "WHERE Kod = \"K99\""});
    EXPECT_EQ(query_.ListedDistinctTexts({"Kod", "Autor"}), Lists(2));
}

TEST_F(ListedDistinctTexts, RespectTheFilterEventAndSeeChangesByAnotherDataSet)
{
    Run({"SELECT * FROM Knihy", "ORDER BY Kod DESC"});
    query_.OnFilterRecord = [](TDataSet& ds, bool& accept) { accept = ds.FieldByName("RokVydani").AsString() == "1855"; };
    query_.SetFiltered(true);
    EXPECT_EQ(query_.ListedDistinctTexts({"Kod"}).front(), (std::vector<std::string>{"K6", "K2"}));
    query_.SetFiltered(false);

    // Another dataset changes a record after the query read its list.
    ASSERT_EQ(query_.RecordCount(), 7);
    books_.Last();
    ASSERT_EQ(books_.FieldByName("Kod").AsString(), "K7");
    books_.Edit();
    books_.FieldByName("Autor").SetAsString("Erben");
    books_.Post();
    const Lists listed = query_.ListedDistinctTexts({"Autor"});
    EXPECT_EQ(listed.front(), (std::vector<std::string>{"Erben", "Němcová", "", "čapek", "Tolstoj", "Čapek"}));
    EXPECT_EQ(listed, Walked(query_, {"Autor"}));
}

TEST_F(ListedDistinctTexts, LeaveTheCursorAndRefuseWhatTheyCannotRead)
{
    Run({"SELECT Kod, Nazev FROM Knihy", "ORDER BY Nazev"});
    query_.First();
    query_.Next();
    query_.Next();
    const std::string current = query_.FieldByName("Kod").AsString();
    EXPECT_EQ(query_.ListedDistinctTexts({"Kod"}).front().size(), 7u);
    EXPECT_EQ(query_.FieldByName("Kod").AsString(), current);
    EXPECT_EQ(query_.RecNo(), 3);
    query_.Next();
    EXPECT_EQ(query_.RecNo(), 4);

    // A field the query does not select, or a closed query.
    EXPECT_THROW(query_.ListedDistinctTexts({"Autor"}), EDatabaseError);
    EXPECT_THROW(query_.ListedDistinctTexts({"Nic"}), EDatabaseError);
    query_.Close();
    EXPECT_THROW(query_.ListedDistinctTexts({"Kod"}), EDatabaseError);
}

// Records scattered over a larger file are fetched by record number, more than one run of them;
// a table's own records are read in its order.
TEST_F(ListedDistinctTexts, ReadScatteredRecordsAndTables)
{
    {
        TTransaction transaction;
        for (int i = 0; i < 1500; ++i) {
            books_.Append();
            books_.FieldByName("Kod").SetAsString("S" + std::to_string(i));
            books_.FieldByName("Umisteni").SetAsString(i % 5 == 0 ? "Sklad" : "Regál");
            books_.FieldByName("Nazev").SetAsString("Svazek " + std::to_string(i % 400));
            books_.Post();
        }
        transaction.Commit();
    }
    Run({"SELECT * FROM Knihy", "WHERE Umisteni = \"Sklad\"", "ORDER BY Nazev DESC"});
    ASSERT_EQ(query_.RecordCount(), 300);
    const Lists listed = query_.ListedDistinctTexts({"Nazev", "Kod"});
    EXPECT_EQ(listed[0].size(), 80u); // Svazek 0, 5, ..., 395
    EXPECT_EQ(listed[1].size(), 300u);
    EXPECT_EQ(listed, Walked(query_, {"Nazev", "Kod"}));

    books_.SetFilter("Umisteni='Sklad'");
    books_.SetFiltered(true);
    const Lists table = books_.ListedDistinctTexts({"Kod"});
    EXPECT_EQ(table.front().front(), "S0");
    EXPECT_EQ(table, Walked(books_, {"Kod"}));
}

} // namespace
