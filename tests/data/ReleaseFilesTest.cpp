// Releasing table files for replacement: the session finds every dataset over a file by itself,
// closes it, drops the attachment, refuses while something still holds the file, and opens the
// datasets again over whatever file then carries the name. Also the folder lock held for a
// program's life and the one resolver of table file names.

#include "LibraryFolder.h"
#include "sys/ChildProcess.h"

#include "platform/data/Query.h"
#include "platform/data/Session.h"
#include "platform/data/Table.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <stdexcept>

using namespace data;
using data_test::LibraryFolder;
using systest::RunInChild;
namespace fs = std::filesystem;

namespace {

void AddBook(TTable& books, const std::string& code)
{
    books.Append();
    books.FieldByName("Kod").SetAsString(code);
    books.FieldByName("Pujceno").SetAsString("False");
    books.Post();
}

int CountBooks()
{
    TTable books;
    books.TableName = "Knihy.DB";
    books.Open();
    return books.RecordCount();
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// Three "windows" of their own, each owning datasets the releasing code never names.
struct Owners {
    TTable books;          // a window's table over the books
    TQuery booksList;      // another window's query over them
    TTable loans;          // a table over another file
    TTable keywords;       // not among the released files
    std::vector<std::string> opened;
    Owners()
    {
        books.Name = "Table2";
        books.TableName = "Knihy.DB";
        booksList.Name = "Query1";
        booksList.SQL.Add("SELECT * FROM Knihy");
        booksList.SQL.Add("ORDER BY Kod");
        loans.Name = "Table3";
        loans.TableName = "Výpůjčky.db";
        keywords.Name = "Table9";
        keywords.TableName = "KlicovaSlova.DB";
        for (TDataSet* d : std::initializer_list<TDataSet*>{&loans, &books, &booksList, &keywords})
            d->AfterOpen = [this](TDataSet& s) { opened.push_back(s.Name); };
        loans.Open();
        books.Open();
        booksList.Open();
        keywords.Open();
        opened.clear();
    }
};

TEST(ReleaseFiles, ClosesEveryDatasetOverTheFilesAndReopensThemOverTheNewFiles)
{
    LibraryFolder folder;
    Owners owners;
    AddBook(owners.books, "A");
    const fs::path books = folder.File("Knihy.DB");
    const fs::path copy = folder.Path() / "copy.db";
    fs::copy_file(books, copy);
    AddBook(owners.books, "B");

    TReleasedTables released =
        Session::Instance().ReleaseTableFiles({folder.File("Výpůjčky.db"), folder.Path() / "knihy.db"});
    EXPECT_FALSE(owners.books.Active());
    EXPECT_FALSE(owners.booksList.Active());
    EXPECT_FALSE(owners.loans.Active());
    EXPECT_TRUE(owners.keywords.Active()); // another file: left alone
    EXPECT_FALSE(Session::Instance().IsAttached(books));
    EXPECT_FALSE(Session::Instance().IsAttached(folder.File("Výpůjčky.db")));
    EXPECT_EQ(released.DataSets().size(), 3u);

    // The file is free to be replaced; reopening reads the new one, in the order of first opening.
    fs::rename(copy, books);
    released.Reopen();
    EXPECT_TRUE(released.Empty());
    EXPECT_EQ(owners.opened, (std::vector<std::string>{"Table3", "Table2", "Query1"}));
    EXPECT_EQ(owners.books.RecordCount(), 1);
    EXPECT_EQ(owners.booksList.RecordCount(), 1);
    AddBook(owners.books, "C");
    owners.booksList.Close();
    owners.booksList.Open();
    EXPECT_EQ(owners.booksList.RecordCount(), 2);
}

// A list in Czech order over a file replaced by one whose records carry other titles under the
// same record numbers, some the same: the sort keys of the old file are taken up only where the
// text is the same, so the order is that of the new titles.
TEST(ReleaseFiles, AListSortedByTitleFollowsTheTitlesOfTheNewFile)
{
    LibraryFolder folder;
    const auto addTitles = [](const std::vector<std::string>& titles) {
        TTable books;
        books.TableName = "Knihy.DB";
        books.Open();
        for (const std::string& title : titles) {
            books.Append();
            books.FieldByName("Kod").SetAsString("K" + title);
            books.FieldByName("Nazev").SetAsString(title);
            books.Post();
        }
    };
    const fs::path books = folder.File("Knihy.DB");
    const fs::path other = folder.Path() / "jiné.db";
    fs::copy_file(books, other);
    addTitles({"Čáp", "Ábel", "Zub", "Hrad"});
    const fs::path kept = folder.Path() / "původní.db";
    fs::copy_file(books, kept);
    {
        // The other file: the same record numbers, the first and third titles changed.
        fs::rename(books, folder.Path() / "stranou.db");
        fs::copy_file(other, books);
        addTitles({"Žába", "Ábel", "Celer", "Hrad"});
        fs::rename(books, other);
        fs::rename(folder.Path() / "stranou.db", books);
    }
    TQuery byTitle;
    byTitle.SQL.Add("SELECT * FROM Knihy");
    byTitle.SQL.Add("ORDER BY Nazev");
    byTitle.Open();
    const auto titles = [&byTitle] {
        std::vector<std::string> list;
        for (byTitle.First(); !byTitle.Eof(); byTitle.Next())
            list.push_back(byTitle.FieldByName("Nazev").AsString());
        return list;
    };
    EXPECT_EQ(titles(), (std::vector<std::string>{"Ábel", "Čáp", "Hrad", "Zub"}));

    TReleasedTables released = Session::Instance().ReleaseTableFiles({books});
    fs::rename(other, books);
    released.Reopen();
    EXPECT_EQ(titles(), (std::vector<std::string>{"Ábel", "Celer", "Hrad", "Žába"}));

    released = Session::Instance().ReleaseTableFiles({books});
    fs::rename(kept, books);
    released.Reopen();
    EXPECT_EQ(titles(), (std::vector<std::string>{"Ábel", "Čáp", "Hrad", "Zub"}));
}

TEST(ReleaseFiles, APendingEditIsSavedFirstAndOneThatCannotBeSavedStopsTheRelease)
{
    LibraryFolder folder;
    Owners owners;
    AddBook(owners.books, "A");
    owners.books.Edit();
    owners.books.FieldByName("Kod").SetAsString("A2");
    {
        TReleasedTables released = Session::Instance().ReleaseTableFiles({folder.File("Knihy.DB")});
        released.Reopen();
    }
    owners.books.First();
    EXPECT_EQ(owners.books.FieldByName("Kod").AsString(), "A2");

    owners.books.BeforePost = [](TDataSet&) { throw EDatabaseError("nelze uložit"); };
    owners.books.Edit();
    owners.books.FieldByName("Kod").SetAsString("A3");
    EXPECT_THROW(Session::Instance().ReleaseTableFiles({folder.File("Knihy.DB")}), EDatabaseError);
    // Nothing was closed and the edit is still there to be saved or dropped.
    EXPECT_TRUE(owners.booksList.Active());
    EXPECT_EQ(owners.books.State(), TDataSetState::dsEdit);
    EXPECT_EQ(owners.books.FieldByName("Kod").AsString(), "A3");
    owners.books.Cancel();
}

struct Holder {
    const char* name;
    std::function<std::function<void()>(const fs::path&)> hold; // returns how to let go
    const char* message;
};

class ReleaseRefused : public ::testing::TestWithParam<Holder> {};

TEST_P(ReleaseRefused, LeavesEverythingOpenAndSaysWhy)
{
    LibraryFolder folder;
    Owners owners;
    AddBook(owners.books, "A");
    const auto letGo = GetParam().hold(folder.File("Knihy.DB"));
    try {
        (void)Session::Instance().ReleaseTableFiles({folder.File("Výpůjčky.db"), folder.File("Knihy.DB")});
        ADD_FAILURE() << "released while held";
    } catch (const EDatabaseError& e) {
        EXPECT_TRUE(Contains(e.what(), GetParam().message)) << e.what();
    }
    EXPECT_TRUE(owners.books.Active());
    EXPECT_TRUE(owners.booksList.Active());
    EXPECT_TRUE(owners.loans.Active());
    EXPECT_EQ(owners.books.RecordCount(), 1);
    letGo();
    TReleasedTables released = Session::Instance().ReleaseTableFiles({folder.File("Knihy.DB")});
    EXPECT_FALSE(Session::Instance().IsAttached(folder.File("Knihy.DB")));
    released.Reopen();
}

INSTANTIATE_TEST_SUITE_P(
    Holders, ReleaseRefused,
    ::testing::Values(
        Holder{"transaction",
               [](const fs::path&) {
                   auto transaction = std::make_shared<TTransaction>();
                   return std::function<void()>([transaction] { transaction->Rollback(); });
               },
               "transakce"},
        Holder{"attachment",
               [](const fs::path& file) {
                   auto held = std::make_shared<std::shared_ptr<TableFile>>(Session::Instance().Attach(file));
                   return std::function<void()>([held] { held->reset(); });
               },
               "'Knihy.DB' stále používá"}),
    [](const ::testing::TestParamInfo<Holder>& param) { return std::string(param.param.name); });

TEST(ReleaseFiles, AFailedReopeningLeavesAllReleasedToBeTriedAgain)
{
    LibraryFolder folder;
    Owners owners;
    AddBook(owners.books, "A");
    const fs::path books = folder.File("Knihy.DB");
    const fs::path aside = folder.Path() / "aside.db";
    TReleasedTables released = Session::Instance().ReleaseTableFiles({books, folder.File("Výpůjčky.db")});
    fs::rename(books, aside);
    fs::copy_file(folder.File("Čtenáři.db"), books); // a file of another table
    EXPECT_THROW(released.Reopen(), EDatabaseError);
    EXPECT_FALSE(owners.loans.Active()); // opened before the books failed, closed again
    EXPECT_FALSE(owners.books.Active());
    EXPECT_FALSE(released.Empty());
    EXPECT_FALSE(Session::Instance().IsAttached(books));
    fs::rename(aside, books);
    released.Reopen();
    EXPECT_TRUE(owners.loans.Active());
    EXPECT_EQ(owners.books.RecordCount(), 1);
}

TEST(ReleaseFiles, ADatasetDestroyedMeanwhileIsSkipped)
{
    LibraryFolder folder;
    auto books = std::make_unique<TTable>();
    books->TableName = "Knihy.DB";
    books->Open();
    TTable loans;
    loans.TableName = "Výpůjčky.db";
    loans.Open();
    TReleasedTables released = Session::Instance().ReleaseTableFiles({folder.File("Knihy.DB"), folder.File("Výpůjčky.db")});
    books.reset();
    EXPECT_EQ(released.DataSets().size(), 1u);
    released.Reopen();
    EXPECT_TRUE(loans.Active());
}

// While the files are released the folder stays locked, so a second program cannot start and
// write beside the one replacing them.
TEST(ReleaseFiles, TheFolderStaysLockedWhileItsFilesAreReleased)
{
    LibraryFolder folder;
    auto tryOpen = [] {
        return RunInChild([] {
            TTable mine;
            mine.TableName = "KlicovaSlova.DB";
            try {
                mine.Open();
            } catch (const EDatabaseError& e) {
                return Contains(e.what(), "jiný spuštěný program") ? 10 : 2;
            }
            return 0;
        });
    };
    {
        TTable books;
        books.TableName = "Knihy.DB";
        books.Open();
        TReleasedTables released = Session::Instance().ReleaseTableFiles({folder.File("Knihy.DB")});
        EXPECT_EQ(Session::Instance().AttachedCount(), 0);
        EXPECT_EQ(tryOpen(), 10);
        released.Reopen();
    }
    EXPECT_EQ(tryOpen(), 0); // everything closed: the folder is free again
}

TEST(Session, AHeldFolderRefusesASecondProgramEvenWithNoTableOpen)
{
    LibraryFolder folder;
    Session::Instance().HoldFolder(folder.Path());
    Session::Instance().HoldFolder(folder.Path()); // once is enough
    EXPECT_EQ(Session::Instance().AttachedCount(), 0);
    const int status = RunInChild([&] {
        try {
            Session::Instance().HoldFolder(folder.Path());
        } catch (const EDatabaseError& e) {
            return Contains(e.what(), "jiný spuštěný program") ? 0 : 2;
        }
        return 1;
    });
    EXPECT_EQ(status, 0);
    // Its own tables open and close as before.
    TTable books;
    books.TableName = "Knihy.DB";
    books.Open();
    AddBook(books, "A");
    books.Close();
    EXPECT_EQ(CountBooks(), 1);
}

TEST(Session, TwoFilesWhoseNamesDifferOnlyInCaseAreRefused)
{
    LibraryFolder folder;
    fs::copy_file(folder.File("Knihy.DB"), folder.File("KNIHY.db"));
    for (const char* name : {"Knihy.DB", "knihy.db"}) {
        try {
            (void)Session::ResolveTableFile(folder.Path(), name);
            ADD_FAILURE() << name << " resolved";
        } catch (const EDatabaseError& e) {
            EXPECT_TRUE(Contains(e.what(), "'KNIHY.db', 'Knihy.DB'")) << e.what();
            EXPECT_TRUE(Contains(e.what(), "liší jen velikostí písmen")) << e.what();
        }
    }
    TTable table;
    table.TableName = "Knihy.DB";
    EXPECT_THROW(table.Open(), EDatabaseError);
    TQuery query;
    query.SQL.Add("SELECT * FROM Knihy");
    EXPECT_THROW(query.Open(), EDatabaseError);
    // Other tables of the folder are unaffected.
    TTable loans;
    loans.TableName = "výpůjčky.DB";
    EXPECT_NO_THROW(loans.Open());
    fs::remove(folder.File("KNIHY.db"));
    EXPECT_EQ(Session::ResolveTableFile(folder.Path(), "knihy.db").filename(), "Knihy.DB");
}

} // namespace
