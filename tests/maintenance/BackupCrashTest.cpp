// Backup and restore in a process killed after each of their steps: the program folder always
// holds a complete set of tables that opens (the old one, or after a restore's commit the new
// one), and a backup folder holds each file whole, old or new, with a mixed set refused by a
// restore. A second program started during a backup is refused.

#include "BackupSupport.h"
#include "sys/ChildProcess.h"

#include "maintenance/BackupSet.h"
#include "maintenance/InterruptedRestore.h"
#include "platform/data/Query.h"
#include "platform/data/Session.h"
#include "platform/data/Table.h"
#include "platform/data/TableFileCheck.h"
#include "platform/data/TableReplacement.h"

#include <csignal>
#include <memory>

namespace fs = std::filesystem;
using namespace backuptest;
using systest::RunInChild;

namespace {

// The datasets a running program keeps open over the nine tables.
struct OpenTables {
    std::vector<std::unique_ptr<data::TTable>> tables;
    data::TQuery books;
    OpenTables()
    {
        for (const backup::SetMember& member : backup::kBackupSet) {
            tables.push_back(std::make_unique<data::TTable>());
            tables.back()->TableName = std::string(member.table);
            tables.back()->Open();
        }
        books.SQL.Add("SELECT * FROM Knihy");
        books.SQL.Add("ORDER BY Nazev");
        books.Open();
    }
};

// Runs `work` in a child killed after its n-th step; the child's exit status.
int KilledAfterStep(int n, const std::function<void(const backup::StepObserver&)>& work)
{
    return RunInChild([&] {
        OpenTables open;
        int step = 0;
        work([&step, n](const std::string&) {
            if (++step == n)
                raise(SIGKILL);
        });
        return open.books.Active() ? 0 : 3;
    });
}

// Every table file of the folder opens as a complete table file of its table.
void ExpectCompleteTables(const fs::path& folder, int step)
{
    for (const backup::SetMember& member : backup::kBackupSet) {
        const fs::path file = data::Session::ResolveTableFile(folder, member.table);
        EXPECT_NO_THROW(data::CheckTableFile(file, file.stem().string(), std::nullopt))
            << member.table << " after step " << step;
    }
}

using BackupCrash = BackupTest;

TEST_F(BackupCrash, AKilledBackupLeavesEachFileOldOrNewAndAMixedSetIsRefused)
{
    backup::WriteBackupSet(folder_, backup_);
    const auto oldSet = BackupBytes(backup_);
    const fs::path saved = folder_ / "původní záloha";
    fs::copy(backup_, saved);
    AddBook("B1", "Po záloze");
    AddReader("Svoboda Petr");
    const auto tables = TableBytes(folder_);
    int n = 1;
    for (;; ++n) {
        ASSERT_LT(n, 60);
        const int status = KilledAfterStep(n, [&](const backup::StepObserver& onStep) {
            backup::WriteBackupSet(folder_, backup_, {}, onStep);
        });
        if (status == 0)
            break;
        ASSERT_EQ(status, 128 + SIGKILL) << "step " << n;
        EXPECT_EQ(TableBytes(folder_), tables) << "step " << n;
        ExpectCompleteTables(folder_, n);
        int fresh = 0, changed = 0;
        for (const backup::SetMember& member : backup::kBackupSet) {
            const std::string bytes = Fingerprint(ReadBytes(backup_ / std::string(member.backup)));
            const bool isOld = bytes == oldSet.at(std::string(member.backup));
            const bool isNew = bytes == tables.at(std::string(member.table));
            EXPECT_TRUE(isOld || isNew) << member.backup << " after step " << n;
            fresh += isNew && !isOld ? 1 : 0;
            changed += oldSet.at(std::string(member.backup)) != tables.at(std::string(member.table)) ? 1 : 0;
        }
        // A set in which some files are new and some old is never taken for a whole backup.
        if (fresh > 0 && fresh < changed) {
            EXPECT_THROW(backup::CheckBackupSet(backup_, folder_), backup::EBackupError) << "step " << n;
        }
        // Back to the old set for the next kill point.
        for (const auto& entry : fs::directory_iterator(saved))
            fs::copy_file(entry.path(), backup_ / entry.path().filename(), fs::copy_options::overwrite_existing);
        for (const std::string& name : Leftovers(backup_))
            fs::remove(backup_ / name);
    }
    EXPECT_GT(n, 18);
    for (const backup::SetMember& member : backup::kBackupSet)
        EXPECT_EQ(Fingerprint(ReadBytes(backup_ / std::string(member.backup))), tables.at(std::string(member.table)));
    EXPECT_TRUE(Leftovers(backup_).empty());
}

TEST_F(BackupCrash, AKilledRestoreLeavesATableSetThatOpensAndTheNextStartPutsBackTheOldOne)
{
    backup::WriteBackupSet(folder_, backup_);
    const auto backupSet = BackupBytes(backup_);
    AddBook("B1", "Po záloze");
    AddReader("Svoboda Petr");
    const auto oldTables = TableBytes(folder_);
    const fs::path saved = folder_ / "původní tabulky";
    fs::create_directory(saved);
    for (const backup::SetMember& member : backup::kBackupSet) {
        const fs::path file = data::Session::ResolveTableFile(folder_, member.table);
        fs::copy_file(file, saved / file.filename());
    }
    int n = 1;
    bool sawCommitted = false, sawPutBack = false;
    for (;; ++n) {
        ASSERT_LT(n, 120);
        const int status = KilledAfterStep(n, [&](const backup::StepObserver& onStep) {
            EXPECT_EQ(backup::RestoreBackupSet(folder_, backup_, {}, onStep), backup::RestoreOutcome::Restored);
        });
        if (status == 0)
            break;
        ASSERT_EQ(status, 128 + SIGKILL) << "step " << n;
        ExpectCompleteTables(folder_, n);
        const auto recovery = data::RecoverTableReplacement(folder_);
        const auto tables = TableBytes(folder_);
        bool allNew = true;
        for (const backup::SetMember& member : backup::kBackupSet)
            allNew = allNew && tables.at(std::string(member.table)) == backupSet.at(std::string(member.backup));
        if (recovery.outcome == data::TReplacementRecovery::Finished) {
            sawCommitted = true;
            EXPECT_TRUE(allNew) << "step " << n;
        } else if (recovery.outcome == data::TReplacementRecovery::PutBack) {
            sawPutBack = true;
            EXPECT_EQ(tables, oldTables) << "step " << n;
        } else {
            // Killed before anything was set aside, or after the restore had finished.
            EXPECT_TRUE(allNew || tables == oldTables) << "step " << n;
        }
        EXPECT_TRUE(Leftovers(folder_).empty()) << "step " << n;
        ExpectCompleteTables(folder_, n);
        // Back to the old tables for the next kill point.
        for (const auto& entry : fs::directory_iterator(saved))
            fs::copy_file(entry.path(), folder_ / entry.path().filename(), fs::copy_options::overwrite_existing);
    }
    EXPECT_GT(n, 40);
    EXPECT_TRUE(sawCommitted);
    EXPECT_TRUE(sawPutBack);
    const auto tables = TableBytes(folder_);
    for (const backup::SetMember& member : backup::kBackupSet)
        EXPECT_EQ(tables.at(std::string(member.table)), backupSet.at(std::string(member.backup)));
    EXPECT_TRUE(Leftovers(folder_).empty());
}

// The program holds its folder from its start: during a backup, when every table is closed, a
// second program started on the folder is refused and writes nothing.
TEST_F(BackupCrash, ASecondProgramStartedDuringABackupIsRefused)
{
    TakeProgramFolder(folder_);
    OpenTables open;
    int secondProgram = -1;
    backup::WriteBackupSet(folder_, backup_, {}, [&](const std::string& step) {
        if (step != "zapsáno Knihy.bak")
            return;
        EXPECT_EQ(data::Session::Instance().AttachedCount(), 0);
        const fs::path folder = folder_;
        secondProgram = RunInChild([folder] {
            try {
                TakeProgramFolder(folder);
            } catch (const data::EDatabaseError& e) {
                if (std::string(e.what()).find("jiný spuštěný program") == std::string::npos)
                    return 2;
                data::TTable books;
                books.TableName = "Knihy.DB";
                try {
                    books.Open();
                } catch (const data::EDatabaseError&) {
                    return 0;
                }
                return 4;
            }
            return 1;
        });
    });
    EXPECT_EQ(secondProgram, 0);
    EXPECT_TRUE(open.books.Active());
    EXPECT_EQ(BackupBytes(backup_).at("Knihy.bak"), Fingerprint(ReadBytes(folder_ / "Knihy.DB")));
}

} // namespace
