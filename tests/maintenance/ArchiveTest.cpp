// Archiving returned loans through its window, as a librarian runs it from the tool bar or menu.

#include "AppFixture.h"
#include "ArchiveSupport.h"

#include "app/Hlavni.h"
#include "maintenance/ArchivovatVypujcky.h"
#include "platform/data/Session.h"

#include <QTest>

#include <sqlite3.h>

#include <chrono>
#include <filesystem>
#include <functional>

using namespace apptest;
using archivetest::ArchiveRow;
using archivetest::ArchiveRows;

namespace {

const char* const kTitle = "Archivace výpůjček";
const char* const kDone = "Archivace výpůjček byla úspěšně dokončena.";

// Lets the window's timer run, as its modal loop would, until the run under way ends or the window
// is closed (or a minute has passed).
void WaitWhileRunning(TForm5& form)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (form.Running() && form.ModalResult() == ui::mrNone && std::chrono::steady_clock::now() < deadline)
        QTest::qWait(1);
}

// Many returned loans of one reader, written straight into the loans file before the program
// starts; the n-th loan is of the book numbered n (none of them in the books table), and the one
// numbered `other` belongs to `otherReader`.
void AddReturnedLoans(const std::filesystem::path& folder, int count, std::int64_t reader, int other = -1,
                      std::int64_t otherReader = 0)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((folder / "Výpůjčky.db").c_str(), &db), SQLITE_OK);
    const std::string sql =
        "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i + 1 < " + std::to_string(count) +
        ") INSERT INTO \"Výpůjčky\" (CisloCtenare, CisloKnihy, Pujceno, Vraceno, Dnu, VracenoB)"
        " SELECT CASE WHEN i = " + std::to_string(other) + " THEN " + std::to_string(otherReader) + " ELSE " +
        std::to_string(reader) + " END, i, '2024-09-01', '2024-09-10', 9, 1 FROM n";
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
}

class ArchiveTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        novak_ = AddReader("Novák Jan");
        dvorak_ = AddReader("Dvořák Petr");
        babicka_ = AddBook("K001", "Babička");
        krakatit_ = AddBook("K002", "Krakatit");
        rur_ = AddBook("K003", "R.U.R.");
    }
    // Shows the window from the tool bar; `act` runs in it, then the run under way is waited for.
    void Archive(const std::function<void(TForm5&)>& act)
    {
        dialogs_->ExpectModal(*Form5, std::function<void(TForm5&)>([act](TForm5& f) {
                                  act(f);
                                  WaitWhileRunning(f);
                              }),
                              ui::mrCancel);
        Form1->BitBtn12.Click();
    }
    void ExpectLoansShowOpenOnesAgain()
    {
        EXPECT_EQ(Form1->Table3.Filter(), "VracenoB='False'");
        EXPECT_TRUE(Form1->Table3.Filtered());
    }
    std::int64_t novak_ = 0, dvorak_ = 0, babicka_ = 0, krakatit_ = 0, rur_ = 0;
};

struct RunCase {
    const char* name;
    bool all;         // "Všechny" ticked
    const char* date; // typed into the date box otherwise
    std::vector<int> archived; // indexes of the loans below that go into the archive
};

class ArchiveRunTest : public ArchiveTest, public ::testing::WithParamInterface<RunCase> {};

TEST_P(ArchiveRunTest, MovesTheChosenReturnedLoansWithTheirNames)
{
    // 0 and 1 returned up to 11.9., 2 open, 3 returned on 12.9., 4 of a reader no longer there.
    AddLoan(novak_, babicka_, "1.9.2024", "10.9.2024", 9);
    AddLoan(dvorak_, krakatit_, "2.9.2024", "11.9.2024", 9);
    AddLoan(novak_, rur_, "12.9.2024");
    AddLoan(dvorak_, rur_, "1.8.2024", "12.9.2024", 42);
    AddLoan(99, babicka_, "1.7.2024", "5.9.2024", 66);
    const std::vector<ArchiveRow> all = {
        {novak_, "Novák Jan", babicka_, "K001", "Babička", "1.9.2024", "10.9.2024", 9},
        {dvorak_, "Dvořák Petr", krakatit_, "K002", "Krakatit", "2.9.2024", "11.9.2024", 9},
        {},
        {dvorak_, "Dvořák Petr", rur_, "K003", "R.U.R.", "1.8.2024", "12.9.2024", 42},
        {99, "", babicka_, "K001", "Babička", "1.7.2024", "5.9.2024", 66},
    };
    StartProgram();
    const RunCase& c = GetParam();
    dialogs_->Expect(kDone, kTitle);
    Archive([&c](TForm5& f) {
        EXPECT_EQ(f.Edit1.Text(), "15.9.2024");
        EXPECT_FALSE(f.CheckBox1.Checked());
        EXPECT_TRUE(f.Edit1.Enabled());
        if (c.all) {
            f.CheckBox1.SetFocus();
            QTest::keyClick(&f.CheckBox1, Qt::Key_PageUp);
            EXPECT_TRUE(f.CheckBox1.Checked());
            EXPECT_FALSE(f.Edit1.Enabled());
        } else {
            f.Edit1.SetFocus();
            f.Edit1.selectAll();
            QTest::keyClicks(&f.Edit1, QString::fromUtf8(c.date));
        }
        QTest::mouseClick(&f.BitBtn2, Qt::LeftButton);
        EXPECT_FALSE(f.BitBtn2.Visible());
    });

    std::vector<ArchiveRow> expected;
    for (int i : c.archived)
        expected.push_back(all[static_cast<std::size_t>(i)]);
    EXPECT_EQ(ArchiveRows(), expected);
    const std::vector<LoanRow> left = Loans();
    EXPECT_EQ(left.size(), all.size() - c.archived.size());
    EXPECT_EQ(CountRecords("Výpůjčky.db", "VracenoB='False'"), 1); // the open loan stays
    ASSERT_NE(dialogs_->LastMessage(), nullptr);
    EXPECT_EQ(dialogs_->LastMessage()->Icon(), ui::MB_ICONINFORMATION);
    EXPECT_EQ(dialogs_->LastMessage()->Owner, "Form5");
    EXPECT_EQ(Form5->Caption(), "Archivace výpůjček - 100% dokončeno");
    EXPECT_EQ(Form5->CGauge1.Position(), Form5->CGauge1.Max());
    // The archive page lists the new records at once; the loans pages show open loans again.
    EXPECT_EQ(Form1->Query3.RecordCount(), static_cast<int>(expected.size()));
    ExpectLoansShowOpenOnesAgain();
    EXPECT_EQ(Form1->Table3.RecordCount(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Choices, ArchiveRunTest,
    ::testing::Values(RunCase{"Every", true, "", {0, 1, 3, 4}},
                      RunCase{"UpToADayIncluded", false, "11.9.2024", {0, 1, 4}},
                      RunCase{"OtherFormOfTheDay", false, "11.09.2024", {0, 1, 4}},
                      RunCase{"BeforeEveryReturn", false, "1.9.2024", {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ArchiveTest, WithoutReturnedLoansNothingRuns)
{
    AddLoan(novak_, babicka_, "1.9.2024");
    StartProgram();
    dialogs_->Expect("Nebyly nalezeny žádné výpůjčky k archivaci!", kTitle);
    Archive([](TForm5& f) {
        f.BitBtn2.Click();
        EXPECT_FALSE(f.Running());
        EXPECT_TRUE(f.BitBtn2.Visible());
    });
    EXPECT_EQ(dialogs_->LastMessage()->Icon(), ui::MB_ICONERROR);
    EXPECT_EQ(Loans().size(), 1u);
    ExpectLoansShowOpenOnesAgain();
}

class BadDateTest : public ArchiveTest, public ::testing::WithParamInterface<std::pair<const char*, bool>> {};

TEST_P(BadDateTest, IsRefusedEvenWhenEveryLoanIsToGo)
{
    AddLoan(novak_, babicka_, "1.9.2024", "10.9.2024", 9);
    StartProgram();
    dialogs_->Expect("Zadané datum nemá platný formát!", kTitle);
    const auto [text, all] = GetParam();
    Archive([text, all](TForm5& f) {
        f.Edit1.SetText(text);
        f.CheckBox1.SetChecked(all);
        f.BitBtn2.Click();
        EXPECT_FALSE(f.Running());
    });
    EXPECT_EQ(dialogs_->LastMessage()->Icon(), ui::MB_ICONERROR);
    EXPECT_EQ(Loans().size(), 1u);
    EXPECT_TRUE(ArchiveRows().empty());
}

INSTANTIATE_TEST_SUITE_P(Texts, BadDateTest,
                         ::testing::Values(std::pair{"", true}, std::pair{"31.2.2024", false},
                                           std::pair{"zítra", true}));

TEST_F(ArchiveTest, ClosingDuringARunStopsItAndKeepsEveryLoanOnce)
{
    AddReturnedLoans(folder_, 30000, novak_);
    StartProgram();
    Form1->Table1.SetFilter("Cislo='1'");
    Form1->Table1.SetFiltered(false);
    Archive([](TForm5& f) {
        // Storno pressed right after the first tick: no success message.
        const ui::TNotifyEvent tick = f.Timer1.OnTimer;
        f.Timer1.OnTimer = [&f, tick](ui::TObject* sender) {
            tick(sender);
            if (f.Running() && f.ModalResult() == ui::mrNone)
                f.BitBtn3.Click();
        };
        f.CheckBox1.SetChecked(true);
        f.BitBtn2.Click();
        WaitWhileRunning(f);
        f.Timer1.OnTimer = tick;
    });
    EXPECT_FALSE(Form5->Running());
    const int archived = Form5->Archived();
    EXPECT_GT(archived, 0);
    EXPECT_LT(archived, 30000);
    EXPECT_EQ(CountRecords("VýpůjčkyArchiv.db"), archived);
    EXPECT_EQ(CountRecords("Výpůjčky.db"), 30000 - archived);
    EXPECT_EQ(Form1->Query3.RecordCount(), archived);
    ExpectLoansShowOpenOnesAgain();
    EXPECT_TRUE(Form1->Table1.Filtered());
    EXPECT_EQ(Form1->Table1.Filter(), "Cislo='1'");

    // A second run archives the rest, none twice.
    dialogs_->Expect(kDone, kTitle);
    Archive([](TForm5& f) {
        EXPECT_TRUE(f.BitBtn2.Visible());
        f.CheckBox1.SetChecked(true);
        f.BitBtn2.Click();
    });
    EXPECT_EQ(CountRecords("VýpůjčkyArchiv.db"), 30000);
    EXPECT_EQ(CountRecords("Výpůjčky.db"), 0);
    const std::vector<ArchiveRow> rows = ArchiveRows();
    std::vector<bool> seen(30000, false);
    for (const ArchiveRow& row : rows) {
        ASSERT_FALSE(seen.at(static_cast<std::size_t>(row.CisloKnihy))) << row.CisloKnihy;
        seen[static_cast<std::size_t>(row.CisloKnihy)] = true;
    }
}

// Records in a table file as another program reads it: what has been committed.
int CommittedRecords(const std::filesystem::path& file)
{
    sqlite3* db = nullptr;
    int count = -1;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        const std::string sql = "SELECT count(*) FROM \"" + file.stem().string() + "\"";
        sqlite3_stmt* select = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &select, nullptr) == SQLITE_OK &&
            sqlite3_step(select) == SQLITE_ROW)
            count = sqlite3_column_int(select, 0);
        sqlite3_finalize(select);
    }
    sqlite3_close(db);
    return count;
}

// A large run goes in several ticks, each one committed: after every tick the bar, the percentage
// and the files on disk all agree on how far the run has got.
TEST_F(ArchiveTest, ALargeRunCommitsTickByTickWhileTheBarAndPercentageMove)
{
    constexpr int kLoans = 30000;
    AddReturnedLoans(folder_, kLoans, novak_);
    StartProgram();
    struct Tick {
        int position;
        std::string caption;
        int archived;
        int inArchive;
        int inLoans;
    };
    std::vector<Tick> ticks;
    const std::filesystem::path folder = folder_;
    dialogs_->Expect(kDone, kTitle);
    Archive([&ticks, folder](TForm5& f) {
        const ui::TNotifyEvent tick = f.Timer1.OnTimer;
        f.Timer1.OnTimer = [&f, &ticks, folder, tick](ui::TObject* sender) {
            tick(sender);
            if (f.Running())
                ticks.push_back({f.CGauge1.Position(), f.Caption(), f.Archived(),
                                 CommittedRecords(folder / "VýpůjčkyArchiv.db"),
                                 CommittedRecords(folder / "Výpůjčky.db")});
        };
        f.CheckBox1.SetChecked(true);
        f.BitBtn2.Click();
        WaitWhileRunning(f);
        f.Timer1.OnTimer = tick;
    });
    ASSERT_GE(ticks.size(), 2u);
    int before = 0;
    for (const Tick& t : ticks) {
        SCOPED_TRACE(t.position);
        EXPECT_GT(t.position, before);
        EXPECT_LT(t.position, kLoans);
        EXPECT_EQ(t.caption,
                  std::string(kTitle) + " - " + std::to_string(t.position * 100 / kLoans) + "% dokončeno");
        EXPECT_EQ(t.archived, t.position);
        EXPECT_EQ(t.inArchive, t.position);
        EXPECT_EQ(t.inLoans, kLoans - t.position);
        before = t.position;
    }
    EXPECT_EQ(CountRecords("VýpůjčkyArchiv.db"), kLoans);
    EXPECT_EQ(CountRecords("Výpůjčky.db"), 0);
}

// A store failure in the middle of a run: the failing batch is undone whole, the run stops at once
// and the error is shown once.
TEST_F(ArchiveTest, AFailureStopsTheRunAndIsShownOnce)
{
    const std::int64_t broken = AddReader("Porucha");
    AddReturnedLoans(folder_, 3000, novak_, 2000, broken);
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open((folder_ / "VýpůjčkyArchiv.db").c_str(), &db), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(db,
                               "CREATE TRIGGER porucha BEFORE INSERT ON \"VýpůjčkyArchiv\" WHEN NEW.Ctenar = 'Porucha'"
                               " BEGIN SELECT RAISE(ABORT, 'disk je plný'); END",
                               nullptr, nullptr, nullptr),
                  SQLITE_OK);
        sqlite3_close(db);
    }
    StartProgram();
    dialogs_->Answer(ui::IDOK);
    Archive([](TForm5& f) {
        f.CheckBox1.SetChecked(true);
        f.BitBtn2.Click();
        WaitWhileRunning(f);
        QTest::qWait(50); // no further ticks, no further messages
        EXPECT_TRUE(f.BitBtn2.Visible());
    });
    ASSERT_EQ(dialogs_->Messages().size(), 1u);
    EXPECT_NE(dialogs_->Messages()[0].Text.find("disk je plný"), std::string::npos);
    const int archived = Form5->Archived();
    EXPECT_LE(archived, 2000);
    EXPECT_EQ(CountRecords("VýpůjčkyArchiv.db"), archived);
    EXPECT_EQ(CountRecords("Výpůjčky.db"), 3000 - archived);
    EXPECT_EQ(Form1->Query3.RecordCount(), archived);
    ExpectLoansShowOpenOnesAgain();
}

TEST_F(ArchiveTest, ToolBarAndBothMenuItemsOpenTheWindow)
{
    StartProgram();
    for (ui::TMenuItem* item : {&Form1->Archivovatvpjky1, &Form1->Archivovatvpjky2}) {
        EXPECT_TRUE(item->Enabled());
        dialogs_->ExpectModal(*Form5, std::function<void(TForm5&)>(), ui::mrCancel);
        item->Click();
    }
    EXPECT_TRUE(Form1->BitBtn12.Enabled());
    dialogs_->ExpectModal(*Form5, std::function<void(TForm5&)>(), ui::mrCancel);
    Form1->BitBtn12.Click();
    EXPECT_EQ(dialogs_->ModalsShown(), (std::vector<std::string>{"Form5", "Form5", "Form5"}));
    EXPECT_TRUE(Form5->Table2.Active());
}

} // namespace
