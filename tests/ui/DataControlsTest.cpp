// Data-bound controls over an in-memory dataset: the grid's rows, columns and cursor, editing in
// place, the read-only fields and the navigator.

#include "DialogsScope.h"
#include "MemoryDataSet.h"
#include "UiTest.h"

#include "platform/ui/DBControls.h"
#include "platform/ui/DBGrid.h"
#include "platform/ui/DBNavigator.h"
#include "platform/ui/DataSource.h"

#include <QHeaderView>

#include <chrono>
#include <string>
#include <vector>

namespace {

using data::TFieldType;
using data::Value;
using ui_test::MemoryDataSet;

MemoryDataSet::Column Text(const char* name, int size = 255) { return {name, TFieldType::ftString, size}; }
MemoryDataSet::Column Int(const char* name) { return {name, TFieldType::ftInteger, 0}; }

class DataControlsTest : public ui_test::UiTest {
protected:
    MemoryDataSet books{{Int("Cislo"), Text("Kod", 20), Text("Nazev"), {"Pujceno", TFieldType::ftBoolean, 0}},
                        {{std::int64_t{1}, std::string("A1"), std::string("Babička"), false},
                         {std::int64_t{2}, std::string("B2"), std::string("Krakatit"), true},
                         {std::int64_t{3}, std::string("C3"), std::string("Saturnin"), false}}};
    ui::TDataSource source{&books};
    ui::TForm form{"Form1"};
    ui::TDBGrid grid{&form, &source};

    void SetUp() override
    {
        UiTest::SetUp();
        books.Open();
        grid.SetBounds(0, 0, 400, 200);
    }
};

TEST_F(DataControlsTest, DefaultColumnsAreTheVisibleFieldsTitledByTheirLabels)
{
    books.FieldByName("Cislo").Visible = false;
    books.FieldByName("Kod").DisplayLabel = "Kód";
    grid.SetDataSource(&source);
    EXPECT_EQ(grid.VisibleTitles(), (std::vector<std::string>{"Kód", "Nazev", "Pujceno"}));
    EXPECT_EQ(grid.RowCount(), 3);
    EXPECT_EQ(grid.CellText(1, 1), "Krakatit");
    EXPECT_EQ(grid.CellText(1, 2), "True");
}

TEST_F(DataControlsTest, GivenColumnsKeepTheirOrderTitlesAndHiddenOnes)
{
    grid.SetColumns({{"Cislo", "", 40, false}, {"Nazev", "Název", 170}, {"Kod", "", 60}, {"Chybi", "Chybí", 50}});
    EXPECT_EQ(grid.VisibleTitles(), (std::vector<std::string>{"Název", "Kod", "Chybí"}));
    EXPECT_EQ(grid.CellText(2, 0), "Saturnin");
    EXPECT_EQ(grid.CellText(2, 1), "C3");
    EXPECT_EQ(grid.CellText(2, 2), ""); // a column whose field is missing stays empty
    EXPECT_EQ(grid.horizontalHeader()->sectionSize(0), 170);
    EXPECT_EQ(grid.Columns().size(), 4u);
}

TEST_F(DataControlsTest, CurrentRowFollowsTheCursorAndAClickMovesTheCursor)
{
    EXPECT_EQ(grid.CurrentRow(), 0);
    books.Next();
    books.Next();
    EXPECT_EQ(grid.CurrentRow(), 2);
    books.First();
    EXPECT_EQ(grid.CurrentRow(), 0);

    ShowActive(form);
    const QRect cell = grid.visualRect(grid.model()->index(1, 0));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(books.RecNo(), 2);
    EXPECT_EQ(books.FieldByName("Nazev").AsString(), "Krakatit");
}

TEST_F(DataControlsTest, DoubleClickRunsTheHandlerOnTheClickedRecord)
{
    std::string seen;
    grid.OnDblClick = [&](ui::TObject* sender) {
        EXPECT_EQ(sender, &grid);
        seen = books.FieldByName("Kod").AsString();
    };
    ShowActive(form);
    const QRect cell = grid.visualRect(grid.model()->index(2, 1));
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(seen, "C3");
}

TEST_F(DataControlsTest, TitleClickTellsTheColumn)
{
    grid.SetColumns({{"Kod", "Kód"}, {"Nazev", "Název"}});
    std::string clicked;
    grid.OnTitleClick = [&](ui::TObject*, ui::TColumn& column) { clicked = column.FieldName; };
    ShowActive(form);
    QHeaderView* header = grid.horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(1) + 5, header->height() / 2));
    EXPECT_EQ(clicked, "Nazev");
}

TEST_F(DataControlsTest, FilterAndDeleteRefreshTheRows)
{
    books.Last();
    books.Delete();
    EXPECT_EQ(grid.RowCount(), 2);
    EXPECT_EQ(grid.CurrentRow(), books.RecNo() - 1);
    books.Close();
    EXPECT_EQ(grid.RowCount(), 0);
    books.Open();
    EXPECT_EQ(grid.RowCount(), 2);
}

TEST_F(DataControlsTest, AGridOnAHiddenPageWaitsUntilShownOrAsked)
{
    MemoryDataSet loans{{Int("Cislo"), Text("Ctenar")},
                        {{std::int64_t{1}, std::string("Novák")},
                         {std::int64_t{2}, std::string("Dvořák")},
                         {std::int64_t{3}, std::string("Čapek")}}};
    ui::TDataSource loansSource{&loans};
    QWidget page(&form);
    ui::TDBGrid hidden(&page, &loansSource);
    page.hide();
    loans.Open();
    ShowActive(form);
    // The dataset changes many times while the page is hidden: the grid reads nothing.
    loans.Last();
    loans.Delete();
    loans.Close();
    loans.Open();
    loans.Next();
    EXPECT_EQ(loans.readRecordAtCalls, 0);

    // Asked what it shows, it catches up; shown, it shows the dataset as it is.
    EXPECT_EQ(hidden.RowCount(), 2);
    EXPECT_EQ(hidden.CurrentRow(), 1);
    EXPECT_EQ(hidden.CellText(1, 1), "Dvořák");
    loans.Delete();
    page.show();
    EXPECT_EQ(hidden.model()->rowCount(), 1);
    EXPECT_EQ(hidden.model()->data(hidden.model()->index(0, 1)).toString(), QStringLiteral("Novák"));
    loans.Close();
    EXPECT_EQ(hidden.model()->rowCount(), 0);
}

TEST_F(DataControlsTest, WithoutRandomAccessOnlyTheCurrentRecordIsShown)
{
    books.randomAccess = false;
    grid.SetDataSource(&source);
    EXPECT_EQ(grid.RowCount(), 1);
    books.Next();
    EXPECT_EQ(grid.CellText(0, 2), "Krakatit");
}

TEST_F(DataControlsTest, EditInPlaceWritesThroughTheDataset)
{
    grid.SetReadOnly(false);
    grid.SetColumns({{"Kod"}, {"Nazev"}});
    EXPECT_FALSE(grid.model()->flags(grid.model()->index(0, 0)) & Qt::ItemIsEnabled ? false : true);
    ASSERT_TRUE(grid.model()->setData(grid.model()->index(1, 1), QStringLiteral("Válka s mloky"), Qt::EditRole));
    EXPECT_EQ(books.State(), data::TDataSetState::dsBrowse);
    EXPECT_EQ(std::get<std::string>(books.Rows()[1][2]), "Válka s mloky");
    EXPECT_EQ(grid.CellText(1, 1), "Válka s mloky");
}

TEST_F(DataControlsTest, AReadOnlyGridOffersNoEditing)
{
    EXPECT_FALSE(grid.model()->flags(grid.model()->index(0, 1)) & Qt::ItemIsEditable);
    grid.SetReadOnly(false);
    EXPECT_TRUE(grid.model()->flags(grid.model()->index(0, 1)) & Qt::ItemIsEditable);
    books.FieldByName("Nazev").ReadOnly = true;
    EXPECT_FALSE(grid.model()->flags(grid.model()->index(0, 2)) & Qt::ItemIsEditable);
}

TEST_F(DataControlsTest, AValueTheFieldRefusesIsShownAndNothingIsWritten)
{
    ui_test::DialogsScope dialogs;
    dialogs.Answer(ui::IDOK);
    grid.SetReadOnly(false);
    grid.SetColumns({{"Cislo"}});
    EXPECT_FALSE(grid.model()->setData(grid.model()->index(0, 0), QStringLiteral("abc"), Qt::EditRole));
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_EQ(dialogs.Messages()[0].Icon(), ui::MB_ICONERROR);
    EXPECT_EQ(books.State(), data::TDataSetState::dsBrowse);
    EXPECT_EQ(std::get<std::int64_t>(books.Rows()[0][0]), 1);
}

TEST_F(DataControlsTest, ReadOnlyFieldsFollowTheCursor)
{
    ui::TDBEdit kod(&form, &source, "Kod");
    ui::TDBMemo nazev(&form, &source, "Nazev");
    ui::TDBEdit missing(&form, &source, "Chybi");
    EXPECT_EQ(kod.Text(), "A1");
    books.Next();
    EXPECT_EQ(kod.Text(), "B2");
    EXPECT_EQ(nazev.Text(), "Krakatit");
    EXPECT_EQ(missing.Text(), "");
    books.Close();
    EXPECT_EQ(kod.Text(), "");
}

TEST_F(DataControlsTest, NavigatorDeletesWithoutAskingWhenConfigured)
{
    ui_test::DialogsScope dialogs;
    ui::TDBNavigator navigator(&form, &source);
    navigator.ConfirmDelete = false;
    navigator.BtnClick(ui::TNavigateBtn::nbLast);
    EXPECT_EQ(books.RecNo(), 3);
    EXPECT_FALSE(navigator.ButtonEnabled(ui::TNavigateBtn::nbNext));
    navigator.BtnClick(ui::TNavigateBtn::nbDelete);
    EXPECT_EQ(books.RecordCount(), 2);
    EXPECT_TRUE(dialogs.Messages().empty());

    navigator.ConfirmDelete = true;
    dialogs.Expect("Smazat záznam?", ui::IDCANCEL);
    navigator.BtnClick(ui::TNavigateBtn::nbDelete);
    EXPECT_EQ(books.RecordCount(), 2);
}

TEST_F(DataControlsTest, NavigatorInsertAndPost)
{
    ui::TDBNavigator navigator(&form, &source);
    navigator.SetVisibleButtons({ui::TNavigateBtn::nbFirst, ui::TNavigateBtn::nbInsert, ui::TNavigateBtn::nbPost});
    EXPECT_FALSE(navigator.ButtonVisible(ui::TNavigateBtn::nbDelete));
    navigator.BtnClick(ui::TNavigateBtn::nbInsert);
    EXPECT_TRUE(navigator.ButtonEnabled(ui::TNavigateBtn::nbPost));
    EXPECT_EQ(grid.RowCount(), 4); // the new record shows as a row
    books.FieldByName("Nazev").SetAsString("Nová");
    navigator.BtnClick(ui::TNavigateBtn::nbPost);
    EXPECT_EQ(books.RecordCount(), 4);
    EXPECT_EQ(grid.RowCount(), 4);
    navigator.BtnClick(ui::TNavigateBtn::nbDelete); // hidden: nothing
    EXPECT_EQ(books.RecordCount(), 4);
}

TEST_F(DataControlsTest, NavigatorButtonsFollowTheDatasetState)
{
    ui::TDBNavigator navigator(&form, &source);
    using B = ui::TNavigateBtn;
    EXPECT_FALSE(navigator.ButtonEnabled(B::nbFirst));
    EXPECT_TRUE(navigator.ButtonEnabled(B::nbNext));
    EXPECT_FALSE(navigator.ButtonEnabled(B::nbPost));
    books.Edit();
    EXPECT_TRUE(navigator.ButtonEnabled(B::nbPost));
    EXPECT_TRUE(navigator.ButtonEnabled(B::nbCancel));
    EXPECT_FALSE(navigator.ButtonEnabled(B::nbEdit));
    navigator.BtnClick(B::nbCancel);
    EXPECT_EQ(books.State(), data::TDataSetState::dsBrowse);
    books.Close();
    for (B b : {B::nbFirst, B::nbNext, B::nbInsert, B::nbDelete, B::nbEdit})
        EXPECT_FALSE(navigator.ButtonEnabled(b));
}

TEST_F(DataControlsTest, ControlsOutlivingTheirDataSourceAreLeftEmptyAndSafe)
{
    auto other = std::make_unique<ui::TDataSource>(&books);
    ui::TDBEdit kod(&form, other.get(), "Kod");
    ui::TDBNavigator navigator(&form, other.get());
    EXPECT_EQ(kod.Text(), "A1");
    other.reset();
    books.Next(); // nothing is told to the gone source's controls
    EXPECT_EQ(kod.Text(), "A1");
}

TEST(LargeGridTest, AHundredThousandRowsAreReadOnlyWhereShown)
{
    std::vector<std::vector<Value>> rows;
    rows.reserve(100000);
    for (int i = 0; i < 100000; ++i)
        rows.push_back({std::int64_t{i}, std::string("Kniha ") + std::to_string(i)});
    MemoryDataSet big({Int("Cislo"), Text("Nazev")}, std::move(rows));
    big.Open();
    ui::TDataSource source(&big);
    ui::TForm form("Form1");
    const auto start = std::chrono::steady_clock::now();
    ui::TDBGrid grid(&form, &source);
    grid.SetBounds(0, 0, 400, 300);
    form.SetClientSize(400, 300);
    form.Show();
    QApplication::processEvents();
    big.Last();
    QApplication::processEvents();
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(grid.RowCount(), 100000);
    EXPECT_EQ(grid.CurrentRow(), 99999);
    EXPECT_EQ(grid.CellText(99999, 1), "Kniha 99999");
    EXPECT_LT(big.readRecordAtCalls, 2000);
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count(), 5000);
}

} // namespace
