#include "platform/sys/Shell.h"

#include "sys/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

using systest::ReadFile;
using systest::TempFolder;
using systest::WriteFile;
namespace fs = std::filesystem;

// Waits until a started program has written its file.
std::string WaitForFile(const fs::path& file)
{
    for (int i = 0; i < 500 && !fs::exists(file); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return ReadFile(file);
}

void MakeScript(const fs::path& file, const std::string& body)
{
    WriteFile(file, "#!/bin/sh\n" + body + "\n");
    fs::permissions(file, fs::perms::owner_all);
}

TEST(SystemShell, StartsAProgramInItsWorkingFolder)
{
    TempFolder tmp;
    fs::create_directory(tmp / "Pernoka");
    MakeScript(tmp / "Pernoka" / "Lendar", "pwd > \"$LENDAR_SHELL_TEST_OUT\"");
    systest::ScopedEnv out("LENDAR_SHELL_TEST_OUT", (tmp / "out.txt").string());
    sys::SystemShell shell;
    ASSERT_TRUE(shell.StartProgram(tmp / "Pernoka" / "Lendar", tmp / "Pernoka"));
    EXPECT_EQ(WaitForFile(tmp / "out.txt"), (tmp / "Pernoka").string() + "\n");
}

TEST(SystemShell, ReportsAProgramThatCannotStart)
{
    TempFolder tmp;
    sys::SystemShell shell;
    sys::Status s = shell.StartProgram(tmp / "Lendar", tmp.path());
    EXPECT_FALSE(s);
    EXPECT_NE(s.message.find("Lendar"), std::string::npos);

    WriteFile(tmp / "NotExecutable", "#!/bin/sh\n");
    fs::permissions(tmp / "NotExecutable", fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_FALSE(shell.StartProgram(tmp / "NotExecutable", tmp.path()));

    MakeScript(tmp / "Lendar", "true");
    EXPECT_FALSE(shell.StartProgram(tmp / "Lendar", tmp / "no such folder"));
    EXPECT_FALSE(shell.StartProgram(tmp.path(), tmp.path())); // a folder is no program
}

TEST(SystemShell, OpensFilesAndAddressesThroughTheDesktopOpener)
{
    TempFolder tmp;
    fs::create_directory(tmp / "bin");
    MakeScript(tmp / "bin" / "xdg-open", "echo \"$1\" >> \"" + (tmp / "opened.txt").string() + "\"");
    systest::ScopedEnv path("PATH", (tmp / "bin").string());
    WriteFile(tmp / "Nápověda.html", "<html></html>");
    sys::SystemShell shell;

    ASSERT_TRUE(shell.OpenFile(tmp / "Nápověda.html"));
    EXPECT_EQ(WaitForFile(tmp / "opened.txt"), (tmp / "Nápověda.html").string() + "\n");
    fs::remove(tmp / "opened.txt");
    ASSERT_TRUE(shell.OpenUrl("https://example.org/"));
    EXPECT_EQ(WaitForFile(tmp / "opened.txt"), "https://example.org/\n");

    const sys::Status missing = shell.OpenFile(tmp / "chybí.html");
    EXPECT_FALSE(missing);
    EXPECT_NE(missing.message.find("chybí.html"), std::string::npos);
    EXPECT_FALSE(shell.OpenUrl("--help"));
    EXPECT_FALSE(shell.OpenUrl(""));
}

TEST(SystemShell, ReportsAMissingDesktopOpener)
{
    TempFolder tmp;
    WriteFile(tmp / "a.txt", "x");
    systest::ScopedEnv path("PATH", (tmp / "empty").string());
    sys::SystemShell shell;
    const sys::Status s = shell.OpenFile(tmp / "a.txt");
    EXPECT_FALSE(s);
    EXPECT_NE(s.message.find("xdg-open"), std::string::npos);
}

} // namespace
