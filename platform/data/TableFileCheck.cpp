#include "platform/data/TableFileCheck.h"

#include "platform/data/MemoryMap.h"
#include "platform/data/Sqlite.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <fstream>

namespace data {

namespace fs = std::filesystem;

namespace {

// A read-only connection to one file, closed at the end of the scope.
class ReadOnlyFile {
public:
    explicit ReadOnlyFile(const fs::path& file)
    {
        if (sqlite3_open_v2(file.c_str(), &db_, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
            const std::string message = db_ != nullptr ? sqlite3_errmsg(db_) : "nedostatek paměti";
            sqlite3_close_v2(db_);
            db_ = nullptr;
            throw EDatabaseError("Soubor '" + file.filename().string() + "' nelze otevřít: " + message);
        }
        if (const std::string map = MapPragma("main", file.parent_path()); !map.empty())
            sqlite3_exec(db_, map.c_str(), nullptr, nullptr, nullptr); // only faster when it works
    }
    ~ReadOnlyFile() { sqlite3_close_v2(db_); }
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;
    sqlite3* Db() const { return db_; }

private:
    sqlite3* db_ = nullptr;
};

std::uint32_t BigEndian(const unsigned char* bytes, int count)
{
    std::uint32_t value = 0;
    for (int i = 0; i < count; ++i)
        value = (value << 8) | bytes[i];
    return value;
}

// The file's length against its header: a copy cut short (or grown) is found before SQLite reads
// pages past its end as empty ones.
void CheckLength(const fs::path& file)
{
    const std::string label = "Soubor '" + file.filename().string() + "'";
    std::error_code ec;
    const auto size = fs::file_size(file, ec);
    if (ec)
        throw EDatabaseError(label + " nelze číst: " + ec.message());
    std::array<unsigned char, 100> header{};
    std::ifstream in(file, std::ios::binary);
    if (size < header.size() || !in.read(reinterpret_cast<char*>(header.data()), header.size()))
        throw EDatabaseError(label + " je neúplný (chybí mu záhlaví tabulky).");
    if (std::memcmp(header.data(), "SQLite format 3", 16) != 0)
        throw EDatabaseError(label + " není tabulkou programu.");
    std::uint32_t pageSize = BigEndian(&header[16], 2);
    if (pageSize == 1)
        pageSize = 65536;
    if (pageSize < 512 || (pageSize & (pageSize - 1)) != 0)
        throw EDatabaseError(label + " je poškozený (neplatná velikost stránky).");
    const std::uint32_t changes = BigEndian(&header[24], 4);
    const std::uint32_t pages = BigEndian(&header[28], 4);
    const std::uint32_t validFor = BigEndian(&header[92], 4);
    const bool headerCountValid = pages != 0 && changes == validFor;
    if (size % pageSize != 0 || (headerCountValid && size != static_cast<std::uintmax_t>(pages) * pageSize))
        throw EDatabaseError(label + " je neúplný nebo poškozený (jeho délka neodpovídá obsahu).");
}

} // namespace

TableSchema ReadTableFileStructure(const fs::path& file, const std::string& tableName)
{
    ReadOnlyFile db(file);
    return ReadTableStructure(db.Db(), "main", tableName, file.filename().string());
}

void CheckTableFile(const fs::path& file, const std::string& tableName, const std::optional<TableSchema>& expected)
{
    const std::string label = "Soubor '" + file.filename().string() + "'";
    CheckLength(file);
    ReadOnlyFile db(file);
    const TableSchema actual = ReadTableStructure(db.Db(), "main", tableName, file.filename().string());
    if (expected && actual.fields != expected->fields)
        throw EDatabaseError(label + " má jinou strukturu než tabulka '" + tableName + "' programu.");
    try {
        sqlite::Statement check(db.Db(), "PRAGMA quick_check(1)");
        if (!check.Step() || check.ColumnText(0) != "ok")
            throw EDatabaseError(label + " je poškozený.");
    } catch (const EDatabaseError& e) {
        const std::string text = e.what();
        if (text.rfind(label, 0) == 0)
            throw;
        throw EDatabaseError(label + " je poškozený: " + text);
    }
}

} // namespace data
