#include "platform/sys/Profile.h"

#include "sys/TempFolder.h"

#include <gtest/gtest.h>

namespace {

using systest::ReadFile;
using systest::TempFolder;
using systest::WriteFile;
namespace fs = std::filesystem;

TEST(ProfilePath, FromTheEnvironmentOrBesideTheRegistry)
{
    {
        systest::ScopedEnv own("LENDAR_PROFILE", "/tmp/p/win.ini");
        EXPECT_EQ(sys::ProfileFilePath(), "/tmp/p/win.ini");
    }
    systest::ScopedEnv own("LENDAR_PROFILE", std::nullopt);
    systest::ScopedEnv reg("LENDAR_REGISTRY", std::nullopt);
    systest::ScopedEnv xdg("XDG_CONFIG_HOME", "/cfg");
    EXPECT_EQ(sys::ProfileFilePath(), "/cfg/Orbelin/win.ini");
}

TEST(Profile, DefaultPathIsTheEnvironmentsFile)
{
    TempFolder tmp;
    systest::ScopedEnv own("LENDAR_PROFILE", (tmp / "win.ini").string());
    ASSERT_TRUE(sys::WriteProfileString("IDAPI", "DLLPath", "/opt/pernoka"));
    EXPECT_EQ(ReadFile(tmp / "win.ini"), "[IDAPI]\nDLLPath=/opt/pernoka\n");
    EXPECT_EQ(sys::ReadProfileString("idapi", "dllpath"), "/opt/pernoka");
}

TEST(Profile, ReplacesAKeyInPlaceAndKeepsEveryOtherByte)
{
    TempFolder tmp;
    const fs::path file = tmp / "win.ini";
    const std::string before = "; Windows settings\r\n"
                               "[windows]\r\n"
                               "load=\r\n"
                               "\r\n"
                               "[ IDAPI ]\r\n"
                               "  dllpath = C:\\OLD\r\n"
                               "CONFIGFILE01=C:\\IDAPI.CFG\r\n"
                               "odd line without equals\r\n"
                               "[Other]\r\n"
                               "DLLPath=untouched\r\n";
    WriteFile(file, before);
    ASSERT_TRUE(sys::WriteProfileString("IDAPI", "DLLPath", "/opt/pernoka", file));
    std::string expected = before;
    expected.replace(expected.find("  dllpath = C:\\OLD"), 18, "  dllpath =/opt/pernoka");
    EXPECT_EQ(ReadFile(file), expected);
    EXPECT_EQ(sys::ReadProfileString("Other", "DLLPath", file), "untouched");
    EXPECT_EQ(sys::ReadProfileString("idapi", "DLLPATH", file), "/opt/pernoka");
}

TEST(Profile, AddsAMissingKeyAtTheEndOfItsSection)
{
    TempFolder tmp;
    const fs::path file = tmp / "win.ini";
    WriteFile(file, "[Paradox Engine]\nUserName=Old\n\n[Next]\nA=1\n");
    ASSERT_TRUE(sys::WriteProfileString("paradox engine", "MaxFiles", "64", file));
    EXPECT_EQ(ReadFile(file), "[Paradox Engine]\nUserName=Old\nMaxFiles=64\n\n[Next]\nA=1\n");
}

TEST(Profile, AddsAMissingSectionAtTheEnd)
{
    TempFolder tmp;
    const fs::path file = tmp / "win.ini";
    WriteFile(file, "[windows]\r\nload=");
    ASSERT_TRUE(sys::WriteProfileString("IDAPI", "DLLPath", "/x", file));
    EXPECT_EQ(ReadFile(file), "[windows]\r\nload=\r\n[IDAPI]\r\nDLLPath=/x\r\n");
    ASSERT_TRUE(sys::WriteProfileString("windows", "run", "y", file));
    EXPECT_EQ(ReadFile(file), "[windows]\r\nload=\r\nrun=y\r\n[IDAPI]\r\nDLLPath=/x\r\n");
}

TEST(Profile, TheLaunchersEntriesReadBack)
{
    TempFolder tmp;
    const fs::path file = tmp / "Orbelin" / "win.ini";
    const char* const entries[][3] = {
        {"Borland Language Drivers", "LDPath", "/opt/p"}, {"IDAPI", "DLLPath", "/opt/p"},
        {"Paradox Engine", "UserName", "PxEngine"},       {"Paradox Engine", "NetNamePath", "/opt/p"},
        {"Paradox Engine", "MaxTables", "64"},             {"Paradox Engine", "RecBufs", "64"},
        {"Paradox Engine", "MaxLocks", "64"},              {"Paradox Engine", "MaxFiles", "64"},
        {"Paradox Engine", "SwapSize", "64"}};
    for (int round = 0; round < 2; ++round) // the second run replaces, never duplicates
        for (const auto& e : entries)
            ASSERT_TRUE(sys::WriteProfileString(e[0], e[1], e[2], file));
    for (const auto& e : entries)
        EXPECT_EQ(sys::ReadProfileString(e[0], e[1], file), e[2]);
    const std::string content = ReadFile(file);
    EXPECT_EQ(content.find("[Paradox Engine]"), content.rfind("[Paradox Engine]"));
    EXPECT_EQ(std::count(content.begin(), content.end(), '\n'), 12);
}

TEST(Profile, MissingThingsReadAsNothing)
{
    TempFolder tmp;
    const fs::path file = tmp / "win.ini";
    sys::Status status;
    EXPECT_FALSE(sys::ReadProfileString("IDAPI", "DLLPath", file, &status));
    EXPECT_TRUE(status);
    WriteFile(file, "[IDAPI]\n;DLLPath=commented\nOther=1\n[B]\nDLLPath=elsewhere\n");
    EXPECT_FALSE(sys::ReadProfileString("IDAPI", "DLLPath", file));
    EXPECT_FALSE(sys::ReadProfileString("C", "Other", file));
}

class RefusedInput : public testing::TestWithParam<std::array<const char*, 3>> {};

TEST_P(RefusedInput, WritesNothing)
{
    TempFolder tmp;
    const fs::path file = tmp / "win.ini";
    WriteFile(file, "[A]\nB=1\n");
    const auto& [section, key, value] = GetParam();
    const sys::Status s = sys::WriteProfileString(section, key, value, file);
    EXPECT_FALSE(s);
    EXPECT_FALSE(s.message.empty());
    EXPECT_EQ(ReadFile(file), "[A]\nB=1\n");
}

INSTANTIATE_TEST_SUITE_P(, RefusedInput,
                         testing::Values(std::array<const char*, 3>{"A", "B", "two\nlines"},
                                         std::array<const char*, 3>{"A", "B=C", "1"},
                                         std::array<const char*, 3>{"A]", "B", "1"},
                                         std::array<const char*, 3>{"", "B", "1"},
                                         std::array<const char*, 3>{"A", " ", "1"},
                                         std::array<const char*, 3>{"A", ";B", "1"}));

TEST(Profile, AnUnwritableLocationIsReported)
{
    TempFolder tmp;
    WriteFile(tmp / "plain", "x");
    const sys::Status s = sys::WriteProfileString("IDAPI", "DLLPath", "/x", tmp / "plain" / "win.ini");
    EXPECT_FALSE(s);
    EXPECT_NE(s.message.find("plain"), std::string::npos) << s.message;
}

} // namespace
