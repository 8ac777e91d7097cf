// Figures of the extended book filter on a large generated library, beside raw SQLite running the
// same statement over a copy of the books file in the same run:
//  - applying a filter of three criteria and two keywords, the grid painted with its first rows;
//    goal within 3x of the raw statement;
//  - showing the window, whose pick lists walk the listed books; goal under 300 ms.
// Options as lendar-generate's (--books N ...), --keep to leave the folder.

#include "BenchSupport.h"
#include "LibraryGenerator.h"

#include "app/CreateWindows.h"
#include "app/Hlavni.h"
#include "catalogue/FiltrKnih.h"
#include "platform/sys/ShortDate.h"
#include "platform/ui/Application.h"
#include "platform/ui/ScriptedDialogs.h"

#include <QApplication>

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using bench::Median;
using bench::Millis;

namespace {

constexpr int kShownRows = 30; // about what the grid shows at once

void Paint()
{
    QApplication::processEvents();
}

void Report(const char* what, double ms, double raw)
{
    const double ratio = raw > 0 ? ms / raw : 0;
    std::printf("%-44s %8.2f ms   raw SQLite %7.2f ms   %5.2fx   (goal <= 3x) %s\n", what, ms, raw, ratio,
                ratio <= 3 ? "ok" : "MISSED");
}

// Raw SQLite over a copy of the books file: the statement run to its last row (its order needs
// them all), the first rows' columns read as the grid reads them.
class RawBooks {
public:
    explicit RawBooks(const fs::path& library)
    {
        const fs::path copy = library / "raw-Knihy.DB";
        fs::copy_file(library / "Knihy.DB", copy, fs::copy_options::overwrite_existing);
        sqlite3_open(":memory:", &db_);
        sqlite3_exec(db_, ("ATTACH '" + copy.string() + "' AS k").c_str(), nullptr, nullptr, nullptr);
    }
    ~RawBooks() { sqlite3_close(db_); }
    RawBooks(const RawBooks&) = delete;
    RawBooks& operator=(const RawBooks&) = delete;

    double Run(const std::string& sql, const std::string& pattern)
    {
        return Millis([&] {
            sqlite3_stmt* statement = nullptr;
            sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr);
            if (!pattern.empty())
                sqlite3_bind_text(statement, 1, pattern.c_str(), -1, SQLITE_TRANSIENT);
            int row = 0;
            std::size_t bytes = 0;
            while (sqlite3_step(statement) == SQLITE_ROW) {
                if (row++ < kShownRows)
                    for (int c = 0; c < sqlite3_column_count(statement); ++c)
                        if (const unsigned char* text = sqlite3_column_text(statement, c))
                            bytes += std::char_traits<char>::length(reinterpret_cast<const char*>(text));
            }
            sqlite3_finalize(statement);
            if (bytes == 0 && row > 0)
                std::fprintf(stderr, "raw: nothing read\n");
        });
    }

private:
    sqlite3* db_ = nullptr;
};


} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    bench::LibrarySize size;
    bool keep = false;
    bench::ReadBenchOptions(argc, argv, size, keep);

    const auto scratch = bench::MakeScratchFolder("lendar-bench-filter-");
    if (!scratch)
        return 1;
    const fs::path folder = *scratch;
    setenv("LENDAR_REGISTRY", (folder / "registry.conf").c_str(), 1);

    int argcQt = 1;
    QApplication qt(argcQt, argv);
    ui::ScriptedDialogs dialogs;
    dialogs.OnFailure = [](const std::string& what) { std::fprintf(stderr, "unexpected: %s\n", what.c_str()); };
    ui::Application.Title = "Orbelin Pernoka";

    int result = 0;
    try {
        bench::WriteEmptyTables(fs::path(LENDAR_SOURCE_DIR) / "install" / "tables", folder);
        bench::GenerateLibrary(folder, size, sys::Today().days, [](const std::string&) {});
        std::printf("library of %d books\n", size.books);
        fs::current_path(folder);
        RawBooks raw(folder);

        CreateWindows();
        Form1->Show();
        Form1->resize(890, 610);
        Form1->TabbedNotebook1.ClickTab(1);
        Paint();
        // Every book listed, as after "Zrušit filtr".
        Form1->ComboBox12.SetItemIndex(0);
        Form1->ComboBox12Change(nullptr);
        Paint();
        const int listed = Form1->DBGrid2.RowCount();

        std::vector<double> shows;
        for (int round = 0; round < 3; ++round) {
            dialogs.ExpectModal(*Form10, {}, ui::mrCancel);
            shows.push_back(Millis([] {
                Form1->BitBtn24.Click();
                Paint();
            }));
        }
        std::printf("%-44s %8.2f ms   (%d books listed; goal < 300 ms) %s\n", "showing the filter window (median)",
                    Median(shows), listed, Median(shows) < 300 ? "ok" : "MISSED");

        // Three criteria and two keywords, with words taken from the list itself.
        const std::string title = Form1->DBGrid2.CellText(listed / 3, 1).substr(0, 3);
        std::vector<double> applies, raws;
        for (int round = 0; round < 5; ++round) {
            catalogue::BookFilter filter;
            filter.Texts[1] = title;
            filter.Texts[8] = "dobrodružství pohádka";
            filter.Texts[11] = "1950";
            filter.Texts[16] = "15";
            Form10->SetCriteria(filter);
            applies.push_back(Millis([] {
                Form10->BitBtn2.Click();
                Paint();
            }));
            std::string sql;
            for (const std::string& line : Form1->Query1.SQL.Lines())
                sql += (sql.empty() ? "" : " ") + line;
            sql.replace(sql.find("FROM Knihy"), 10, "FROM k.Knihy");
            raws.push_back(raw.Run(sql, ""));
        }
        Report("apply 3 criteria + 2 keywords (median)", Median(applies), Median(raws));
        std::printf("(%d books found)\n", Form1->DBGrid2.RowCount());
        if (!dialogs.Messages().empty())
            std::printf("messages shown: %zu, first: %s\n", dialogs.Messages().size(), dialogs.Messages()[0].Text.c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_book_filter: %s\n", e.what());
        result = 1;
    }
    DestroyWindows();
    fs::current_path("/");
    if (keep) {
        std::printf("library left in %s\n", folder.c_str());
    } else {
        std::error_code error;
        fs::remove_all(folder, error);
    }
    return result;
}
