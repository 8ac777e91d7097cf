#include "platform/sys/Registry.h"

#include "sys/TempFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

using systest::ReadFile;
using systest::RunUnprivileged;
using systest::TempFolder;
using systest::WriteFile;
namespace fs = std::filesystem;

mode_t ModeOf(const fs::path& p)
{
    struct stat st {};
    stat(p.c_str(), &st);
    return st.st_mode & 07777;
}

TEST(RegistryPath, ComesFromTheEnvironment)
{
    {
        systest::ScopedEnv own("LENDAR_REGISTRY", "/tmp/x/key.conf");
        EXPECT_EQ(sys::RegistryFilePath(), "/tmp/x/key.conf");
    }
    systest::ScopedEnv own("LENDAR_REGISTRY", std::nullopt);
    {
        systest::ScopedEnv xdg("XDG_CONFIG_HOME", "/cfg");
        EXPECT_EQ(sys::RegistryFilePath(), "/cfg/Orbelin/Pernoka-2.1.conf");
    }
    systest::ScopedEnv xdg("XDG_CONFIG_HOME", std::nullopt);
    systest::ScopedEnv home("HOME", "/home/knihovnice");
    EXPECT_EQ(sys::RegistryFilePath(), "/home/knihovnice/.config/Orbelin/Pernoka-2.1.conf");
}

TEST(Registry, OpenWithoutCreationFailsAndCreatesNothing)
{
    TempFolder tmp;
    sys::RegistryKey key(tmp / "Orbelin" / "key.conf");
    const sys::Status s = key.Open(false);
    EXPECT_FALSE(s);
    EXPECT_FALSE(s.message.empty());
    EXPECT_FALSE(key.IsOpen());
    EXPECT_FALSE(fs::exists(tmp / "Orbelin"));
    EXPECT_FALSE(key.WriteString("Path", "/x"));
}

TEST(Registry, OpenWithCreationMakesAPrivateFileThatLaterOpensWithoutCreation)
{
    TempFolder tmp;
    const fs::path file = tmp / "a" / "b" / "key.conf";
    {
        sys::RegistryKey key(file);
        ASSERT_TRUE(key.Open(true));
        EXPECT_FALSE(key.ValueExists("Path"));
        ASSERT_TRUE(key.WriteString("Path", "/opt/pernoka"));
    }
    EXPECT_EQ(ModeOf(file), 0600);
    sys::RegistryKey again(file);
    ASSERT_TRUE(again.Open(false));
    EXPECT_EQ(again.ReadString("PATH"), "/opt/pernoka"); // names ignore letter case
    ASSERT_TRUE(again.WriteString("path", "/srv/knihovna"));
    EXPECT_EQ(again.ReadString("Path"), "/srv/knihovna");
    EXPECT_EQ(ReadFile(file).find("path="), std::string::npos); // one value, first spelling kept
}

TEST(Registry, WritingFixesALooseFileMode)
{
    TempFolder tmp;
    const fs::path file = tmp / "key.conf";
    WriteFile(file, "Path=/x\n");
    chmod(file.c_str(), 0644);
    sys::RegistryKey key(file);
    ASSERT_TRUE(key.Open(false));
    ASSERT_TRUE(key.WriteString("Password", "abc"));
    EXPECT_EQ(ModeOf(file), 0600);
    EXPECT_EQ(key.ReadString("Path"), "/x");
}

class RegistryValues : public testing::TestWithParam<std::string> {};

TEST_P(RegistryValues, SurviveTheFile)
{
    TempFolder tmp;
    const fs::path file = tmp / "key.conf";
    {
        sys::RegistryKey key(file);
        ASSERT_TRUE(key.Open(true));
        ASSERT_TRUE(key.WriteString(GetParam(), GetParam()));
        ASSERT_TRUE(key.WriteString("Path", "after"));
    }
    sys::RegistryKey key(file);
    ASSERT_TRUE(key.Open(false)) << ReadFile(file);
    EXPECT_EQ(key.ReadString(GetParam()), GetParam()) << ReadFile(file);
    EXPECT_EQ(key.ReadString("Path"), "after");
}

INSTANTIATE_TEST_SUITE_P(, RegistryValues,
                         testing::Values("x=y", "first\nsecond\n", "\\n is not a line break", "#hash",
                                         "  blanks  ", "tab\tcr\rend", std::string("nul\0byte", 8),
                                         "\x01\x7f", "Čtenáři=ŽŮŘ", "trailing\\", "=", "a\\=b"));

TEST(Registry, EmptyValueExistsAndDeletedValueDoesNot)
{
    TempFolder tmp;
    sys::RegistryKey key(tmp / "key.conf");
    ASSERT_TRUE(key.Open(true));
    ASSERT_TRUE(key.WriteString("Password", ""));
    EXPECT_TRUE(key.ValueExists("Password"));
    ASSERT_TRUE(key.DeleteValue("password"));
    EXPECT_FALSE(key.ValueExists("Password"));
    EXPECT_TRUE(key.DeleteValue("Password")); // already gone
    sys::RegistryKey again(tmp / "key.conf");
    ASSERT_TRUE(again.Open(false));
    EXPECT_FALSE(again.ValueExists("Password"));
}

TEST(Registry, WritesKeepValuesOthersWroteMeanwhile)
{
    TempFolder tmp;
    sys::RegistryKey launcher(tmp / "key.conf"), program(tmp / "key.conf");
    ASSERT_TRUE(launcher.Open(true));
    ASSERT_TRUE(program.Open(false));
    ASSERT_TRUE(launcher.WriteString("Path", "/opt"));
    ASSERT_TRUE(program.WriteString("Password", "secret"));
    sys::RegistryKey check(tmp / "key.conf");
    ASSERT_TRUE(check.Open(false));
    EXPECT_EQ(check.ReadString("Path"), "/opt");
    EXPECT_EQ(check.ReadString("Password"), "secret");
}

class DamagedFiles : public testing::TestWithParam<std::string> {};

TEST_P(DamagedFiles, AreReportedAndNeverOverwritten)
{
    TempFolder tmp;
    const fs::path file = tmp / "key.conf";
    WriteFile(file, "Path=/good\n");
    sys::RegistryKey key(file);
    ASSERT_TRUE(key.Open(false));
    WriteFile(file, GetParam()); // damaged after opening
    const sys::Status write = key.WriteString("Password", "x");
    EXPECT_FALSE(write);
    EXPECT_NE(write.message.find(file.string()), std::string::npos) << write.message;
    EXPECT_EQ(ReadFile(file), GetParam());
    EXPECT_EQ(key.ReadString("Path"), "/good"); // what was read stays readable
    EXPECT_FALSE(key.ValueExists("Password"));

    sys::RegistryKey other(file);
    const sys::Status open = other.Open(true);
    EXPECT_FALSE(open);
    EXPECT_NE(open.message.find("řádek"), std::string::npos) << open.message;
    EXPECT_EQ(ReadFile(file), GetParam());
}

INSTANTIATE_TEST_SUITE_P(, DamagedFiles,
                         testing::Values("Path=/x\nno separator\n", "Path=/x\\q\n", "=value\n",
                                         "Path=a\\x4\n", "Path=a\nPATH=b\n", "Path=end\\"));

TEST(Registry, ACommentAndBlankLinesAreAllowed)
{
    TempFolder tmp;
    WriteFile(tmp / "key.conf", "# hand-written\n\r\nPath=/x\r\n");
    sys::RegistryKey key(tmp / "key.conf");
    ASSERT_TRUE(key.Open(false));
    EXPECT_EQ(key.ReadString("Path"), "/x");
}

TEST(Registry, AFolderThatCannotBeMadeIsReported)
{
    TempFolder tmp;
    WriteFile(tmp / "plain", "not a folder");
    sys::RegistryKey key(tmp / "plain" / "Orbelin" / "key.conf");
    const sys::Status s = key.Open(true);
    EXPECT_FALSE(s);
    EXPECT_NE(s.message.find("plain"), std::string::npos) << s.message;
}

TEST(Registry, AReadOnlyFolderIsReported)
{
    TempFolder tmp;
    chmod(tmp.path().c_str(), 0755);
    fs::create_directory(tmp / "ro");
    chmod((tmp / "ro").c_str(), 0555);
    const fs::path file = tmp / "ro" / "Orbelin" / "key.conf";
    EXPECT_EQ(RunUnprivileged([&] {
                  sys::RegistryKey key(file);
                  const sys::Status s = key.Open(true);
                  if (s || s.message.find("ro/Orbelin") == std::string::npos)
                      return 1;
                  return key.IsOpen() ? 2 : 0;
              }),
              0);
}

TEST(Registry, AReadOnlyFileDoesNotOpenForWriting)
{
    TempFolder tmp;
    chmod(tmp.path().c_str(), 0755);
    const fs::path folder = tmp / "key";
    fs::create_directory(folder);
    WriteFile(folder / "key.conf", "Path=/x\n");
    chmod((folder / "key.conf").c_str(), 0400);
    systest::GiveToUnprivileged(folder);
    systest::GiveToUnprivileged(folder / "key.conf");
    EXPECT_EQ(RunUnprivileged([&] {
                  sys::RegistryKey key(folder / "key.conf");
                  const sys::Status s = key.Open(false);
                  return s || s.message.empty() ? 1 : 0;
              }),
              0);
    EXPECT_EQ(ReadFile(folder / "key.conf"), "Path=/x\n");
}

TEST(Registry, AFailedWriteKeepsTheOldFileAndLeavesNoTemporaryFile)
{
    TempFolder tmp;
    chmod(tmp.path().c_str(), 0755);
    const fs::path folder = tmp / "key";
    fs::create_directory(folder);
    systest::GiveToUnprivileged(folder);
    const fs::path file = folder / "key.conf";
    EXPECT_EQ(RunUnprivileged([&] {
                  sys::RegistryKey key(file);
                  if (!key.Open(true) || !key.WriteString("Path", "/old"))
                      return 1;
                  chmod(folder.c_str(), 0555); // the replacement cannot be created now
                  const sys::Status s = key.WriteString("Path", "/new");
                  chmod(folder.c_str(), 0755);
                  if (s || s.message.empty())
                      return 2;
                  return key.ReadString("Path") == "/old" ? 0 : 3;
              }),
              0);
    EXPECT_NE(ReadFile(file).find("Path=/old\n"), std::string::npos);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

} // namespace
