#pragma once
// Fills a program folder's tables with a realistic large library, written through the dataset
// layer as the program itself would: books, readers, loans (some still open) and archived loans,
// with Czech names and titles.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

namespace bench {

struct LibrarySize {
    int books = 100000;
    int readers = 10000;
    int loans = 200000;
    int openLoans = 5000;
    int archived = 1000000;
};

// Sets the count a size option names (--books, --readers, --loans, --open, --archived);
// false for any other option.
bool SetSizeOption(LibrarySize& size, const std::string& option, int value);

// The folder must hold the table files (a copy of the program folder). `today` is the date
// the open loans are counted to, as days since 30.12.1899. Progress lines go to `log`.
void GenerateLibrary(const std::filesystem::path& folder, const LibrarySize& size, double today,
                     const std::function<void(const std::string&)>& log);

// Writes the empty table files of install/tables into a folder.
void WriteEmptyTables(const std::filesystem::path& schemaFolder, const std::filesystem::path& folder);

// Peak resident memory of this process so far, in MiB.
double PeakMemoryMiB();

} // namespace bench
