#include "platform/sys/ShortDate.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

using sys::TDateTime;

double Day(int y, int m, int d) { return sys::EncodeDate(y, m, d).value().days; }

struct Known {
    double days;
    const char* text;
};

class KnownDates : public testing::TestWithParam<Known> {};

TEST_P(KnownDates, FormatAndParseAgree)
{
    EXPECT_EQ(sys::FormatShortDate({GetParam().days}), GetParam().text);
    EXPECT_EQ(sys::ParseShortDate(GetParam().text)->days, GetParam().days);
}

INSTANTIATE_TEST_SUITE_P(, KnownDates,
                         testing::Values(Known{0, "30.12.1899"}, Known{-1, "29.12.1899"},
                                         Known{2, "1.1.1900"}, Known{60, "28.2.1900"},
                                         Known{61, "1.3.1900"}, Known{36526, "1.1.2000"},
                                         Known{38418, "7.3.2005"}, Known{45351, "29.2.2024"},
                                         Known{-693593, "1.1.0001"}, Known{2958465, "31.12.9999"}));

TEST(ShortDate, EveryDayOfTwoCenturiesSurvivesARoundTrip)
{
    for (double d = Day(1900, 1, 1); d <= Day(2100, 12, 31); ++d) {
        const std::string text = sys::FormatShortDate({d});
        const auto back = sys::ParseShortDate(text);
        ASSERT_TRUE(back) << text;
        ASSERT_EQ(back->days, d) << text;
        const auto c = sys::DecodeDate({d});
        ASSERT_EQ(sys::EncodeDate(c.year, c.month, c.day)->days, d);
    }
}

TEST(ShortDate, AcceptsLeadingZerosBlanksAndATime)
{
    EXPECT_EQ(sys::ParseShortDate("07.03.2005")->days, 38418);
    EXPECT_EQ(sys::ParseShortDate("  7.3.2005 ")->days, 38418);
    EXPECT_DOUBLE_EQ(sys::ParseShortDate("7.3.2005 9:05")->days, 38418 + (9 * 60 + 5) / 1440.0);
    EXPECT_DOUBLE_EQ(sys::ParseShortDate("7.3.2005 23:59:59")->days, 38418 + 86399 / 86400.0);
    EXPECT_EQ(sys::FormatDateTime(*sys::ParseShortDate("7.3.2005 9:05")), "7.3.2005 9:05:00");
    EXPECT_EQ(sys::FormatDateTime({38418}), "7.3.2005");
    EXPECT_EQ(sys::FormatShortDate(*sys::ParseShortDate("7.3.2005 9:05")), "7.3.2005");
}

class BadDates : public testing::TestWithParam<const char*> {};

TEST_P(BadDates, AreRefusedWithAMessageNamingTheText)
{
    std::string error;
    EXPECT_FALSE(sys::ParseShortDate(GetParam(), &error));
    EXPECT_NE(error.find(GetParam()), std::string::npos) << error;
    EXPECT_THROW(sys::StrToDate(GetParam()), sys::EConvertError);
}

INSTANTIATE_TEST_SUITE_P(, BadDates,
                         testing::Values("", "   ", "31.2.2005", "29.2.2005", "29.2.1900",
                                         "31.4.2005", "0.1.2005", "1.0.2005", "1.13.2005",
                                         "7.3.05", "7/3/2005", "7.3.2005x", "7..2005",
                                         "7.3.2005 24:00", "7.3.2005 9:60", "7.3.2005 9:5",
                                         "7.3.2005 9:05:61", "7.3.2005 9:05:", "123.3.2005",
                                         "1.1.12345", "abc", "1.1.0000", "-1.1.2005"));

TEST(ShortDate, ImpossibleDayIsNamedInTheMessage)
{
    std::string error;
    sys::ParseShortDate("31.2.2005", &error);
    EXPECT_NE(error.find("31"), std::string::npos);
    EXPECT_NE(error.find("2/2005"), std::string::npos) << error;
}

struct Span {
    const char* from;
    const char* to;
    int days;
};

class DayDifferences : public testing::TestWithParam<Span> {};

TEST_P(DayDifferences, CountWholeDays)
{
    EXPECT_EQ(sys::DaysBetween(sys::StrToDate(GetParam().from), sys::StrToDate(GetParam().to)),
              GetParam().days);
}

INSTANTIATE_TEST_SUITE_P(, DayDifferences,
                         testing::Values(Span{"28.2.2004", "1.3.2004", 2}, Span{"28.2.2005", "1.3.2005", 1},
                                         Span{"28.2.2000", "1.3.2000", 2}, Span{"28.2.2100", "1.3.2100", 1},
                                         Span{"31.12.2004", "1.1.2005", 1}, Span{"1.3.2005", "28.2.2005", -1},
                                         Span{"30.1.2005", "2.3.2005", 31}, Span{"1.1.1900", "1.1.2000", 36524},
                                         Span{"7.3.2005 23:00", "8.3.2005 1:00", 1},
                                         Span{"7.3.2005 1:00", "7.3.2005 23:00", 0},
                                         Span{"1.1.1899", "1.1.1900", 365}));

TEST(ShortDate, TimeOfDayBeforeDayZeroBelongsToItsOwnDay)
{
    // Before 30.12.1899 the fraction still counts forward within the day: -1.25 is 29.12.1899 6:00.
    EXPECT_EQ(sys::FormatDateTime({-1.25}), "29.12.1899 6:00:00");
    EXPECT_EQ(sys::ParseShortDate("29.12.1899 6:00")->days, -1.25);
    EXPECT_EQ(sys::DateOf({-1.25}).days, -1);
}

TEST(ShortDate, NonsenseValuesDoNotMisbehave)
{
    EXPECT_FALSE(sys::FormatShortDate({std::numeric_limits<double>::quiet_NaN()}).empty());
    EXPECT_FALSE(sys::FormatShortDate({1e300}).empty());
    EXPECT_FALSE(sys::EncodeDate(2005, 2, 29));
    EXPECT_FALSE(sys::EncodeDate(0, 1, 1));
}

TEST(Clock, TodayComesFromTheInstalledClockWithoutTheTime)
{
    const double systemToday = sys::Today().days;
    {
        sys::FixedClock clock(*sys::ParseShortDate("7.3.2005 14:30"));
        sys::ScopedClock use(clock);
        EXPECT_EQ(sys::Today().days, 38418);
        EXPECT_DOUBLE_EQ(sys::Now().days, 38418 + 14.5 / 24);
        clock.Set({40000.75});
        EXPECT_EQ(sys::Today().days, 40000);
    }
    const double after = sys::Today().days;
    EXPECT_TRUE(after == systemToday || after == systemToday + 1); // midnight may pass meanwhile
    EXPECT_GT(after, Day(2020, 1, 1));
}

} // namespace
