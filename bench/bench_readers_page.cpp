// Figures of the readers page on a large generated library, each beside raw SQLite doing the same
// over a copy of the readers file in the same run:
//  - one keystroke in the name box: the list rebuilt and reopened, the grid painted with its first
//    rows; goal within 3x of the raw statement and under 50 ms;
//  - the forward roll-over of every reader through its button (the question answered No), and
//    the backward one: goal within 3x of one raw UPDATE doing the same in one transaction.
// Options as lendar-generate's (--readers N ...), --keep to leave the folder.

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

constexpr int kShownRows = 30; // about what the grid shows at once

void Paint()
{
    QApplication::processEvents();
}

void Report(const char* what, double ms, double raw, double limit)
{
    const double ratio = raw > 0 ? ms / raw : 0;
    const bool ok = (limit <= 0 || ms < limit) && ratio <= 3;
    std::printf("%-44s %8.2f ms   raw SQLite %7.2f ms   %5.2fx   (goal %s<= 3x) %s\n", what, ms, raw, ratio,
                limit > 0 ? "< 50 ms, " : "", ok ? "ok" : "MISSED");
}

// Raw SQLite over a copy of the readers file, attached as the program attaches its files (rollback
// journal, full syncs).
class RawReaders {
public:
    explicit RawReaders(const fs::path& library)
    {
        const fs::path copy = library / "raw-Ctenari.db";
        fs::copy_file(library / "Čtenáři.db", copy, fs::copy_options::overwrite_existing);
        sqlite3_open(":memory:", &db_);
        sqlite3_exec(db_, ("ATTACH '" + copy.string() + "' AS r").c_str(), nullptr, nullptr, nullptr);
        sqlite3_exec(db_, "PRAGMA r.journal_mode=DELETE; PRAGMA r.synchronous=FULL", nullptr, nullptr, nullptr);
    }
    ~RawReaders() { sqlite3_close(db_); }
    RawReaders(const RawReaders&) = delete;
    RawReaders& operator=(const RawReaders&) = delete;

    double Select(const std::string& pattern)
    {
        return Millis([&] {
            sqlite3_stmt* statement = nullptr;
            sqlite3_prepare_v2(db_, "SELECT * FROM r.\"Čtenáři\" WHERE Jmeno LIKE ?1 ORDER BY Jmeno", -1, &statement,
                               nullptr);
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

    // One UPDATE moving the classes a year on (active readers of 1 to 8) or back (every reader of
    // 2 to 9), committed.
    double Roll(bool forward)
    {
        const char* sql =
            forward ? "BEGIN; UPDATE r.\"Čtenáři\" SET Trida = CAST(CAST(substr(Trida, 1, 1) AS INTEGER) + 1 AS TEXT) "
                      "|| substr(Trida, 2) WHERE Stav = 'Aktivní' AND substr(Trida, 1, 1) BETWEEN '1' AND '8'; COMMIT"
                    : "BEGIN; UPDATE r.\"Čtenáři\" SET Trida = CAST(CAST(substr(Trida, 1, 1) AS INTEGER) - 1 AS TEXT) "
                      "|| substr(Trida, 2) WHERE substr(Trida, 1, 1) BETWEEN '2' AND '9'; COMMIT";
        return Millis([&] {
            char* error = nullptr;
            if (sqlite3_exec(db_, sql, nullptr, nullptr, &error) != SQLITE_OK) {
                std::fprintf(stderr, "raw: %s\n", error);
                sqlite3_free(error);
            }
        });
    }

private:
    sqlite3* db_ = nullptr;
};

} // namespace

int main(int argc, char** argv)
{
    bench::WindowBench setup("bench_readers_page", argc, argv);
    return setup.Run([&](const fs::path& folder, ui::ScriptedDialogs& dialogs) {
        setup.MakeLibrary(folder);
        std::printf("library of %d readers\n", setup.size.readers);
        RawReaders raw(folder);

        CreateWindows();
        Form1->Show();
        Form1->resize(890, 610);
        const double refresh = Millis([] {
            Form1->TabbedNotebook1.ClickTab(2);
            Paint();
        });
        std::printf("%-44s %8.2f ms   (%d readers listed)\n", "readers page refresh (tab click)", refresh,
                    Form1->DBGrid1.RowCount());

        // A librarian types the beginnings of names into the name box, key by key, clearing the
        // box between names. Names are taken from the list itself.
        std::vector<std::string> words;
        const int rows = Form1->DBGrid1.RowCount();
        for (int row = 0; row < rows && words.size() < 8; row += std::max(1, rows / 8)) {
            const std::string name = Form1->DBGrid1.CellText(row, 1);
            words.push_back(name.substr(0, std::min<std::size_t>(name.size(), 6)));
        }
        std::vector<double> keys, rawKeys;
        for (const std::string& word : words) {
            for (std::size_t length = 1; length <= word.size(); ++length) {
                if ((static_cast<unsigned char>(word[length - 1]) & 0xC0) == 0xC0)
                    continue; // the middle of an accented letter
                const std::string prefix = word.substr(0, length);
                keys.push_back(Millis([&] {
                    Form1->Edit10.SetText(prefix);
                    Paint();
                }));
                rawKeys.push_back(raw.Select(prefix + "%"));
            }
            Form1->Edit10.SetText("");
        }
        Report("quick filter keystroke (median)", Median(keys), Median(rawKeys), 50);
        std::printf("(%zu keystrokes over %zu names)\n", keys.size(), words.size());

        // Forward and back again, several times; each beside the raw UPDATE doing the same.
        std::vector<double> forward, rawForward, backward, rawBackward;
        for (int round = 0; round < 5; ++round) {
            dialogs.Answer(ui::IDNO);
            forward.push_back(Millis([] {
                Form1->BitBtn30.Click();
                Paint();
            }));
            rawForward.push_back(raw.Roll(true));
            backward.push_back(Millis([] {
                Form1->BitBtn18.Click();
                Paint();
            }));
            rawBackward.push_back(raw.Roll(false));
        }
        Report("forward roll-over, every reader (median)", Median(forward), Median(rawForward), 0);
        Report("backward roll-over, every reader (median)", Median(backward), Median(rawBackward), 0);
        if (dialogs.Messages().size() != 5)
            std::printf("messages shown: %zu, last: %s\n", dialogs.Messages().size(),
                        dialogs.Messages().back().Text.c_str());
    });
}
