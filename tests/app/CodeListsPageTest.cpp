// The code lists edited in their grids with the navigators, as a librarian edits them.

#include "AppFixture.h"

#include "app/Hlavni.h"
#include "platform/data/Quote.h"

#include <QApplication>
#include <QTest>

using namespace apptest;

namespace {

struct CodeList {
    const char* name;
    ui::TDBGrid TForm1::* grid;
    ui::TDBNavigator TForm1::* navigator;
    const char* file;
    const char* kind; // what `Kategorie` holds for an entry the navigator inserted ("" none)
};

const CodeList kLists[] = {
    {"ReaderCategories", &TForm1::DBGrid5, &TForm1::DBNavigator1, "Číselníky.db", "1"},
    {"Classes", &TForm1::DBGrid6, &TForm1::DBNavigator2, "Číselníky02.db", ""},
    {"BookTypes", &TForm1::DBGrid7, &TForm1::DBNavigator3, "Číselníky03.db", ""},
    {"Locations", &TForm1::DBGrid9, &TForm1::DBNavigator5, "Číselníky04.db", nullptr},
};

class CodeListsPageTest : public AppTest, public ::testing::WithParamInterface<CodeList> {
protected:
    ui::TDBGrid& Grid() const { return Form1->*GetParam().grid; }
    ui::TDBNavigator& Navigator() const { return Form1->*GetParam().navigator; }
    void Press(ui::TNavigateBtn button) { AsUser([&] { Navigator().BtnClick(button); }); }
    // Types into the current row's name cell and confirms with Enter.
    void TypeName(const std::string& text)
    {
        ui::TDBGrid& grid = Grid();
        grid.setFocus();
        grid.setCurrentIndex(grid.model()->index(grid.CurrentRow() < 0 ? 0 : grid.CurrentRow(), 0));
        QTest::keyClick(&grid, Qt::Key_F2);
        QWidget* editor = QApplication::focusWidget();
        ASSERT_NE(editor, &grid) << "no cell editor opened";
        // Home, Shift+End selects the text (Ctrl+A is the main menu's "Archivovat výpůjčky...").
        QTest::keyClick(editor, Qt::Key_Home);
        QTest::keyClick(editor, Qt::Key_End, Qt::ShiftModifier);
        TypeKeys(editor, QString::fromUtf8(text.c_str()));
        QTest::keyClick(editor, Qt::Key_Return);
    }
    std::string KindOf(const std::string& name)
    {
        data::TTable table;
        table.TableName = GetParam().file;
        table.SetFilter("Nazev=" + data::QuoteValue(name));
        table.SetFiltered(true);
        table.Open();
        std::string kind = table.IsEmpty() ? "<none>" : table.FieldByName("Kategorie").AsString();
        table.Close();
        return kind;
    }
};

TEST_P(CodeListsPageTest, NavigatorInsertsAnEntryTypedIntoTheGrid)
{
    StartProgram();
    Form1->Zobrazit4.Click();
    Press(ui::TNavigateBtn::nbInsert);
    TypeName("Nová");
    Press(ui::TNavigateBtn::nbPost);
    EXPECT_EQ(CountRecords(GetParam().file), 1);
    EXPECT_EQ(CountRecords(GetParam().file, "Nazev='Nová'"), 1);
    if (GetParam().kind != nullptr)
        EXPECT_EQ(KindOf("Nová"), GetParam().kind);
    EXPECT_TRUE(dialogs_->Messages().empty());

    // Deleting asks nothing.
    Press(ui::TNavigateBtn::nbDelete);
    EXPECT_EQ(CountRecords(GetParam().file), 0);
}

TEST_P(CodeListsPageTest, RowInsertedAndLeftEmptyIsNotStored)
{
    StartProgram();
    Form1->Zobrazit4.Click();
    Press(ui::TNavigateBtn::nbInsert);
    Press(ui::TNavigateBtn::nbPost);
    EXPECT_EQ(CountRecords(GetParam().file), 0);

    Press(ui::TNavigateBtn::nbInsert);
    Press(ui::TNavigateBtn::nbFirst); // leaving the row
    EXPECT_EQ(CountRecords(GetParam().file), 0);

    Press(ui::TNavigateBtn::nbInsert);
    TypeName("   ");
    EXPECT_EQ(CountRecords(GetParam().file), 0);
    EXPECT_EQ(Grid().RowCount(), 0);
    EXPECT_TRUE(dialogs_->Messages().empty());
}

INSTANTIATE_TEST_SUITE_P(EveryList, CodeListsPageTest, ::testing::ValuesIn(kLists),
                         [](const auto& info) { return std::string(info.param.name); });

class ClassNameTest : public AppTest {};

TEST_F(ClassNameTest, ClassNameIsLimitedToItsWidth)
{
    StartProgram();
    Form1->Zobrazit4.Click();
    AsUser([] { Form1->DBNavigator2.BtnClick(ui::TNavigateBtn::nbInsert); });
    Form1->DBGrid6.setFocus();
    Form1->DBGrid6.setCurrentIndex(Form1->DBGrid6.model()->index(0, 0));
    QTest::keyClick(&Form1->DBGrid6, Qt::Key_F2);
    QWidget* editor = QApplication::focusWidget();
    TypeKeys(editor, QStringLiteral("9.Áčková12345"));
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(CountRecords("Číselníky02.db", "Nazev='9.Áčková12'"), 1);

    // Written by code past the width: the field keeps what fits.
    Form1->Table5.Append();
    Form1->Table5.FieldByName("Nazev").SetAsString("12345678901");
    Form1->Table5.Post();
    EXPECT_EQ(CountRecords("Číselníky02.db", "Nazev='1234567890'"), 1);
}

} // namespace
