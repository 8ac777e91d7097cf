// Startel run as a process against a temporary key and profile file, its messages written to
// standard error, starting a stand-in for Lendar that records where and how often it ran.

#include "InstallationKey.h"
#include "Process.h"
#include "sys/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

namespace fs = std::filesystem;
using launcher_test::KeyPath;
using launcher_test::MakeKey;
using launcher_test::RunProcess;
using launcher_test::WaitForFile;
using systest::ReadFile;
using systest::WriteFile;

class StartelProcessTest : public ::testing::Test {
protected:
    void SetUp() override {
        const fs::path built = launcher_test::BuiltProgramFolder() / "Startel";
        if (!fs::is_regular_file(built)) GTEST_SKIP() << "Startel is not built in " << built;
        fs::create_directories(folder_);
        fs::copy_file(built, startel_);
        MakeStandIn(folder_);
    }

    // A stand-in for Lendar: appends its working folder to a record file.
    void MakeStandIn(const fs::path& folder, bool executable = true) {
        WriteFile(folder / "Lendar", "#!/bin/sh\npwd >> '" + record_.string() + "'\n");
        fs::permissions(folder / "Lendar", executable ? fs::perms(0755) : fs::perms(0644));
        WriteFile(folder / "FileList.txt", "/Lendar\n/Startel\n");
    }
    launcher_test::ProcessResult Run() {
        return RunProcess(startel_, {},
                          {{"LENDAR_REGISTRY", registry_.string()},
                           {"LENDAR_PROFILE", profile_.string()},
                           {"LENDAR_MESSAGES", "stderr"},
                           {"QT_QPA_PLATFORM", "offscreen"},
                           {"XDG_RUNTIME_DIR", temp_.path().string()}},
                          temp_.path());
    }
    // The working folders of the stand-in's runs, after giving a started one time to write.
    std::string Record(bool expectRun) {
        if (expectRun)
            EXPECT_TRUE(WaitForFile(record_, 10000)) << "Lendar's stand-in did not run";
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        return ReadFile(record_);
    }

    systest::TempFolder temp_;
    fs::path folder_ = temp_ / "Pernoka";
    fs::path startel_ = folder_ / "Startel";
    fs::path registry_ = temp_ / "key.conf";
    fs::path profile_ = temp_ / "win.ini";
    fs::path record_ = temp_ / "runs.txt";
};

TEST_F(StartelProcessTest, MissingKeyEndsWithTheMessageAndWritesNothing) {
    const auto result = Run();
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.errors,
              "Chyba: Nepodařilo se načíst data z registru. Aplikace Orbelin Pernoka bude nyní ukončena.\n");
    EXPECT_FALSE(fs::exists(registry_));
    EXPECT_FALSE(fs::exists(profile_));
    EXPECT_EQ(Record(false), "");
}

TEST_F(StartelProcessTest, FirstRunRecordsItsFolderAndStartsLendarThere) {
    MakeKey(registry_, std::nullopt);
    const auto result = Run();
    EXPECT_EQ(result.exitCode, 0) << result.errors;
    EXPECT_EQ(result.errors, "");
    EXPECT_EQ(KeyPath(registry_), folder_.string());
    EXPECT_NE(ReadFile(profile_).find("[IDAPI]\nDLLPath=" + folder_.string() + "\n"), std::string::npos);
    EXPECT_EQ(Record(true), folder_.string() + "\n") << "started once, in the program folder";
}

TEST_F(StartelProcessTest, PathElsewhereStartsTheLendarThere) {
    const fs::path other = temp_ / "Jinde";
    fs::create_directories(other);
    MakeStandIn(other);
    WriteFile(other / "Startel", "");
    MakeKey(registry_, other.string());
    const auto result = Run();
    EXPECT_EQ(result.exitCode, 0) << result.errors;
    EXPECT_EQ(KeyPath(registry_), other.string());
    EXPECT_EQ(Record(true), other.string() + "\n");
}

TEST_F(StartelProcessTest, MissingListedFileIsReportedAndLendarNotStarted) {
    MakeKey(registry_, std::nullopt);
    WriteFile(folder_ / "FileList.txt", "/Lendar\n/Knihy.DB\n/Čtenáři.db\n");
    const auto result = Run();
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.errors, "Soubor nenalezen: Soubor " + folder_.string() +
                                 "/Knihy.DB nebyl nalezen. Aplikace Orbelin Pernoka bude nyní ukončena.\n");
    EXPECT_EQ(Record(false), "");
}

TEST_F(StartelProcessTest, LendarThatCannotBeStartedIsReported) {
    MakeKey(registry_, folder_.string());
    MakeStandIn(folder_, false);
    const auto result = Run();
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.errors.find("Chyba: Nepodařilo se spustit program Orbelin Pernoka. Program " +
                                 folder_.string() + "/Lendar nelze spustit"),
              std::string::npos)
        << result.errors;
    EXPECT_EQ(Record(false), "");
}

} // namespace
