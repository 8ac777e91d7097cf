#include "maintenance/BackupSet.h"

#include "platform/data/Session.h"
#include "platform/data/TableFileCheck.h"
#include "platform/data/TableReplacement.h"
#include "platform/sys/DurableFile.h"

#include <cerrno>
#include <cstring>
#include <optional>
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

fs::path BackupFile(const fs::path& folder, int member) { return folder / std::string(kBackupSet[static_cast<std::size_t>(member)].backup); }

fs::path TemporaryBackupFile(const fs::path& folder, int member)
{
    fs::path path = BackupFile(folder, member);
    path += ".tmp";
    return path;
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

void RemoveTemporaryFiles(const fs::path& target)
{
    for (std::size_t i = 0; i < kBackupSet.size(); ++i)
        ::unlink(TemporaryBackupFile(target, static_cast<int>(i)).c_str());
}

void CopyBackupSet(const std::vector<fs::path>& tables, const fs::path& target, const FileDone& fileDone,
                   const StepObserver& onStep)
{
    for (std::size_t i = 0; i < kBackupSet.size(); ++i) {
        const int member = static_cast<int>(i);
        if (const sys::Status copied = sys::CopyFileSynced(tables[i], TemporaryBackupFile(target, member)); !copied) {
            // The old set is untouched: nothing of the new one stays.
            RemoveTemporaryFiles(target);
            throw EBackupError("Soubor " + std::string(kBackupSet[i].backup) + " se nepodařilo zapsat: " +
                               copied.message + ". Záloha nebyla provedena.");
        }
        Notify(onStep, "zapsáno " + std::string(kBackupSet[i].backup));
        if (fileDone)
            fileDone();
    }
    // All nine are on the disk: only now do they take the place of the old set. Should a rename
    // fail, the files not yet renamed stay, and a restore from the folder refuses the mixed set.
    for (std::size_t i = 0; i < kBackupSet.size(); ++i) {
        const int member = static_cast<int>(i);
        if (::rename(TemporaryBackupFile(target, member).c_str(), BackupFile(target, member).c_str()) != 0)
            throw EBackupError("Soubor " + std::string(kBackupSet[i].backup) + " se nepodařilo zapsat: " +
                               std::strerror(errno) + ". Záloha nebyla dokončena.");
        Notify(onStep, "přejmenováno " + std::string(kBackupSet[i].backup));
    }
    if (const sys::Status synced = sys::SyncFolder(target); !synced)
        throw EBackupError(synced.message + ". Záloha nebyla dokončena.");
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
    std::error_code ec;
    for (const int member : kCheckOrder)
        if (fs::exists(TemporaryBackupFile(folder, member), ec))
            throw EBackupError("Poslední záloha do složky " + folder.string() + " nebyla dokončena (zůstal soubor " +
                               TemporaryBackupFile(folder, member).filename().string() +
                               "), soubory zálohy proto mohou pocházet z různých záloh. Zálohu do této složky "
                               "zopakujte.");
    for (const int member : kCheckOrder) {
        const fs::path& table = tables[static_cast<std::size_t>(member)];
        const std::string tableName = table.stem().string();
        // The structure of the program's own table, when it can be read.
        std::optional<data::TableSchema> expected;
        try {
            expected = data::ReadTableFileStructure(table, tableName);
        } catch (const data::EDatabaseError&) {
        }
        try {
            data::CheckTableFile(BackupFile(folder, member), tableName, expected);
        } catch (const data::EDatabaseError& e) {
            throw EBackupError(std::string("Zálohu nelze obnovit: ") + e.what() +
                               " Data programu zůstala beze změny.");
        }
    }
}

RestoreOutcome RestoreBackupSet(const fs::path& programFolder, const fs::path& folder, const FileDone& fileDone,
                                const StepObserver& onStep)
{
    if (const auto missing = MissingBackupFiles(folder); !missing.empty())
        throw EBackupError("Nebyly nalezeny potřebné soubory!");
    CheckBackupSet(folder, programFolder);
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
    data::TReleasedTables released;
    try {
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
        for (const int member : kSetAsideOrder) {
            replacement.SetAside(tables[static_cast<std::size_t>(member)].filename().string());
            if (fileDone)
                fileDone();
        }
        for (const int member : kCopyBackOrder) {
            replacement.Replace(tables[static_cast<std::size_t>(member)].filename().string(), BackupFile(folder, member));
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
    replacement.Commit();
    return RestoreOutcome::Restored;
}

} // namespace backup
