// Startel's window driven in-process: a temporary key and profile file, scripted message boxes and
// a recording shell.

#include "InstallationKey.h"

#include "launcher/Alias.h"
#include "platform/sys/Profile.h"
#include "platform/sys/ProgramFolder.h"
#include "platform/sys/Registry.h"
#include "platform/sys/ShellFake.h"
#include "platform/ui/Application.h"
#include "sys/TempFolder.h"
#include "ui/DialogsScope.h"

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using launcher_test::KeyPath;
using launcher_test::MakeKey;
using systest::ReadFile;
using systest::WriteFile;

constexpr const char* kEnds = " Aplikace Orbelin Pernoka bude nyní ukončena.";

class StartelTest : public ::testing::Test {
protected:
    void SetUp() override {
        ui::Application.Reset();
        fs::create_directories(folder_);
    }
    void TearDown() override { ui::Application.Reset(); }

    // Lays out an installation in `folder`: the files named and a file list with `list` as content.
    static void MakeInstallation(const fs::path& folder, const std::vector<std::string>& files,
                                 const std::string& list) {
        for (const std::string& name : files) {
            fs::create_directories((folder / name).parent_path());
            WriteFile(folder / name, "x");
        }
        WriteFile(folder / "FileList.txt", list);
    }
    // Runs the launcher's window as its entry does; true when it started Lendar.
    bool RunStartel() {
        TForm1 form;
        EXPECT_TRUE(ui::Application.Terminated()) << "the launcher always ends";
        return form.Started();
    }

    systest::TempFolder temp_;
    fs::path folder_ = temp_ / "Pernoka";
    fs::path registry_ = temp_ / "key.conf";
    fs::path profile_ = temp_ / "win.ini";
    systest::ScopedEnv registryEnv_{"LENDAR_REGISTRY", registry_.string()};
    systest::ScopedEnv profileEnv_{"LENDAR_PROFILE", profile_.string()};
    sys::ShellFake shell_;
    sys::ScopedShell shellScope_{shell_};
    ui_test::DialogsScope dialogs_;
};

TEST_F(StartelTest, MissingKeyIsReportedAndNothingIsWritten) {
    MakeInstallation(folder_, {"Lendar"}, "/Lendar\n");
    dialogs_.Expect("Nepodařilo se načíst data z registru. Aplikace Orbelin Pernoka bude nyní ukončena.",
                    "Chyba");
    EXPECT_FALSE(RunStartel());
    ASSERT_EQ(dialogs_.Messages().size(), 1u);
    EXPECT_EQ(dialogs_.Messages()[0].Icon(), ui::MB_ICONERROR);
    EXPECT_EQ(dialogs_.Messages()[0].Owner, "Form1");
    EXPECT_FALSE(fs::exists(registry_)) << "the key is never created";
    EXPECT_FALSE(fs::exists(profile_));
    EXPECT_TRUE(shell_.calls.empty());
}

TEST_F(StartelTest, MissingPathBecomesTheLaunchersFolder) {
    MakeKey(registry_, std::nullopt);
    const std::string own = sys::ProgramFolder();
    // The test program's folder holds no file list, so the check ends there.
    dialogs_.Expect("Soubor " + own + "/FileList.txt nebyl nalezen." + kEnds, "Soubor nenalezen");
    EXPECT_FALSE(RunStartel());
    EXPECT_EQ(KeyPath(registry_), own);
    EXPECT_EQ(sys::ReadProfileString("IDAPI", "DLLPath", profile_), own);
}

TEST_F(StartelTest, PathElsewhereIsUsedUnchangedForEverything) {
    const fs::path other = temp_ / "Jinde";
    MakeInstallation(other, {"Lendar", "Knihy.DB"}, "/Lendar\n/Knihy.DB\n");
    MakeKey(registry_, other.string());
    EXPECT_TRUE(RunStartel());
    EXPECT_EQ(KeyPath(registry_), other.string());
    EXPECT_EQ(sys::ReadProfileString("Borland Language Drivers", "LDPath", profile_), other.string());
    EXPECT_EQ(sys::ReadProfileString("Paradox Engine", "NetNamePath", profile_), other.string());
    ASSERT_EQ(shell_.calls.size(), 1u);
    EXPECT_EQ(shell_.calls[0].kind, sys::ShellFake::Kind::StartProgram);
    EXPECT_EQ(shell_.calls[0].target, (other / "Lendar").string());
    EXPECT_EQ(shell_.calls[0].workingFolder, other.string());
}

TEST_F(StartelTest, RelativePathIsTakenFromTheLaunchersWorkingFolder) {
    MakeInstallation(folder_, {"Lendar"}, "/Lendar\n");
    MakeKey(registry_, "Pernoka");
    const fs::path before = fs::current_path();
    fs::current_path(temp_.path());
    const bool started = RunStartel();
    fs::current_path(before);
    EXPECT_TRUE(started);
    ASSERT_EQ(shell_.calls.size(), 1u);
    EXPECT_EQ(shell_.calls[0].target, (folder_ / "Lendar").string());
    EXPECT_EQ(shell_.calls[0].workingFolder, folder_.string());
}

TEST_F(StartelTest, MissingFileListIsReportedAfterTheSettings) {
    MakeKey(registry_, folder_.string());
    dialogs_.Expect("Soubor " + folder_.string() + "/FileList.txt nebyl nalezen." + kEnds,
                    "Soubor nenalezen");
    EXPECT_FALSE(RunStartel());
    EXPECT_EQ(sys::ReadProfileString("Paradox Engine", "SwapSize", profile_), "64");
    EXPECT_TRUE(shell_.calls.empty());
}

TEST_F(StartelTest, FileListThatIsAFolderCountsAsMissing) {
    MakeKey(registry_, folder_.string());
    fs::create_directories(folder_ / "FileList.txt");
    dialogs_.Expect("Soubor " + folder_.string() + "/FileList.txt nebyl nalezen." + kEnds,
                    "Soubor nenalezen");
    EXPECT_FALSE(RunStartel());
}

struct ListCase {
    const char* name;
    std::vector<std::string> files; // laid out in the folder
    std::string list;               // the file list's content
    std::string missing;            // the name reported after the folder, or "" when all are there
};

class StartelListTest : public StartelTest, public ::testing::WithParamInterface<ListCase> {};

TEST_P(StartelListTest, ChecksEveryLineInOrder) {
    const ListCase& c = GetParam();
    MakeKey(registry_, folder_.string());
    MakeInstallation(folder_, c.files, c.list);
    fs::create_directories(folder_ / "Data" / "Help");
    if (!c.missing.empty())
        dialogs_.Expect("Soubor " + folder_.string() + c.missing + " nebyl nalezen." + kEnds,
                        "Soubor nenalezen");
    EXPECT_EQ(RunStartel(), c.missing.empty());
    EXPECT_EQ(shell_.calls.empty(), !c.missing.empty());
    if (c.missing.empty()) {
        ASSERT_EQ(shell_.calls.size(), 1u) << "Lendar is started exactly once";
        EXPECT_EQ(shell_.calls[0].target, (folder_ / "Lendar").string());
        EXPECT_EQ(shell_.calls[0].workingFolder, folder_.string());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lists, StartelListTest,
    ::testing::Values(
        ListCase{"AllPresent",
                 {"Lendar", "Knihy.DB", "Data/Help/Nápověda.html"},
                 "/Lendar\n/Knihy.DB\n/Data/Help/Nápověda.html\n",
                 ""},
        ListCase{"WindowsLineEnds", {"Lendar", "Knihy.DB"}, "/Lendar\r\n/Knihy.DB\r\n", ""},
        ListCase{"NoFinalLineFeed", {"Lendar", "Knihy.DB"}, "/Lendar\n/Knihy.DB", ""},
        ListCase{"EmptyList", {"Lendar"}, "", ""},
        ListCase{"FirstOfTwoMissingReported", {"Lendar"}, "/Lendar\n/Knihy.DB\n/Čtenáři.db\n", "/Knihy.DB"},
        ListCase{
            "LineWithoutSeparatorJoinedDirectly", {"Lendar", "Knihy.DB"}, "/Lendar\nKnihy.DB\n", "Knihy.DB"},
        ListCase{"FolderIsNoFile", {"Lendar"}, "/Lendar\n/Data/Help\n", "/Data/Help"},
        ListCase{"CaseMatters", {"Lendar", "Knihy.DB"}, "/Lendar\n/knihy.db\n", "/knihy.db"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(StartelTest, EmptyLineInsideTheListIsReported) {
    MakeKey(registry_, folder_.string());
    MakeInstallation(folder_, {"Lendar", "Knihy.DB"}, "/Lendar\n\n/Knihy.DB\n");
    dialogs_.Expect("Soubor " + folder_.string() + " nebyl nalezen." + kEnds, "Soubor nenalezen");
    EXPECT_FALSE(RunStartel());
}

TEST_F(StartelTest, SettingsAreWrittenInOrderAndOtherSectionsKept) {
    MakeKey(registry_, folder_.string());
    MakeInstallation(folder_, {"Lendar"}, "/Lendar\n");
    WriteFile(profile_, "[fonts]\nArial=1\n\n[Paradox Engine]\nRecBufs=8\nOwn=keep\n[mail]\nMAPI=1\n");
    EXPECT_TRUE(RunStartel());
    const std::string p = folder_.string();
    EXPECT_EQ(ReadFile(profile_), "[fonts]\nArial=1\n\n"
                                  "[Paradox Engine]\nRecBufs=64\nOwn=keep\n"
                                  "UserName=PxEngine\nNetNamePath=" +
                                      p +
                                      "\nMaxTables=64\n"
                                      "MaxLocks=64\nMaxFiles=64\nSwapSize=64\n"
                                      "[mail]\nMAPI=1\n"
                                      "[Borland Language Drivers]\nLDPath=" +
                                      p +
                                      "\n"
                                      "[IDAPI]\nDLLPath=" +
                                      p + "\n");
}

TEST_F(StartelTest, SettingsInAFreshProfileFollowTheirOrder) {
    MakeKey(registry_, folder_.string());
    MakeInstallation(folder_, {"Lendar"}, "/Lendar\n");
    EXPECT_TRUE(RunStartel());
    const std::string p = folder_.string();
    EXPECT_EQ(ReadFile(profile_), "[Borland Language Drivers]\nLDPath=" + p +
                                      "\n"
                                      "[IDAPI]\nDLLPath=" +
                                      p +
                                      "\n"
                                      "[Paradox Engine]\nUserName=PxEngine\nNetNamePath=" +
                                      p +
                                      "\n"
                                      "MaxTables=64\nRecBufs=64\nMaxLocks=64\nMaxFiles=64\nSwapSize=64\n");
}

TEST_F(StartelTest, ProfileThatCannotBeWrittenStopsTheStart) {
    MakeKey(registry_, folder_.string());
    MakeInstallation(folder_, {"Lendar"}, "/Lendar\n");
    // The profile's folder is a file, so the profile cannot be written.
    WriteFile(temp_ / "blocked", "");
    dialogs_.Answer(ui::IDOK);
    systest::ScopedEnv blocked("LENDAR_PROFILE", (temp_ / "blocked" / "win.ini").string());
    EXPECT_FALSE(RunStartel());
    ASSERT_EQ(dialogs_.Messages().size(), 1u);
    const auto& message = dialogs_.Messages()[0];
    EXPECT_EQ(message.Caption, "Chyba");
    EXPECT_EQ(message.Icon(), ui::MB_ICONERROR);
    EXPECT_NE(message.Text.find("Nepodařilo se zapsat nastavení databázového stroje do souboru " +
                                (temp_ / "blocked" / "win.ini").string()),
              std::string::npos)
        << message.Text;
    EXPECT_TRUE(shell_.calls.empty());
}

TEST_F(StartelTest, PathThatCannotBeAProfileValueStopsTheStart) {
    // A folder name with a line break cannot stand in the profile file: nothing is written.
    MakeKey(registry_, folder_.string() + "\nx");
    WriteFile(profile_, "[fonts]\nArial=1\n");
    dialogs_.Answer(ui::IDOK);
    EXPECT_FALSE(RunStartel());
    ASSERT_EQ(dialogs_.Messages().size(), 1u);
    EXPECT_EQ(dialogs_.Messages()[0].Caption, "Chyba");
    EXPECT_EQ(ReadFile(profile_), "[fonts]\nArial=1\n");
}

TEST_F(StartelTest, FailedStartOfLendarIsReported) {
    MakeKey(registry_, folder_.string());
    MakeInstallation(folder_, {"Lendar"}, "/Lendar\n");
    shell_.result =
        sys::Status::Fail("Program " + (folder_ / "Lendar").string() + " nelze spustit: Permission denied");
    dialogs_.Answer(ui::IDOK);
    EXPECT_FALSE(RunStartel());
    EXPECT_EQ(shell_.calls.size(), 1u);
    ASSERT_EQ(dialogs_.Messages().size(), 1u);
    EXPECT_EQ(dialogs_.Messages()[0].Text, "Nepodařilo se spustit program Orbelin Pernoka. Program " +
                                               (folder_ / "Lendar").string() +
                                               " nelze spustit: Permission denied." + kEnds);
}

} // namespace
