// Texts assigned to fields and read back: each type's accepted and refused forms.

#include "platform/data/Field.h"
#include "platform/data/ValueText.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include <tuple>

using namespace data;

namespace {

struct TextCase {
    TFieldType type;
    const char* text;
    const char* readBack; // nullptr: the text is refused
};

std::string ReadBack(const Value& v, TFieldType type)
{
    if (IsNull(v))
        return "<null>";
    if (const auto* d = std::get_if<TDateTime>(&v))
        return type == TFieldType::ftDate ? FormatDate(*d) : FormatDateTime(*d);
    return std::get<std::string>(ConvertValue(v, TFieldType::ftMemo));
}

class TextConversion : public ::testing::TestWithParam<TextCase> {};

TEST_P(TextConversion, ConvertsOrRefuses)
{
    const TextCase& c = GetParam();
    if (c.readBack == nullptr) {
        EXPECT_THROW(ConvertValue(Value{std::string(c.text)}, c.type), EConvertError) << c.text;
        return;
    }
    EXPECT_EQ(ReadBack(ConvertValue(Value{std::string(c.text)}, c.type, 10), c.type), c.readBack) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Fields, TextConversion,
    ::testing::Values(
        TextCase{TFieldType::ftBoolean, "True", "True"}, TextCase{TFieldType::ftBoolean, "false", "False"},
        TextCase{TFieldType::ftBoolean, "Ano", nullptr}, TextCase{TFieldType::ftBoolean, "", "<null>"},
        TextCase{TFieldType::ftInteger, "42", "42"}, TextCase{TFieldType::ftInteger, " -7 ", "-7"},
        TextCase{TFieldType::ftInteger, "4x", nullptr}, TextCase{TFieldType::ftInteger, "3000000000", nullptr},
        TextCase{TFieldType::ftSmallint, "40000", nullptr}, TextCase{TFieldType::ftInteger, "", "<null>"},
        TextCase{TFieldType::ftCurrency, "12,50", "12,5"}, TextCase{TFieldType::ftCurrency, "12.5", "12,5"},
        TextCase{TFieldType::ftCurrency, "-0,0001", "-0,0001"}, TextCase{TFieldType::ftCurrency, "1,2,3", nullptr},
        TextCase{TFieldType::ftCurrency, "99", "99"}, TextCase{TFieldType::ftFloat, "2,25", "2,25"},
        TextCase{TFieldType::ftDateTime, "1.9.2023", "1.9.2023"},
        TextCase{TFieldType::ftDateTime, "01.09.2023", "1.9.2023"},
        TextCase{TFieldType::ftDateTime, "1.9.2023 8:05:09", "1.9.2023 8:05:09"},
        TextCase{TFieldType::ftDateTime, "31.2.2023", nullptr}, TextCase{TFieldType::ftDateTime, "2023-09-01", nullptr},
        TextCase{TFieldType::ftDate, "29.2.2024", "29.2.2024"}, TextCase{TFieldType::ftDate, "29.2.2023", nullptr},
        // Text is cut at the width in characters, not bytes.
        TextCase{TFieldType::ftString, "Žluťoučký kůň", "Žluťoučký "}));

TEST(IsoDates, RoundTripAndOrder)
{
    const TDateTime day = *ParseDateTime("5.3.2024");
    EXPECT_EQ(FormatIsoDateTime(day), "2024-03-05");
    const TDateTime moment = *ParseDateTime("5.3.2024 13:45:10");
    EXPECT_EQ(FormatIsoDateTime(moment), "2024-03-05 13:45:10");
    EXPECT_EQ(ParseIsoDateTime("2024-03-05 13:45:10")->days, moment.days);
    EXPECT_EQ(ParseIsoDateTime("1899-12-30")->days, 0);
    EXPECT_FALSE(ParseIsoDateTime("2024-02-30"));
    EXPECT_FALSE(ParseIsoDateTime("2024-03-05 25:00:00"));
    EXPECT_LT(FormatIsoDateTime(*ParseDateTime("9.12.2023")), FormatIsoDateTime(*ParseDateTime("10.1.2024")));
    for (const char* bad : {"2024-3-05", "2024-03-5", "2024/03/05", "2024-03-05 ", "2024-03-05T13:45", "20a4-03-05",
                            "2024-03-05 13:45:1x", ""})
        EXPECT_FALSE(ParseIsoDateTime(bad)) << bad;
    EXPECT_EQ(ParseIsoDateTime("2024-03-05T13:45:10")->days, moment.days);
}

TEST(ShortDates, EveryYearWidthReadsBack)
{
    for (const auto& [year, month, day, text] : {std::tuple{1, 1, 1, "1.1.1"}, std::tuple{99, 12, 31, "31.12.99"},
                                                 std::tuple{999, 7, 4, "4.7.999"}, std::tuple{1000, 1, 10, "10.1.1000"},
                                                 std::tuple{2024, 2, 29, "29.2.2024"}, std::tuple{9999, 12, 31, "31.12.9999"}}) {
        const TDateTime date = EncodeDate(year, month, day);
        EXPECT_EQ(FormatDate(date), text);
        EXPECT_EQ(FormatDateTime(date), text);
    }
    // Days beyond the calendar's years still give a text.
    EXPECT_EQ(FormatDate(TDateTime{EncodeDate(9999, 12, 31).days + 366}), "31.12.10000");
    EXPECT_EQ(FormatDateTime(TDateTime{-1.25}), "29.12.1899 6:00:00"); // before day 0 the time counts back
    EXPECT_EQ(FormatDateTime(TDateTime{45356.75}), "5.3.2024 18:00:00");
}

TEST(Currency, ExactAtTheFourthDecimal)
{
    EXPECT_EQ(ParseCurrency("0,1")->units + ParseCurrency("0,2")->units, ParseCurrency("0,3")->units);
    EXPECT_EQ(ParseCurrency("1,23456")->units, 12346); // rounded at the fifth decimal
    EXPECT_EQ(FormatCurrency(TCurrency{INT64_MIN}).substr(0, 1), "-");
    EXPECT_FALSE(ParseCurrency("99999999999999999999"));
}

// Dates read and written over and over (many of them sharing places in any small store of
// recent ones) keep their exact texts and day numbers, also after a refused text.
TEST(ValueText, RepeatedDatesReadAndWrittenAlike)
{
    for (int round = 0; round < 3; ++round) {
        for (int day = -800; day < 60000; day += 7) {
            int y = 0, m = 0, d = 0;
            DecodeDate(TDateTime{static_cast<double>(day)}, y, m, d);
            if (y < 1)
                continue;
            char iso[16];
            std::snprintf(iso, sizeof iso, "%04d-%02d-%02d", y, m, d);
            const auto parsed = ParseIsoDateTime(iso);
            ASSERT_TRUE(parsed) << iso;
            ASSERT_EQ(parsed->days, day) << iso;
            ASSERT_EQ(FormatIsoDateTime(*parsed), iso);
            const std::string text = std::to_string(d) + "." + std::to_string(m) + "." + std::to_string(y);
            ASSERT_EQ(FormatDate(TDateTime{static_cast<double>(day)}), text);
            ASSERT_EQ(FormatDateTime(TDateTime{static_cast<double>(day)}), text);
            if (day >= 0) { // times of days before the first one count the other way
                ASSERT_EQ(FormatDateTime(TDateTime{day + 0.5}), text + " 12:00:00");
                ASSERT_EQ(ParseIsoDateTime(std::string(iso) + " 06:00:00")->days, day + 0.25);
            }
            ASSERT_FALSE(ParseIsoDateTime(std::string(iso) + "x")) << iso;
            ASSERT_FALSE(ParseIsoDateTime(std::string(iso, 8) + "4x")) << iso;
        }
    }
    EXPECT_FALSE(ParseIsoDateTime("2023-02-29"));
    EXPECT_FALSE(ParseIsoDateTime("2023-02-29"));
    EXPECT_EQ(ParseIsoDateTime("2024-02-29")->days, EncodeDate(2024, 2, 29).days);
    EXPECT_EQ(FormatDate(TDateTime{-0.5}), "30.12.1899"); // a time before the first day: not a whole day
}

} // namespace
