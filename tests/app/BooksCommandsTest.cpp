// The books page's commands: which book they put the books table on, what they refuse and with
// which words, what they write themselves, and the list afterwards.

#include "BooksPageSupport.h"

#include "catalogue/PridatKnihu.h"
#include "catalogue/VyrazeniKnihy.h"
#include "platform/data/DataSet.h"
#include "platform/data/Quote.h"

using namespace apptest;
using Lines = std::vector<std::string>;

namespace {

const char* const kBookGone = "Vybraná kniha již v databázi není!";

class BooksCommandsTest : public BooksPageTest {
protected:
    void SetUp() override
    {
        BooksPageTest::SetUp();
        babicka_ = AddFullBook("A1", "Babička", "Němcová Božena", "Sklad A", [](data::TTable& t) {
            t.FieldByName("Ilustrator").SetAsString("Aleš Mikoláš");
            t.FieldByName("Nakladatelstvi").SetAsString("Albatros");
            t.FieldByName("Kategorie").SetAsString("Próza");
            t.FieldByName("Signatura").SetAsString("N-12");
            t.FieldByName("Cena").SetAsString("120 Kč");
            t.FieldByName("CenaX").SetAsString("129,50");
            t.FieldByName("RokVydani").SetAsInteger(1855);
            t.FieldByName("PocetStran").SetAsInteger(312);
            t.FieldByName("VekOd").SetAsInteger(10);
            t.FieldByName("Anotace").SetAsString("Obrazy venkovského života");
            t.FieldByName("KlicovaSlova").SetAsString("venkov,\"staré časy\"");
            t.FieldByName("Vlastnosti").SetAsString("");
        });
        // Two books with one code, as imported from old files, and one without a code.
        twinA_ = AddFullBook("X1", "Bajky", "Ezop", "Sklad B");
        twinB_ = AddFullBook("X1", "Krakatit", "Čapek Karel", "Sklad B");
        blank_ = AddFullBook("", "Bez kódu", "Nikdo", "Sklad C");
        lent_ = AddBook("L1", "Lakomec", true);
    }

    int Books() { return CountRecords("Knihy.DB"); }

    // Expects the one warning a refusal shows.
    void ExpectWarning(const std::string& text, const std::string& title)
    {
        ASSERT_EQ(dialogs_->Messages().size(), 1u);
        EXPECT_EQ(dialogs_->Messages()[0].Text, text);
        EXPECT_EQ(dialogs_->Messages()[0].Caption, title);
        EXPECT_EQ(dialogs_->Messages()[0].Icon(), ui::MB_ICONWARNING);
        EXPECT_EQ(dialogs_->Messages()[0].Buttons(), ui::MB_OK);
        EXPECT_EQ(dialogs_->Messages()[0].Owner, "");
    }

    void ExpectLoansAtRest()
    {
        EXPECT_EQ(Form1->Table3.Filter(), "VracenoB='False'");
        EXPECT_TRUE(Form1->Table3.Filtered());
        EXPECT_TRUE(Form1->TabbedNotebook1.Visible());
    }

    std::int64_t babicka_ = 0, twinA_ = 0, twinB_ = 0, blank_ = 0, lent_ = 0;
};

// ---- Add. ----

TEST_F(BooksCommandsTest, AddOpensTheBookDialogInAddMode)
{
    OpenBooksPage();
    Form4->SetCaption("Upravit knihu"); // whatever an earlier opener left
    std::string caption;
    dialogs_->ExpectModal(*Form4, std::function<void(TForm4&)>([&caption](TForm4& f) { caption = f.Caption(); }),
                          ui::mrCancel);
    QTest::mouseClick(&Form1->BitBtn5, Qt::LeftButton);
    EXPECT_EQ(caption, "Přidat knihu");
    EXPECT_EQ(dialogs_->ModalsShown(), (Lines{"Form4"}));
}

TEST_F(BooksCommandsTest, AddOpensTheDialogEmptyAndTheNewBookShows)
{
    OpenBooksPage();
    Form4->Edit1.SetText("zbytek");
    Form4->Edit2.SetText("zbytek");
    Form4->ComboBox4.SetText("zbytek");
    Form4->Edit6.SetText("15");
    dialogs_->ExpectModal(*Form4, std::function<void(TForm4&)>([](TForm4& f) {
                              for (ui::TEdit* input : {&f.Edit1, &f.Edit2, &f.ComboBox4, &f.Edit6})
                                  EXPECT_EQ(input->Text(), "") << input->Name;
                              EXPECT_EQ(f.ComboBox1.Text(), "");
                              f.Edit1.SetText("N7");
                              f.Edit2.SetText("Nová kniha");
                              f.BitBtn1.Click();
                          }));
    Form1->BitBtn5.Click();
    EXPECT_TRUE(Book("N7"));
    EXPECT_EQ(Form1->Tag, 2);
    EXPECT_EQ(Shown(1), (Lines{"Bez kódu", "Babička", "Nová kniha", "Bajky", "Krakatit"}));
}

// The grid's pop-up items, the main menu's "Přidat..." and the shortcuts reach the same commands.
TEST_F(BooksCommandsTest, MenuAddSwitchesToTheBooksPageFirst)
{
    StartWithIcons();
    ASSERT_EQ(Form1->TabbedNotebook1.PageIndex(), 3);
    ASSERT_TRUE(Form1->Pidat1.Enabled());
    int page = -1;
    dialogs_->ExpectModal(*Form4, std::function<void(TForm4&)>([&page](TForm4&) {
                              page = Form1->TabbedNotebook1.PageIndex();
                          }));
    Form1->Pidat1.Click();
    EXPECT_EQ(page, 1);
    EXPECT_EQ(Form1->TabbedNotebook1.PageIndex(), 1);
    EXPECT_TRUE(Form1->Filtr2.Enabled());
}

TEST_F(BooksCommandsTest, PopupItemsPressTheButtons)
{
    OpenBooksPage();
    EXPECT_EQ(Form1->DBGrid2.contextMenuPolicy(), Qt::DefaultContextMenu);
    dialogs_->ExpectModal("Form4");
    Form1->Pidatknihu1.Click();
    dialogs_->ExpectModal(*Form4, std::function<void(TForm4&)>([](TForm4& f) { EXPECT_EQ(f.Caption(), "Upravit knihu"); }));
    Form1->Upravitknihu1.Click();
    dialogs_->Expect("Opravdu chcete odebrat vybranou knihu?", "Odebrání knihy", ui::IDNO);
    Form1->Odebratknihu1.Click();
    EXPECT_EQ(dialogs_->ModalsShown(), (Lines{"Form4", "Form4"}));
    EXPECT_TRUE(Form1->Filtr1.Enabled());
    const std::vector<std::string> captions = {"Přidat knihu", "Upravit knihu", "Odebrat knihu", "Vytvořit kopii záznamu",
                                               "-", "Filtr..."};
    ASSERT_EQ(Form1->PopupMenu1.Items().Items().size(), captions.size());
    for (std::size_t i = 0; i < captions.size(); ++i)
        EXPECT_EQ(Form1->PopupMenu1.Items().Items()[i]->Caption(), captions[i]);
}

TEST_F(BooksCommandsTest, ShortcutsOnTheGrid)
{
    OpenBooksPage();
    Form1->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Form1));
    Form1->DBGrid2.setFocus();
    dialogs_->ExpectModal(*Form4, std::function<void(TForm4&)>([](TForm4& f) { EXPECT_EQ(f.Caption(), "Přidat knihu"); }));
    QTest::keyClick(&Form1->DBGrid2, Qt::Key_Insert, Qt::ControlModifier);
    dialogs_->ExpectModal(*Form4, std::function<void(TForm4&)>([](TForm4& f) { EXPECT_EQ(f.Caption(), "Upravit knihu"); }));
    QTest::keyClick(&Form1->DBGrid2, Qt::Key_O, Qt::ControlModifier);
    dialogs_->Expect("Opravdu chcete odebrat vybranou knihu?", "Odebrání knihy", ui::IDNO);
    QTest::keyClick(&Form1->DBGrid2, Qt::Key_Delete, Qt::ControlModifier);
    dialogs_->CancelInput();
    QTest::keyClick(&Form1->DBGrid2, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(dialogs_->ModalsShown(), (Lines{"Form4", "Form4"}));
    EXPECT_EQ(dialogs_->Inputs().size(), 1u);
}

// ---- Edit, discard and re-include put the books table on the highlighted book's number. ----

TEST_F(BooksCommandsTest, EditPositionsOnTheHighlightedRecordNotItsCode)
{
    OpenBooksPage();
    for (const auto& [title, number] : {std::pair{"Krakatit", twinB_}, std::pair{"Bajky", twinA_},
                                        std::pair{"Bez kódu", blank_}}) {
        Highlight(title);
        std::int64_t positioned = 0;
        std::string shown;
        dialogs_->ExpectModal(*Form4, std::function<void(TForm4&)>([&](TForm4& f) {
                                  EXPECT_EQ(f.Caption(), "Upravit knihu");
                                  EXPECT_EQ(Form1->Table2.RecordCount(), 1);
                                  positioned = Form1->Table2.FieldByName("Cislo").AsInteger();
                                  shown = Form1->Table2.FieldByName("Nazev").AsString();
                              }));
        Form1->BitBtn6.Click();
        EXPECT_EQ(positioned, number) << title;
        EXPECT_EQ(shown, title);
    }
    EXPECT_TRUE(dialogs_->Messages().empty());
}

TEST_F(BooksCommandsTest, EditedTwinIsTheHighlightedOne)
{
    OpenBooksPage();
    Highlight("Krakatit");
    dialogs_->ExpectModal(*Form4, std::function<void(TForm4&)>([](TForm4& f) {
                              EXPECT_EQ(f.Edit2.Text(), "Krakatit");
                              f.Edit2.SetText("Krakatit II");
                              f.BitBtn1.Click();
                          }));
    Form1->BitBtn6.Click();
    EXPECT_EQ(BookByNumber(twinB_)->Nazev, "Krakatit II");
    EXPECT_EQ(BookByNumber(twinA_)->Nazev, "Bajky");
}

TEST_F(BooksCommandsTest, DiscardedTwinIsTheHighlightedOne)
{
    OpenBooksPage();
    ChooseState(0);
    Highlight("Krakatit");
    dialogs_->ExpectModal(*Form17, std::function<void(TForm17&)>([](TForm17& f) {
                              f.Edit1.SetText("15.9.2024");
                              f.BitBtn1.Click();
                          }));
    Form1->Button1.Click();
    EXPECT_EQ(BookByNumber(twinB_)->Vlastnosti, "Vyřazená");
    EXPECT_EQ(BookByNumber(twinA_)->Vlastnosti, "");
    Highlight("Krakatit");
    EXPECT_EQ(Form1->Button1.Caption(), "Zařadit knihu");
}

// With nothing in the list each command refuses with its own words and changes nothing.
struct Refusal {
    const char* name;
    void (TForm1::*press)(ui::TObject*);
    const char* text;
    const char* title;
};

void PrintTo(const Refusal& r, std::ostream* os)
{
    *os << r.name;
}

class EmptyListTest : public BooksCommandsTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(EmptyListTest, RefusesWithItsMessage)
{
    OpenBooksPage();
    TypeInto(Form1->Edit5, "NIC");
    ASSERT_EQ(Form1->DBGrid2.RowCount(), 0);
    dialogs_->Expect(GetParam().text, GetParam().title);
    (Form1->*GetParam().press)(nullptr);
    ExpectWarning(GetParam().text, GetParam().title);
    EXPECT_TRUE(dialogs_->ModalsShown().empty());
    EXPECT_EQ(Books(), 5);
    EXPECT_EQ(Form1->Table2.State(), data::TDataSetState::dsBrowse);
    ExpectLoansAtRest();
}

INSTANTIATE_TEST_SUITE_P(
    Commands, EmptyListTest,
    ::testing::Values(Refusal{"Edit", &TForm1::BitBtn6Click, "Není vybraná žádná kniha k upravení!", "Úprava knihy"},
                      Refusal{"Delete", &TForm1::BitBtn7Click, "Není vybraná žádná kniha k odebrání!", "Odebrání knihy"},
                      Refusal{"Discard", &TForm1::Button1Click, "Není vybraná žádná kniha k vyřazení!",
                              "Není vybrána žádná kniha"}),
    [](const auto& p) { return std::string(p.param.name); });

// A book deleted behind the list's back: the opener warns and opens nothing, and no record is
// made up by editing an empty table.
class BookGoneTest : public BooksCommandsTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(BookGoneTest, WarnsAndOpensNothing)
{
    OpenBooksPage();
    ChooseState(0);
    Highlight("Bajky");
    if (GetParam().press == &TForm1::Button1Click && std::string(GetParam().name) == "Reinclude") {
        // A discarded book, so that the button re-includes.
        Form1->Table2.SetFiltered(false);
        Form1->Table2.SetFilter("Cislo='" + std::to_string(twinA_) + "'");
        Form1->Table2.SetFiltered(true);
        Form1->Table2.Edit();
        Form1->Table2.FieldByName("VyrazenoDatum").SetAsString("1.1.2020");
        Form1->Table2.FieldByName("Vlastnosti").SetAsString("Vyřazená");
        Form1->Table2.Post();
        Form1->Query1.Close();
        Form1->Query1.Open();
        Highlight("Bajky");
        ASSERT_EQ(Form1->Button1.Caption(), "Zařadit knihu");
    }
    {
        data::TTable other;
        other.TableName = "Knihy.DB";
        other.SetFilter("Cislo='" + std::to_string(twinA_) + "'");
        other.SetFiltered(true);
        other.Open();
        other.Delete();
        other.Close();
    }
    ASSERT_EQ(Form1->Query1.FieldByName("Cislo").AsInteger(), twinA_);
    dialogs_->Expect(kBookGone, GetParam().title);
    (Form1->*GetParam().press)(nullptr);
    ExpectWarning(kBookGone, GetParam().title);
    EXPECT_TRUE(dialogs_->ModalsShown().empty());
    EXPECT_EQ(Books(), 4);
    EXPECT_FALSE(BookByNumber(twinA_));
    EXPECT_EQ(Form1->Table2.State(), data::TDataSetState::dsBrowse);
}

INSTANTIATE_TEST_SUITE_P(Commands, BookGoneTest,
                         ::testing::Values(Refusal{"Edit", &TForm1::BitBtn6Click, kBookGone, "Úprava knihy"},
                                           Refusal{"Discard", &TForm1::Button1Click, kBookGone, "Vyřazení knihy"},
                                           Refusal{"Reinclude", &TForm1::Button1Click, kBookGone, "Zařazení knihy"}),
                         [](const auto& p) { return std::string(p.param.name); });

// ---- Delete. ----

TEST_F(BooksCommandsTest, DeleteRemovesOnlyTheHighlightedBook)
{
    OpenBooksPage();
    Form1->Query1.Close();
    Form1->Query1.SQL.SetText("SELECT * FROM Knihy\nWHERE Umisteni LIKE \"Sklad B%\"\nORDER BY Kod\n");
    Form1->Query1.Open();
    Form1->Tag = 1;
    Highlight("Krakatit");
    dialogs_->Expect("Opravdu chcete odebrat vybranou knihu?", "Odebrání knihy", ui::IDYES);
    Form1->BitBtn7.Click();
    EXPECT_EQ(dialogs_->Messages().at(0).Icon(), ui::MB_ICONQUESTION);
    EXPECT_EQ(dialogs_->Messages().at(0).Buttons(), ui::MB_YESNO);
    EXPECT_FALSE(BookByNumber(twinB_));
    EXPECT_TRUE(BookByNumber(twinA_));
    EXPECT_EQ(Books(), 4);
    // The list is the quick filter's again, without the deleted book.
    EXPECT_EQ(SqlLines(), (Lines{"SELECT * FROM Knihy", "ORDER BY Kod"}));
    EXPECT_EQ(Form1->Tag, 2);
    EXPECT_EQ(Shown(1), (Lines{"Bez kódu", "Babička", "Bajky"}));
    ExpectLoansAtRest();
}

TEST_F(BooksCommandsTest, DeleteAnsweredNoChangesNothing)
{
    OpenBooksPage();
    Highlight("Babička");
    dialogs_->Expect("Opravdu chcete odebrat vybranou knihu?", "Odebrání knihy", ui::IDNO);
    Form1->BitBtn7.Click();
    EXPECT_EQ(Books(), 5);
    ExpectLoansAtRest();
}

// A book with any loan, open or returned, stays; the loans go back to the open ones.
class DeleteWithLoanTest : public BooksCommandsTest, public ::testing::WithParamInterface<bool> {};

TEST_P(DeleteWithLoanTest, IsRefused)
{
    const std::int64_t reader = AddReader("Novák Jan");
    AddLoan(reader, babicka_, DayText(-20), GetParam() ? DayText(-10) : "");
    AddLoan(reader, lent_, DayText(-3));
    OpenBooksPage();
    Highlight("Babička");
    dialogs_->Expect("Opravdu chcete odebrat vybranou knihu?", "Odebrání knihy", ui::IDYES);
    dialogs_->Expect("Tato kniha je v databázi výpůjček - nelze ji odebrat!", "Nelze odebrat knihu");
    Form1->BitBtn7.Click();
    ASSERT_EQ(dialogs_->Messages().size(), 2u);
    EXPECT_EQ(dialogs_->Messages()[1].Icon(), ui::MB_ICONWARNING);
    EXPECT_TRUE(BookByNumber(babicka_));
    EXPECT_EQ(Books(), 5);
    ExpectLoansAtRest();
    EXPECT_EQ(Form1->Table3.RecordCount(), GetParam() ? 1 : 2);
}

INSTANTIATE_TEST_SUITE_P(Loans, DeleteWithLoanTest, ::testing::Values(false, true),
                         [](const auto& p) { return p.param ? std::string("Returned") : std::string("Open"); });

TEST_F(BooksCommandsTest, DeleteFailureIsShownAndTheLoansComeBack)
{
    OpenBooksPage();
    Highlight("Babička");
    Form1->Table2.BeforeDelete = [](data::TDataSet&) { throw data::EDatabaseError("Záznam je zamčený."); };
    dialogs_->Expect("Opravdu chcete odebrat vybranou knihu?", "Odebrání knihy", ui::IDYES);
    dialogs_->Expect("Záznam je zamčený.");
    AsUser([] { Form1->BitBtn7.Click(); });
    Form1->Table2.BeforeDelete = nullptr;
    ASSERT_EQ(dialogs_->Messages().size(), 2u);
    EXPECT_EQ(dialogs_->Messages()[1].Icon(), ui::MB_ICONERROR);
    EXPECT_TRUE(BookByNumber(babicka_));
    ExpectLoansAtRest();
    EXPECT_TRUE(Form1->Query1.Active());
    EXPECT_EQ(Form1->Tag, 2);
}

// ---- Discard and re-include. ----

TEST_F(BooksCommandsTest, DiscardOpensTheDialogOnTheHighlightedBook)
{
    OpenBooksPage();
    Highlight("Krakatit");
    EXPECT_EQ(Form1->Button1.Caption(), "Vyřadit knihu");
    std::int64_t positioned = 0;
    dialogs_->ExpectModal(*Form17, std::function<void(TForm17&)>([&positioned](TForm17&) {
                              positioned = Form1->Table2.FieldByName("Cislo").AsInteger();
                          }),
                          ui::mrCancel);
    Form1->Button1.Click();
    EXPECT_EQ(positioned, twinB_);
    EXPECT_TRUE(dialogs_->Messages().empty());
}

// A book whose lent flag is anything but "False" can be neither discarded nor re-included.
class LentRefusalTest : public BooksCommandsTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(LentRefusalTest, RefusesToDiscard)
{
    OpenBooksPage();
    ChooseState(0);
    Form1->Table2.SetFiltered(false);
    Form1->Table2.SetFilter("Cislo='" + std::to_string(twinA_) + "'");
    Form1->Table2.SetFiltered(true);
    Form1->Table2.Edit();
    Form1->Table2.FieldByName("Pujceno").SetAsString(GetParam());
    Form1->Table2.FieldByName("VyrazenoDatum").SetAsString("2.2.2022");
    Form1->Table2.Post();
    Form1->Query1.Close();
    Form1->Query1.Open();
    Highlight("Bajky");
    dialogs_->Expect("Kniha je půjčena - nelze ji vyřadit!", "Nelze vyřadit knihu");
    Form1->Button1.Click();
    ExpectWarning("Kniha je půjčena - nelze ji vyřadit!", "Nelze vyřadit knihu");
    EXPECT_TRUE(dialogs_->ModalsShown().empty());
    EXPECT_EQ(Form1->Button1.Caption(), "Zařadit knihu");
}

INSTANTIATE_TEST_SUITE_P(Flags, LentRefusalTest, ::testing::Values("True", ""));

TEST_F(BooksCommandsTest, CaptionFollowsTheHighlightedBook)
{
    AddBook("D1", "Dáma s kaméliemi", false, "1.1.2020");
    OpenBooksPage();
    ChooseState(0);
    Highlight("Dáma s kaméliemi");
    EXPECT_EQ(Form1->DBEdit11.Text(), "1.1.2020");
    EXPECT_EQ(Form1->Button1.Caption(), "Zařadit knihu");
    Highlight("Babička");
    EXPECT_EQ(Form1->Button1.Caption(), "Vyřadit knihu");
}

TEST_F(BooksCommandsTest, ReincludeClearsTheDiscardOfTheHighlightedBookOnly)
{
    // Two discarded books with one code.
    const std::int64_t first = AddBook("D1", "Dáma s kaméliemi", false, "1.1.2020");
    const std::int64_t second = AddBook("D1", "Dáma s kaméliemi II", false, "3.3.2021");
    OpenBooksPage();
    ChooseState(3);
    Highlight("Dáma s kaméliemi II");
    ASSERT_EQ(Form1->Button1.Caption(), "Zařadit knihu");
    dialogs_->Expect("Kniha byla úspěšně zařazena.", "Kniha zařazena");
    Form1->Button1.Click();
    ASSERT_EQ(dialogs_->Messages().size(), 1u);
    EXPECT_EQ(dialogs_->Messages()[0].Icon(), ui::MB_ICONINFORMATION);
    EXPECT_EQ(BookByNumber(second)->Vlastnosti, "");
    EXPECT_EQ(BookByNumber(first)->Vlastnosti, "Vyřazená");
    EXPECT_EQ(CountRecords("Knihy.DB", "VyrazenoDatum='' AND VyrazenoText=''"), 6);
    // The list keeps its text and state: only the other discarded book is left in it.
    EXPECT_EQ(Form1->Query1.Filter(), "Vlastnosti='Vyřazená'");
    EXPECT_EQ(Shown(1), (Lines{"Dáma s kaméliemi"}));
    EXPECT_EQ(Books(), 7);
}

// ---- Copy under a new code. ----

TEST_F(BooksCommandsTest, CopyTakesOverTheBookUnderTheNewCode)
{
    OpenBooksPage();
    Highlight("Babička");
    dialogs_->AnswerInput("A1-2");
    Form1->Vytvoitkopiizznamu1.Click();
    ASSERT_EQ(dialogs_->Inputs().size(), 1u);
    EXPECT_EQ(dialogs_->Inputs()[0].Caption, "Zadejte kód knihy");
    EXPECT_EQ(dialogs_->Inputs()[0].Prompt, "Zadejte prosím kód nové knihy:");
    EXPECT_EQ(dialogs_->Inputs()[0].Default, "A1");
    EXPECT_TRUE(dialogs_->Messages().empty());

    data::TTable copy;
    copy.TableName = "Knihy.DB";
    copy.SetFilter("Kod='A1-2'");
    copy.SetFiltered(true);
    copy.Open();
    ASSERT_EQ(copy.RecordCount(), 1);
    const std::pair<const char*, const char*> copied[] = {
        {"Nazev", "Babička"},          {"Autor", "Němcová Božena"}, {"Ilustrator", "Aleš Mikoláš"},
        {"Nakladatelstvi", "Albatros"}, {"Kategorie", "Próza"},      {"Umisteni", "Sklad A"},
        {"Signatura", "N-12"},          {"RokVydani", "1855"},       {"PocetStran", "312"},
        {"VekOd", "10"},                {"Anotace", "Obrazy venkovského života"},
        {"KlicovaSlova", "venkov,\"staré časy\""}};
    for (const auto& [field, value] : copied)
        EXPECT_EQ(copy.FieldByName(field).AsString(), value) << field;
    EXPECT_FALSE(copy.FieldByName("CenaX").IsNull());
    const data::TCurrency price = copy.FieldByName("CenaX").AsCurrency();
    copy.SetFilter("Cislo='" + std::to_string(babicka_) + "'");
    EXPECT_EQ(copy.FieldByName("CenaX").AsCurrency(), price);
    copy.SetFilter("Kod='A1-2'");
    EXPECT_EQ(copy.FieldByName("Pujceno").AsString(), "False");
    for (const char* field : {"Cena", "VyrazenoDatum", "VyrazenoText", "Vlastnosti"})
        EXPECT_TRUE(copy.FieldByName(field).IsNull()) << field;
    EXPECT_GT(copy.FieldByName("Cislo").AsInteger(), lent_);
    copy.Close();

    EXPECT_FALSE(Form1->Table2.Filtered());
    EXPECT_EQ(Shown(0), (Lines{"", "A1", "A1-2", "X1", "X1"}));
}

struct CopyRefusal {
    const char* name;
    std::string typed;
    const char* text;
    const char* title;
};

void PrintTo(const CopyRefusal& r, std::ostream* os)
{
    *os << r.name;
}

class CopyRefusalTest : public BooksCommandsTest, public ::testing::WithParamInterface<CopyRefusal> {
protected:
    void SetUp() override
    {
        BooksCommandsTest::SetUp();
        AddFullBook("ABCDEFGHIJKLMNOPQRST", "Dlouhý kód", "Nikdo", "Sklad A");
    }
};

TEST_P(CopyRefusalTest, WritesNothing)
{
    OpenBooksPage();
    Highlight("Babička");
    dialogs_->AnswerInput(GetParam().typed);
    dialogs_->Expect(GetParam().text, GetParam().title);
    Form1->Vytvoitkopiizznamu1.Click();
    ExpectWarning(GetParam().text, GetParam().title);
    EXPECT_EQ(Books(), 6);
    EXPECT_EQ(Form1->Table2.State(), data::TDataSetState::dsBrowse);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, CopyRefusalTest,
    ::testing::Values(CopyRefusal{"Unchanged", "A1", "Kniha s tímto kódem již existuje!", "Kód již existuje"},
                      CopyRefusal{"AnotherBooksCode", "X1", "Kniha s tímto kódem již existuje!", "Kód již existuje"},
                      // Stored cut to the code's width, the code is one already there.
                      CopyRefusal{"LongerThanTheField", "ABCDEFGHIJKLMNOPQRST-navíc", "Kniha s tímto kódem již existuje!",
                                  "Kód již existuje"},
                      CopyRefusal{"Empty", "", "Nezadali jste kód knihy!", "Chybí kód"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(BooksCommandsTest, LongCodeIsStoredCutAndTestedAsStored)
{
    AddFullBook("ABCDEFGHIJKLMNOPQRST", "Dlouhý kód", "Nikdo", "Sklad A");
    OpenBooksPage();
    Highlight("Bajky");
    dialogs_->AnswerInput("ABCDEFGHIJKLMNOPQRSU-navíc");
    Form1->Vytvoitkopiizznamu1.Click();
    EXPECT_TRUE(dialogs_->Messages().empty());
    EXPECT_EQ(CountRecords("Knihy.DB", "Kod='ABCDEFGHIJKLMNOPQRSU'"), 1);
}

TEST_F(BooksCommandsTest, BlankCodeIsACodeAndQuotesAreText)
{
    OpenBooksPage();
    for (const std::string code : {"  ", "K'1", "K\"2"}) {
        Highlight("Bajky");
        dialogs_->AnswerInput(code);
        Form1->Vytvoitkopiizznamu1.Click();
        EXPECT_EQ(CountRecords("Knihy.DB", "Kod=" + data::QuoteValue(code) + " AND Nazev='Bajky'"), 1) << code;
    }
    EXPECT_TRUE(dialogs_->Messages().empty());
    EXPECT_EQ(Books(), 8);
}

TEST_F(BooksCommandsTest, CancelledCopyChangesNothing)
{
    OpenBooksPage();
    dialogs_->CancelInput();
    Form1->Vytvoitkopiizznamu1.Click();
    EXPECT_EQ(Books(), 5);
    EXPECT_TRUE(dialogs_->Messages().empty());
}

TEST_F(BooksCommandsTest, CopyFromAnEmptyListGetsTheCodeOnly)
{
    OpenBooksPage();
    TypeInto(Form1->Edit5, "NIC");
    dialogs_->AnswerInput("N1");
    Form1->Vytvoitkopiizznamu1.Click();
    ASSERT_EQ(dialogs_->Inputs().at(0).Default, "");
    data::TTable copy;
    copy.TableName = "Knihy.DB";
    copy.SetFilter("Kod='N1'");
    copy.SetFiltered(true);
    copy.Open();
    ASSERT_EQ(copy.RecordCount(), 1);
    EXPECT_EQ(copy.FieldByName("Pujceno").AsString(), "False");
    EXPECT_TRUE(copy.FieldByName("Nazev").IsNull());
    EXPECT_TRUE(copy.FieldByName("Autor").IsNull());
}

TEST_F(BooksCommandsTest, FailedCopyPostsNothingAndIsShown)
{
    OpenBooksPage();
    Highlight("Babička");
    Form1->Table2.BeforePost = [](data::TDataSet&) { throw data::EDatabaseError("Tabulka je jen pro čtení."); };
    dialogs_->AnswerInput("A9");
    dialogs_->Expect("Tabulka je jen pro čtení.");
    AsUser([] { Form1->Vytvoitkopiizznamu1.Click(); });
    Form1->Table2.BeforePost = nullptr;
    ASSERT_EQ(dialogs_->Messages().size(), 1u);
    EXPECT_EQ(dialogs_->Messages()[0].Icon(), ui::MB_ICONERROR);
    EXPECT_EQ(Form1->Table2.State(), data::TDataSetState::dsBrowse);
    // Nothing of the copy turns up later, when the table's filter changes.
    Form1->Table2.SetFilter("Kod='A1'");
    Form1->Table2.SetFiltered(true);
    Form1->Table2.SetFiltered(false);
    EXPECT_EQ(Books(), 5);
    EXPECT_EQ(CountRecords("Knihy.DB", "Kod='A9'"), 0);
}

} // namespace
