// Days lent of one loan, and the recomputation over a loans table.

#include "app/lending/DaysLent.h"

#include "platform/sys/ShortDate.h"

#include <gtest/gtest.h>

namespace {

data::TDateTime D(const char* text)
{
    return sys::StrToDate(text);
}

struct DaysCase {
    const char* lent;
    const char* returned; // "" for an open loan
    const char* current;
    int days;
};

class DaysOfLoanTest : public ::testing::TestWithParam<DaysCase> {};

TEST_P(DaysOfLoanTest, CountsWholeDays)
{
    const DaysCase& c = GetParam();
    const data::Value returned = *c.returned ? data::Value{D(c.returned)} : data::Value{};
    EXPECT_EQ(app::DaysOfLoan(D(c.lent), returned, D(c.current)), c.days);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DaysOfLoanTest,
    ::testing::Values(DaysCase{"1.9.2024", "11.9.2024", "1.1.2030", 10},  // returned: the current date does not count
                      DaysCase{"12.9.2024", "", "15.9.2024", 3},          // open
                      DaysCase{"20.9.2024", "", "15.9.2024", -5},         // lent after the current date
                      DaysCase{"15.9.2024", "", "15.9.2024", 0},
                      DaysCase{"28.2.2024", "", "1.3.2024", 2},           // leap year
                      DaysCase{"31.12.2023", "1.1.2024", "1.1.2000", 1},
                      DaysCase{"15.9.2024 23:59", "", "16.9.2024", 1}));  // time of day ignored

} // namespace
