// The current date: changing it through its dialog and the days lent it gives every loan.

#include "AppFixture.h"

#include "app/Hlavni.h"
#include "app/ZmenitDatum.h"
#include "platform/data/Session.h"
#include "platform/data/Sqlite.h"

using namespace apptest;

namespace {

class CurrentDateTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        const std::int64_t reader = AddReader("Novák Jan");
        open_ = AddLoan(reader, AddBook("K001", "Babička", true), DayText(-3), "", 99);
        returned_ = AddLoan(reader, AddBook("K002", "Krakatit"), DayText(-30), DayText(-20), 99);
        future_ = AddLoan(reader, AddBook("K003", "R.U.R.", true), DayText(+4), "", 99);
    }
    std::int64_t Days(std::int64_t loan)
    {
        for (const LoanRow& row : Loans())
            if (row.Cislo == loan)
                return row.Dnu;
        ADD_FAILURE() << "no loan " << loan;
        return -1;
    }
    std::int64_t open_ = 0, returned_ = 0, future_ = 0;
};

TEST_F(CurrentDateTest, StartRecomputesDaysOfEveryLoan)
{
    StartProgram();
    EXPECT_EQ(Form1->Edit2.Text(), "15.9.2024");
    EXPECT_EQ(Days(open_), 3);
    EXPECT_EQ(Days(returned_), 10);
    EXPECT_EQ(Days(future_), -4);
    EXPECT_EQ(Form1->Table3.Filter(), "VracenoB='False'");
    EXPECT_EQ(Form1->Table3.RecordCount(), 2);
}

TEST_F(CurrentDateTest, NewDateGivesNewDaysAndShowsOpenLoansOnly)
{
    StartProgram();
    Form1->Table3.SetFilter("VracenoB='True'");
    ASSERT_TRUE(ChangeDate("25.9.2024"));
    EXPECT_EQ(Form1->Edit2.Text(), "25.9.2024");
    EXPECT_EQ(Days(open_), 13);
    EXPECT_EQ(Days(returned_), 10);
    EXPECT_EQ(Days(future_), 6);
    EXPECT_EQ(Form1->Table3.Filter(), "VracenoB='False'");
    EXPECT_EQ(Form1->DBGrid3.RowCount(), 2);
    EXPECT_EQ(Form12->CGauge1.Max(), 3);
    EXPECT_EQ(Form12->CGauge1.Position(), 3);
    EXPECT_TRUE(dialogs_->Messages().empty());
}

// A day count beyond the field's range, as another program could leave it in the file.
class UnreadableDaysTest : public CurrentDateTest {
protected:
    void Store(std::int64_t loan, const std::string& column, const std::string& value)
    {
        data::TTable loans;
        loans.TableName = "Výpůjčky.db";
        loans.Open();
        data::sqlite::Exec(data::Session::Instance().Db(), "UPDATE \"Výpůjčky\" SET " + column + " = " + value +
                                                               " WHERE Cislo = " + std::to_string(loan));
    }
    std::int64_t StoredDays(std::int64_t loan)
    {
        data::sqlite::Statement days(data::Session::Instance().Db(),
                                     "SELECT Dnu FROM \"Výpůjčky\" WHERE Cislo = " + std::to_string(loan));
        return days.Step() ? days.ColumnInt64(0) : -1;
    }
};

TEST_F(UnreadableDaysTest, SuchALoanKeepsItsDaysAndTheOthersAreRecomputed)
{
    Store(future_, "Dnu", "5000000000");
    StartProgram();
    EXPECT_TRUE(dialogs_->Messages().empty());
    EXPECT_EQ(StoredDays(open_), 3);
    EXPECT_EQ(StoredDays(returned_), 10);
    EXPECT_EQ(StoredDays(future_), 5000000000);
    // The bars count the loans recomputed, out of all of them.
    EXPECT_EQ(Form12->CGauge1.Max(), 3);
    EXPECT_EQ(Form12->CGauge1.Position(), 2);
    EXPECT_EQ(Form1->Table3.Filter(), "VracenoB='False'");
    EXPECT_EQ(Form1->DBGrid3.RowCount(), 2);
}

TEST_F(UnreadableDaysTest, ADateThatCannotBeNormalisedUndoesTheWholeRecomputation)
{
    StartProgram();
    Store(future_, "Dnu", "5000000000");
    Store(future_, "Pujceno", "'2024-09-19 10:30:00'");
    Form1->Edit2.SetText("20.9.2024");
    dialogs_->Answer(ui::IDOK);
    AsUser([] { Form1->Timer3Timer(nullptr); });
    ASSERT_EQ(dialogs_->Messages().size(), 1u);
    EXPECT_EQ(dialogs_->Messages()[0].Icon(), ui::MB_ICONERROR);
    EXPECT_EQ(StoredDays(open_), 3); // not 8: nothing of the recomputation was kept
    EXPECT_EQ(Form1->Table3.Filter(), "VracenoB='False'");
    EXPECT_TRUE(Form1->Table3.Filtered());
}

TEST_F(CurrentDateTest, LendOnAPastDateRecordsThatDate)
{
    StartProgram();
    ASSERT_TRUE(ChangeDate("2.1.1900"));
    ClickTab(0);
    Form1->Edit1.SetText("K002");
    ASSERT_TRUE(Form1->BitBtn10.Enabled());
    Form1->BitBtn10.Click();
    bool found = false;
    for (const LoanRow& row : Loans())
        found |= row.CisloKnihy != 0 && row.Pujceno == "2.1.1900" && row.Dnu == 0;
    EXPECT_TRUE(found);
}

TEST_F(CurrentDateTest, TodayButtonPutsTodayBack)
{
    StartProgram();
    ASSERT_TRUE(ChangeDate("1.10.2024"));
    dialogs_->ExpectModal(*Form12, std::function<void(TForm12&)>([](TForm12& dialog) {
        EXPECT_EQ(dialog.Edit1.Text(), "1.10.2024");
        dialog.Button1.Click();
        dialog.BitBtn1.Click();
    }));
    Form1->UpDown1.Click();
    EXPECT_EQ(Form1->Edit2.Text(), "15.9.2024");
    EXPECT_EQ(Days(open_), 3);
}

struct Rejected {
    const char* name;
    const char* text;
    const char* message; // nullptr: passed over in silence
    const char* caption;
};

class RejectedDateTest : public CurrentDateTest, public ::testing::WithParamInterface<Rejected> {};

TEST_P(RejectedDateTest, DialogStaysAndNothingChanges)
{
    StartProgram();
    if (GetParam().message != nullptr)
        dialogs_->Expect(GetParam().message, GetParam().caption);
    EXPECT_FALSE(ChangeDate(GetParam().text));
    EXPECT_EQ(Form1->Edit2.Text(), "15.9.2024");
    EXPECT_EQ(Days(open_), 3);
    EXPECT_EQ(dialogs_->Messages().size(), GetParam().message != nullptr ? 1u : 0u);
    if (GetParam().message != nullptr) {
        EXPECT_EQ(dialogs_->Messages()[0].Icon(), ui::MB_ICONWARNING);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RejectedDateTest,
    ::testing::Values(Rejected{"FirstOfJanuary1900", "1.1.1900", "Datum musí být větší než 1.1.1900!", "Změna datumu"},
                      Rejected{"Before1900", "31.12.1899", "Datum musí být větší než 1.1.1900!", "Změna datumu"},
                      Rejected{"NotADate", "zítra", "Zadané datum je v neplatném formátu.", "Špatně zadané datum"},
                      Rejected{"ImpossibleDay", "31.2.2024", "Zadané datum je v neplatném formátu.", "Špatně zadané datum"},
                      Rejected{"LeadingZeros", "01.10.2024", nullptr, nullptr},
                      Rejected{"WithTime", "1.10.2024 10:00", nullptr, nullptr}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(CurrentDateTest, SameDateAgainRecomputesAndCloses)
{
    StartProgram();
    ASSERT_TRUE(ChangeDate("15.9.2024"));
    EXPECT_EQ(Days(open_), 3);
}

} // namespace
