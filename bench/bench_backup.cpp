// Backup and restore of the nine table files of a large generated library, with the program's
// datasets open over them (they are released and opened again), beside the baseline of copying
// the same nine files with a flush (fsync) of each, measured in the same run. Goal: each within
// 2x of the baseline.
// Options as lendar-generate's (--books N ...), --runs N, --keep to leave the folder.

#include "BenchSupport.h"
#include "LibraryGenerator.h"

#include "maintenance/BackupSet.h"
#include "platform/data/Query.h"
#include "platform/data/Session.h"
#include "platform/data/Table.h"
#include "platform/sys/ShortDate.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using bench::Median;
using bench::Millis;

namespace {

// The baseline: each of the nine files read and written whole, then flushed.
void CopyNineFiles(const fs::path& from, const fs::path& to)
{
    std::vector<char> buffer(1 << 20);
    for (const backup::SetMember& member : backup::kBackupSet) {
        const fs::path source = data::Session::ResolveTableFile(from, member.table);
        const int in = ::open(source.c_str(), O_RDONLY);
        const int out = ::open((to / std::string(member.backup)).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (in < 0 || out < 0)
            throw std::runtime_error("cannot copy " + source.string());
        for (ssize_t n; (n = ::read(in, buffer.data(), buffer.size())) > 0;)
            if (::write(out, buffer.data(), static_cast<std::size_t>(n)) != n)
                throw std::runtime_error("write failed");
        ::fsync(out);
        ::close(out);
        ::close(in);
    }
}

// The datasets a running program keeps open over its tables.
struct OpenTables {
    std::vector<std::unique_ptr<data::TTable>> tables;
    data::TQuery books, readers, archive;
    OpenTables()
    {
        for (const backup::SetMember& member : backup::kBackupSet) {
            tables.push_back(std::make_unique<data::TTable>());
            tables.back()->TableName = std::string(member.table);
            tables.back()->Open();
        }
        books.SQL.Add("SELECT * FROM Knihy");
        books.SQL.Add("ORDER BY Kod");
        readers.SQL.Add("SELECT * FROM Čtenáři");
        readers.SQL.Add("ORDER BY Jmeno");
        archive.SQL.Add("SELECT * FROM VýpůjčkyArchiv");
        archive.SQL.Add("ORDER BY Cislo");
        for (data::TQuery* q : {&books, &readers, &archive})
            q->Open();
    }
};

std::uintmax_t SetSize(const fs::path& folder)
{
    std::uintmax_t size = 0;
    for (const backup::SetMember& member : backup::kBackupSet)
        size += fs::file_size(data::Session::ResolveTableFile(folder, member.table));
    return size;
}

void Report(const char* what, double ms, double baseline)
{
    const double ratio = ms / baseline;
    std::printf("%-44s %9.1f ms   copy+fsync %8.1f ms   ratio %.2f (goal <= 2.00) %s\n", what, ms, baseline, ratio,
                ratio <= 2.0 ? "ok" : "MISSED");
}

} // namespace

int main(int argc, char** argv)
{
    bench::LibrarySize size;
    int runs = 5;
    bool keep = false;
    bench::ReadBenchOptions(argc, argv, size, keep, [&runs](const std::string& option, int value) {
        if (option == "--runs")
            runs = std::max(1, value);
    });
    const auto scratch = bench::MakeScratchFolder("lendar-bench-backup-");
    if (!scratch)
        return 1;
    const fs::path folder = *scratch;
    const fs::path program = folder / "program";
    const fs::path copies = folder / "copies";
    const fs::path backupFolder = folder / "zaloha";
    fs::create_directories(program);
    fs::create_directories(copies);
    fs::create_directories(backupFolder);

    int result = 0;
    try {
        bench::WriteEmptyTables(fs::path(LENDAR_SOURCE_DIR) / "install" / "tables", program);
        const double generate = Millis(
            [&] { bench::GenerateLibrary(program, size, sys::Today().days, [](const std::string&) {}); });
        std::printf("library of %d books, %d readers, %d loans, %d archived: %.1f MiB in nine files, generated in "
                    "%.1f s\n",
                    size.books, size.readers, size.loans, size.archived,
                    static_cast<double>(SetSize(program)) / (1 << 20), generate / 1000);
        fs::current_path(program);
        // First as the program does it, its datasets open (closed and opened again, the lists
        // rebuilt); then the file work alone, nothing open.
        for (const bool withDataSets : {true, false}) {
            auto open = withDataSets ? std::make_unique<OpenTables>() : nullptr;
            std::vector<double> baseline, backups, restores;
            for (int run = 0; run < runs; ++run) {
                baseline.push_back(Millis([&] { CopyNineFiles(program, copies); }));
                backups.push_back(Millis([&] { backup::WriteBackupSet(program, backupFolder); }));
                restores.push_back(Millis([&] {
                    if (backup::RestoreBackupSet(program, backupFolder) != backup::RestoreOutcome::Restored)
                        throw std::runtime_error("restore rolled back");
                }));
            }
            std::printf("%s (%d runs each, medians)\n",
                        withDataSets ? "with the program's datasets open and reopened" : "files alone", runs);
            Report("backup of the nine files", Median(backups), Median(baseline));
            Report("restore of the nine files (checks included)", Median(restores), Median(baseline));
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_backup: %s\n", e.what());
        result = 1;
    }
    fs::current_path("/");
    if (keep) {
        std::printf("library left in %s\n", folder.c_str());
    } else {
        std::error_code error;
        fs::remove_all(folder, error);
    }
    return result;
}
