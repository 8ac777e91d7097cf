// Reading a table on from its first record: the records, positions and counts stay those of the
// table through appends, deletes, edits, filter changes and writes by another dataset, and the
// fields a loop did not use before are read when asked for.

#include "LibraryFolder.h"

#include "platform/data/Session.h"
#include "platform/data/Table.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

using namespace data;
using data_test::LibraryFolder;

namespace {

struct Book {
    std::int64_t number = 0;
    std::string code, title, author;
    bool lent = false;
    std::int64_t year = 0;
};

// The books that pass `where`, straight from the table.
std::vector<Book> Stored(const std::string& where)
{
    std::vector<Book> books;
    sqlite3_stmt* statement = nullptr;
    const std::string sql = "SELECT Cislo, Kod, Nazev, Autor, Pujceno, RokVydani FROM Knihy" + where + " ORDER BY Cislo";
    if (sqlite3_prepare_v2(Session::Instance().Db(), sql.c_str(), -1, &statement, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(Session::Instance().Db()));
    const auto text = [&](int column) {
        const auto* t = sqlite3_column_text(statement, column);
        return t == nullptr ? std::string() : std::string(reinterpret_cast<const char*>(t));
    };
    while (sqlite3_step(statement) == SQLITE_ROW)
        books.push_back({sqlite3_column_int64(statement, 0), text(1), text(2), text(3),
                         sqlite3_column_int64(statement, 4) != 0, sqlite3_column_int64(statement, 5)});
    sqlite3_finalize(statement);
    return books;
}

int Writes() { return sqlite3_total_changes(Session::Instance().Db()); }

std::string Text(TDataSet& dataSet, const char* field) { return dataSet.FieldByName(field).AsString(); }

void AddBook(TTable& books, int i, bool lent, int year)
{
    books.Append();
    books.FieldByName("Kod").SetAsString("K" + std::to_string(i));
    books.FieldByName("Nazev").SetAsString("Kniha " + std::to_string(i));
    books.FieldByName("Autor").SetAsString("Autor " + std::to_string(i));
    books.FieldByName("Pujceno").SetAsBoolean(lent);
    books.FieldByName("RokVydani").SetAsInteger(year);
    books.Post();
}

class ReadingOn : public ::testing::Test {
protected:
    void SetUp() override
    {
        books.TableName = "Knihy.DB";
        books.Open();
        TTransaction transaction;
        for (int i = 1; i <= 600; ++i)
            AddBook(books, i, i % 3 == 0, 1950 + i % 70);
        transaction.Commit();
        books.Close();
        books.Open();
    }
    std::string Field(const char* name) { return Text(books, name); }
    LibraryFolder folder;
    TTable books;
};

TEST_F(ReadingOn, FieldsALoopLeftOutAreReadWhenAskedFor)
{
    books.First();
    for (int i = 1; i < 400; ++i) {
        ASSERT_EQ(Field("Kod"), "K" + std::to_string(i));
        books.Next();
    }
    // Runs were read with the code alone for a while; the title and author still read right.
    EXPECT_EQ(Field("Nazev"), "Kniha 400");
    EXPECT_EQ(Field("Autor"), "Autor 400");
    for (int i = 400; i < 550; ++i) {
        ASSERT_EQ(Field("Nazev"), "Kniha " + std::to_string(i));
        books.Next();
    }
    EXPECT_EQ(Field("Autor"), "Autor 550");
    // Assigning the author it has writes nothing; another one is written and reads back.
    int before = Writes();
    books.Edit();
    books.FieldByName("Autor").SetAsString("Autor 550");
    books.Post();
    EXPECT_EQ(Writes(), before);
    books.Edit();
    books.FieldByName("Autor").SetAsString("Jiný");
    books.FieldByName("Umisteni").SetAsString("Sklad");
    books.Post();
    EXPECT_EQ(Writes() - before, 1);
    books.Next();
    books.Prior();
    EXPECT_EQ(Field("Autor"), "Jiný");
    EXPECT_EQ(Field("Umisteni"), "Sklad");
    EXPECT_EQ(Field("Nazev"), "Kniha 550");
    // Back past the rows read ahead, and the grid's random access to every field.
    for (int i = 550; i > 100; --i)
        books.Prior();
    EXPECT_EQ(Field("Kod"), "K100");
    EXPECT_EQ(Field("Autor"), "Autor 100");
    const auto& fields = books.Fields();
    const auto index = [&](const char* name) {
        return std::find_if(fields.begin(), fields.end(), [&](const auto& f) { return f->FieldName() == name; }) -
               fields.begin();
    };
    for (const int position : {549, 0, 599, 300}) {
        std::vector<Value> values;
        ASSERT_TRUE(books.ReadRecordAt(position, values));
        const std::string n = std::to_string(position + 1);
        EXPECT_EQ(std::get<std::string>(values[static_cast<std::size_t>(index("Nazev"))]), "Kniha " + n);
        EXPECT_EQ(std::get<std::string>(values[static_cast<std::size_t>(index("Autor"))]),
                  position == 549 ? "Jiný" : "Autor " + n);
        EXPECT_EQ(std::get<std::int64_t>(values[static_cast<std::size_t>(index("RokVydani"))]), 1950 + (position + 1) % 70);
    }
}

TEST_F(ReadingOn, TheCountIsThatOfTheTableWhetherReadToTheEndOrNot)
{
    books.SetFilter("RokVydani>2015");
    books.SetFiltered(true);
    const std::size_t expected = Stored(" WHERE RokVydani > 2015").size();
    int read = 0;
    for (books.First(); !books.Eof(); books.Next())
        ++read;
    EXPECT_EQ(static_cast<std::size_t>(read), expected);
    EXPECT_EQ(static_cast<std::size_t>(books.RecordCount()), expected);
    books.SetFiltered(false);
    books.Next();
    EXPECT_EQ(books.RecNo(), 2);
    EXPECT_EQ(books.RecordCount(), 600);
    books.Last();
    EXPECT_EQ(Field("Kod"), "K600");
}

// Random operations checked against the table after each one; each seed is one run.
class ReadingOnAtRandom : public ::testing::TestWithParam<unsigned> {
protected:
    LibraryFolder folder;
};

TEST_P(ReadingOnAtRandom, AgreesWithTheTable)
{
    TTable books, other;
    books.TableName = other.TableName = "Knihy.DB";
    books.Open();
    other.Open();
    {
        TTransaction transaction;
        for (int i = 1; i <= 600; ++i)
            AddBook(other, i, i % 3 == 0, 1950 + i % 70);
        transaction.Commit();
    }
    const std::pair<const char*, const char*> filters[] = {
        {"Pujceno='True'", " WHERE Pujceno = 1"}, {"RokVydani>1990", " WHERE RokVydani > 1990"}, {"", ""}};
    std::size_t filter = 2; // no text yet
    bool filtered = false;
    const auto where = [&] { return filtered ? std::string(filters[filter].second) : std::string(); };

    std::mt19937 random(GetParam());
    const auto chance = [&](int percent) { return static_cast<int>(random() % 100) < percent; };
    int added = 600;
    int pos = 0; // where the cursor must be, when known
    bool known = false;
    bool otherWrote = false; // since this dataset last moved
    books.First();
    known = true;

    const auto check = [&](const std::string& step) {
        const std::vector<Book> stored = Stored(where());
        if (stored.empty()) {
            EXPECT_TRUE(books.IsEmpty()) << step;
            known = false;
            return;
        }
        ASSERT_FALSE(books.IsEmpty()) << step;
        const std::int64_t number = books.FieldByName("Cislo").AsInteger();
        const auto it = std::find_if(stored.begin(), stored.end(), [&](const Book& b) { return b.number == number; });
        ASSERT_NE(it, stored.end()) << step << ": record " << number << " should not be in the list";
        const int at = static_cast<int>(it - stored.begin());
        if (known) {
            ASSERT_EQ(at, pos) << step;
        }
        pos = at;
        known = true;
        EXPECT_EQ(Text(books, "Kod"), it->code) << step;
        EXPECT_EQ(books.FieldByName("Pujceno").AsBoolean(), it->lent) << step;
        EXPECT_EQ(books.FieldByName("RokVydani").AsInteger(), it->year) << step;
        if (chance(10)) {
            EXPECT_EQ(Text(books, "Nazev"), it->title) << step;
        }
        if (chance(10)) {
            EXPECT_EQ(static_cast<std::size_t>(books.RecordCount()), stored.size()) << step;
            EXPECT_EQ(books.RecNo(), pos + 1) << step;
        }
    };

    for (int step = 0; step < 250; ++step) {
        const std::size_t size = Stored(where()).size();
        const int op = static_cast<int>(random() % 12);
        if (op == 0 || op == 3 || op == 9 || op == 10)
            otherWrote = false; // the current record was read again
        std::string name;
        switch (op) {
        case 0:
            name = "First";
            books.First();
            pos = 0;
            known = true;
            break;
        case 1: {
            const int count = 1 + static_cast<int>(random() % (chance(30) ? 300 : 5));
            name = "Next x" + std::to_string(count);
            // At the end a dataset stays there, even when records were added after it.
            for (int i = 0; i < count && known; ++i) {
                const bool atEnd = books.Eof();
                books.Next();
                if (!atEnd && pos + 1 < static_cast<int>(size)) {
                    ++pos;
                    otherWrote = false;
                }
                else
                    EXPECT_TRUE(books.Eof()) << name;
            }
            break;
        }
        case 2: {
            const int count = 1 + static_cast<int>(random() % (chance(30) ? 300 : 5));
            name = "Prior x" + std::to_string(count);
            for (int i = 0; i < count && known; ++i) {
                const bool atStart = books.Bof();
                books.Prior();
                if (!atStart && pos > 0) {
                    --pos;
                    otherWrote = false;
                }
                else
                    EXPECT_TRUE(books.Bof()) << name;
            }
            break;
        }
        case 3:
            name = "Last";
            books.Last();
            pos = static_cast<int>(size) - 1;
            known = true;
            break;
        case 4: {
            const int distance = static_cast<int>(random() % 81) - 40;
            name = "MoveBy " + std::to_string(distance);
            const bool stays = (distance > 0 && books.Eof()) || (distance < 0 && books.Bof());
            const int moved = books.MoveBy(distance);
            if (known && size > 0 && stays) {
                EXPECT_EQ(moved, 0) << name;
            } else if (known && size > 0) {
                const int target = std::clamp(pos + distance, 0, static_cast<int>(size) - 1);
                EXPECT_EQ(moved, target - pos) << name;
                pos = target;
                otherWrote = otherWrote && moved == 0;
            }
            break;
        }
        case 5:
            name = "Append";
            AddBook(books, ++added, chance(50), 1950 + static_cast<int>(random() % 70));
            known = false;
            break;
        case 6:
            if (books.IsEmpty())
                continue;
            name = "Delete";
            books.Delete();
            known = false;
            break;
        case 7:
            if (books.IsEmpty())
                continue;
            name = "Edit lent";
            books.Edit();
            books.FieldByName("Pujceno").SetAsBoolean(chance(50));
            books.Post();
            known = false;
            break;
        case 8: {
            if (books.IsEmpty())
                continue;
            name = "Edit unchanged";
            const int before = Writes();
            books.Edit();
            books.FieldByName("RokVydani").SetAsInteger(books.FieldByName("RokVydani").AsInteger());
            books.Post();
            // Unless another dataset wrote meanwhile: then this one cannot know what is stored.
            if (!otherWrote) {
                EXPECT_EQ(Writes(), before) << name;
            }
            break;
        }
        case 9:
            filter = random() % 3;
            name = std::string("Filter ") + filters[filter].first;
            books.SetFilter(filters[filter].first);
            pos = 0;
            known = true;
            break;
        case 10:
            filtered = !filtered;
            name = filtered ? "Filtered" : "Not filtered";
            books.SetFiltered(filtered);
            pos = 0;
            known = true;
            break;
        case 11: {
            // Another dataset appends a book or deletes one this dataset does not stand on.
            const std::int64_t current = books.IsEmpty() ? 0 : books.FieldByName("Cislo").AsInteger();
            const std::vector<Book> all = Stored("");
            const Book& victim = all[random() % all.size()];
            if (chance(50) || victim.number == current) {
                name = "Other appends";
                AddBook(other, ++added, chance(50), 1950 + static_cast<int>(random() % 70));
            } else {
                name = "Other deletes " + std::to_string(victim.number);
                other.SetFilter("Cislo=" + std::to_string(victim.number));
                other.SetFiltered(true);
                other.Delete();
                other.SetFiltered(false);
            }
            known = false;
            otherWrote = true;
            break;
        }
        }
        check("step " + std::to_string(step) + " " + name);
        if (HasFatalFailure())
            return;
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, ReadingOnAtRandom, ::testing::Values(1u, 2u, 3u, 4u, 5u));

} // namespace
