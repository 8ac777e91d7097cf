// The installation as the build lays it out: its file list, and a school's first day with it on
// Xvfb: started through Startel, a book and a reader added through their dialogs, the book lent
// and returned, a backup written, and Lendar closed again through "Konec".

#include "Process.h"
#include "XSession.h"
#include "platform/data/Table.h"
#include "platform/data/TableSchema.h"
#include "platform/sys/DriveType.h"
#include "platform/sys/Profile.h"
#include "platform/sys/Registry.h"
#include "sys/TempFolder.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <set>
#include <thread>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using systest::ReadFile;

constexpr const char* kMainTitle = "Orbelin Pernoka 2.1 CZ Standard Edition";
// The middle of the books page's tab (the lending desk's is at 64).
constexpr int kBooksTabX = 150;

std::vector<data::TableSchema> Schemas() {
    std::vector<data::TableSchema> schemas;
    const char* source = std::getenv("LENDAR_SOURCE_DIR");
    if (!source) return schemas;
    for (const auto& entry : fs::directory_iterator(fs::path(source) / "install" / "tables"))
        if (entry.path().extension() == ".schema") schemas.push_back(data::ReadSchemaFile(entry.path()));
    return schemas;
}

std::set<std::string> ListedNames(const fs::path& folder) {
    std::set<std::string> names;
    std::string content = ReadFile(folder / "FileList.txt");
    std::size_t start = 0;
    while (start < content.size()) {
        const std::size_t end = content.find('\n', start);
        names.insert(content.substr(start, end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return names;
}

// One list of texts per field of the table's records (all of them when the filter is "").
std::vector<std::vector<std::string>> Read(const fs::path& file, const std::vector<std::string>& fields,
                                           const std::string& filter = "") {
    data::TTable table;
    table.TableName = file.string();
    table.Open();
    auto texts = table.ReadTexts(fields, filter);
    table.Close();
    return texts;
}

// A count read straight from a table file while Lendar holds it (the data layer lets only one
// program at a time work with a folder); -1 when it cannot be read.
long Count(const fs::path& file, const std::string& sql) {
    sqlite3* db = nullptr;
    long count = -1;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_busy_timeout(db, 2000);
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK &&
            sqlite3_step(statement) == SQLITE_ROW)
            count = sqlite3_column_int(statement, 0);
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    return count;
}

// Waits until the condition holds, up to `seconds`.
bool Eventually(const std::function<bool()>& condition, int seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    do {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    } while (std::chrono::steady_clock::now() < deadline);
    return false;
}

class InstallationTest : public ::testing::Test {
protected:
    void SetUp() override {
        built_ = launcher_test::BuiltProgramFolder();
        if (!fs::is_regular_file(built_ / "FileList.txt"))
            GTEST_SKIP() << "no program folder laid out in " << built_;
    }
    fs::path built_;
};

TEST_F(InstallationTest, FileListNamesEveryShippedFileAndOnlyExistingOnes) {
    const std::set<std::string> names = ListedNames(built_);
    for (const std::string& name : names) {
        ASSERT_FALSE(name.empty());
        EXPECT_EQ(name.front(), '/') << name;
        EXPECT_EQ(name.find('\r'), std::string::npos) << name;
        EXPECT_TRUE(fs::is_regular_file(built_.string() + name)) << name;
    }
    for (const char* shipped : {"/Lendar", "/Startel", "/Data/Help/Nápověda.html"})
        EXPECT_TRUE(names.count(shipped)) << shipped;
    const auto schemas = Schemas();
    ASSERT_EQ(schemas.size(), 9u);
    for (const auto& schema : schemas) {
        EXPECT_TRUE(names.count("/" + schema.fileName)) << schema.fileName;
        EXPECT_TRUE(names.count("/Empty/" + schema.fileName)) << schema.fileName;
    }
    for (const auto& entry : fs::recursive_directory_iterator(built_ / "Data" / "Icon"))
        if (entry.is_regular_file()) {
            EXPECT_TRUE(names.count("/" + fs::relative(entry.path(), built_).string())) << entry.path();
        }
    EXPECT_FALSE(names.count("/FileList.txt"));
}

// Where the backup goes: a folder in the test's temporary folder when that lies on a fixed disk
// (the backup refuses memory and removable drives), beside the built program folder otherwise.
fs::path BackupFolder(const fs::path& temp, const fs::path& built) {
    if (sys::DriveTypeOf(temp) == sys::DriveType::Fixed) return temp / "zaloha";
    return built.parent_path() / ("zaloha-" + std::to_string(::getpid()));
}

TEST_F(InstallationTest, SchoolAddsAReaderAndABookLendsReturnsBacksUpAndClosesThroughKonec) {
    launcher_test::XSession x;
    if (!x.Available()) GTEST_SKIP() << x.WhyNot();
    ASSERT_TRUE(x.Start()) << x.WhyNot();

    // A fresh installation: the program folder as the build lays it out, a key without Path.
    systest::TempFolder temp;
    const fs::path folder = temp / "Pernoka";
    fs::copy(built_, folder, fs::copy_options::recursive);
    for (const char* leftover : {"Data/Filters"})
        fs::remove_all(folder / leftover);
    fs::create_directories(folder / "Data" / "Filters");
    const fs::path registry = temp / "key.conf", profile = temp / "win.ini";
    {
        sys::RegistryKey key(registry);
        ASSERT_TRUE(key.Open(true));
    }
    const fs::path backups = BackupFolder(temp.path(), built_);
    fs::remove_all(backups);
    fs::create_directories(backups);
    struct RemoveAfter {
        fs::path folder;
        ~RemoveAfter() {
            std::error_code ignored;
            fs::remove_all(folder, ignored);
        }
    } removeBackups{backups};

    const auto started = launcher_test::RunProcess(folder / "Startel", {},
                                                   {{"LENDAR_REGISTRY", registry.string()},
                                                    {"LENDAR_PROFILE", profile.string()},
                                                    {"LENDAR_MESSAGES", std::nullopt},
                                                    {"QT_QPA_PLATFORM", "xcb"},
                                                    {"DISPLAY", x.Display()},
                                                    {"XDG_RUNTIME_DIR", temp.path().string()}},
                                                   temp.path());
    ASSERT_EQ(started.exitCode, 0) << started.errors;

    // Lendar, not Startel, owns the main window; Startel has already ended.
    const std::string window = x.WaitForWindow(kMainTitle, 60);
    ASSERT_FALSE(window.empty()) << "Lendar's main window did not appear";
    x.Screenshot("1-started");
    {
        sys::RegistryKey key(registry);
        ASSERT_TRUE(key.OpenForReading());
        EXPECT_EQ(key.ReadString("Path"), folder.string());
    }
    EXPECT_EQ(sys::ReadProfileString("Paradox Engine", "NetNamePath", profile), folder.string());

    // Positions below are in the window's client area, which lies below the menu bar (there is no
    // window manager, so no frame); the pages start below the tabs, 70 pixels down.
    const int top = x.Size(window).second - 610;
    ASSERT_GE(top, 0);
    const int page = top + 70;
    const fs::path books = folder / "Knihy.DB", readers = folder / "Čtenáři.db", loans = folder / "Výpůjčky.db";

    // The books page's tab, then "Přidat knihu" under the list: code, Enter, title, then OK.
    ASSERT_TRUE(x.Click(window, kBooksTabX, top + 57));
    ASSERT_TRUE(x.Click(window, 8 + 71, page + 492 + 15));
    const std::string bookDialog = x.WaitForWindow("Přidat knihu", 20);
    ASSERT_FALSE(bookDialog.empty()) << "the book dialog did not open";
    ASSERT_TRUE(x.Focus(bookDialog));
    ASSERT_TRUE(x.Type("K1"));
    ASSERT_TRUE(x.Keys("Return"));
    ASSERT_TRUE(x.Type("Babicka"));
    x.Screenshot("2-book-dialog");
    ASSERT_TRUE(x.Click(bookDialog, 294 + 37, 268 + 14));
    ASSERT_TRUE(x.WaitUntilGone("Přidat knihu", 20));
    ASSERT_TRUE(Eventually([&] { return Count(books, "SELECT count(*) FROM \"Knihy\"") == 1; }, 10))
        << "the book was not saved";

    // The lending desk's tab, then its "+" beside the reader box: a new reader, first name and
    // surname typed, Enter between them, then OK.
    ASSERT_TRUE(x.Click(window, 64, top + 57));
    ASSERT_TRUE(x.Click(window, 350 + 15, page + 30 + 12));
    const std::string dialog = x.WaitForWindow("Přidat čtenáře", 20);
    ASSERT_FALSE(dialog.empty()) << "the add-reader dialog did not open";
    ASSERT_TRUE(x.Focus(dialog));
    ASSERT_TRUE(x.Type("Jan"));
    ASSERT_TRUE(x.Keys("Return"));
    ASSERT_TRUE(x.Type("Novak"));
    x.Screenshot("3-reader-dialog");
    ASSERT_TRUE(x.Click(dialog, 84 + 44, 176 + 14));
    ASSERT_TRUE(x.WaitUntilGone("Přidat čtenáře", 20));
    ASSERT_TRUE(Eventually([&] { return Count(readers, "SELECT count(*) FROM \"Čtenáři\"") == 1; }, 10))
        << "the reader was not saved";

    // The new reader is the desk's chosen one: the book's code typed, "Půjčit".
    ASSERT_TRUE(x.Click(window, 93, page + 116));
    ASSERT_TRUE(x.Type("K1"));
    x.Screenshot("3-lending-desk-lend");
    ASSERT_TRUE(x.Click(window, 703, page + 116));
    ASSERT_TRUE(Eventually(
        [&] { return Count(loans, "SELECT count(*) FROM \"Výpůjčky\" WHERE VracenoB=0") == 1; }, 10))
        << "the book was not lent";

    // "Vrátit vybranou knihu" returns the loan the grid shows.
    ASSERT_TRUE(x.Click(window, 118, page + 505));
    ASSERT_TRUE(Eventually(
        [&] { return Count(loans, "SELECT count(*) FROM \"Výpůjčky\" WHERE VracenoB=1") == 1; }, 10))
        << "the book was not returned";

    // "Záloha dat..." (Ctrl+Z): the folder typed into the first box, "Zálohovat", then the
    // success message, which alone carries the window's plain title while the window itself shows
    // "- 100% dokončeno".
    ASSERT_TRUE(x.Focus(window));
    ASSERT_TRUE(x.Keys("ctrl+z"));
    const std::string backupWindow = x.WaitForWindow("Záloha dat", 20);
    ASSERT_FALSE(backupWindow.empty()) << "the backup window did not open";
    ASSERT_TRUE(x.Focus(backupWindow));
    ASSERT_TRUE(x.Type(backups.string()));
    x.Screenshot("4-backup");
    ASSERT_TRUE(x.Click(backupWindow, 246 + 45, 101 + 14));
    ASSERT_FALSE(x.WaitForWindow("Záloha dat - 100% dokončeno", 30).empty()) << "the backup did not finish";
    const std::string done = x.WaitForWindow("Záloha dat", 10);
    ASSERT_FALSE(done.empty()) << "no message after the backup";
    x.Screenshot("5-backup-done");
    ASSERT_TRUE(x.PressReturn(done));
    ASSERT_TRUE(x.WaitUntilGone("Záloha dat - 100% dokončeno", 20));
    EXPECT_EQ(Count(backups / "Knihy.bak", "SELECT count(*) FROM \"Knihy\" WHERE Kod='K1'"), 1);
    EXPECT_EQ(Count(backups / "Výpůjčky.bak", "SELECT count(*) FROM \"Výpůjčky\" WHERE VracenoB=1"), 1);
    EXPECT_EQ(Count(backups / "Čtenáři.bak", "SELECT count(*) FROM \"Čtenáři\""), 1);

    // "Konec" on the tool bar, then "Ano", the default button, in the question.
    ASSERT_TRUE(x.Click(window, 749, top + 21));
    const std::string question = x.WaitForWindow("Ukončení programu", 20);
    ASSERT_FALSE(question.empty()) << "no question after Konec";
    ASSERT_TRUE(x.PressReturn(question));
    EXPECT_TRUE(x.WaitUntilGone(kMainTitle, 30)) << "Lendar did not end";
    // The window goes before the process: Lendar holds its folder until it has ended.
    const auto folderFree = [&] {
        try {
            Read(books, {"Kod"});
            return true;
        } catch (const std::exception&) {
            return false;
        }
    };
    for (int tries = 0; tries < 150 && !folderFree(); ++tries)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));

    const auto book = Read(books, {"Cislo", "Kod", "Nazev", "Pujceno"});
    ASSERT_EQ(book[0].size(), 1u);
    EXPECT_EQ(book[1][0], "K1");
    EXPECT_EQ(book[2][0], "Babicka");
    EXPECT_EQ(book[3][0], "False");
    const auto loan = Read(loans, {"CisloCtenare", "CisloKnihy", "VracenoB", "Pujceno", "Vraceno"});
    ASSERT_EQ(loan[0].size(), 1u);
    EXPECT_EQ(loan[0][0], Read(readers, {"Cislo"})[0].at(0));
    EXPECT_EQ(loan[1][0], book[0][0]);
    EXPECT_EQ(loan[2][0], "True");
    EXPECT_FALSE(loan[3][0].empty());
    EXPECT_EQ(loan[3][0], loan[4][0]) << "lent and returned on the same day";
    EXPECT_EQ(Read(readers, {"Jmeno"})[0], std::vector<std::string>{"Novak Jan"});
    for (const auto& schema : Schemas()) {
        EXPECT_TRUE(data::TableFileMatches(folder / schema.fileName, schema)) << schema.fileName;
        EXPECT_FALSE(fs::exists(folder / (schema.fileName + "-journal"))) << schema.fileName;
    }
}

} // namespace
