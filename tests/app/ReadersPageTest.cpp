// The readers page: the quick filter's SQL lines from typed keys, the active/inactive boxes and
// their keys, the sort cycle, and editing and deleting with their refusals.

#include "ReadersPageSupport.h"

#include "catalogue/OdebratCtenare.h"
#include "catalogue/PridatCtenare.h"
#include "platform/data/DataSet.h"

using namespace apptest;
using Lines = std::vector<std::string>;

namespace {

class ReadersPage : public ReadersPageTest {
protected:
    void SetUp() override
    {
        ReadersPageTest::SetUp();
        novak_ = AddReader("Novák Jan", true, "8.A", "", "Žák");
        novakova_ = AddReader("Nováková Eva", true, "5.B", "brýle", "Žák");
        dvorak_ = AddReader("Dvořák Petr", true, "8.C", "", "Učitel");
        stastna_ = AddReader("Šťastná Jana", true, "3.A", "", "Žák");
        novotny_ = AddReader("Novotný Karel", false, "8.A", "", "Žák");
        obrien_ = AddReader("O\"Brien Tom", true, "7.A", "", "Host");
    }

    void ExpectWarning(const std::string& text, const std::string& title, std::size_t index = 0)
    {
        ASSERT_GT(dialogs_->Messages().size(), index);
        const auto& message = dialogs_->Messages()[index];
        EXPECT_EQ(message.Text, text);
        EXPECT_EQ(message.Caption, title);
        EXPECT_EQ(message.Icon(), ui::MB_ICONWARNING);
        EXPECT_EQ(message.Buttons(), ui::MB_OK);
    }

    void ExpectLoansAtRest()
    {
        EXPECT_EQ(Form1->Table3.Filter(), "VracenoB='False'");
        EXPECT_TRUE(Form1->Table3.Filtered());
        EXPECT_TRUE(Form1->TabbedNotebook1.Visible());
    }

    void ExpectDeleteQuestion(int answer)
    {
        dialogs_->Expect("Opravdu chcete odebrat vybraného čtenáře?", "Odebrání čtenáře", answer);
    }

    std::int64_t novak_ = 0, novakova_ = 0, dvorak_ = 0, stastna_ = 0, novotny_ = 0, obrien_ = 0;
};

// ---- Quick filter: what the typed keys build, and what the list then shows. ----

struct FilterCase {
    const char* label;
    std::string name, schoolClass, category;
    Lines sql;
    Lines shown;
};

class ReadersQuickFilter : public ReadersPage, public ::testing::WithParamInterface<FilterCase> {};

TEST_P(ReadersQuickFilter, TypedKeysBuildTheLinesAndTheList)
{
    OpenReadersPage();
    const FilterCase& c = GetParam();
    TypeInto(Form1->Edit10, c.name);
    TypeInto(Form1->Edit11, c.schoolClass);
    TypeInto(Form1->Edit12, c.category);
    EXPECT_EQ(SqlLines(), c.sql);
    EXPECT_TRUE(Form1->Query2.Active());
    EXPECT_EQ(Shown(), c.shown);
    EXPECT_TRUE(dialogs_->Messages().empty()) << dialogs_->Messages()[0].Text;
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, ReadersQuickFilter,
    ::testing::Values(
        FilterCase{"Empty",
                   "",
                   "",
                   "",
                   {"SELECT * FROM Čtenáři", "ORDER BY Jmeno"},
                   {"Dvořák Petr", "Novák Jan", "Nováková Eva", "Novotný Karel", "O\"Brien Tom", "Šťastná Jana"}},
        FilterCase{"NameAndClass",
                   "No",
                   "8",
                   "",
                   {"SELECT * FROM Čtenáři", "WHERE Jmeno LIKE \"No%\"", " AND Trida LIKE \"8%\"", "ORDER BY Jmeno"},
                   {"Novák Jan", "Novotný Karel"}},
        FilterCase{"CategoryAloneIsTheWhereLine",
                   "",
                   "",
                   "Uč",
                   {"SELECT * FROM Čtenáři", "WHERE Kategorie LIKE \"Uč%\"", "ORDER BY Jmeno"},
                   {"Dvořák Petr"}},
        FilterCase{"CzechLettersCaseIgnored",
                   "šť",
                   "",
                   "",
                   {"SELECT * FROM Čtenáři", "WHERE Jmeno LIKE \"šť%\"", "ORDER BY Jmeno"},
                   {"Šťastná Jana"}},
        FilterCase{"DoubleQuoteIsText",
                   "O\"B",
                   "",
                   "",
                   {"SELECT * FROM Čtenáři", "WHERE Jmeno LIKE \"O\"\"B%\"", "ORDER BY Jmeno"},
                   {"O\"Brien Tom"}},
        FilterCase{"ApostropheIsText",
                   "D'A",
                   "",
                   "Ž",
                   {"SELECT * FROM Čtenáři", "WHERE Jmeno LIKE \"D'A%\"", " AND Kategorie LIKE \"Ž%\"", "ORDER BY Jmeno"},
                   {}}),
    [](const auto& tested) { return std::string(tested.param.label); });

TEST_F(ReadersPage, AllBoxesEmptyListsEveryReaderByName)
{
    OpenReadersPage();
    EXPECT_EQ(SqlLines(), (Lines{"SELECT * FROM Čtenáři", "ORDER BY Jmeno"}));
    EXPECT_EQ(Shown(), (Lines{"Dvořák Petr", "Novák Jan", "Nováková Eva", "Novotný Karel", "O\"Brien Tom",
                              "Šťastná Jana"}));
    EXPECT_EQ(Shown(4), (Lines{"Aktivní", "Aktivní", "Aktivní", "Neaktivní", "Aktivní", "Aktivní"}));
    EXPECT_TRUE(Form1->CheckBox8.Checked());
    EXPECT_TRUE(Form1->CheckBox7.Checked());
    EXPECT_FALSE(Form1->Query2.Filtered());
}

// ---- The active / inactive boxes. ----

TEST_F(ReadersPage, AtLeastOneBoxStaysTickedAndTheFilterSurvivesRebuilds)
{
    OpenReadersPage();
    QTest::mouseClick(&Form1->CheckBox8, Qt::LeftButton);
    EXPECT_EQ(Form1->Query2.Filter(), "Aktivni='False'");
    EXPECT_TRUE(Form1->Query2.Filtered());
    EXPECT_EQ(Shown(), (Lines{"Novotný Karel"}));

    // Clearing the last ticked box ticks it again at once; the list stays on inactive readers.
    QTest::mouseClick(&Form1->CheckBox7, Qt::LeftButton);
    EXPECT_TRUE(Form1->CheckBox7.Checked());
    EXPECT_FALSE(Form1->CheckBox8.Checked());
    EXPECT_EQ(Form1->Query2.Filter(), "Aktivni='False'");
    EXPECT_EQ(Shown(), (Lines{"Novotný Karel"}));

    // Typing and sorting rebuild the text; the filter stays.
    TypeInto(Form1->Edit11, "8");
    QTest::mouseClick(&Form1->BitBtn21, Qt::LeftButton);
    EXPECT_EQ(Shown(), (Lines{"Novotný Karel"}));

    QTest::mouseClick(&Form1->CheckBox8, Qt::LeftButton);
    EXPECT_FALSE(Form1->Query2.Filtered());
    EXPECT_EQ(Shown(), (Lines{"Dvořák Petr", "Novák Jan", "Novotný Karel"}));
    QTest::mouseClick(&Form1->CheckBox7, Qt::LeftButton);
    EXPECT_EQ(Form1->Query2.Filter(), "Aktivni='True'");
    EXPECT_TRUE(Form1->Query2.Filtered());
    EXPECT_EQ(Shown(), (Lines{"Dvořák Petr", "Novák Jan"}));
    EXPECT_TRUE(dialogs_->Messages().empty());
}

struct KeyCase {
    const char* label;
    Qt::Key key;
    bool toggles;
};

class ActiveBoxKeys : public ReadersPage, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(ActiveBoxKeys, PageKeysInvertTheBoxAsAClickWould)
{
    OpenReadersPage();
    const KeyCase& c = GetParam();
    Form1->CheckBox7.SetFocus();
    QTest::keyClick(&Form1->CheckBox7, c.key);
    EXPECT_EQ(Form1->CheckBox7.Checked(), !c.toggles);
    EXPECT_EQ(Form1->Query2.Filtered(), c.toggles);
    if (c.toggles) {
        EXPECT_EQ(Form1->Query2.Filter(), "Aktivni='True'");
        // The same key on the other box: the last ticked box comes back at once.
        QTest::keyClick(&Form1->CheckBox8, c.key);
        EXPECT_TRUE(Form1->CheckBox8.Checked());
        EXPECT_EQ(Form1->Query2.Filter(), "Aktivni='True'");
        QTest::keyClick(&Form1->CheckBox7, c.key);
        EXPECT_FALSE(Form1->Query2.Filtered());
    }
}

INSTANTIATE_TEST_SUITE_P(Keys, ActiveBoxKeys,
                         ::testing::Values(KeyCase{"PageUp", Qt::Key_PageUp, true},
                                           KeyCase{"PageDown", Qt::Key_PageDown, true},
                                           KeyCase{"Down", Qt::Key_Down, false}, KeyCase{"Letter", Qt::Key_A, false},
                                           KeyCase{"Enter", Qt::Key_Return, false}),
                         [](const auto& tested) { return std::string(tested.param.label); });

TEST(CheckBoxPageKeys, OnlyPageUpAndPageDownInvert)
{
    ui::TCheckBox box(nullptr, "x");
    int clicks = 0;
    box.OnClick = [&clicks](ui::TObject*) { ++clicks; };
    EXPECT_FALSE(ui::TogglesOnPageKey(box, ui::VK_UP));
    EXPECT_FALSE(ui::TogglesOnPageKey(box, ui::VK_SPACE));
    EXPECT_EQ(clicks, 0);
    EXPECT_TRUE(ui::TogglesOnPageKey(box, ui::VK_PRIOR));
    EXPECT_TRUE(box.Checked());
    EXPECT_TRUE(ui::TogglesOnPageKey(box, ui::VK_NEXT));
    EXPECT_FALSE(box.Checked());
    EXPECT_EQ(clicks, 2);
}

// ---- Sorting. ----

TEST_F(ReadersPage, NameButtonCyclesThroughUnsortedDescendingAscending)
{
    OpenReadersPage();
    const auto& sort = Form1->ReadersSort();
    QTest::mouseClick(&Form1->BitBtn20, Qt::LeftButton);
    EXPECT_EQ(SqlLines().back(), "ORDER BY Cislo DESC");
    EXPECT_EQ(Shown().front(), "O\"Brien Tom"); // the newest reader first
    EXPECT_EQ(sort.GlyphOf(0).State, 2);
    EXPECT_TRUE(sort.GlyphOf(0).FromFile);

    QTest::mouseClick(&Form1->BitBtn20, Qt::LeftButton);
    EXPECT_EQ(SqlLines().back(), "ORDER BY Jmeno DESC");
    EXPECT_EQ(Shown().front(), "Šťastná Jana");
    EXPECT_EQ(sort.GlyphOf(0).State, 0);

    QTest::mouseClick(&Form1->BitBtn20, Qt::LeftButton);
    EXPECT_EQ(SqlLines(), (Lines{"SELECT * FROM Čtenáři", "ORDER BY Jmeno"}));
    EXPECT_EQ(Shown().front(), "Dvořák Petr");
    EXPECT_EQ(sort.GlyphOf(0).State, 1);
    EXPECT_EQ(Form1->SortJmeno, 1);
}

TEST_F(ReadersPage, ClassButtonTurnsTheNameColumnToUnsorted)
{
    OpenReadersPage();
    TypeInto(Form1->Edit12, "Ž");
    QTest::mouseClick(&Form1->BitBtn21, Qt::LeftButton);
    EXPECT_EQ(Form1->SortJmeno, 2);
    EXPECT_EQ(Form1->SortTrida, 0);
    EXPECT_EQ(Form1->ReadersSort().GlyphOf(0).State, 2);
    EXPECT_EQ(Form1->ReadersSort().GlyphOf(1).State, 0);
    EXPECT_EQ(SqlLines(), (Lines{"SELECT * FROM Čtenáři", "WHERE Kategorie LIKE \"Ž%\"", "ORDER BY Trida DESC"}));
    EXPECT_EQ(Shown(1), (Lines{"8.A", "8.A", "5.B", "3.A"}));

    QTest::mouseClick(&Form1->BitBtn22, Qt::LeftButton);
    EXPECT_EQ(Form1->SortTrida, 2);
    EXPECT_EQ(SqlLines().back(), "ORDER BY Kategorie DESC");
}

// ---- Add and edit. ----

TEST_F(ReadersPage, AddButtonAndMenuItemOpenTheAddDialog)
{
    StartProgram();
    ASSERT_TRUE(Form1->Pidat2.Enabled());
    int page = -1;
    dialogs_->ExpectModal(*Form2, std::function<void(TForm2&)>([&page](TForm2&) {
                              page = Form1->TabbedNotebook1.PageIndex();
                          }),
                          ui::mrCancel);
    Form1->Pidat2.Click();
    EXPECT_EQ(page, 2);
    dialogs_->ExpectModal("Form2", {}, ui::mrCancel);
    QTest::mouseClick(&Form1->BitBtn1, Qt::LeftButton);
    EXPECT_EQ(dialogs_->ModalsShown(), (Lines{"Form2", "Form2"}));
}

TEST_F(ReadersPage, EditPutsTheReadersTableOnTheHighlightedReader)
{
    OpenReadersPage();
    Highlight("Nováková Eva");
    std::string shownName;
    dialogs_->ExpectModal(*Form3, std::function<void(TForm3&)>([&shownName](TForm3& f) {
                              shownName = f.Edit1.Text();
                          }),
                          ui::mrCancel);
    QTest::mouseClick(&Form1->BitBtn2, Qt::LeftButton);
    EXPECT_EQ(shownName, "Nováková Eva");
    EXPECT_EQ(Form1->Table1.Filter(), "Cislo='" + std::to_string(novakova_) + "'");
    EXPECT_TRUE(Form1->Table1.Filtered());
    EXPECT_EQ(Form1->Table1.RecordCount(), 1);
}

TEST_F(ReadersPage, EditWithAnEmptyListIsRefused)
{
    OpenReadersPage();
    TypeInto(Form1->Edit10, "Zzz");
    ASSERT_EQ(Form1->DBGrid1.RowCount(), 0);
    dialogs_->Expect("Žádný čtenář není vybrán!", "Nelze upravit čtenáře");
    QTest::mouseClick(&Form1->BitBtn2, Qt::LeftButton);
    ExpectWarning("Žádný čtenář není vybrán!", "Nelze upravit čtenáře");
    EXPECT_TRUE(dialogs_->ModalsShown().empty());
}

// ---- Delete. ----

TEST_F(ReadersPage, DeleteRemovesAReaderWithoutLoans)
{
    OpenReadersPage();
    TypeInto(Form1->Edit10, "Nov");
    Highlight("Nováková Eva");
    ExpectDeleteQuestion(ui::IDYES);
    QTest::mouseClick(&Form1->BitBtn3, Qt::LeftButton);
    EXPECT_EQ(CountRecords("Čtenáři.db"), 5);
    EXPECT_EQ(CountRecords("Čtenáři.db", "Cislo='" + std::to_string(novakova_) + "'"), 0);
    EXPECT_EQ(Shown(), (Lines{"Novák Jan", "Novotný Karel"}));
    EXPECT_EQ(Form1->DBGrid1.CurrentRow(), 0);
    ExpectLoansAtRest();
    EXPECT_EQ(dialogs_->Messages().size(), 1u);
    EXPECT_EQ(dialogs_->Messages()[0].Icon(), ui::MB_ICONQUESTION);
    EXPECT_EQ(dialogs_->Messages()[0].Buttons(), ui::MB_YESNO);
}

TEST_F(ReadersPage, DeleteAnsweredNoChangesNothing)
{
    OpenReadersPage();
    Highlight("Dvořák Petr");
    ExpectDeleteQuestion(ui::IDNO);
    QTest::mouseClick(&Form1->BitBtn3, Qt::LeftButton);
    EXPECT_EQ(CountRecords("Čtenáři.db"), 6);
}

// Every loan counts, returned or not; the refusal leaves the open loans on the desk's list.
class DeleteRefused : public ReadersPage, public ::testing::WithParamInterface<bool> {};

TEST_P(DeleteRefused, ReaderWithLoans)
{
    const bool returned = GetParam();
    const std::int64_t book = AddBook("K1", "Kniha");
    AddLoan(returned ? dvorak_ : novak_, book, DayText(-20), returned ? DayText(-10) : "", 10);
    AddLoan(stastna_, book, DayText(-3));
    OpenReadersPage();
    Highlight(returned ? "Dvořák Petr" : "Novák Jan");
    ExpectDeleteQuestion(ui::IDYES);
    dialogs_->Expect("Tento čtenář je v databázi výpůjček - nelze ho odebrat!", "Nelze odebrat čtenáře");
    QTest::mouseClick(&Form1->BitBtn3, Qt::LeftButton);
    ExpectWarning("Tento čtenář je v databázi výpůjček - nelze ho odebrat!", "Nelze odebrat čtenáře", 1);
    EXPECT_EQ(CountRecords("Čtenáři.db"), 6);
    ExpectLoansAtRest();
    EXPECT_EQ(Form1->Table3.RecordCount(), returned ? 1 : 2);
    EXPECT_EQ(Shown().size(), 6u);
}

INSTANTIATE_TEST_SUITE_P(Loans, DeleteRefused, ::testing::Values(true, false),
                         [](const auto& tested) { return std::string(tested.param ? "OnlyReturned" : "Open"); });

TEST_F(ReadersPage, DeleteWithNoReaderListedDeletesNothing)
{
    OpenReadersPage();
    TypeInto(Form1->Edit10, "Zzz");
    ExpectDeleteQuestion(ui::IDYES);
    QTest::mouseClick(&Form1->BitBtn3, Qt::LeftButton);
    EXPECT_EQ(CountRecords("Čtenáři.db"), 6);
    EXPECT_EQ(dialogs_->Messages().size(), 1u);
    ExpectLoansAtRest();
}

// A failing delete is shown, and the loans and the list come back all the same.
TEST_F(ReadersPage, DeleteFailureIsShownAndTheLoansFilterRestored)
{
    OpenReadersPage();
    Highlight("Dvořák Petr");
    Form1->Table1.ReadOnly = true;
    ExpectDeleteQuestion(ui::IDYES);
    dialogs_->Answer(ui::IDOK);
    QTest::mouseClick(&Form1->BitBtn3, Qt::LeftButton);
    Form1->Table1.ReadOnly = false;
    ASSERT_EQ(dialogs_->Messages().size(), 2u);
    EXPECT_EQ(dialogs_->Messages()[1].Icon(), ui::MB_ICONERROR);
    EXPECT_FALSE(dialogs_->Messages()[1].Text.empty());
    EXPECT_EQ(CountRecords("Čtenáři.db"), 6);
    ExpectLoansAtRest();
    EXPECT_TRUE(Form1->Query2.Active());
    EXPECT_EQ(Shown().size(), 6u);
}

TEST_F(ReadersPage, TabClickRebuildsTheListFromTheBoxes)
{
    OpenReadersPage();
    TypeInto(Form1->Edit11, "8");
    // The lending desk's refresh puts its own text on the list and switches Table1's filter off.
    ClickTab(0);
    ASSERT_EQ(SqlLines(), (Lines{"SELECT * FROM Čtenáři", "ORDER BY Jmeno"}));
    ClickTab(2);
    EXPECT_EQ(SqlLines(), (Lines{"SELECT * FROM Čtenáři", "WHERE Trida LIKE \"8%\"", "ORDER BY Jmeno"}));
    EXPECT_TRUE(Form1->Table1.Filtered());
    EXPECT_EQ(Shown(), (Lines{"Dvořák Petr", "Novák Jan", "Novotný Karel"}));
}

} // namespace
