#pragma once
// A small in-memory library (books, loans, readers, loan archive) in SQLite, stored the way the
// table files store values, for running translated filters and SELECT texts for real.

#include "platform/data/Filter.h"
#include "platform/data/Sql.h"

#include <sqlite3.h>

#include <string>
#include <vector>

namespace filter_test {

class LibraryDb {
public:
    LibraryDb();
    ~LibraryDb();
    LibraryDb(const LibraryDb&) = delete;
    LibraryDb& operator=(const LibraryDb&) = delete;

    // The field types of a table, resolved without regard to letter case.
    data::ColumnTypes Columns(const std::string& table) const;
    data::TableCatalog Catalog() const;

    // Cislo of the records of `table` that pass `where` (all when empty), in `orderBy` order
    // (by Cislo when empty). Fails the test on an SQLite error.
    std::vector<int> Select(const std::string& table, const std::string& where, const std::vector<data::Value>& params,
                            const std::string& orderBy = "") const;

private:
    sqlite3* db_ = nullptr;
};

} // namespace filter_test
