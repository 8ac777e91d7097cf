// Figures of the main program on a large generated library, each beside its goal:
//  - start-up: the nineteen windows created and the main window shown (tables opened, the
//    front page refreshed, the days of every loan recomputed), goal 1.5 s;
//  - one lend and one return at the desk, the handler end to end with the loans grid refreshed,
//    goal 100 ms each, beside raw SQLite committing the same writes;
//  - for information: the code look-up run on every typed character and the desk's refresh.
// Options as lendar-generate's (--books N ...), --runs N for the lends and returns, --keep to
// leave the folder.

#include "BenchSupport.h"
#include "WindowBench.h"

#include "app/CreateWindows.h"
#include "app/Hlavni.h"
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

void Report(const char* what, double ms, double goal, double baseline = -1)
{
    if (baseline >= 0)
        std::printf("%-52s %9.2f ms   raw SQLite %7.2f ms   (goal < %.0f ms) %s\n", what, ms, baseline, goal,
                    ms < goal ? "ok" : "MISSED");
    else
        std::printf("%-52s %9.2f ms   (goal < %.0f ms) %s\n", what, ms, goal, ms < goal ? "ok" : "MISSED");
}

void Paint()
{
    QApplication::processEvents();
}

// The same writes as a lend and a return, committed durably by raw SQLite on copies of the files.
double RawLendAndReturn(const fs::path& library, int runs, const std::string& today)
{
    const fs::path folder = library / "raw";
    fs::create_directory(folder);
    for (const char* file : {"Knihy.DB", "Výpůjčky.db"})
        fs::copy_file(library / file, folder / file);
    sqlite3* db = nullptr;
    sqlite3_open(":memory:", &db);
    sqlite3_exec(db, ("ATTACH '" + (folder / "Knihy.DB").string() + "' AS k").c_str(), nullptr, nullptr, nullptr);
    sqlite3_exec(db, ("ATTACH '" + (folder / "Výpůjčky.db").string() + "' AS v").c_str(), nullptr, nullptr, nullptr);
    sqlite3_exec(db, "PRAGMA k.synchronous=FULL; PRAGMA v.synchronous=FULL", nullptr, nullptr, nullptr);
    const auto date = sys::DecodeDate(sys::StrToDate(today));
    char iso[16];
    std::snprintf(iso, sizeof iso, "%04d-%02d-%02d", date.year, date.month, date.day);
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        times.push_back(Millis([&] {
            const std::string lend = std::string("BEGIN; UPDATE k.Knihy SET Pujceno=1, Vlastnosti='Půjčená' WHERE Cislo=1;"
                                                 "INSERT INTO v.\"Výpůjčky\"(CisloCtenare,CisloKnihy,Pujceno,Dnu,VracenoB)"
                                                 " VALUES(1,1,'") + iso + "',0,0); COMMIT;";
            sqlite3_exec(db, lend.c_str(), nullptr, nullptr, nullptr);
            const std::string back = std::string("BEGIN; UPDATE k.Knihy SET Pujceno=0, Vlastnosti='' WHERE Cislo=1;"
                                                 "UPDATE v.\"Výpůjčky\" SET Vraceno='") + iso +
                                     "', VracenoB=1 WHERE rowid=(SELECT max(rowid) FROM v.\"Výpůjčky\"); COMMIT;";
            sqlite3_exec(db, back.c_str(), nullptr, nullptr, nullptr);
        }));
    }
    sqlite3_close(db);
    return Median(times) / 2;
}

} // namespace

int main(int argc, char** argv)
{
    bench::WindowBench setup("bench_app", argc, argv, 20);
    return setup.Run([&](const fs::path& folder, ui::ScriptedDialogs& dialogs) {
        const double generate = setup.MakeLibrary(folder);
        std::printf("library of %s, generated in %.1f s\n", setup.SizeText().c_str(), generate / 1000);

        const double raw = RawLendAndReturn(folder, setup.runs, sys::FormatShortDate(sys::Today()));

        const double startup = Millis([] {
            CreateWindows();
            Form1->Show();
            Paint();
        });
        Report("start-up to the shown main window", startup, 1500);

        const double refresh = Millis([] {
            Form1->TabbedNotebook1.ClickTab(0);
            Paint();
        });
        std::printf("%-52s %9.2f ms   (%d readers, %d titles listed)\n", "lending desk refresh (tab click)", refresh,
                    Form1->ComboBox1.Count(), Form1->cbKnihy.Count());

        // Lend books that are on the shelf, each to the first reader, then return them.
        std::vector<std::string> codes;
        for (Form1->Table2.First(); !Form1->Table2.Eof() && static_cast<int>(codes.size()) < setup.runs;
             Form1->Table2.Next()) {
            if (Form1->Table2.FieldByName("Pujceno").AsString() == "False" &&
                Form1->Table2.FieldByName("VyrazenoDatum").AsString().empty())
                codes.push_back(Form1->Table2.FieldByName("Kod").AsString());
        }
        std::vector<double> lookups, lends, returns;
        for (const std::string& code : codes) {
            Form1->Edit1.SetText("");
            lookups.push_back(Millis([&] { Form1->Edit1.SetText(code); }));
            lends.push_back(Millis([] {
                Form1->BitBtn10.Click();
                Paint();
            }));
        }
        const int shown = Form1->DBGrid3.RowCount();
        for (std::size_t i = 0; i < codes.size(); ++i) {
            Form1->Table3.Last();
            returns.push_back(Millis([] {
                Form1->DBGrid3DblClick(nullptr);
                Paint();
            }));
        }
        std::printf("%-52s %9.2f ms\n", "code look-up on a typed character", Median(lookups));
        Report("lend, loans grid refreshed", Median(lends), 100, raw);
        Report("return, loans grid refreshed", Median(returns), 100, raw);
        std::printf("(%zu lends and returns; %d open loans shown after the lends)\n", codes.size(), shown);
        if (!dialogs.Messages().empty())
            std::printf("messages shown: %zu, first: %s\n", dialogs.Messages().size(), dialogs.Messages()[0].Text.c_str());
    });
}
