// Queries: SQL kept as lines, Czech order and matching, read-only results, errors.

#include "LibraryFolder.h"

#include "platform/data/Query.h"
#include "platform/data/Quote.h"
#include "platform/data/Session.h"
#include "platform/data/Table.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <functional>

using namespace data;
using data_test::LibraryFolder;

namespace {

class Queries : public ::testing::Test {
protected:
    void SetUp() override
    {
        TTable books;
        books.TableName = "Knihy.DB";
        books.Open();
        const char* rows[][3] = {{"K5", "Dvořák", "True"}, {"K1", "chata", "False"}, {"K3", "Čapek", "False"},
                                 {"K2", "Cibulka", "True"}, {"K4", "hrad", "False"}, {"K6", "Tom \"Sawyer\"", "False"}};
        for (const auto& r : rows) {
            books.Append();
            books.FieldByName("Kod").SetAsString(r[0]);
            books.FieldByName("Nazev").SetAsString(r[1]);
            books.FieldByName("Pujceno").SetAsString(r[2]);
            books.Post();
        }
        query.Name = "Query1";
    }
    std::vector<std::string> Titles()
    {
        std::vector<std::string> titles;
        for (query.First(); !query.Eof(); query.Next())
            titles.push_back(query.FieldByName("Nazev").AsString());
        return titles;
    }
    void Run(std::initializer_list<std::string> lines)
    {
        query.Close();
        query.SQL.Clear();
        for (const auto& line : lines)
            query.SQL.Add(line);
        query.Open();
    }
    LibraryFolder folder;
    TQuery query;
};

TEST_F(Queries, OrdersTextsTheCzechWay)
{
    Run({"SELECT * FROM Knihy", "ORDER BY Nazev"});
    EXPECT_EQ(Titles(), (std::vector<std::string>{"Cibulka", "Čapek", "Dvořák", "hrad", "chata", "Tom \"Sawyer\""}));
    EXPECT_EQ(query.RecordCount(), 6);
    // The sort buttons replace the last line.
    query.Close();
    query.SQL.Delete(query.SQL.Count() - 1);
    query.SQL.Add("ORDER BY Kod DESC");
    query.Open();
    EXPECT_EQ(query.FieldByName("Kod").AsString(), "K6");
    EXPECT_EQ(query.SQL.Text(), "SELECT * FROM Knihy\nORDER BY Kod DESC\n");
}

TEST_F(Queries, LikeIgnoresCzechLetterCaseAndAFilterNarrowsTheResult)
{
    Run({"SELECT * FROM knihy", "WHERE Nazev LIKE \"č%\"", " OR Nazev LIKE \"CH%\"", "ORDER BY Kod"});
    EXPECT_EQ(Titles(), (std::vector<std::string>{"chata", "Čapek"}));
    Run({"SELECT * FROM Knihy", "WHERE Nazev LIKE " + QuoteValue("Tom \"%", '"'), "ORDER BY Kod"});
    EXPECT_EQ(Titles(), (std::vector<std::string>{"Tom \"Sawyer\""}));
    Run({"SELECT * FROM Knihy", "ORDER BY Nazev"});
    query.SetFilter("Pujceno='True'");
    query.SetFiltered(true);
    EXPECT_EQ(Titles(), (std::vector<std::string>{"Cibulka", "Dvořák"}));
    std::vector<Value> row;
    ASSERT_TRUE(query.ReadRecordAt(1, row));
    EXPECT_EQ(std::get<std::string>(row[2]), "Dvořák");
}

TEST_F(Queries, ResultsAreReadOnly)
{
    Run({"SELECT * FROM Knihy", "ORDER BY Kod"});
    EXPECT_THROW(query.Edit(), EDatabaseError);
    EXPECT_THROW(query.Insert(), EDatabaseError);
    EXPECT_THROW(query.Delete(), EDatabaseError);
    EXPECT_EQ(query.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(query.FieldByName("Cislo").DataType(), TFieldType::ftInteger);
}

TEST_F(Queries, BadSqlRaisesAndLeavesTheQueryClosed)
{
    for (const std::vector<std::string>& lines :
         {std::vector<std::string>{"SELECT * FROM Nic"}, {"SELECT * FROM Knihy", "WHERE Nazev LIKE \"a\"b\""},
          {"SELECT Neni FROM Knihy"}, {"SELECT * FROM Knihy WHERE Cislo = 'abc'"}}) {
        query.SQL.Clear();
        for (const auto& l : lines)
            query.SQL.Add(l);
        EXPECT_THROW(query.Open(), EDatabaseError) << lines.back();
        EXPECT_FALSE(query.Active());
    }
}

TEST_F(Queries, ChangingTheSqlClosesTheQuery)
{
    Run({"SELECT Kod, Nazev FROM Knihy", "ORDER BY Kod"});
    ASSERT_EQ(query.Fields().size(), 2u);
    query.SQL.Add("x");
    EXPECT_FALSE(query.Active());
}

} // namespace

// A single text key is sorted by collation keys outside SQLite; it must give exactly the order that
// SQLite gives through the collator (checked with a second key, which keeps SQLite sorting):
// missing values first (last when descending), letter case and accents, "ch", equal texts by number.
TEST_F(Queries, KeySortedOrderMatchesTheCollatorsOrder)
{
    TTable books;
    books.TableName = "Knihy.DB";
    books.Open();
    const char* authors[] = {"Čapek", "capek", "Capek", "", "CH", "Ch", "ch", "h", "H", "Z", "Ž", "Žák",
                             "Zak", "Čapek", "ÁBC", "abc", "1984", " ", "Ďábel", "dábel", "Řeka", "reka"};
    for (const char* author : authors) {
        books.Append();
        books.FieldByName("Kod").SetAsString("X");
        books.FieldByName("Autor").SetAsString(author);
        books.Post();
    }
    books.Append(); // no author at all
    books.FieldByName("Kod").SetAsString("Y");
    books.Post();

    const auto numbers = [this] {
        std::vector<std::int64_t> order;
        for (query.First(); !query.Eof(); query.Next())
            order.push_back(query.FieldByName("Cislo").AsInteger());
        return order;
    };
    for (const std::string direction : {"", " DESC"}) {
        Run({"SELECT * FROM Knihy", "ORDER BY Autor" + direction});
        const auto byKeys = numbers();
        Run({"SELECT * FROM Knihy", "ORDER BY Autor" + direction + ", Cislo"});
        EXPECT_EQ(byKeys, numbers()) << direction;
        EXPECT_EQ(byKeys.size(), 6u + std::size(authors) + 1u);
    }
}

// Sort keys are kept between openings; a changed title, a rolled-back change and an emptied
// table must never leave a stale key behind.
TEST_F(Queries, KeptSortKeysFollowChangesRollbacksAndEmptying)
{
    const auto first = [this] {
        query.First();
        return query.FieldByName("Nazev").AsString();
    };
    Run({"SELECT * FROM Knihy", "ORDER BY Nazev"});
    EXPECT_EQ(first(), "Cibulka");

    TTable books;
    books.TableName = "Knihy.DB";
    books.Open();
    books.SetFilter("Kod='K5'");
    books.SetFiltered(true);
    books.Edit();
    books.FieldByName("Nazev").SetAsString("Ábel");
    books.Post();
    Run({"SELECT * FROM Knihy", "ORDER BY Nazev"});
    EXPECT_EQ(first(), "Ábel");

    {
        TTransaction transaction;
        books.Edit();
        books.FieldByName("Nazev").SetAsString("Žížala");
        books.Post();
        Run({"SELECT * FROM Knihy", "ORDER BY Nazev DESC"});
        EXPECT_EQ(first(), "Žížala");
    } // rolled back
    Run({"SELECT * FROM Knihy", "ORDER BY Nazev DESC"});
    EXPECT_EQ(first(), "Tom \"Sawyer\"");
    Run({"SELECT * FROM Knihy", "ORDER BY Nazev"});
    EXPECT_EQ(first(), "Ábel");

    books.EmptyTable();
    books.Append();
    books.FieldByName("Kod").SetAsString("N1");
    books.FieldByName("Nazev").SetAsString("Nová");
    books.Post();
    Run({"SELECT * FROM Knihy", "ORDER BY Nazev"});
    EXPECT_EQ(first(), "Nová");
    EXPECT_EQ(query.RecordCount(), 1);
}

// A query closed and opened again over an unchanged file takes the list it had; any change to the
// file in between (by the program, inside a transaction, by another program, or another statement
// or filter) must give the records as a fresh query finds them.
TEST_F(Queries, AListKeptOverACloseNeverHidesAChange)
{
    const std::vector<std::string> lines = {"SELECT * FROM Knihy", "ORDER BY Nazev"};
    const auto fresh = [&lines] {
        TQuery other;
        for (const auto& line : lines)
            other.SQL.Add(line);
        other.Open();
        std::vector<std::string> titles;
        for (; !other.Eof(); other.Next())
            titles.push_back(other.FieldByName("Nazev").AsString());
        return titles;
    };
    const auto reopened = [this](const std::function<void()>& meanwhile) {
        query.Close();
        meanwhile();
        query.Open();
        return Titles();
    };
    const auto setTitle = [](const std::string& code, const std::string& title) {
        TTable books;
        books.TableName = "Knihy.DB";
        books.Open();
        books.SetFilter("Kod='" + code + "'");
        books.SetFiltered(true);
        books.Edit();
        books.FieldByName("Nazev").SetAsString(title);
        books.Post();
    };
    Run({lines[0], lines[1]});
    const std::vector<std::string> before = Titles();
    EXPECT_EQ(reopened([] {}), before);

    // Written by the program: the same size of file, another order.
    const auto written = reopened([&] { setTitle("K1", "Ábel"); });
    EXPECT_EQ(written, fresh());
    EXPECT_EQ(written.front(), "Ábel");

    // Written inside a transaction still running when the query opens (the file on the disk is
    // as it was), then rolled back.
    query.Close();
    {
        TTransaction transaction;
        setTitle("K1", "Žížala");
        query.Open();
        EXPECT_EQ(Titles(), fresh());
        EXPECT_EQ(Titles().back(), "Žížala");
        query.Close();
    }
    query.Open();
    EXPECT_EQ(Titles(), fresh());
    EXPECT_EQ(Titles().front(), "Ábel");

    // Written by another program while the program had the file closed.
    const auto external = reopened([this] {
        ASSERT_FALSE(Session::Instance().IsAttached(folder.File("Knihy.DB")));
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(folder.File("Knihy.DB").c_str(), &db), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(db, "UPDATE Knihy SET Nazev='Zvon' WHERE Kod='K1'", nullptr, nullptr, nullptr),
                  SQLITE_OK);
        sqlite3_close(db);
    });
    EXPECT_EQ(external, fresh());
    EXPECT_EQ(external.back(), "Zvon");

    // Another filter, then another statement.
    const auto filtered = reopened([this] {
        query.SetFilter("Pujceno='True'");
        query.SetFiltered(true);
    });
    EXPECT_EQ(filtered, (std::vector<std::string>{"Cibulka", "Dvořák"}));
    query.SetFiltered(false);
    Run({"SELECT * FROM Knihy", "ORDER BY Nazev DESC"});
    EXPECT_EQ(Titles().front(), "Zvon");
}
