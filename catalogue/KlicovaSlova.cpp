#include "catalogue/KlicovaSlova.h"

#include "catalogue/PridatKnihu.h"
#include "platform/ui/Application.h"

#include <QResizeEvent>

TForm9* Form9 = nullptr;

namespace {

constexpr int kDesignWidth = 222;

} // namespace

TForm9::TForm9()
    : ui::TForm("Form9")
{
    SetCaption("Klíčová slova");
    SetBorderStyle(ui::TFormBorderStyle::bsSizeable);
    SetClientSize(kDesignWidth, 438);
    Position = ui::TPosition::poDesktopCenter;

    Table1.Name = "Table1";
    Table1.TableName = "KlicovaSlova.DB";
    Table1.Exclusive = false;
    DataSource1.Name = "DataSource1";
    DBNavigator1.Name = "DBNavigator1";
    DBGrid1.Name = "DBGrid1";
    BitBtn1.Name = "BitBtn1";
    BitBtn2.Name = "BitBtn2";
    BitBtn3.Name = "BitBtn3";

    DBGrid1.SetColumns({{"Nazev", "Název", 160}});
    DBGrid1.SetReadOnly(false);
    DBNavigator1.SetVisibleButtons({ui::TNavigateBtn::nbFirst, ui::TNavigateBtn::nbPrior, ui::TNavigateBtn::nbNext,
                                    ui::TNavigateBtn::nbLast, ui::TNavigateBtn::nbInsert, ui::TNavigateBtn::nbDelete,
                                    ui::TNavigateBtn::nbEdit, ui::TNavigateBtn::nbPost, ui::TNavigateBtn::nbCancel});
    PlaceControls();
    SetTabOrder({&DBGrid1, &BitBtn3, &BitBtn2, &BitBtn1});
    SetViewMode();

    BitBtn3.OnClick = [this](ui::TObject* s) { BitBtn3Click(s); };
    BitBtn2.OnClick = [this](ui::TObject* s) { BitBtn2Click(s); };
    BitBtn1.OnClick = [this](ui::TObject* s) { BitBtn2Click(s); };
    OnCloseQuery = [this](ui::TObject* s, bool& c) { FormCloseQuery(s, c); };
    OnClose = [this](ui::TObject* s, ui::TCloseAction& a) { FormClose(s, a); };

    // A library whose keyword table cannot be opened has already been refused by the main
    // window; the list then stays empty.
    try {
        Table1.Open();
    } catch (const std::exception&) {
    }
}

void TForm9::PlaceControls()
{
    const int width = ClientWidth();
    const int height = ClientHeight();
    const int shift = (width - kDesignWidth) / 2; // the buttons stay centred
    DBNavigator1.SetBounds(4, 4, width - 8, 25);
    DBGrid1.SetBounds(4, 33, width - 8, height - 33 - 46);
    BitBtn3.SetBounds(26 + shift, height - 38, 82, 28);
    BitBtn2.SetBounds(114 + shift, height - 38, 82, 28);
    BitBtn1.SetBounds(70 + shift, height - 38, 82, 28);
}

void TForm9::resizeEvent(QResizeEvent* event)
{
    ui::TForm::resizeEvent(event);
    PlaceControls();
}

void TForm9::SetViewMode()
{
    BitBtn1.Show();
    BitBtn2.Hide();
    BitBtn3.Hide();
}

void TForm9::SetPickMode()
{
    BitBtn1.Hide();
    BitBtn2.Show();
    BitBtn3.Show();
}

void TForm9::BitBtn3Click(ui::TObject*)
{
    if (Table1.Active()) {
        // A keyword being typed in the grid is saved first, so the pick takes what the grid shows.
        Table1.CheckBrowseMode();
        if (!Table1.IsEmpty() && Form4 != nullptr) {
            const std::string keyword = Table1.FieldByName("Nazev").AsString();
            if (!keyword.empty())
                Form4->ListBox1.AddItem(keyword);
        }
    }
    SetModalResult(ui::mrOk);
}

void TForm9::BitBtn2Click(ui::TObject*)
{
    Close();
}

void TForm9::FormCloseQuery(ui::TObject*, bool& CanClose)
{
    // A keyword being typed is saved rather than lost; one the table refuses keeps the window open.
    try {
        if (Table1.Active())
            Table1.CheckBrowseMode();
    } catch (const std::exception& error) {
        ui::Application.HandleException(error);
        CanClose = false;
    }
}

void TForm9::FormClose(ui::TObject*, ui::TCloseAction&)
{
    SetViewMode();
}
