// The school-year roll-over: which readers move, which are deactivated, what a failure or a killed
// process leaves, and the readers table and list afterwards.

#include "ReadersPageSupport.h"
#include "sys/ChildProcess.h"

#include "app/readers/RollOver.h"
#include "catalogue/OdebratCtenare.h"

#include <csignal>
#include <stdexcept>

using namespace apptest;
using systest::RunInChild;
using Lines = std::vector<std::string>;

namespace {

const char* const kQuestion = "Přejete si automaticky deaktivovat všechny čtenáře, kteří nyní chodí do 9.třídy?";

std::string Row(const std::string& name, const std::string& schoolClass, bool active)
{
    return name + "|" + schoolClass + "|" + (active ? "True|Aktivní" : "False|Neaktivní");
}

class RollOver : public ReadersPageTest {
protected:
    void TearDown() override
    {
        app::RollOverRecordHook = nullptr;
        ReadersPageTest::TearDown();
    }

    // Classes 1.A to 9.C, all active, then the readers whose classes never move and three
    // inactive ones.
    void AddSchool()
    {
        for (int year = 1; year <= 9; ++year)
            for (const char letter : {'A', 'B', 'C'}) {
                const std::string schoolClass = std::to_string(year) + "." + letter;
                AddReader("Žák " + schoolClass, true, schoolClass);
            }
        AddReader("Bez třídy", true, "");
        AddReader("Písmeno", true, "A1");
        AddReader("Desítka", true, "10");
        AddReader("Odešlý osmák", false, "8.B");
        AddReader("Odešlá páťačka", false, "5.C");
        AddReader("Odešlý deváťák", false, "9.A");
    }

    // The school after a forward roll-over: classes 1 to 8 one year on, 9 inactive after Yes.
    static Lines ForwardSchool(bool deactivated)
    {
        Lines rows;
        for (int year = 1; year <= 9; ++year)
            for (const char letter : {'A', 'B', 'C'}) {
                const std::string before = std::to_string(year) + "." + letter;
                const std::string after = year < 9 ? std::to_string(year + 1) + "." + letter : before;
                rows.push_back(Row("Žák " + before, after, year < 9 || !deactivated));
            }
        rows.push_back(Row("Bez třídy", "", true));
        rows.push_back(Row("Písmeno", "A1", true));
        rows.push_back(Row("Desítka", "20", true));
        rows.push_back(Row("Odešlý osmák", "8.B", false));
        rows.push_back(Row("Odešlá páťačka", "5.C", false));
        rows.push_back(Row("Odešlý deváťák", "9.A", false));
        return rows;
    }

    void PressForward(int answer)
    {
        dialogs_->Expect(kQuestion, "Vyřazení čtenářů", answer);
        QTest::mouseClick(&Form1->BitBtn30, Qt::LeftButton);
        ASSERT_FALSE(dialogs_->Messages().empty());
        EXPECT_EQ(dialogs_->Messages()[0].Icon(), ui::MB_ICONQUESTION);
        EXPECT_EQ(dialogs_->Messages()[0].Buttons(), ui::MB_YESNOCANCEL);
    }
};

// ---- The forward question's three answers. ----

class ForwardAnswer : public RollOver, public ::testing::WithParamInterface<int> {};

TEST_P(ForwardAnswer, MovesActiveReadersAndDeactivatesTheNinthOnYes)
{
    AddSchool();
    const Lines before = ReadersOnDisk();
    OpenReadersPage();
    PressForward(GetParam());
    if (GetParam() == ui::IDCANCEL)
        EXPECT_EQ(ReadersOnDisk(), before);
    else
        EXPECT_EQ(ReadersOnDisk(), ForwardSchool(GetParam() == ui::IDYES));
    EXPECT_EQ(dialogs_->Messages().size(), 1u);
    // The list shows the new classes.
    TypeInto(Form1->Edit10, "Žák 8.A");
    EXPECT_EQ(Shown(1), (Lines{GetParam() == ui::IDCANCEL ? "8.A" : "9.A"}));
}

INSTANTIATE_TEST_SUITE_P(Answers, ForwardAnswer, ::testing::Values(ui::IDYES, ui::IDNO, ui::IDCANCEL),
                         [](const auto& tested) {
                             return std::string(tested.param == ui::IDYES  ? "Yes"
                                                : tested.param == ui::IDNO ? "No"
                                                                         : "Cancel");
                         });

// Backward moves everybody, active or not, asks nothing and reactivates nobody.
TEST_F(RollOver, BackwardMovesEveryReaderDown)
{
    AddSchool();
    OpenReadersPage();
    PressForward(ui::IDYES);
    QTest::mouseClick(&Form1->BitBtn18, Qt::LeftButton);
    EXPECT_EQ(dialogs_->Messages().size(), 1u);

    Lines expected;
    for (int year = 1; year <= 9; ++year)
        for (const char letter : {'A', 'B', 'C'}) {
            const std::string before = std::to_string(year) + "." + letter;
            // 1 to 8 went up and came back; 9 stayed, was deactivated and now goes down.
            expected.push_back(Row("Žák " + before, year < 9 ? before : "8." + std::string(1, letter), year < 9));
        }
    expected.push_back(Row("Bez třídy", "", true));
    expected.push_back(Row("Písmeno", "A1", true));
    expected.push_back(Row("Desítka", "10", true));
    expected.push_back(Row("Odešlý osmák", "7.B", false));
    expected.push_back(Row("Odešlá páťačka", "4.C", false));
    expected.push_back(Row("Odešlý deváťák", "8.A", false));
    EXPECT_EQ(ReadersOnDisk(), expected);
}

TEST(RollOverClasses, OnlyTheFirstCharacterCounts)
{
    EXPECT_EQ(app::NextYearClass("8.B"), "9.B");
    EXPECT_EQ(app::NextYearClass("1"), "2");
    EXPECT_EQ(app::NextYearClass("9.A"), "9.A");
    EXPECT_EQ(app::NextYearClass("0.A"), "0.A");
    EXPECT_EQ(app::NextYearClass("Á1"), "Á1");
    EXPECT_EQ(app::PreviousYearClass("2.kvinta"), "1.kvinta");
    EXPECT_EQ(app::PreviousYearClass("1.A"), "1.A");
    EXPECT_EQ(app::PreviousYearClass(""), "");
    EXPECT_EQ(app::PreviousYearClass("9"), "8");
}

TEST_F(RollOver, EmptyTableGetsNoRecord)
{
    OpenReadersPage();
    PressForward(ui::IDYES);
    QTest::mouseClick(&Form1->BitBtn18, Qt::LeftButton);
    EXPECT_EQ(CountRecords("Čtenáři.db"), 0);
    EXPECT_EQ(Form1->DBGrid1.RowCount(), 0);
    EXPECT_EQ(dialogs_->Messages().size(), 1u);
}

// The one-record filter of the last edit is on again afterwards, and the list keeps its text.
TEST_F(RollOver, ReadersTableKeepsItsFilterAndTheListItsText)
{
    AddSchool();
    const std::int64_t chosen = AddReader("Vybraný", true, "8.A");
    OpenReadersPage();
    TypeInto(Form1->Edit11, "8");
    Highlight("Vybraný");
    dialogs_->ExpectModal("Form3", {}, ui::mrCancel);
    QTest::mouseClick(&Form1->BitBtn2, Qt::LeftButton);
    const Lines sql = SqlLines();

    PressForward(ui::IDNO);
    EXPECT_EQ(Form1->Table1.Filter(), "Cislo='" + std::to_string(chosen) + "'");
    EXPECT_TRUE(Form1->Table1.Filtered());
    ASSERT_EQ(Form1->Table1.RecordCount(), 1);
    EXPECT_EQ(Form1->Table1.FieldByName("Trida").AsString(), "9.A");
    EXPECT_EQ(SqlLines(), sql);
    EXPECT_TRUE(Form1->Query2.Active());
    // Those in 8 now: the seventh class moved up, the inactive eighth stayed.
    EXPECT_EQ(Shown(), (Lines{"Odešlý osmák", "Žák 7.A", "Žák 7.B", "Žák 7.C"}));

    QTest::mouseClick(&Form1->BitBtn18, Qt::LeftButton);
    EXPECT_EQ(Form1->Table1.FieldByName("Trida").AsString(), "8.A");
    EXPECT_TRUE(Form1->Table1.Filtered());
}

// A failure half-way changes nobody and is shown; pressing again moves every class once.
TEST_F(RollOver, FailureRollsBackAndARepeatMovesOnce)
{
    AddSchool();
    const Lines before = ReadersOnDisk();
    OpenReadersPage();
    app::RollOverRecordHook = [](int judged) {
        if (judged == 17)
            throw data::EDatabaseError("Disk je plný.");
    };
    dialogs_->Expect(kQuestion, "Vyřazení čtenářů", ui::IDYES);
    dialogs_->Answer(ui::IDOK);
    QTest::mouseClick(&Form1->BitBtn30, Qt::LeftButton);
    ASSERT_EQ(dialogs_->Messages().size(), 2u);
    EXPECT_EQ(dialogs_->Messages()[1].Text, "Disk je plný.");
    EXPECT_EQ(dialogs_->Messages()[1].Icon(), ui::MB_ICONERROR);
    EXPECT_EQ(ReadersOnDisk(), before);
    EXPECT_TRUE(Form1->Table1.Filtered());
    EXPECT_TRUE(Form1->Query2.Active());
    EXPECT_EQ(Shown(1).size(), before.size());

    app::RollOverRecordHook = nullptr;
    PressForward(ui::IDYES);
    EXPECT_EQ(ReadersOnDisk(), ForwardSchool(true));

    // The same for the way back.
    app::RollOverRecordHook = [](int judged) {
        if (judged == 30)
            throw data::EDatabaseError("Disk je plný.");
    };
    dialogs_->Answer(ui::IDOK);
    QTest::mouseClick(&Form1->BitBtn18, Qt::LeftButton);
    EXPECT_EQ(ReadersOnDisk(), ForwardSchool(true));
}

// A process killed anywhere inside a roll-over leaves the readers exactly as before or as after.
class KilledRollOver : public RollOver, public ::testing::WithParamInterface<bool> {
protected:
    // Runs the roll-over in a child process that kills itself before judging reader `killAt`
    // (never, when negative).
    int RunChild(int killAt)
    {
        const bool forward = GetParam();
        return RunInChild([killAt, forward] {
            app::RollOverRecordHook = [killAt](int judged) {
                if (judged == killAt)
                    std::raise(SIGKILL);
            };
            data::TTable readers;
            readers.TableName = "Čtenáři.db";
            readers.Open();
            if (forward)
                app::RollForward(readers, true);
            else
                app::RollBackward(readers);
            readers.Close();
            return 0;
        });
    }
};

TEST_P(KilledRollOver, LeavesTheTableBeforeOrAfter)
{
    AddSchool();
    for (int i = 0; i < 170; ++i)
        AddReader("Další " + std::to_string(i), i % 7 != 0, std::to_string(1 + i % 9) + ".D");
    const Lines before = ReadersOnDisk();
    const int count = static_cast<int>(before.size());

    // The result of an undisturbed run, then the table put back.
    const std::filesystem::path file = folder_ / "Čtenáři.db";
    const std::filesystem::path saved = folder_ / "saved.db";
    std::filesystem::copy_file(file, saved);
    ASSERT_EQ(RunChild(-1), 0);
    const Lines after = ReadersOnDisk();
    ASSERT_NE(after, before);

    for (const int killAt : {0, 1, 2, 5, 17, 50, 99, 150, count / 2, count - 2, count - 1}) {
        SCOPED_TRACE(killAt);
        std::filesystem::copy_file(saved, file, std::filesystem::copy_options::overwrite_existing);
        EXPECT_EQ(RunChild(killAt), 128 + SIGKILL);
        const Lines now = ReadersOnDisk();
        EXPECT_TRUE(now == before || now == after) << "half a roll-over after a kill at reader " << killAt;
        EXPECT_EQ(now.size(), before.size());
    }
}

INSTANTIATE_TEST_SUITE_P(Directions, KilledRollOver, ::testing::Values(true, false),
                         [](const auto& tested) { return std::string(tested.param ? "Forward" : "Backward"); });

} // namespace
