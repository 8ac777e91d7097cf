// Writing many records at once: adding records through one prepared statement stores exactly
// what posting them one by one stores, with the same errors; giving a field new numbers by a rule
// changes every record or none and leaves the table's indexes as they were.

#include "LibraryFolder.h"

#include "platform/data/BulkAppend.h"
#include "platform/data/Field.h"
#include "platform/data/Session.h"
#include "platform/data/Table.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

using Rows = std::vector<std::vector<std::string>>;

// A look at a table file from outside the program, as another SQLite client sees it.
class RawFile {
public:
    explicit RawFile(const std::filesystem::path& path)
    {
        sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READONLY, nullptr);
    }
    ~RawFile() { sqlite3_close(db_); }
    RawFile(const RawFile&) = delete;
    RawFile& operator=(const RawFile&) = delete;

    Rows Query(const std::string& sql) const
    {
        Rows rows;
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
            ADD_FAILURE() << sqlite3_errmsg(db_) << " in " << sql;
            return rows;
        }
        while (sqlite3_step(statement) == SQLITE_ROW) {
            rows.emplace_back();
            for (int c = 0; c < sqlite3_column_count(statement); ++c) {
                const auto* text = sqlite3_column_text(statement, c);
                rows.back().push_back(text != nullptr ? reinterpret_cast<const char*>(text) : "<null>");
            }
        }
        sqlite3_finalize(statement);
        return rows;
    }

private:
    sqlite3* db_ = nullptr;
};

// Every stored column but the number and the code, in SQL's own notation (type included).
const char* const kStoredBook =
    "SELECT quote(Nazev), quote(Autor), quote(Pujceno), quote(CenaX), quote(RokVydani), quote(PocetStran), "
    "quote(VyrazenoDatum), quote(Anotace), quote(Kategorie) FROM Knihy WHERE Kod LIKE ? ORDER BY Cislo";

// Texts for the books' fields, as an import hands them over: odd ones included.
const std::vector<std::map<std::string, std::string>> kBooks = {
    {{"Nazev", "Babička"}, {"Pujceno", "True"}, {"CenaX", "12,5"}, {"RokVydani", "1855"}, {"Anotace", ""}},
    {{"Nazev", std::string(300, 'x') + "ř"}, {"Pujceno", "False"}, {"CenaX", ""}, {"RokVydani", ""},
     {"PocetStran", "0"}, {"VyrazenoDatum", "1.2.2020"}},
    // Czech letters take two bytes: the title is cut after 255 letters, not bytes.
    {{"Nazev", [] {
          std::string title;
          for (int i = 0; i < 260; ++i)
              title += "ž";
          return title;
      }()},
     {"Pujceno", ""}, {"CenaX", "0,0001"}, {"Kategorie", "Román"}},
};

class BulkWriteTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        books_.TableName = "Knihy.DB";
        books_.Open();
    }

    // Adds the loans with these book numbers (none for an empty value), through the table.
    void AddLoans(const std::vector<std::optional<std::int64_t>>& books)
    {
        data::TTable loans;
        loans.TableName = "Výpůjčky.db";
        loans.Open();
        data::TTransaction transaction; // one write of the file, not one per record
        data::TBulkAppend append(loans);
        const int book = append.FieldIndex("CisloKnihy");
        const int reader = append.FieldIndex("CisloCtenare");
        for (const auto& number : books) {
            if (number)
                append.SetInteger(book, *number);
            append.SetInteger(reader, 7);
            append.Append();
        }
        transaction.Commit();
    }

    Rows LoanBooks() const { return RawFile(folder_.File("Výpůjčky.db")).Query("SELECT quote(CisloKnihy) FROM Výpůjčky ORDER BY Cislo"); }
    Rows LoanIndexes() const
    {
        return RawFile(folder_.File("Výpůjčky.db"))
            .Query("SELECT name, sql FROM sqlite_master WHERE type = 'index' AND sql IS NOT NULL ORDER BY name");
    }
    Rows Check() const { return RawFile(folder_.File("Výpůjčky.db")).Query("PRAGMA integrity_check"); }

    data_test::LibraryFolder folder_;
    data::TTable books_;
};

TEST_F(BulkWriteTest, AppendedRecordsAreStoredAsPostedOnes)
{
    for (std::size_t i = 0; i < kBooks.size(); ++i) {
        books_.Append();
        books_.FieldByName("Kod").SetAsString("P" + std::to_string(i));
        for (const auto& [field, text] : kBooks[i])
            books_.FieldByName(field).SetAsString(text);
        books_.Post();
    }
    std::vector<std::int64_t> numbers;
    {
        data::TBulkAppend append(books_);
        for (std::size_t i = 0; i < kBooks.size(); ++i) {
            append.SetText(append.FieldIndex("Kod"), "B" + std::to_string(i));
            for (const auto& [field, text] : kBooks[i])
                append.SetText(append.FieldIndex(field), text);
            numbers.push_back(append.Append());
        }
    }
    books_.Close();

    const RawFile file(folder_.File("Knihy.DB"));
    const auto stored = [&](const char* codes) {
        std::string sql = kStoredBook;
        sql.replace(sql.find('?'), 1, std::string("'") + codes + "'");
        return file.Query(sql);
    };
    const Rows posted = stored("P%");
    ASSERT_EQ(posted.size(), kBooks.size());
    EXPECT_EQ(stored("B%"), posted);
    // What the texts became: an empty text a text, an empty number none, a title cut to 255 letters.
    EXPECT_EQ(posted[0][7], "''");
    EXPECT_EQ(posted[1][3], "NULL");
    EXPECT_EQ(posted[2][0], "'" + kBooks[2].at("Nazev").substr(0, 255 * 2) + "'");
    // The numbers are those the table gave, after the posted records'.
    EXPECT_EQ(file.Query("SELECT Cislo FROM Knihy WHERE Kod LIKE 'B%' ORDER BY Cislo"),
              (Rows{{std::to_string(numbers[0])}, {std::to_string(numbers[1])}, {std::to_string(numbers[2])}}));
    EXPECT_EQ(numbers[0], static_cast<std::int64_t>(kBooks.size()) + 1);
}

TEST_F(BulkWriteTest, TextsThatDoNotFitAreRefusedAsByTheFields)
{
    data::TBulkAppend append(books_);
    books_.Append();
    for (const auto& [field, text] : std::vector<std::pair<std::string, std::string>>{
             {"RokVydani", "abc"}, {"RokVydani", "99999999999"}, {"Pujceno", "snad"}, {"CenaX", "12a"}}) {
        std::string posted, appended;
        try {
            books_.FieldByName(field).SetAsString(text);
        } catch (const data::EConvertError& e) {
            posted = e.what();
        }
        try {
            append.SetText(append.FieldIndex(field), text);
        } catch (const data::EConvertError& e) {
            appended = e.what();
        }
        EXPECT_FALSE(posted.empty()) << field << " " << text;
        EXPECT_EQ(appended, posted);
    }
    books_.Cancel();
    // The number is the table's to give; a field the table lacks is named.
    EXPECT_THROW(append.SetText(append.FieldIndex("Cislo"), "5"), data::EDatabaseError);
    EXPECT_THROW(append.FieldIndex("Nic"), data::EDatabaseError);
    // Nothing was written by the refusals.
    append.Append();
    EXPECT_EQ(books_.RecordCount(), 1);
}

TEST_F(BulkWriteTest, OtherDatasetsSeeTheRecordsAndARollbackTakesThemAll)
{
    data::TTable other;
    other.TableName = "Knihy.DB";
    other.Open();
    EXPECT_EQ(other.RecordCount(), 0);
    {
        data::TTransaction transaction;
        data::TBulkAppend append(books_);
        for (int i = 0; i < 3; ++i) {
            append.SetText(append.FieldIndex("Kod"), "K" + std::to_string(i));
            append.Append();
        }
        EXPECT_EQ(other.RecordCount(), 3);
        other.Last();
        EXPECT_EQ(other.FieldByName("Kod").AsString(), "K2");
        // Left without a commit: rolled back.
    }
    EXPECT_EQ(other.RecordCount(), 0);
    EXPECT_EQ(books_.RecordCount(), 0);
    // A read-only or closed table takes no records.
    other.Close();
    other.ReadOnly = true;
    EXPECT_THROW(data::TBulkAppend{other}, data::EDatabaseError);
    other.Open();
    EXPECT_THROW(data::TBulkAppend{other}, data::EDatabaseError);
}

TEST_F(BulkWriteTest, RenumberingGivesTheNumbersOfTheRuleAndKeepsTheRest)
{
    AddLoans({1, 2, std::nullopt, 3, 2, 9});
    data::TTable loans;
    loans.TableName = "Výpůjčky.db";
    loans.Open();
    const std::map<std::int64_t, std::int64_t> rule = {{1, 11}, {2, 12}, {3, 3}};
    const int written = loans.RenumberField("CisloKnihy", [&](std::int64_t old) -> std::optional<std::int64_t> {
        const auto it = rule.find(old);
        return it == rule.end() ? std::nullopt : std::optional<std::int64_t>(it->second);
    });
    // A number the rule keeps or does not know, and an empty field, stay as they were.
    EXPECT_EQ(written, 3);
    EXPECT_EQ(LoanBooks(), (Rows{{"11"}, {"12"}, {"NULL"}, {"3"}, {"12"}, {"9"}}));
    EXPECT_EQ(loans.FieldByName("CisloKnihy").AsInteger(), 11); // on the first record, re-read
    EXPECT_THROW(loans.RenumberField("Pujceno", [](std::int64_t) { return std::nullopt; }), data::EDatabaseError);
    EXPECT_THROW(loans.RenumberField("Nic", [](std::int64_t) { return std::nullopt; }), data::EDatabaseError);
}

TEST_F(BulkWriteTest, RenumberingMostRecordsRemakesTheIndexesAsTheyWere)
{
    std::vector<std::optional<std::int64_t>> books;
    for (int i = 0; i < 3000; ++i)
        books.emplace_back(i % 1500 + 1);
    AddLoans(books);
    const Rows indexes = LoanIndexes();
    ASSERT_EQ(indexes.size(), 3u);

    data::TTable loans;
    loans.TableName = "Výpůjčky.db";
    loans.Open();
    EXPECT_EQ(loans.RenumberField("CisloKnihy", [](std::int64_t old) { return std::optional<std::int64_t>(old + 5000); }),
              3000);
    EXPECT_EQ(LoanIndexes(), indexes);
    EXPECT_EQ(Check(), (Rows{{"ok"}}));
    // The index finds the loans by their new numbers.
    EXPECT_EQ(RawFile(folder_.File("Výpůjčky.db"))
                  .Query("SELECT count(*) FROM Výpůjčky INDEXED BY \"Výpůjčky_CisloKnihy\" WHERE CisloKnihy = 5007"),
              (Rows{{"2"}}));
    loans.SetFilter("CisloKnihy=5007");
    loans.SetFiltered(true);
    EXPECT_EQ(loans.RecordCount(), 2);
}

TEST_F(BulkWriteTest, RenumberingWhileAStatementReadsTheTableKeepsItsIndexUpToDate)
{
    std::vector<std::optional<std::int64_t>> books;
    for (int i = 0; i < 1500; ++i)
        books.emplace_back(i + 1);
    AddLoans(books);
    const Rows indexes = LoanIndexes();
    data::TTable loans;
    loans.TableName = "Výpůjčky.db";
    loans.Open();
    // A statement of the connection stopped in the middle of reading the loans.
    sqlite3* db = data::Session::Instance().Db();
    std::string alias;
    {
        sqlite3_stmt* list = nullptr;
        sqlite3_prepare_v2(db, "PRAGMA database_list", -1, &list, nullptr);
        while (sqlite3_step(list) == SQLITE_ROW)
            if (std::string(reinterpret_cast<const char*>(sqlite3_column_text(list, 2))).ends_with("Výpůjčky.db"))
                alias = reinterpret_cast<const char*>(sqlite3_column_text(list, 1));
        sqlite3_finalize(list);
    }
    ASSERT_FALSE(alias.empty());
    sqlite3_stmt* reading = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, ("SELECT Cislo FROM \"" + alias + "\".Výpůjčky").c_str(), -1, &reading, nullptr),
              SQLITE_OK);
    ASSERT_EQ(sqlite3_step(reading), SQLITE_ROW);
    EXPECT_EQ(loans.RenumberField("CisloKnihy", [](std::int64_t old) { return std::optional<std::int64_t>(old * 2); }),
              1500);
    sqlite3_finalize(reading);
    EXPECT_EQ(LoanIndexes(), indexes);
    EXPECT_EQ(Check(), (Rows{{"ok"}}));
    EXPECT_EQ(LoanBooks()[1499], (std::vector<std::string>{"3000"}));
}

TEST_F(BulkWriteTest, RenumberingThatFailsOrIsRolledBackChangesNothing)
{
    std::vector<std::optional<std::int64_t>> books;
    for (int i = 0; i < 2000; ++i)
        books.emplace_back(i + 1);
    AddLoans(books);
    const Rows before = LoanBooks();
    const Rows indexes = LoanIndexes();
    data::TTable loans;
    loans.TableName = "Výpůjčky.db";
    loans.Open();
    // The last number does not fit the field: refused before anything is written.
    EXPECT_THROW(loans.RenumberField("CisloKnihy",
                                     [](std::int64_t old) {
                                         return std::optional<std::int64_t>(old == 2000 ? std::int64_t{1} << 40 : old + 1);
                                     }),
                 data::EConvertError);
    EXPECT_EQ(LoanBooks(), before);
    EXPECT_EQ(LoanIndexes(), indexes);
    EXPECT_EQ(loans.FieldByName("CisloKnihy").AsInteger(), 1);

    // Inside the caller's transaction the caller decides.
    {
        data::TTransaction transaction;
        EXPECT_EQ(loans.RenumberField("CisloKnihy", [](std::int64_t old) { return std::optional<std::int64_t>(-old); }),
                  2000);
        EXPECT_EQ(loans.FieldByName("CisloKnihy").AsInteger(), -1);
        transaction.Rollback();
    }
    EXPECT_EQ(LoanBooks(), before);
    EXPECT_EQ(LoanIndexes(), indexes);
    EXPECT_EQ(Check(), (Rows{{"ok"}}));
}

} // namespace
