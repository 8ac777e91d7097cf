// The road of one loan at the lending desk, driven as a librarian drives it, and every refusal.

#include "AppFixture.h"

#include "app/Hlavni.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <functional>

using namespace apptest;

namespace {

const char* const kCannotLend = "Nelze půjčit knihu - je již půjčená, nebo není vybrán žádný čtenář!";

class LendingTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        novak_ = AddReader("Novák Jan", true, "5.A", "alergie", "Žák");
        AddReader("Dvořák Petr", false, "6.B");
        AddReader("Čapek Karel", true, "7.C", "", "Učitel");
        babicka_ = AddBook("K001", "Babička");
        AddBook("K002", "Krakatit", true);
        AddBook("K003", "Válka s mloky", false, "1.1.2020");
        AddBook("K004", "R.U.R.");
    }
    void OpenDesk()
    {
        StartProgram();
        ClickTab(0);
    }
    void ExpectNothingWritten()
    {
        EXPECT_TRUE(Loans().empty());
        EXPECT_EQ(Book("K001")->Pujceno, "False");
    }
    std::int64_t novak_ = 0, babicka_ = 0;
};

TEST_F(LendingTest, DeskListsActiveReadersAndLendableTitlesOnly)
{
    OpenDesk();
    EXPECT_EQ(Form1->TabbedNotebook1.PageIndex(), 0);
    EXPECT_EQ(Form1->ComboBox1.Items(), (std::vector<std::string>{"Čapek Karel", "Novák Jan"}));
    EXPECT_EQ(Form1->ComboBox2.Count(), 2);
    EXPECT_EQ(Form1->ComboBox1.ItemIndex(), 0);
    EXPECT_EQ(Form1->Label4.Caption(), "7.C");
    EXPECT_EQ(Form1->Label7.Caption(), "Učitel");
    EXPECT_EQ(Form1->cbKnihy.Items(), (std::vector<std::string>{"Babička", "R.U.R."}));
    EXPECT_TRUE(Form1->TabbedNotebook1.Visible());
    EXPECT_TRUE(Form1->ComboBox1.Focused());
}

// A refresh keeps lists that still hold what it would read, and fills again those that changed
// behind it: the tables written, or the boxes' items changed by other code.
TEST_F(LendingTest, DeskListsAreReadAgainOnlyWhenSomethingChanged)
{
    OpenDesk();
    const auto names = Form1->ComboBox1.Items();
    const auto classes = Form1->ComboBox3.Items();
    const auto titles = Form1->cbKnihy.Items();
    Form1->ComboBox3.DeleteItem(0);
    Form1->cbKnihy.AddItem("Cizí kniha");
    Form1->cbKnihy.SetText("Cizí kniha");
    ClickTab(3);
    ClickTab(0);
    EXPECT_EQ(Form1->ComboBox1.Items(), names);
    EXPECT_EQ(Form1->ComboBox3.Items(), classes);
    EXPECT_EQ(Form1->cbKnihy.Items(), titles);
    EXPECT_EQ(Form1->cbKnihy.Text(), "");
    EXPECT_EQ(Form1->Label4.Caption(), "7.C");

    // Nothing changed: the same lists, the first reader chosen again, no title chosen.
    Form1->ComboBox1.SetItemIndex(1);
    Form1->cbKnihy.SetItemIndex(1);
    ClickTab(3);
    ClickTab(0);
    EXPECT_EQ(Form1->ComboBox1.ItemIndex(), 0);
    EXPECT_EQ(Form1->ComboBox3.Text(), "7.C");
    EXPECT_EQ(Form1->cbKnihy.ItemIndex(), -1);
    EXPECT_EQ(Form1->cbKnihy.Text(), "");
    EXPECT_EQ(Form1->Query2.RecNo(), 3); // left on its last reader, as a walk through it leaves it
    EXPECT_TRUE(Form1->Query2.Eof());

    // A reader made inactive and a book discarded elsewhere leave the lists.
    Form1->Table1.SetFilter("Cislo='" + std::to_string(novak_) + "'");
    Form1->Table1.SetFiltered(true);
    Form1->Table1.Edit();
    Form1->Table1.FieldByName("Aktivni").SetAsString("False");
    Form1->Table1.Post();
    Form1->Table2.SetFilter("Cislo='" + std::to_string(babicka_) + "'");
    Form1->Table2.SetFiltered(true);
    Form1->Table2.Edit();
    Form1->Table2.FieldByName("VyrazenoDatum").SetAsString("1.9.2024");
    Form1->Table2.Post();
    ClickTab(3);
    ClickTab(0);
    EXPECT_EQ(Form1->ComboBox1.Items(), (std::vector<std::string>{"Čapek Karel"}));
    EXPECT_EQ(Form1->ComboBox4.Count(), 1);
    EXPECT_EQ(Form1->cbKnihy.Items(), (std::vector<std::string>{"R.U.R."}));
}

TEST_F(LendingTest, LendShowsTheLoanAndMarksTheBook)
{
    OpenDesk();
    ChooseReader("Novák Jan");
    EXPECT_EQ(Form1->Label4.Caption(), "5.A");
    EXPECT_EQ(Form1->Label5.Caption(), "alergie");
    TypeCode("K001");
    EXPECT_EQ(Form1->cbKnihy.Text(), "Babička");
    ASSERT_TRUE(Form1->BitBtn10.Enabled());
    PressLend();

    const auto loans = Loans();
    ASSERT_EQ(loans.size(), 1u);
    EXPECT_EQ(loans[0].CisloCtenare, novak_);
    EXPECT_EQ(loans[0].CisloKnihy, babicka_);
    EXPECT_EQ(loans[0].Pujceno, "15.9.2024");
    EXPECT_EQ(loans[0].Vraceno, "");
    EXPECT_EQ(loans[0].VracenoB, "False");
    EXPECT_EQ(loans[0].Dnu, 0);
    EXPECT_FALSE(loans[0].DnuNull);
    EXPECT_EQ(Book("K001")->Pujceno, "True");
    EXPECT_EQ(Book("K001")->Vlastnosti, "Půjčená");

    ASSERT_EQ(Form1->DBGrid3.RowCount(), 1);
    EXPECT_EQ(Form1->DBGrid3.VisibleTitles(),
              (std::vector<std::string>{"Kód knihy", "Název knihy", "Půjčeno", "Vráceno", "Dnů"}));
    EXPECT_EQ(Form1->DBGrid3.CellText(0, 0), "K001");
    EXPECT_EQ(Form1->DBGrid3.CellText(0, 1), "Babička");
    EXPECT_EQ(Form1->DBGrid3.CellText(0, 2), "15.9.2024");
    EXPECT_EQ(Form1->cbKnihy.Items(), (std::vector<std::string>{"R.U.R."}));
    EXPECT_EQ(Form1->Edit1.Text(), "");
    EXPECT_TRUE(Form1->TabbedNotebook1.Visible());
    EXPECT_TRUE(Form1->Edit1.Focused());
    EXPECT_TRUE(dialogs_->Messages().empty());
}

TEST_F(LendingTest, PickingATitleFillsInItsCode)
{
    OpenDesk();
    Form1->cbKnihy.setCurrentIndex(1);
    emit Form1->cbKnihy.activated(1);
    EXPECT_EQ(Form1->Edit1.Text(), "K004");
    EXPECT_TRUE(Form1->BitBtn10.Enabled());
}

TEST_F(LendingTest, ChangingTheReaderClearsTheCode)
{
    OpenDesk();
    TypeCode("K001");
    ASSERT_TRUE(Form1->BitBtn10.Enabled());
    ChooseReader("Novák Jan");
    EXPECT_EQ(Form1->Edit1.Text(), "");
    EXPECT_FALSE(Form1->BitBtn10.Enabled());
}

TEST_F(LendingTest, UnknownOrLentCodeDisablesLending)
{
    OpenDesk();
    for (const char* code : {"K002", "K003", "NIC"}) {
        TypeCode(code);
        EXPECT_FALSE(Form1->BitBtn10.Enabled()) << code;
        EXPECT_EQ(Form1->cbKnihy.Text(), "") << code;
    }
}

// Each refusal shows the lend message and writes nothing, whatever enabled the button before.
struct Refusal {
    const char* name;
    const char* code;
    bool noReader;
};

class LendRefusalTest : public LendingTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(LendRefusalTest, RefusesAndWritesNothing)
{
    OpenDesk();
    ChooseReader("Novák Jan");
    Form1->Edit1.SetText(GetParam().code);
    if (GetParam().noReader) {
        // A typed name that matches no reader selects nobody, whatever the box shows.
        Form1->ComboBox1.SetText("Někdo Neznámý");
        ASSERT_EQ(Form1->ComboBox1.ItemIndex(), -1);
    }
    dialogs_->Expect(kCannotLend, "Půjčení knihy");
    AsUser([] { Form1->BitBtn10.Click(); });
    ASSERT_EQ(dialogs_->Messages().size(), 1u);
    EXPECT_EQ(dialogs_->Messages()[0].Icon(), ui::MB_ICONWARNING);
    EXPECT_EQ(dialogs_->Messages()[0].Owner, "");
    EXPECT_TRUE(Loans().empty());
    EXPECT_EQ(Book("K002")->Pujceno, "True");
    EXPECT_EQ(Book("K001")->Pujceno, "False");
    EXPECT_EQ(Book("K003")->Pujceno, "False");
    EXPECT_TRUE(Form1->TabbedNotebook1.Visible());
    EXPECT_EQ(Form1->Table3.Filter(), "VracenoB='False'");
    EXPECT_FALSE(Form1->Table2.Filtered());
}

INSTANTIATE_TEST_SUITE_P(Cases, LendRefusalTest,
                         ::testing::Values(Refusal{"LentBook", "K002", false}, Refusal{"DiscardedBook", "K003", false},
                                           Refusal{"UnknownCode", "XYZ", false}, Refusal{"NoReader", "K001", true},
                                           Refusal{"QuoteInCode", "K'1", false}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST_F(LendingTest, EmptyReaderListRefusesTheLend)
{
    StartProgram();
    // Everyone made inactive behind the desk's back: the refilled list is empty.
    data::TTable& readers = Form1->Table1;
    readers.SetFiltered(false);
    for (readers.First(); !readers.Eof(); readers.Next()) {
        readers.Edit();
        readers.FieldByName("Aktivni").SetAsString("False");
        readers.Post();
    }
    ClickTab(0);
    ASSERT_EQ(Form1->ComboBox1.Count(), 0);
    EXPECT_EQ(Form1->LastReaderIndex, -1);
    Form1->Edit1.SetText("K001");
    dialogs_->Expect(kCannotLend, "Půjčení knihy");
    AsUser([] { Form1->BitBtn10.Click(); });
    ExpectNothingWritten();
}

TEST_F(LendingTest, FailedLendWritesNothingAndRestoresTheDesk)
{
    OpenDesk();
    ChooseReader("Novák Jan");
    TypeCode("K001");
    // A current date the loans table cannot take makes the loan fail after the book was edited.
    Form1->Edit2.SetText("nesmysl");
    dialogs_->Answer(ui::IDOK);
    AsUser([] { Form1->BitBtn10.Click(); });
    ASSERT_EQ(dialogs_->Messages().size(), 1u);
    EXPECT_EQ(dialogs_->Messages()[0].Caption, "Orbelin Pernoka");
    EXPECT_EQ(dialogs_->Messages()[0].Icon(), ui::MB_ICONERROR);
    ExpectNothingWritten();
    EXPECT_TRUE(Form1->TabbedNotebook1.Visible());
    EXPECT_FALSE(Form1->Table2.Filtered());
    EXPECT_EQ(Form1->Table3.Filter(), "VracenoB='False'");
    EXPECT_TRUE(Form1->Table3.Filtered());
    EXPECT_TRUE(Form1->Edit1.Focused());
    EXPECT_EQ(Form1->Table2.State(), data::TDataSetState::dsBrowse);
}

TEST_F(LendingTest, ReturnByDoubleClickClosesTheLoan)
{
    const std::int64_t loan = AddLoan(novak_, AddBook("K005", "Saturnin", true), DayText(-5));
    OpenDesk();
    ASSERT_EQ(Form1->DBGrid3.RowCount(), 1);
    EXPECT_EQ(Form1->DBGrid3.CellText(0, 4), "5");
    DoubleClickLoan(0);

    const auto loans = Loans();
    ASSERT_EQ(loans.size(), 1u);
    EXPECT_EQ(loans[0].Cislo, loan);
    EXPECT_EQ(loans[0].Vraceno, "15.9.2024");
    EXPECT_EQ(loans[0].VracenoB, "True");
    EXPECT_EQ(loans[0].Dnu, 5);
    EXPECT_EQ(Book("K005")->Pujceno, "False");
    EXPECT_EQ(Book("K005")->Vlastnosti, "");
    EXPECT_EQ(Form1->DBGrid3.RowCount(), 0);
    EXPECT_EQ(Form1->cbKnihy.Items().back(), "Saturnin");
    EXPECT_TRUE(Form1->TabbedNotebook1.Visible());
    EXPECT_TRUE(dialogs_->Messages().empty());
}

TEST_F(LendingTest, ReturnOnTheLendingDayIsAllowedBeforeItIsNot)
{
    AddLoan(novak_, AddBook("K005", "Saturnin", true), DayText(0));
    AddLoan(novak_, AddBook("K006", "Hordubal", true), DayText(+2));
    OpenDesk();
    ASSERT_EQ(Form1->DBGrid3.RowCount(), 2);
    Form1->DBGrid3.ClickCell(1, 0);
    dialogs_->Expect("Nelze vrátit knihu - datum půjčení je větší než aktuální datum!", "Nelze vrátit knihu");
    DoubleClickLoan(1);
    EXPECT_EQ(dialogs_->Messages().at(0).Icon(), ui::MB_ICONWARNING);
    EXPECT_EQ(Book("K006")->Pujceno, "True");

    Form1->DBGrid3.ClickCell(0, 0);
    DoubleClickLoan(0);
    EXPECT_EQ(Book("K005")->Pujceno, "False");
    EXPECT_EQ(Form1->DBGrid3.RowCount(), 1);
}

TEST_F(LendingTest, ReturningALoanWhoseBookIsGoneMakesNoBook)
{
    const std::int64_t book = AddBook("K005", "Saturnin", true);
    AddLoan(novak_, book, DayText(-1));
    OpenDesk();
    // The book is deleted while its loan is open.
    Form1->Table2.SetFilter("Kod='K005'");
    Form1->Table2.SetFiltered(true);
    Form1->Table2.Delete();
    Form1->Table2.SetFiltered(false);
    const int books = CountRecords("Knihy.DB");
    const auto titles = Form1->cbKnihy.Items();

    DoubleClickLoan(0);
    EXPECT_EQ(Loans().at(0).VracenoB, "True");
    EXPECT_EQ(CountRecords("Knihy.DB"), books);
    EXPECT_EQ(Form1->cbKnihy.Items(), titles);
}

TEST_F(LendingTest, UndoOnTheOverviewFilterReopensTheLoan)
{
    const std::int64_t book = AddBook("K005", "Saturnin");
    AddLoan(novak_, book, DayText(-4), DayText(-1), 3);
    OpenDesk();
    // The overview page shows returned loans through the shared loans dataset.
    Form1->Table3.SetFilter("VracenoB='True'");
    ASSERT_EQ(Form1->DBGrid3.RowCount(), 1);
    DoubleClickLoan(0);
    EXPECT_EQ(Loans().at(0).VracenoB, "False");
    EXPECT_EQ(Loans().at(0).Vraceno, "");
    EXPECT_EQ(Book("K005")->Pujceno, "True");
    EXPECT_EQ(Book("K005")->Vlastnosti, "Půjčená");
}

class UndoRefusalTest : public LendingTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(UndoRefusalTest, RefusedWhenTheBookMovedOn)
{
    const std::string situation = GetParam();
    const std::int64_t book = AddBook("K005", "Saturnin", situation == "lent", situation == "discarded" ? "2.9.2024" : "");
    AddLoan(novak_, book, DayText(-10), DayText(-8), 2);
    if (situation == "lent")
        AddLoan(novak_, book, DayText(-3));
    OpenDesk();
    if (situation == "gone") {
        Form1->Table2.SetFilter("Kod='K005'");
        Form1->Table2.SetFiltered(true);
        Form1->Table2.Delete();
        Form1->Table2.SetFiltered(false);
    }
    Form1->Table3.SetFilter("VracenoB='True'");
    ASSERT_EQ(Form1->DBGrid3.RowCount(), 1);
    const char* text = situation == "lent"        ? "Vrácení nelze zrušit - kniha je mezitím znovu půjčená."
                       : situation == "discarded" ? "Vrácení nelze zrušit - kniha je mezitím vyřazená."
                                                  : "Vrácení nelze zrušit - kniha již v databázi není.";
    dialogs_->Expect(text, "Zrušení vrácení knihy");
    DoubleClickLoan(0);
    EXPECT_EQ(dialogs_->Messages().at(0).Icon(), ui::MB_ICONWARNING);
    int returned = 0;
    for (const LoanRow& loan : Loans())
        returned += loan.VracenoB == "True";
    EXPECT_EQ(returned, 1);
    if (situation != "gone") {
        EXPECT_EQ(Book("K005")->Pujceno, situation == "lent" ? "True" : "False");
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, UndoRefusalTest, ::testing::Values("lent", "discarded", "gone"));

TEST_F(LendingTest, DoubleClickOnAnEmptyGridOnlyClearsTheBoxes)
{
    OpenDesk();
    Form1->Edit1.SetText("K001");
    DoubleClickLoan(0);
    Form1->DBGrid3DblClick(nullptr);
    EXPECT_EQ(Form1->Edit1.Text(), "");
    EXPECT_EQ(Form1->cbKnihy.Text(), "");
    EXPECT_TRUE(Loans().empty());
    EXPECT_TRUE(dialogs_->Messages().empty());
}

// Typing into the reader box, key by key, as a librarian finds a pupil.
class ReaderTypingTest : public LendingTest {
public:
    void TypeReader(const QString& text)
    {
        Form1->ComboBox1.SetFocus();
        Form1->ComboBox1.lineEdit()->selectAll();
        TypeKeys(QApplication::focusWidget(), text);
    }
    std::vector<std::string> Shown()
    {
        return {Form1->ComboBox1.Text(), Form1->Label4.Caption(), Form1->Label5.Caption(), Form1->Label7.Caption(),
                Form1->ComboBox2.Text()};
    }
};

TEST_F(ReaderTypingTest, TheStartOfANameChoosesTheReaderAsTheListDoes)
{
    OpenDesk();
    TypeCode("K001");
    ASSERT_TRUE(Form1->BitBtn10.Enabled());
    TypeReader(QStringLiteral("nov"));
    EXPECT_EQ(Form1->ComboBox1.ItemIndex(), 1);
    EXPECT_EQ(Shown(), (std::vector<std::string>{"Novák Jan", "5.A", "alergie", "Žák", std::to_string(novak_)}));
    // The completed part is selected, so typing on replaces it.
    EXPECT_EQ(Form1->ComboBox1.SelStart(), 3);
    EXPECT_EQ(Form1->ComboBox1.SelLength(), 6);
    // Changing the reader clears the code, as choosing from the list does.
    EXPECT_EQ(Form1->Edit1.Text(), "");
    EXPECT_FALSE(Form1->BitBtn10.Enabled());
    EXPECT_EQ(Form1->LastReaderIndex, 1);

    TypeCode("K001");
    PressLend();
    ASSERT_EQ(Loans().size(), 1u);
    EXPECT_EQ(Loans()[0].CisloCtenare, novak_);
}

TEST_F(ReaderTypingTest, CzechLettersMatchIgnoringCaseButNotAccents)
{
    OpenDesk();
    TypeReader(QStringLiteral("ČAP"));
    EXPECT_EQ(Form1->ComboBox1.Text(), "Čapek Karel");
    EXPECT_EQ(Form1->Label7.Caption(), "Učitel");
    TypeReader(QStringLiteral("Cap"));
    EXPECT_EQ(Form1->ComboBox1.ItemIndex(), -1);
    EXPECT_EQ(Form1->ComboBox1.Text(), "Cap");
}

// A text that is not a reader's name leaves nobody chosen, and the lend is refused before
// anything is written, whatever reader was chosen before.
TEST_F(ReaderTypingTest, TextNamingNobodyChoosesNobodyAndTheLendIsRefused)
{
    struct Case {
        const char* name;
        std::function<void(ReaderTypingTest&)> type;
        std::string text;
    };
    const std::vector<Case> cases = {
        {"unknown name", [](ReaderTypingTest& t) { t.TypeReader(QStringLiteral("Xaver")); }, "Xaver"},
        {"name typed past its end",
         [](ReaderTypingTest& t) {
             t.TypeReader(QStringLiteral("Novák Jan"));
             QTest::keyClick(QApplication::focusWidget(), Qt::Key_End);
             QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("a"));
         },
         "Novák Jana"},
        {"completion deleted",
         [](ReaderTypingTest& t) {
             t.TypeReader(QStringLiteral("Nov"));
             QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
         },
         "Nov"},
    };
    OpenDesk();
    for (const Case& c : cases) {
        ChooseReader("Novák Jan");
        c.type(*this);
        EXPECT_EQ(Form1->ComboBox1.Text(), c.text) << c.name;
        EXPECT_EQ(Form1->ComboBox1.ItemIndex(), -1) << c.name;
        EXPECT_EQ(Shown(), (std::vector<std::string>{c.text, "", "", "", ""})) << c.name;
        QTest::keyRelease(QApplication::focusWidget(), Qt::Key_A);
        EXPECT_EQ(Form1->ComboBox1.ItemIndex(), -1) << c.name << ": no snap back to an earlier reader";

        TypeCode("K001");
        ASSERT_TRUE(Form1->BitBtn10.Enabled()) << c.name;
        dialogs_->Expect(kCannotLend, "Půjčení knihy");
        PressLend();
        ExpectNothingWritten();
    }
}

TEST_F(ReaderTypingTest, DeletingBackToAWholeNameChoosesItAgain)
{
    OpenDesk();
    TypeReader(QStringLiteral("Novák Janx"));
    ASSERT_EQ(Form1->ComboBox1.ItemIndex(), -1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
    EXPECT_EQ(Form1->ComboBox1.ItemIndex(), 1);
    EXPECT_EQ(Form1->Label4.Caption(), "5.A");
}

TEST_F(LendingTest, TypingATitleFillsInItsCode)
{
    OpenDesk();
    Form1->cbKnihy.SetFocus();
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("r.u"));
    EXPECT_EQ(Form1->cbKnihy.Text(), "R.U.R.");
    EXPECT_EQ(Form1->Edit1.Text(), "K004");
    EXPECT_TRUE(Form1->BitBtn10.Enabled());
}

TEST_F(LendingTest, RefilledListKeepsTheRememberedReaderWithinIt)
{
    OpenDesk();
    ChooseReader("Novák Jan");
    ui::Word key = 'N';
    Form1->ComboBox1KeyUp(nullptr, key, 0);
    EXPECT_EQ(Form1->LastReaderIndex, 1);

    // A refill with fewer readers must not leave a remembered index past the end.
    Form1->Table1.SetFiltered(false);
    Form1->Table1.Last();
    Form1->Table1.Edit();
    Form1->Table1.FieldByName("Aktivni").SetAsString("False");
    Form1->Table1.Post();
    ClickTab(2);
    ClickTab(0);
    ASSERT_EQ(Form1->ComboBox1.Count(), 1);
    EXPECT_EQ(Form1->LastReaderIndex, 0);
}

} // namespace
