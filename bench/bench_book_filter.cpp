// Figures of the extended book filter on a large generated library, beside raw SQLite running the
// same statement over a copy of the books file in the same run:
//  - applying a filter of three criteria and two keywords, the grid painted with its first rows;
//    goal within 3x of the raw statement;
//  - showing the window, whose pick lists hold the texts of the listed books; goal under 300 ms.
// The generator writes the list of keywords but gives the books none: each book gets one to
// three words of that list here, so that the keyword criteria select real books.
// Options as lendar-generate's (--books N ...), --keep to leave the folder.

#include "BenchSupport.h"
#include "WindowBench.h"

#include "app/CreateWindows.h"
#include "app/Hlavni.h"
#include "catalogue/FiltrKnih.h"
#include "platform/data/Table.h"
#include "platform/sys/CzechText.h"
#include "platform/sys/ShortDate.h"
#include "platform/ui/ScriptedDialogs.h"

#include <QApplication>

#include <sqlite3.h>

#include <cstdio>
#include <random>
#include <stdexcept>
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

    // The time of the statement; `rows` gets how many rows it gave.
    double Run(const std::string& sql, int& rows)
    {
        return Millis([&] {
            sqlite3_stmt* statement = nullptr;
            if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK)
                std::fprintf(stderr, "raw: %s\n", sqlite3_errmsg(db_));
            rows = 0;
            std::size_t bytes = 0;
            while (sqlite3_step(statement) == SQLITE_ROW) {
                if (rows++ < kShownRows)
                    for (int c = 0; c < sqlite3_column_count(statement); ++c)
                        if (const unsigned char* text = sqlite3_column_text(statement, c))
                            bytes += std::char_traits<char>::length(reinterpret_cast<const char*>(text));
            }
            sqlite3_finalize(statement);
            if (bytes == 0 && rows > 0)
                std::fprintf(stderr, "raw: nothing read\n");
        });
    }

private:
    sqlite3* db_ = nullptr;
};


// Gives every book one to three words of the keyword list (as the books window stores them,
// separated by commas) in one transaction; answers the list.
std::vector<std::string> GiveBooksKeywords()
{
    data::TTable list;
    list.TableName = "KlicovaSlova.DB";
    list.Open();
    const std::vector<std::string> words = list.ReadTexts({"Nazev"}, "").front();
    list.Close();
    if (words.empty())
        return words;
    data::TTable books;
    books.TableName = "Knihy.DB";
    books.Open();
    std::mt19937 random(20240902);
    books.RewriteTexts({"KlicovaSlova"}, "", [&](std::vector<std::string>& texts) {
        const std::size_t first = random() % words.size();
        const std::size_t count = 1 + random() % 3;
        std::string keywords;
        for (std::size_t k = 0; k < count && k < words.size(); ++k)
            keywords += (k == 0 ? "" : ",") + words[(first + k * 2) % words.size()];
        texts[0] = std::move(keywords);
        return true;
    });
    books.Close();
    return words;
}

} // namespace

int main(int argc, char** argv)
{
    bench::WindowBench setup("bench_book_filter", argc, argv);
    return setup.Run([&](const fs::path& folder, ui::ScriptedDialogs& dialogs) {
        setup.MakeLibrary(folder);
        std::printf("library of %d books\n", setup.size.books);
        const std::vector<std::string> keywords = GiveBooksKeywords();
        if (keywords.size() < 5)
            throw std::runtime_error("the keyword list is too short");
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
        for (int round = 0; round < 5; ++round) {
            dialogs.ExpectModal(*Form10, {}, ui::mrCancel);
            shows.push_back(Millis([] {
                Form1->BitBtn24.Click();
                Paint();
            }));
        }
        std::printf("%-44s %8.2f ms   (%d books listed; goal < 300 ms) %s\n", "showing the filter window (median)",
                    Median(shows), listed, Median(shows) < 300 ? "ok" : "MISSED");

        // Three criteria (a title's first letters, a year, a number of pages) and two keywords of
        // the list the books' keywords come from.
        const std::string title(sys::TruncateUtf8(Form1->DBGrid2.CellText(listed / 3, 1), 3));
        std::vector<double> applies, raws;
        int rawRows = 0;
        for (int round = 0; round < 5; ++round) {
            catalogue::BookFilter filter;
            filter.Texts[1] = title;
            filter.Texts[8] = keywords[1] + " " + keywords[4];
            filter.Texts[11] = "1950"; // published after 1950
            filter.Texts[14] = "400";  // fewer than 400 pages
            Form10->SetCriteria(filter);
            applies.push_back(Millis([] {
                Form10->BitBtn2.Click();
                Paint();
            }));
            std::string sql;
            for (const std::string& line : Form1->Query1.SQL.Lines())
                sql += (sql.empty() ? "" : " ") + line;
            sql.replace(sql.find("FROM Knihy"), 10, "FROM k.Knihy");
            raws.push_back(raw.Run(sql, rawRows));
        }
        Report("apply 3 criteria + 2 keywords (median)", Median(applies), Median(raws));
        const int found = Form1->DBGrid2.RowCount();
        std::printf("(title containing \"%s\", keywords \"%s %s\": %d books found, raw statement %d rows)%s\n",
                    title.c_str(), keywords[1].c_str(), keywords[4].c_str(), found, rawRows,
                    found == 0 ? "  NOTHING FOUND: the figure means little" : "");
        if (!dialogs.Messages().empty())
            std::printf("messages shown: %zu, first: %s\n", dialogs.Messages().size(), dialogs.Messages()[0].Text.c_str());
    });
}
