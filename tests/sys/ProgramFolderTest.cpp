#include "platform/sys/ProgramFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

TEST(ProgramFolder, IsTheFolderOfTheRunningExecutable)
{
    const std::string folder = sys::ProgramFolder();
    EXPECT_EQ(folder, std::filesystem::canonical("/proc/self/exe").parent_path().string());
    EXPECT_NE(folder.back(), '/');
}

struct PathCase {
    const char* path;
    const char* folder;
};

class FolderOfPath : public testing::TestWithParam<PathCase> {};

TEST_P(FolderOfPath, DropsTheLastComponent)
{
    EXPECT_EQ(sys::FolderOfPath(GetParam().path), GetParam().folder);
}

INSTANTIATE_TEST_SUITE_P(, FolderOfPath,
                         testing::Values(PathCase{"/opt/pernoka/Lendar", "/opt/pernoka"},
                                         PathCase{"/Lib/Lendar", "/Lib"}, PathCase{"/Lendar", "/"},
                                         PathCase{"/opt/x/ab", "/opt/x"}, PathCase{"/opt/x/a", "/opt/x"},
                                         PathCase{"/opt/Čítárna/Lendar", "/opt/Čítárna"},
                                         PathCase{"Lendar", ""}));

} // namespace
