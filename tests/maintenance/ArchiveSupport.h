#pragma once
// The loan archive as the archive tests write and read it straight from its table file.

#include <cstdint>
#include <string>
#include <vector>

namespace archivetest {

struct ArchiveRow {
    std::int64_t CisloCtenare = 0;
    std::string Ctenar;
    std::int64_t CisloKnihy = 0;
    std::string KodKnihy, Kniha, Pujceno, Vraceno;
    std::int64_t Dnu = 0;
    bool operator==(const ArchiveRow&) const = default;
};

// Every archive record, in record order, the dates as texts ("1.9.2024").
std::vector<ArchiveRow> ArchiveRows();
void AddArchived(const std::vector<ArchiveRow>& rows);

} // namespace archivetest
