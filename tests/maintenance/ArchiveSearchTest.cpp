// The archive search: the criteria a librarian types give the archive page's list and count.

#include "AppFixture.h"
#include "ArchiveSupport.h"

#include "app/Hlavni.h"
#include "maintenance/HledaniVArchivu.h"

#include <QTest>

#include <functional>

using namespace apptest;
using archivetest::ArchiveRow;

namespace {

class ArchiveSearchTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        archivetest::AddArchived({
            {1, "Novák Jan", 1, "K001", "Babička", "1.9.2024", "10.9.2024", 9},
            {1, "Novák Jan", 2, "K002", "Krakatit", "2.10.2024", "20.10.2024", 18},
            {2, "Dvořák Petr", 1, "K001", "Babička", "10.2.2024", "1.3.2024", 20},
            {2, "Dvořák Petr", 3, "K003", "O'Neill a spol.", "5.5.2024", "6.5.2024", 1},
            {3, "NOVÁK JAN", 2, "K002", "Krakatit", "1.1.2024", "3.1.2024", 2},
        });
        StartProgram();
        // The archive page's sort choice: by days lent.
        Form1->RadioGroup1.SetItems({"Podle čtenáře", "Podle kódu knihy", "Podle názvu knihy", "Podle datumu půjčení",
                                     "Podle datumu vrácení", "Podle doby půjčení"});
        Form1->RadioGroup1.SetItemIndex(5);
    }
    // Shows the search, lets `act` fill it and press a button.
    void Search(const std::function<void(TForm7&)>& act)
    {
        dialogs_->ExpectModal(*Form7, std::function<void(TForm7&)>([act](TForm7& f) { act(f); }), ui::mrCancel);
        Form7->ShowModal();
    }
    // Days lent of the records the archive page lists, in its order.
    std::vector<int> Listed()
    {
        std::vector<int> days;
        data::TQuery& q = Form1->Query3;
        for (q.First(); !q.Eof(); q.Next())
            days.push_back(static_cast<int>(q.FieldByName("Dnu").AsInteger()));
        return days;
    }
};

TEST_F(ArchiveSearchTest, PickListsOfferEachNameOnceAndShowingLeavesTheListAlone)
{
    const std::vector<std::string> before = Form1->Query3.SQL.Lines();
    Search([](TForm7& f) {
        EXPECT_EQ(f.ComboBox1.Count(), 3);
        EXPECT_EQ(f.ComboBox1.Item(0), "-Všichni-");
        EXPECT_EQ(f.ComboBox1.Item(1), "Dvořák Petr");
        EXPECT_EQ(f.ComboBox1.Item(2), "Novák Jan");
        EXPECT_EQ(f.ComboBox1.Text(), "-Všichni-");
        EXPECT_EQ(f.ComboBox2.Items(),
                  (std::vector<std::string>{"-Všechny-", "Babička", "Krakatit", "O'Neill a spol."}));
        EXPECT_EQ(f.ComboBox2.Text(), "-Všechny-");
        f.BitBtn2.Click(); // Storno
    });
    EXPECT_EQ(Form1->Query3.SQL.Lines(), before);
    EXPECT_TRUE(Form1->Query3.Active());
}

struct SearchCase {
    const char* name;
    std::function<void(TForm7&)> fill;
    std::vector<int> found; // days lent of the records found, by days lent
    const char* count;
};

class SearchCriteriaTest : public ArchiveSearchTest, public ::testing::WithParamInterface<SearchCase> {};

TEST_P(SearchCriteriaTest, ListsWhatTheCriteriaMeetAndCountsIt)
{
    Search([](TForm7& f) {
        // Every box as a previous search may have left it.
        for (ui::TEdit* e : {&f.Edit1, &f.Edit2, &f.Edit3, &f.Edit4, &f.Edit5})
            e->SetText("");
        f.Edit6.SetText("0");
        f.Edit7.SetText("0");
        for (ui::TCheckBox* b : {&f.CheckBox1, &f.CheckBox2, &f.CheckBox3, &f.CheckBox4, &f.CheckBox5})
            b->SetChecked(false);
        GetParam().fill(f);
        f.BitBtn1.Click();
        EXPECT_EQ(f.ModalResult(), ui::mrOk);
    });
    EXPECT_EQ(Listed(), GetParam().found);
    EXPECT_TRUE(Form1->Label20.Visible());
    EXPECT_EQ(Form1->Label20.Caption(), GetParam().count);
    EXPECT_EQ(Form1->Query3.SQL.Lines().back(), "ORDER BY Dnu");
}

const char* const kFive = "Při vyhledávání v archivu bylo nalezeno 5 záznamů";

INSTANTIATE_TEST_SUITE_P(
    Criteria, SearchCriteriaTest,
    ::testing::Values(
        SearchCase{"None", [](TForm7&) {}, {1, 2, 9, 18, 20}, kFive},
        SearchCase{"Reader", [](TForm7& f) { TypeKeys(&f.ComboBox1, QStringLiteral("Novák Jan")); }, {9, 18},
                   "Při vyhledávání v archivu bylo nalezeno 2 záznamy"},
        SearchCase{"OtherReaders",
                   [](TForm7& f) {
                       f.ComboBox1.SetItemIndex(2);
                       f.CheckBox1.SetChecked(true);
                   },
                   {1, 2, 20},
                   "Při vyhledávání v archivu bylo nalezeno 3 záznamy"},
        SearchCase{"TitleWithAnApostrophe", [](TForm7& f) { f.ComboBox2.SetItemIndex(3); }, {1},
                   "Při vyhledávání v archivu byl nalezen 1 záznam."},
        SearchCase{"OtherCodes",
                   [](TForm7& f) {
                       QTest::keyClicks(&f.Edit1, QStringLiteral("K001"));
                       f.CheckBox2.SetChecked(true);
                   },
                   {1, 2, 18},
                   "Při vyhledávání v archivu bylo nalezeno 3 záznamy"},
        SearchCase{"LentAfterADayComparedAsDates", [](TForm7& f) { f.Edit2.SetText("5.5.2024"); }, {9, 18},
                   "Při vyhledávání v archivu bylo nalezeno 2 záznamy"},
        SearchCase{"LentOutsideARange",
                   [](TForm7& f) {
                       f.Edit2.SetText("1.3.2024");
                       f.Edit3.SetText("1.9.2024");
                       f.CheckBox3.SetChecked(true);
                   },
                   {2, 18, 20},
                   "Při vyhledávání v archivu bylo nalezeno 3 záznamy"},
        SearchCase{"ReturnedBeforeADay", [](TForm7& f) { f.Edit5.SetText("06.05.2024"); }, {2, 20},
                   "Při vyhledávání v archivu bylo nalezeno 2 záznamy"},
        SearchCase{"DaysStrictlyBetween",
                   [](TForm7& f) {
                       f.Edit6.SetText("2");
                       f.Edit7.SetText("18");
                   },
                   {9},
                   "Při vyhledávání v archivu byl nalezen 1 záznam."},
        SearchCase{"EmptiedDayBoxAddsNothing",
                   [](TForm7& f) {
                       f.Edit6.SetText("9");
                       f.Edit7.SetText("");
                   },
                   {18, 20},
                   "Při vyhledávání v archivu bylo nalezeno 2 záznamy"},
        SearchCase{"NothingFound",
                   [](TForm7& f) {
                       f.ComboBox1.SetItemIndex(2);
                       f.Edit4.SetText("1.1.2025");
                   },
                   {},
                   "Při vyhledávání v archivu nebyl nalezen žádný záznam."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ArchiveSearchTest, BuildsOneLinePerCriterionAndTheArchivePagesOrder)
{
    Form1->RadioGroup1.SetItemIndex(2);
    Form1->CheckBox6.SetChecked(true);
    Search([](TForm7& f) {
        f.ComboBox1.SetItemIndex(2);
        f.Edit1.SetText("K'1");
        f.CheckBox2.SetChecked(true);
        f.Edit2.SetText("01.03.2024");
        f.Edit5.SetText("1.1.2025");
        f.Edit6.SetText("3");
        f.BitBtn1.Click();
    });
    EXPECT_EQ(Form1->Query3.SQL.Lines(),
              (std::vector<std::string>{"SELECT * FROM VýpůjčkyArchiv", "WHERE Ctenar='Novák Jan'",
                                        " AND KodKnihy<>'K''1'", " AND Pujceno>'1.3.2024'", " AND Vraceno<'1.1.2025'",
                                        " AND Dnu>'3'", "ORDER BY Kniha DESC"}));
    EXPECT_EQ(Form7->Edit2.Text(), "1.3.2024"); // written back in one form
    EXPECT_EQ(Listed(), (std::vector<int>{18, 9}));
}

struct RefusedCase {
    const char* name;
    std::function<void(TForm7&)> fill;
    const char* text;
    const char* caption;
};

class RefusedSearchTest : public ArchiveSearchTest, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedSearchTest, WarnsAndKeepsTheListAndTheWindow)
{
    const std::vector<std::string> before = Form1->Query3.SQL.Lines();
    dialogs_->Expect(GetParam().text, GetParam().caption);
    Search([](TForm7& f) {
        GetParam().fill(f);
        f.BitBtn1.Click();
        EXPECT_EQ(f.ModalResult(), ui::mrNone);
    });
    EXPECT_EQ(dialogs_->LastMessage()->Icon(), ui::MB_ICONWARNING);
    EXPECT_EQ(Form1->Query3.SQL.Lines(), before);
    EXPECT_EQ(Form1->Query3.RecordCount(), 5);
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, RefusedSearchTest,
    ::testing::Values(
        RefusedCase{"BadDate", [](TForm7& f) { f.Edit3.SetText("31.13.2024"); }, "Zadané datum je ve špatném formátu!",
                    "Špatně zadané datum"},
        RefusedCase{"LentRangeInverted",
                    [](TForm7& f) {
                        f.Edit2.SetText("1.9.2024");
                        f.Edit3.SetText("1.3.2024");
                    },
                    "Datum půjčení od je pozdější než datum půjčení do!", "Špatně zadaný rozsah"},
        RefusedCase{"ReturnedRangeInverted",
                    [](TForm7& f) {
                        f.Edit4.SetText("2.1.2024");
                        f.Edit5.SetText("1.1.2024");
                    },
                    "Datum vrácení od je pozdější než datum vrácení do!", "Špatně zadaný rozsah"},
        RefusedCase{"DaysRangeInverted",
                    [](TForm7& f) {
                        f.Edit6.SetText("10");
                        f.Edit7.SetText("5");
                    },
                    "Počet dnů od je větší než počet dnů do!", "Špatně zadaný rozsah"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ArchiveSearchTest, DayBoxesKeepANumberInStepWithTheirArrows)
{
    Search([](TForm7& f) {
        f.Edit6.SetFocus();
        f.Edit6.selectAll();
        QTest::keyClicks(&f.Edit6, QStringLiteral("12"));
        EXPECT_EQ(f.UpDown1.Position(), 12);
        QTest::keyClicks(&f.Edit6, QStringLiteral("x"));
        EXPECT_EQ(f.Edit6.Text(), "12");
        f.UpDown2.ClickButton(ui::TUDBtnType::btNext);
        EXPECT_EQ(f.Edit7.Text(), "1");
        f.Edit7.SetText("9999");
        EXPECT_EQ(f.UpDown2.Position(), 5000);
        // Arrow keys on an "Inverzně" box turn it; Enter moves on.
        f.CheckBox3.SetFocus();
        QTest::keyClick(&f.CheckBox3, Qt::Key_Down);
        EXPECT_TRUE(f.CheckBox3.Checked());
        QTest::keyClick(&f.CheckBox3, Qt::Key_Return);
        EXPECT_TRUE(f.Edit4.hasFocus());
        f.BitBtn2.Click();
    });
}

} // namespace
