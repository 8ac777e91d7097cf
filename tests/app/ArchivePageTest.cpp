// The loan archive page (sorting, search) and emptying the archive or every table, also when the
// program is killed half-way through.

#include "AppFixture.h"
#include "sys/ChildProcess.h"

#include "app/Hlavni.h"
#include "app/lending/EmptyTables.h"
#include "maintenance/HledaniVArchivu.h"

#include <QRadioButton>
#include <QTest>

#include <csignal>

using namespace apptest;
using systest::RunInChild;

namespace {

const char* const kEmptyArchiveQuestion =
    "Vyprázdněním databáze budou ztracena všechna data z nynější databáze.\nChcete přesto vyprázdnit databázi?";
const char* const kEmptyAllQuestion =
    "Vyprázdněním databází budou ztracena všechna data z nynějších databází.\nChcete přesto vyprázdnit databáze?";

const std::vector<std::string> kEmptied = {"VýpůjčkyArchiv.db", "Čtenáři.db",     "Knihy.DB",       "Výpůjčky.db",
                                           "Číselníky.db",      "Číselníky02.db", "Číselníky03.db", "Číselníky04.db"};

class ArchivePageTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        AddArchived("Bílá Eva", "A2", "Zeta", -30, -20);
        AddArchived("Adam Petr", "A3", "Alfa", -10, -9);
        AddArchived("Cyril Jan", "A1", "Beta", -50, -5);
    }
    void AddArchived(const std::string& reader, const std::string& code, const std::string& title, int lent,
                     int returned)
    {
        AppendRow("VýpůjčkyArchiv.db", {{"CisloCtenare", "1"},
                                        {"Ctenar", reader},
                                        {"CisloKnihy", "1"},
                                        {"KodKnihy", code},
                                        {"Kniha", title},
                                        {"Pujceno", DayText(lent)},
                                        {"Vraceno", DayText(returned)},
                                        {"Dnu", std::to_string(returned - lent)}});
    }
    // A library with something in every table, the keyword list included.
    void FillEveryTable()
    {
        const std::int64_t reader = AddReader("Novák Jan");
        const std::int64_t book = AddBook("K1", "Babička", true);
        AddLoan(reader, book, DayText(-2));
        for (const char* file : {"Číselníky.db", "Číselníky02.db", "Číselníky03.db", "Číselníky04.db", "KlicovaSlova.DB"})
            AddName(file, "X");
    }
    static void ClickSortItem(int item)
    {
        const auto buttons = Form1->RadioGroup1.findChildren<QRadioButton*>();
        for (QRadioButton* button : buttons)
            if (button->text() == QString::fromUtf8(Form1->RadioGroup1.Items().at(item).c_str()))
                QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
    }
    static std::string LastLine() { return Form1->Query3.SQL[Form1->Query3.SQL.Count() - 1]; }
    static std::string FirstReader() { return Form1->DBGrid8.CellText(0, 0); }
    std::vector<int> Counts()
    {
        std::vector<int> counts;
        for (const std::string& file : kEmptied)
            counts.push_back(CountRecords(file));
        return counts;
    }
};

TEST_F(ArchivePageTest, EveryOrderBothWays)
{
    StartProgram();
    Form1->Zobrazit6.Click();
    EXPECT_EQ(Form1->RadioGroup1.ItemIndex(), 4);
    EXPECT_FALSE(Form1->Label20.Visible());
    EXPECT_EQ(Form1->DBGrid8.VisibleTitles(),
              (std::vector<std::string>{"Čtenář", "Kód knihy", "Název knihy", "Půjčeno", "Vráceno", "Dnů"}));
    struct Order {
        const char* line;
        const char* first;
        const char* firstDescending;
    };
    const Order orders[] = {
        {"ORDER BY Ctenar", "Adam Petr", "Cyril Jan"},  {"ORDER BY KodKnihy", "Cyril Jan", "Adam Petr"},
        {"ORDER BY Kniha", "Adam Petr", "Bílá Eva"},    {"ORDER BY Pujceno", "Cyril Jan", "Adam Petr"},
        {"ORDER BY Vraceno", "Bílá Eva", "Cyril Jan"},  {"ORDER BY Dnu", "Adam Petr", "Cyril Jan"},
    };
    for (int item = 0; item < 6; ++item) {
        ClickSortItem(item);
        EXPECT_EQ(Form1->RadioGroup1.ItemIndex(), item);
        EXPECT_EQ(LastLine(), orders[item].line);
        EXPECT_EQ(FirstReader(), orders[item].first) << orders[item].line;
        QTest::mouseClick(&Form1->CheckBox6, Qt::LeftButton, {}, QPoint(6, Form1->CheckBox6.height() / 2));
        EXPECT_EQ(LastLine(), std::string(orders[item].line) + " DESC");
        EXPECT_EQ(FirstReader(), orders[item].firstDescending) << orders[item].line;
        Form1->CheckBox6.setFocus();
        QTest::keyClick(&Form1->CheckBox6, Qt::Key_PageDown);
        EXPECT_FALSE(Form1->CheckBox6.Checked());
        EXPECT_EQ(LastLine(), orders[item].line);
        EXPECT_EQ(Form1->Query3.SQL.Count(), 2);
    }
}

TEST_F(ArchivePageTest, SortingKeepsTheSearchConditionsAndPutsOrderLast)
{
    StartProgram();
    Form1->Zobrazit6.Click();
    // A search's text with its ORDER BY line, and one that left none.
    for (const bool withOrder : {true, false}) {
        Form1->Query3.Close();
        Form1->Query3.SQL.Clear();
        Form1->Query3.SQL.Add("SELECT * FROM VýpůjčkyArchiv");
        Form1->Query3.SQL.Add("WHERE Dnu > 2");
        if (withOrder)
            Form1->Query3.SQL.Add("ORDER BY Vraceno");
        Form1->Query3.Open();
        ClickSortItem(5);
        EXPECT_EQ(Form1->Query3.SQL.Lines(),
                  (std::vector<std::string>{"SELECT * FROM VýpůjčkyArchiv", "WHERE Dnu > 2", "ORDER BY Dnu"}));
        EXPECT_EQ(Form1->DBGrid8.RowCount(), 2);
        EXPECT_EQ(FirstReader(), "Bílá Eva");
        ClickSortItem(0);
    }
}

TEST_F(ArchivePageTest, SearchButtonAndMenuShowTheSearchWindow)
{
    StartProgram();
    dialogs_->ExpectModal("Form7");
    dialogs_->ExpectModal("Form7");
    Form1->Zobrazit6.Click();
    QTest::mouseClick(&Form1->BitBtn8, Qt::LeftButton);
    Form1->Zobrazit1.Click();
    Form1->Filtr3.Click();
    EXPECT_EQ(Form1->TabbedNotebook1.PageIndex(), 5);
    EXPECT_EQ(dialogs_->ModalsShown(), (std::vector<std::string>{"Form7", "Form7"}));
}

TEST_F(ArchivePageTest, EmptyingTheArchiveAsksAndDropsTheSearch)
{
    FillEveryTable();
    StartProgram();
    Form1->Zobrazit6.Click();
    ClickSortItem(1);

    dialogs_->Expect(kEmptyArchiveQuestion, "Vyprázdnění databáze", ui::IDNO);
    Form1->Vyprzdnitdatabzi1.Click();
    EXPECT_EQ(CountRecords("VýpůjčkyArchiv.db"), 3);
    EXPECT_EQ(dialogs_->LastMessage()->Flags & ui::MB_DEFMASK, ui::MB_DEFBUTTON2);

    dialogs_->Expect(kEmptyArchiveQuestion, "Vyprázdnění databáze", ui::IDYES);
    dialogs_->Expect("Vyprázdnění databáze bylo úspěšně dokončeno.", "Vyprázdnění databáze");
    Form1->Vyprzdnitdatabzi1.Click();
    EXPECT_EQ(CountRecords("VýpůjčkyArchiv.db"), 0);
    EXPECT_EQ(CountRecords("Výpůjčky.db"), 1);
    EXPECT_EQ(Form1->Query3.SQL.Lines(), (std::vector<std::string>{"SELECT * FROM VýpůjčkyArchiv", "ORDER BY Vraceno"}));
    EXPECT_TRUE(Form1->Query3.Active());
    EXPECT_EQ(Form1->DBGrid8.RowCount(), 0);
    EXPECT_EQ(Form1->RadioGroup1.ItemIndex(), 1);
}

TEST_F(ArchivePageTest, EmptyingEveryTableAsksAndKeepsTheKeywords)
{
    FillEveryTable();
    StartProgram();
    const std::vector<int> full = {3, 1, 1, 1, 1, 1, 1, 1};
    ASSERT_EQ(Counts(), full);

    dialogs_->Expect(kEmptyAllQuestion, "Vyprázdnění databází", ui::IDNO);
    Form1->Vyprzdnitvechnydatabze1.Click();
    EXPECT_EQ(Counts(), full);

    Form1->Query1.SetFilter("Kod='K1'");
    Form1->Query1.SetFiltered(true);
    dialogs_->Expect(kEmptyAllQuestion, "Vyprázdnění databází", ui::IDYES);
    dialogs_->Expect("Vyprázdnění databází bylo úspěšně dokončeno.", "Vyprázdnění databází");
    Form1->Vyprzdnitvechnydatabze1.Click();
    EXPECT_EQ(Counts(), std::vector<int>(8, 0));
    EXPECT_EQ(CountRecords("KlicovaSlova.DB"), 1);
    EXPECT_EQ(Form1->Query1.SQL.Lines(), (std::vector<std::string>{"SELECT * FROM Knihy", "ORDER BY Kod"}));
    EXPECT_FALSE(Form1->Query1.Filtered());
    for (data::TQuery* query : {&Form1->Query1, &Form1->Query2, &Form1->Query3})
        EXPECT_TRUE(query->Active());
    EXPECT_EQ(Form1->DBGrid4.RowCount(), 0);

    // The emptied library takes new records at once.
    ClickTab(4);
    AsUser([] { Form1->DBNavigator2.BtnClick(ui::TNavigateBtn::nbInsert); });
    Form1->Table5.FieldByName("Nazev").SetAsString("1.A");
    AsUser([] { Form1->DBNavigator2.BtnClick(ui::TNavigateBtn::nbPost); });
    EXPECT_EQ(CountRecords("Číselníky02.db"), 1);
}

// Empties the eight tables as the program does, killed right after the n-th table (none: -1).
int EmptyAndDieAfter(int n)
{
    std::vector<std::unique_ptr<data::TTable>> tables;
    std::vector<data::TTable*> order;
    for (const std::string& file : kEmptied) {
        tables.push_back(std::make_unique<data::TTable>());
        tables.back()->TableName = file;
        tables.back()->Open();
        order.push_back(tables.back().get());
    }
    app::EmptyTablesTogether(order, [n](int emptied) {
        if (emptied == n)
            raise(SIGKILL);
    });
    return 0;
}

class EmptyingKilledTest : public ArchivePageTest, public ::testing::WithParamInterface<int> {};

TEST_P(EmptyingKilledTest, EveryTableEmptiedOrNone)
{
    FillEveryTable();
    const std::vector<int> full = Counts();
    const int status = RunInChild([] { return EmptyAndDieAfter(GetParam()); });
    if (GetParam() < 0) {
        EXPECT_EQ(status, 0);
        EXPECT_EQ(Counts(), std::vector<int>(8, 0));
    } else {
        EXPECT_EQ(status, 128 + SIGKILL);
        EXPECT_EQ(Counts(), full) << "killed after table " << GetParam();
        // The program starts on the library as it was.
        StartProgram();
        EXPECT_EQ(Form1->DBGrid4.RowCount(), 1);
    }
    EXPECT_EQ(CountRecords("KlicovaSlova.DB"), 1);
}

INSTANTIATE_TEST_SUITE_P(KilledAfter, EmptyingKilledTest, ::testing::Values(-1, 0, 1, 3, 5, 6, 7));

} // namespace
