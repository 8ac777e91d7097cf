// Typing in the book dialog: number fields by real keys, the Enter chain, focus colours and the
// keyword list with its limit and its pick from the keyword window.

#include "BookDialogFixture.h"

#include "catalogue/KlicovaSlova.h"

using namespace booktest;

namespace {

class BookDialogInput : public BookDialogTest {
protected:
    void SetUp() override
    {
        BookDialogTest::SetUp();
        AddName("Číselníky03.db", "Román");
        AddName("KlicovaSlova.DB", "pohádky");
        AddName("KlicovaSlova.DB", "druhá světová válka");
        babicka_ = AddBook("K001", "Babička");
    }
    std::int64_t babicka_ = 0;
};

struct PriceTyping {
    const char* name;
    const char* typed;
    const char* shown;
    const char* stored;
    bool pasted = false; // put in whole, as by the mouse, rather than typed key by key
};

void PrintTo(const PriceTyping& p, std::ostream* os)
{
    *os << p.name;
}

class PriceField : public BookDialogInput, public ::testing::WithParamInterface<PriceTyping> {};

// The price takes an amount with decimals; a whole number shows in its plain form.
TEST_P(PriceField, ShowsAndStores)
{
    StartProgram();
    ShowAdd([](TForm4& d) {
        Type(d.Edit1, "K100");
        Type(d.Edit2, "Cena");
        if (GetParam().pasted)
            d.Edit6.SetText(GetParam().typed);
        else
            Type(d.Edit6, GetParam().typed);
        EXPECT_EQ(d.Edit6.Text(), GetParam().shown);
        PressOk(d);
    });
    EXPECT_EQ(Stored("K100").at("CenaX"), GetParam().stored);
}

INSTANTIATE_TEST_SUITE_P(Cases, PriceField,
                         ::testing::Values(PriceTyping{"Plain", "150", "150", "150"},
                                           PriceTyping{"LeadingZeros", "007", "7", "7"},
                                           PriceTyping{"PastedPlusSign", "+5", "5", "5", true},
                                           PriceTyping{"PastedZeros", "0042", "42", "42", true},
                                           PriceTyping{"DecimalComma", "12,50", "12,50", "12,5"},
                                           PriceTyping{"DecimalPoint", "3.25", "3.25", "3,25"},
                                           // A letter falls back to the last whole number typed.
                                           PriceTyping{"Letter", "12a", "12", "12"}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST_F(BookDialogInput, ALetterInAnEmptyNumberBringsBackTheLastNumberOfAnyField)
{
    StartProgram();
    ShowAdd([](TForm4& d) {
        Type(d.Edit3, "1990");
        Type(d.Edit4, "x");
        EXPECT_EQ(d.Edit4.Text(), "1990");
        EXPECT_EQ(d.Edit4.SelStart(), 0);
        // In the middle of a number the caret goes one place back from where the letter went.
        Type(d.Edit5, "12");
        d.Edit5.SetSelStart(1);
        QTest::keyClicks(&d.Edit5, QStringLiteral("q"));
        EXPECT_EQ(d.Edit5.Text(), "12");
        EXPECT_EQ(d.Edit5.SelStart(), 1);
        // Emptied by Backspace, a number stays empty.
        d.Edit5.selectAll();
        QTest::keyClick(&d.Edit5, Qt::Key_Backspace);
        EXPECT_EQ(d.Edit5.Text(), "");
        EXPECT_EQ(d.LastIntValue, 12);
        // A Czech letter is no number either.
        Type(d.Edit5, "ř");
        EXPECT_EQ(d.Edit5.Text(), "12");
    });
    // The last number outlives the dialog.
    ShowAdd([](TForm4& d) {
        EXPECT_EQ(d.LastIntValue, 12);
        Type(d.Edit3, "-");
        EXPECT_EQ(d.Edit3.Text(), "12");
    });
}

TEST_F(BookDialogInput, EnterWalksTheFieldsAndStopsOnTheKeywordButton)
{
    StartProgram();
    ShowAdd([](TForm4& d) {
        const std::vector<QWidget*> chain = {&d.Edit1,     &d.Edit2,     &d.ComboBox4, &d.ComboBox3, &d.ComboBox5,
                                             &d.ComboBox1, &d.ComboBox2, &d.Edit7,     &d.Edit6,     &d.Edit3,
                                             &d.Edit4,     &d.Edit5,     &d.Memo1,     &d.BitBtn3};
        ASSERT_TRUE(d.Edit1.hasFocus());
        for (std::size_t i = 0; i + 1 < chain.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            EXPECT_TRUE(chain[i + 1]->hasFocus()) << "after " << i;
        }
        // The keyword button took the focus but was not pressed (no keyword window opened).
    });
    EXPECT_EQ(dialogs_->ModalsShown(), (std::vector<std::string>{"Form4"}));
}

TEST_F(BookDialogInput, FocusedInputsAreHighlighted)
{
    StartProgram();
    ShowAdd([](TForm4& d) {
        EXPECT_EQ(d.Edit1.Color(), ui::clInfoBk);
        EXPECT_EQ(d.Edit1.FontColor(), ui::clBlue);
        d.ComboBox1.SetFocus();
        EXPECT_EQ(d.Edit1.Color(), ui::clWhite);
        EXPECT_EQ(d.Edit1.FontColor(), ui::clBlack);
        EXPECT_EQ(d.ComboBox1.Color(), ui::clInfoBk);
        d.Memo1.SetFocus();
        EXPECT_EQ(d.ComboBox1.Color(), ui::clWhite);
        EXPECT_EQ(d.Memo1.Color(), ui::clInfoBk);
    });
}

// ---- Keywords. ----

TEST_F(BookDialogInput, KeywordsArePickedFromTheKeywordWindowUpToTen)
{
    StartProgram();
    ShowAdd([this](TForm4& d) {
        for (int i = 0; i < 9; ++i)
            d.ListBox1.AddItem("slovo" + std::to_string(i));
        dialogs_->ExpectModal(*Form9, std::function<void(TForm9&)>([](TForm9& list) {
                                  EXPECT_FALSE(list.BitBtn1.Visible());
                                  EXPECT_TRUE(list.BitBtn2.Visible());
                                  EXPECT_TRUE(list.BitBtn3.Visible());
                                  list.DBGrid1.ClickCell(1, 0);
                                  list.BitBtn3.Click();
                              }));
        d.BitBtn3.Click();
        ASSERT_EQ(d.ListBox1.Count(), 10);
        EXPECT_EQ(d.ListBox1.Item(9), "druhá světová válka");
        // The eleventh is refused before the window opens.
        dialogs_->Expect("U jedné knihy lze zadat maximálně 10 klíčových slov!", "Nelze přidat klíčové slovo");
        d.BitBtn3.Click();
        EXPECT_EQ(d.ListBox1.Count(), 10);
        // Removing takes the selected keyword; with none selected nothing goes.
        d.ListBox1.SetItemIndex(-1);
        d.BitBtn4.Click();
        EXPECT_EQ(d.ListBox1.Count(), 10);
        d.ListBox1.SetItemIndex(0);
        d.BitBtn4.Click();
        EXPECT_EQ(d.ListBox1.Count(), 9);
        EXPECT_EQ(d.ListBox1.Item(0), "slovo1");
        Type(d.Edit1, "K100");
        Type(d.Edit2, "S klíčovými slovy");
        PressOk(d);
    });
    EXPECT_EQ(dialogs_->ModalsShown(), (std::vector<std::string>{"Form4", "Form9"}));
    EXPECT_EQ(Stored("K100").at("KlicovaSlova"),
              "slovo1,slovo2,slovo3,slovo4,slovo5,slovo6,slovo7,slovo8,\"druhá světová válka\"");
    // The keyword window is back in view mode.
    EXPECT_TRUE(Form9->BitBtn1.isVisibleTo(Form9));
    EXPECT_FALSE(Form9->BitBtn3.isVisibleTo(Form9));
}

struct StoredKeywords {
    const char* name;
    const char* text;
    std::vector<std::string> shown;
    const char* written;
};

void PrintTo(const StoredKeywords& p, std::ostream* os)
{
    *os << p.name;
}

class KeywordLoading : public BookDialogInput, public ::testing::WithParamInterface<StoredKeywords> {};

// A quoted keyword loads as one item; a blank outside quotes separates two.
TEST_P(KeywordLoading, ShowsTheItemsAndWritesThemBack)
{
    SetBookFields("K001", {{"KlicovaSlova", GetParam().text}});
    StartProgram();
    ShowEdit(babicka_, [](TForm4& d) {
        EXPECT_EQ(d.ListBox1.Items(), GetParam().shown);
        PressOk(d);
    });
    EXPECT_EQ(Stored("K001").at("KlicovaSlova"), GetParam().written);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, KeywordLoading,
    ::testing::Values(StoredKeywords{"Quoted", "\"druhá válka\",les", {"druhá válka", "les"}, "\"druhá válka\",les"},
                      StoredKeywords{"UnquotedBlank", "druhá válka", {"druhá", "válka"}, "druhá,válka"},
                      StoredKeywords{"None", "", {}, ""}),
    [](const auto& p) { return std::string(p.param.name); });

} // namespace
