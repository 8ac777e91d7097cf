// The new numbers of a table's records after an import, found by the keys the old records had:
// the first imported record of a key counts, records without a key or of a key not imported get
// none, marks follow the key; tables with few numbers spread far apart work as dense ones do.

#include "AppFixture.h"

#include "maintenance/transfer/NewNumbers.h"
#include "platform/data/BulkAppend.h"
#include "platform/data/Session.h"
#include "platform/data/Table.h"

#include <gtest/gtest.h>

namespace {

class NewNumbersTest : public apptest::AppTest {
protected:
    // Adds books with these codes; answers their numbers.
    std::vector<std::int64_t> AddBooks(const std::vector<std::string>& codes)
    {
        data::TTable books;
        books.TableName = "Knihy.DB";
        books.Open();
        data::TTransaction transaction; // one write of the file, not one per record
        data::TBulkAppend append(books);
        std::vector<std::int64_t> numbers;
        for (const std::string& code : codes) {
            append.SetText(append.FieldIndex("Kod"), code);
            numbers.push_back(append.Append());
        }
        transaction.Commit();
        return numbers;
    }

    transfer::NewNumbers ReadOld()
    {
        data::TTable books;
        books.TableName = "Knihy.DB";
        books.ReadOnly = true;
        books.Open();
        transfer::NewNumbers numbers;
        numbers.ReadOld(books, "Kod");
        return numbers;
    }
};

TEST_F(NewNumbersTest, TheFirstImportedRecordOfAKeyTakesTheOldRecordsOfThatKey)
{
    const auto old = AddBooks({"A", "B", "A", "", "C"});
    transfer::NewNumbers numbers = ReadOld();
    numbers.Mark(old[2]); // the second A: the key is marked
    numbers.Mark(old[3]); // no key: nothing to mark
    numbers.Mark(999);    // no such record
    EXPECT_TRUE(numbers.Marked("A"));
    EXPECT_FALSE(numbers.Marked("B"));
    EXPECT_FALSE(numbers.Marked(""));
    EXPECT_FALSE(numbers.Marked("Z"));

    numbers.Imported("B", 100);
    numbers.Imported("A", 101);
    numbers.Imported("A", 102);
    numbers.Imported("Z", 103); // a key no old record had
    numbers.Imported("", 104);
    EXPECT_EQ(numbers.Of(old[0]), 101);
    EXPECT_EQ(numbers.Of(old[1]), 100);
    EXPECT_EQ(numbers.Of(old[2]), 101);
    EXPECT_EQ(numbers.Of(old[3]), std::nullopt); // had no key
    EXPECT_EQ(numbers.Of(old[4]), std::nullopt); // C was not imported
    EXPECT_EQ(numbers.Of(0), std::nullopt);
    EXPECT_EQ(numbers.Of(old[4] + 1), std::nullopt);
    // A record imported after the numbers were asked for counts as well.
    numbers.Imported("C", 105);
    EXPECT_EQ(numbers.Of(old[4]), 105);

    numbers.Clear();
    EXPECT_EQ(numbers.Of(old[0]), std::nullopt);
    EXPECT_FALSE(numbers.Marked("A"));
}

TEST_F(NewNumbersTest, NumbersFarApartAreFoundAsWell)
{
    std::vector<std::string> codes;
    for (int i = 0; i < 1500; ++i)
        codes.push_back("K" + std::to_string(i));
    const auto old = AddBooks(codes);
    {
        // Only the first, one in the middle and the last stay: three numbers over 1500.
        data::TTable books;
        books.TableName = "Knihy.DB";
        books.Open();
        books.SetFilter("Cislo>" + std::to_string(old[0]) + " AND Cislo<" + std::to_string(old[1499]) + " AND Cislo<>" +
                        std::to_string(old[700]));
        books.SetFiltered(true);
        data::TTransaction transaction;
        while (!books.IsEmpty())
            books.Delete();
        transaction.Commit();
    }
    transfer::NewNumbers numbers = ReadOld();
    numbers.Mark(old[1499]);
    numbers.Imported("K1499", 7);
    numbers.Imported("K700", 8);
    EXPECT_TRUE(numbers.Marked("K1499"));
    EXPECT_EQ(numbers.Of(old[1499]), 7);
    EXPECT_EQ(numbers.Of(old[700]), 8);
    EXPECT_EQ(numbers.Of(old[0]), std::nullopt);
    EXPECT_EQ(numbers.Of(old[701]), std::nullopt); // deleted
}

} // namespace
