// Figures of the books page on a large generated library, each beside raw SQLite running the same
// statement over a copy of the books file in the same run:
//  - one keystroke in a quick filter box: the list rebuilt and reopened, the grid painted with its
//    first rows; goal within 3x of the raw statement and under 50 ms;
//  - one click on a sort button: the same goals;
//  - a book added through the dialog's OK, the list rebuilt: under 100 ms.
// Options as lendar-generate's (--books N ...), --keep to leave the folder.

#include "BenchSupport.h"
#include "WindowBench.h"

#include "app/CreateWindows.h"
#include "app/Hlavni.h"
#include "catalogue/PridatKnihu.h"
#include "platform/sys/ShortDate.h"
#include "platform/ui/ScriptedDialogs.h"

#include <QApplication>

#include <sqlite3.h>

#include <cstdio>
#include <functional>
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
    const bool ok = ms < 50 && ratio <= 3;
    std::printf("%-44s %8.2f ms   raw SQLite %7.2f ms   %5.2fx   (goal < 50 ms, <= 3x) %s\n", what, ms, raw, ratio,
                ok ? "ok" : "MISSED");
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

const char* const kAvailable = "ifnull(Vlastnosti,'')=''";

} // namespace

int main(int argc, char** argv)
{
    bench::WindowBench setup("bench_books_page", argc, argv);
    return setup.Run([&](const fs::path& folder, ui::ScriptedDialogs& dialogs) {
        setup.MakeLibrary(folder);
        std::printf("library of %d books\n", setup.size.books);
        RawBooks raw(folder);

        CreateWindows();
        Form1->Show();
        Form1->resize(890, 610);
        const double refresh = Millis([] {
            Form1->TabbedNotebook1.ClickTab(1);
            Paint();
        });
        std::printf("%-44s %8.2f ms   (%d books listed)\n", "books page refresh (tab click)", refresh,
                    Form1->DBGrid2.RowCount());

        // A librarian types the beginnings of titles into the title box, key by key, clearing the
        // box between words. Titles are taken from the list itself.
        std::vector<std::string> words;
        for (int row = 0; row < Form1->DBGrid2.RowCount() && words.size() < 8; row += Form1->DBGrid2.RowCount() / 8) {
            std::string title = Form1->DBGrid2.CellText(row, 1);
            words.push_back(title.substr(0, std::min<std::size_t>(title.size(), 6)));
        }
        std::vector<double> keys, rawKeys;
        int firstLetterRows = 0;
        for (const std::string& word : words) {
            for (std::size_t length = 1; length <= word.size(); ++length) {
                const std::string prefix = word.substr(0, length);
                if ((static_cast<unsigned char>(word[length - 1]) & 0xC0) == 0xC0)
                    continue; // the middle of an accented letter
                keys.push_back(Millis([&] {
                    Form1->Edit6.SetText(prefix);
                    Paint();
                }));
                if (length == 1)
                    firstLetterRows += Form1->DBGrid2.RowCount();
                rawKeys.push_back(raw.Run(std::string("SELECT * FROM k.Knihy WHERE Nazev LIKE ?1 AND ") + kAvailable +
                                              " ORDER BY Kod",
                                          prefix + "%"));
            }
            Form1->Edit6.SetText("");
        }
        Report("quick filter keystroke (median)", Median(keys), Median(rawKeys));
        std::printf("(%zu keystrokes over %zu words; %d rows on average after the first letter)\n", keys.size(),
                    words.size(), words.empty() ? 0 : firstLetterRows / static_cast<int>(words.size()));

        // Sort clicks over the whole available list: each column's button in turn.
        Paint();
        // The first click on a column makes its Czech sort keys, which later clicks reuse; those
        // first clicks are shown apart.
        std::vector<double> clicks, rawClicks, firstClicks;
        const std::pair<ui::TBitBtn*, const char*> buttons[] = {
            {&Form1->BitBtn16, "Nazev"}, {&Form1->BitBtn17, "Autor"}, {&Form1->BitBtn19, "Umisteni"}, {&Form1->BitBtn15, "Kod"}};
        for (int round = 0; round < 4; ++round) {
            for (const auto& [button, field] : buttons) {
                const double ms = Millis([button] {
                    button->Click();
                    Paint();
                });
                // The code column's keys were made when the page first showed its list.
                if (round == 0 && std::string(field) != "Kod") {
                    firstClicks.push_back(ms);
                    continue;
                }
                clicks.push_back(ms);
                const std::string orderBy = Form1->Query1.SQL.Lines().back();
                std::string sql = std::string("SELECT * FROM k.Knihy WHERE ") + kAvailable + " " + orderBy;
                rawClicks.push_back(raw.Run(sql, ""));
            }
        }
        Report("sort click, whole list (median)", Median(clicks), Median(rawClicks));
        std::printf("(%zu clicks, %d books listed; the first click on a title, author or location column, which makes "
                    "its sort keys: median %.2f ms)\n",
                    clicks.size(), Form1->DBGrid2.RowCount(), Median(firstClicks));

        // Adding a book through the dialog: the page's add button, code and title typed, OK (the
        // book written and the list rebuilt by the quick filter), against one raw INSERT.
        std::vector<double> adds, rawAdds;
        for (int i = 0; i < 9; ++i) {
            const std::string code = "BENCH" + std::to_string(i);
            dialogs.ExpectModal(*Form4, std::function<void(TForm4&)>([&code](TForm4& dialog) {
                                    dialog.Edit1.SetText(code);
                                    dialog.Edit2.SetText("Nová kniha " + code);
                                    dialog.BitBtn1.Click();
                                }));
            adds.push_back(Millis([] {
                Form1->BitBtn5.Click();
                Paint();
            }));
            rawAdds.push_back(raw.Run("INSERT INTO k.Knihy (Kod, Nazev, Pujceno) VALUES (?, 'Nová kniha', 0)", code));
        }
        const double add = Median(adds);
        const double rawAdd = Median(rawAdds);
        std::printf("%-44s %8.2f ms   raw SQLite %7.2f ms   %5.2fx   (goal < 100 ms) %s\n",
                    "book added through the dialog's OK (median)", add, rawAdd, rawAdd > 0 ? add / rawAdd : 0,
                    add < 100 ? "ok" : "MISSED");
        if (!dialogs.Messages().empty())
            std::printf("messages shown: %zu, first: %s\n", dialogs.Messages().size(), dialogs.Messages()[0].Text.c_str());
    });
}
