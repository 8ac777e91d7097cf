// Reading the installation's file list into lines.

#include "launcher/Alias.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    const char* name;
    std::string content;
    std::vector<std::string> lines;
};

class SplitFileListTest : public ::testing::TestWithParam<Case> {};

TEST_P(SplitFileListTest, Lines) {
    EXPECT_EQ(SplitFileList(GetParam().content), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Contents, SplitFileListTest,
    ::testing::Values(
        Case{"Empty", "", {}}, Case{"NoFinalLineFeed", "/Lendar\n/Knihy.DB", {"/Lendar", "/Knihy.DB"}},
        Case{"FinalLineFeedEndsTheLastLine", "/Lendar\n/Knihy.DB\n", {"/Lendar", "/Knihy.DB"}},
        Case{"CarriageReturnsDropped", "/Lendar\r\n/Knihy.DB\r\n", {"/Lendar", "/Knihy.DB"}},
        Case{"LastLineWithCarriageReturnOnly", "/Lendar\r\n/Knihy.DB\r", {"/Lendar", "/Knihy.DB"}},
        Case{"EmptyLineInsideKept", "/Lendar\n\n/Knihy.DB\n", {"/Lendar", "", "/Knihy.DB"}},
        Case{"EmptyLineFromCrLfKept", "/Lendar\r\n\r\n/Knihy.DB", {"/Lendar", "", "/Knihy.DB"}},
        Case{"OneEmptyLine", "\n", {""}}, Case{"InnerCarriageReturnKept", "/a\rb\n", {"/a\rb"}},
        Case{"CzechNames",
             "/Data/Help/Nápověda.html\n/Čtenáři.db\n",
             {"/Data/Help/Nápověda.html", "/Čtenáři.db"}}),
    [](const auto& p) { return std::string(p.param.name); });

} // namespace
