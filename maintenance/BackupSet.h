#pragma once
// The backup set: one folder with nine ".bak" files, each a byte copy of one table file of the
// program folder. Writing and restoring it, without windows: the backup and restore windows show
// the progress and the messages.
//
// Both release the tables first (every dataset over them is closed, whichever window owns it)
// and open them again at the end, whatever happened in between.

#include <array>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace backup {

struct SetMember {
    std::string_view table;  // table file in the program folder (found without regard to case)
    std::string_view backup; // its file in the backup set
};

// The set in the order the backup copies it.
extern const std::array<SetMember, 9> kBackupSet;

// A failure for the librarian: the message is Czech and names the file.
class EBackupError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A restore that failed after it began changing files; its steps were undone and the old tables
// are open again.
class ERestoreCancelled : public EBackupError {
public:
    using EBackupError::EBackupError;
};

// A restore whose undoing failed too: the tables stay closed, and the message says the next start
// of the program puts the old tables back.
class ERestoreBroken : public EBackupError {
public:
    using EBackupError::EBackupError;
};

// Called after each file done (9 for a backup, 18 for a restore).
using FileDone = std::function<void()>;
// Called after every change on disk, with a short description (for tests).
using StepObserver = std::function<void(const std::string&)>;

// Writes the nine backup files into the existing folder `target`. Each goes to "<name>.tmp" first
// and is flushed; once all nine are written they are renamed over the old set, so a failure or a
// crash never leaves a half-written ".bak". Raises EBackupError naming the file on any failure
// (the old set then stays as it was). The tables are reopened in every case; when only that
// fails, the error says the backup itself was written.
void WriteBackupSet(const std::filesystem::path& programFolder, const std::filesystem::path& target,
                    const FileDone& fileDone = {}, const StepObserver& onStep = {});

// The backup files missing from `folder`, in the order a restore looks for them.
std::vector<std::string> MissingBackupFiles(const std::filesystem::path& folder);

// Checks, before anything is touched, that every backup file of `folder` is a complete,
// undamaged table file of the structure of its table in the program folder, and that no backup
// into the folder was interrupted. Raises EBackupError naming the file.
void CheckBackupSet(const std::filesystem::path& folder, const std::filesystem::path& programFolder);

enum class RestoreOutcome { Restored, RolledBack };

// Replaces the nine table files by the backup set of `folder` (checked with CheckBackupSet
// first): every table file is set aside as "<stem>.backup", then replaced by its backup file
// in one step; every step is journalled. When the tables cannot be opened afterwards, or a step
// fails, exactly the steps done are undone and the old tables are opened again (RolledBack; a
// failed step also raises EBackupError after the rollback). Refuses with EBackupError, touching
// nothing, while an interrupted restore's files lie in the program folder. `restored`, when
// given, runs once the restored tables are open, while the old files are being removed.
RestoreOutcome RestoreBackupSet(const std::filesystem::path& programFolder, const std::filesystem::path& folder,
                                const FileDone& fileDone = {}, const StepObserver& onStep = {},
                                const std::function<void()>& restored = {});

// The message a rolled-back restore shows.
inline constexpr std::string_view kRestoreCancelled = "Vyskytla se chyba při obnovení dat. Obnovení bude nyní zrušeno.";

} // namespace backup
