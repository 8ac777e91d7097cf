// Reading and rewriting many records at once: a dataset's texts in its own order, values rewritten
// in one transaction with the records the fields cannot read handed back, the table's content
// stamp, and a query in an index's order opened without reading all of its records first.

#include "LibraryFolder.h"

#include "platform/data/Query.h"
#include "platform/data/Session.h"
#include "platform/data/Table.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <stdexcept>
#include <string>
#include <vector>

using namespace data;
using data_test::LibraryFolder;

namespace {

void Exec(const std::string& sql)
{
    char* error = nullptr;
    if (sqlite3_exec(Session::Instance().Db(), sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string message = error != nullptr ? error : "?";
        sqlite3_free(error);
        throw std::runtime_error(message);
    }
}

std::vector<std::string> Walk(TDataSet& dataSet, const char* field)
{
    std::vector<std::string> texts;
    for (dataSet.First(); !dataSet.Eof(); dataSet.Next())
        texts.push_back(dataSet.FieldByName(field).AsString());
    return texts;
}

class BulkReadWriteTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        books_.TableName = "Knihy.DB";
        books_.Open();
        const char* rows[][3] = {{"K5", "Dvořák", "True"}, {"K1", "chata", "False"}, {"K3", "Čapek", "False"},
                                 {"K2", "Cibulka", "True"}, {"K4", "hrad", "False"}, {"K6", "Čapek", "False"}};
        for (const auto& r : rows) {
            books_.Append();
            books_.FieldByName("Kod").SetAsString(r[0]);
            books_.FieldByName("Nazev").SetAsString(r[1]);
            books_.FieldByName("Pujceno").SetAsString(r[2]);
            books_.Post();
        }
        loans_.TableName = "Výpůjčky.db";
        loans_.Open();
        const char* lent[][2] = {{"1.9.2024", ""}, {"2.9.2024", "5.9.2024"}, {"3.9.2024 10:30", ""}};
        for (const auto& l : lent) {
            loans_.Append();
            loans_.FieldByName("CisloCtenare").SetAsInteger(1);
            loans_.FieldByName("Pujceno").SetAsString(l[0]);
            loans_.FieldByName("Vraceno").SetAsString(l[1]);
            loans_.FieldByName("Dnu").SetAsInteger(7);
            loans_.Post();
        }
    }
    std::vector<std::int64_t> Days()
    {
        std::vector<std::int64_t> days;
        for (loans_.First(); !loans_.Eof(); loans_.Next())
            days.push_back(loans_.FieldByName("Dnu").AsInteger());
        return days;
    }

    LibraryFolder folder_;
    TTable books_, loans_;
};

TEST_F(BulkReadWriteTest, TextsInTheDatasetsOwnOrderAsItsFieldsGiveThem)
{
    TQuery query;
    query.SQL.Add("SELECT * FROM Knihy");
    query.SQL.Add("ORDER BY Nazev");
    query.Open();
    query.SetFilter("Pujceno='False'");
    query.SetFiltered(true);
    query.Next();
    const std::string current = query.FieldByName("Kod").AsString();

    const auto texts = query.ReadTextsInOrder({"Nazev", "Cislo", "Pujceno"});
    EXPECT_EQ(texts[0], Walk(query, "Nazev"));
    EXPECT_EQ(texts[1], Walk(query, "Cislo"));
    EXPECT_EQ(texts[2], (std::vector<std::string>{"False", "False", "False", "False"}));
    // Equal titles keep the table's order.
    EXPECT_EQ(texts[0], (std::vector<std::string>{"Čapek", "Čapek", "hrad", "chata"}));

    query.First();
    query.Next();
    (void)query.ReadTextsInOrder({"Kod"});
    EXPECT_EQ(query.FieldByName("Kod").AsString(), current);
    EXPECT_THROW(query.ReadTextsInOrder({"Nic"}), EDatabaseError);
    query.Close();
    EXPECT_THROW(query.ReadTextsInOrder({"Kod"}), EDatabaseError);
}

TEST_F(BulkReadWriteTest, ContentStampMovesWithEveryWriteOnly)
{
    const std::uint64_t stamp = books_.ContentStamp();
    EXPECT_NE(stamp, 0u);
    (void)books_.ReadTexts({"Nazev"}, "");
    books_.SetFilter("Pujceno='True'");
    books_.SetFiltered(true);
    EXPECT_EQ(books_.ContentStamp(), stamp);

    books_.Edit();
    books_.FieldByName("Nazev").SetAsString("Jiný");
    books_.Post();
    const std::uint64_t edited = books_.ContentStamp();
    EXPECT_NE(edited, stamp);

    // A rollback may have undone anything: the stamp moves too.
    {
        TTransaction transaction;
        books_.Edit();
        books_.FieldByName("Nazev").SetAsString("Zase jiný");
        books_.Post();
        transaction.Rollback();
    }
    EXPECT_NE(books_.ContentStamp(), edited);
    books_.Close();
    EXPECT_EQ(books_.ContentStamp(), 0u);
}

TEST_F(BulkReadWriteTest, RewritesChangedValuesInOneTransaction)
{
    std::vector<std::vector<Value>> seen;
    const int written = loans_.RewriteValues(
        {"Pujceno", "Vraceno", "Dnu"},
        [&seen](std::vector<Value>& values) {
            seen.push_back(values);
            if (IsNull(values[1]))
                return false; // open loans stay
            values[2] = std::int64_t{3};
            return true;
        },
        [](std::int64_t) { FAIL() << "every loan is readable"; });
    EXPECT_EQ(written, 1);
    ASSERT_EQ(seen.size(), 3u);
    // The values as the fields read them: dates as dates, no value as none.
    EXPECT_TRUE(std::holds_alternative<TDateTime>(seen[2][0]));
    EXPECT_TRUE(IsNull(seen[0][1]));
    EXPECT_EQ(std::get<std::int64_t>(seen[0][2]), 7);
    EXPECT_EQ(Days(), (std::vector<std::int64_t>{7, 3, 7}));

    // A failure in the middle leaves every record as it was.
    EXPECT_THROW(loans_.RewriteValues(
                     {"Dnu"},
                     [](std::vector<Value>& values) {
                         if (std::get<std::int64_t>(values[0]) == 3)
                             throw std::runtime_error("no");
                         values[0] = std::int64_t{1};
                         return true;
                     },
                     {}),
                 std::runtime_error);
    EXPECT_EQ(Days(), (std::vector<std::int64_t>{7, 3, 7}));
}

TEST_F(BulkReadWriteTest, RecordsTheFieldsCannotReadGoToTheCaller)
{
    // A day count beyond the field's range, as another program could leave it.
    Exec("UPDATE \"Výpůjčky\" SET Dnu = 5000000000 WHERE Cislo = 2");
    std::vector<std::int64_t> unreadable;
    int changed = loans_.RewriteValues(
        {"Dnu"},
        [](std::vector<Value>& values) {
            values[0] = std::int64_t{9};
            return true;
        },
        [&unreadable](std::int64_t number) { unreadable.push_back(number); });
    EXPECT_EQ(changed, 2);
    EXPECT_EQ(unreadable, (std::vector<std::int64_t>{2}));

    // An error the caller raises for such a record undoes the others' writes too.
    EXPECT_THROW(loans_.RewriteValues(
                     {"Dnu"},
                     [](std::vector<Value>& values) {
                         values[0] = std::int64_t{1};
                         return true;
                     },
                     [](std::int64_t) { throw EDatabaseError("no"); }),
                 EDatabaseError);
    loans_.SetFilter("Cislo<>2");
    loans_.SetFiltered(true);
    EXPECT_EQ(Days(), (std::vector<std::int64_t>{9, 9}));
}

TEST_F(BulkReadWriteTest, RewritingRefusesWhatCannotBeWritten)
{
    EXPECT_THROW(loans_.RewriteValues({"Nic"}, [](std::vector<Value>&) { return false; }, {}), EDatabaseError);
    loans_.Close();
    EXPECT_THROW(loans_.RewriteValues({"Dnu"}, [](std::vector<Value>&) { return false; }, {}), EDatabaseError);
}

// The archive in the order of its return dates (an index serves it): opened on its first record
// without the whole list, and then the same records in the same order as a list built at once.
TEST(IndexOrderedQuery, OpensOnItsFirstRecordAndGoesOnInTheSameOrder)
{
    LibraryFolder folder;
    {
        TTable archive;
        archive.TableName = "VýpůjčkyArchiv.db";
        archive.Open();
        const char* returned[] = {"5.9.2024", "", "1.9.2024", "5.9.2024", "3.9.2024", "1.9.2024", ""};
        int reader = 1;
        for (const char* date : returned) {
            archive.Append();
            archive.FieldByName("CisloCtenare").SetAsInteger(reader++);
            archive.FieldByName("Vraceno").SetAsString(date);
            archive.Post();
        }
    }
    const std::vector<std::string> expected = {"2", "7", "3", "6", "5", "1", "4"}; // no date first, ties by number
    for (const bool filtered : {false, true}) {
        TQuery query;
        query.SQL.Add("SELECT * FROM VýpůjčkyArchiv");
        query.SQL.Add("ORDER BY Vraceno");
        if (filtered) {
            query.SetFilter("CisloCtenare>'2'");
            query.SetFiltered(true);
        }
        query.Open();
        std::vector<std::string> want = expected;
        if (filtered)
            want = {"7", "3", "6", "5", "4"};
        EXPECT_EQ(query.FieldByName("CisloCtenare").AsString(), want.front());
        EXPECT_EQ(query.RecNo(), 1);
        query.Next();
        EXPECT_EQ(query.FieldByName("CisloCtenare").AsString(), want[1]);
        EXPECT_EQ(query.RecordCount(), static_cast<int>(want.size()));
        EXPECT_EQ(Walk(query, "CisloCtenare"), want);
        query.Last();
        EXPECT_EQ(query.FieldByName("CisloCtenare").AsString(), want.back());
    }

    // Counted first, or jumped to the end first: the same list.
    TQuery counted;
    counted.SQL.Add("SELECT * FROM VýpůjčkyArchiv");
    counted.SQL.Add("ORDER BY Vraceno");
    counted.Open();
    EXPECT_EQ(counted.RecordCount(), 7);
    counted.Last();
    EXPECT_EQ(counted.FieldByName("CisloCtenare").AsString(), "4");
    counted.First();
    EXPECT_EQ(counted.FieldByName("CisloCtenare").AsString(), "2");
}

// A grid over the archive in the order of its return dates reads the rows at any position and the
// count without the whole list: the same rows as a walk gives, the cursor left on its record, and
// both following a write through another dataset and a filter.
TEST(IndexOrderedQuery, AGridReadsRowsAnywhereWithoutMovingTheCursor)
{
    LibraryFolder folder;
    TTable archive;
    archive.TableName = "VýpůjčkyArchiv.db";
    archive.Open();
    const int loans = 700; // longer than the runs a grid reads at once
    for (int n = 1; n <= loans; ++n) {
        archive.Append();
        archive.FieldByName("CisloCtenare").SetAsInteger(n);
        // Some loans without a return date, many on the same day.
        archive.FieldByName("Vraceno").SetAsString(n % 50 == 0 ? "" : std::to_string(1 + n * 7 % 28) + ".9.2024");
        archive.Post();
    }

    const auto open = [](TQuery& query) {
        query.SQL.Add("SELECT * FROM VýpůjčkyArchiv");
        query.SQL.Add("ORDER BY Vraceno");
        query.Open();
    };
    TQuery walked;
    open(walked);
    const std::vector<std::string> order = Walk(walked, "CisloCtenare");
    ASSERT_EQ(order.size(), static_cast<std::size_t>(loans));

    TQuery shown;
    open(shown);
    const int reader = shown.FieldByName("CisloCtenare").FieldNo() - 1;
    const auto readerAt = [&](int position) {
        std::vector<Value> row;
        if (!shown.ReadRecordAt(position, row))
            return std::string("-");
        const auto* number = std::get_if<std::int64_t>(&row.at(static_cast<std::size_t>(reader)));
        return number != nullptr ? std::to_string(*number) : std::string("?");
    };
    EXPECT_EQ(shown.RecordCount(), loans);
    // Scrolling down, a jump to the end, scrolling back up, a jump into the middle.
    std::vector<int> positions;
    for (int p = 0; p < 300; ++p)
        positions.push_back(p);
    for (int p = loans - 1; p > loans - 300; --p)
        positions.push_back(p);
    positions.push_back(350);
    positions.push_back(17);
    for (const int p : positions)
        EXPECT_EQ(readerAt(p), order[static_cast<std::size_t>(p)]) << "row " << p;
    EXPECT_EQ(readerAt(loans), "-");
    EXPECT_EQ(readerAt(-1), "-");
    EXPECT_EQ(shown.RecNo(), 1);
    EXPECT_EQ(shown.FieldByName("CisloCtenare").AsString(), order.front());
    shown.Next();
    EXPECT_EQ(shown.FieldByName("CisloCtenare").AsString(), order[1]);

    // A loan archived through another dataset, returned earliest: right after those without a date.
    archive.Append();
    archive.FieldByName("CisloCtenare").SetAsInteger(loans + 1);
    archive.FieldByName("Vraceno").SetAsString("1.1.2000");
    archive.Post();
    EXPECT_EQ(shown.RecordCount(), loans + 1);
    walked.Close();
    walked.Open();
    const std::vector<std::string> after = Walk(walked, "CisloCtenare");
    for (const int p : {0, 13, 14, 15, 400, loans})
        EXPECT_EQ(readerAt(p), after[static_cast<std::size_t>(p)]) << "row " << p;

    shown.SetFilter("CisloCtenare>'600'");
    shown.SetFiltered(true);
    EXPECT_EQ(shown.RecordCount(), loans + 1 - 600);
    walked.SetFilter("CisloCtenare>'600'");
    walked.SetFiltered(true);
    const std::vector<std::string> filtered = Walk(walked, "CisloCtenare");
    for (int p = 0; p < static_cast<int>(filtered.size()); ++p)
        EXPECT_EQ(readerAt(p), filtered[static_cast<std::size_t>(p)]) << "filtered row " << p;
    EXPECT_EQ(readerAt(static_cast<int>(filtered.size())), "-");
}

} // namespace
