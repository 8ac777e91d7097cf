// The CSV export and the dBase import through their windows on a large generated library, each
// beside a raw baseline measured in the same run:
//  - export of every archived loan without the filter (goal 200,000 rows/s, within 3x of a raw
//    SQLite loop writing the same CSV);
//  - import of 100,000 books from a dBase file (goal 50,000 records/s, within 3x of raw SQLite
//    inserting the same rows as read by the dBase dataset).
// Options as lendar-generate's (--books N ...), --keep to leave the folder.

#include "BenchSupport.h"
#include "WindowBench.h"

#include "app/CreateWindows.h"
#include "app/Hlavni.h"
#include "dbase/DBaseTable.h"
#include "maintenance/ExportDatabaze.h"
#include "maintenance/ImportDatabaze.h"
#include "maintenance/transfer/CsvFile.h"
#include "platform/sys/CodePage.h"
#include "platform/sys/ShortDate.h"
#include "platform/ui/ScriptedDialogs.h"

#include <QApplication>

#include <sqlite3.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using bench::Millis;

namespace {

const char* const kBookColumns[] = {"Kod", "Nazev", "Autor", "Kategorie", "Umisteni", "CenaX", "Signatura",
                                    "Nakladatel", "RokVydani", "PocetStran", "Ilustrator", "VekOd", "Anotace",
                                    "KlicSlova", "VyrazenoD", "VyrazenoT", "Vlastnosti"};

// "2024-06-01" as the program shows dates, "1.6.2024".
void ShortDate(const unsigned char* iso, std::string& out)
{
    out.clear();
    if (iso == nullptr)
        return;
    const auto part = [&](int from, int length) {
        int value = 0;
        for (int i = from; i < from + length; ++i)
            value = value * 10 + (iso[i] - '0');
        return value;
    };
    out = std::to_string(part(8, 2)) + "." + std::to_string(part(5, 2)) + "." + std::to_string(part(0, 4));
}

// The archive written as CSV by a plain SQLite loop: same values, formats, quoting and code page.
double RawExport(const fs::path& folder, const fs::path& target, long& rows)
{
    return Millis([&] {
        sqlite3* db = nullptr;
        sqlite3_open_v2((folder / "VýpůjčkyArchiv.db").c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(db,
                           "SELECT Ctenar, KodKnihy, Kniha, Pujceno, Vraceno, Dnu FROM \"VýpůjčkyArchiv\" ORDER BY Cislo",
                           -1, &statement, nullptr);
        std::FILE* out = std::fopen(target.c_str(), "wb");
        sys::CodePageConverter codePage(sys::CodePage::Windows1250);
        std::string line, value, converted;
        line = "Čtenář;Kód knihy;Název knihy;Půjčeno;Vráceno;Dnů;\n";
        codePage.FromUtf8(line, converted);
        std::fwrite(converted.data(), 1, converted.size(), out);
        rows = 0;
        while (sqlite3_step(statement) == SQLITE_ROW) {
            line.clear();
            for (int c = 0; c < 3; ++c) {
                const auto* text = sqlite3_column_text(statement, c);
                transfer::AppendCsvValue(line, text != nullptr ? reinterpret_cast<const char*>(text) : "");
            }
            for (int c = 3; c < 5; ++c) {
                ShortDate(sqlite3_column_text(statement, c), value);
                transfer::AppendCsvValue(line, value);
            }
            value = sqlite3_column_type(statement, 5) == SQLITE_NULL ? "" : std::to_string(sqlite3_column_int64(statement, 5));
            transfer::AppendCsvValue(line, value);
            line += '\n';
            codePage.FromUtf8(line, converted);
            std::fwrite(converted.data(), 1, converted.size(), out);
            ++rows;
        }
        std::fclose(out);
        sqlite3_finalize(statement);
        sqlite3_close(db);
    });
}

// The generated books written as a dBase file with the import's column names.
int WriteBooksDbf(const fs::path& file)
{
    dbase::TDBaseTable out;
    out.FileName = file.string();
    const std::pair<const char*, int> texts[] = {{"Kod", 20}, {"Nazev", 100}, {"Autor", 60}, {"Kategorie", 40},
                                                 {"Umisteni", 40}, {"Signatura", 20}, {"Nakladatel", 60},
                                                 {"Ilustrator", 60}, {"Anotace", 100}, {"KlicSlova", 100},
                                                 {"VyrazenoD", 20}, {"VyrazenoT", 60}, {"Vlastnosti", 20}};
    for (const auto& [name, width] : texts)
        out.FieldDefs().Add(name, data::TFieldType::ftString, width);
    out.FieldDefs().Add("CenaX", data::TFieldType::ftFloat);
    for (const char* name : {"RokVydani", "PocetStran", "VekOd"})
        out.FieldDefs().Add(name, data::TFieldType::ftInteger);
    out.CreateTable();
    out.FieldDefs().Clear();
    out.Open();
    data::TTable books;
    books.TableName = "Knihy.DB";
    books.Open();
    const std::pair<const char*, const char*> mapping[] = {
        {"Kod", "Kod"}, {"Nazev", "Nazev"}, {"Autor", "Autor"}, {"Kategorie", "Kategorie"}, {"Umisteni", "Umisteni"},
        {"CenaX", "CenaX"}, {"Signatura", "Signatura"}, {"Nakladatel", "Nakladatelstvi"}, {"RokVydani", "RokVydani"},
        {"PocetStran", "PocetStran"}, {"Ilustrator", "Ilustrator"}, {"VekOd", "VekOd"}, {"Anotace", "Anotace"},
        {"KlicSlova", "KlicovaSlova"}, {"VyrazenoD", "VyrazenoDatum"}, {"VyrazenoT", "VyrazenoText"},
        {"Vlastnosti", "Vlastnosti"}};
    int count = 0;
    for (books.First(); !books.Eof(); books.Next()) {
        out.Append();
        for (const auto& [column, field] : mapping) {
            std::string text = books.FieldByName(field).AsString();
            const int width = out.FieldByName(column).Size();
            if (width > 0 && static_cast<int>(text.size()) > width / 2)
                text = text.substr(0, static_cast<std::size_t>(width / 2)); // Czech letters take two bytes here
            out.FieldByName(column).SetAsString(text);
        }
        out.Post();
        ++count;
    }
    out.Close();
    return count;
}

// The rows of the dBase file, read by the dBase dataset, inserted by raw SQLite into a copy of
// the empty books table in one transaction.
double RawImport(const fs::path& folder, const fs::path& dbf)
{
    const fs::path copy = folder / "raw-Knihy.DB";
    fs::copy_file(folder / "Empty" / "Knihy.DB", copy, fs::copy_options::overwrite_existing);
    return Millis([&] {
        sqlite3* db = nullptr;
        sqlite3_open(copy.c_str(), &db);
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(db,
                           "INSERT INTO Knihy(Kod,Nazev,Autor,Kategorie,Umisteni,CenaX,Signatura,Nakladatelstvi,"
                           "RokVydani,PocetStran,Ilustrator,VekOd,Anotace,KlicovaSlova,VyrazenoDatum,VyrazenoText,"
                           "Vlastnosti,Pujceno) VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,0)",
                           -1, &insert, nullptr);
        dbase::TDBaseTable in;
        in.FileName = dbf.string();
        in.ReadOnly = true;
        in.Open();
        std::vector<data::TField*> fields;
        for (const char* column : kBookColumns)
            fields.push_back(&in.FieldByName(column));
        std::string text;
        for (in.First(); !in.Eof(); in.Next()) {
            for (std::size_t i = 0; i < fields.size(); ++i) {
                fields[i]->GetAsString(text);
                sqlite3_bind_text(insert, static_cast<int>(i + 1), text.data(), static_cast<int>(text.size()),
                                  SQLITE_TRANSIENT);
            }
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    });
}

// Whether two files hold the same bytes, compared a block at a time (holding both whole would
// add their size twice to the run's peak memory).
bool SameBytes(const fs::path& a, const fs::path& b)
{
    std::FILE* first = std::fopen(a.c_str(), "rb");
    std::FILE* second = std::fopen(b.c_str(), "rb");
    bool same = first != nullptr && second != nullptr;
    static char one[1 << 16], other[1 << 16];
    while (same) {
        const std::size_t n = std::fread(one, 1, sizeof one, first);
        const std::size_t m = std::fread(other, 1, sizeof other, second);
        same = n == m && std::memcmp(one, other, n) == 0;
        if (n == 0)
            break;
    }
    if (first != nullptr)
        std::fclose(first);
    if (second != nullptr)
        std::fclose(second);
    return same;
}

// Whether every loan points at a book of the imported table and the lent books are those of the
// open loans, as read by raw SQLite.
bool LoansFollowBooks(const fs::path& folder)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2((folder / "Výpůjčky.db").c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    const std::string books = (folder / "Knihy.DB").string();
    sqlite3_stmt* attach = nullptr;
    sqlite3_prepare_v2(db, "ATTACH DATABASE ? AS k", -1, &attach, nullptr);
    sqlite3_bind_text(attach, 1, books.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_step(attach);
    sqlite3_finalize(attach);
    sqlite3_stmt* check = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT (SELECT count(*) FROM \"Výpůjčky\" v LEFT JOIN k.Knihy b ON b.Cislo = v.CisloKnihy "
                       "WHERE b.Cislo IS NULL), "
                       "(SELECT count(*) FROM k.Knihy b WHERE b.Pujceno <> EXISTS (SELECT 1 FROM \"Výpůjčky\" v "
                       "WHERE v.CisloKnihy = b.Cislo AND v.VracenoB = 0))",
                       -1, &check, nullptr);
    const bool ok = sqlite3_step(check) == SQLITE_ROW && sqlite3_column_int64(check, 0) == 0 &&
                    sqlite3_column_int64(check, 1) == 0;
    sqlite3_finalize(check);
    sqlite3_close(db);
    return ok;
}

void Report(const char* what, double ms, long records, double goalPerSecond, double baselineMs)
{
    const double rate = records / (ms / 1000);
    const double ratio = ms / baselineMs;
    std::printf("%-44s %8.0f ms  %9.0f rec/s  baseline %8.0f ms  ratio %.2f  (goal >= %.0f/s, ratio <= 3) %s\n", what,
                ms, rate, baselineMs, ratio, goalPerSecond, rate >= goalPerSecond && ratio <= 3 ? "ok" : "MISSED");
}

} // namespace

int main(int argc, char** argv)
{
    bench::WindowBench setup("bench_transfer", argc, argv);
    return setup.Run([&](const fs::path& folder, ui::ScriptedDialogs& dialogs) {
        // The import's baseline fills a copy of the empty books table.
        fs::create_directory(folder / "Empty");
        setup.WriteEmptyTables(folder / "Empty");
        const double generate = setup.MakeLibrary(folder);
        std::printf("library of %d books, %d archived loans, generated in %.1f s\n", setup.size.books,
                    setup.size.archived, generate / 1000);

        long rows = 0;
        const double rawExport = RawExport(folder, folder / "raw.csv", rows);
        const fs::path dbf = folder / "knihy.dbf";
        const int books = WriteBooksDbf(dbf);

        CreateWindows();
        Form1->Show();
        Form1->Edit13.SetText(folder.string());
        QApplication::processEvents();

        dialogs.Expect("Export databáze byl úspěšně dokončen.");
        const double exported = Millis([&] {
            Form1->Export1.Click();
            frmExport->ComboBox1.SetItemIndex(1);
            frmExport->Edit2.SetText((folder / "archiv.csv").string());
            frmExport->BitBtn2.Click();
            while (frmExport->Exporting())
                QApplication::processEvents(QEventLoop::AllEvents, 5);
        });
        Report("export of the loan archive (window)", exported, rows, 200000, rawExport);
        std::printf("  same bytes as the raw loop: %s\n",
                    SameBytes(folder / "archiv.csv", folder / "raw.csv") ? "yes" : "NO");

        const double rawImport = RawImport(folder, dbf);
        dialogs.Expect("Importem databáze se smažou všechny původní záznamy databáze.\nChcete přesto pokračovat?",
                       ui::IDYES);
        dialogs.Expect("Import databáze byl úspěšně dokončen.");
        double imported = 0;
        dialogs.ExpectModal(*frmImport, std::function<void(TfrmImport&)>([&](TfrmImport& window) {
                                imported = Millis([&] {
                                    window.ComboBox1.SetItemIndex(5);
                                    window.Edit1.SetText(dbf.string());
                                    window.Button3.Click();
                                    while (window.Importing())
                                        QApplication::processEvents(QEventLoop::AllEvents, 5);
                                });
                            }),
                            ui::mrCancel);
        Form1->Importdatabze1Click(nullptr);
        Report("import of the books from dBase (window)", imported, books, 50000, rawImport);
        std::printf("  the loans point at the imported books, the lent ones marked: %s\n",
                    LoansFollowBooks(folder) ? "yes" : "NO");
        std::printf("peak memory of the whole run: %.0f MiB (goal < 300)\n", bench::PeakMemoryMiB());
        for (const auto& message : dialogs.Messages())
            if (message.Icon() == ui::MB_ICONERROR)
                std::printf("error shown: %s\n", message.Text.c_str());
    });
}
