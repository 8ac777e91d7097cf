#pragma once
// The engine session: one SQLite connection per process. Each table file is attached when its
// first dataset opens and detached when its last one closes, so other code may copy or replace
// the file while no dataset holds it. All attached files share one transaction (rollback journal,
// so a commit that writes several files is atomic). A folder whose tables are attached is locked
// against a second process.

#include "platform/data/Sqlite.h"
#include "platform/data/TableSchema.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace data {

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
    void NoteInserted(std::int64_t rowid);
    void NoteDeleted(std::int64_t rowid);
    void Invalidate(); // after a rollback or a bulk change: forget what was read

    // Czech collation sort keys of one column's values by rowid, so re-sorting a list reuses them.
    // Any change of a row (seen through the connection's update hook) forgets that row's keys.
    std::unordered_map<std::int64_t, std::string>& SortKeys(int column) { return sortKeys_[column]; }
    void ForgetRow(std::int64_t rowid);

    // A prepared statement kept for the life of the attachment (reset before each use).
    sqlite::Statement& Cached(const std::string& sql);

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
    std::map<int, std::unordered_map<std::int64_t, std::string>> sortKeys_;
};

class Session {
public:
    static Session& Instance();

    // The table file `name` in `folder`, found without regard to letter case ("Knihy.db" finds
    // "Knihy.DB"). Raises EDatabaseError (Czech) when there is none.
    static std::filesystem::path ResolveTableFile(const std::filesystem::path& folder, std::string_view name);

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
    Session() = default;
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
    std::map<std::filesystem::path, std::weak_ptr<TableFile>> attached_;
    std::vector<TableFile*> pendingDetach_; // released inside a transaction
    std::weak_ptr<TableFile> lastChanged_;  // the file the update hook found last (a loop writes one table)
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
