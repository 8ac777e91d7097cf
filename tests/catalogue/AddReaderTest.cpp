// The add-reader dialog: typed through its Enter chain, refused without a surname, kept after
// Storno, its failures shown, new classes and categories, and the lending desk after an add.

#include "ReaderDialogSupport.h"

#include "app/Hlavni.h"
#include "catalogue/PridatCtenare.h"
#include "platform/data/DataSet.h"

#include <QApplication>

using namespace readertest;

namespace {

class AddReaderTest : public ReaderDialogTest {
protected:
    // Shows the dialog as the readers page's button does; `user` works in it while it is shown.
    // A dialog still open afterwards is closed as by its close box.
    void Run(const std::function<void(TForm2&)>& user) {
        dialogs_->ExpectModal(*Form2, std::function<void(TForm2&)>([user](TForm2& f) {
            QApplication::setActiveWindow(&f);
            user(f);
        }),
                              ui::mrCancel);
        Form2->ShowModal();
    }
};

struct NameCase {
    const char* first;
    const char* surname;
    const char* stored;
};

void PrintTo(const NameCase& c, std::ostream* os) {
    *os << '"' << c.surname << "\" \"" << c.first << '"';
}

class AddReaderNames : public AddReaderTest, public ::testing::WithParamInterface<NameCase> {};

// The whole dialog by keyboard: Enter walks the fields to OK without pressing it, Enter on OK saves.
TEST_P(AddReaderNames, EnterChainSavesTheReaderSurnameFirst) {
    StartProgram();
    ClickTab(2);
    const NameCase name = GetParam();
    Run([&](TForm2& f) {
        EXPECT_TRUE(f.Edit1.Focused());
        EXPECT_EQ(f.ComboBox1.Items(), (std::vector<std::string>{"5.A", "6.B", "7.C"}));
        EXPECT_EQ(f.ComboBox2.Items(), (std::vector<std::string>{"Učitel", "Žák"}));
        EXPECT_EQ(f.ComboBox1.ItemIndex(), -1);
        Keys(f.Edit1, name.first);
        PressEnter(f.Edit1);
        ASSERT_TRUE(f.Edit2.Focused());
        Keys(f.Edit2, name.surname);
        PressEnter(f.Edit2);
        ASSERT_TRUE(f.ComboBox1.Focused());
        Choose(f.ComboBox1, "6.B");
        PressEnter(f.ComboBox1);
        ASSERT_TRUE(f.ComboBox2.Focused());
        Choose(f.ComboBox2, "Žák");
        PressEnter(f.ComboBox2);
        ASSERT_TRUE(f.Edit5.Focused());
        Keys(f.Edit5, "brýle");
        PressEnter(f.Edit5);
        ASSERT_TRUE(f.BitBtn1.Focused());
        EXPECT_FALSE(Closed(f));
        EXPECT_TRUE(Readers().empty());
        PressEnter(f.BitBtn1);
        EXPECT_TRUE(Closed(f));
    });
    const auto rows = Readers();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].Jmeno, name.stored);
    EXPECT_EQ(rows[0].Trida, "6.B");
    EXPECT_EQ(rows[0].Kategorie, "Žák");
    EXPECT_EQ(rows[0].Poznamka, "brýle");
    EXPECT_EQ(rows[0].Aktivni, "True");
    EXPECT_EQ(rows[0].Stav, "Aktivní");
    // A saved dialog starts empty next time.
    EXPECT_EQ(Form2->Edit1.Text(), "");
    EXPECT_EQ(Form2->Edit2.Text(), "");
    EXPECT_EQ(Form2->Edit5.Text(), "");
    EXPECT_TRUE(dialogs_->Messages().empty());
}

INSTANTIATE_TEST_SUITE_P(Names, AddReaderNames,
                         ::testing::Values(NameCase{"Jan", "Novák", "Novák Jan"},
                                           NameCase{"", "Nováková", "Nováková "},
                                           NameCase{"Seán", "O'Neill", "O'Neill Seán"}));

TEST_F(AddReaderTest, MissingSurnameIsMarkedAndNothingIsSaved) {
    StartProgram();
    ClickTab(2);
    dialogs_->Expect("Musíte zadat příjmení čtenáře!", "Zadejte příjmení čtenáře");
    Run([&](TForm2& f) {
        Type(f.Edit1, "Jan");
        Click(f.BitBtn1);
        EXPECT_FALSE(Closed(f));
        EXPECT_TRUE(f.Edit2.Focused());
        // Marked: red, or the focus colours that the field takes as the focus arrives.
        EXPECT_NE(f.Edit2.Color(), ui::clWhite);
        EXPECT_TRUE(Readers().empty());
        // Typing the surname takes the red mark back; OK then saves with the first name kept.
        Keys(f.Edit2, "Novák");
        EXPECT_EQ(f.Edit2.Color(), ui::clInfoBk);
        Click(f.BitBtn1);
        EXPECT_TRUE(Closed(f));
    });
    ASSERT_EQ(dialogs_->Messages().size(), 1u);
    EXPECT_EQ(dialogs_->Messages()[0].Icon(), ui::MB_ICONWARNING);
    ASSERT_EQ(Readers().size(), 1u);
    EXPECT_EQ(Readers()[0].Jmeno, "Novák Jan");
    EXPECT_EQ(Form2->Edit2.Color(), ui::clWhite);
}

TEST_F(AddReaderTest, StornoKeepsTheTypedTextsButNotTheListChoices) {
    StartProgram();
    ClickTab(2);
    Run([&](TForm2& f) {
        Type(f.Edit1, "Jan");
        Type(f.Edit2, "Novák");
        Choose(f.ComboBox1, "7.C");
        Type(f.Edit5, "pozdě");
        Click(f.BitBtn2);
        EXPECT_TRUE(Closed(f));
    });
    EXPECT_TRUE(Readers().empty());
    Run([&](TForm2& f) {
        EXPECT_EQ(f.Edit1.Text(), "Jan");
        EXPECT_EQ(f.Edit2.Text(), "Novák");
        EXPECT_EQ(f.Edit5.Text(), "pozdě");
        EXPECT_EQ(f.ComboBox1.ItemIndex(), -1);
        EXPECT_EQ(f.ComboBox1.Text(), "");
        EXPECT_TRUE(f.Edit1.Focused());
    });
    EXPECT_TRUE(Readers().empty());
}

// A save the data layer refuses is shown, leaves nothing pending in the readers table and keeps
// the dialog open with what was typed; the next OK saves the reader once.
TEST_F(AddReaderTest, FailedSaveIsShownAndTheDialogStaysOpen) {
    StartProgram();
    ClickTab(2);
    Form1->Table1.BeforePost = [](data::TDataSet&) { throw data::EDatabaseError("Disk je plný."); };
    dialogs_->Expect("Disk je plný.");
    Run([&](TForm2& f) {
        Type(f.Edit1, "Jan");
        Type(f.Edit2, "Novák");
        Click(f.BitBtn1);
        EXPECT_FALSE(Closed(f));
        EXPECT_EQ(Form1->Table1.State(), data::TDataSetState::dsBrowse);
        EXPECT_EQ(f.Edit1.Text(), "Jan");
        EXPECT_EQ(f.Edit2.Text(), "Novák");
        Form1->Table1.BeforePost = nullptr;
        Click(f.BitBtn1);
        EXPECT_TRUE(Closed(f));
    });
    EXPECT_EQ(dialogs_->Messages()[0].Icon(), ui::MB_ICONERROR);
    ASSERT_EQ(Readers().size(), 1u);
    EXPECT_EQ(Readers()[0].Jmeno, "Novák Jan");
}

struct CodeListCase {
    const char* name;
    const char* file;
    const char* prompt;
    int width;
};

void PrintTo(const CodeListCase& c, std::ostream* os) {
    *os << c.name;
}

class AddReaderCodeLists : public AddReaderTest, public ::testing::WithParamInterface<CodeListCase> {
protected:
    ui::TBitBtn& Button(TForm2& f) const {
        return std::string(GetParam().name) == "class" ? f.BitBtn3 : f.BitBtn4;
    }
    ui::TComboBox& List(TForm2& f) const {
        return std::string(GetParam().name) == "class" ? f.ComboBox1 : f.ComboBox2;
    }
};

// A new value is asked for, stored in its code list and chosen in the dialog; a name wider than
// the code list's field is refused and offered again for shortening, never cut off unseen.
TEST_P(AddReaderCodeLists, NewValueIsStoredAndChosen) {
    const CodeListCase c = GetParam();
    StartProgram();
    ClickTab(2);
    const std::string tooLong(static_cast<std::size_t>(c.width) + 1, 'X');
    const std::string fitting = "Š" + std::string(static_cast<std::size_t>(c.width) - 1, 'x');
    dialogs_->AnswerInput(tooLong);
    dialogs_->Expect("Název může mít nejvýše " + std::to_string(c.width) + " znaků!", "Zadejte název");
    dialogs_->AnswerInput(fitting);
    dialogs_->CancelInput();
    const auto before = CodeList(c.file);
    Run([&](TForm2& f) {
        Click(Button(f));
        EXPECT_EQ(List(f).Text(), fitting);
        EXPECT_GE(List(f).IndexOf(fitting), 0);
        // Cancel adds nothing.
        Click(Button(f));
        EXPECT_EQ(List(f).Count(), static_cast<int>(before.size()) + 1);
        Type(f.Edit2, "Novák");
        Click(f.BitBtn1);
    });
    ASSERT_EQ(dialogs_->Inputs().size(), 3u);
    EXPECT_EQ(dialogs_->Inputs()[0].Caption, "Zadejte název");
    EXPECT_EQ(dialogs_->Inputs()[0].Prompt, c.prompt);
    EXPECT_EQ(dialogs_->Inputs()[0].Default, "");
    EXPECT_EQ(dialogs_->Inputs()[1].Default, tooLong);
    auto after = before;
    after.push_back(fitting);
    EXPECT_EQ(CodeList(c.file), after);
    ASSERT_EQ(Readers().size(), 1u);
    EXPECT_EQ(std::string(c.name) == "class" ? Readers()[0].Trida : Readers()[0].Kategorie, fitting);
}

INSTANTIATE_TEST_SUITE_P(Lists, AddReaderCodeLists,
                         ::testing::Values(CodeListCase{"class", "Číselníky02.db",
                                                        "Zadejte prosím název nové třídy:", 10},
                                           CodeListCase{"category", "Číselníky.db",
                                                        "Zadejte prosím název nové kategorie čtenáře:", 255}),
                         [](const auto& info) { return std::string(info.param.name); });

class LendingDeskAdd : public AddReaderTest {
protected:
    void SetUp() override {
        AddReaderTest::SetUp();
        AddReader("Adámek Petr", true, "5.A");
        namesake_ = AddReader("Novák Jan", true, "6.B", "starší", "Žák");
        AddReader("Zedník Karel", false, "7.C");
        AddBook("K001", "Babička");
    }
    std::int64_t namesake_ = 0;
};

// From the lending desk's "+" the new reader becomes the desk's chosen reader, even beside a
// namesake, and the next loan is his.
TEST_F(LendingDeskAdd, NewReaderIsChosenAtTheDesk) {
    StartProgram();
    ClickTab(0);
    ASSERT_EQ(Form1->ComboBox1.Items(), (std::vector<std::string>{"Adámek Petr", "Novák Jan"}));
    ASSERT_TRUE(Form1->BitBtn9.Enabled());
    dialogs_->ExpectModal(*Form2, std::function<void(TForm2&)>([&](TForm2& f) {
        Type(f.Edit1, "Jan");
        Type(f.Edit2, "Novák");
        Choose(f.ComboBox1, "7.C");
        Choose(f.ComboBox2, "Učitel");
        Type(f.Edit5, "nový");
        Click(f.BitBtn1);
        EXPECT_TRUE(Closed(f));
    }),
                          ui::mrCancel);
    Click(Form1->BitBtn9);
    ASSERT_EQ(dialogs_->ModalsShown(), (std::vector<std::string>{"Form2"}));

    const auto rows = Readers();
    ASSERT_EQ(rows.size(), 4u);
    const std::int64_t added = rows.back().Cislo;
    EXPECT_GT(added, namesake_);
    EXPECT_EQ(Form1->ComboBox1.Items(), (std::vector<std::string>{"Adámek Petr", "Novák Jan", "Novák Jan"}));
    const int chosen = Form1->ComboBox1.ItemIndex();
    ASSERT_GE(chosen, 0);
    EXPECT_EQ(Form1->ComboBox1.Text(), "Novák Jan");
    EXPECT_EQ(Form1->ComboBox2.Item(chosen), std::to_string(added));
    EXPECT_EQ(Form1->ComboBox2.Text(), std::to_string(added));
    EXPECT_EQ(Form1->LastReaderIndex, chosen);
    EXPECT_EQ(Form1->Label4.Caption(), "7.C");
    EXPECT_EQ(Form1->Label5.Caption(), "nový");
    EXPECT_EQ(Form1->Label7.Caption(), "Učitel");

    TypeCode("K001");
    PressLend();
    const auto loans = Loans();
    ASSERT_EQ(loans.size(), 1u);
    EXPECT_EQ(loans[0].CisloCtenare, added);
}

TEST_F(LendingDeskAdd, AddingElsewhereLeavesTheDeskAsItWas) {
    StartProgram();
    ClickTab(0);
    ChooseReader("Novák Jan");
    Form1->TabbedNotebook1.SetPageIndex(2);
    Run([&](TForm2& f) {
        Type(f.Edit2, "Černá");
        Click(f.BitBtn1);
    });
    EXPECT_EQ(Readers().size(), 4u);
    EXPECT_EQ(Form1->ComboBox1.Items(), (std::vector<std::string>{"Adámek Petr", "Novák Jan"}));
    EXPECT_EQ(Form1->ComboBox1.Text(), "Novák Jan");
    EXPECT_EQ(Form1->ComboBox2.Text(), std::to_string(namesake_));
}

} // namespace
