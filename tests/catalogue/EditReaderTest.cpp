// The edit-reader dialog: loading, saving through the Enter chain, the refusal to deactivate a
// reader with books out (which leaves nothing pending), failures, and the information mode.

#include "ReaderDialogSupport.h"

#include "app/Hlavni.h"
#include "catalogue/OdebratCtenare.h"
#include "platform/data/DataSet.h"

#include <QApplication>

using namespace readertest;

namespace {

const char* const kRefusal = "Tento čtenář má půjčené knihy - nelze ho vyřadit!";

class EditReaderTest : public ReaderDialogTest {
protected:
    void SetUp() override {
        ReaderDialogTest::SetUp();
        novak_ = AddReader("Novák Jan", true, "5.A", "brýle", "Žák");
        // A class the code list no longer offers (after a roll-over, say).
        dvorak_ = AddReader("Dvořák Petr", true, "9.Z", "", "Učitel");
        book_ = AddBook("K001", "Babička", true);
    }
    // Positions the readers table on the reader as the dialog's openers do, then shows the dialog;
    // `user` works in it while it is shown. A dialog still open afterwards is closed by its close box.
    void Run(std::int64_t reader, const std::function<void(TForm3&)>& user, bool info = false) {
        Form1->Table1.SetFiltered(false);
        Form1->Table1.SetFilter("Cislo='" + std::to_string(reader) + "'");
        Form1->Table1.SetFiltered(true);
        if (info) Form3->EnterInfoMode();
        dialogs_->ExpectModal(*Form3, std::function<void(TForm3&)>([user](TForm3& f) {
            QApplication::setActiveWindow(&f);
            user(f);
        }),
                              ui::mrCancel);
        Form3->ShowModal();
    }
    static void ExpectEditMode(const TForm3& f) {
        EXPECT_EQ(f.Caption(), "Upravit čtenáře");
        EXPECT_FALSE(f.Edit1.ReadOnly());
        EXPECT_FALSE(f.Edit4.ReadOnly());
        EXPECT_EQ(f.ComboBox1.Style(), ui::TComboBoxStyle::csDropDownList);
        EXPECT_EQ(f.ComboBox2.Style(), ui::TComboBoxStyle::csDropDownList);
        EXPECT_TRUE(f.CheckBox1.Enabled());
        EXPECT_TRUE(f.BitBtn3.Enabled());
        EXPECT_TRUE(f.BitBtn4.Enabled());
        EXPECT_EQ(f.BitBtn1.Left(), 56);
        EXPECT_FALSE(f.BitBtn2.isHidden());
    }
    std::int64_t novak_ = 0, dvorak_ = 0, book_ = 0;
};

TEST_F(EditReaderTest, EnterChainSavesTheChangedReader) {
    StartProgram();
    ClickTab(2);
    Run(novak_, [&](TForm3& f) {
        ExpectEditMode(f);
        EXPECT_TRUE(f.BitBtn1.Focused());
        EXPECT_EQ(f.Edit1.Text(), "Novák Jan");
        EXPECT_EQ(f.ComboBox1.Text(), "5.A");
        EXPECT_EQ(f.ComboBox2.Text(), "Žák");
        EXPECT_EQ(f.Edit4.Text(), "brýle");
        EXPECT_TRUE(f.CheckBox1.Checked());

        Retype(f.Edit1, "Novák Jan ml.");
        PressEnter(f.Edit1);
        ASSERT_TRUE(f.ComboBox1.Focused());
        EXPECT_EQ(f.ComboBox1.Color(), ui::clInfoBk);
        EXPECT_EQ(f.Edit1.Color(), ui::clWhite);
        Choose(f.ComboBox1, "6.B");
        PressEnter(f.ComboBox1);
        ASSERT_TRUE(f.ComboBox2.Focused());
        Choose(f.ComboBox2, "Učitel");
        PressEnter(f.ComboBox2);
        ASSERT_TRUE(f.Edit4.Focused());
        Keys(f.Edit4, ", čočky");
        PressEnter(f.Edit4);
        ASSERT_TRUE(f.CheckBox1.Focused());
        PressEnter(f.CheckBox1);
        ASSERT_TRUE(f.BitBtn1.Focused());
        EXPECT_FALSE(Closed(f));
        PressEnter(f.BitBtn1);
        EXPECT_TRUE(Closed(f));
    });
    const auto row = Reader(novak_);
    ASSERT_TRUE(row);
    EXPECT_EQ(row->Jmeno, "Novák Jan ml.");
    EXPECT_EQ(row->Trida, "6.B");
    EXPECT_EQ(row->Kategorie, "Učitel");
    EXPECT_EQ(row->Poznamka, "brýle, čočky");
    EXPECT_EQ(row->Aktivni, "True");
    EXPECT_EQ(row->Stav, "Aktivní");
    EXPECT_EQ(Reader(dvorak_)->Jmeno, "Dvořák Petr");
    EXPECT_EQ(Readers().size(), 2u);
    EXPECT_TRUE(dialogs_->Messages().empty());
}

// A class or category the code list does not hold is shown and kept, not emptied by the pick list.
TEST_F(EditReaderTest, StoredValueMissingFromTheCodeListIsKept) {
    StartProgram();
    ClickTab(2);
    Run(dvorak_, [&](TForm3& f) {
        EXPECT_EQ(f.ComboBox1.Text(), "9.Z");
        Retype(f.Edit4, "nová poznámka");
        Click(f.BitBtn1);
        EXPECT_TRUE(Closed(f));
    });
    EXPECT_EQ(Reader(dvorak_)->Trida, "9.Z");
    EXPECT_EQ(Reader(dvorak_)->Poznamka, "nová poznámka");
    EXPECT_EQ(CodeList("Číselníky02.db"), (std::vector<std::string>{"6.B", "5.A", "7.C"}));
}

struct DeactivationCase {
    const char* name;
    bool loan;
    bool returned;
    bool refused;
};

void PrintTo(const DeactivationCase& c, std::ostream* os) {
    *os << c.name;
}

class Deactivation : public EditReaderTest, public ::testing::WithParamInterface<DeactivationCase> {};

// Clearing "Aktivní čtenář" is refused while a book is out; a refusal leaves no pending change that
// a later command could save, and the loans dataset shows the open loans again either way.
TEST_P(Deactivation, OnlyAReaderWithoutBooksOutIsDeactivated) {
    const DeactivationCase c = GetParam();
    if (c.loan) AddLoan(novak_, book_, apptest::DayText(-20), c.returned ? apptest::DayText(-3) : "");
    AddLoan(dvorak_, book_, apptest::DayText(-2));
    StartProgram();
    ClickTab(2);
    if (c.refused) dialogs_->Expect(kRefusal, "Nelze vyřadit čtenáře");
    Run(novak_, [&](TForm3& f) {
        Retype(f.Edit4, "odešel");
        f.CheckBox1.SetFocus();
        QTest::keyClick(&f.CheckBox1, Qt::Key_PageDown);
        ASSERT_FALSE(f.CheckBox1.Checked());
        Click(f.BitBtn1);
        EXPECT_EQ(Closed(f), !c.refused);
        EXPECT_EQ(Form1->Table1.State(), data::TDataSetState::dsBrowse);
        if (c.refused) Click(f.BitBtn2);
    });
    EXPECT_EQ(Form1->Table3.Filter(), "VracenoB='False'");
    EXPECT_TRUE(Form1->Table3.Filtered());
    // A later command that moves the readers table saves nothing left behind.
    Form1->Table1.SetFiltered(false);
    const auto row = Reader(novak_);
    if (c.refused) {
        EXPECT_EQ(row->Aktivni, "True");
        EXPECT_EQ(row->Stav, "Aktivní");
        EXPECT_EQ(row->Poznamka, "brýle");
        EXPECT_EQ(dialogs_->Messages()[0].Icon(), ui::MB_ICONWARNING);
    } else {
        EXPECT_EQ(row->Aktivni, "False");
        EXPECT_EQ(row->Stav, "Neaktivní");
        EXPECT_EQ(row->Poznamka, "odešel");
        EXPECT_TRUE(dialogs_->Messages().empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Loans, Deactivation,
                         ::testing::Values(DeactivationCase{"NoLoans", false, false, false},
                                           DeactivationCase{"ReturnedLoan", true, true, false},
                                           DeactivationCase{"OpenLoan", true, false, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// An inactive reader who still has a book out cannot be saved until the box is ticked again.
TEST_F(EditReaderTest, InactiveReaderWithABookOutIsSavedOnlyWhenTicked) {
    const std::int64_t reader = AddReader("Malá Eva", false, "7.C");
    AddLoan(reader, book_, apptest::DayText(-5));
    StartProgram();
    ClickTab(2);
    dialogs_->Expect(kRefusal, "Nelze vyřadit čtenáře");
    Run(reader, [&](TForm3& f) {
        EXPECT_FALSE(f.CheckBox1.Checked());
        Retype(f.Edit4, "jen poznámka");
        Click(f.BitBtn1);
        EXPECT_FALSE(Closed(f));
        f.CheckBox1.SetFocus();
        QTest::keyClick(&f.CheckBox1, Qt::Key_PageUp);
        Click(f.BitBtn1);
        EXPECT_TRUE(Closed(f));
    });
    EXPECT_EQ(Reader(reader)->Poznamka, "jen poznámka");
    EXPECT_EQ(Reader(reader)->Aktivni, "True");
    EXPECT_EQ(Reader(reader)->Stav, "Aktivní");
}

TEST_F(EditReaderTest, EmptyNameIsMarkedAndNothingIsSaved) {
    StartProgram();
    ClickTab(2);
    dialogs_->Expect("Musíte zadat jméno čtenáře!", "Zadejte jméno čtenáře");
    Run(novak_, [&](TForm3& f) {
        Retype(f.Edit1, "");
        Retype(f.Edit4, "jiná");
        Click(f.BitBtn1);
        EXPECT_FALSE(Closed(f));
        EXPECT_TRUE(f.Edit1.Focused());
        EXPECT_NE(f.Edit1.Color(), ui::clWhite);
        EXPECT_EQ(Form1->Table1.State(), data::TDataSetState::dsBrowse);
    });
    Form1->Table1.SetFiltered(false);
    EXPECT_EQ(Reader(novak_)->Jmeno, "Novák Jan");
    EXPECT_EQ(Reader(novak_)->Poznamka, "brýle");
}

TEST_F(EditReaderTest, FailedSaveIsShownAndTheDialogStaysOpen) {
    StartProgram();
    ClickTab(2);
    Form1->Table1.BeforePost = [](data::TDataSet&) { throw data::EDatabaseError("Disk je plný."); };
    dialogs_->Expect("Disk je plný.");
    Run(novak_, [&](TForm3& f) {
        Retype(f.Edit1, "Novák Jan st.");
        Click(f.BitBtn1);
        EXPECT_FALSE(Closed(f));
        EXPECT_EQ(Form1->Table1.State(), data::TDataSetState::dsBrowse);
        EXPECT_EQ(f.Edit1.Text(), "Novák Jan st.");
        Form1->Table1.BeforePost = nullptr;
        Click(f.BitBtn1);
        EXPECT_TRUE(Closed(f));
    });
    EXPECT_EQ(dialogs_->Messages()[0].Icon(), ui::MB_ICONERROR);
    EXPECT_EQ(Reader(novak_)->Jmeno, "Novák Jan st.");
    EXPECT_EQ(Readers().size(), 2u);
}

// Positioned on a reader who is not there, the dialog says so and closes; no reader is made up.
TEST_F(EditReaderTest, MissingReaderClosesWithoutCreatingOne) {
    StartProgram();
    ClickTab(2);
    dialogs_->Answer(ui::IDOK);
    Run(novak_ + 100, [&](TForm3& f) { EXPECT_TRUE(Closed(f)); });
    EXPECT_EQ(dialogs_->Messages().size(), 1u);
    EXPECT_EQ(Form1->Table1.State(), data::TDataSetState::dsBrowse);
    Form1->Table1.SetFiltered(false);
    EXPECT_EQ(Readers().size(), 2u);
}

// The information mode shows the reader read-only, never writes (not even for an inactive reader
// with a book out, whose saving would be refused), and closing brings the edit mode back.
TEST_F(EditReaderTest, InfoModeShowsWithoutWriting) {
    const std::int64_t reader = AddReader("Malá Eva", false, "7.C", "pozor");
    AddLoan(reader, book_, apptest::DayText(-5));
    StartProgram();
    ClickTab(3);
    int posts = 0;
    Form1->Table1.BeforePost = [&posts](data::TDataSet&) { ++posts; };
    Run(
        reader,
        [&](TForm3& f) {
            EXPECT_EQ(f.Caption(), "Info o čtenáři");
            EXPECT_TRUE(f.InfoMode());
            EXPECT_TRUE(f.Edit1.ReadOnly());
            EXPECT_TRUE(f.Edit4.ReadOnly());
            EXPECT_EQ(f.ComboBox1.Style(), ui::TComboBoxStyle::csSimple);
            EXPECT_FALSE(f.CheckBox1.Enabled());
            EXPECT_FALSE(f.BitBtn3.Enabled());
            EXPECT_FALSE(f.BitBtn4.Enabled());
            EXPECT_TRUE(f.BitBtn2.isHidden());
            EXPECT_EQ(f.BitBtn1.Left(), 88);
            EXPECT_EQ(f.Edit1.Text(), "Malá Eva");
            EXPECT_EQ(f.ComboBox1.Text(), "7.C");

            // Typing into a list puts its text back at once; the fields keep the button face.
            f.ComboBox1.SetFocus();
            Keys(f.ComboBox1, "x");
            EXPECT_EQ(f.ComboBox1.Text(), "7.C");
            EXPECT_EQ(f.ComboBox1.Color(), ui::clBtnFace);
            Keys(f.Edit1, "y");
            EXPECT_EQ(f.Edit1.Text(), "Malá Eva");
            // Enter in the note skips the disabled check box and stops on OK.
            f.Edit4.SetFocus();
            EXPECT_EQ(f.Edit4.Color(), ui::clBtnFace);
            PressEnter(f.Edit4);
            ASSERT_TRUE(f.BitBtn1.Focused());
            Click(f.BitBtn1);
            EXPECT_TRUE(Closed(f));
        },
        true);
    EXPECT_EQ(posts, 0);
    EXPECT_TRUE(dialogs_->Messages().empty());
    EXPECT_FALSE(Form3->InfoMode());
    ExpectEditMode(*Form3);
    EXPECT_EQ(Form3->Edit1.Color(), ui::clWhite);
    EXPECT_EQ(Form3->ComboBox1.Color(), ui::clWhite);
    Form1->Table1.BeforePost = nullptr;

    // The next showing from the readers page edits again.
    Run(novak_, [&](TForm3& f) {
        ExpectEditMode(f);
        EXPECT_EQ(f.Edit1.Text(), "Novák Jan");
        f.ComboBox1.SetFocus();
        EXPECT_EQ(f.ComboBox1.Color(), ui::clInfoBk);
    });
    Form1->Table1.SetFiltered(false);
    EXPECT_EQ(Reader(reader)->Poznamka, "pozor");
    EXPECT_EQ(Reader(reader)->Aktivni, "False");
}

TEST_F(EditReaderTest, NewClassIsStoredAndChosen) {
    StartProgram();
    ClickTab(2);
    dialogs_->AnswerInput("8.D");
    Run(novak_, [&](TForm3& f) {
        Click(f.BitBtn3);
        EXPECT_EQ(f.ComboBox1.Text(), "8.D");
        Click(f.BitBtn1);
    });
    EXPECT_EQ(dialogs_->Inputs()[0].Prompt, "Zadejte prosím název nové třídy:");
    EXPECT_EQ(CodeList("Číselníky02.db"), (std::vector<std::string>{"6.B", "5.A", "7.C", "8.D"}));
    Form1->Table1.SetFiltered(false);
    EXPECT_EQ(Reader(novak_)->Trida, "8.D");
}

} // namespace
