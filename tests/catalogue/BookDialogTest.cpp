// The book dialog's three modes and what its OK writes or refuses, checked on the table on disk.

#include "BookDialogFixture.h"

#include "catalogue/KlicovaSlova.h"

using namespace booktest;

namespace {

const char* const kMissing = "Musíte zadat kód a název knihy!";
const char* const kCodeExists = "Kniha s tímto kódem již existuje!";

class BookDialog : public BookDialogTest {
protected:
    void SetUp() override
    {
        BookDialogTest::SetUp();
        AddName("Číselníky03.db", "Román");
        AddName("Číselníky03.db", "Encyklopedie");
        AddName("Číselníky03.db", "Čítanka");
        AddName("Číselníky04.db", "Sklad");
        AddName("Číselníky04.db", "Regál A");
        babicka_ = AddBook("K001", "Babička");
        AddBook("K002", "Krakatit", true);
        saturnin_ = AddBook("K003", "Saturnin", false, "1.1.2020");
    }
    std::int64_t babicka_ = 0, saturnin_ = 0;
};

TEST_F(BookDialog, AddWritesEveryInputAndRebuildsTheList)
{
    StartProgram();
    const int before = BookCount();
    ShowAdd([](TForm4& d) {
        EXPECT_EQ(d.Caption(), "Přidat knihu");
        EXPECT_TRUE(d.Edit1.hasFocus());
        // The code lists are offered sorted, nothing chosen.
        EXPECT_EQ(d.ComboBox1.Items(), (std::vector<std::string>{"Čítanka", "Encyklopedie", "Román"}));
        EXPECT_EQ(d.ComboBox2.Items(), (std::vector<std::string>{"Regál A", "Sklad"}));
        EXPECT_EQ(d.ComboBox1.ItemIndex(), -1);
        Type(d.Edit1, "K100");
        Type(d.Edit2, "Bylo nebylo");
        Type(d.ComboBox4, "Erben");
        Type(d.ComboBox3, "Trnka");
        Type(d.ComboBox5, "Albatros");
        d.ComboBox1.SetItemIndex(d.ComboBox1.IndexOf("Román"));
        d.ComboBox2.SetItemIndex(d.ComboBox2.IndexOf("Sklad"));
        Type(d.Edit7, "E-12");
        Type(d.Edit6, "12,50");
        Type(d.Edit3, "1990");
        Type(d.Edit4, "240");
        Type(d.Edit5, "8");
        d.Memo1.SetText("První řádek\nDruhý řádek");
        d.ListBox1.AddItem("pohádky");
        d.ListBox1.AddItem("druhá světová válka");
        PressOk(d);
        EXPECT_EQ(d.ModalResult(), ui::mrOk);
    });
    EXPECT_TRUE(dialogs_->Messages().empty());
    ASSERT_EQ(BookCount(), before + 1);
    const auto book = Stored("K100");
    EXPECT_EQ(book.at("Nazev"), "Bylo nebylo");
    EXPECT_EQ(book.at("Autor"), "Erben");
    EXPECT_EQ(book.at("Ilustrator"), "Trnka");
    EXPECT_EQ(book.at("Nakladatelstvi"), "Albatros");
    EXPECT_EQ(book.at("Kategorie"), "Román");
    EXPECT_EQ(book.at("Umisteni"), "Sklad");
    EXPECT_EQ(book.at("Signatura"), "E-12");
    EXPECT_EQ(book.at("CenaX"), "12,5");
    EXPECT_EQ(book.at("RokVydani"), "1990");
    EXPECT_EQ(book.at("PocetStran"), "240");
    EXPECT_EQ(book.at("VekOd"), "8");
    EXPECT_EQ(book.at("Anotace"), "První řádek\nDruhý řádek");
    EXPECT_EQ(book.at("KlicovaSlova"), "pohádky,\"druhá světová válka\"");
    // A new book is on the shelf: not lent, not discarded.
    EXPECT_EQ(book.at("Pujceno"), "False");
    EXPECT_EQ(book.at("Vlastnosti"), "");
    EXPECT_EQ(book.at("VyrazenoDatum"), "");
    EXPECT_EQ(book.at("Cena"), "");
    // The main window's list was built again by the books page's quick filter, which lists the
    // books on the shelf: Babička and the new one; the dialog is back to empty.
    EXPECT_EQ(Form1->Tag, 2);
    EXPECT_EQ(Form1->Query1.RecordCount(), 2);
    EXPECT_EQ(Form4->Edit1.Text(), "");
    EXPECT_EQ(Form4->ListBox1.Count(), 0);
}

TEST_F(BookDialog, EmptyNumbersAreStoredWithoutValue)
{
    StartProgram();
    ShowAdd([](TForm4& d) {
        Type(d.Edit1, "K100");
        Type(d.Edit2, "Bez čísel");
        PressOk(d);
    });
    for (const char* field : {"CenaX", "RokVydani", "PocetStran", "VekOd"})
        EXPECT_TRUE(StoredNull("K100", field)) << field;
}

TEST_F(BookDialog, EditLoadsTheBookAndChangesOnlyWhatTheDialogHolds)
{
    SetBookFields("K002", {{"Kategorie", "Román"}, {"Umisteni", "Regál A"}, {"CenaX", "99,9"}, {"RokVydani", "1924"},
                           {"KlicovaSlova", "\"vědecká fantastika\",výbuch"}, {"Anotace", "a\nb"}, {"Cena", "99"}});
    StartProgram();
    const auto before = Stored("K002");
    ShowEdit(Book("K002")->Cislo, [](TForm4& d) {
        EXPECT_EQ(d.Caption(), "Upravit knihu");
        EXPECT_EQ(d.Edit1.Text(), "K002");
        EXPECT_EQ(d.Edit2.Text(), "Krakatit");
        EXPECT_EQ(d.ComboBox4.Text(), "Autor K002");
        EXPECT_EQ(d.ComboBox1.Text(), "Román");
        EXPECT_EQ(d.ComboBox2.Text(), "Regál A");
        EXPECT_EQ(d.Edit6.Text(), "99,9");
        EXPECT_EQ(d.Edit3.Text(), "1924");
        EXPECT_EQ(d.Edit4.Text(), "");
        EXPECT_EQ(d.Memo1.Text(), "a\nb");
        EXPECT_EQ(d.ListBox1.Items(), (std::vector<std::string>{"vědecká fantastika", "výbuch"}));
        // Loaded inputs show unfocused; the focus waits on OK.
        EXPECT_EQ(d.Edit1.Color(), ui::clWhite);
        EXPECT_EQ(d.Edit2.Color(), ui::clWhite);
        EXPECT_TRUE(d.BitBtn1.hasFocus());
        d.Edit2.SetText("Krakatit (2. vydání)");
        d.ComboBox2.SetItemIndex(d.ComboBox2.IndexOf("Sklad"));
        PressOk(d);
        EXPECT_EQ(d.ModalResult(), ui::mrOk);
    });
    auto after = Stored("K002");
    EXPECT_EQ(after.at("Nazev"), "Krakatit (2. vydání)");
    EXPECT_EQ(after.at("Umisteni"), "Sklad");
    after["Nazev"] = before.at("Nazev");
    after["Umisteni"] = before.at("Umisteni");
    // Everything else, the lent state and the price as text among it, stays as it was.
    EXPECT_EQ(after, before);
    EXPECT_EQ(BookCount(), 3);
}

TEST_F(BookDialog, EditKeepsAStoredTypeOrLocationThatIsNotInItsCodeList)
{
    SetBookFields("K001", {{"Kategorie", "Poezie"}, {"Umisteni", "Půda"}});
    StartProgram();
    ShowEdit(babicka_, [](TForm4& d) {
        EXPECT_EQ(d.ComboBox1.Text(), "Poezie");
        EXPECT_EQ(d.ComboBox2.Text(), "Půda");
        d.Edit2.SetText("Babička II");
        PressOk(d);
    });
    EXPECT_EQ(Stored("K001").at("Kategorie"), "Poezie");
    EXPECT_EQ(Stored("K001").at("Umisteni"), "Půda");
    // The code list itself is not changed by showing the book.
    EXPECT_EQ(CountRecords("Číselníky03.db"), 3);
}

TEST_F(BookDialog, InfoModeShowsReadOnlyAndWritesNothing)
{
    // A text that would be written back differently if OK wrote it: a keyword with an unquoted
    // blank, a type missing from the code list.
    SetBookFields("K001", {{"KlicovaSlova", "druhá válka"}, {"Kategorie", "Poezie"}, {"CenaX", "12,3456"}});
    StartProgram();
    const auto before = Stored("K001");
    ShowInfo(babicka_, [](TForm4& d) {
        EXPECT_EQ(d.Caption(), "Info o knize");
        EXPECT_EQ(d.Edit2.Text(), "Babička");
        EXPECT_EQ(d.ComboBox1.Text(), "Poezie");
        EXPECT_EQ(d.Edit6.Text(), "12,3456");
        for (ui::TEdit* edit : {&d.Edit1, &d.Edit2, &d.Edit6, &d.Edit7, &d.ComboBox3}) {
            EXPECT_TRUE(edit->ReadOnly());
            EXPECT_EQ(edit->Color(), ui::clBtnFace);
        }
        EXPECT_TRUE(d.Memo1.ReadOnly());
        EXPECT_EQ(d.ListBox1.Color(), ui::clBtnFace);
        EXPECT_EQ(d.ComboBox1.Tag, 2);
        for (ui::TBitBtn* button : {&d.BitBtn3, &d.BitBtn4, &d.BitBtn5, &d.BitBtn6})
            EXPECT_FALSE(button->Enabled());
        EXPECT_FALSE(d.BitBtn2.Visible());
        EXPECT_EQ(d.BitBtn1.Left(), 320);
        // Typing into a code-list box gives it back its shown text.
        Type(*d.ComboBox1.lineEdit(), "x");
        EXPECT_EQ(d.ComboBox1.Text(), "Poezie");
        // Read-only inputs keep their colour when they take the focus.
        d.Edit1.SetFocus();
        EXPECT_EQ(d.Edit1.Color(), ui::clBtnFace);
        PressOk(d);
        EXPECT_EQ(d.ModalResult(), ui::mrOk);
    });
    EXPECT_EQ(Stored("K001"), before);
    // Closing put the dialog back into the add state, empty.
    EXPECT_EQ(Form4->Caption(), "Přidat knihu");
    EXPECT_FALSE(Form4->Edit1.ReadOnly());
    EXPECT_FALSE(Form4->Memo1.ReadOnly());
    EXPECT_EQ(Form4->Edit1.Color(), ui::clWhite);
    EXPECT_EQ(Form4->ComboBox1.Style(), ui::TComboBoxStyle::csDropDownList);
    EXPECT_EQ(Form4->ComboBox1.Tag, 1);
    EXPECT_TRUE(Form4->BitBtn2.Visible());
    EXPECT_EQ(Form4->BitBtn1.Left(), 294);
    EXPECT_TRUE(Form4->BitBtn5.Enabled());
    EXPECT_EQ(Form4->ListBox1.Count(), 0);
}

TEST_F(BookDialog, AddAfterEditOpensEmpty)
{
    StartProgram();
    ShowEdit(babicka_, [](TForm4& d) { d.BitBtn2.Click(); });
    ShowAdd([](TForm4& d) {
        for (ui::TEdit* edit : {&d.Edit1, &d.Edit2, &d.Edit3, &d.Edit4, &d.Edit5, &d.Edit6, &d.Edit7, &d.ComboBox3,
                                &d.ComboBox4, &d.ComboBox5})
            EXPECT_EQ(edit->Text(), "") << edit->Name;
        EXPECT_EQ(d.Memo1.Text(), "");
        EXPECT_EQ(d.ListBox1.Count(), 0);
        EXPECT_EQ(d.ComboBox1.Text(), "");
    });
    EXPECT_EQ(Stored("K001").at("Nazev"), "Babička");
}

// ---- Required fields. ----

struct Missing {
    const char* name;
    const char* code;
    const char* title;
};

void PrintTo(const Missing& p, std::ostream* os)
{
    *os << p.name;
}

class BookDialogMissing : public BookDialog, public ::testing::WithParamInterface<Missing> {};

TEST_P(BookDialogMissing, MarksTheEmptyInputsAndWritesNothing)
{
    StartProgram();
    const bool noCode = std::string(GetParam().code).empty();
    const bool noTitle = std::string(GetParam().title).empty();
    dialogs_->Expect(kMissing, "Zadejte kód a název knihy");
    ShowAdd([&](TForm4& d) {
        if (!noCode)
            Type(d.Edit1, GetParam().code);
        if (!noTitle)
            Type(d.Edit2, GetParam().title);
        PressOk(d);
        EXPECT_TRUE(StillOpen(d));
        EXPECT_EQ(d.Edit1.Color() == ui::clRed, noCode);
        EXPECT_EQ(d.Edit2.Color() == ui::clRed, noTitle);
        // The focus ends in the code when both are missing.
        EXPECT_TRUE((noCode ? d.Edit1 : d.Edit2).hasFocus());
        // Typing takes the red mark away.
        ui::TEdit& marked = noCode ? d.Edit1 : d.Edit2;
        Type(marked, "X");
        EXPECT_EQ(marked.Color(), ui::clInfoBk);
    });
    ASSERT_EQ(dialogs_->Messages().size(), 1u);
    EXPECT_EQ(dialogs_->Messages()[0].Icon(), ui::MB_ICONWARNING);
    EXPECT_EQ(BookCount(), 3);
}

INSTANTIATE_TEST_SUITE_P(Cases, BookDialogMissing,
                         ::testing::Values(Missing{"Both", "", ""}, Missing{"Code", "", "Název"},
                                           Missing{"Title", "K100", ""}),
                         [](const auto& p) { return std::string(p.param.name); });

// ---- Unique codes. ----

TEST_F(BookDialog, AddRefusesACodeThatExists)
{
    StartProgram();
    dialogs_->Expect(kCodeExists, "Kód již existuje");
    ShowAdd([](TForm4& d) {
        // The discarded book is not in a list of available books, but its code is taken all the same.
        Type(d.Edit1, "K003");
        Type(d.Edit2, "Jiný Saturnin");
        PressOk(d);
        EXPECT_TRUE(StillOpen(d));
        EXPECT_EQ(d.Edit2.Text(), "Jiný Saturnin");
    });
    EXPECT_EQ(BookCount(), 3);
    EXPECT_FALSE(Form1->Table2.Filtered());
}

TEST_F(BookDialog, EditRefusesTheCodeOfABookMissingFromTheList)
{
    StartProgram();
    // The list shows one book only; the code is still tested against the whole table.
    Form1->Query1.Close();
    Form1->Query1.SQL.Clear();
    Form1->Query1.SQL.Add("SELECT * FROM Knihy");
    Form1->Query1.SQL.Add("WHERE Kod = \"K001\"");
    Form1->Query1.SQL.Add("ORDER BY Kod");
    Form1->Query1.Open();
    dialogs_->Expect(kCodeExists, "Kód již existuje");
    ShowEdit(babicka_, [](TForm4& d) {
        d.Edit1.SetText("K003");
        PressOk(d);
        EXPECT_TRUE(StillOpen(d));
    });
    EXPECT_EQ(Stored("K001").at("Nazev"), "Babička");
    EXPECT_EQ(Stored("K003").at("Nazev"), "Saturnin");
}

struct CodeChange {
    const char* name;
    const char* newCode;
};

void PrintTo(const CodeChange& p, std::ostream* os)
{
    *os << p.name;
}

class BookDialogCodeChange : public BookDialog, public ::testing::WithParamInterface<CodeChange> {};

// A code free in the whole table, or the book's own, is taken; an apostrophe is just a character.
TEST_P(BookDialogCodeChange, SavesAFreeCode)
{
    StartProgram();
    ShowEdit(saturnin_, [](TForm4& d) {
        d.Edit1.SetText(GetParam().newCode);
        d.Edit2.SetText("Saturnin!");
        PressOk(d);
        EXPECT_EQ(d.ModalResult(), ui::mrOk);
    });
    EXPECT_TRUE(dialogs_->Messages().empty());
    const auto book = Stored(GetParam().newCode);
    ASSERT_FALSE(book.empty());
    EXPECT_EQ(book.at("Nazev"), "Saturnin!");
    EXPECT_EQ(book.at("Cislo"), std::to_string(saturnin_));
    EXPECT_EQ(book.at("VyrazenoDatum"), "1.1.2020");
    EXPECT_EQ(BookCount(), 3);
}

INSTANTIATE_TEST_SUITE_P(Cases, BookDialogCodeChange,
                         ::testing::Values(CodeChange{"Unchanged", "K003"}, CodeChange{"Free", "K999"},
                                           CodeChange{"Apostrophe", "K'3"}, CodeChange{"DoubleQuote", "K\"3"}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST_F(BookDialog, AddTakesACodeWithAnApostrophe)
{
    StartProgram();
    ShowAdd([](TForm4& d) {
        Type(d.Edit1, "O'1");
        Type(d.Edit2, "O'Neill");
        PressOk(d);
    });
    ASSERT_FALSE(Stored("O'1").empty());
    EXPECT_EQ(Stored("O'1").at("Nazev"), "O'Neill");
    // A second book with the same code is refused.
    dialogs_->Expect(kCodeExists, "Kód již existuje");
    ShowAdd([](TForm4& d) {
        Type(d.Edit1, "O'1");
        Type(d.Edit2, "Jiná");
        PressOk(d);
    });
    EXPECT_EQ(BookCount(), 4);
}

// ---- Failures. ----

TEST_F(BookDialog, AFailedSaveIsShownCancelledAndKeepsWhatWasTyped)
{
    StartProgram();
    ShowEdit(babicka_, [this](TForm4& d) {
        d.Edit2.SetText("Nový název");
        // A number field given a text by the mouse (no key comes up to put it right).
        d.Edit4.SetText("dvě stě");
        dialogs_->Answer(ui::IDOK);
        PressOk(d);
        ASSERT_EQ(dialogs_->Messages().size(), 1u);
        EXPECT_EQ(dialogs_->Messages()[0].Icon(), ui::MB_ICONERROR);
        EXPECT_NE(dialogs_->Messages()[0].Text.find("dvě stě"), std::string::npos);
        EXPECT_TRUE(StillOpen(d));
        EXPECT_EQ(d.Edit2.Text(), "Nový název");
        EXPECT_EQ(Form1->Table2.State(), data::TDataSetState::dsBrowse);
        // Put right, the same dialog saves.
        d.Edit4.SetText("200");
        PressOk(d);
        EXPECT_EQ(d.ModalResult(), ui::mrOk);
    });
    EXPECT_EQ(Stored("K001").at("Nazev"), "Nový název");
    EXPECT_EQ(Stored("K001").at("PocetStran"), "200");
}

TEST_F(BookDialog, AFailedAddLeavesNoRecord)
{
    StartProgram();
    Form1->Table2.BeforePost = [](data::TDataSet&) { throw data::EDatabaseError("Tabulka je zamčená."); };
    dialogs_->Answer(ui::IDOK);
    ShowAdd([](TForm4& d) {
        Type(d.Edit1, "K100");
        Type(d.Edit2, "Nová");
        PressOk(d);
        EXPECT_TRUE(StillOpen(d));
        EXPECT_EQ(Form1->Table2.State(), data::TDataSetState::dsBrowse);
    });
    Form1->Table2.BeforePost = nullptr;
    EXPECT_NE(dialogs_->Messages().at(0).Text.find("Tabulka je zamčená."), std::string::npos);
    EXPECT_EQ(BookCount(), 3);
}

TEST_F(BookDialog, ABookThatIsGoneIsNeitherShownNorMadeUp)
{
    StartProgram();
    dialogs_->Expect("Kniha, která se má upravit, již v databázi není.");
    ShowEdit(9999, [](TForm4& d) { EXPECT_FALSE(StillOpen(d)); });
    // Gone while the dialog was open: OK makes no new book of it.
    dialogs_->Expect("Kniha, která se má upravit, již v databázi není.");
    ShowEdit(babicka_, [](TForm4& d) {
        Form1->Table2.SetFilter("Cislo='9999'");
        d.Edit2.SetText("Nikdo");
        PressOk(d);
        EXPECT_TRUE(StillOpen(d));
    });
    EXPECT_EQ(BookCount(), 3);
    EXPECT_EQ(Stored("K001").at("Nazev"), "Babička");
}

TEST_F(BookDialog, AnUnknownCaptionAddsAndNeverOverwritesTheCurrentBook)
{
    StartProgram();
    Form1->Table2.SetFilter("Cislo='" + std::to_string(babicka_) + "'");
    Form1->Table2.SetFiltered(true);
    ShowWithCaption("", [](TForm4& d) {
        EXPECT_EQ(d.Edit2.Text(), "");
        Type(d.Edit1, "K100");
        Type(d.Edit2, "Nová");
        PressOk(d);
    }, ui::mrCancel);
    EXPECT_EQ(Stored("K001").at("Nazev"), "Babička");
    EXPECT_EQ(Stored("K100").at("Nazev"), "Nová");
}

// ---- Texts that would not fit their fields. ----

TEST_F(BookDialog, TypingStopsAtTheWidthOfPublisherAndSignature)
{
    StartProgram();
    ShowAdd([](TForm4& d) {
        Type(d.Edit1, "K100");
        Type(d.Edit2, "Dlouhá");
        Type(d.ComboBox5, std::string(120, 'n'));
        Type(d.Edit7, std::string(60, 's'));
        EXPECT_EQ(d.ComboBox5.Text().size(), 100u);
        EXPECT_EQ(d.Edit7.Text().size(), 50u);
        PressOk(d);
    });
    EXPECT_EQ(Stored("K100").at("Nakladatelstvi"), std::string(100, 'n'));
    EXPECT_EQ(Stored("K100").at("Signatura"), std::string(50, 's'));
}

TEST_F(BookDialog, KeywordsOrAnnotationTooLongAreRefusedNotCut)
{
    StartProgram();
    dialogs_->Expect("Text v poli \u201EKlíčová slova\u201C je příliš dlouhý: pole pojme nejvýše 255 znaků, zadáno je "
                     "259.");
    dialogs_->Expect("Text v poli \u201EAnotace\u201C je příliš dlouhý: pole pojme nejvýše 255 znaků, zadáno je 260.");
    ShowAdd([](TForm4& d) {
        Type(d.Edit1, "K100");
        Type(d.Edit2, "Dlouhá");
        // Ten keywords of 25 letters and their nine commas.
        for (int i = 0; i < 10; ++i)
            d.ListBox1.AddItem("k" + std::to_string(i) + std::string(23, 'x'));
        PressOk(d);
        EXPECT_TRUE(StillOpen(d));
        d.ListBox1.DeleteItem(0);
        d.Memo1.SetText(std::string(130, 'a') + "\n\n\n\n\n" + std::string(125, 'b'));
        PressOk(d);
        EXPECT_TRUE(StillOpen(d));
        EXPECT_TRUE(d.Memo1.hasFocus());
    });
    EXPECT_EQ(BookCount(), 3);
}

// ---- New entries of the code lists. ----

TEST_F(BookDialog, NewTypeGoesToTheCodeListAndIsChosen)
{
    StartProgram();
    ShowAdd([this](TForm4& d) {
        dialogs_->AnswerInput("Dobrodružná");
        d.BitBtn5.Click();
        EXPECT_EQ(d.ComboBox1.Text(), "Dobrodružná");
        EXPECT_EQ(d.ComboBox1.ItemIndex(), 1); // Čítanka, Dobrodružná, Encyklopedie, Román
        dialogs_->CancelInput();
        d.BitBtn6.Click();
        EXPECT_EQ(d.ComboBox2.ItemIndex(), -1);
        Type(d.Edit1, "K100");
        Type(d.Edit2, "Ostrov pokladů");
        PressOk(d);
    });
    ASSERT_EQ(dialogs_->Inputs().size(), 2u);
    EXPECT_EQ(dialogs_->Inputs()[0].Caption, "Zadejte název");
    EXPECT_EQ(dialogs_->Inputs()[0].Prompt, "Zadejte prosím název nového typu knihy:");
    EXPECT_EQ(dialogs_->Inputs()[1].Prompt, "Zadejte prosím název nového umístění knihy:");
    EXPECT_EQ(CountRecords("Číselníky03.db", "Nazev='Dobrodružná'"), 1);
    EXPECT_EQ(CountRecords("Číselníky04.db"), 2);
    EXPECT_EQ(Stored("K100").at("Kategorie"), "Dobrodružná");
}

} // namespace
