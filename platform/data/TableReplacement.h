#pragma once
// Replacing table files of the program folder by new contents (restore from a backup, import),
// so that a failure or a killed process never leaves a table file half written or missing:
//  - each table file is first set aside: it gets a second name "<stem>.backup" (a hard link, or a
//    flushed copy where the file system has none), so the table file itself stays in place;
//  - the new content is copied beside it under a temporary name (staged) and flushed, then
//    renamed over the table file in one step;
//  - the journal ("Lendar.replace") names the tables before anything is set aside, and says
//    "commit" once every new file is in place.
// The folder is flushed only where the order matters: the set-aside names are on the disk before
// the first table file is replaced, and every replacement before the commit. A rollback undoes
// exactly the steps done; a replacement interrupted by a crash is undone at the next start of the
// program (RecoverTableReplacement) unless it had committed, in which case it is finished. The
// files must have been released (Session::ReleaseTableFiles) before they are set aside; new
// contents may be staged beside them before that.

#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace data {

class TTableReplacement {
public:
    // `tableFiles`: names of table files in `folder`, as they are spelled there. `purpose` names
    // the command for the message shown when a crash interrupted it ("Obnovení dat").
    TTableReplacement(std::filesystem::path folder, std::vector<std::string> tableFiles, std::string purpose);
    // A replacement begun and neither committed nor rolled back is rolled back (errors are left
    // to the next start).
    ~TTableReplacement();
    TTableReplacement(const TTableReplacement&) = delete;
    TTableReplacement& operator=(const TTableReplacement&) = delete;

    // Called after every change on disk, with a short description ("odloženo Knihy.DB").
    std::function<void(const std::string& step)> OnStep;

    // Writes the journal. Raises EDatabaseError (Czech) when an interrupted replacement left its
    // journal or set-aside copies in the folder; nothing is touched then.
    void Begin();
    // Copies `source` beside the table file under a temporary name and flushes it, ready for
    // Replace; the table file is not touched. Stages of different tables may run on several
    // threads at once while no other method runs (OnStep is not called). Raises EDatabaseError
    // naming the file.
    void Stage(const std::string& tableFile, const std::filesystem::path& source);
    // Sets the table file aside as "<stem>.backup".
    void SetAside(const std::string& tableFile);
    // Puts the staged copy in place of the table file, in one step. The table file must have been
    // set aside.
    void Replace(const std::string& tableFile);
    // Stages a copy of `source` and puts it in place.
    void Replace(const std::string& tableFile, const std::filesystem::path& source);
    // The new files stay: the journal is marked done, then the set-aside copies, staged copies
    // not put in place and the journal are removed. `meanwhile`, when given, runs on the calling
    // thread while the old files are freed (what it raises is raised once the commit is done).
    void Commit(const std::function<void()>& meanwhile = {});
    // Every replaced table file gets its set-aside copy back; set-aside copies of files not
    // replaced and staged copies not put in place are removed; then the journal. Raises
    // EDatabaseError when a step fails (the journal then stays, and the next start finishes the
    // rollback).
    void Rollback();

    bool Active() const { return begun_ && !finished_; }
    const std::filesystem::path& Folder() const { return folder_; }

    // "<folder>/<stem>.backup", the set-aside copy of a table file.
    static std::filesystem::path SetAsidePath(const std::filesystem::path& folder, const std::string& tableFile);
    static std::filesystem::path JournalPath(const std::filesystem::path& folder);

private:
    void Journal(const std::string& line, bool flush);
    void Step(const std::string& description);
    bool Listed(const std::string& tableFile) const;
    void FlushFolder();

    std::filesystem::path folder_;
    std::vector<std::string> tables_;
    std::string purpose_;
    std::vector<std::string> setAside_;
    std::vector<std::string> replaced_;
    std::vector<std::string> staged_; // staged and not yet in place
    std::mutex stagedLock_;
    bool unflushed_ = false; // names made or changed in the folder since it was last flushed
    bool begun_ = false;
    bool finished_ = false;
};

struct TReplacementRecovery {
    enum Outcome {
        None,     // no interrupted replacement in the folder
        PutBack,  // the tables as they were before it are back in place
        Finished, // it had committed: only its set-aside copies were left, and are removed
    };
    Outcome outcome = None;
    std::string purpose; // as the interrupted replacement gave it
};

// Run at the start of the program, before any table opens: undoes (or finishes) a replacement
// that a crash interrupted. Raises EDatabaseError (Czech) when a file cannot be put back.
TReplacementRecovery RecoverTableReplacement(const std::filesystem::path& folder);

} // namespace data
