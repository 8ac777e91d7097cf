// The loans overview, driven as a librarian drives it: the filter its controls build, the day
// word, finding a book by code or by title, and the information windows.

#include "AppFixture.h"

#include "app/Hlavni.h"
#include "catalogue/OdebratCtenare.h"
#include "catalogue/PridatKnihu.h"
#include "platform/ui/Text.h"

#include <QTest>

#include <functional>

using namespace apptest;

namespace {

class OverviewPageTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        novak_ = AddReader("Novák Jan");
        dvorak_ = AddReader("Dvořák Petr", false);
        capek_ = AddReader("Čapek Karel");
        babicka_ = AddBook("K001", "Babička", true);
        krakatit_ = AddBook("K002", "Krakatit");
        rur_ = AddBook("K003", "R.U.R.", true);
        AddLoan(novak_, babicka_, DayText(-70), "", 70);
        AddLoan(capek_, rur_, DayText(-3), "", 3);
        AddLoan(novak_, krakatit_, DayText(-40), DayText(-30), 10);
        AddLoan(dvorak_, krakatit_, DayText(-20), DayText(-18), 2);
    }
    void Open()
    {
        StartProgram();
        ClickTab(3);
    }
    std::string Filter() const { return Form1->Table3.Filtered() ? Form1->Table3.Filter() : "<off>"; }
    static void Click(ui::TCheckBox& box) { QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(6, box.height() / 2)); }
    static void Retype(QWidget* field, const std::string& text)
    {
        field->setFocus();
        // Home, Shift+End selects the text (Ctrl+A is the main menu's "Archivovat výpůjčky...").
        QTest::keyClick(field, Qt::Key_Home);
        QTest::keyClick(field, Qt::Key_End, Qt::ShiftModifier);
        QTest::keyClick(field, Qt::Key_Backspace);
        TypeKeys(field, ui::Q(text));
    }
    static void Choose(ui::TComboBox& box, const std::string& item)
    {
        const int index = box.IndexOf(item);
        ASSERT_GE(index, 0) << item;
        box.setCurrentIndex(index);
        emit box.activated(index);
    }
    // Up or down arrows of the day count, pressed `times` times.
    static void Step(int times)
    {
        for (int i = 0; i < std::abs(times); ++i)
            Form1->CSpinEdit1.ClickButton(times > 0 ? ui::TUDBtnType::btNext : ui::TUDBtnType::btPrev);
    }
    std::int64_t novak_ = 0, dvorak_ = 0, capek_ = 0, babicka_ = 0, krakatit_ = 0, rur_ = 0;
};

TEST_F(OverviewPageTest, StartsInFrontWithOpenLoansAndEveryReaderAndTitle)
{
    StartProgram();
    EXPECT_EQ(Form1->TabbedNotebook1.PageIndex(), 3);
    EXPECT_EQ(Filter(), "VracenoB='False'");
    EXPECT_EQ(Form1->DBGrid4.RowCount(), 2);
    EXPECT_EQ(Form1->ComboBox6.Items(),
              (std::vector<std::string>{"-Všichni-", "Čapek Karel", "Dvořák Petr", "Novák Jan"}));
    EXPECT_EQ(Form1->ComboBox9.Items(), (std::vector<std::string>{"NIC", std::to_string(capek_),
                                                                  std::to_string(dvorak_), std::to_string(novak_)}));
    EXPECT_EQ(Form1->ComboBox7.Items(), (std::vector<std::string>{"-Všechny-", "Babička", "Krakatit", "R.U.R."}));
    EXPECT_EQ(Form1->ComboBox10.Items(), (std::vector<std::string>{"nic", std::to_string(babicka_),
                                                                   std::to_string(krakatit_), std::to_string(rur_)}));
    EXPECT_EQ(Form1->Label17.Caption(), "dní");
    EXPECT_FALSE(Form1->ComboBox8.Enabled());
    EXPECT_FALSE(Form1->Edit8.Enabled());
    EXPECT_FALSE(Form1->BitBtn13.Enabled());
    EXPECT_FALSE(Form1->BitBtn14.Enabled());
    EXPECT_TRUE(Form1->ComboBox6.Focused());
    EXPECT_EQ(Form1->DBGrid4.VisibleTitles(),
              (std::vector<std::string>{"Čtenář", "Kód knihy", "Kniha", "Půjčeno", "Vráceno", "Dnů"}));
}

struct FilterCase {
    const char* name;
    std::function<void()> act;
    const char* filter;
    int rows;
};

TEST_F(OverviewPageTest, ControlsBuildTheFilterTheyShow)
{
    Open();
    const std::string novak = std::to_string(novak_), krakatit = std::to_string(krakatit_);
    const FilterCase cases[] = {
        {"days on, more than 60, open only", [] { Click(Form1->CheckBox5); }, "Dnu>60 AND VracenoB='False'", 1},
        {"returned only", [] { Click(Form1->CheckBox3); }, "Dnu>60 AND VracenoB='True'", 0},
        {"fewer than 60", [] { Choose(Form1->ComboBox8, "méně"); }, "Dnu<60 AND VracenoB='True'", 2},
        {"neither state: days alone", [] { Click(Form1->CheckBox3); }, "Dnu<60", 3},
        {"ten days typed", [] { Retype(&Form1->Edit8, "10"); }, "Dnu<10", 2},
        {"days off, neither state: every loan", [] { Click(Form1->CheckBox5); }, "", 4},
        {"a reader", [this] { Choose(Form1->ComboBox6, "Novák Jan"); }, "CisloCtenare='<novak>'", 2},
        {"the reader's open loans", [] { Click(Form1->CheckBox4); }, "VracenoB='False' AND CisloCtenare='<novak>'", 1},
        {"a book by code", [] { Retype(&Form1->Edit4, "K002"); },
         "VracenoB='False' AND CisloCtenare='<novak>' AND CisloKnihy='<krakatit>'", 0},
        {"returned instead", [] { Click(Form1->CheckBox3); },
         "VracenoB='True' AND CisloCtenare='<novak>' AND CisloKnihy='<krakatit>'", 1},
        {"any reader again", [] { Choose(Form1->ComboBox6, "-Všichni-"); }, "VracenoB='True' AND CisloKnihy='<krakatit>'", 2},
        {"any book by title", [] { Choose(Form1->ComboBox7, "-Všechny-"); }, "VracenoB='True'", 2},
    };
    for (const FilterCase& c : cases) {
        c.act();
        std::string expected = c.filter;
        for (const auto& [tag, value] : {std::pair{std::string("<novak>"), novak}, {"<krakatit>", krakatit}})
            for (std::size_t at; (at = expected.find(tag)) != std::string::npos;)
                expected.replace(at, tag.size(), value);
        EXPECT_EQ(Filter(), expected) << c.name;
        EXPECT_EQ(Form1->DBGrid4.RowCount(), c.rows) << c.name;
    }
}

TEST_F(OverviewPageTest, ExampleFilterOfDaysStateAndReader)
{
    Open();
    Click(Form1->CheckBox5);
    Choose(Form1->ComboBox6, "Novák Jan");
    EXPECT_EQ(Filter(), "Dnu>60 AND VracenoB='False' AND CisloCtenare='" + std::to_string(novak_) + "'");
    ASSERT_EQ(Form1->DBGrid4.RowCount(), 1);
    EXPECT_EQ(Form1->DBGrid4.CellText(0, 0), "Novák Jan");
    EXPECT_EQ(Form1->DBGrid4.CellText(0, 1), "K001");
    EXPECT_TRUE(Form1->BitBtn13.Enabled());
    EXPECT_FALSE(Form1->BitBtn14.Enabled());
}

TEST_F(OverviewPageTest, DayWordFollowsTheCount)
{
    Open();
    Click(Form1->CheckBox5);
    const std::pair<int, const char*> words[] = {{0, "dní"}, {1, "den"}, {2, "dny"}, {3, "dny"},
                                                 {4, "dny"}, {5, "dní"}, {21, "dní"}, {32000, "dní"}};
    for (const auto& [days, word] : words) {
        Retype(&Form1->Edit8, std::to_string(days));
        EXPECT_EQ(Form1->Label17.Caption(), word) << days;
        EXPECT_EQ(Filter(), "Dnu>" + std::to_string(days) + " AND VracenoB='False'");
    }
    // Stepping: 1 -> 2 "dny", 4 -> 5 "dní", and no wrapping below 0 or above 32000.
    Retype(&Form1->Edit8, "1");
    Step(1);
    EXPECT_EQ(Form1->Edit8.Text(), "2");
    EXPECT_EQ(Form1->Label17.Caption(), "dny");
    Step(2);
    EXPECT_EQ(Form1->Label17.Caption(), "dny");
    Step(1);
    EXPECT_EQ(Form1->Edit8.Text(), "5");
    EXPECT_EQ(Form1->Label17.Caption(), "dní");
    EXPECT_EQ(Filter(), "Dnu>5 AND VracenoB='False'");
    Step(-6);
    EXPECT_EQ(Form1->Edit8.Text(), "0");
    Retype(&Form1->Edit8, "32000");
    Step(1);
    EXPECT_EQ(Form1->Edit8.Text(), "32000");
}

TEST_F(OverviewPageTest, EmptyOrWrongDayBoxCountsAsTheUpDownPosition)
{
    Open();
    Click(Form1->CheckBox5);
    Retype(&Form1->Edit8, "7");
    for (const char* typed : {"", "x", "-3", "x5"}) {
        Retype(&Form1->Edit8, typed);
        EXPECT_EQ(Filter(), "Dnu>7 AND VracenoB='False'") << typed;
        EXPECT_EQ(Form1->Label17.Caption(), "dní") << typed;
    }
    // Past the range: the last number in range typed on the way counts.
    Retype(&Form1->Edit8, "40000");
    EXPECT_EQ(Filter(), "Dnu>4000 AND VracenoB='False'");
    Retype(&Form1->Edit8, "");
    Form1->CSpinEdit1.ClickButton(ui::TUDBtnType::btNext);
    EXPECT_EQ(Form1->Edit8.Text(), "4001");
}

TEST_F(OverviewPageTest, TitleFillsTheCodeAndCodeFillsTheTitle)
{
    Open();
    const std::vector<std::string> booksList = Form1->Query1.SQL.Lines();
    Choose(Form1->ComboBox7, "R.U.R.");
    EXPECT_EQ(Form1->Edit4.Text(), "K003");
    EXPECT_EQ(Form1->ComboBox10.Text(), std::to_string(rur_));
    EXPECT_EQ(Filter(), "VracenoB='False' AND CisloKnihy='" + std::to_string(rur_) + "'");
    EXPECT_TRUE(Form1->BitBtn14.Enabled());

    Retype(&Form1->Edit4, "K001");
    EXPECT_EQ(Form1->ComboBox7.Text(), "Babička");
    EXPECT_EQ(Form1->ComboBox7.ItemIndex(), 1);
    EXPECT_EQ(Form1->ComboBox10.Text(), std::to_string(babicka_));
    EXPECT_EQ(Form1->DBGrid4.RowCount(), 1);

    // A code no book has: any title, info switched off.
    Retype(&Form1->Edit4, "X99");
    EXPECT_EQ(Form1->ComboBox7.Text(), "-Všechny-");
    EXPECT_EQ(Form1->ComboBox10.Text(), "nic");
    EXPECT_EQ(Filter(), "VracenoB='False'");
    EXPECT_FALSE(Form1->BitBtn14.Enabled());
    // The look-ups leave the books list alone.
    EXPECT_FALSE(Form1->Query1.Filtered());
    EXPECT_EQ(Form1->Query1.SQL.Lines(), booksList);
}

TEST_F(OverviewPageTest, TypedNameOrTitleOfNobodyMatchesNoLoans)
{
    Open();
    Click(Form1->CheckBox4); // every loan
    Retype(&Form1->ComboBox6, "Zzz");
    EXPECT_EQ(Form1->ComboBox6.ItemIndex(), -1);
    EXPECT_EQ(Form1->DBGrid4.RowCount(), 0);
    EXPECT_FALSE(Form1->BitBtn13.Enabled());
    Choose(Form1->ComboBox6, "-Všichni-");
    EXPECT_EQ(Form1->DBGrid4.RowCount(), 4);

    Retype(&Form1->Edit4, "K002");
    Retype(&Form1->ComboBox7, "Xyz");
    EXPECT_EQ(Form1->ComboBox7.Text(), "Xyz");
    EXPECT_EQ(Form1->Edit4.Text(), "");
    EXPECT_EQ(Form1->DBGrid4.RowCount(), 0);
    EXPECT_FALSE(Form1->BitBtn14.Enabled());
}

TEST_F(OverviewPageTest, QuotesInTypedTextsAreOnlyText)
{
    AddBook("O'1", "Kniha o'Neill");
    Open();
    Click(Form1->CheckBox4);
    Retype(&Form1->Edit4, "O'1");
    EXPECT_EQ(Form1->ComboBox7.Text(), "Kniha o'Neill");
    EXPECT_EQ(Form1->DBGrid4.RowCount(), 0);
    Choose(Form1->ComboBox7, "Kniha o'Neill");
    EXPECT_EQ(Form1->Edit4.Text(), "O'1");
    EXPECT_TRUE(dialogs_->Messages().empty());
}

TEST_F(OverviewPageTest, TitlesInCzechOrderWithCopiesInTableOrder)
{
    const std::int64_t chata = AddBook("K005", "Chata");
    const std::int64_t hora = AddBook("K006", "Hora");
    const std::int64_t copy = AddBook("K007", "Babička");
    Open();
    EXPECT_EQ(Form1->ComboBox7.Items(), (std::vector<std::string>{"-Všechny-", "Babička", "Babička", "Hora", "Chata",
                                                                  "Krakatit", "R.U.R."}));
    const auto n = [](std::int64_t v) { return std::to_string(v); };
    EXPECT_EQ(Form1->ComboBox10.Items(),
              (std::vector<std::string>{"nic", n(babicka_), n(copy), n(hora), n(chata), n(krakatit_), n(rur_)}));
}

TEST_F(OverviewPageTest, PickListsFollowChangesBetweenVisits)
{
    Open();
    data::TTable& readers = Form1->Table1;
    readers.SetFilter("Cislo='" + std::to_string(novak_) + "'");
    readers.SetFiltered(true);
    readers.Edit();
    readers.FieldByName("Jmeno").SetAsString("Adámek Jan");
    readers.Post();
    ClickTab(0);
    ClickTab(3);
    EXPECT_EQ(Form1->ComboBox6.Items(),
              (std::vector<std::string>{"-Všichni-", "Adámek Jan", "Čapek Karel", "Dvořák Petr"}));
    EXPECT_EQ(Form1->ComboBox9.Item(1), std::to_string(novak_));
    ClickTab(3);
    EXPECT_EQ(Form1->ComboBox6.Count(), 4);
    EXPECT_EQ(Form1->ComboBox6.Text(), "-Všichni-");
    EXPECT_EQ(Form1->ComboBox9.Text(), "NIC");
}

TEST_F(OverviewPageTest, PickListsChangedByOtherCodeAreFilledAgain)
{
    Open();
    const auto readers = Form1->ComboBox6.Items();
    const auto titles = Form1->ComboBox7.Items();
    const auto numbers = Form1->ComboBox10.Items();
    Form1->ComboBox7.DeleteItem(1);
    Form1->ComboBox10.AddItem("999");
    ClickTab(0);
    ClickTab(3);
    EXPECT_EQ(Form1->ComboBox6.Items(), readers);
    EXPECT_EQ(Form1->ComboBox7.Items(), titles);
    EXPECT_EQ(Form1->ComboBox10.Items(), numbers);
    EXPECT_EQ(Form1->ComboBox7.Text(), "-Všechny-");
}

TEST_F(OverviewPageTest, PickListsHoldWholeTablesWhateverFiltersStandOnThem)
{
    StartProgram();
    Form1->Table1.SetFilter("Cislo='" + std::to_string(novak_) + "'");
    Form1->Table1.SetFiltered(true);
    Form1->Table2.SetFilter("Cislo='" + std::to_string(rur_) + "'");
    Form1->Table2.SetFiltered(true);
    ClickTab(3);
    EXPECT_EQ(Form1->ComboBox6.Count(), 4);
    EXPECT_EQ(Form1->ComboBox7.Count(), 4);
    ClickTab(3);
    EXPECT_EQ(Form1->ComboBox7.Count(), Form1->ComboBox10.Count());
}

TEST_F(OverviewPageTest, ComingBackKeepsStatesButResetsPickLists)
{
    Open();
    Click(Form1->CheckBox5);
    Click(Form1->CheckBox3);
    Choose(Form1->ComboBox6, "Čapek Karel");
    Retype(&Form1->Edit4, "K003");
    ClickTab(0);
    EXPECT_EQ(Filter(), "VracenoB='False'");
    ClickTab(3);
    EXPECT_TRUE(Form1->CheckBox5.Checked());
    EXPECT_TRUE(Form1->CheckBox3.Checked());
    EXPECT_EQ(Form1->ComboBox6.Text(), "-Všichni-");
    // The code left in the box selects its title again.
    EXPECT_EQ(Form1->ComboBox7.Text(), "R.U.R.");
    EXPECT_EQ(Filter(), "Dnu>60 AND VracenoB='True' AND CisloKnihy='" + std::to_string(rur_) + "'");
}

TEST_F(OverviewPageTest, PageKeysToggleTheStateBoxes)
{
    Open();
    Form1->CheckBox3.setFocus();
    QTest::keyClick(&Form1->CheckBox3, Qt::Key_PageDown);
    EXPECT_TRUE(Form1->CheckBox3.Checked());
    EXPECT_FALSE(Form1->CheckBox4.Checked());
    EXPECT_EQ(Filter(), "VracenoB='True'");
    QTest::keyClick(&Form1->CheckBox3, Qt::Key_PageUp);
    EXPECT_EQ(Filter(), "");
}

TEST_F(OverviewPageTest, InfoButtonsShowTheChosenReaderAndBookReadOnly)
{
    Open();
    Choose(Form1->ComboBox6, "Čapek Karel");
    std::string shownReader, readerCaption;
    dialogs_->ExpectModal(*Form3, std::function<void(TForm3&)>([&](TForm3& d) {
                              shownReader = d.Edit1.Text();
                              readerCaption = d.Caption();
                              EXPECT_TRUE(d.Edit1.ReadOnly());
                              d.BitBtn1.Click();
                          }));
    QTest::mouseClick(&Form1->BitBtn13, Qt::LeftButton);
    EXPECT_EQ(shownReader, "Čapek Karel");
    EXPECT_EQ(readerCaption, "Info o čtenáři");

    Choose(Form1->ComboBox7, "Krakatit");
    std::string shownTitle, bookCaption;
    dialogs_->ExpectModal(*Form4, std::function<void(TForm4&)>([&](TForm4& d) {
                              shownTitle = d.Edit2.Text();
                              bookCaption = d.Caption();
                              EXPECT_TRUE(d.Edit2.ReadOnly());
                          }),
                          ui::mrOk);
    QTest::mouseClick(&Form1->BitBtn14, Qt::LeftButton);
    EXPECT_EQ(shownTitle, "Krakatit");
    EXPECT_EQ(bookCaption, "Info o knize");
    EXPECT_EQ(dialogs_->ModalsShown(), (std::vector<std::string>{"Form3", "Form4"}));
    // Nothing was written by looking.
    EXPECT_EQ(CountRecords("Čtenáři.db", "Jmeno='Čapek Karel' AND Aktivni='True'"), 1);
    EXPECT_EQ(Book("K002")->Nazev, "Krakatit");
}

} // namespace
