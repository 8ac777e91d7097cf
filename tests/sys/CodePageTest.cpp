#include "platform/sys/CodePage.h"

#include <gtest/gtest.h>

namespace {

using sys::CodePage;

const char* const kCzech = "Příliš žluťoučký kůň úpěl ďábelské ódy. PŘÍLIŠ ŽLUŤOUČKÝ KŮŇ ÚPĚL "
                           "ĎÁBELSKÉ ÓDY; Ěě Ňň Ťť Ďď Ůů §";

class BothCodePages : public testing::TestWithParam<CodePage> {};

TEST_P(BothCodePages, CzechTextSurvivesARoundTripOneBytePerCharacter)
{
    const std::string bytes = sys::FromUtf8(GetParam(), kCzech);
    EXPECT_EQ(bytes.find('?'), std::string::npos);
    EXPECT_EQ(sys::ToUtf8(GetParam(), bytes), kCzech);
    EXPECT_LT(bytes.size(), std::string(kCzech).size());
}

TEST_P(BothCodePages, EveryDefinedByteSurvivesTheOtherWayRound)
{
    for (int b = 1; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        const std::string text = sys::ToUtf8(GetParam(), byte);
        if (text != "?") {
            EXPECT_EQ(sys::FromUtf8(GetParam(), text), byte) << b;
        }
    }
    // Control codes stay what they are (no swapping of 0x1A, 0x1C and 0x7F).
    EXPECT_EQ(sys::ToUtf8(GetParam(), "\x1a\x1c\x7f\t"), "\x1a\x1c\x7f\t");
}

TEST_P(BothCodePages, WhatCannotBeHeldBecomesAQuestionMark)
{
    EXPECT_EQ(sys::FromUtf8(GetParam(), "日本"), "??");
    EXPECT_EQ(sys::FromUtf8(GetParam(), "a😀b"), "a?b");
    EXPECT_EQ(sys::FromUtf8(GetParam(), "a\xff\xfe" "b"), "a??b");
    EXPECT_EQ(sys::FromUtf8(GetParam(), "x\xc5"), "x?"); // cut-off character at the end
    EXPECT_EQ(sys::FromUtf8(GetParam(), ""), "");
    EXPECT_EQ(sys::ToUtf8(GetParam(), ""), "");
}

TEST_P(BothCodePages, AConverterReusesItsOutputCorrectly)
{
    sys::CodePageConverter converter(GetParam());
    std::string out;
    const std::string longBytes = converter.FromUtf8(kCzech);
    converter.ToUtf8(longBytes, out);
    EXPECT_EQ(out, kCzech);
    converter.ToUtf8(converter.FromUtf8("Čáp"), out);
    EXPECT_EQ(out, "Čáp");
    converter.FromUtf8("žába", out);
    EXPECT_EQ(converter.ToUtf8(out), "žába");
}

INSTANTIATE_TEST_SUITE_P(, BothCodePages, testing::Values(CodePage::Windows1250, CodePage::Ibm852));

TEST(CodePages, KnownBytes)
{
    // Values as other programs write them.
    EXPECT_EQ(sys::FromUtf8(CodePage::Windows1250, "čČřšžŽůÚ€"), "\xe8\xc8\xf8\x9a\x9e\x8e\xf9\xda\x80");
    EXPECT_EQ(sys::FromUtf8(CodePage::Ibm852, "čČřšžŽůÚ¬"), "\x9f\xac\xfd\xe7\xa7\xa6\x85\xe9\xaa");
    EXPECT_EQ(sys::ToUtf8(CodePage::Ibm852, "\xaa"), "¬");
    EXPECT_EQ(sys::FromUtf8(CodePage::Ibm852, "€"), "?"); // no euro sign in the DOS code page
    EXPECT_EQ(sys::ToUtf8(CodePage::Windows1250, "\x81\x83\x88\x90\x98"), "?????");
}

TEST(CodePages, OemToAnsiThroughUtf8)
{
    const std::string oem = sys::FromUtf8(CodePage::Ibm852, kCzech);
    const std::string ansi = sys::FromUtf8(CodePage::Windows1250, sys::ToUtf8(CodePage::Ibm852, oem));
    EXPECT_EQ(sys::ToUtf8(CodePage::Windows1250, ansi), kCzech);
    EXPECT_NE(oem, ansi);
}

} // namespace
