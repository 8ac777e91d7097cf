// A run of archiving killed at many points, in a forked process: afterwards every loan is in
// exactly one of the loans table and the archive, and an archived one carries its names.

#include "ArchiveSupport.h"
#include "data/LibraryFolder.h"
#include "sys/ChildProcess.h"

#include "maintenance/ArchiveStore.h"
#include "platform/data/Session.h"
#include "platform/data/Table.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <map>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using archivetest::ArchiveRow;

namespace {

constexpr int kReturned = 48;
constexpr int kOpen = 6;
constexpr int kBatch = 7;

// A VFS that kills the process at its n-th opening or deletion of a file: the attachments, each
// transaction's journals and the commit point (the deletion of the journal tying the files).
sqlite3_vfs* realVfs = nullptr;
int callsLeft = 0;
int KillingOpen(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags)
{
    if (--callsLeft == 0)
        raise(SIGKILL);
    return realVfs->xOpen(realVfs, name, file, flags, outFlags);
}
int KillingDelete(sqlite3_vfs*, const char* name, int syncDir)
{
    if (--callsLeft == 0)
        raise(SIGKILL);
    return realVfs->xDelete(realVfs, name, syncDir);
}
void InstallKillingVfs(int calls)
{
    static sqlite3_vfs vfs;
    realVfs = sqlite3_vfs_find(nullptr);
    vfs = *realVfs;
    vfs.zName = "killing-archive";
    vfs.xOpen = KillingOpen;
    vfs.xDelete = KillingDelete;
    callsLeft = calls;
    sqlite3_vfs_register(&vfs, 1);
}

// The whole run as the window drives it, in small batches so that a run has many commits; the
// tables are held open as the program holds them.
int ArchiveAll()
{
    data::TTable tables[4];
    const char* const names[] = {"Čtenáři.db", "Knihy.DB", "Výpůjčky.db", "VýpůjčkyArchiv.db"};
    for (int i = 0; i < 4; ++i) {
        tables[i].TableName = names[i];
        tables[i].Open();
    }
    const std::vector<std::int64_t> loans = maintenance::ReturnedLoans();
    for (std::size_t from = 0; from < loans.size(); from += kBatch)
        maintenance::ArchiveLoans(loans, from, kBatch, std::nullopt);
    return 0;
}

class ArchiveCrashTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        {
            data::TTable readers, books, loans;
            readers.TableName = "Čtenáři.db";
            books.TableName = "Knihy.DB";
            loans.TableName = "Výpůjčky.db";
            readers.Open();
            books.Open();
            loans.Open();
            data::TTransaction transaction;
            for (int i = 0; i < 5; ++i) {
                readers.Append();
                readers.FieldByName("Jmeno").SetAsString("Čtenář " + std::to_string(i));
                readers.Post();
                books.Append();
                books.FieldByName("Kod").SetAsString("K" + std::to_string(i));
                books.FieldByName("Nazev").SetAsString("Kniha " + std::to_string(i));
                books.Post();
            }
            // Each loan is told apart by its days lent; open loans are mixed among the returned.
            for (int i = 0; i < kReturned + kOpen; ++i) {
                const bool open = i % (kReturned / kOpen + 1) == 3;
                loans.Append();
                loans.FieldByName("CisloCtenare").SetAsInteger(i % 5 + 1);
                loans.FieldByName("CisloKnihy").SetAsInteger((i + 2) % 5 + 1);
                loans.FieldByName("Pujceno").SetAsString("1.9.2024");
                loans.FieldByName("Vraceno").SetAsString(open ? "" : "10.9.2024");
                loans.FieldByName("Dnu").SetAsInteger(i);
                loans.FieldByName("VracenoB").SetAsString(open ? "False" : "True");
                loans.Post();
                (open ? open_ : returned_).push_back(i);
            }
            transaction.Commit();
        }
        ASSERT_EQ(data::Session::Instance().AttachedCount(), 0);
        pristine_ = folder_.Path() / "pristine";
        fs::create_directory(pristine_);
        for (const char* file : {"Výpůjčky.db", "VýpůjčkyArchiv.db"})
            fs::copy_file(folder_.File(file), pristine_ / file);
    }
    void Restore()
    {
        for (const char* file : {"Výpůjčky.db", "VýpůjčkyArchiv.db"})
            fs::copy_file(pristine_ / file, folder_.File(file), fs::copy_options::overwrite_existing);
    }

    // Every loan in exactly one table; an archived one returned, with its reader's name and its
    // book's code and title. Answers how many are archived.
    int CheckEveryLoanOnce(const std::string& when)
    {
        SCOPED_TRACE(when);
        std::map<std::int64_t, int> seen;
        {
            data::TTable loans;
            loans.TableName = "Výpůjčky.db";
            loans.Open();
            for (loans.First(); !loans.Eof(); loans.Next()) {
                const std::int64_t days = loans.FieldByName("Dnu").AsInteger();
                ++seen[days];
                const bool open = std::find(open_.begin(), open_.end(), days) != open_.end();
                EXPECT_EQ(loans.FieldByName("VracenoB").AsString(), open ? "False" : "True") << days;
            }
        }
        const std::vector<ArchiveRow> archived = archivetest::ArchiveRows();
        for (const ArchiveRow& row : archived) {
            ++seen[row.Dnu];
            const std::int64_t i = row.Dnu;
            EXPECT_TRUE(std::find(returned_.begin(), returned_.end(), i) != returned_.end()) << i;
            const ArchiveRow expected{i % 5 + 1,
                                      "Čtenář " + std::to_string(i % 5),
                                      (i + 2) % 5 + 1,
                                      "K" + std::to_string((i + 2) % 5),
                                      "Kniha " + std::to_string((i + 2) % 5),
                                      "1.9.2024",
                                      "10.9.2024",
                                      i};
            EXPECT_EQ(row, expected);
        }
        EXPECT_EQ(seen.size(), static_cast<std::size_t>(kReturned + kOpen));
        for (const auto& [days, count] : seen)
            EXPECT_EQ(count, 1) << "loan " << days;
        EXPECT_EQ(data::Session::Instance().AttachedCount(), 0);
        return static_cast<int>(archived.size());
    }

    data_test::LibraryFolder folder_;
    fs::path pristine_;
    std::vector<std::int64_t> returned_, open_;
};

TEST_F(ArchiveCrashTest, KilledAtEveryFileStepLosesNoLoanAndCopiesNoneTwice)
{
    int kills = 0;
    bool completed = false;
    for (int calls = 1; calls < 2000 && !completed; ++calls) {
        Restore();
        const int status = systest::RunInChild([calls] {
            InstallKillingVfs(calls);
            return ArchiveAll();
        });
        completed = status == 0;
        if (!completed) {
            ASSERT_EQ(status, 128 + SIGKILL);
            ++kills;
        }
        const int archived = CheckEveryLoanOnce("killed at file step " + std::to_string(calls));
        if (completed)
            EXPECT_EQ(archived, kReturned);
        if (HasFailure())
            return;
    }
    EXPECT_TRUE(completed);
    EXPECT_GT(kills, 20);
}

// Kills at moments spread over a whole run, so that some land while pages are being written.
TEST_F(ArchiveCrashTest, KilledAtAnyMomentLosesNoLoanAndCopiesNoneTwice)
{
    Restore();
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(systest::RunInChild(ArchiveAll), 0);
    const auto whole = std::chrono::steady_clock::now() - start;
    CheckEveryLoanOnce("a whole run");

    for (int step = 0; step < 14; ++step) {
        Restore();
        const pid_t child = fork();
        if (child == 0) {
            ArchiveAll();
            _exit(0);
        }
        std::this_thread::sleep_for(whole * step / 12);
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        CheckEveryLoanOnce("killed after " + std::to_string(step) + "/12 of a run");
        if (HasFailure())
            return;
    }
}

} // namespace
