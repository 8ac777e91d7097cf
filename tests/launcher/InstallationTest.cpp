// The installation as the build lays it out: its file list, and a school's first start of it on
// Xvfb through Startel, with Lendar closed again through "Konec".

#include "Process.h"
#include "XSession.h"
#include "platform/data/Table.h"
#include "platform/data/TableSchema.h"
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

namespace {

namespace fs = std::filesystem;
using systest::ReadFile;

constexpr const char* kMainTitle = "Orbelin Pernoka 2.1 CZ Standard Edition";

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

std::int64_t AppendBook(const fs::path& file, const std::string& code, const std::string& title) {
    data::TTable table;
    table.TableName = file.string();
    table.Open();
    table.Append();
    table.FieldByName("Kod").SetAsString(code);
    table.FieldByName("Nazev").SetAsString(title);
    table.FieldByName("Autor").SetAsString("Božena Němcová");
    table.FieldByName("Pujceno").SetAsString("False");
    table.Post();
    const std::int64_t number = table.FieldByName("Cislo").AsInteger();
    table.Close();
    return number;
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

TEST_F(InstallationTest, SchoolStartsStartelLendsAndReturnsAndClosesLendarThroughKonec) {
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
    // The books page has no add command yet: the catalogue's first book is put in beforehand.
    const std::int64_t book = AppendBook(folder / "Knihy.DB", "K1", "Babička");

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
    {
        sys::RegistryKey key(registry);
        ASSERT_TRUE(key.OpenForReading());
        EXPECT_EQ(key.ReadString("Path"), folder.string());
    }
    EXPECT_EQ(sys::ReadProfileString("Paradox Engine", "NetNamePath", profile), folder.string());

    // Positions below are in the window's client area, which lies below the menu bar (there is no
    // window manager, so no frame).
    const int top = x.Size(window).second - 610;
    ASSERT_GE(top, 0);

    // The lending desk's tab, then its "+" beside the reader box: a new reader, first name and
    // surname typed, Enter between them, then OK.
    ASSERT_TRUE(x.Click(window, 64, top + 57));
    ASSERT_TRUE(x.Click(window, 365, top + 112));
    const std::string dialog = x.WaitForWindow("Přidat čtenáře", 20);
    ASSERT_FALSE(dialog.empty()) << "the add-reader dialog did not open";
    ASSERT_TRUE(x.Focus(dialog));
    ASSERT_TRUE(x.Type("Jan"));
    ASSERT_TRUE(x.Keys("Return"));
    ASSERT_TRUE(x.Type("Novak"));
    ASSERT_TRUE(x.Click(dialog, 128, 190));
    ASSERT_TRUE(x.WaitUntilGone("Přidat čtenáře", 20));
    const fs::path readers = folder / "Čtenáři.db", loans = folder / "Výpůjčky.db";
    ASSERT_TRUE(Eventually([&] { return Count(readers, "SELECT count(*) FROM \"Čtenáři\"") == 1; }, 10))
        << "the reader was not saved";

    // The new reader is the desk's chosen one: the book's code typed, "Půjčit".
    ASSERT_TRUE(x.Click(window, 93, top + 186));
    ASSERT_TRUE(x.Type("K1"));
    ASSERT_TRUE(x.Click(window, 703, top + 186));
    ASSERT_TRUE(Eventually(
        [&] { return Count(loans, "SELECT count(*) FROM \"Výpůjčky\" WHERE VracenoB=0") == 1; }, 10))
        << "the book was not lent";

    // "Vrátit vybranou knihu" returns the loan the grid shows.
    ASSERT_TRUE(x.Click(window, 118, top + 575));
    ASSERT_TRUE(Eventually(
        [&] { return Count(loans, "SELECT count(*) FROM \"Výpůjčky\" WHERE VracenoB=1") == 1; }, 10))
        << "the book was not returned";

    // "Konec" on the tool bar, then "Ano", the default button, in the question.
    ASSERT_TRUE(x.Click(window, 749, top + 21));
    const std::string question = x.WaitForWindow("Ukončení programu", 20);
    ASSERT_FALSE(question.empty()) << "no question after Konec";
    ASSERT_TRUE(x.PressReturn(question));
    EXPECT_TRUE(x.WaitUntilGone(kMainTitle, 30)) << "Lendar did not end";
    // The window goes before the process: Lendar holds its folder until it has ended.
    const auto folderFree = [&] {
        try {
            Read(folder / "Knihy.DB", {"Kod"});
            return true;
        } catch (const std::exception&) {
            return false;
        }
    };
    for (int tries = 0; tries < 150 && !folderFree(); ++tries)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));

    const auto loan = Read(loans, {"CisloCtenare", "CisloKnihy", "VracenoB", "Pujceno", "Vraceno"});
    ASSERT_EQ(loan[0].size(), 1u);
    EXPECT_EQ(loan[0][0], Read(readers, {"Cislo"})[0].at(0));
    EXPECT_EQ(loan[1][0], std::to_string(book));
    EXPECT_EQ(loan[2][0], "True");
    EXPECT_FALSE(loan[3][0].empty());
    EXPECT_EQ(loan[3][0], loan[4][0]) << "lent and returned on the same day";
    EXPECT_EQ(Read(folder / "Knihy.DB", {"Kod", "Pujceno"}),
              (std::vector<std::vector<std::string>>{{"K1"}, {"False"}}));
    EXPECT_EQ(Read(readers, {"Jmeno"})[0], std::vector<std::string>{"Novak Jan"});
    for (const auto& schema : Schemas()) {
        EXPECT_TRUE(data::TableFileMatches(folder / schema.fileName, schema)) << schema.fileName;
        EXPECT_FALSE(fs::exists(folder / (schema.fileName + "-journal"))) << schema.fileName;
    }
}

} // namespace
