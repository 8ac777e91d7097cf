#include "platform/data/Session.h"

#include "platform/data/MemoryMap.h"
#include "platform/data/SqlDataSet.h"
#include "platform/sys/CzechText.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace data {
namespace {

constexpr int kMaxAttached = 10; // SQLite's limit of attached databases
constexpr const char* kLockFileName = "Lendar.lock";

std::uint64_t NextGeneration()
{
    static std::uint64_t counter = 0;
    return ++counter;
}

// SQLite URI of an existing file opened read/write without creating it.
std::string FileUri(const std::filesystem::path& path)
{
    static const char* hex = "0123456789ABCDEF";
    std::string uri = "file:";
    for (unsigned char c : path.string()) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '/' ||
            c == '.' || c == '-' || c == '_' || c == '~') {
            uri += static_cast<char>(c);
        } else {
            uri += '%';
            uri += hex[c >> 4];
            uri += hex[c & 15];
        }
    }
    return uri + "?mode=rw";
}

void CzechLike(sqlite3_context* context, int argc, sqlite3_value** argv)
{
    if (argc != 2 || sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const auto* pattern = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const int patternBytes = sqlite3_value_bytes(argv[0]);
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[1]));
    const int textBytes = sqlite3_value_bytes(argv[1]);
    const bool match = sys::LikeCzech(std::string_view(text, static_cast<std::size_t>(textBytes)),
                                      std::string_view(pattern, static_cast<std::size_t>(patternBytes)));
    sqlite3_result_int(context, match ? 1 : 0);
}

int CzechCollation(void*, int aBytes, const void* a, int bBytes, const void* b)
{
    return sys::CompareCzech(std::string_view(static_cast<const char*>(a), static_cast<std::size_t>(aBytes)),
                             std::string_view(static_cast<const char*>(b), static_cast<std::size_t>(bBytes)));
}

} // namespace

// ---- TableFile ----

TableFile::~TableFile() = default;

int TableFile::FieldIndex(std::string_view name) const
{
    for (std::size_t i = 0; i < schema_.fields.size(); ++i)
        if (sys::SameTextCzech(schema_.fields[i].name, name))
            return static_cast<int>(i);
    return -1;
}

void TableFile::Changed() { generation_ = NextGeneration(); }

const std::vector<std::int64_t>& TableFile::AllRowids()
{
    if (!rowidsKnown_) {
        rowids_.clear();
        sqlite::Statement& all = Cached("SELECT rowid FROM " + qualified_ + " ORDER BY rowid");
        all.Reset();
        while (all.Step())
            rowids_.push_back(all.ColumnInt64(0));
        all.Reset();
        rowidsKnown_ = true;
    }
    return rowids_;
}

void TableFile::NoteInserted(std::int64_t rowid)
{
    if (rowidsKnown_) {
        if (rowids_.empty() || rowids_.back() < rowid)
            rowids_.push_back(rowid);
        else
            rowids_.insert(std::lower_bound(rowids_.begin(), rowids_.end(), rowid), rowid);
    }
    Changed();
}

void TableFile::NoteDeleted(std::int64_t rowid)
{
    if (rowidsKnown_) {
        auto it = std::lower_bound(rowids_.begin(), rowids_.end(), rowid);
        if (it != rowids_.end() && *it == rowid)
            rowids_.erase(it);
    }
    Changed();
}

void TableFile::ForgetRow(std::int64_t rowid)
{
    for (auto& [column, keys] : sortKeys_)
        keys.erase(rowid);
}

void TableFile::Invalidate()
{
    sortKeys_.clear();
    rowidsKnown_ = false;
    rowids_.clear();
    rowids_.shrink_to_fit();
    Changed();
}

sqlite::Statement& TableFile::Cached(const std::string& sql)
{
    auto it = statements_.find(sql);
    if (it == statements_.end())
        it = statements_.emplace(sql, sqlite::Statement(db_, sql)).first;
    return it->second;
}

void TableFile::AddDataSet(TSqlDataSet* dataSet)
{
    if (std::find(dataSets_.begin(), dataSets_.end(), dataSet) == dataSets_.end())
        dataSets_.push_back(dataSet);
}

void TableFile::RemoveDataSet(TSqlDataSet* dataSet)
{
    dataSets_.erase(std::remove(dataSets_.begin(), dataSets_.end(), dataSet), dataSets_.end());
}

// ---- Session ----

Session& Session::Instance()
{
    // A child process made by fork() starts with a session of its own: the parent's connection
    // and folder locks are not its to use (they are left alone, not closed).
    static Session* instance = nullptr;
    const long pid = static_cast<long>(getpid());
    if (instance == nullptr || instance->ownerPid_ != pid) {
        // Never destroyed: datasets that are globals may close after static destruction began.
        instance = new Session();
        instance->ownerPid_ = pid;
    }
    return *instance;
}

std::optional<std::filesystem::path> Session::FindTableFile(const std::filesystem::path& folder, std::string_view name)
{
    namespace fs = std::filesystem;
    const fs::path requested(std::string{name});
    const fs::path base = requested.is_absolute() ? requested.parent_path()
                                                  : (folder / requested).parent_path();
    const std::string fileName = requested.filename().string();
    std::error_code ec;
    std::vector<fs::path> found;
    for (fs::directory_iterator it(base, ec), end; !ec && it != end; it.increment(ec)) {
        if (sys::SameTextCzech(it->path().filename().string(), fileName) && it->is_regular_file(ec))
            found.push_back(it->path());
    }
    if (found.size() > 1) {
        std::sort(found.begin(), found.end());
        std::string names;
        for (const fs::path& path : found)
            names += (names.empty() ? "'" : ", '") + path.filename().string() + "'";
        throw EDatabaseError("Ve složce '" + base.string() + "' jsou soubory " + names +
                             ", jejichž názvy se liší jen velikostí písmen. Nelze poznat, který z nich je tabulka '" +
                             fileName + "'; ve složce smí zůstat jen jeden z nich.");
    }
    if (found.empty())
        return std::nullopt;
    return found.front();
}

std::filesystem::path Session::ResolveTableFile(const std::filesystem::path& folder, std::string_view name)
{
    if (auto found = FindTableFile(folder, name))
        return *found;
    const std::filesystem::path requested(std::string{name});
    const std::filesystem::path base = requested.is_absolute() ? requested.parent_path()
                                                               : (folder / requested).parent_path();
    throw EDatabaseError("Soubor s tabulkou '" + requested.filename().string() + "' nebyl ve složce '" +
                         base.string() + "' nalezen.");
}

std::filesystem::path Session::Key(const std::filesystem::path& file)
{
    std::error_code ec;
    return std::filesystem::weakly_canonical(std::filesystem::absolute(file), ec);
}

bool Session::IsAttached(const std::filesystem::path& file) const
{
    auto it = attached_.find(Key(file));
    return it != attached_.end() && !it->second.expired();
}

void Session::LockFolder(const std::filesystem::path& folder)
{
    auto it = locks_.find(folder);
    if (it != locks_.end()) {
        ++it->second.users;
        return;
    }
    const std::filesystem::path lockPath = folder / kLockFileName;
    const int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        throw EDatabaseError("Ve složce '" + folder.string() + "' nelze otevřít zámek dat (" + kLockFileName +
                             "): " + std::strerror(errno) + ".");
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK)
            throw EDatabaseError("S daty ve složce '" + folder.string() +
                                 "' už pracuje jiný spuštěný program Orbelin Pernoka. Nad stejnými daty "
                                 "může pracovat jen jeden program; tento je nezmění.");
        throw EDatabaseError("Složku '" + folder.string() + "' nelze zamknout: " + std::strerror(error) + ".");
    }
    locks_[folder] = FolderLock{fd, 1};
}

void Session::HoldFolder(const std::filesystem::path& folder)
{
    const std::filesystem::path key = Key(folder);
    if (held_.count(key) != 0)
        return;
    LockFolder(key); // never unlocked: the lock ends with the process
    held_.insert(key);
}

void Session::UnlockFolder(const std::filesystem::path& folder)
{
    auto it = locks_.find(folder);
    if (it == locks_.end() || --it->second.users > 0)
        return;
    ::close(it->second.fd); // releases the lock
    locks_.erase(it);
}

void Session::OpenConnection(const std::filesystem::path& folder)
{
    // The main database is the folder's lock file: an empty database that is never written. It
    // must be a real file (not ":memory:"), or a commit over several attached files would not be
    // atomic; the journal that ties such a commit together lies beside it.
    const std::filesystem::path mainPath = folder / kLockFileName;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(mainPath.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_URI |
                                              SQLITE_OPEN_NOMUTEX, // used by one thread
                        nullptr) != SQLITE_OK) {
        const std::string message = db != nullptr ? sqlite3_errmsg(db) : "nedostatek paměti";
        sqlite3_close_v2(db);
        throw EDatabaseError("Databázové spojení nelze otevřít: " + message);
    }
    sqlite3_busy_timeout(db, 5000);
    sqlite3_create_collation_v2(db, "CZECH", SQLITE_UTF8, nullptr, CzechCollation, nullptr);
    sqlite3_update_hook(db, &Session::RowChanged, this);
    sqlite3_create_function_v2(db, "like", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, CzechLike, nullptr,
                               nullptr, nullptr);
    db_ = db;
    try {
        sqlite::Exec(db_, "PRAGMA main.journal_mode=DELETE; PRAGMA main.synchronous=FULL;");
        // A transaction begun before anything was attached starts now.
        for (int level = 0; level < depth_; ++level)
            sqlite::Exec(db_, level == 0 ? std::string("BEGIN")
                                         : "SAVEPOINT lendar_" + std::to_string(level));
    } catch (...) {
        CloseConnection();
        throw;
    }
}

void Session::CloseConnection()
{
    if (db_ != nullptr) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
}

std::shared_ptr<TableFile> Session::Attach(const std::filesystem::path& file)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path path = Key(file);
    if (auto it = attached_.find(path); it != attached_.end())
        if (auto existing = it->second.lock())
            return existing;

    auto deleter = [](TableFile* f) { Session::Instance().Detach(f); };

    // Released inside the running transaction and not yet detached: take it up again.
    if (auto it = std::find_if(pendingDetach_.begin(), pendingDetach_.end(),
                               [&](TableFile* f) { return f->path_ == path; });
        it != pendingDetach_.end()) {
        TableFile* raw = *it;
        pendingDetach_.erase(it);
        std::shared_ptr<TableFile> shared(raw, deleter);
        attached_[path] = shared;
        return shared;
    }

    if (!fs::is_regular_file(path, ec))
        throw EDatabaseError("Soubor s tabulkou '" + path.string() + "' neexistuje.");
    if (attached_.size() + pendingDetach_.size() >= static_cast<std::size_t>(kMaxAttached))
        throw EDatabaseError("Soubor '" + path.filename().string() +
                             "' nelze otevřít: najednou může být otevřeno nejvýše " +
                             std::to_string(kMaxAttached) + " tabulek.");

    const fs::path folder = path.parent_path();
    LockFolder(folder);
    std::unique_ptr<TableFile> table(new TableFile());
    try {
        if (db_ == nullptr)
            OpenConnection(folder);
        table->path_ = path;
        table->folder_ = folder;
        table->alias_ = "t" + std::to_string(nextAlias_++);
        table->db_ = db_;
        if (const auto kept = adoptableSortKeys_.find(path); kept != adoptableSortKeys_.end()) {
            table->sortKeys_ = std::move(kept->second);
            adoptableSortKeys_.erase(kept);
        }
        {
            sqlite::Statement attach(db_, "ATTACH DATABASE ? AS " + sqlite::QuoteIdent(table->alias_));
            attach.BindText(1, FileUri(path));
            try {
                attach.Step();
            } catch (const EDatabaseError& e) {
                const int code = sqlite3_errcode(db_);
                const std::string label = "Soubor '" + path.filename().string() + "'";
                if (code == SQLITE_NOTADB || code == SQLITE_CORRUPT)
                    throw EDatabaseError(label + " není platnou tabulkou (není to databázový soubor).");
                if (code == SQLITE_READONLY || code == SQLITE_PERM || code == SQLITE_CANTOPEN)
                    throw EDatabaseError(label + " nelze otevřít pro čtení i zápis.");
                throw EDatabaseError(label + " nelze otevřít: " + e.what());
            }
        }
        try {
            const std::string a = sqlite::QuoteIdent(table->alias_);
            table->schema_ = ReadTableStructure(db_, table->alias_, path.stem().string(), path.filename().string());
            // Rollback journal and full syncs. Both are SQLite's defaults, which is what a file
            // attached inside a transaction (where they cannot be set) keeps.
            if (sqlite3_get_autocommit(db_))
                sqlite::Exec(db_, "PRAGMA " + a + ".journal_mode=DELETE; PRAGMA " + a + ".synchronous=FULL");
            sqlite::Exec(db_, "PRAGMA " + a + ".cache_size=-16000");
            if (const std::string map = MapPragma(a, folder); !map.empty())
                sqlite::Exec(db_, map);
            // The table's name as the file spells it.
            sqlite::Statement name(db_, "SELECT name FROM " + a + ".sqlite_master WHERE type='table'");
            while (name.Step()) {
                const std::string n = name.ColumnText(0);
                if (sys::SameTextCzech(n, path.stem().string()))
                    table->tableName_ = n;
            }
            table->qualified_ = a + "." + sqlite::QuoteIdent(table->tableName_);
        } catch (...) {
            sqlite::Exec(db_, "DETACH DATABASE " + sqlite::QuoteIdent(table->alias_));
            throw;
        }
    } catch (...) {
        UnlockFolder(folder);
        if (attached_.empty() && pendingDetach_.empty() && depth_ == 0)
            CloseConnection();
        throw;
    }
    table->Changed();
    std::shared_ptr<TableFile> shared(table.release(), deleter);
    attached_[path] = shared;
    return shared;
}

void Session::Detach(TableFile* file)
{
    if (depth_ > 0) {
        pendingDetach_.push_back(file);
        if (auto it = attached_.find(file->path_); it != attached_.end() && it->second.expired())
            attached_.erase(it);
        return;
    }
    file->statements_.clear();
    if (db_ != nullptr)
        sqlite3_exec(db_, ("DETACH DATABASE " + sqlite::QuoteIdent(file->alias_)).c_str(), nullptr, nullptr, nullptr);
    if (auto it = attached_.find(file->path_); it != attached_.end() && it->second.expired())
        attached_.erase(it);
    const auto folder = file->folder_;
    delete file;
    UnlockFolder(folder);
    if (attached_.empty() && pendingDetach_.empty())
        CloseConnection();
}

void Session::FinishPendingDetaches()
{
    auto pending = std::move(pendingDetach_);
    pendingDetach_.clear();
    for (TableFile* f : pending)
        Detach(f);
}

void Session::RowChanged(void* session, int operation, const char* database, const char*, sqlite3_int64 rowid)
{
    // Keys of a changed row are checked against its text when used; only a deleted row's go now.
    if (operation != SQLITE_DELETE)
        return;
    auto* self = static_cast<Session*>(session);
    // Aliases are unique among the attached files, so the one found last is the one when it
    // still lives and has this alias.
    if (const auto file = self->lastChanged_.lock(); file && file->Alias() == database) {
        file->ForgetRow(rowid);
        return;
    }
    for (const auto& [path, weak] : self->attached_)
        if (const auto file = weak.lock(); file && file->Alias() == database) {
            file->ForgetRow(rowid);
            self->lastChanged_ = file;
        }
}

void Session::InvalidateAll()
{
    for (auto& [path, weak] : attached_)
        if (auto f = weak.lock())
            f->Invalidate();
    for (TableFile* f : pendingDetach_)
        f->Invalidate();
}

void Session::BeginTransaction()
{
    if (db_ != nullptr)
        sqlite::Exec(db_, depth_ == 0 ? std::string("BEGIN") : "SAVEPOINT lendar_" + std::to_string(depth_));
    ++depth_;
}

void Session::CommitTransaction()
{
    if (depth_ == 0)
        throw EDatabaseError("Není zahájena žádná transakce.");
    if (depth_ > 1) {
        if (db_ != nullptr)
            sqlite::Exec(db_, "RELEASE lendar_" + std::to_string(depth_ - 1));
        --depth_;
        return;
    }
    if (db_ != nullptr) {
        try {
            sqlite::Exec(db_, "COMMIT");
        } catch (...) {
            if (!sqlite3_get_autocommit(db_))
                sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
            depth_ = 0;
            InvalidateAll();
            FinishPendingDetaches();
            throw;
        }
    }
    depth_ = 0;
    FinishPendingDetaches();
}

void Session::RollbackTransaction()
{
    if (depth_ == 0)
        return;
    if (depth_ > 1) {
        if (db_ != nullptr) {
            const std::string name = "lendar_" + std::to_string(depth_ - 1);
            sqlite3_exec(db_, ("ROLLBACK TO " + name + "; RELEASE " + name).c_str(), nullptr, nullptr, nullptr);
        }
        --depth_;
        InvalidateAll();
        return;
    }
    if (db_ != nullptr && !sqlite3_get_autocommit(db_))
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    depth_ = 0;
    InvalidateAll();
    FinishPendingDetaches();
}

// ---- Releasing files for replacement ----

TReleasedTables Session::ReleaseTableFiles(const std::vector<std::filesystem::path>& files)
{
    namespace fs = std::filesystem;
    TReleasedTables released;
    for (const fs::path& file : files) {
        const auto found = FindTableFile(file.parent_path(), file.filename().string());
        released.files_.push_back(Key(found ? *found : file));
    }
    if (depth_ > 0)
        throw EDatabaseError("Tabulky nelze uvolnit, dokud není dokončena rozpracovaná transakce.");

    // The datasets over the files, in the order they were opened.
    std::vector<TSqlDataSet*> dataSets;
    for (const fs::path& path : released.files_) {
        const auto it = attached_.find(path);
        if (it == attached_.end())
            continue;
        if (const auto file = it->second.lock())
            for (TSqlDataSet* dataSet : file->DataSets())
                if (std::find(dataSets.begin(), dataSets.end(), dataSet) == dataSets.end())
                    dataSets.push_back(dataSet);
    }
    std::sort(dataSets.begin(), dataSets.end(),
              [](const TSqlDataSet* a, const TSqlDataSet* b) { return a->OpenSerial() < b->OpenSerial(); });

    // Pending edits are saved before anything closes; one that cannot be saved stops the release.
    for (TSqlDataSet* dataSet : dataSets)
        dataSet->CheckBrowseMode();

    // The folders stay locked while their files are away.
    for (const fs::path& path : released.files_) {
        const fs::path folder = path.parent_path();
        if (std::find(released.lockedFolders_.begin(), released.lockedFolders_.end(), folder) !=
            released.lockedFolders_.end())
            continue;
        LockFolder(folder);
        released.lockedFolders_.push_back(folder);
    }

    for (const fs::path& path : released.files_)
        if (const auto it = attached_.find(path); it != attached_.end())
            if (const auto file = it->second.lock())
                released.sortKeys_[path] = std::move(file->sortKeys_);
    try {
        for (TSqlDataSet* dataSet : dataSets) {
            dataSet->Close();
            released.entries_.push_back({dataSet, dataSet->InstanceId()});
        }
        for (const fs::path& path : released.files_)
            if (IsAttached(path))
                throw EDatabaseError("Soubor '" + path.filename().string() +
                                     "' stále používá jiná část programu, proto jej nyní nelze nahradit.");
    } catch (...) {
        try {
            released.Reopen();
        } catch (...) {
        }
        throw;
    }
    return released;
}

TReleasedTables::~TReleasedTables() { ReleaseLocks(); }

TReleasedTables::TReleasedTables(TReleasedTables&& other) noexcept
    : entries_(std::move(other.entries_)), files_(std::move(other.files_)), sortKeys_(std::move(other.sortKeys_)),
      lockedFolders_(std::move(other.lockedFolders_))
{
    other.entries_.clear();
    other.lockedFolders_.clear();
}

TReleasedTables& TReleasedTables::operator=(TReleasedTables&& other) noexcept
{
    if (this != &other) {
        ReleaseLocks();
        entries_ = std::move(other.entries_);
        files_ = std::move(other.files_);
        sortKeys_ = std::move(other.sortKeys_);
        lockedFolders_ = std::move(other.lockedFolders_);
        other.entries_.clear();
        other.lockedFolders_.clear();
    }
    return *this;
}

void TReleasedTables::ReleaseLocks()
{
    for (const auto& folder : lockedFolders_)
        Session::Instance().UnlockFolder(folder);
    lockedFolders_.clear();
}

std::vector<TSqlDataSet*> TReleasedTables::DataSets() const
{
    std::vector<TSqlDataSet*> alive;
    for (const Entry& entry : entries_)
        if (TSqlDataSet::Exists(entry.dataSet, entry.id))
            alive.push_back(entry.dataSet);
    return alive;
}

void TReleasedTables::Reopen()
{
    const std::vector<TSqlDataSet*> dataSets = DataSets();
    std::size_t opened = 0;
    Session& session = Session::Instance();
    session.adoptableSortKeys_ = std::move(sortKeys_); // a failed opening tried again makes them anew
    sortKeys_.clear();
    try {
        for (; opened < dataSets.size(); ++opened)
            dataSets[opened]->Open();
        session.adoptableSortKeys_.clear();
    } catch (...) {
        session.adoptableSortKeys_.clear();
        while (opened > 0) {
            try {
                dataSets[--opened]->Close();
            } catch (...) {
            }
        }
        throw;
    }
    entries_.clear();
    ReleaseLocks();
}

// ---- TTransaction ----

TTransaction::TTransaction() { Session::Instance().BeginTransaction(); }

TTransaction::~TTransaction()
{
    if (open_) {
        try {
            Session::Instance().RollbackTransaction();
        } catch (...) {
        }
    }
}

void TTransaction::Commit()
{
    if (!open_)
        throw EDatabaseError("Transakce už byla ukončena.");
    open_ = false;
    Session::Instance().CommitTransaction();
}

void TTransaction::Rollback()
{
    if (!open_)
        return;
    open_ = false;
    Session::Instance().RollbackTransaction();
}

} // namespace data
