// Replacing table files: set aside, replaced in one step each, journalled; a rollback undoes
// exactly the steps done, and a process killed at any step leaves complete table files that the
// next start puts back to the old set (or, once committed, leaves as the new one).

#include "LibraryFolder.h"
#include "sys/ChildProcess.h"

#include "platform/data/Session.h"
#include "platform/data/Table.h"
#include "platform/data/TableFileCheck.h"
#include "platform/data/TableReplacement.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

using namespace data;
using data_test::LibraryFolder;
using systest::RunInChild;
namespace fs = std::filesystem;

namespace {

const std::vector<std::string> kTables = {"Čtenáři.db", "Knihy.DB", "Výpůjčky.db"};

std::string ReadBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void AddRecords(const std::string& table, const std::string& field, int count)
{
    TTable t;
    t.TableName = table;
    t.Open();
    for (int i = 0; i < count; ++i) {
        t.Append();
        data::TField& f = t.FieldByName(field);
        f.SetAsString(f.DataType() == TFieldType::ftString ? "záznam " + std::to_string(i) : std::to_string(i + 1));
        t.Post();
    }
}

// The program folder's tables (the old set) and, in "new/", the same tables with other records.
class Replacement : public ::testing::Test {
protected:
    void SetUp() override
    {
        AddRecords("Knihy.DB", "Kod", 3);
        AddRecords("Čtenáři.db", "Jmeno", 2);
        newFolder_ = folder_.Path() / "new";
        fs::create_directory(newFolder_);
        for (const std::string& table : kTables)
            fs::copy_file(folder_.File(table), newFolder_ / table);
        fs::current_path(newFolder_);
        AddRecords("Knihy.DB", "Kod", 5);
        AddRecords("Výpůjčky.db", "CisloKnihy", 4);
        AddRecords("Čtenáři.db", "Jmeno", 1);
        fs::current_path(folder_.Path());
        for (const std::string& table : kTables) {
            old_[table] = ReadBytes(folder_.File(table));
            new_[table] = ReadBytes(newFolder_ / table);
        }
    }

    // "old", "new" or "other" for each table file, and whether each is a complete table file.
    std::string State()
    {
        std::string state;
        for (const std::string& table : kTables) {
            const std::string bytes = ReadBytes(folder_.File(table));
            state += bytes == old_[table] ? "old " : bytes == new_[table] ? "new " : "other ";
            try {
                CheckTableFile(folder_.File(table), fs::path(table).stem().string(), std::nullopt);
            } catch (const EDatabaseError& e) {
                state += std::string("(") + e.what() + ") ";
            }
        }
        return state;
    }

    std::vector<std::string> Leftovers()
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder_.Path())) {
            const std::string name = entry.path().filename().string();
            if (name.find(".backup") != std::string::npos || name.find("lendar-new") != std::string::npos ||
                name == "Lendar.replace")
                names.push_back(name);
        }
        return names;
    }

    void ReplaceAll(TTableReplacement& r)
    {
        for (const std::string& table : kTables)
            r.SetAside(table);
        for (const std::string& table : kTables)
            r.Replace(table, newFolder_ / table);
    }

    LibraryFolder folder_;
    fs::path newFolder_;
    std::map<std::string, std::string> old_, new_;
};

TEST_F(Replacement, ACommittedReplacementLeavesTheNewFilesAndNothingElse)
{
    std::vector<std::string> steps;
    {
        TTableReplacement r(folder_.Path(), kTables, "Obnovení dat");
        r.OnStep = [&](const std::string& step) { steps.push_back(step); };
        r.Begin();
        ReplaceAll(r);
        EXPECT_EQ(State(), "new new new ");
        EXPECT_TRUE(fs::exists(folder_.Path() / "Knihy.backup"));
        r.Commit();
    }
    EXPECT_EQ(State(), "new new new ");
    EXPECT_TRUE(Leftovers().empty());
    EXPECT_EQ(RecoverTableReplacement(folder_.Path()).outcome, TReplacementRecovery::None);
    EXPECT_GT(steps.size(), 2 * kTables.size());
    TTable books;
    books.TableName = "Knihy.DB";
    books.Open();
    EXPECT_EQ(books.RecordCount(), 8);
}

// What runs while the old files are freed finds the new tables open and the commit on the disk;
// what it raises comes after the commit has finished all the same.
TEST_F(Replacement, TheWorkDoneDuringTheCommitSeesTheNewTablesAndItsErrorComesAfterTheCommit)
{
    TTableReplacement r(folder_.Path(), kTables, "Obnovení dat");
    r.Begin();
    ReplaceAll(r);
    int booksMeanwhile = -1;
    std::string journalMeanwhile;
    EXPECT_THROW(r.Commit([&] {
        TTable books;
        books.TableName = "Knihy.DB";
        books.Open();
        booksMeanwhile = books.RecordCount();
        journalMeanwhile = ReadBytes(TTableReplacement::JournalPath(folder_.Path()));
        throw std::runtime_error("obnova stránky selhala");
    }),
                 std::runtime_error);
    EXPECT_EQ(booksMeanwhile, 8);
    EXPECT_NE(journalMeanwhile.find("commit"), std::string::npos);
    EXPECT_FALSE(r.Active());
    EXPECT_EQ(State(), "new new new ");
    EXPECT_TRUE(Leftovers().empty());
    EXPECT_EQ(RecoverTableReplacement(folder_.Path()).outcome, TReplacementRecovery::None);
}

// Undoing after 0 to 6 steps (set-aside ones, then replacements) gives back the old files exactly.
class RollbackAfter : public Replacement, public ::testing::WithParamInterface<int> {};

TEST_P(RollbackAfter, UndoesExactlyTheStepsDone)
{
    TTableReplacement r(folder_.Path(), kTables, "Obnovení dat");
    r.Begin();
    int steps = GetParam();
    for (const std::string& table : kTables)
        if (steps-- > 0)
            r.SetAside(table);
    for (const std::string& table : kTables)
        if (steps-- > 0)
            r.Replace(table, newFolder_ / table);
    r.Rollback();
    EXPECT_FALSE(r.Active());
    EXPECT_EQ(State(), "old old old ");
    EXPECT_TRUE(Leftovers().empty());
}

INSTANTIATE_TEST_SUITE_P(Steps, RollbackAfter, ::testing::Range(0, 7));

TEST_F(Replacement, AFailedReplacementCanBeRolledBack)
{
    TTableReplacement r(folder_.Path(), kTables, "Obnovení dat");
    r.Begin();
    EXPECT_THROW(r.Replace("Knihy.DB", newFolder_ / "Knihy.DB"), EDatabaseError); // not set aside yet
    for (const std::string& table : kTables)
        r.SetAside(table);
    r.Replace("Čtenáři.db", newFolder_ / "Čtenáři.db");
    EXPECT_THROW(r.Replace("Knihy.DB", newFolder_ / "chybí.DB"), EDatabaseError);
    EXPECT_EQ(State(), "new old old ");
    EXPECT_FALSE(fs::exists(folder_.Path() / "Knihy.DB.lendar-new"));
    r.Rollback();
    EXPECT_EQ(State(), "old old old ");
    EXPECT_TRUE(Leftovers().empty());
}

// New contents staged beside the tables (several at once) touch no table file; a rollback or a
// commit removes every staged copy not put in place, and a failed copy leaves none.
TEST_F(Replacement, StagedCopiesTouchNoTableAndLeaveNothingBehind)
{
    {
        TTableReplacement r(folder_.Path(), kTables, "Obnovení dat");
        r.Begin();
        std::vector<std::thread> threads;
        for (const std::string& table : kTables)
            threads.emplace_back([&r, this, table] { r.Stage(table, newFolder_ / table); });
        for (std::thread& thread : threads)
            thread.join();
        EXPECT_EQ(State(), "old old old ");
        EXPECT_EQ(Leftovers().size(), kTables.size() + 1); // the copies and the journal
        r.Rollback();
        EXPECT_EQ(State(), "old old old ");
        EXPECT_TRUE(Leftovers().empty());
    }
    TTableReplacement r(folder_.Path(), kTables, "Obnovení dat");
    r.Begin();
    for (const std::string& table : kTables)
        r.SetAside(table);
    EXPECT_THROW(r.Replace("Knihy.DB"), EDatabaseError); // nothing staged for it
    r.Stage("Knihy.DB", newFolder_ / "Knihy.DB");
    r.Stage("Výpůjčky.db", newFolder_ / "Výpůjčky.db");
    r.Stage("Čtenáři.db", newFolder_ / "Čtenáři.db");
    EXPECT_THROW(r.Stage("Čtenáři.db", newFolder_ / "chybí.db"), EDatabaseError);
    EXPECT_FALSE(fs::exists(folder_.Path() / "Čtenáři.db.lendar-new"));
    EXPECT_THROW(r.Replace("Čtenáři.db"), EDatabaseError);
    r.Replace("Knihy.DB");
    EXPECT_EQ(State(), "old new old ");
    r.Commit(); // the loans' copy, never put in place, goes with the set-aside files
    EXPECT_EQ(State(), "old new old ");
    EXPECT_TRUE(Leftovers().empty());
    EXPECT_EQ(RecoverTableReplacement(folder_.Path()).outcome, TReplacementRecovery::None);
}

TEST_F(Replacement, AnInterruptedReplacementBlocksTheNextOneAndTouchesNothing)
{
    fs::copy_file(folder_.File("Knihy.DB"), folder_.Path() / "Knihy.backup");
    TTableReplacement r(folder_.Path(), kTables, "Obnovení dat");
    try {
        r.Begin();
        ADD_FAILURE() << "began";
    } catch (const EDatabaseError& e) {
        EXPECT_NE(std::string(e.what()).find("Knihy.backup"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(r.Active());
    EXPECT_FALSE(fs::exists(TTableReplacement::JournalPath(folder_.Path())));
    EXPECT_EQ(State(), "old old old ");
}

// The script run in a child process killed after its n-th step; `rollBack` undoes two
// replacements instead of committing.
int RunKilledAt(const fs::path& folder, const fs::path& newFolder, int killAt, bool rollBack)
{
    return RunInChild([&] {
        int step = 0;
        TTableReplacement r(folder, kTables, "Obnovení dat");
        r.OnStep = [&](const std::string&) {
            if (++step == killAt)
                raise(SIGKILL);
        };
        r.Begin();
        for (const std::string& table : kTables)
            r.SetAside(table);
        const int replacing = rollBack ? 2 : static_cast<int>(kTables.size());
        for (int i = 0; i < replacing; ++i)
            r.Replace(kTables[static_cast<std::size_t>(i)], newFolder / kTables[static_cast<std::size_t>(i)]);
        if (rollBack)
            r.Rollback();
        else
            r.Commit();
        return 0;
    });
}

class KilledReplacement : public Replacement, public ::testing::WithParamInterface<bool> {};

TEST_P(KilledReplacement, LeavesCompleteFilesAndTheNextStartPutsBackOneWholeSet)
{
    const bool rollBack = GetParam();
    int killAt = 1;
    for (;; ++killAt) {
        ASSERT_LT(killAt, 100);
        const int status = RunKilledAt(folder_.Path(), newFolder_, killAt, rollBack);
        if (status == 0)
            break; // the script ran to its end before the n-th step
        ASSERT_EQ(status, 128 + SIGKILL);
        const std::string killed = State();
        // Each table file is complete: old or new, never a mixture or a missing one.
        for (const char* part : {"other", "("})
            EXPECT_EQ(killed.find(part), std::string::npos) << "killed at step " << killAt << ": " << killed;

        const TReplacementRecovery recovery = RecoverTableReplacement(folder_.Path());
        const std::string recovered = State();
        if (recovery.outcome == TReplacementRecovery::Finished) {
            EXPECT_EQ(recovered, "new new new ") << "killed at step " << killAt;
        } else if (recovery.outcome == TReplacementRecovery::PutBack) {
            EXPECT_EQ(recovered, "old old old ") << "killed at step " << killAt;
        } else {
            // Killed before the first file was set aside, or after the journal was gone.
            EXPECT_TRUE(recovered == "old old old " || recovered == "new new new ")
                << "killed at step " << killAt << ": " << recovered;
        }
        if (recovery.outcome != TReplacementRecovery::None) {
            EXPECT_EQ(recovery.purpose, "Obnovení dat");
        }
        EXPECT_TRUE(Leftovers().empty()) << "killed at step " << killAt;
        // Back to the old set for the next kill point.
        for (const std::string& table : kTables)
            std::ofstream(folder_.File(table), std::ios::binary | std::ios::trunc) << old_[table];
    }
    EXPECT_GT(killAt, 10);
    EXPECT_EQ(State(), rollBack ? "old old old " : "new new new ");
    EXPECT_TRUE(Leftovers().empty());
}

INSTANTIATE_TEST_SUITE_P(Scripts, KilledReplacement, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& param) {
                             return std::string(param.param ? "RolledBack" : "Committed");
                         });

TEST(TableFileCheck, FindsCopiesCutShortDamagedOrOfAnotherStructure)
{
    LibraryFolder folder;
    AddRecords("Knihy.DB", "Kod", 400);
    const fs::path books = folder.File("Knihy.DB");
    const TableSchema schema = ReadTableFileStructure(books, "Knihy");
    EXPECT_NO_THROW(CheckTableFile(books, "Knihy", schema));
    const std::string bytes = ReadBytes(books);
    ASSERT_GT(bytes.size(), 8192u);

    struct Damage {
        const char* what;
        std::string bytes;
        const char* table;
    };
    // The header of a page in the middle of the file.
    std::string scrambled = bytes;
    const std::size_t page = bytes.size() / 4096 / 2 * 4096;
    for (std::size_t i = page; i < page + 600; ++i)
        scrambled[i] = static_cast<char>(i * 7);
    const std::vector<Damage> damages = {
        {"cut short", bytes.substr(0, bytes.size() - 4096), "Knihy"},
        {"cut inside a page", bytes.substr(0, bytes.size() - 100), "Knihy"},
        {"empty", "", "Knihy"},
        {"pages scrambled", scrambled, "Knihy"},
        {"not a table file", std::string(8192, 'x'), "Knihy"},
        {"another table", ReadBytes(folder.File("Čtenáři.db")), "Knihy"},
    };
    for (const Damage& damage : damages) {
        const fs::path copy = folder.Path() / "Knihy.bak";
        std::ofstream(copy, std::ios::binary | std::ios::trunc) << damage.bytes;
        try {
            CheckTableFile(copy, damage.table, schema);
            ADD_FAILURE() << damage.what << " passed";
        } catch (const EDatabaseError& e) {
            EXPECT_NE(std::string(e.what()).find("Knihy.bak"), std::string::npos) << damage.what << ": " << e.what();
        }
    }
    // The same table with another field list.
    TableSchema other = schema;
    other.fields.pop_back();
    EXPECT_THROW(CheckTableFile(books, "Knihy", other), EDatabaseError);
}

} // namespace
