#pragma once
// What the dBase import writes for each choice of its list, and the checks made before anything
// is changed: the source file's columns, memo file and field types, the empty templates, the
// backup of the tables into "Záloha".

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace dbase {
class TDBaseTable;
}

namespace transfer {

enum ImportChoice { kNoTable, kArchive, kCodeLists, kReaders, kKeywords, kBooks, kLoans };

struct ImportTarget {
    std::string table;  // file in the program folder (and its template in Empty)
    std::string backup; // file in Záloha
};

struct ImportItem {
    std::vector<ImportTarget> targets;
    // Target field <- source column. The code lists fill "Nazev" of target n from column n.
    std::vector<std::pair<std::string, std::string>> mapping;
};

const ImportItem& ImportItemOf(int choice);

// The first problem of a source file opened in `source` that would stop the import, as a Czech
// message; "" when there is none.
std::string CheckSource(const dbase::TDBaseTable& source, const std::string& path, const ImportItem& item);

// The first problem of the templates in programFolder/Empty: missing, or not of the structure of
// the table they stand for; "" when there is none.
std::string CheckTemplates(const std::filesystem::path& programFolder, const ImportItem& item);

// Copies each table file of the item into programFolder/Záloha (made when missing) under its
// backup name. "" on success, else why it failed.
std::string BackUp(const std::filesystem::path& programFolder, const ImportItem& item);

} // namespace transfer
