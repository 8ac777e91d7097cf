// The readers page: the quick filter boxes, the active/inactive boxes, the sort buttons over the
// column titles, adding, editing and deleting a reader, and the page's part of the refresh run by
// a tab click.

#include "app/Hlavni.h"

#include "app/QuickFilter.h"
#include "catalogue/OdebratCtenare.h"
#include "catalogue/PridatCtenare.h"
#include "platform/data/Quote.h"

#include <filesystem>

namespace {

void Warn(const char* text, const char* title)
{
    ui::MessageBox(nullptr, text, title, ui::MB_OK | ui::MB_ICONWARNING);
}

} // namespace

void TForm1::SetUpReadersPage()
{
    for (ui::TEdit* box : {&Edit10, &Edit11, &Edit12})
        box->OnChange = [this](ui::TObject* s) { Edit10Change(s); };
    BitBtn20.OnClick = [this](ui::TObject* s) { BitBtn20Click(s); };
    BitBtn21.OnClick = [this](ui::TObject* s) { BitBtn21Click(s); };
    BitBtn22.OnClick = [this](ui::TObject* s) { BitBtn22Click(s); };
    CheckBox8.OnClick = [this](ui::TObject* s) { CheckBox8Click(s); };
    CheckBox7.OnClick = [this](ui::TObject* s) { CheckBox7Click(s); };
    CheckBox8.OnKeyUp = [this](ui::TObject* s, ui::Word& k, ui::TShiftState sh) { CheckBox8KeyUp(s, k, sh); };
    CheckBox7.OnKeyUp = [this](ui::TObject* s, ui::Word& k, ui::TShiftState sh) { CheckBox7KeyUp(s, k, sh); };
    BitBtn1.OnClick = [this](ui::TObject* s) { BitBtn1Click(s); };
    BitBtn2.OnClick = [this](ui::TObject* s) { BitBtn2Click(s); };
    BitBtn3.OnClick = [this](ui::TObject* s) { BitBtn3Click(s); };
    BitBtn18.OnClick = [this](ui::TObject* s) { BitBtn18Click(s); };
    BitBtn30.OnClick = [this](ui::TObject* s) { BitBtn30Click(s); };

    ui::EnableFocusColors({&Edit10, &Edit11, &Edit12});

    readerSort_.SetColumns({
        {&SortJmeno, &BitBtn20, "Jmeno"},
        {&SortTrida, &BitBtn21, "Trida"},
        {&SortKategorieCtenare, &BitBtn22, "Kategorie"},
    });
    readerSort_.ShowStartGlyphs();
    PlaceReadersColumnControls();
}

void TForm1::Edit10Change(ui::TObject*)
{
    Query2.Close();
    Query2.SQL.Clear();
    Query2.SQL.Add("SELECT * FROM Čtenáři");
    app::PrefixConditions conditions(Query2.SQL);
    conditions.Add("Jmeno", Edit10.Text());
    conditions.Add("Trida", Edit11.Text());
    conditions.Add("Kategorie", Edit12.Text());
    Query2.SQL.Add(readerSort_.OrderBy());
    // The active/inactive filter stays as the boxes set it.
    Query2.Open();
}

void TForm1::SortReaders(std::size_t column, ui::TObject* Sender)
{
    readerSort_.Press(column, std::filesystem::path(Edit13.Text()) / "Data" / "Icon");
    if (Edit10.OnChange)
        Edit10.OnChange(Sender);
}

void TForm1::BitBtn20Click(ui::TObject* Sender)
{
    SortReaders(0, Sender);
}

void TForm1::BitBtn21Click(ui::TObject* Sender)
{
    SortReaders(1, Sender);
}

void TForm1::BitBtn22Click(ui::TObject* Sender)
{
    SortReaders(2, Sender);
}

void TForm1::ActiveBoxClicked(ui::TCheckBox& clicked)
{
    const bool active = CheckBox8.Checked(), inactive = CheckBox7.Checked();
    if (!active && !inactive) {
        // At least one box stays ticked: ticking the clicked one again runs its click once more,
        // which sets its own filter.
        clicked.SetChecked(true);
        return;
    }
    Query2.SetFiltered(false);
    if (active && inactive)
        return;
    Query2.SetFilter(active ? "Aktivni='True'" : "Aktivni='False'");
    Query2.SetFiltered(true);
}

void TForm1::CheckBox8Click(ui::TObject*)
{
    ActiveBoxClicked(CheckBox8);
}

void TForm1::CheckBox7Click(ui::TObject*)
{
    ActiveBoxClicked(CheckBox7);
}

void TForm1::CheckBox8KeyUp(ui::TObject*, ui::Word& Key, ui::TShiftState)
{
    ui::TogglesOnPageKey(CheckBox8, Key);
}

void TForm1::CheckBox7KeyUp(ui::TObject*, ui::Word& Key, ui::TShiftState)
{
    ui::TogglesOnPageKey(CheckBox7, Key);
}

void TForm1::BitBtn1Click(ui::TObject*)
{
    if (Form2 != nullptr)
        Form2->ShowModal();
}

void TForm1::BitBtn2Click(ui::TObject*)
{
    if (!Query2.Active() || Query2.IsEmpty()) {
        Warn("Žádný čtenář není vybrán!", "Nelze upravit čtenáře");
        return;
    }
    // The readers table on the highlighted reader alone; the filter stays after the dialog.
    Table1.SetFiltered(false);
    Table1.SetFilter("Cislo=" + data::QuoteValue(Query2.FieldByName("Cislo").AsString()));
    Table1.SetFiltered(true);
    if (Form3 != nullptr)
        Form3->ShowModal();
}

void TForm1::BitBtn3Click(ui::TObject* Sender)
{
    if (ui::Application.MessageBox("Opravdu chcete odebrat vybraného čtenáře?", "Odebrání čtenáře",
                                   ui::MB_YESNO | ui::MB_ICONQUESTION) != ui::IDYES)
        return;

    // With no reader highlighted there is nothing to delete.
    const std::string number =
        Query2.Active() && !Query2.IsEmpty() ? Query2.FieldByName("Cislo").AsString() : std::string();
    DeleteUnlessLent(Table1, number, "CisloCtenare", "Tento čtenář je v databázi výpůjček - nelze ho odebrat!",
                     "Nelze odebrat čtenáře", Query2, Edit10, Sender);
}

void TForm1::RefreshReadersPage()
{
    Table1.SetFiltered(true);
    Table2.SetFiltered(true);
    Edit10Change(nullptr);
    TabbedNotebook1.Show();
    Edit10.SetFocus();
}
