// The books page's extended and saved filters: the extended filter window shown from the page or
// its menu items, the saved-filter pick that loads a saved filter and applies it unshown, and
// "Zrušit filtr", which applies an empty filter.

#include "app/Hlavni.h"

#include "catalogue/FiltrKnih.h"
#include "platform/ui/BusyLabel.h"

void TForm1::SetUpBooksFilters()
{
    BitBtn24.OnClick = [this](ui::TObject* s) { BitBtn24Click(s); };
    BitBtn26.OnClick = [this](ui::TObject* s) { BitBtn26Click(s); };
    ComboBox11.OnClick = [this](ui::TObject* s) { ComboBox11Click(s); };
    Filtr1.OnClick = [this](ui::TObject* s) { Filtr1Click(s); };
    Filtr2.OnClick = [this](ui::TObject* s) { Filtr2Click(s); };
}

void TForm1::ListSavedFilters()
{
    try {
        Form10->ListSavedFilters(ComboBox11);
    } catch (const std::exception&) {
        // No folder of saved filters yet: only the first item.
        if (ComboBox11.Count() == 0)
            ComboBox11.AddItem(TForm10::kNoSavedFilter);
        ComboBox11.SetItemIndex(0);
    }
}

void TForm1::BitBtn24Click(ui::TObject*)
{
    // The window shows the tab set again when it has filled its lists; the scope makes sure it
    // comes back also when showing fails.
    ui::BusyScope busy(TabbedNotebook1, Label35);
    Form10->ShowModal();
}

void TForm1::BitBtn26Click(ui::TObject*)
{
    ComboBox11.SetItemIndex(0);
    ComboBox11Click(nullptr);
}

void TForm1::ComboBox11Click(ui::TObject*)
{
    if (ComboBox11.ItemIndex() <= 0) {
        Form10->ClearCriteria();
        Form10->BitBtn2Click(nullptr);
        return;
    }
    // The filter window loads the file named by its list's text.
    ui::TComboBox& names = Form10->ComboBox9;
    names.SetStyle(ui::TComboBoxStyle::csDropDown);
    names.SetItemIndex(-1);
    names.SetText(ComboBox11.Text());
    try {
        Form10->ComboBox9Click(nullptr);
        Form10->BitBtn2Click(nullptr);
    } catch (...) {
        names.SetStyle(ui::TComboBoxStyle::csDropDownList);
        throw;
    }
    names.SetStyle(ui::TComboBoxStyle::csDropDownList);
}

void TForm1::Filtr1Click(ui::TObject*)
{
    BitBtn24.Click();
}

void TForm1::Filtr2Click(ui::TObject*)
{
    TabbedNotebook1.SetPageIndex(1);
    BitBtn24.Click();
}
