#pragma once
// The engine session: one SQLite connection per process. Each table file is attached when its
// first dataset opens and detached when its last one closes, so other code may copy or replace
// the file while no dataset holds it. All attached files share one transaction (rollback journal,
// so a commit that writes several files is atomic). A folder whose tables are attached is locked
// against a second process; the program holds its folder's lock for its whole life (HoldFolder).
//
// Every attached file knows the datasets open over it, so a file can be released for replacing
// (restore, import) without its users being named: ReleaseTableFiles closes them all, drops the
// attachments and hands back what it closed, to be opened again over the new files.

#include "platform/data/Sqlite.h"
#include "platform/data/TableSchema.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace data {

class TSqlDataSet;

// One attached table file. Shared by every dataset open on it.
class TableFile {
public:
    ~TableFile();
    TableFile(const TableFile&) = delete;
    TableFile& operator=(const TableFile&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::string FileLabel() const { return path_.filename().string(); }
    const std::string& Alias() const { return alias_; }
    const std::string& TableName() const { return tableName_; }
    const std::string& Qualified() const { return qualified_; } // "t1"."Knihy"
    const TableSchema& Schema() const { return schema_; }
    int FieldIndex(std::string_view name) const; // case-insensitive; -1 when absent
    sqlite3* Db() const { return db_; }

    // Changes: every write through any dataset moves the generation on, so datasets and caches
    // over the file know to re-read.
    std::uint64_t Generation() const { return generation_; }
    void Changed();

    // Every rowid of the table in ascending order, kept up to date on the writes noted here.
    const std::vector<std::int64_t>& AllRowids();
    // How many records the table holds when AllRowids is known already; 0 when not.
    std::size_t KnownRowCount() const { return rowidsKnown_ ? rowids_.size() : 0; }
    void NoteInserted(std::int64_t rowid);
    void NoteDeleted(std::int64_t rowid);
    void Invalidate(); // after a rollback or a bulk change: forget what was read

    // Czech collation sort keys of one column's values by rowid, each with a hash of the text it
    // was made of, so re-sorting a list reuses the keys of the rows whose text is the same. A
    // deleted row (seen through the connection's update hook) takes its keys with it.
    struct SortKey {
        std::size_t textHash = 0;
        std::string key;
    };
    using SortKeyMaps = std::map<int, std::unordered_map<std::int64_t, SortKey>>;
    std::unordered_map<std::int64_t, SortKey>& SortKeys(int column) { return sortKeys_[column]; }
    void ForgetRow(std::int64_t rowid);

    // A prepared statement kept for the life of the attachment (reset before each use).
    sqlite::Statement& Cached(const std::string& sql);

    // The datasets open over the file (tables and queries), as they registered when opening.
    const std::vector<TSqlDataSet*>& DataSets() const { return dataSets_; }
    void AddDataSet(TSqlDataSet* dataSet);
    void RemoveDataSet(TSqlDataSet* dataSet);

private:
    friend class Session;
    TableFile() = default;

    std::filesystem::path path_;
    std::filesystem::path folder_;
    std::string alias_, tableName_, qualified_;
    TableSchema schema_;
    sqlite3* db_ = nullptr;
    std::uint64_t generation_ = 0;
    bool rowidsKnown_ = false;
    std::vector<std::int64_t> rowids_;
    std::map<std::string, sqlite::Statement> statements_;
    SortKeyMaps sortKeys_;
    std::vector<TSqlDataSet*> dataSets_;
};

// The datasets that Session::ReleaseTableFiles closed. Reopen() opens them again (over whatever
// files then carry the names) in the order they had been opened; a dataset destroyed meanwhile is
// skipped. While the object holds released datasets it also holds the lock of their folders, so
// no other program can take the folder while its files are being replaced.
class TReleasedTables {
public:
    TReleasedTables() = default;
    ~TReleasedTables();
    TReleasedTables(TReleasedTables&& other) noexcept;
    TReleasedTables& operator=(TReleasedTables&& other) noexcept;
    TReleasedTables(const TReleasedTables&) = delete;
    TReleasedTables& operator=(const TReleasedTables&) = delete;

    // Opens every released dataset. When one fails, those opened by this call are closed again,
    // the error is raised and everything stays released, so it can be tried again (for instance
    // after the old files were put back). After success the object is empty.
    void Reopen();
    // The released datasets that still exist, in their opening order.
    std::vector<TSqlDataSet*> DataSets() const;
    // The files released (absolute paths).
    const std::vector<std::filesystem::path>& Files() const { return files_; }
    bool Empty() const { return entries_.empty(); }

private:
    friend class Session;
    struct Entry {
        TSqlDataSet* dataSet;
        std::uint64_t id; // tells the dataset from a later one at the same address
    };
    void ReleaseLocks();
    std::vector<Entry> entries_;
    std::vector<std::filesystem::path> files_;
    // The sort keys of the released files, taken up by the files attached under their names when
    // the datasets reopen (the keys of rows whose text is the same serve the new file too).
    std::map<std::filesystem::path, TableFile::SortKeyMaps> sortKeys_;
    std::vector<std::filesystem::path> lockedFolders_;
};

class Session {
public:
    static Session& Instance();

    // The table file `name` in `folder`, found without regard to letter case ("Knihy.db" finds
    // "Knihy.DB"). Raises EDatabaseError (Czech) when there is none, and when the folder holds two
    // files whose names differ only in letter case (which of them is the table cannot be told).
    // Every table file name of the program resolves here.
    static std::filesystem::path ResolveTableFile(const std::filesystem::path& folder, std::string_view name);
    // The same, but none found is no error.
    static std::optional<std::filesystem::path> FindTableFile(const std::filesystem::path& folder,
                                                              std::string_view name);

    // Takes the folder's lock for the rest of the process's life: a second program started on the
    // folder is refused even while none of its tables is attached (during a backup or restore).
    // Raises EDatabaseError (Czech) when another program holds it.
    void HoldFolder(const std::filesystem::path& folder);

    // Releases the table files so they can be replaced: every dataset open over any of them is
    // closed (a pending edit is saved first; if that fails nothing is released and the error is
    // raised), and the attachments are dropped. Raises EDatabaseError (Czech, naming the file)
    // and leaves everything open as it was when a file cannot be let go: a transaction is running,
    // or something other than a dataset still holds the file. Files not attached are fine.
    TReleasedTables ReleaseTableFiles(const std::vector<std::filesystem::path>& files);

    // Attaches the file (or shares the attachment already made) and checks its structure.
    std::shared_ptr<TableFile> Attach(const std::filesystem::path& file);
    bool IsAttached(const std::filesystem::path& file) const;
    int AttachedCount() const { return static_cast<int>(attached_.size()); }

    sqlite3* Db() const { return db_; }

    // Transactions; nested ones are savepoints inside the outermost.
    void BeginTransaction();
    void CommitTransaction();
    void RollbackTransaction();
    int TransactionDepth() const { return depth_; }

private:
    friend class TReleasedTables;
    Session() = default;
    static std::filesystem::path Key(const std::filesystem::path& file);
    void Detach(TableFile* file);
    void FinishPendingDetaches();
    void LockFolder(const std::filesystem::path& folder);
    void UnlockFolder(const std::filesystem::path& folder);
    void OpenConnection(const std::filesystem::path& folder);
    void CloseConnection();
    void InvalidateAll();
    static void RowChanged(void* session, int operation, const char* database, const char* table, sqlite3_int64 rowid);

    struct FolderLock {
        int fd = -1;
        int users = 0;
    };
    sqlite3* db_ = nullptr;
    int depth_ = 0;
    int nextAlias_ = 1;
    std::map<std::filesystem::path, FolderLock> locks_;
    std::set<std::filesystem::path> held_; // folders locked for the life of the process
    std::map<std::filesystem::path, std::weak_ptr<TableFile>> attached_;
    std::vector<TableFile*> pendingDetach_; // released inside a transaction
    std::weak_ptr<TableFile> lastChanged_;  // the file the update hook found last (a loop writes one table)
    std::map<std::filesystem::path, TableFile::SortKeyMaps> adoptableSortKeys_; // while released tables reopen
    long ownerPid_ = 0;
};

// Writes several tables atomically: everything posted while the guard lives is committed by
// Commit() or rolled back (also when the guard is left by an exception). Guards may nest.
class TTransaction {
public:
    TTransaction();
    ~TTransaction();
    TTransaction(const TTransaction&) = delete;
    TTransaction& operator=(const TTransaction&) = delete;
    void Commit();
    void Rollback();

private:
    bool open_ = true;
};

} // namespace data
