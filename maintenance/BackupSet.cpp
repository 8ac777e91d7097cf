#include "maintenance/BackupSet.h"

#include "platform/data/Session.h"
#include "platform/data/TableFileCheck.h"
#include "platform/data/TableReplacement.h"
#include "platform/sys/DurableFile.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <exception>
#include <future>
#include <optional>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace backup {

namespace fs = std::filesystem;

const std::array<SetMember, 9> kBackupSet = {{
    {"Výpůjčky.db", "Výpůjčky.bak"},
    {"Čtenáři.db", "Čtenáři.bak"},
    {"Knihy.db", "Knihy.bak"},
    {"VýpůjčkyArchiv.db", "Archiv výpůjček.bak"},
    {"Číselníky.db", "Číselníky.bak"},
    {"Číselníky03.db", "Číselníky03.bak"},
    {"Číselníky02.db", "Číselníky02.bak"},
    {"Číselníky04.db", "Číselníky04.bak"},
    {"KlicovaSlova.db", "Klíčová slova.bak"},
}};

namespace {

// Positions in kBackupSet.
constexpr int kLoans = 0, kReaders = 1, kBooks = 2, kArchive = 3, kCodes = 4, kCodes03 = 5, kCodes02 = 6,
              kCodes04 = 7, kKeywords = 8;
// The order a restore looks for the backup files, sets the tables aside and copies them back.
constexpr std::array<int, 9> kCheckOrder = {kBooks, kArchive, kLoans, kReaders, kCodes, kCodes02, kCodes03, kCodes04, kKeywords};
constexpr std::array<int, 9> kSetAsideOrder = {kReaders, kBooks, kLoans, kArchive, kCodes, kCodes02, kCodes03, kCodes04, kKeywords};
constexpr std::array<int, 9> kCopyBackOrder = {kLoans, kArchive, kBooks, kReaders, kCodes, kCodes02, kCodes03, kCodes04, kKeywords};

// Threads that copy and check the files at once: the disk and the checks overlap, and the
// largest file no longer waits for the small ones.
constexpr unsigned kMaxThreads = 4;

fs::path BackupFile(const fs::path& folder, int member) { return folder / std::string(kBackupSet[static_cast<std::size_t>(member)].backup); }

fs::path TemporaryBackupFile(const fs::path& folder, int member)
{
    fs::path path = BackupFile(folder, member);
    path += ".tmp";
    return path;
}

const std::string& BackupName(int member)
{
    static const std::array<std::string, 9> names = [] {
        std::array<std::string, 9> all;
        for (std::size_t i = 0; i < kBackupSet.size(); ++i)
            all[i] = std::string(kBackupSet[i].backup);
        return all;
    }();
    return names[static_cast<std::size_t>(member)];
}

// The nine table files as the program folder spells them.
std::vector<fs::path> TableFiles(const fs::path& programFolder)
{
    std::vector<fs::path> files;
    try {
        for (const SetMember& member : kBackupSet)
            files.push_back(data::Session::ResolveTableFile(programFolder, member.table));
    } catch (const data::EDatabaseError& e) {
        throw EBackupError(e.what());
    }
    return files;
}

void Notify(const StepObserver& onStep, const std::string& step)
{
    if (onStep)
        onStep(step);
}

data::TReleasedTables Release(const std::vector<fs::path>& files)
{
    try {
        return data::Session::Instance().ReleaseTableFiles(files);
    } catch (const data::EDatabaseError& e) {
        throw EBackupError(std::string("Tabulky programu nelze uvolnit: ") + e.what());
    }
}

std::uintmax_t SizeOf(const fs::path& file)
{
    std::error_code ec;
    const std::uintmax_t size = fs::file_size(file, ec);
    return ec ? 0 : size;
}

// Jobs run on a few threads of their own, the costliest first; the caller waits for each job in
// the order it chooses and learns what the job raised. Every job has ended when the object goes.
// Jobs touch files only: neither the session nor any window.
class Jobs {
public:
    struct Job {
        std::function<void()> work;
        std::uintmax_t cost; // bytes read or written
    };

    explicit Jobs(std::vector<Job> jobs)
        : order_(jobs.size())
    {
        for (std::size_t i = 0; i < order_.size(); ++i)
            order_[i] = i;
        std::stable_sort(order_.begin(), order_.end(),
                         [&jobs](std::size_t a, std::size_t b) { return jobs[a].cost > jobs[b].cost; });
        for (Job& job : jobs) {
            tasks_.emplace_back(std::move(job.work));
            results_.push_back(tasks_.back().get_future());
        }
        const unsigned count = std::min<unsigned>(
            std::max(1u, std::min(std::thread::hardware_concurrency(), kMaxThreads)), static_cast<unsigned>(tasks_.size()));
        for (unsigned t = 0; t < count; ++t) {
            try {
                threads_.emplace_back([this] { Work(); });
            } catch (const std::system_error&) {
                break; // the threads made take every job
            }
        }
        if (threads_.empty())
            Work();
    }
    ~Jobs()
    {
        for (std::thread& thread : threads_)
            thread.join();
    }
    Jobs(const Jobs&) = delete;
    Jobs& operator=(const Jobs&) = delete;

    // Waits for the job (numbered as given) to end; what it raised, or nothing.
    std::exception_ptr Outcome(std::size_t job)
    {
        try {
            results_[job].get();
        } catch (...) {
            return std::current_exception();
        }
        return nullptr;
    }

private:
    void Work()
    {
        for (std::size_t next; (next = next_++) < order_.size();)
            tasks_[order_[next]]();
    }

    std::vector<std::size_t> order_; // the jobs, costliest first
    std::vector<std::packaged_task<void()>> tasks_;
    std::vector<std::future<void>> results_;
    std::atomic<std::size_t> next_{0};
    std::vector<std::thread> threads_;
};

void RemoveTemporaryFiles(const fs::path& target)
{
    for (std::size_t i = 0; i < kBackupSet.size(); ++i)
        ::unlink(TemporaryBackupFile(target, static_cast<int>(i)).c_str());
}

void CopyBackupSet(const std::vector<fs::path>& tables, const fs::path& target, const FileDone& fileDone,
                   const StepObserver& onStep)
{
    std::vector<Jobs::Job> copies;
    for (std::size_t i = 0; i < kBackupSet.size(); ++i) {
        const fs::path from = tables[i];
        const fs::path to = TemporaryBackupFile(target, static_cast<int>(i));
        copies.push_back({[from, to] {
                              if (const sys::Status copied = sys::CopyFileSynced(from, to); !copied)
                                  throw EBackupError(copied.message);
                          },
                          SizeOf(from)});
    }
    std::optional<std::string> failure;
    {
        Jobs jobs(std::move(copies));
        for (std::size_t i = 0; i < kBackupSet.size() && !failure; ++i) {
            try {
                if (const std::exception_ptr error = jobs.Outcome(i))
                    std::rethrow_exception(error);
            } catch (const std::exception& e) {
                failure = "Soubor " + BackupName(static_cast<int>(i)) + " se nepodařilo zapsat: " + e.what() +
                          ". Záloha nebyla provedena.";
                break;
            }
            Notify(onStep, "zapsáno " + BackupName(static_cast<int>(i)));
            if (fileDone)
                fileDone();
        }
    }
    if (failure) {
        // The old set is untouched: nothing of the new one stays.
        RemoveTemporaryFiles(target);
        throw EBackupError(*failure);
    }
    // All nine are on the disk: only now do they take the place of the old set. Should a rename
    // fail, the files not yet renamed stay, and a restore from the folder refuses the mixed set.
    for (std::size_t i = 0; i < kBackupSet.size(); ++i) {
        const int member = static_cast<int>(i);
        if (::rename(TemporaryBackupFile(target, member).c_str(), BackupFile(target, member).c_str()) != 0)
            throw EBackupError("Soubor " + BackupName(member) + " se nepodařilo zapsat: " + std::strerror(errno) +
                               ". Záloha nebyla dokončena.");
        Notify(onStep, "přejmenováno " + BackupName(member));
    }
    if (const sys::Status synced = sys::SyncFolder(target); !synced)
        throw EBackupError(synced.message + ". Záloha nebyla dokončena.");
}

// A backup into the folder that did not finish leaves its temporary files: the set may then mix
// files of two backups.
void RefuseInterruptedBackup(const fs::path& folder)
{
    std::error_code ec;
    for (const int member : kCheckOrder)
        if (fs::exists(TemporaryBackupFile(folder, member), ec))
            throw EBackupError("Poslední záloha do složky " + folder.string() + " nebyla dokončena (zůstal soubor " +
                               TemporaryBackupFile(folder, member).filename().string() +
                               "), soubory zálohy proto mohou pocházet z různých záloh. Zálohu do této složky "
                               "zopakujte.");
}

// The check of one backup file against the structure of the program's own table (when that can
// be read).
Jobs::Job CheckJob(const fs::path& backupFile, const fs::path& table)
{
    return {[backupFile, table] {
                const std::string tableName = table.stem().string();
                std::optional<data::TableSchema> expected;
                try {
                    expected = data::ReadTableFileStructure(table, tableName);
                } catch (const data::EDatabaseError&) {
                }
                data::CheckTableFile(backupFile, tableName, expected);
            },
            SizeOf(backupFile)};
}

[[noreturn]] void RefuseBackup(const std::exception_ptr& error)
{
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        throw EBackupError(std::string("Zálohu nelze obnovit: ") + e.what() + " Data programu zůstala beze změny.");
    }
}

// Checks every backup file and, at the same time, stages a copy of it beside its table file.
// The first failure in the check order is raised once every job has ended; the staged copies are
// then left to the replacement's rollback.
void CheckAndStage(const fs::path& folder, const std::vector<fs::path>& tables, data::TTableReplacement& replacement,
                   const FileDone& fileDone, const StepObserver& onStep)
{
    std::vector<Jobs::Job> work;
    for (const int member : kCheckOrder) {
        const fs::path& table = tables[static_cast<std::size_t>(member)];
        const fs::path backupFile = BackupFile(folder, member);
        work.push_back(CheckJob(backupFile, table));
        const std::string tableFile = table.filename().string();
        work.push_back({[&replacement, tableFile, backupFile] { replacement.Stage(tableFile, backupFile); },
                        SizeOf(backupFile)});
    }
    Jobs jobs(std::move(work));
    std::exception_ptr refused, failedCopy;
    for (std::size_t i = 0; i < kCheckOrder.size(); ++i) {
        const std::exception_ptr checked = jobs.Outcome(2 * i);
        const std::exception_ptr copied = jobs.Outcome(2 * i + 1);
        if (checked && !refused)
            refused = checked;
        if (copied && !failedCopy)
            failedCopy = copied;
        if (refused || failedCopy)
            continue;
        Notify(onStep, "zkopírováno " + tables[static_cast<std::size_t>(kCheckOrder[i])].filename().string());
        if (fileDone)
            fileDone();
    }
    if (refused)
        RefuseBackup(refused);
    if (failedCopy)
        RefuseBackup(failedCopy);
}

} // namespace

void WriteBackupSet(const fs::path& programFolder, const fs::path& target, const FileDone& fileDone,
                    const StepObserver& onStep)
{
    const std::vector<fs::path> tables = TableFiles(programFolder);
    data::TReleasedTables released = Release(tables);
    Notify(onStep, "uvolněno");
    std::optional<EBackupError> failure;
    try {
        CopyBackupSet(tables, target, fileDone, onStep);
    } catch (const EBackupError& e) {
        failure = e;
    }
    try {
        released.Reopen();
    } catch (const std::exception& e) {
        if (failure)
            throw *failure;
        throw EBackupError(std::string("Záloha byla zapsána, ale tabulky programu se nepodařilo znovu otevřít: ") +
                           e.what());
    }
    if (failure)
        throw *failure;
}

std::vector<std::string> MissingBackupFiles(const fs::path& folder)
{
    std::vector<std::string> missing;
    std::error_code ec;
    for (const int member : kCheckOrder)
        if (!fs::is_regular_file(BackupFile(folder, member), ec))
            missing.emplace_back(kBackupSet[static_cast<std::size_t>(member)].backup);
    return missing;
}

void CheckBackupSet(const fs::path& folder, const fs::path& programFolder)
{
    const std::vector<fs::path> tables = TableFiles(programFolder);
    RefuseInterruptedBackup(folder);
    std::vector<Jobs::Job> checks;
    for (const int member : kCheckOrder)
        checks.push_back(CheckJob(BackupFile(folder, member), tables[static_cast<std::size_t>(member)]));
    Jobs jobs(std::move(checks));
    std::exception_ptr refused;
    for (std::size_t i = 0; i < kCheckOrder.size(); ++i)
        if (const std::exception_ptr error = jobs.Outcome(i); error && !refused)
            refused = error;
    if (refused)
        RefuseBackup(refused);
}

RestoreOutcome RestoreBackupSet(const fs::path& programFolder, const fs::path& folder, const FileDone& fileDone,
                                const StepObserver& onStep, const std::function<void()>& restored)
{
    if (const auto missing = MissingBackupFiles(folder); !missing.empty())
        throw EBackupError("Nebyly nalezeny potřebné soubory!");
    RefuseInterruptedBackup(folder);
    const std::vector<fs::path> tables = TableFiles(programFolder);

    std::vector<std::string> names;
    for (const int member : kSetAsideOrder)
        names.push_back(tables[static_cast<std::size_t>(member)].filename().string());
    data::TTableReplacement replacement(programFolder, names, "Obnovení dat");
    replacement.OnStep = onStep;
    try {
        replacement.Begin();
    } catch (const data::EDatabaseError& e) {
        throw EBackupError(e.what());
    }
    // Every backup file is checked while the copies that will replace the tables are made beside
    // them; a table file is touched only once every check has passed.
    data::TReleasedTables released;
    try {
        CheckAndStage(folder, tables, replacement, fileDone, onStep);
        released = Release(tables);
    } catch (...) {
        replacement.Rollback();
        throw;
    }
    Notify(onStep, "uvolněno");

    const auto rollBack = [&](const std::string& reason) {
        try {
            replacement.Rollback();
        } catch (const std::exception& e) {
            throw ERestoreBroken(std::string(kRestoreCancelled) + "\n\nPůvodní tabulky se nepodařilo vrátit na místo (" +
                               e.what() + "). Ukončete program a spusťte jej znovu: při spuštění budou vráceny.");
        }
        released.Reopen();
        if (!reason.empty())
            throw ERestoreCancelled(std::string(kRestoreCancelled) + "\n\n" + reason);
    };

    try {
        for (const int member : kSetAsideOrder)
            replacement.SetAside(tables[static_cast<std::size_t>(member)].filename().string());
        for (const int member : kCopyBackOrder) {
            replacement.Replace(tables[static_cast<std::size_t>(member)].filename().string());
            if (fileDone)
                fileDone();
        }
    } catch (const data::EDatabaseError& e) {
        rollBack(e.what());
    }

    try {
        released.Reopen();
    } catch (const std::exception&) {
        rollBack("");
        return RestoreOutcome::RolledBack;
    }
    replacement.Commit(restored);
    return RestoreOutcome::Restored;
}

} // namespace backup
