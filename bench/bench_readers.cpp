// Adding a reader through the add-reader dialog's OK on a large generated library, goal 100 ms,
// beside raw SQLite committing the same new record:
//  - from the lending desk, where OK also refills the desk's reader box and chooses the new reader;
//  - from the readers page, where OK saves and rebuilds the readers list only.
// Options as lendar-generate's (--books N ...), --runs N for the adds, --keep to leave the folder.

#include "BenchSupport.h"
#include "WindowBench.h"

#include "app/CreateWindows.h"
#include "app/Hlavni.h"
#include "catalogue/PridatCtenare.h"
#include "platform/sys/ShortDate.h"
#include "platform/ui/ScriptedDialogs.h"

#include <QApplication>

#include <sqlite3.h>

#include <cstdio>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using bench::Median;
using bench::Millis;

namespace {

void Report(const char* what, double ms, double goal, double baseline) {
    std::printf("%-52s %9.2f ms   raw SQLite %7.2f ms   (goal < %.0f ms) %s\n", what, ms, baseline, goal,
                ms < goal ? "ok" : "MISSED");
}

// The same new reader, committed durably by raw SQLite on a copy of the readers file.
double RawAdd(const fs::path& library, int runs) {
    const fs::path folder = library / "raw";
    fs::create_directory(folder);
    fs::copy_file(library / "Čtenáři.db", folder / "Čtenáři.db");
    sqlite3* db = nullptr;
    sqlite3_open((folder / "Čtenáři.db").c_str(), &db);
    sqlite3_exec(db, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        times.push_back(Millis([&] {
            sqlite3_exec(db,
                         "BEGIN; INSERT INTO \"Čtenáři\"(Jmeno,Trida,Kategorie,Poznamka,Aktivni,Stav)"
                         " VALUES('Nováková Eliška','5.A','Žák','',1,'Aktivní'); COMMIT;",
                         nullptr, nullptr, nullptr);
        }));
    }
    sqlite3_close(db);
    return Median(times);
}

// Adds `runs` readers through the dialog, timing each OK with the windows repainted.
std::vector<double> AddThroughDialog(ui::ScriptedDialogs& dialogs, int runs) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        dialogs.ExpectModal(*Form2, std::function<void(TForm2&)>([&times, i](TForm2& f) {
            f.Edit1.SetText("Eliška");
            f.Edit2.SetText("Nováková " + std::to_string(i));
            f.Edit5.SetText("nová");
            times.push_back(Millis([&f] {
                f.BitBtn1.Click();
                QApplication::processEvents();
            }));
        }),
                            ui::mrCancel);
        Form2->ShowModal();
    }
    return times;
}

} // namespace

int main(int argc, char** argv) {
    bench::WindowBench setup("bench_readers", argc, argv, 20);
    return setup.Run([&](const fs::path& folder, ui::ScriptedDialogs& dialogs) {
        const double generate = setup.MakeLibrary(folder);
        std::printf("library of %s, generated in %.1f s\n", setup.SizeText().c_str(), generate / 1000);

        const double raw = RawAdd(folder, setup.runs);

        CreateWindows();
        Form1->Show();
        QApplication::processEvents();

        Form1->TabbedNotebook1.ClickTab(0);
        const std::vector<double> desk = AddThroughDialog(dialogs, setup.runs);
        const int listed = Form1->ComboBox1.Count();
        Report("add a reader at the lending desk (desk refilled)", Median(desk), 100, raw);

        Form1->TabbedNotebook1.ClickTab(2);
        const std::vector<double> page = AddThroughDialog(dialogs, setup.runs);
        Report("add a reader on the readers page", Median(page), 100, raw);
        std::printf("(%d adds each; %d active readers in the desk's box after the desk's adds)\n", setup.runs,
                    listed);
        if (!dialogs.Messages().empty())
            std::printf("messages shown: %zu, first: %s\n", dialogs.Messages().size(),
                        dialogs.Messages()[0].Text.c_str());
    });
}
