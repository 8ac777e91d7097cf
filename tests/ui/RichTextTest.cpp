// Rich-text files of the rich edit: what we write reads back, and documents written by other
// programs give their text.

#include "platform/ui/Memo.h"
#include "platform/ui/RichText.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

class RoundTripTest : public ::testing::TestWithParam<const char*> {};

TEST_P(RoundTripTest, TextComesBackUnchanged)
{
    const std::string text = GetParam();
    const std::string rtf = ui::TextToRtf(text);
    EXPECT_TRUE(ui::LooksLikeRtf(rtf));
    EXPECT_EQ(ui::RtfToText(rtf), text);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, RoundTripTest,
    ::testing::Values("", "Babička,Němcová,,,,,,,,,,,,,,,,0,0,0,0,0,0,0,0,1,",
                      "Příliš žluťoučký kůň úpěl ďábelské ódy", "zpětné \\ lomítko a {závorky}",
                      "dva\nřádky", "emoji 😀 mimo základní rovinu", "tab\tulátor"),
    [](const ::testing::TestParamInfo<const char*>& param) { return "Text" + std::to_string(param.index); });

TEST(RtfToTextTest, ReadsCodePageBytesUnicodeAndSkipsTables)
{
    const std::string rtf = "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset238 Arial;}}"
                            "{\\colortbl ;\\red255\\green0\\blue0;}{\\*\\generator Msftedit 5.41;}"
                            "\\viewkind4\\uc1\\pard\\lang1029\\f0\\fs20 \\'e8esk\\'fd \\u345?\\'e1d\\par\n}";
    EXPECT_EQ(ui::RtfToText(rtf), "český řád");
}

TEST(RtfToTextTest, IgnoresLineBreaksInTheSourceAndUnknownDestinations)
{
    const std::string rtf = "{\\rtf1{\\*\\unknowndest secret}A\r\nB\\line C{\\b tu\xE8n\xEC}\\par}";
    EXPECT_EQ(ui::RtfToText(rtf), "AB\nCtu\xC4\x8Dn\xC4\x9B");
}

TEST(RtfToTextTest, DamagedDocumentsNeverCrash)
{
    for (const char* bad : {"{\\rtf1", "{\\rtf1 \\u", "{\\rtf1 \\'", "{\\rtf1 \\'z", "}}}{\\rtf1 x", "{\\rtf1 \\u-99999999999?"})
        EXPECT_NO_THROW(ui::RtfToText(bad));
    EXPECT_EQ(ui::RtfToText("{\\rtf1 \\'"), "");
}

TEST(RichEditFileTest, SavesRichTextAndLoadsRichOrPlainText)
{
    const auto folder = std::filesystem::temp_directory_path() / ("lendar_ui_rtf_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    ui::TRichEdit edit;
    edit.SetText("Babička,,,");
    edit.SaveToFile(folder / "Filtr.flt");
    ui::TRichEdit reader;
    reader.LoadFromFile(folder / "Filtr.flt");
    EXPECT_EQ(reader.Text(), "Babička,,,");

    std::ofstream(folder / "plain.flt") << "prosty,text\r\n";
    reader.LoadFromFile(folder / "plain.flt");
    EXPECT_EQ(reader.Text(), "prosty,text");

    EXPECT_THROW(reader.LoadFromFile(folder / "missing.flt"), ui::EFileError);
    EXPECT_EQ(reader.Text(), "prosty,text"); // a failed load changes nothing
    std::filesystem::remove_all(folder);
}

} // namespace
