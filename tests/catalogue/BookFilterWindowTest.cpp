// The extended book filter window driven as a librarian does: criteria typed key by key, OK, the
// form cleared, saved filters saved, loaded and deleted; and the books page's side: the saved
// filter pick, "Zrušit filtr" and the sort buttons over an extended filter.

#include "BooksPageSupport.h"

#include "catalogue/FiltrKnih.h"
#include "platform/ui/RichText.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTest>

#include <fstream>
#include <iterator>

namespace {

using apptest::TypeKeys;
using Lines = std::vector<std::string>;

class FilterWindowTest : public apptest::BooksPageTest {
protected:
    void SetUp() override
    {
        BooksPageTest::SetUp();
        AddFullBook("K1", "Válka s mloky", "Čapek", "Regál A", Fill("1936", "300", "satira,mloci", "Nové knihy"));
        AddFullBook("K2", "Babička", "Němcová", "Regál B", Fill("1855", "250", "venkov", "Vyšehrad"));
        AddFullBook("K3", "Válka a mír", "Tolstoj", "Regál A", Fill("1990", "1200", "válka,mloci", "Odeon"));
        AddFullBook("K4", "Bílá nemoc", "čapek", "Regál C", Fill("1991", "100", "", "Nové knihy"));
        OpenBooksPage();
    }

    static std::function<void(data::TTable&)> Fill(const char* year, const char* pages, const char* keywords,
                                                   const char* publisher)
    {
        return [=](data::TTable& t) {
            t.FieldByName("RokVydani").SetAsString(year);
            t.FieldByName("PocetStran").SetAsString(pages);
            t.FieldByName("KlicovaSlova").SetAsString(keywords);
            t.FieldByName("Nakladatelstvi").SetAsString(publisher);
        };
    }

    // Codes of the books the list shows, in its order.
    static Lines Codes() { return Shown(0); }

    // Types into a pick list and drops what typing completed, so the text is what was typed.
    static void TypePick(ui::TComboBox& pick, const std::string& text)
    {
        pick.SetFocus();
        TypeKeys(&pick, ui::Q(text));
        QTest::keyClick(&pick, Qt::Key_Delete);
    }

    static void TypeEdit(ui::TEdit& edit, const std::string& text)
    {
        edit.SetFocus();
        TypeKeys(&edit, ui::Q(text));
    }

    // Opens the window from the books page and runs `action` in it.
    void InWindow(const std::function<void(TForm10&)>& action)
    {
        dialogs_->ExpectModal(*Form10, action, ui::mrCancel);
        Form1->BitBtn24.Click();
    }

    static void Choose(ui::TComboBox& box, const std::string& item)
    {
        const int index = box.IndexOf(item);
        ASSERT_GE(index, 0) << item;
        box.setCurrentIndex(index);
        emit box.activated(index);
    }

    std::filesystem::path FilterFile(const std::string& name) const
    {
        return folder_ / "Data" / "Filters" / std::filesystem::u8path(name + ".flt");
    }

    std::string FileText(const std::string& name) const
    {
        std::ifstream in(FilterFile(name), std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        return ui::RichEditFileText(bytes);
    }

    void PutFile(const std::string& name, const std::string& bytes)
    {
        std::filesystem::create_directories(folder_ / "Data" / "Filters");
        std::ofstream(FilterFile(name), std::ios::binary) << bytes;
    }
};

TEST_F(FilterWindowTest, ShowingFillsPickListsFromTheListedBooksAndEmptiesTheForm)
{
    Form10->Edit1.SetText("zbylé");
    Form10->CheckBox3.SetChecked(true);
    Form10->RadioGroup1.SetItemIndex(1);
    InWindow([](TForm10& f) {
        EXPECT_TRUE(Form1->TabbedNotebook1.isVisible());
        // First appearance kept, other letter case offered once.
        EXPECT_EQ(f.ComboBox2.Items(), (Lines{"Čapek", "Němcová", "Tolstoj"}));
        EXPECT_EQ(f.ComboBox6.Items(), (Lines{"Nové knihy", "Vyšehrad", "Odeon"}));
        EXPECT_EQ(f.Edit1.Text(), "");
        EXPECT_FALSE(f.CheckBox3.Checked());
        EXPECT_EQ(f.RadioGroup1.ItemIndex(), 0);
        EXPECT_EQ(f.ComboBox9.Items(), (Lines{TForm10::kNoSavedFilter}));
        EXPECT_TRUE(f.ComboBox8.Focused());
    });
    EXPECT_TRUE(Form1->TabbedNotebook1.isVisible());
}

TEST_F(FilterWindowTest, OnlyListedBooksFillThePickLists)
{
    TypeInto(Form1->Edit9, "Regál A");
    InWindow([](TForm10& f) { EXPECT_EQ(f.ComboBox2.Items(), (Lines{"Čapek", "Tolstoj"})); });
}

TEST_F(FilterWindowTest, PickListsFollowTheListsOrder)
{
    Form1->BitBtn16.Click(); // title, descending
    Form1->BitBtn16.Click(); // title, ascending
    ASSERT_EQ(Codes(), (Lines{"K2", "K4", "K3", "K1"}));
    InWindow([](TForm10& f) {
        // The form met first in the list is offered: "čapek" of "Bílá nemoc" before "Čapek".
        EXPECT_EQ(f.ComboBox2.Items(), (Lines{"Němcová", "čapek", "Tolstoj"}));
        EXPECT_EQ(f.ComboBox6.Items(), (Lines{"Vyšehrad", "Nové knihy", "Odeon"}));
        EXPECT_EQ(f.ComboBox8.Items(), (Lines{"K2", "K4", "K3", "K1"}));
        EXPECT_TRUE(f.ComboBox5.Items().empty()); // no book has an illustrator
    });
    // The list is left on its last book.
    EXPECT_EQ(Form1->Query1.FieldByName("Kod").AsString(), "K1");
    EXPECT_TRUE(Form1->Query1.Eof());
}

TEST_F(FilterWindowTest, TypedCriteriaNarrowTheListWhileTheWindowStaysOpen)
{
    InWindow([this](TForm10& f) {
        TypePick(f.ComboBox1, "Válka");
        TypeEdit(f.Edit4, "1900");
        f.BitBtn2.Click();
        EXPECT_EQ(Codes(), (Lines{"K1", "K3"}));
        EXPECT_EQ(SqlLines(), (Lines{"SELECT * FROM Knihy", "WHERE Nazev LIKE '%Válka%'", " AND RokVydani>'1900'",
                                     "ORDER BY Kod"}));
        EXPECT_EQ(Form1->Tag, 1);
        TypeEdit(f.Edit5, "1950");
        f.BitBtn2.Click();
        EXPECT_EQ(Codes(), (Lines{"K1"}));
    });
}

struct RangeCase {
    int edit; // 1..8 for Edit2..Edit9
    const char* bound;
    Lines codes;
};

class FilterRangeTest : public FilterWindowTest, public ::testing::WithParamInterface<RangeCase> {};

TEST_P(FilterRangeTest, BoundsAreStrict)
{
    InWindow([this](TForm10& f) {
        TypeEdit(*f.Edits()[static_cast<std::size_t>(GetParam().edit)], GetParam().bound);
        f.BitBtn2.Click();
        EXPECT_EQ(Codes(), GetParam().codes);
    });
}

INSTANTIATE_TEST_SUITE_P(Bounds, FilterRangeTest,
                         ::testing::Values(RangeCase{3, "1936", {"K3", "K4"}}, RangeCase{4, "1936", {"K2"}},
                                           RangeCase{3, "1935", {"K1", "K3", "K4"}}, RangeCase{5, "300", {"K3"}},
                                           RangeCase{6, "300", {"K2", "K4"}}, RangeCase{6, "301", {"K1", "K2", "K4"}}));

TEST_F(FilterWindowTest, KeywordsBindOnlyWithEachOtherWhenAllConditionsAreRequired)
{
    InWindow([this](TForm10& f) {
        TypeEdit(f.Edit1, " mloci  ");
        TypePick(f.ComboBox2, "Tolstoj");
        f.BitBtn2.Click();
        EXPECT_EQ(Codes(), (Lines{"K3"}));
        QTest::mouseClick(f.RadioGroup1.findChildren<QAbstractButton*>().at(1), Qt::LeftButton);
        ASSERT_EQ(f.RadioGroup1.ItemIndex(), 1);
        f.BitBtn2.Click();
        EXPECT_EQ(Codes(), (Lines{"K1", "K3"}));
    });
}

TEST_F(FilterWindowTest, ApostropheInAValueFindsTheBook)
{
    AddFullBook("K5", "O'Neill", "Autor", "Regál D");
    ClickTab(1);
    InWindow([this](TForm10& f) {
        TypePick(f.ComboBox1, "O'Ne");
        f.BitBtn2.Click();
        EXPECT_EQ(Codes(), (Lines{"K5"}));
    });
    EXPECT_TRUE(dialogs_->Messages().empty());
}

TEST_F(FilterWindowTest, RangeEditsTakeIntegersOnlyWithOneSharedLastValue)
{
    InWindow([](TForm10& f) {
        TypeEdit(f.Edit2, "12a");
        EXPECT_EQ(f.Edit2.Text(), "12");
        EXPECT_EQ(f.Edit2.SelStart(), 2);
        TypeEdit(f.Edit4, "1990");
        TypeEdit(f.Edit3, "x");
        EXPECT_EQ(f.Edit3.Text(), "1990");
        EXPECT_EQ(f.Edit3.SelStart(), 0);
        f.Edit4.SetFocus();
        f.Edit4.selectAll();
        QTest::keyClick(&f.Edit4, Qt::Key_Backspace);
        EXPECT_EQ(f.Edit4.Text(), "");
    });
}

TEST_F(FilterWindowTest, EnterMovesAlongTheChain)
{
    InWindow([](TForm10& f) {
        f.ComboBox9.SetFocus();
        QTest::keyClick(&f.ComboBox9, Qt::Key_Return);
        EXPECT_TRUE(f.ComboBox8.Focused());
        f.ComboBox7.SetFocus();
        QTest::keyClick(&f.ComboBox7, Qt::Key_Return);
        EXPECT_TRUE(f.Edit1.Focused());
        f.Edit9.SetFocus();
        QTest::keyClick(&f.Edit9, Qt::Key_Return);
        EXPECT_TRUE(f.RadioGroup1.isAncestorOf(QApplication::focusWidget()));
    });
}

TEST_F(FilterWindowTest, LeavingAPickListPutsBackItsRememberedText)
{
    InWindow([](TForm10& f) {
        TypePick(f.ComboBox2, "Něm");
        f.ComboBox2.SetText("jiný"); // set by code: not a change by the librarian
        f.Edit1.SetFocus();
        EXPECT_EQ(f.ComboBox2.Text(), "Něm");
        EXPECT_EQ(f.ComboBox2.SelLength(), 0);
    });
}

TEST_F(FilterWindowTest, ClearingAsksFirst)
{
    InWindow([this](TForm10& f) {
        TypeEdit(f.Edit1, "pes");
        f.CheckBox1.SetChecked(true);
        dialogs_->Expect("Opravdu chcete vymazat celý formulář?", "Vymazání formuláře", ui::IDNO);
        f.BitBtn10.Click();
        EXPECT_EQ(f.Edit1.Text(), "pes");
        dialogs_->Expect("Opravdu chcete vymazat celý formulář?", "Vymazání formuláře", ui::IDYES);
        f.BitBtn10.Click();
        EXPECT_EQ(f.Edit1.Text(), "");
        EXPECT_FALSE(f.CheckBox1.Checked());
        EXPECT_EQ(f.ComboBox2.Count(), 3); // the offered values stay
    });
}

TEST_F(FilterWindowTest, ALastLineOtherThanOrderByGetsTheSortOrder)
{
    Form1->Query1.Close();
    Form1->Query1.SQL.SetText("SELECT * FROM Knihy\nWHERE Kod='K1'");
    Form10->ClearCriteria();
    Form10->BitBtn2Click(nullptr);
    EXPECT_EQ(SqlLines(), (Lines{"SELECT * FROM Knihy", "ORDER BY Kod"}));
    EXPECT_EQ(Codes(), (Lines{"K1", "K2", "K3", "K4"}));
}

TEST_F(FilterWindowTest, AFailureWhileShowingStillGivesTheTabSetBack)
{
    Form1->Query1.Close();
    Form1->Query1.SQL.SetText("SELECT Kod, Vlastnosti FROM Knihy\nORDER BY Kod");
    Form1->Query1.Open();
    dialogs_->Answer(ui::IDOK);
    dialogs_->ExpectModal(*Form10, std::function<void(TForm10&)>([](TForm10&) {
                              EXPECT_TRUE(Form1->TabbedNotebook1.isVisible());
                          }),
                          ui::mrCancel);
    AsUser([] { Form1->BitBtn24.Click(); });
    EXPECT_TRUE(Form1->TabbedNotebook1.isVisible());
}

// ---- Saved filters. ----

TEST_F(FilterWindowTest, SaveAndLoadRestoreEveryCriterion)
{
    InWindow([this](TForm10& f) {
        TypePick(f.ComboBox6, "Nové, knihy");
        TypeEdit(f.Edit4, "1990");
        TypeEdit(f.Edit1, "pes \"kočka\"");
        dialogs_->AnswerInput("Moje knihy");
        f.BitBtn8.Click();
        EXPECT_EQ(f.ComboBox9.Text(), "Moje knihy");
        EXPECT_EQ(Form1->ComboBox11.Items(), (Lines{TForm10::kNoSavedFilter, "Moje knihy"}));
        EXPECT_EQ(dialogs_->Inputs().at(0).Caption, "Zadejte název filtru");
        // A comma or a double quote in a value: the item stands in double quotes.
        EXPECT_EQ(FileText("Moje knihy"),
                  ",,,,,,\"Nové,_knihy\",,\"pes_\"\"kočka\"\"\",,,1990,,,,,,0,0,0,0,0,0,0,0,1,");

        f.ClearCriteria();
        Choose(f.ComboBox9, "Moje knihy");
        EXPECT_EQ(f.ComboBox6.Text(), "Nové, knihy");
        EXPECT_EQ(f.Edit4.Text(), "1990");
        EXPECT_EQ(f.Edit1.Text(), "pes \"kočka\"");
        EXPECT_EQ(f.RadioGroup1.ItemIndex(), 0);
    });
}

TEST_F(FilterWindowTest, ExactFlagsOfALoadedFilterCompareWholeValues)
{
    // Author "čapek" exactly; the original control's form with its font table.
    PutFile("Přesně", "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fnil\\fcharset238 MS Sans Serif;}}\r\n"
                      "\\viewkind4\\uc1\\pard\\f0\\fs16 ,,\\'e8apek,,,,,,,,,,,,,,,0,0,1,0,0,0,0,0,1,\r\n\\par }\r\n");
    InWindow([this](TForm10& f) {
        Choose(f.ComboBox9, "Přesně");
        EXPECT_TRUE(f.CheckBox3.Checked());
        f.BitBtn2.Click();
        EXPECT_EQ(SqlLines().at(1), "WHERE Autor='čapek'");
    });
}

TEST_F(FilterWindowTest, SaveAsAsksBeforeOverwritingAnyLetterCase)
{
    InWindow([this](TForm10& f) {
        TypeEdit(f.Edit4, "1990");
        dialogs_->AnswerInput("Nové");
        f.BitBtn9.Click();
        TypeEdit(f.Edit5, "2000");
        dialogs_->AnswerInput("NOVÉ");
        dialogs_->Expect("Filtr daného jména již existuje. Přejete si jej přepsat?", "Filtr již existuje", ui::IDNO);
        f.BitBtn9.Click();
        EXPECT_EQ(catalogue::ParseFilterRecordLine(FileText("Nové")).Texts[12], "");
        // Save on the selected filter overwrites without a question.
        f.BitBtn8.Click();
        EXPECT_EQ(catalogue::ParseFilterRecordLine(FileText("Nové")).Texts[12], "2000");
        TypeEdit(f.Edit6, "5");
        dialogs_->AnswerInput("nové");
        dialogs_->Expect("Filtr daného jména již existuje. Přejete si jej přepsat?", "Filtr již existuje", ui::IDYES);
        f.BitBtn9.Click();
        EXPECT_EQ(catalogue::ParseFilterRecordLine(FileText("Nové")).Texts[13], "5");
        EXPECT_EQ(f.ComboBox9.Count(), 2);
    });
}

class FilterBadNameTest : public FilterWindowTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(FilterBadNameTest, RefusedAndNothingWritten)
{
    InWindow([this](TForm10& f) {
        dialogs_->AnswerInput(GetParam());
        dialogs_->Expect("Zadaný název filtru není platný!");
        f.BitBtn8.Click();
        EXPECT_EQ(f.ComboBox9.Count(), 1);
    });
    EXPECT_FALSE(std::filesystem::exists(folder_ / "Data" / "Filters") &&
                 !std::filesystem::is_empty(folder_ / "Data" / "Filters"));
}

INSTANTIATE_TEST_SUITE_P(Names, FilterBadNameTest,
                         ::testing::Values("", "..", "a/b", "x\\y", TForm10::kNoSavedFilter));

TEST_F(FilterWindowTest, AFailedSaveIsShownAndNotListed)
{
    std::filesystem::create_directories(folder_ / "Data");
    std::ofstream(folder_ / "Data" / "Filters") << "not a folder";
    InWindow([this](TForm10& f) {
        dialogs_->AnswerInput("Nový");
        dialogs_->Answer(ui::IDOK);
        f.BitBtn8.Click();
        ASSERT_NE(dialogs_->LastMessage(), nullptr);
        EXPECT_EQ(dialogs_->LastMessage()->Caption, "Uložení filtru");
        EXPECT_EQ(f.ComboBox9.Count(), 1);
        EXPECT_EQ(f.ComboBox9.ItemIndex(), 0);
    });
}

TEST_F(FilterWindowTest, DeleteRemovesTheFileAndClearsTheForm)
{
    PutFile("Starý", ",Babi\xe8ka,"); // plain text in code page 1250
    InWindow([this](TForm10& f) {
        dialogs_->Expect("Žádný filtr není vybraný!", "Není vybraný žádný filtr");
        f.BitBtn7.Click();
        Choose(f.ComboBox9, "Starý");
        EXPECT_EQ(f.ComboBox1.Text(), "Babička");
        f.BitBtn7.Click();
        EXPECT_FALSE(std::filesystem::exists(FilterFile("Starý")));
        EXPECT_EQ(f.ComboBox9.Count(), 1);
        EXPECT_EQ(f.ComboBox1.Text(), "");
        EXPECT_EQ(Form1->ComboBox11.Count(), 1);
    });
}

TEST_F(FilterWindowTest, AFailedDeleteIsShownAndTheNameStays)
{
    PutFile("Zamčený", "");
    InWindow([this](TForm10& f) {
        Choose(f.ComboBox9, "Zamčený");
        // Meanwhile something else took the name: a folder that cannot be removed as a file.
        std::filesystem::remove(FilterFile("Zamčený"));
        std::filesystem::create_directories(FilterFile("Zamčený") / "obsah");
        dialogs_->Answer(ui::IDOK);
        f.BitBtn7.Click();
        EXPECT_EQ(dialogs_->LastMessage()->Caption, "Vymazání filtru");
        EXPECT_EQ(f.ComboBox9.Count(), 2);
    });
}

// ---- The books page. ----

TEST_F(FilterWindowTest, SavedFilterPickAppliesWithoutShowingAndCancelListsAll)
{
    PutFile("Nové knihy", "{\\rtf1\\ansi\\ansicpg1250{\\fonttbl{\\f0\\fcharset238 Arial;}}\\f0 "
                          ",,,,,,Nov\\'e9_knihy,,,,,1930,,,,,,0,0,0,0,0,0,0,0,1,\\par}");
    ClickTab(0);
    ClickTab(1);
    ASSERT_EQ(Form1->ComboBox11.Items(), (Lines{TForm10::kNoSavedFilter, "Nové knihy"}));
    Choose(Form1->ComboBox11, "Nové knihy");
    EXPECT_EQ(Codes(), (Lines{"K1", "K4"}));
    EXPECT_EQ(Form1->Tag, 1);
    EXPECT_TRUE(dialogs_->ModalsShown().empty());
    EXPECT_EQ(Form10->ComboBox9.Style(), ui::TComboBoxStyle::csDropDownList);

    // Sorting re-applies the filter and replaces only the order.
    Form1->BitBtn16.Click();
    EXPECT_EQ(Codes(), (Lines{"K1", "K4"}));
    EXPECT_EQ(SqlLines().back(), "ORDER BY Nazev DESC");
    EXPECT_EQ(Shown(1), (Lines{"Válka s mloky", "Bílá nemoc"}));

    Form1->BitBtn26.Click();
    EXPECT_EQ(Form1->ComboBox11.ItemIndex(), 0);
    EXPECT_EQ(Codes().size(), 4u);
    EXPECT_EQ(Form10->Criteria().Texts[6], "");
}

TEST_F(FilterWindowTest, MenuItemsOpenTheWindow)
{
    dialogs_->ExpectModal(*Form10, {}, ui::mrCancel);
    Form1->Filtr1.Click();
    Form1->TabbedNotebook1.SetPageIndex(0);
    dialogs_->ExpectModal(*Form10, {}, ui::mrCancel);
    Form1->Filtr2.Click();
    EXPECT_EQ(Form1->TabbedNotebook1.PageIndex(), 1);
    EXPECT_EQ(dialogs_->ModalsShown(), (Lines{"Form10", "Form10"}));
}

} // namespace

namespace {

// A picture of the filled-in window for a look by eye: LENDAR_FILTER_SHOT=<file.png>.
TEST_F(FilterWindowTest, PictureOfTheFilledWindow)
{
    const char* shot = std::getenv("LENDAR_FILTER_SHOT");
    if (shot == nullptr)
        GTEST_SKIP() << "set LENDAR_FILTER_SHOT to save a picture";
    InWindow([this, shot](TForm10& f) {
        TypePick(f.ComboBox1, "Válka");
        TypePick(f.ComboBox2, "Čap");
        TypeEdit(f.Edit1, "pes kočka");
        TypeEdit(f.Edit4, "1990");
        TypeEdit(f.Edit5, "2000");
        f.Edit9.SetFocus();
        f.grab().save(QString::fromLocal8Bit(shot));
    });
}

} // namespace
