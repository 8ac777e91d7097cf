// The installation as the build lays it out: its file list, and a school's first start of it on
// Xvfb through Startel, with Lendar closed again through "Konec".

#include "Process.h"
#include "XSession.h"
#include "platform/data/TableSchema.h"
#include "platform/sys/Profile.h"
#include "platform/sys/Registry.h"
#include "sys/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

namespace fs = std::filesystem;
using systest::ReadFile;

constexpr const char* kMainTitle = "Orbelin Pernoka 2.1 CZ Standard Edition";

std::vector<data::TableSchema> Schemas()
{
    std::vector<data::TableSchema> schemas;
    const char* source = std::getenv("LENDAR_SOURCE_DIR");
    if (!source)
        return schemas;
    for (const auto& entry : fs::directory_iterator(fs::path(source) / "install" / "tables"))
        if (entry.path().extension() == ".schema")
            schemas.push_back(data::ReadSchemaFile(entry.path()));
    return schemas;
}

std::set<std::string> ListedNames(const fs::path& folder)
{
    std::set<std::string> names;
    std::string content = ReadFile(folder / "FileList.txt");
    std::size_t start = 0;
    while (start < content.size()) {
        const std::size_t end = content.find('\n', start);
        names.insert(content.substr(start, end - start));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return names;
}

class InstallationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        built_ = launcher_test::BuiltProgramFolder();
        if (!fs::is_regular_file(built_ / "FileList.txt"))
            GTEST_SKIP() << "no program folder laid out in " << built_;
    }
    fs::path built_;
};

TEST_F(InstallationTest, FileListNamesEveryShippedFileAndOnlyExistingOnes)
{
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

TEST_F(InstallationTest, SchoolStartsStartelAndClosesLendarThroughKonec)
{
    launcher_test::XSession x;
    if (!x.Available())
        GTEST_SKIP() << x.WhyNot();
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

    const auto started = launcher_test::RunProcess(
        folder / "Startel", {},
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

    // "Konec" on the tool bar (the client area, 610 high, lies below the menu bar), then "Ano",
    // the default button, in the question.
    const int menuBar = x.Size(window).second - 610;
    ASSERT_GE(menuBar, 0);
    ASSERT_TRUE(x.Click(window, 749, menuBar + 21));
    const std::string question = x.WaitForWindow("Ukončení programu", 20);
    ASSERT_FALSE(question.empty()) << "no question after Konec";
    ASSERT_TRUE(x.PressReturn(question));
    EXPECT_TRUE(x.WaitUntilGone(kMainTitle, 30)) << "Lendar did not end";

    for (const auto& schema : Schemas()) {
        EXPECT_TRUE(data::TableFileMatches(folder / schema.fileName, schema)) << schema.fileName;
        EXPECT_FALSE(fs::exists(folder / (schema.fileName + "-journal"))) << schema.fileName;
    }
}

} // namespace
