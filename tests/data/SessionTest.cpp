// The engine session: attaching and detaching files, transactions over several tables, a second
// program on the same folder, and crashes in the middle of a commit.

#include "LibraryFolder.h"
#include "sys/ChildProcess.h"

#include "platform/data/Session.h"
#include "platform/data/Table.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <csignal>
#include <fstream>
#include <map>
#include <sstream>
#include <unistd.h>

using namespace data;
using data_test::LibraryFolder;
using systest::RunInChild;
namespace fs = std::filesystem;

namespace {

std::map<std::string, std::string> FolderContents(const fs::path& folder)
{
    std::map<std::string, std::string> contents;
    for (const auto& entry : fs::directory_iterator(folder)) {
        std::ifstream in(entry.path(), std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        contents[entry.path().filename().string()] = bytes.str();
    }
    return contents;
}

void AddBook(TTable& books, const std::string& code)
{
    books.Append();
    books.FieldByName("Kod").SetAsString(code);
    books.FieldByName("Pujceno").SetAsString("False");
    books.Post();
}

// Lends book 1: the book marked lent and a loan appended, in one transaction.
void Lend(TTable& books, TTable& loans)
{
    books.SetFilter("Cislo='1'");
    books.SetFiltered(true);
    books.Edit();
    books.FieldByName("Pujceno").SetAsString("True");
    books.FieldByName("Vlastnosti").SetAsString("Půjčená");
    books.SetFiltered(false);
    loans.Append();
    loans.FieldByName("CisloKnihy").SetAsInteger(1);
    loans.FieldByName("Pujceno").SetAsString("2.9.2024");
    loans.FieldByName("VracenoB").SetAsString("False");
    loans.Post();
}

// "lent|loans" as the files say now.
std::string LendState()
{
    TTable books, loans;
    books.TableName = "Knihy.DB";
    loans.TableName = "Výpůjčky.db";
    books.Open();
    loans.Open();
    return books.FieldByName("Pujceno").AsString() + "|" + std::to_string(loans.RecordCount());
}

TEST(Session, FilesAreAttachedWhileADatasetHoldsThem)
{
    LibraryFolder folder;
    const fs::path file = folder.File("Knihy.DB");
    {
        TTable a, b;
        a.TableName = b.TableName = "Knihy.DB";
        a.Open();
        b.Open();
        EXPECT_TRUE(Session::Instance().IsAttached(file));
        a.Close();
        EXPECT_TRUE(Session::Instance().IsAttached(file));
        AddBook(b, "X");
    }
    EXPECT_FALSE(Session::Instance().IsAttached(file));
    EXPECT_EQ(Session::Instance().AttachedCount(), 0);
    // Detached: the file can be replaced, and the next open sees the new file.
    const fs::path copy = folder.File("Kopie.DB");
    fs::copy_file(file, copy);
    fs::copy_file(folder.File("Empty.DB").parent_path() / "Čtenáři.db", file, fs::copy_options::overwrite_existing);
    TTable wrong;
    wrong.TableName = "Knihy.DB";
    EXPECT_THROW(wrong.Open(), EDatabaseError); // now holds the readers' table
    fs::copy_file(copy, file, fs::copy_options::overwrite_existing);
    TTable c;
    c.TableName = "Knihy.DB";
    c.Open();
    EXPECT_EQ(c.RecordCount(), 1);
}

TEST(Session, ATransactionWritesSeveralTablesOrNone)
{
    LibraryFolder folder;
    TTable books, loans;
    books.TableName = "Knihy.DB";
    loans.TableName = "Výpůjčky.db";
    books.Open();
    loans.Open();
    AddBook(books, "A");
    {
        TTransaction t;
        Lend(books, loans);
        EXPECT_EQ(loans.RecordCount(), 1);
        // Leaving the block without Commit rolls back, and the datasets see it.
    }
    EXPECT_EQ(loans.RecordCount(), 0);
    books.First();
    EXPECT_EQ(books.FieldByName("Pujceno").AsString(), "False");
    {
        TTransaction outer;
        Lend(books, loans);
        {
            TTransaction inner;
            AddBook(books, "B");
            inner.Rollback();
        }
        outer.Commit();
    }
    EXPECT_EQ(books.RecordCount(), 1);
    books.Close();
    loans.Close();
    EXPECT_EQ(LendState(), "True|1");
}

TEST(Session, DatasetsClosedInsideATransactionKeepItsWrites)
{
    LibraryFolder folder;
    {
        TTransaction t;
        {
            TTable books;
            books.TableName = "Knihy.DB";
            books.Open();
            AddBook(books, "A");
        }
        t.Commit();
    }
    EXPECT_EQ(Session::Instance().AttachedCount(), 0);
    TTable books;
    books.TableName = "Knihy.DB";
    books.Open();
    EXPECT_EQ(books.RecordCount(), 1);
}

TEST(Session, ASecondProgramOnTheFolderIsRefusedAndWritesNothing)
{
    LibraryFolder folder;
    TTable books;
    books.TableName = "Knihy.DB";
    books.Open();
    AddBook(books, "A");
    const auto before = FolderContents(folder.Path());
    const int status = RunInChild([] {
        TTable mine;
        mine.TableName = "Výpůjčky.db";
        try {
            mine.Open();
        } catch (const EDatabaseError& e) {
            return std::string(e.what()).find("jiný spuštěný program") != std::string::npos ? 0 : 2;
        }
        mine.Append();
        mine.Post();
        return 1;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(FolderContents(folder.Path()), before);
    AddBook(books, "B"); // the first program goes on
    books.Close();
    // Once the first program has let go, another one may work.
    EXPECT_EQ(RunInChild([] {
                  TTable mine;
                  mine.TableName = "Knihy.DB";
                  mine.Open();
                  return mine.RecordCount() == 2 ? 0 : 1;
              }),
              0);
}

// A VFS that kills the process at its n-th file deletion. A commit over two files deletes the
// journal that ties them together first (the commit point), then each file's own journal.
sqlite3_vfs* realVfs = nullptr;
int deletesLeft = 0;
int KillingDelete(sqlite3_vfs*, const char* name, int syncDir)
{
    if (--deletesLeft == 0)
        raise(SIGKILL);
    return realVfs->xDelete(realVfs, name, syncDir);
}

void InstallKillingVfs(int deletes)
{
    static sqlite3_vfs vfs;
    realVfs = sqlite3_vfs_find(nullptr);
    vfs = *realVfs;
    vfs.zName = "killing";
    vfs.xDelete = KillingDelete;
    deletesLeft = deletes;
    sqlite3_vfs_register(&vfs, 1);
}

struct CrashCase {
    int deletes;          // kill at this file deletion; 0: kill before committing
    const char* expected; // what the files hold afterwards
};

class CrashInCommit : public ::testing::TestWithParam<CrashCase> {};

TEST_P(CrashInCommit, LeavesBothTablesConsistent)
{
    LibraryFolder folder;
    {
        TTable books;
        books.TableName = "Knihy.DB";
        books.Open();
        AddBook(books, "A");
    }
    const int deletes = GetParam().deletes;
    const int status = RunInChild([deletes] {
        InstallKillingVfs(deletes);
        TTable books, loans;
        books.TableName = "Knihy.DB";
        loans.TableName = "Výpůjčky.db";
        books.Open();
        loans.Open();
        TTransaction t;
        Lend(books, loans);
        if (deletes == 0)
            raise(SIGKILL);
        t.Commit();
        return 0;
    });
    EXPECT_EQ(status, 128 + SIGKILL);
    // Reopening after the crash finishes or undoes the commit as a whole.
    EXPECT_EQ(LendState(), GetParam().expected);
    EXPECT_EQ(LendState(), GetParam().expected);
    TTable books;
    books.TableName = "Knihy.DB";
    books.Open();
    AddBook(books, "B");
    EXPECT_EQ(books.RecordCount(), 2);
}

INSTANTIATE_TEST_SUITE_P(KillPoints, CrashInCommit,
                         ::testing::Values(CrashCase{0, "False|0"}, CrashCase{1, "False|0"}, CrashCase{2, "True|1"},
                                           CrashCase{3, "True|1"}));

} // namespace
