// Archiving every returned loan through the archiving window (goal: at least 50,000 loans a second,
// within 3x of raw SQLite's one INSERT ... SELECT and DELETE in one transaction), and an archive
// search by reader and return dates through the search window (within 3x of the raw statement
// reading the first rows and the count). Options as lendar-generate's, --keep to leave the folder.

#include "BenchSupport.h"
#include "WindowBench.h"

#include "app/CreateWindows.h"
#include "app/Hlavni.h"
#include "maintenance/ArchivovatVypujcky.h"
#include "maintenance/HledaniVArchivu.h"
#include "platform/data/ValueText.h"
#include "platform/sys/ShortDate.h"
#include "platform/ui/ScriptedDialogs.h"

#include <QApplication>
#include <QEventLoop>

#include <sqlite3.h>

#include <cstdio>
#include <string>

namespace fs = std::filesystem;
using bench::Millis;

namespace {

const char* const kTables[] = {"Čtenáři.db", "Knihy.DB", "Výpůjčky.db", "VýpůjčkyArchiv.db"};

sqlite3* OpenRaw(const fs::path& folder)
{
    sqlite3* db = nullptr;
    sqlite3_open(":memory:", &db);
    const char* const aliases[] = {"r", "b", "l", "a"};
    for (int i = 0; i < 4; ++i)
        sqlite3_exec(db, ("ATTACH '" + (folder / kTables[i]).string() + "' AS " + aliases[i]).c_str(), nullptr, nullptr,
                     nullptr);
    sqlite3_exec(db, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
    return db;
}

// Every returned loan moved by one INSERT ... SELECT and one DELETE in one transaction.
double RawArchive(const fs::path& library, int& moved)
{
    const fs::path folder = library / "raw";
    fs::create_directory(folder);
    for (const char* t : kTables)
        fs::copy_file(library / t, folder / t);
    sqlite3* db = OpenRaw(folder);
    const double ms = Millis([&] {
        sqlite3_exec(db,
                     "BEGIN;"
                     "INSERT INTO a.\"VýpůjčkyArchiv\" (CisloCtenare, Ctenar, CisloKnihy, KodKnihy, Kniha, Pujceno, Vraceno, Dnu)"
                     " SELECT l.CisloCtenare, r.Jmeno, l.CisloKnihy, b.Kod, b.Nazev, l.Pujceno, l.Vraceno, l.Dnu"
                     " FROM l.\"Výpůjčky\" l LEFT JOIN r.\"Čtenáři\" r ON r.Cislo = l.CisloCtenare"
                     " LEFT JOIN b.\"Knihy\" b ON b.Cislo = l.CisloKnihy WHERE l.VracenoB = 1;",
                     nullptr, nullptr, nullptr);
        moved = sqlite3_changes(db);
        sqlite3_exec(db, "DELETE FROM l.\"Výpůjčky\" WHERE VracenoB = 1; COMMIT;", nullptr, nullptr, nullptr);
    });
    sqlite3_close(db);
    return ms;
}

// The search's statement: the first screen of rows and the count.
double RawSearch(const fs::path& library, const std::string& reader, const std::string& from, const std::string& to,
                 int& count)
{
    sqlite3* db = OpenRaw(library);
    std::vector<double> times;
    for (int run = 0; run < 5; ++run) {
        times.push_back(Millis([&] {
            sqlite3_stmt* s = nullptr;
            const std::string where =
                " FROM a.\"VýpůjčkyArchiv\" WHERE Ctenar = ?1 AND Vraceno > ?2 AND Vraceno < ?3";
            sqlite3_prepare_v2(db, ("SELECT *" + where + " ORDER BY Vraceno LIMIT 40").c_str(), -1, &s, nullptr);
            for (int i = 1; i <= 3; ++i) {
                const std::string& v = i == 1 ? reader : i == 2 ? from : to;
                sqlite3_bind_text(s, i, v.c_str(), -1, SQLITE_TRANSIENT);
            }
            while (sqlite3_step(s) == SQLITE_ROW) {
            }
            sqlite3_finalize(s);
            sqlite3_prepare_v2(db, ("SELECT count(*)" + where).c_str(), -1, &s, nullptr);
            for (int i = 1; i <= 3; ++i) {
                const std::string& v = i == 1 ? reader : i == 2 ? from : to;
                sqlite3_bind_text(s, i, v.c_str(), -1, SQLITE_TRANSIENT);
            }
            sqlite3_step(s);
            count = sqlite3_column_int(s, 0);
            sqlite3_finalize(s);
        }));
    }
    sqlite3_close(db);
    return bench::Median(times);
}

std::string FirstReaderName(const fs::path& library)
{
    sqlite3* db = OpenRaw(library);
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db, "SELECT Ctenar FROM a.\"VýpůjčkyArchiv\" WHERE rowid = 1", -1, &s, nullptr);
    std::string name;
    if (sqlite3_step(s) == SQLITE_ROW)
        name = reinterpret_cast<const char*>(sqlite3_column_text(s, 0));
    sqlite3_finalize(s);
    sqlite3_close(db);
    return name;
}

std::string Iso(data::TDateTime d)
{
    return data::FormatIsoDateTime(d);
}

} // namespace

int main(int argc, char** argv)
{
    bench::WindowBench setup("bench_archive", argc, argv);
    return setup.Run([&](const fs::path& folder, ui::ScriptedDialogs& dialogs) {
        const data::TDateTime today = sys::Today();
        const double generate = setup.MakeLibrary(folder);
        std::printf("library of %s, generated in %.1f s\n", setup.SizeText().c_str(), generate / 1000);

        int rawMoved = 0;
        const double raw = RawArchive(folder, rawMoved);
        CreateWindows();
        Form1->Show();
        QApplication::processEvents();

        double window = 0;
        int archived = 0;
        dialogs.Expect("Archivace výpůjček byla úspěšně dokončena.");
        dialogs.ExpectModal(*Form5, std::function<void(TForm5&)>([&](TForm5& f) {
                                f.CheckBox1.SetChecked(true);
                                window = Millis([&f] {
                                    f.BitBtn2.Click();
                                    while (f.Running() && f.ModalResult() == ui::mrNone)
                                        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
                                });
                                archived = f.Archived();
                            }),
                            ui::mrCancel);
        Form1->BitBtn12.Click();
        const double rate = archived / (window / 1000);
        std::printf("%-48s %9.1f ms  %8.0f loans/s   raw SQLite %8.1f ms (%d loans)   ratio %.2f  (goal >= 50000/s, "
                    "<= 3x) %s\n",
                    "archive every returned loan (window)", window, rate, raw, rawMoved, window / raw,
                    rate >= 50000 && window <= 3 * raw ? "ok" : "MISSED");

        // The search: one reader's records returned within a span of days, first rows and count.
        const std::string reader = FirstReaderName(folder);
        const data::TDateTime from{today.days - 3000}, to{today.days - 1200};
        int rawCount = 0;
        const double rawSearch = RawSearch(folder, reader, Iso(from), Iso(to), rawCount);
        std::vector<double> times;
        int shown = 0;
        for (int run = 0; run < 5; ++run) {
            dialogs.ExpectModal(*Form7, std::function<void(TForm7&)>([&](TForm7& f) {
                                    f.ComboBox1.SetText(reader);
                                    f.Edit4.SetText(sys::FormatShortDate(from));
                                    f.Edit5.SetText(sys::FormatShortDate(to));
                                    times.push_back(Millis([&] {
                                        f.BitBtn1.Click();
                                        Form1->Query3.First();
                                        for (int i = 0; i < 40 && !Form1->Query3.Eof(); ++i)
                                            Form1->Query3.Next();
                                        QApplication::processEvents();
                                    }));
                                    shown = Form1->Query3.RecordCount();
                                }),
                                ui::mrCancel);
            Form7->ShowModal();
        }
        const double search = bench::Median(times);
        std::printf("%-48s %9.1f ms  (%d found)   raw SQLite %8.1f ms (%d)   ratio %.2f  (goal <= 3x) %s\n",
                    "archive search by reader and return dates", search, shown, rawSearch, rawCount,
                    search / rawSearch, search <= 3 * rawSearch ? "ok" : "MISSED");
        std::printf("label: %s\n", Form1->Label20.Caption().c_str());
    });
}
