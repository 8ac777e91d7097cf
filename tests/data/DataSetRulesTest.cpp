// The dataset rules the windows rely on, on real table files.

#include "LibraryFolder.h"

#include "platform/data/LoanFields.h"
#include "platform/data/Quote.h"
#include "platform/data/Table.h"

#include <gtest/gtest.h>

using namespace data;
using data_test::LibraryFolder;

namespace {

void AddBook(TTable& books, const std::string& code, const std::string& title, const char* lent = "False")
{
    books.Append();
    books.FieldByName("Kod").SetAsString(code);
    books.FieldByName("Nazev").SetAsString(title);
    books.FieldByName("Pujceno").SetAsString(lent);
    books.Post();
}

std::vector<std::string> Codes(TTable& books)
{
    std::vector<std::string> codes;
    for (books.First(); !books.Eof(); books.Next())
        codes.push_back(books.FieldByName("Kod").AsString());
    return codes;
}

class DataSetRules : public ::testing::Test {
protected:
    void SetUp() override
    {
        books.Name = "Table2";
        books.TableName = "Knihy.DB";
        books.Open();
        AddBook(books, "A1", "Babička");
        AddBook(books, "B2", "Bylo nebylo", "True");
        AddBook(books, "C3", "Cesta");
        AddBook(books, "D4", "Dášeňka", "True");
    }
    LibraryFolder folder;
    TTable books;
};

TEST_F(DataSetRules, FilterTextSavesThePendingEditAndMovesToTheFirstPassingRecord)
{
    books.SetFiltered(true);
    books.First();
    books.Next();
    books.Edit();
    books.FieldByName("Nazev").SetAsString("Bylo nebylo II");
    books.SetFilter("Pujceno='True'");
    EXPECT_EQ(books.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(books.FieldByName("Kod").AsString(), "B2");
    EXPECT_EQ(books.FieldByName("Nazev").AsString(), "Bylo nebylo II");
    EXPECT_EQ(books.RecordCount(), 2);
}

TEST_F(DataSetRules, AnUnchangedNewRecordIsDroppedWhenFilteringSwitches)
{
    books.Append();
    books.SetFiltered(true);
    EXPECT_EQ(books.RecordCount(), 4);
    books.Append();
    books.FieldByName("Kod").SetAsString("E5");
    books.SetFiltered(false); // a changed one is saved
    EXPECT_EQ(books.RecordCount(), 5);
}

TEST_F(DataSetRules, AFilterTextSetWhileFilteringIsOffWaitsForTheSwitch)
{
    books.SetFilter("Kod='C3'");
    EXPECT_EQ(books.RecordCount(), 4);
    EXPECT_EQ(books.FieldByName("Kod").AsString(), "A1");
    books.SetFiltered(true);
    EXPECT_EQ(books.RecordCount(), 1);
    EXPECT_EQ(books.FieldByName("Kod").AsString(), "C3");
}

TEST_F(DataSetRules, SwitchingFilteringOnWithTheSameTextMovesToTheFirstRecord)
{
    books.SetFilter("Pujceno='False'");
    books.SetFiltered(true);
    books.Next();
    ASSERT_EQ(books.FieldByName("Kod").AsString(), "C3");
    books.SetFiltered(true);
    EXPECT_EQ(books.FieldByName("Kod").AsString(), "A1");
    EXPECT_TRUE(books.Bof());
}

TEST_F(DataSetRules, RecordCountAndEofSeeOnlyPassingRecords)
{
    books.SetFilter("Pujceno='True'");
    books.SetFiltered(true);
    EXPECT_EQ(books.RecordCount(), 2);
    EXPECT_EQ(Codes(books), (std::vector<std::string>{"B2", "D4"}));
    books.SetFilter("Kod='none'");
    EXPECT_EQ(books.RecordCount(), 0);
    EXPECT_TRUE(books.Eof());
    EXPECT_TRUE(books.IsEmpty());
    EXPECT_EQ(books.FieldByName("Kod").AsString(), "");
}

TEST_F(DataSetRules, AQuotedNumberMatchesAnIntegerField)
{
    books.SetFilter("Cislo='3'");
    books.SetFiltered(true);
    ASSERT_EQ(books.RecordCount(), 1);
    EXPECT_EQ(books.FieldByName("Kod").AsString(), "C3");
}

TEST_F(DataSetRules, AValueWithQuotesIsJustText)
{
    AddBook(books, "O'1", "Tom \"Sawyer\" O'Neill");
    books.SetFilter("Nazev=" + QuoteValue("Tom \"Sawyer\" O'Neill"));
    books.SetFiltered(true);
    ASSERT_EQ(books.RecordCount(), 1);
    books.SetFilter("Kod=" + QuoteValue("O'1"));
    EXPECT_EQ(books.RecordCount(), 1);
}

TEST_F(DataSetRules, AFilterThatCannotBeReadRaisesAndChangesNothing)
{
    books.SetFilter("Pujceno='True'");
    books.SetFiltered(true);
    EXPECT_THROW(books.SetFilter("Kod='O'Neill'"), EDatabaseError);
    EXPECT_EQ(books.Filter(), "Pujceno='True'");
    EXPECT_EQ(books.RecordCount(), 2);
}

TEST_F(DataSetRules, EditOnAnEmptyDatasetStartsANewRecord)
{
    books.SetFilter("Kod='X'");
    books.SetFiltered(true);
    books.Edit();
    EXPECT_EQ(books.State(), TDataSetState::dsInsert);
    books.FieldByName("Kod").SetAsString("X");
    books.Post();
    EXPECT_EQ(books.RecordCount(), 1);
    EXPECT_EQ(books.FieldByName("Cislo").AsInteger(), 5);
}

TEST_F(DataSetRules, InsertDropsAnUnchangedPendingRecordAndPostSavesEvenUnchanged)
{
    books.Insert();
    books.Insert();
    books.Post(); // nothing assigned, still saved
    EXPECT_EQ(books.RecordCount(), 5);
    EXPECT_EQ(books.FieldByName("Cislo").AsInteger(), 5);
    EXPECT_EQ(books.FieldByName("Kod").AsString(), "");
}

TEST_F(DataSetRules, APostedRecordThatNoLongerPassesLeavesTheList)
{
    books.SetFilter("Pujceno='True'");
    books.SetFiltered(true);
    books.Edit();
    books.FieldByName("Pujceno").SetAsString("False");
    books.Post();
    EXPECT_EQ(books.RecordCount(), 1);
    EXPECT_EQ(books.FieldByName("Kod").AsString(), "D4");
    AddBook(books, "E5", "Ema", "True");  // passes: joins
    AddBook(books, "F6", "Fik", "False"); // does not
    EXPECT_EQ(Codes(books), (std::vector<std::string>{"D4", "E5"}));
}

TEST_F(DataSetRules, TextsConvertToTheFieldType)
{
    books.First();
    books.Edit();
    books.FieldByName("CenaX").SetAsString("149,90");
    books.FieldByName("RokVydani").SetAsString("1855");
    EXPECT_THROW(books.FieldByName("RokVydani").SetAsString("letos"), EConvertError);
    EXPECT_THROW(books.FieldByName("Pujceno").SetAsString("ano"), EConvertError);
    books.Post();
    EXPECT_EQ(books.FieldByName("CenaX").AsCurrency().units, 1499000);
    EXPECT_EQ(books.FieldByName("RokVydani").AsInteger(), 1855);
    EXPECT_EQ(books.FieldByName("Pujceno").AsString(), "False");
    books.Edit();
    books.FieldByName("RokVydani").SetAsString("");
    books.Post();
    EXPECT_TRUE(books.FieldByName("RokVydani").IsNull());
    EXPECT_THROW(books.FieldByName("Cislo").SetAsInteger(9), EDatabaseError); // not in edit mode
    books.Edit();
    EXPECT_THROW(books.FieldByName("Cislo").SetAsInteger(9), EDatabaseError); // record number is read-only
    books.Cancel();
}

class Loans : public ::testing::Test {
protected:
    void SetUp() override
    {
        readers.TableName = "Čtenáři.db";
        books.TableName = "Knihy.DB";
        loans.TableName = "Výpůjčky.db";
        DefineLoanFields(loans, readers, books);
        readers.Open();
        books.Open();
        for (const char* name : {"Novák Jan", "Dvořáková Eva"}) {
            readers.Append();
            readers.FieldByName("Jmeno").SetAsString(name);
            readers.Post();
        }
        AddBook(books, "K1", "Krakatit");
        AddBook(books, "R2", "R.U.R.");
        loans.SetFilter("VracenoB='False'");
        loans.SetFiltered(true);
        loans.Open();
        Lend(1, 2, "3.9.2024");
        Lend(2, 1, "4.9.2024");
    }
    void Lend(int reader, int book, const char* date)
    {
        loans.Append();
        loans.FieldByName("CisloCtenare").SetAsInteger(reader);
        loans.FieldByName("CisloKnihy").SetAsInteger(book);
        loans.FieldByName("Pujceno").SetAsString(date);
        loans.FieldByName("VracenoB").SetAsString("False");
        loans.Post();
    }
    LibraryFolder folder;
    TTable readers, books, loans;
};

TEST_F(Loans, FieldOrderAndLookedUpNames)
{
    std::vector<std::string> names;
    for (const auto& f : loans.Fields())
        names.push_back(f->FieldName());
    EXPECT_EQ(names, (std::vector<std::string>{"Cislo", "CisloCtenare", "Ctenar", "CisloKnihy", "KodKnihy", "Kniha",
                                               "Pujceno", "Vraceno", "Dnu", "VracenoB"}));
    loans.First();
    EXPECT_EQ(loans.FieldByName("Ctenar").AsString(), "Novák Jan");
    EXPECT_EQ(loans.FieldByName("KodKnihy").AsString(), "R2");
    EXPECT_EQ(loans.FieldByName("Kniha").AsString(), "R.U.R.");
    EXPECT_EQ(loans.FieldByName("Pujceno").AsString(), "3.9.2024"); // no time part
}

TEST_F(Loans, LookUpsIgnoreAOneRecordFilterOnTheSourceAndFollowItsChanges)
{
    readers.SetFilter("Cislo='2'");
    readers.SetFiltered(true);
    books.SetFilter("Kod='K1'");
    books.SetFiltered(true);
    loans.First();
    EXPECT_EQ(loans.FieldByName("Ctenar").AsString(), "Novák Jan");
    EXPECT_EQ(loans.FieldByName("Kniha").AsString(), "R.U.R.");
    readers.SetFiltered(false);
    readers.First();
    readers.Edit();
    readers.FieldByName("Jmeno").SetAsString("Nováková Jana");
    readers.Post();
    EXPECT_EQ(loans.FieldByName("Ctenar").AsString(), "Nováková Jana");
    std::vector<Value> row;
    ASSERT_TRUE(loans.ReadRecordAt(1, row));
    EXPECT_EQ(std::get<std::string>(row[2]), "Dvořáková Eva");
    EXPECT_EQ(std::get<std::string>(row[4]), "K1");
}

TEST_F(Loans, ADeletedReaderOrBookLeavesTheNameEmpty)
{
    readers.First();
    readers.Delete();
    books.Last();
    books.Delete();
    loans.First();
    EXPECT_EQ(loans.FieldByName("Ctenar").AsString(), "");
    EXPECT_EQ(loans.FieldByName("Kniha").AsString(), "");
    loans.Next();
    EXPECT_EQ(loans.FieldByName("Ctenar").AsString(), "Dvořáková Eva");
}

TEST_F(Loans, AReturnedLoanLeavesTheOpenLoansAndDatesReadBack)
{
    loans.First();
    loans.Edit();
    loans.FieldByName("Vraceno").SetAsString("13.9.2024");
    loans.FieldByName("VracenoB").SetAsString("True");
    loans.Post();
    EXPECT_EQ(loans.RecordCount(), 1);
    EXPECT_EQ(loans.FieldByName("Cislo").AsInteger(), 2);
    loans.SetFiltered(false);
    loans.First();
    EXPECT_EQ(loans.FieldByName("Vraceno").AsString(), "13.9.2024");
    EXPECT_EQ(static_cast<int>(loans.FieldByName("Vraceno").AsDateTime().days -
                               loans.FieldByName("Pujceno").AsDateTime().days),
              10);
    loans.Edit();
    loans.FieldByName("Vraceno").SetAsString(""); // clears
    loans.Post();
    EXPECT_TRUE(loans.FieldByName("Vraceno").IsNull());
}

TEST_F(Loans, TheFilterEventNarrowsRecordsInCode)
{
    loans.Close();
    loans.SetFilter("");
    loans.OnFilterRecord = [](TDataSet& ds, bool& accept) { accept = ds.FieldByName("CisloKnihy").AsInteger() == 1; };
    loans.Open();
    EXPECT_EQ(loans.RecordCount(), 1);
    EXPECT_EQ(loans.FieldByName("Ctenar").AsString(), "Dvořáková Eva");
    loans.SetFiltered(false);
    EXPECT_EQ(loans.RecordCount(), 2);
}

} // namespace
