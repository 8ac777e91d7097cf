// Backup and restore of the nine table files of a large generated library, beside the baseline of
// copying the same nine files with a flush (fsync) of each, measured in the same run. Goal: each
// within 2x of the baseline, run through their windows as the librarian runs them (the program's
// windows up, every dataset over the tables released and opened again, the restore's lending page
// refreshed). The file work alone, with nothing open, is shown for information first.
// Options as lendar-generate's (--books N ...), --runs N, --keep to leave the folder.

#include "BenchSupport.h"
#include "WindowBench.h"

#include "app/CreateWindows.h"
#include "app/Hlavni.h"
#include "maintenance/BackupSet.h"
#include "maintenance/ImportovatData.h"
#include "maintenance/ZalohovatData.h"
#include "platform/data/Session.h"
#include "platform/sys/ShortDate.h"
#include "platform/ui/ScriptedDialogs.h"

#include <QApplication>

#include <cstdio>
#include <fcntl.h>
#include <functional>
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

struct Figures {
    std::vector<double> baseline, backups, restores;
};

// Runs the baseline, a backup and a restore `runs` times, the baseline each time just before.
Figures Measure(int runs, const fs::path& program, const fs::path& copies, const std::function<void()>& backup,
                const std::function<void()>& restore)
{
    Figures figures;
    for (int run = 0; run < runs; ++run) {
        figures.baseline.push_back(Millis([&] { CopyNineFiles(program, copies); }));
        figures.backups.push_back(Millis(backup));
        figures.restores.push_back(Millis(restore));
    }
    return figures;
}

void ReportAll(const char* heading, int runs, const Figures& figures)
{
    std::printf("%s (%d runs each, medians)\n", heading, runs);
    Report("backup of the nine files", Median(figures.backups), Median(figures.baseline));
    Report("restore of the nine files (checks included)", Median(figures.restores), Median(figures.baseline));
}

// The backup window opened from the tool bar, the folder typed, OK pressed, the success confirmed.
void BackupThroughWindow(ui::ScriptedDialogs& dialogs, const fs::path& folder)
{
    dialogs.ExpectModal(*Form6, std::function<void(TForm6&)>([&folder](TForm6& window) {
                            window.Edit1.SetText(folder.string());
                            window.BitBtn2.Click();
                        }),
                        ui::mrCancel);
    dialogs.Expect("Záloha dat byla úspěšně dokončena.", "Záloha dat", ui::IDOK);
    Form1->BitBtn4.Click();
}

void RestoreThroughWindow(ui::ScriptedDialogs& dialogs, const fs::path& folder)
{
    dialogs.ExpectModal(*Form8, std::function<void(TForm8&)>([&folder](TForm8& window) {
                            window.Edit1.SetText(folder.string());
                            window.BitBtn2.Click();
                        }),
                        ui::mrCancel);
    dialogs.Expect("Obnovení dat bylo úspěšně dokončeno.", "Obnovení dat", ui::IDOK);
    Form1->BitBtn23.Click();
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> failures; // outlives the dialogs, which report answers left unused
    bench::WindowBench setup("bench_backup", argc, argv, 5);
    return setup.Run([&](const fs::path& folder, ui::ScriptedDialogs& dialogs) {
        dialogs.OnFailure = [&failures](const std::string& what) { failures.push_back(what); };
        const fs::path program = folder / "program";
        const fs::path copies = folder / "copies";
        const fs::path backupFolder = folder / "zaloha";
        fs::create_directories(program);
        fs::create_directories(copies);
        fs::create_directories(backupFolder);
        const double generate = setup.MakeLibrary(program);
        std::printf("library of %d books, %d readers, %d loans, %d archived: %.1f MiB in nine files, generated in "
                    "%.1f s\n",
                    setup.size.books, setup.size.readers, setup.size.loans, setup.size.archived,
                    static_cast<double>(SetSize(program)) / (1 << 20), generate / 1000);

        ReportAll("files alone, nothing open", setup.runs,
                  Measure(setup.runs, program, copies, [&] { backup::WriteBackupSet(program, backupFolder); },
                          [&] {
                              if (backup::RestoreBackupSet(program, backupFolder) != backup::RestoreOutcome::Restored)
                                  throw std::runtime_error("restore rolled back");
                          }));

        CreateWindows();
        Form1->Show();
        Form1->Edit13.SetText(program.string());
        QApplication::processEvents();
        const Figures windows = Measure(
            setup.runs, program, copies, [&] { BackupThroughWindow(dialogs, backupFolder); },
            [&] { RestoreThroughWindow(dialogs, backupFolder); });
        if (!failures.empty())
            throw std::runtime_error("unexpected in the windows: " + failures.front());
        ReportAll("through the windows, the program's datasets open (the goal)", setup.runs, windows);
    });
}
