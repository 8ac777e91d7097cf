// Figures of the overview, code-list and archive pages on a large generated library, each as a
// ratio to a raw-SQLite baseline measured in the same run:
//  - one change of the overview's filter (a state box clicked, the grid repainted), goal 50 ms,
//    beside raw SQLite counting the loans that pass the same condition;
//  - the refresh (tab click) of every page (the desk, books, readers, overview, code lists and
//    archive), goal 100 ms each, beside raw SQLite reading the readers' and books' names and
//    numbers;
//  - emptying every table, goal within 3x of raw DELETEs of the same eight tables.
// Options as lendar-generate's (--books N ...), --runs N, --keep to leave the folder.

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

const std::vector<std::string> kEmptied = {"VýpůjčkyArchiv.db", "Čtenáři.db",     "Knihy.DB",       "Výpůjčky.db",
                                           "Číselníky.db",      "Číselníky02.db", "Číselníky03.db", "Číselníky04.db"};

void Report(const char* what, double ms, double baseline, double goalMs, double goalRatio = 0)
{
    const double ratio = baseline > 0 ? ms / baseline : 0;
    const bool ok = goalRatio > 0 ? ratio <= goalRatio : ms < goalMs;
    std::printf("%-44s %9.2f ms  raw SQLite %8.2f ms  ratio %6.2f  (goal %s) %s\n", what, ms, baseline, ratio,
                goalRatio > 0 ? ("<= " + std::to_string(static_cast<int>(goalRatio)) + "x raw").c_str()
                              : ("< " + std::to_string(static_cast<int>(goalMs)) + " ms").c_str(),
                ok ? "ok" : "MISSED");
}

void Paint()
{
    QApplication::processEvents();
}

struct Raw {
    sqlite3* db = nullptr;
    explicit Raw(const fs::path& folder)
    {
        sqlite3_open(":memory:", &db);
        int n = 0;
        for (const std::string& file : kEmptied)
            Exec("ATTACH '" + (folder / file).string() + "' AS t" + std::to_string(n++));
    }
    ~Raw() { sqlite3_close(db); }
    void Exec(const std::string& sql) { sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr); }
    // Steps through every row of a statement, touching its text columns.
    void Read(const std::string& sql)
    {
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr);
        std::size_t bytes = 0;
        while (sqlite3_step(statement) == SQLITE_ROW)
            for (int i = 0; i < sqlite3_column_count(statement); ++i)
                bytes += static_cast<std::size_t>(sqlite3_column_bytes(statement, i));
        sqlite3_finalize(statement);
    }
};

std::string TableOf(sqlite3* db, const std::string& schema)
{
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, ("SELECT name FROM " + schema + ".sqlite_master WHERE type='table'").c_str(), -1, &statement,
                       nullptr);
    std::string name;
    if (sqlite3_step(statement) == SQLITE_ROW)
        name = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
    sqlite3_finalize(statement);
    return schema + ".\"" + name + "\"";
}

} // namespace

int main(int argc, char** argv)
{
    bench::WindowBench setup("bench_pages", argc, argv, 15);
    return setup.Run([&](const fs::path& folder, ui::ScriptedDialogs& dialogs) {
        setup.MakeLibrary(folder);
        std::printf("library of %s\n", setup.SizeText().c_str());

        // Baselines: the filter's count, and the pick lists' names and numbers.
        std::vector<double> rawFilter, rawLists;
        {
            Raw raw(folder);
            const std::string loans = TableOf(raw.db, "t3"), readers = TableOf(raw.db, "t1"), books = TableOf(raw.db, "t2");
            for (int i = 0; i < setup.runs; ++i) {
                rawFilter.push_back(Millis([&] {
                    raw.Read("SELECT * FROM " + loans + " WHERE Dnu>60 AND VracenoB=" + std::to_string(i % 2));
                }));
                rawLists.push_back(Millis([&] {
                    raw.Read("SELECT Jmeno, Cislo FROM " + readers + " ORDER BY Jmeno");
                    raw.Read("SELECT Nazev, Cislo FROM " + books + " ORDER BY Nazev");
                }));
            }
        }

        CreateWindows();
        Form1->Show();
        Paint();

        std::vector<double> desk, books, readers, overview, codeLists, archive, filterChanges;
        for (int i = 0; i < setup.runs; ++i) {
            desk.push_back(Millis([] {
                Form1->TabbedNotebook1.ClickTab(0);
                Paint();
            }));
            books.push_back(Millis([] {
                Form1->TabbedNotebook1.ClickTab(1);
                Paint();
            }));
            readers.push_back(Millis([] {
                Form1->TabbedNotebook1.ClickTab(2);
                Paint();
            }));
            overview.push_back(Millis([] {
                Form1->TabbedNotebook1.ClickTab(3);
                Paint();
            }));
            Form1->CheckBox5.SetChecked(true);
            filterChanges.push_back(Millis([] {
                Form1->CheckBox3.SetChecked(!Form1->CheckBox3.Checked());
                Paint();
            }));
            codeLists.push_back(Millis([] {
                Form1->TabbedNotebook1.ClickTab(4);
                Paint();
            }));
            archive.push_back(Millis([] {
                Form1->TabbedNotebook1.ClickTab(5);
                Paint();
            }));
        }
        Report("overview filter change", Median(filterChanges), Median(rawFilter), 50);
        Report("lending desk refresh (tab click)", Median(desk), Median(rawLists), 100);
        Report("books refresh (tab click)", Median(books), Median(rawLists), 100);
        Report("readers refresh (tab click)", Median(readers), Median(rawLists), 100);
        Report("overview refresh (tab click)", Median(overview), Median(rawLists), 100);
        Report("code lists refresh (tab click)", Median(codeLists), Median(rawLists), 100);
        Report("archive refresh (tab click)", Median(archive), Median(rawLists), 100);
        std::printf("(%d readers and %d titles listed; first clicks: desk %.2f ms, books %.2f ms, readers %.2f ms, "
                    "overview %.2f ms, archive %.2f ms)\n",
                    Form1->ComboBox6.Count() - 1, Form1->ComboBox7.Count() - 1, desk.front(), books.front(),
                    readers.front(), overview.front(), archive.front());
        DestroyWindows();

        // Emptying every table: the program's command against raw DELETEs, each on its own copy.
        const fs::path copy = folder / "raw";
        fs::create_directory(copy);
        for (const std::string& file : kEmptied)
            fs::copy_file(folder / file, copy / file);
        double rawEmpty = 0;
        {
            Raw raw(copy);
            rawEmpty = Millis([&] {
                std::string sql = "BEGIN;";
                for (int n = 0; n < static_cast<int>(kEmptied.size()); ++n)
                    sql += "DELETE FROM " + TableOf(raw.db, "t" + std::to_string(n)) + ";";
                raw.Exec(sql + "COMMIT;");
            });
        }
        CreateWindows();
        Form1->Show();
        Paint();
        dialogs.Answer(ui::IDYES);
        dialogs.Answer(ui::IDOK);
        const double empty = Millis([] {
            Form1->Vyprzdnitvechnydatabze1.Click();
            Paint();
        });
        Report("emptying every table", empty, rawEmpty, 0, 3);
        if (dialogs.Messages().size() != 2)
            std::printf("messages shown: %zu\n", dialogs.Messages().size());
    });
}
