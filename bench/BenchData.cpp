// Figures of the data layer on a large generated library, each beside raw SQLite doing the same
// work in the same run:
//  - opening the main window's ten datasets, and the recomputation of days lent (a dataset loop
//    in one transaction) against one UPDATE computing the same and writing the loans whose days
//    differ, on a new day and after every loan's days were spoilt;
//  - one lend and one return, each committed durably, against the same statements;
//  - the books quick filter (prefix LIKE on the title, ordered by title) with the record count
//    and the first 50 rows read, against the equivalent statement;
//  - peak memory of generating and opening the library.
// Options as lendar-generate's (--books N ...), and --keep to leave the folder.

#include "BenchSupport.h"
#include "LibraryGenerator.h"

#include "platform/data/LoanFields.h"
#include "platform/data/Query.h"
#include "platform/data/Quote.h"
#include "platform/data/Session.h"
#include "platform/data/Table.h"
#include "platform/data/ValueText.h"
#include "platform/sys/ShortDate.h"

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace data;
using bench::Median;
using bench::Millis;

namespace {

void Report(const std::string& what, double ours, double raw, double goal)
{
    const double ratio = raw > 0 ? ours / raw : 0;
    std::printf("%-58s data layer %9.2f ms   raw SQLite %9.2f ms   ratio %5.2f (goal <= %.0f) %s\n", what.c_str(),
                ours, raw, ratio, goal, ratio <= goal ? "ok" : "MISSED");
}

// A plain SQLite connection over the folder's files, committing the way the session does.
class Raw {
public:
    explicit Raw(const fs::path& folder)
    {
        if (sqlite3_open((folder / "raw-main.db").c_str(), &db_) != SQLITE_OK)
            throw std::runtime_error("raw open");
        Exec("ATTACH '" + (folder / "Knihy.DB").string() + "' AS k; ATTACH '" + (folder / "Výpůjčky.db").string() +
             "' AS v; PRAGMA k.synchronous=FULL; PRAGMA v.synchronous=FULL;");
    }
    ~Raw() { sqlite3_close(db_); }
    void Exec(const std::string& sql)
    {
        char* error = nullptr;
        if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
            const std::string message = error ? error : "?";
            sqlite3_free(error);
            throw std::runtime_error(message + " in " + sql);
        }
    }
    sqlite3* db_ = nullptr;
};

struct MainWindow {
    TTable table1, table2, table3, table4, table5, table6, table7;
    TQuery query1, query2, query3;
    MainWindow()
    {
        table1.TableName = "Čtenáři.db";
        table2.TableName = "Knihy.DB";
        table3.TableName = "Výpůjčky.db";
        table4.TableName = "Číselníky.db";
        table5.TableName = "Číselníky02.db";
        table6.TableName = "Číselníky03.db";
        table7.TableName = "Číselníky04.db";
        DefineLoanFields(table3, table1, table2);
        table3.SetFilter("VracenoB='False'");
        table3.SetFiltered(true);
        for (auto [q, table, order] : {std::tuple{&query1, "Knihy", "Kod"}, std::tuple{&query2, "Čtenáři", "Jmeno"},
                                       std::tuple{&query3, "VýpůjčkyArchiv", "Vraceno"}}) {
            q->SQL.Add(std::string("SELECT * FROM ") + table);
            q->SQL.Add(std::string("ORDER BY ") + order);
        }
    }
    void Open()
    {
        for (TDataSet* d : std::initializer_list<TDataSet*>{&table1, &table2, &table3, &table4, &table5, &table6,
                                                            &table7, &query1, &query2, &query3})
            d->Open();
    }
};

// The days lent of every loan, as the main window recomputes them.
void RecomputeDays(TTable& loans, TDateTime today)
{
    TTransaction transaction;
    loans.SetFiltered(false);
    TField& lent = loans.FieldByName("Pujceno");
    TField& returned = loans.FieldByName("Vraceno");
    TField& days = loans.FieldByName("Dnu");
    for (loans.First(); !loans.Eof(); loans.Next()) {
        loans.Edit();
        const double to = returned.AsString().empty() ? today.days : returned.AsDateTime().days;
        days.SetAsInteger(static_cast<std::int64_t>(std::trunc(to - lent.AsDateTime().days)));
        loans.Post();
    }
    transaction.Commit();
    loans.Close();
    loans.Open();
    loans.SetFiltered(false);
    loans.SetFilter("VracenoB='False'");
    loans.SetFiltered(true);
}

int Lend(MainWindow& w, const std::string& code, const std::string& today)
{
    TTransaction transaction;
    int book = 0;
    w.table2.SetFiltered(false);
    w.table2.SetFilter("Kod=" + QuoteValue(code));
    w.table2.SetFiltered(true);
    if (!w.table2.IsEmpty() && w.table2.FieldByName("Pujceno").AsString() == "False") {
        book = static_cast<int>(w.table2.FieldByName("Cislo").AsInteger());
        w.table2.Edit();
        w.table2.FieldByName("Pujceno").SetAsString("True");
        w.table2.FieldByName("Vlastnosti").SetAsString("Půjčená");
        w.table2.SetFiltered(false);
        w.table3.SetFiltered(false);
        w.table3.Append();
        w.table3.FieldByName("Pujceno").SetAsString(today);
        w.table3.FieldByName("CisloKnihy").SetAsInteger(book);
        w.table3.FieldByName("CisloCtenare").SetAsInteger(1);
        w.table3.FieldByName("VracenoB").SetAsString("False");
        w.table3.Post();
        w.table3.SetFiltered(true);
    }
    w.table2.SetFiltered(false);
    w.table3.SetFiltered(false);
    w.table3.SetFilter("VracenoB='False'");
    w.table3.SetFiltered(true);
    transaction.Commit();
    return book;
}

void Return(MainWindow& w, const std::string& today)
{
    TTransaction transaction;
    w.table3.Last(); // the newest open loan
    w.table2.SetFilter("Cislo=" + QuoteValue(w.table3.FieldByName("CisloKnihy").AsString()));
    w.table2.SetFiltered(true);
    w.table2.Edit();
    w.table2.FieldByName("Pujceno").SetAsString("False");
    w.table2.FieldByName("Vlastnosti").SetAsString("");
    w.table2.SetFiltered(false);
    w.table3.Edit();
    w.table3.FieldByName("Vraceno").SetAsString(today);
    w.table3.FieldByName("VracenoB").SetAsString("True");
    w.table3.Post();
    transaction.Commit();
}

} // namespace

int main(int argc, char** argv)
{
    bench::LibrarySize size;
    bool keep = false;
    bench::ReadBenchOptions(argc, argv, size, keep);
    const auto scratch = bench::MakeScratchFolder("lendar-bench-");
    if (!scratch)
        return 1;
    const fs::path folder = *scratch;
    const TDateTime today = sys::Today();
    const std::string todayText = sys::FormatShortDate(today);
    try {
        bench::WriteEmptyTables(fs::path(LENDAR_SOURCE_DIR) / "install" / "tables", folder);
        const double generate = Millis([&] {
            bench::GenerateLibrary(folder, size, today.days, [](const std::string&) {});
        });
        std::printf("generated %d books, %d readers, %d loans (%d open), %d archived in %.1f s through the data layer\n",
                    size.books, size.readers, size.loans, size.openLoans, size.archived, generate / 1000);
        fs::current_path(folder);

        // Opening the ten datasets, against raw SQLite listing the same records in the same orders.
        std::vector<double> ours, raw;
        for (int run = 0; run < 3; ++run) {
            MainWindow w;
            ours.push_back(Millis([&] { w.Open(); }));
        }
        for (int run = 0; run < 3; ++run) {
            sqlite3* db = nullptr;
            sqlite3_open(":memory:", &db);
            raw.push_back(Millis([&] {
                const std::pair<const char*, const char*> lists[] = {
                    {"Čtenáři.db", "SELECT rowid FROM t ORDER BY rowid"},
                    {"Knihy.DB", "SELECT rowid FROM t ORDER BY rowid"},
                    {"Výpůjčky.db", "SELECT rowid FROM t WHERE VracenoB = 0 ORDER BY rowid"},
                    {"Číselníky.db", "SELECT rowid FROM t"}, {"Číselníky02.db", "SELECT rowid FROM t"},
                    {"Číselníky03.db", "SELECT rowid FROM t"}, {"Číselníky04.db", "SELECT rowid FROM t"},
                    {"Knihy.DB", "SELECT rowid FROM t ORDER BY Kod, rowid"},
                    {"Čtenáři.db", "SELECT rowid FROM t ORDER BY Jmeno, rowid"},
                    {"VýpůjčkyArchiv.db", "SELECT rowid FROM t ORDER BY Vraceno, rowid"}};
                for (const auto& [file, sql] : lists) {
                    sqlite3_exec(db, ("ATTACH '" + (folder / file).string() + "' AS f").c_str(), nullptr, nullptr, nullptr);
                    const std::string table = fs::path(file).stem().string();
                    std::string text = sql;
                    text.replace(text.find(" t"), 2, " f.\"" + table + "\"");
                    sqlite3_stmt* stmt = nullptr;
                    sqlite3_prepare_v2(db, text.c_str(), -1, &stmt, nullptr);
                    std::vector<std::int64_t> rowids;
                    while (sqlite3_step(stmt) == SQLITE_ROW)
                        rowids.push_back(sqlite3_column_int64(stmt, 0));
                    sqlite3_finalize(stmt);
                    sqlite3_exec(db, "DETACH f", nullptr, nullptr, nullptr);
                }
            }));
            sqlite3_close(db);
        }
        Report("open the ten datasets of the main window", Median(ours), Median(raw), 3);

        MainWindow w;
        w.Open();
        std::printf("peak memory after generating and opening: %.0f MiB (goal < 300)\n", bench::PeakMemoryMiB());

        // The recomputation on a new day (the open loans change, returned ones keep their days),
        // and once more after every loan's days were spoilt (every loan changes). Raw SQLite
        // computes every loan the same way and writes the loans whose days differ.
        const auto rawRecompute = [&](Raw& r, double day) {
            const std::string days = "CAST(julianday(COALESCE(Vraceno, '" + FormatIsoDateTime(TDateTime{day}) +
                                     "')) - julianday(Pujceno) AS INTEGER)";
            r.Exec("BEGIN; UPDATE v.Výpůjčky SET Dnu = " + days + " WHERE Dnu IS NOT " + days + "; COMMIT;");
        };
        const auto spoil = [&] {
            Raw r(folder);
            r.Exec("UPDATE v.Výpůjčky SET Dnu = -1");
        };
        double day = today.days;
        for (const bool everyLoan : {false, true}) {
            ours.clear();
            raw.clear();
            for (int run = 0; run < 3; ++run) {
                day += 1;
                if (everyLoan) {
                    w.table3.Close(); // the raw connection writes the same file
                    spoil();
                    w.table3.Open();
                }
                ours.push_back(Millis([&] { RecomputeDays(w.table3, TDateTime{day}); }));
            }
            w.table3.Close();
            for (int run = 0; run < 3; ++run) {
                day += 1;
                if (everyLoan)
                    spoil();
                Raw r(folder);
                raw.push_back(Millis([&] { rawRecompute(r, day); }));
            }
            w.table3.Open();
            Report(std::string("recompute days lent of ") + std::to_string(size.loans) + " loans" +
                       (everyLoan ? ", every loan changed" : ", a new day"),
                   Median(ours), Median(raw), 3);
        }

        // Lending and returning, each committed durably.
        std::vector<double> lend, giveBack, rawLend, rawReturn;
        std::vector<std::string> codes;
        w.query1.Close();
        w.query1.SQL.Clear();
        w.query1.SQL.Add("SELECT * FROM Knihy WHERE Pujceno = 'False' ORDER BY Kod");
        w.query1.Open();
        for (w.query1.First(); !w.query1.Eof() && codes.size() < 40; w.query1.Next())
            codes.push_back(w.query1.FieldByName("Kod").AsString());
        for (std::size_t i = 0; i < 20 && i < codes.size(); ++i) {
            lend.push_back(Millis([&] {
                if (Lend(w, codes[i], todayText) == 0)
                    throw std::runtime_error("lend refused");
            }));
            giveBack.push_back(Millis([&] { Return(w, todayText); }));
        }
        w.table2.Close();
        w.table3.Close();
        {
            Raw r(folder);
            sqlite3_stmt *find = nullptr, *mark = nullptr, *insert = nullptr, *unmark = nullptr, *close = nullptr;
            sqlite3_prepare_v2(r.db_, "SELECT Cislo, Pujceno FROM k.Knihy WHERE Kod = ?", -1, &find, nullptr);
            sqlite3_prepare_v2(r.db_, "UPDATE k.Knihy SET Pujceno = 1, Vlastnosti = 'Půjčená' WHERE Cislo = ?", -1, &mark, nullptr);
            sqlite3_prepare_v2(r.db_, "INSERT INTO v.Výpůjčky (CisloCtenare, CisloKnihy, Pujceno, VracenoB) VALUES (1, ?, ?, 0)",
                               -1, &insert, nullptr);
            sqlite3_prepare_v2(r.db_, "UPDATE k.Knihy SET Pujceno = 0, Vlastnosti = NULL WHERE Cislo = ?", -1, &unmark, nullptr);
            sqlite3_prepare_v2(r.db_, "UPDATE v.Výpůjčky SET Vraceno = ?, VracenoB = 1 WHERE Cislo = ?", -1, &close, nullptr);
            const std::string iso = FormatIsoDateTime(today);
            for (std::size_t i = 20; i < codes.size(); ++i) {
                std::int64_t book = 0, loan = 0;
                rawLend.push_back(Millis([&] {
                    r.Exec("BEGIN");
                    sqlite3_bind_text(find, 1, codes[i].c_str(), -1, SQLITE_TRANSIENT);
                    if (sqlite3_step(find) == SQLITE_ROW)
                        book = sqlite3_column_int64(find, 0);
                    sqlite3_reset(find);
                    sqlite3_bind_int64(mark, 1, book);
                    sqlite3_step(mark);
                    sqlite3_reset(mark);
                    sqlite3_bind_int64(insert, 1, book);
                    sqlite3_bind_text(insert, 2, iso.c_str(), -1, SQLITE_TRANSIENT);
                    sqlite3_step(insert);
                    sqlite3_reset(insert);
                    loan = sqlite3_last_insert_rowid(r.db_);
                    r.Exec("COMMIT");
                }));
                rawReturn.push_back(Millis([&] {
                    r.Exec("BEGIN");
                    sqlite3_bind_int64(unmark, 1, book);
                    sqlite3_step(unmark);
                    sqlite3_reset(unmark);
                    sqlite3_bind_text(close, 1, iso.c_str(), -1, SQLITE_TRANSIENT);
                    sqlite3_bind_int64(close, 2, loan);
                    sqlite3_step(close);
                    sqlite3_reset(close);
                    r.Exec("COMMIT");
                }));
            }
            for (auto* s : {find, mark, insert, unmark, close})
                sqlite3_finalize(s);
        }
        w.table2.Open();
        w.table3.Open();
        Report("one lend (book edit + loan append), committed", Median(lend), Median(rawLend), 2);
        Report("one return (book edit + loan edit), committed", Median(giveBack), Median(rawReturn), 2);

        // The books quick filter.
        ours.clear();
        raw.clear();
        int count = 0;
        for (int run = 0; run < 5; ++run) {
            ours.push_back(Millis([&] {
                w.query1.Close();
                w.query1.SQL.Clear();
                w.query1.SQL.Add("SELECT * FROM Knihy");
                w.query1.SQL.Add("WHERE Nazev LIKE \"Bab%\"");
                w.query1.SQL.Add("ORDER BY Nazev");
                w.query1.Open();
                count = w.query1.RecordCount();
                int read = 0;
                for (w.query1.First(); !w.query1.Eof() && read < 50; w.query1.Next(), ++read)
                    for (const auto& f : w.query1.Fields())
                        (void)f->AsString();
            }));
        }
        {
            Raw r(folder);
            sqlite3_stmt* stmt = nullptr;
            sqlite3_prepare_v2(r.db_, "SELECT * FROM k.Knihy WHERE Nazev LIKE 'Bab%' ORDER BY Nazev", -1, &stmt, nullptr);
            for (int run = 0; run < 5; ++run) {
                raw.push_back(Millis([&] {
                    int rows = 0;
                    while (sqlite3_step(stmt) == SQLITE_ROW) {
                        if (rows++ < 50)
                            for (int c = 0; c < sqlite3_column_count(stmt); ++c)
                                (void)sqlite3_column_text(stmt, c);
                    }
                    sqlite3_reset(stmt);
                }));
            }
            sqlite3_finalize(stmt);
        }
        Report("books quick filter (" + std::to_string(count) + " of " + std::to_string(size.books) + ")",
               Median(ours), Median(raw), 3);
        std::printf("peak memory of the whole run: %.0f MiB (goal < 300)\n", bench::PeakMemoryMiB());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_data: %s\n", e.what());
        return 1;
    }
    fs::current_path(fs::temp_directory_path());
    if (keep)
        std::printf("library left in %s\n", folder.c_str());
    else
        fs::remove_all(folder);
    return 0;
}
