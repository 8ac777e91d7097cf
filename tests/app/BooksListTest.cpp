// The books page's list: the quick filter boxes typed into key by key, the state box, the sort
// buttons with their cycle and icons, the title click and the origin of the list's text.

#include "BooksPageSupport.h"

#include "app/SortButtons.h"

using namespace apptest;
using Lines = std::vector<std::string>;

namespace {

class BooksListTest : public BooksPageTest {
protected:
    void SetUp() override
    {
        BooksPageTest::SetUp();
        AddFullBook("A1", "Babička", "Němcová Božena", "Sklad A");
        AddFullBook("A2", "Bajky", "Ezop", "Sklad B");
        AddFullBook("B10", "Krakatit", "Čapek Karel", "Sklad A");
        AddFullBook("12", "Válka s mloky", "Čapek Karel", "Sklad C");
        AddFullBook("123", "O'Neillovy hry", "O'Neill Eugene", "Sklad C");
        AddFullBook("Q1", "\"Robinson\" a spol.", "Defoe Daniel", "Sklad B");
        AddFullBook("S1", " Mezera na začátku", "Nikdo", "Sklad B");
        AddFullBook("C1", "Čarodějův učeň", "Čapek Karel", "Sklad 10%");
        AddBook("L1", "Lakomec", true);
        AddBook("D1", "Dáma s kaméliemi", false, "1.1.2020");
    }
    void ExpectNoMessage() { EXPECT_TRUE(dialogs_->Messages().empty()) << dialogs_->Messages().front().Text; }
};

TEST_F(BooksListTest, TabShowsAvailableBooksByCode)
{
    OpenBooksPage();
    EXPECT_EQ(SqlLines(), (Lines{"SELECT * FROM Knihy", "ORDER BY Kod"}));
    EXPECT_EQ(Form1->Tag, 2);
    EXPECT_EQ(Form1->Query1.Filter(), "Vlastnosti=''");
    EXPECT_TRUE(Form1->Query1.Filtered());
    EXPECT_EQ(Shown(0), (Lines{"12", "123", "A1", "A2", "B10", "C1", "Q1", "S1"}));
    EXPECT_EQ(Form1->DBGrid2.VisibleTitles(), (Lines{"Kód", "Název", "Autor", "Umístění", "Stav"}));
    EXPECT_TRUE(Form1->Edit5.Focused());
    EXPECT_EQ(Form1->ComboBox11.Items(), (Lines{"– – – Vyberte uložený filtr ze seznamu – – –"}));
    EXPECT_EQ(Form1->ComboBox11.ItemIndex(), 0);
    EXPECT_TRUE(Form1->ComboBox11.Enabled());
    EXPECT_TRUE(Form1->BitBtn24.Enabled());
    EXPECT_TRUE(Form1->BitBtn26.Enabled());
    ExpectNoMessage();
}

// Typing into a box rebuilds the text at every key; the first filled box takes WHERE, the others
// AND; a quote is just text and % or _ act as wildcards.
struct Typed {
    const char* name;
    ui::TEdit TForm1::*box;
    const char* text;
    const char* line;
    Lines titles;
};

void PrintTo(const Typed& t, std::ostream* os)
{
    *os << t.name;
}

class QuickFilterTest : public BooksListTest, public ::testing::WithParamInterface<Typed> {};

TEST_P(QuickFilterTest, NarrowsTheList)
{
    OpenBooksPage();
    TypeInto(Form1->*GetParam().box, GetParam().text);
    EXPECT_EQ(SqlLines(), (Lines{"SELECT * FROM Knihy", GetParam().line, "ORDER BY Kod"}));
    EXPECT_EQ(Shown(1), GetParam().titles);
    EXPECT_EQ(Form1->Tag, 2);
    ExpectNoMessage();
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, QuickFilterTest,
    ::testing::Values(
        Typed{"Code", &TForm1::Edit5, "12", "WHERE Kod LIKE \"12%\"", {"Válka s mloky", "O'Neillovy hry"}},
        Typed{"TitleIgnoresCase", &TForm1::Edit6, "ba", "WHERE Nazev LIKE \"ba%\"", {"Babička", "Bajky"}},
        Typed{"Author", &TForm1::Edit7, "Čap", "WHERE Autor LIKE \"Čap%\"", {"Válka s mloky", "Krakatit", "Čarodějův učeň"}},
        Typed{"Location", &TForm1::Edit9, "Sklad B", "WHERE Umisteni LIKE \"Sklad B%\"",
              {"Bajky", "\"Robinson\" a spol.", " Mezera na začátku"}},
        Typed{"Apostrophe", &TForm1::Edit6, "O'", "WHERE Nazev LIKE \"O'%\"", {"O'Neillovy hry"}},
        Typed{"DoubleQuote", &TForm1::Edit6, "\"Rob", "WHERE Nazev LIKE \"\"\"Rob%\"", {"\"Robinson\" a spol."}},
        Typed{"LoneDoubleQuote", &TForm1::Edit6, "\"", "WHERE Nazev LIKE \"\"\"%\"", {"\"Robinson\" a spol."}},
        Typed{"PercentIsWildcard", &TForm1::Edit6, "%ka", "WHERE Nazev LIKE \"%ka%\"",
              {"Válka s mloky", "Babička", "Krakatit"}},
        Typed{"UnderscoreIsWildcard", &TForm1::Edit6, "_a", "WHERE Nazev LIKE \"_a%\"",
              {"Babička", "Bajky", "Čarodějův učeň"}},
        Typed{"BlanksCountAsFilled", &TForm1::Edit6, " ", "WHERE Nazev LIKE \" %\"", {" Mezera na začátku"}},
        Typed{"NothingMatches", &TForm1::Edit5, "ZZZ", "WHERE Kod LIKE \"ZZZ%\"", {}}),
    [](const auto& p) { return std::string(p.param.name); });

// "Dáma s kaméliemi" is discarded, so it shows under the state "Všechny" only.
TEST_F(BooksListTest, WildcardOverEveryState)
{
    OpenBooksPage();
    ChooseState(0);
    TypeInto(Form1->Edit6, "%ka");
    EXPECT_EQ(Shown(1), (Lines{"Válka s mloky", "Babička", "Krakatit", "Dáma s kaméliemi"}));
}

TEST_F(BooksListTest, SeveralBoxesJoinWithAndInBoxOrder)
{
    OpenBooksPage();
    // Filled in the reverse order; the lines still follow the boxes' order.
    TypeInto(Form1->Edit9, "Sklad");
    TypeInto(Form1->Edit7, "Ča");
    TypeInto(Form1->Edit5, "12");
    Form1->BitBtn16.Click(); // title, descending
    EXPECT_EQ(SqlLines(), (Lines{"SELECT * FROM Knihy", "WHERE Kod LIKE \"12%\"", " AND Autor LIKE \"Ča%\"",
                                 " AND Umisteni LIKE \"Sklad%\"", "ORDER BY Nazev DESC"}));
    EXPECT_EQ(Shown(1), (Lines{"Válka s mloky"}));
    EXPECT_EQ(Form1->Query1.Filter(), "Vlastnosti=''");

    // Clearing the code box makes the author's line the WHERE line.
    TypeInto(Form1->Edit5, "");
    EXPECT_EQ(SqlLines(), (Lines{"SELECT * FROM Knihy", "WHERE Autor LIKE \"Ča%\"", " AND Umisteni LIKE \"Sklad%\"",
                                 "ORDER BY Nazev DESC"}));
    EXPECT_EQ(Shown(1), (Lines{"Válka s mloky", "Krakatit", "Čarodějův učeň"}));
}

TEST_F(BooksListTest, EveryKeyRebuildsTheList)
{
    OpenBooksPage();
    std::vector<int> counts;
    Form1->Edit6.SetFocus();
    for (const char* key : {"B", "a", "b"}) {
        QTest::keyClicks(&Form1->Edit6, ui::Q(key));
        counts.push_back(Form1->DBGrid2.RowCount());
    }
    EXPECT_EQ(counts, (std::vector<int>{2, 2, 1}));
}

// The state box sets only the record filter: the text, the order and the origin stay.
struct State {
    int item;
    const char* filter;
    Lines codes;
};

void PrintTo(const State& s, std::ostream* os)
{
    *os << "item " << s.item;
}

class StateBoxTest : public BooksListTest, public ::testing::WithParamInterface<State> {};

TEST_P(StateBoxTest, FiltersByTheBooksState)
{
    OpenBooksPage();
    TypeInto(Form1->Edit5, "");
    Form1->Query1.Close();
    Form1->Query1.SQL.SetStrings(1, "ORDER BY Kod DESC");
    Form1->Query1.Open();
    Form1->Tag = 0;
    ChooseState(GetParam().item);
    EXPECT_EQ(Form1->Query1.Filter(), GetParam().filter);
    EXPECT_TRUE(Form1->Query1.Filtered());
    EXPECT_EQ(Shown(0), GetParam().codes);
    EXPECT_EQ(SqlLines(), (Lines{"SELECT * FROM Knihy", "ORDER BY Kod DESC"}));
    EXPECT_EQ(Form1->Tag, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Items, StateBoxTest,
    ::testing::Values(State{0, "", {"S1", "Q1", "L1", "D1", "C1", "B10", "A2", "A1", "123", "12"}},
                      State{1, "Vlastnosti=''", {"S1", "Q1", "C1", "B10", "A2", "A1", "123", "12"}},
                      State{2, "Vlastnosti='Půjčená'", {"L1"}}, State{3, "Vlastnosti='Vyřazená'", {"D1"}}));

TEST_F(BooksListTest, StateStaysThroughTheQuickFilter)
{
    OpenBooksPage();
    ChooseState(2);
    TypeInto(Form1->Edit6, "La");
    EXPECT_EQ(Form1->Query1.Filter(), "Vlastnosti='Půjčená'");
    EXPECT_EQ(Shown(1), (Lines{"Lakomec"}));
}

// ---- Sorting. ----

struct Press {
    void (TForm1::*click)(ui::TObject*);
    const char* orderBy;
    std::vector<std::int16_t> glyphs; // the four buttons' shown states after the press
    Lines firstCodes;                 // the list's first codes
};

void PrintTo(const Press& p, std::ostream* os)
{
    *os << p.orderBy;
}

class SortCycleTest : public BooksListTest, public ::testing::WithParamInterface<std::vector<Press>> {};

TEST_P(SortCycleTest, StepsOrderAndIcons)
{
    OpenBooksPage();
    int step = 0;
    for (const Press& press : GetParam()) {
        SCOPED_TRACE("press " + std::to_string(++step));
        (Form1->*press.click)(nullptr);
        EXPECT_EQ(SqlLines().back(), press.orderBy);
        EXPECT_EQ(SqlLines().size(), 2u);
        std::vector<std::int16_t> glyphs;
        for (std::size_t i = 0; i < 4; ++i)
            glyphs.push_back(Form1->BooksSort().GlyphOf(i).State);
        EXPECT_EQ(glyphs, press.glyphs);
        const Lines codes = Shown(0);
        EXPECT_EQ(Lines(codes.begin(), codes.begin() + static_cast<long>(press.firstCodes.size())), press.firstCodes);
    }
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_TRUE(Form1->BooksSort().GlyphOf(i).FromFile);
    EXPECT_EQ(Form1->Tag, 2);
    ExpectNoMessage();
}

INSTANTIATE_TEST_SUITE_P(
    Cycles, SortCycleTest,
    ::testing::Values(
        // Kód from its start (ascending): not sorted (newest first), descending, ascending.
        std::vector<Press>{{&TForm1::BitBtn15Click, "ORDER BY Cislo DESC", {2, 2, 2, 2}, {"C1", "S1", "Q1"}},
                           {&TForm1::BitBtn15Click, "ORDER BY Kod DESC", {0, 2, 2, 2}, {"S1", "Q1"}},
                           {&TForm1::BitBtn15Click, "ORDER BY Kod", {1, 2, 2, 2}, {"12", "123"}}},
        // Another column starts at descending and puts the others at not sorted.
        std::vector<Press>{{&TForm1::BitBtn16Click, "ORDER BY Nazev DESC", {2, 0, 2, 2}, {"12", "123", "B10"}},
                           {&TForm1::BitBtn16Click, "ORDER BY Nazev", {2, 1, 2, 2}, {"S1", "Q1", "A1"}},
                           {&TForm1::BitBtn17Click, "ORDER BY Autor DESC", {2, 2, 0, 2}, {"123", "S1"}},
                           {&TForm1::BitBtn19Click, "ORDER BY Umisteni DESC", {2, 2, 2, 0}, {"12", "123"}},
                           {&TForm1::BitBtn19Click, "ORDER BY Umisteni", {2, 2, 2, 1}, {"C1", "A1", "B10"}},
                           {&TForm1::BitBtn19Click, "ORDER BY Cislo DESC", {2, 2, 2, 2}, {"C1", "S1", "Q1"}}}),
    [](const auto& p) { return p.index == 0 ? std::string("CodeFromStart") : std::string("OtherColumns"); });

TEST_F(BooksListTest, StartGlyphsAreDrawnMarks)
{
    StartProgram();
    for (ui::TBitBtn* button : {&Form1->BitBtn15, &Form1->BitBtn16, &Form1->BitBtn17, &Form1->BitBtn19}) {
        EXPECT_FALSE(button->icon().isNull()) << button->Name;
        EXPECT_EQ(button->Width(), 18);
        EXPECT_EQ(button->Height(), 17);
    }
    EXPECT_EQ(Form1->BooksSort().GlyphOf(0).State, 1);
    EXPECT_EQ(Form1->BooksSort().GlyphOf(1).State, 2);
}

TEST_F(BooksListTest, MissingIconLeavesAPlainGlyphAndStillSorts)
{
    StartWithIcons({"ICO01.bmp", "ICO02.bmp"}); // the descending icon is missing
    ClickTab(1);
    Form1->BitBtn16.Click();
    EXPECT_EQ(Form1->SortNazev, 0);
    EXPECT_EQ(SqlLines().back(), "ORDER BY Nazev DESC");
    EXPECT_EQ(Shown(0).front(), "12");
    EXPECT_FALSE(Form1->BooksSort().GlyphOf(1).FromFile);
    EXPECT_FALSE(Form1->BitBtn16.icon().isNull());
    EXPECT_TRUE(Form1->BooksSort().GlyphOf(0).FromFile);
    ExpectNoMessage();
}

TEST_F(BooksListTest, IconFileIsShownWithItsCornerColourTransparent)
{
    OpenBooksPage();
    Form1->BitBtn16.Click();
    const QImage shown = Form1->BitBtn16.icon().pixmap(10, 10).toImage();
    ASSERT_EQ(shown.size(), QSize(10, 10));
    EXPECT_EQ(shown.pixelColor(0, 9).alpha(), 0);            // the background
    EXPECT_EQ(shown.pixelColor(4, 8).rgb(), QColor(Qt::black).rgb()); // the descending arrow's tip
}

TEST_F(BooksListTest, TitleClickOnCodeOnlySorts)
{
    OpenBooksPage();
    for (int column = 1; column < 5; ++column) {
        Form1->DBGrid2.ClickCell(-1, column);
        EXPECT_EQ(SqlLines().back(), "ORDER BY Kod") << column;
    }
    Form1->DBGrid2.ClickCell(-1, 0);
    EXPECT_EQ(SqlLines().back(), "ORDER BY Cislo DESC");
    EXPECT_EQ(Form1->SortKod, 2);
}

// Before any filter ran (origin 0) a sort button only changes the order line; a text whose last
// line is no ORDER BY line of its own gets one, and an ORDER BY at the end of it goes.
struct Origin0 {
    const char* name;
    Lines before;
    Lines after; // after pressing the title button
};

void PrintTo(const Origin0& o, std::ostream* os)
{
    *os << o.name;
}

class UnfilteredSortTest : public BooksListTest, public ::testing::WithParamInterface<Origin0> {};

TEST_P(UnfilteredSortTest, PutsTheOrderLineLast)
{
    StartWithIcons();
    Form1->Zobrazit2.Click(); // the page without its refresh
    ASSERT_EQ(Form1->Tag, 0);
    Form1->Query1.Close();
    Form1->Query1.SQL.Clear();
    for (const std::string& line : GetParam().before)
        Form1->Query1.SQL.Add(line);
    Form1->Query1.Open();
    Form1->BitBtn16.Click();
    EXPECT_EQ(SqlLines(), GetParam().after);
    EXPECT_TRUE(Form1->Query1.Active());
    EXPECT_EQ(Shown(1).front(), "Válka s mloky");
    EXPECT_EQ(Form1->Tag, 0);
    ExpectNoMessage();
}

INSTANTIATE_TEST_SUITE_P(
    Texts, UnfilteredSortTest,
    ::testing::Values(
        Origin0{"DesignText", {"SELECT * FROM Knihy", "ORDER BY Kod"}, {"SELECT * FROM Knihy", "ORDER BY Nazev DESC"}},
        Origin0{"OneLineWithOrder", {"SELECT * FROM Knihy ORDER BY Nazev"}, {"SELECT * FROM Knihy", "ORDER BY Nazev DESC"}},
        Origin0{"NoOrder", {"SELECT * FROM Knihy"}, {"SELECT * FROM Knihy", "ORDER BY Nazev DESC"}},
        Origin0{"ConditionLast",
                {"SELECT * FROM Knihy", "WHERE Nazev LIKE \"%a%\" OR Nazev LIKE \"x order by y\""},
                {"SELECT * FROM Knihy", "WHERE Nazev LIKE \"%a%\" OR Nazev LIKE \"x order by y\"", "ORDER BY Nazev DESC"}},
        Origin0{"LowerCaseOrderLine", {"SELECT * FROM Knihy", "order  by Kod"}, {"SELECT * FROM Knihy", "ORDER BY Nazev DESC"}}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(BooksListTest, QuickFilterReplacesAnotherFiltersText)
{
    StartWithIcons();
    Form1->Zobrazit2.Click();
    Form1->Query1.Close();
    Form1->Query1.SQL.SetText("SELECT * FROM Knihy\nWHERE Autor LIKE \"Ezop%\"\nORDER BY Kod\n");
    Form1->Query1.Open();
    Form1->Tag = 1;
    TypeInto(Form1->Edit6, "Kr");
    EXPECT_EQ(SqlLines(), (Lines{"SELECT * FROM Knihy", "WHERE Nazev LIKE \"Kr%\"", "ORDER BY Kod"}));
    EXPECT_EQ(Form1->Tag, 2);
}

TEST_F(BooksListTest, FilterBoxesTakeTheFocusColours)
{
    OpenBooksPage();
    Form1->Edit7.SetFocus();
    EXPECT_EQ(Form1->Edit7.Color(), ui::clInfoBk);
    EXPECT_EQ(Form1->Edit7.FontColor(), ui::clBlue);
    Form1->Edit9.SetFocus();
    EXPECT_EQ(Form1->Edit7.Color(), ui::clWhite);
    EXPECT_EQ(Form1->Edit7.FontColor(), ui::clBlack);
}

} // namespace
