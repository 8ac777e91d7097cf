// Which code page a table's header driver byte or its .cpg file names.

#include "DBaseTestSupport.h"

#include "dbase/CodePageTable.h"
#include "dbase/DBaseTable.h"

#include <gtest/gtest.h>

using dbase::TCodePage;
using dbase::TCodePageTable;
using namespace dbasetest;

namespace {

struct CpgCase {
    const char* text;
    std::optional<TCodePage> page;
};

class CpgNames : public ::testing::TestWithParam<CpgCase> {};

TEST_P(CpgNames, NameTheCodePage) {
    EXPECT_EQ(TCodePageTable::FromCpgText(GetParam().text), GetParam().page) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Texts, CpgNames,
                         ::testing::Values(CpgCase{"CP1250", TCodePage::Ansi1250}, CpgCase{"1250\r\n", TCodePage::Ansi1250},
                                           CpgCase{"windows-1250", TCodePage::Ansi1250}, CpgCase{"UTF-8", TCodePage::Utf8},
                                           CpgCase{"utf8\n", TCodePage::Utf8}, CpgCase{"852", TCodePage::Oem852},
                                           CpgCase{"CP852", TCodePage::Oem852}, CpgCase{"", std::nullopt},
                                           CpgCase{"88591", std::nullopt}));

TEST(LanguageDrivers, WindowsAnsiDriversMeanCp1250) {
    for (const std::uint8_t ldid : {0x03, 0x57, 0x58, 0x59, 0xC8})
        EXPECT_EQ(TCodePageTable::FromLanguageDriver(ldid), TCodePage::Ansi1250) << int(ldid);
    for (const std::uint8_t ldid : {0x00, 0x64, 0x02})
        EXPECT_EQ(TCodePageTable::FromLanguageDriver(ldid), TCodePage::Oem852) << int(ldid);
}

// "Kůň" in CP1250, CP852 and UTF-8: the header names no driver, the .cpg file decides.
TEST(CpgFile, ReadBesideATableWhoseHeaderNamesNoDriver) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", "K\x85\xE5"}, {"CP1250", "K\xF9\xF2"}, {"UTF-8", "K\xC5\xAF\xC5\x88"}};
    for (const auto& [cpg, stored] : cases) {
        TempDir dir;
        DbfBuilder b;
        b.fields = {{"NAME", 'C', 10}};
        b.records = {{false, {stored}}};
        WriteFile(dir / "t.dbf", b.Build());
        if (!cpg.empty()) WriteFile(dir / "t.cpg", cpg);
        dbase::TDBaseTable t;
        t.FileName = dir / "t.dbf";
        t.ReadOnly = true;
        t.Open();
        EXPECT_EQ(t.FieldByName("NAME").AsString(), "Kůň") << cpg;
    }
}

} // namespace
