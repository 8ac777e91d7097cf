// A posted edit whose values the table holds already, in the form a write would store, writes
// nothing and leaves the record as a write would; any other edit is written.

#include "LibraryFolder.h"

#include "platform/data/Session.h"
#include "platform/data/Table.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <stdexcept>
#include <string>

using namespace data;
using data_test::LibraryFolder;

namespace {

// Runs SQL on the loans file with a connection of its own (no dataset may hold the file).
std::string OnLoansFile(const std::string& sql)
{
    sqlite3* db = nullptr;
    if (sqlite3_open("Výpůjčky.db", &db) != SQLITE_OK)
        throw std::runtime_error("cannot open the loans file");
    std::string result;
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
        const std::string message = sqlite3_errmsg(db);
        sqlite3_close(db);
        throw std::runtime_error(message);
    }
    if (sqlite3_step(statement) == SQLITE_ROW && sqlite3_column_text(statement, 0) != nullptr)
        result = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return result;
}

int Writes() { return sqlite3_total_changes(Session::Instance().Db()); }

struct PostCase {
    const char* column;
    const char* stored;      // SQL literal in the file before the edit
    const char* assigned;    // text assigned to the field
    bool written;
    const char* storedAfter; // the column's storage class and value afterwards
};

void PrintTo(const PostCase& c, std::ostream* out) { *out << c.column << " " << c.stored << " <- '" << c.assigned << "'"; }

class UnchangedPost : public ::testing::TestWithParam<PostCase> {
protected:
    LibraryFolder folder;
};

TEST_P(UnchangedPost, WritesOnlyWhatWouldChangeTheFile)
{
    const PostCase& c = GetParam();
    OnLoansFile("INSERT INTO \"Výpůjčky\" (CisloCtenare, CisloKnihy, Pujceno, Dnu, VracenoB) "
                "VALUES (1, 2, '2023-09-01', 5, 0)");
    OnLoansFile(std::string("UPDATE \"Výpůjčky\" SET ") + c.column + " = " + c.stored);
    {
        TTable loans;
        loans.TableName = "Výpůjčky.db";
        loans.Open();
        TField& field = loans.FieldByName(c.column);
        loans.Edit();
        field.SetAsString(c.assigned);
        const int before = Writes();
        loans.Post();
        EXPECT_EQ(Writes() - before, c.written ? 1 : 0);
        EXPECT_EQ(loans.State(), TDataSetState::dsBrowse);
        EXPECT_FALSE(loans.Modified());
        EXPECT_FALSE(loans.Eof());
        // The record reads back as assigned, also in another dataset and after moving away.
        const std::string readBack = field.AsString();
        TTable other;
        other.TableName = "Výpůjčky.db";
        other.Open();
        EXPECT_EQ(other.FieldByName(c.column).AsString(), readBack);
        loans.Next();
        loans.First();
        EXPECT_EQ(field.AsString(), readBack);
    }
    EXPECT_EQ(OnLoansFile(std::string("SELECT typeof(") + c.column + ") || ':' || ifnull(" + c.column + ", '') FROM \"Výpůjčky\""),
              c.storedAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Loans, UnchangedPost,
    ::testing::Values(PostCase{"Dnu", "5", "5", false, "integer:5"},
                      PostCase{"Dnu", "5", "6", true, "integer:6"},
                      PostCase{"Dnu", "CAST('5' AS BLOB)", "5", true, "integer:5"}, // as another program wrote it
                      PostCase{"Dnu", "5.5", "6", true, "integer:6"},        // a real read as the nearest integer
                      PostCase{"VracenoB", "0", "False", false, "integer:0"},
                      PostCase{"VracenoB", "2", "True", true, "integer:1"},  // read as true, stored as 1
                      PostCase{"VracenoB", "'True'", "True", true, "integer:1"},
                      PostCase{"Pujceno", "'2023-09-01'", "1.9.2023", false, "text:2023-09-01"},
                      PostCase{"Pujceno", "'2023-09-01 10:00:00'", "1.9.2023 10:00:00", false,
                               "text:2023-09-01 10:00:00"},
                      PostCase{"Pujceno", "'2023-09-01 00:00:00'", "1.9.2023", true, "text:2023-09-01"},
                      PostCase{"Pujceno", "'2023-09-01T10:00:00'", "1.9.2023 10:00:00", true,
                               "text:2023-09-01 10:00:00"},
                      PostCase{"Pujceno", "'2023-09-01'", "2.9.2023", true, "text:2023-09-02"},
                      PostCase{"Vraceno", "NULL", "", false, "null:"},
                      PostCase{"Vraceno", "'nonsense'", "", true, "null:"}, // reads as empty, is not
                      PostCase{"Vraceno", "NULL", "3.9.2023", true, "text:2023-09-03"}));

class Posting : public ::testing::Test {
protected:
    void SetUp() override
    {
        loans.TableName = "Výpůjčky.db";
        loans.Open();
        for (int i = 1; i <= 3; ++i) {
            loans.Append();
            loans.FieldByName("CisloKnihy").SetAsInteger(i);
            loans.FieldByName("Dnu").SetAsInteger(10 * i);
            loans.FieldByName("VracenoB").SetAsString("False");
            loans.Post();
        }
        loans.First();
    }
    LibraryFolder folder;
    TTable loans;
};

TEST_F(Posting, AValueAnotherDatasetChangedMeanwhileIsWrittenBack)
{
    TTable other;
    other.TableName = "Výpůjčky.db";
    other.Open();
    other.Edit();
    other.FieldByName("Dnu").SetAsInteger(99);
    other.Post();
    // This dataset still shows 10, and assigns 10 again: the table holds 99, so it is written.
    EXPECT_EQ(loans.FieldByName("Dnu").AsInteger(), 10);
    loans.Edit();
    loans.FieldByName("Dnu").SetAsInteger(10);
    const int before = Writes();
    loans.Post();
    EXPECT_EQ(Writes() - before, 1);
    other.First();
    EXPECT_EQ(other.FieldByName("Dnu").AsInteger(), 10);
}

TEST_F(Posting, AnUnchangedRecordKeepsItsPlaceInAFilteredList)
{
    loans.SetFilter("VracenoB='False'");
    loans.SetFiltered(true);
    loans.Next();
    int afterPosts = 0;
    loans.AfterPost = [&](TDataSet&) { ++afterPosts; };
    loans.Edit();
    loans.FieldByName("VracenoB").SetAsString("False");
    loans.FieldByName("Dnu").SetAsInteger(20);
    const int before = Writes();
    loans.Post();
    EXPECT_EQ(Writes(), before);
    EXPECT_EQ(afterPosts, 1);
    EXPECT_EQ(loans.RecNo(), 2);
    EXPECT_EQ(loans.RecordCount(), 3);
    // A real change still leaves the filtered list.
    loans.Edit();
    loans.FieldByName("VracenoB").SetAsString("True");
    loans.Post();
    EXPECT_EQ(Writes() - before, 1);
    EXPECT_EQ(loans.RecordCount(), 2);
    EXPECT_EQ(loans.FieldByName("Dnu").AsInteger(), 30);
}

TEST_F(Posting, TheSameValuesInsideATransactionThatIsRolledBack)
{
    {
        TTransaction transaction;
        loans.Edit();
        loans.FieldByName("Dnu").SetAsInteger(11);
        loans.Post();
        transaction.Rollback();
    }
    // The table holds 10 again; assigning 11 must write it, not trust what was posted.
    loans.First();
    EXPECT_EQ(loans.FieldByName("Dnu").AsInteger(), 10);
    loans.Edit();
    loans.FieldByName("Dnu").SetAsInteger(11);
    const int before = Writes();
    loans.Post();
    EXPECT_EQ(Writes() - before, 1);
    loans.Edit();
    loans.FieldByName("Dnu").SetAsInteger(11);
    loans.Post();
    EXPECT_EQ(Writes() - before, 1);
}

} // namespace
