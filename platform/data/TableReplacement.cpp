#include "platform/data/TableReplacement.h"

#include "platform/data/DataSet.h"
#include "platform/sys/AtomicFile.h"
#include "platform/sys/DurableFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace data {

namespace fs = std::filesystem;

namespace {

constexpr const char* kJournalName = "Lendar.replace";
constexpr const char* kNewSuffix = ".lendar-new";

fs::path NewContentPath(const fs::path& folder, const std::string& tableFile) { return folder / (tableFile + kNewSuffix); }

fs::path CopyTemporary(const fs::path& setAside)
{
    fs::path temporary = setAside;
    temporary += ".tmp"; // what LinkOrCopy writes before renaming
    return temporary;
}

bool SameFile(const fs::path& a, const fs::path& b)
{
    struct stat sa {}, sb {};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

bool Exists(const fs::path& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

void Check(const sys::Status& status)
{
    if (!status)
        throw EDatabaseError(status.message);
}

void RemoveIfPresent(const fs::path& path)
{
    if (::unlink(path.c_str()) != 0 && errno != ENOENT)
        throw EDatabaseError("Soubor '" + path.string() + "' nelze odstranit: " + std::strerror(errno) + ".");
}

} // namespace

fs::path TTableReplacement::SetAsidePath(const fs::path& folder, const std::string& tableFile)
{
    return folder / (fs::path(tableFile).stem().string() + ".backup");
}

fs::path TTableReplacement::JournalPath(const fs::path& folder) { return folder / kJournalName; }

TTableReplacement::TTableReplacement(fs::path folder, std::vector<std::string> tableFiles, std::string purpose)
    : folder_(std::move(folder)), tables_(std::move(tableFiles)), purpose_(std::move(purpose))
{
}

TTableReplacement::~TTableReplacement()
{
    if (Active()) {
        try {
            Rollback();
        } catch (...) {
        }
    }
}

bool TTableReplacement::Listed(const std::string& tableFile) const
{
    return std::find(tables_.begin(), tables_.end(), tableFile) != tables_.end();
}

void TTableReplacement::Step(const std::string& description)
{
    if (OnStep)
        OnStep(description);
}

void TTableReplacement::Journal(const std::string& line, bool flush)
{
    const fs::path journal = JournalPath(folder_);
    const int fd = ::open(journal.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    const std::string text = line + "\n";
    bool ok = fd >= 0 && ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size()) &&
              (!flush || ::fsync(fd) == 0);
    const int error = errno;
    if (fd >= 0 && ::close(fd) != 0)
        ok = false;
    if (!ok)
        throw EDatabaseError("Do záznamu o nahrazování tabulek (" + journal.string() + ") nelze zapisovat: " +
                             std::strerror(error) + ".");
}

void TTableReplacement::FlushFolder()
{
    if (!unflushed_)
        return;
    Check(sys::SyncFolder(folder_));
    unflushed_ = false;
}

void TTableReplacement::Begin()
{
    if (begun_)
        throw EDatabaseError("Nahrazování tabulek už bylo zahájeno.");
    const std::string interrupted = "Ve složce '" + folder_.string() + "' zůstaly soubory přerušeného obnovení dat";
    const std::string advice = " Tabulky nyní nelze nahradit. Ukončete program a spusťte jej znovu: při spuštění "
                               "vrátí tabulky do stavu před přerušeným obnovením.";
    if (Exists(JournalPath(folder_)))
        throw EDatabaseError(interrupted + " (" + kJournalName + ")." + advice);
    std::string leftovers;
    for (const std::string& table : tables_) {
        const fs::path setAside = SetAsidePath(folder_, table);
        if (Exists(setAside))
            leftovers += (leftovers.empty() ? "" : ", ") + setAside.filename().string();
    }
    if (!leftovers.empty())
        throw EDatabaseError(interrupted + " (" + leftovers + ")." + advice);
    for (const std::string& table : tables_)
        if (Exists(folder_ / (table + "-journal")))
            throw EDatabaseError("Tabulka '" + table + "' má nedokončený zápis (" + table +
                                 "-journal). Ukončete program a spusťte jej znovu, než ji nahradíte.");

    std::string journal = "purpose " + purpose_ + "\n";
    for (const std::string& table : tables_)
        journal += "table " + table + "\n";
    journal += "begin\n";
    // On the disk, folder entry included, before any file is staged or set aside: whatever follows
    // is undone from it after a crash.
    Check(sys::WriteFileAtomically(JournalPath(folder_), journal, 0644));
    begun_ = true;
    finished_ = false;
    unflushed_ = false;
    Step("zahájeno");
}

void TTableReplacement::Stage(const std::string& tableFile, const fs::path& source)
{
    if (!Active() || !Listed(tableFile) || std::find(replaced_.begin(), replaced_.end(), tableFile) != replaced_.end())
        throw EDatabaseError("Tabulku '" + tableFile + "' nyní nelze nahradit.");
    const fs::path staged = NewContentPath(folder_, tableFile);
    const sys::Status copied = sys::CopyFileSynced(source, staged);
    const std::lock_guard<std::mutex> lock(stagedLock_);
    const auto listed = std::find(staged_.begin(), staged_.end(), tableFile);
    if (!copied) {
        // A failed copy leaves nothing, not even one staged before.
        ::unlink(staged.c_str());
        if (listed != staged_.end())
            staged_.erase(listed);
        throw EDatabaseError(copied.message);
    }
    if (listed == staged_.end())
        staged_.push_back(tableFile);
}

void TTableReplacement::SetAside(const std::string& tableFile)
{
    if (!Active() || !Listed(tableFile) || std::find(setAside_.begin(), setAside_.end(), tableFile) != setAside_.end())
        throw EDatabaseError("Tabulku '" + tableFile + "' nyní nelze odložit.");
    Check(sys::LinkOrCopy(folder_ / tableFile, SetAsidePath(folder_, tableFile)));
    setAside_.push_back(tableFile);
    unflushed_ = true;
    Step("odkládá se " + tableFile);
    Journal("aside " + tableFile, false);
    Step("odloženo " + tableFile);
}

void TTableReplacement::Replace(const std::string& tableFile)
{
    if (!Active() || std::find(setAside_.begin(), setAside_.end(), tableFile) == setAside_.end() ||
        std::find(replaced_.begin(), replaced_.end(), tableFile) != replaced_.end())
        throw EDatabaseError("Tabulku '" + tableFile + "' nelze nahradit, dokud není odložena.");
    const auto staged = std::find(staged_.begin(), staged_.end(), tableFile);
    if (staged == staged_.end())
        throw EDatabaseError("Pro tabulku '" + tableFile + "' není připravena nová kopie.");
    // The set-aside names are on the disk before a table file gives way.
    FlushFolder();
    const fs::path temporary = NewContentPath(folder_, tableFile);
    if (::rename(temporary.c_str(), (folder_ / tableFile).c_str()) != 0)
        throw EDatabaseError("Soubor " + temporary.string() + " nelze přejmenovat na " + (folder_ / tableFile).string() +
                             ": " + std::strerror(errno));
    staged_.erase(staged);
    replaced_.push_back(tableFile);
    unflushed_ = true;
    Step("přejmenováno " + tableFile);
    Journal("replaced " + tableFile, false);
    Step("nahrazeno " + tableFile);
}

void TTableReplacement::Replace(const std::string& tableFile, const fs::path& source)
{
    if (!Active() || std::find(setAside_.begin(), setAside_.end(), tableFile) == setAside_.end() ||
        std::find(replaced_.begin(), replaced_.end(), tableFile) != replaced_.end())
        throw EDatabaseError("Tabulku '" + tableFile + "' nelze nahradit, dokud není odložena.");
    Stage(tableFile, source);
    Step("zkopírováno " + tableFile);
    Replace(tableFile);
}

void TTableReplacement::Commit(const std::function<void()>& meanwhile)
{
    if (!Active())
        throw EDatabaseError("Nahrazování tabulek nebylo zahájeno.");
    // Every new file stands under its name on the disk before the journal says so.
    FlushFolder();
    Journal("commit", true);
    finished_ = true;
    Step("potvrzeno");
    // From here on the new files stand; what is left over is removed by the next start at worst.
    // Freeing the old files takes tens of milliseconds on a large library: it is done on a thread
    // of its own while `meanwhile` runs here (on this thread when none can be started).
    std::vector<fs::path> leftovers;
    for (const std::string& table : staged_)
        leftovers.push_back(NewContentPath(folder_, table));
    staged_.clear();
    for (const std::string& table : setAside_)
        leftovers.push_back(SetAsidePath(folder_, table));
    const auto removeLeftovers = [leftovers] {
        for (const fs::path& file : leftovers)
            ::unlink(file.c_str());
    };
    std::thread remover;
    try {
        remover = std::thread(removeLeftovers);
    } catch (const std::system_error&) {
        removeLeftovers();
    }
    std::exception_ptr failed;
    if (meanwhile) {
        try {
            meanwhile();
        } catch (...) {
            failed = std::current_exception();
        }
    }
    if (remover.joinable())
        remover.join();
    for (const std::string& table : setAside_)
        Step("odstraněno " + SetAsidePath(folder_, table).filename().string());
    // The set-aside copies are gone from the disk before the journal that would remove them.
    (void)sys::SyncFolder(folder_);
    ::unlink(JournalPath(folder_).c_str());
    (void)sys::SyncFolder(folder_);
    Step("dokončeno");
    if (failed)
        std::rethrow_exception(failed);
}

void TTableReplacement::Rollback()
{
    if (!Active())
        return;
    while (!replaced_.empty()) {
        const std::string& table = replaced_.back();
        Check(sys::RenameSynced(SetAsidePath(folder_, table), folder_ / table));
        setAside_.erase(std::find(setAside_.begin(), setAside_.end(), table));
        Step("vráceno " + table);
        replaced_.pop_back();
    }
    while (!setAside_.empty()) {
        RemoveIfPresent(SetAsidePath(folder_, setAside_.back()));
        Step("odstraněno " + SetAsidePath(folder_, setAside_.back()).filename().string());
        setAside_.pop_back();
    }
    while (!staged_.empty()) {
        RemoveIfPresent(NewContentPath(folder_, staged_.back()));
        staged_.pop_back();
    }
    Check(sys::SyncFolder(folder_));
    RemoveIfPresent(JournalPath(folder_));
    Check(sys::SyncFolder(folder_));
    unflushed_ = false;
    finished_ = true;
    Step("vráceno vše");
}

TReplacementRecovery RecoverTableReplacement(const fs::path& folder)
{
    TReplacementRecovery result;
    const fs::path journalPath = TTableReplacement::JournalPath(folder);
    std::ifstream journal(journalPath);
    if (!journal) {
        if (Exists(journalPath))
            throw EDatabaseError("Záznam o přerušeném nahrazování tabulek (" + journalPath.string() +
                                 ") nelze přečíst.");
        return result;
    }
    std::vector<std::string> tables;
    bool committed = false;
    for (std::string line; std::getline(journal, line);) {
        if (line.rfind("table ", 0) == 0)
            tables.push_back(line.substr(6));
        else if (line.rfind("purpose ", 0) == 0)
            result.purpose = line.substr(8);
        else if (line == "commit")
            committed = true;
    }
    journal.close();

    bool anySetAside = false;
    for (const std::string& table : tables) {
        const fs::path setAside = TTableReplacement::SetAsidePath(folder, table);
        const fs::path tableFile = folder / table;
        RemoveIfPresent(NewContentPath(folder, table));
        RemoveIfPresent(CopyTemporary(setAside));
        if (!Exists(setAside))
            continue;
        anySetAside = true;
        if (committed || SameFile(setAside, tableFile))
            RemoveIfPresent(setAside); // the table file stands as it should
        else
            Check(sys::RenameSynced(setAside, tableFile));
    }
    Check(sys::SyncFolder(folder));
    RemoveIfPresent(journalPath);
    Check(sys::SyncFolder(folder));
    if (committed)
        result.outcome = TReplacementRecovery::Finished;
    else if (anySetAside)
        result.outcome = TReplacementRecovery::PutBack;
    return result;
}

} // namespace data
