// The keyword window: its two modes, the pick into the book dialog, and keywords being typed when
// it is picked from or closed.

#include "BookDialogFixture.h"

#include "app/Hlavni.h"
#include "catalogue/KlicovaSlova.h"
#include "platform/ui/DBNavigator.h"

using namespace booktest;

namespace {

class KeywordList : public BookDialogTest {
protected:
    void SetUp() override
    {
        BookDialogTest::SetUp();
        AddName("KlicovaSlova.DB", "pohádky");
        AddName("KlicovaSlova.DB", "zvířata");
    }
    // Opens the keyword window as the book dialog's "Přidat" does, with `action` while it is open.
    void Pick(const std::function<void(TForm9&)>& action)
    {
        ShowAdd([this, action](TForm4& d) {
            dialogs_->ExpectModal(*Form9, action);
            d.BitBtn3.Click();
            picked_ = d.ListBox1.Items();
        });
    }
    std::vector<std::string> picked_;
};

TEST_F(KeywordList, ViewModeShowsOnlyClose)
{
    StartProgram();
    EXPECT_EQ(Form9->Caption(), "Klíčová slova");
    EXPECT_TRUE(Form9->Table1.Active());
    EXPECT_EQ(Form9->DBGrid1.VisibleTitles(), (std::vector<std::string>{"Název"}));
    // Opened as the main menu opens it, after a pick left the window in pick mode.
    Form9->BitBtn3.Show();
    Form9->BitBtn2.Show();
    dialogs_->ExpectModal(*Form9, std::function<void(TForm9&)>([](TForm9& list) {
                              EXPECT_TRUE(list.BitBtn1.Visible());
                              EXPECT_FALSE(list.BitBtn2.Visible());
                              EXPECT_FALSE(list.BitBtn3.Visible());
                              EXPECT_EQ(list.DBGrid1.RowCount(), 2);
                              list.BitBtn1.Click();
                              EXPECT_NE(list.ModalResult(), ui::mrNone);
                          }));
    Form1->Zobrazit5.Click();
}

TEST_F(KeywordList, PickAddsTheChosenKeywordAndStornoAddsNothing)
{
    StartProgram();
    Pick([](TForm9& list) {
        list.DBGrid1.ClickCell(1, 0);
        list.BitBtn3.Click();
    });
    EXPECT_EQ(picked_, (std::vector<std::string>{"zvířata"}));
    Pick([](TForm9& list) { list.BitBtn2.Click(); });
    EXPECT_TRUE(picked_.empty());
    // Back in view mode after either.
    EXPECT_TRUE(Form9->BitBtn1.isVisibleTo(Form9));
    EXPECT_FALSE(Form9->BitBtn2.isVisibleTo(Form9));
}

TEST_F(KeywordList, PickFromAnEmptyTableAddsNothing)
{
    StartProgram();
    Form9->Table1.EmptyTable();
    Pick([](TForm9& list) { list.BitBtn3.Click(); });
    EXPECT_TRUE(picked_.empty());
}

TEST_F(KeywordList, AKeywordBeingTypedIsSavedBeforeThePick)
{
    StartProgram();
    Pick([](TForm9& list) {
        list.DBNavigator1.BtnClick(ui::TNavigateBtn::nbInsert);
        list.Table1.FieldByName("Nazev").SetAsString("hrady");
        list.BitBtn3.Click();
    });
    EXPECT_EQ(picked_, (std::vector<std::string>{"hrady"}));
    EXPECT_EQ(CountRecords("KlicovaSlova.DB", "Nazev='hrady'"), 1);
}

TEST_F(KeywordList, AKeywordBeingTypedIsSavedWhenTheWindowCloses)
{
    StartProgram();
    Form9->SetViewMode();
    dialogs_->ExpectModal(*Form9, std::function<void(TForm9&)>([](TForm9& list) {
                              list.DBGrid1.ClickCell(0, 0);
                              list.DBNavigator1.BtnClick(ui::TNavigateBtn::nbEdit);
                              list.Table1.FieldByName("Nazev").SetAsString("pohádky a pověsti");
                              list.BitBtn1.Click();
                          }));
    Form9->ShowModal();
    EXPECT_EQ(Form9->Table1.State(), data::TDataSetState::dsBrowse);
    EXPECT_EQ(CountRecords("KlicovaSlova.DB", "Nazev='pohádky a pověsti'"), 1);
    EXPECT_EQ(CountRecords("KlicovaSlova.DB"), 2);
}

TEST_F(KeywordList, TheSameKeywordTwiceGivesTwoItems)
{
    StartProgram();
    ShowAdd([this](TForm4& d) {
        for (int i = 0; i < 2; ++i) {
            dialogs_->ExpectModal(*Form9, std::function<void(TForm9&)>([](TForm9& list) {
                                      list.DBGrid1.ClickCell(0, 0);
                                      list.BitBtn3.Click();
                                  }));
            d.BitBtn3.Click();
        }
        EXPECT_EQ(d.ListBox1.Items(), (std::vector<std::string>{"pohádky", "pohádky"}));
    });
}

} // namespace
