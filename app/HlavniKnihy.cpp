// The books page's list: the quick filter boxes, the state box, the sort buttons over the column
// titles and the page's part of the refresh run by a tab click.

#include "app/Hlavni.h"

#include "app/QuickFilter.h"
#include "catalogue/FiltrKnih.h"

#include <QLineEdit>

#include <filesystem>

namespace {

// Which filter built the books list's text last (the window's Tag).
enum : int { kBuiltByNone = 0, kBuiltByExtendedFilter = 1, kBuiltByQuickFilter = 2 };

} // namespace

void TForm1::SetUpBooksPage()
{
    for (ui::TEdit* box : {&Edit5, &Edit6, &Edit7, &Edit9})
        box->OnChange = [this](ui::TObject* s) { Edit5Change(s); };
    ComboBox12.OnChange = [this](ui::TObject* s) { ComboBox12Change(s); };
    BitBtn15.OnClick = [this](ui::TObject* s) { BitBtn15Click(s); };
    BitBtn16.OnClick = [this](ui::TObject* s) { BitBtn16Click(s); };
    BitBtn17.OnClick = [this](ui::TObject* s) { BitBtn17Click(s); };
    BitBtn19.OnClick = [this](ui::TObject* s) { BitBtn19Click(s); };
    DBGrid2.OnTitleClick = [this](ui::TObject* s, ui::TColumn& c) { DBGrid2TitleClick(s, c); };

    BitBtn5.OnClick = [this](ui::TObject* s) { BitBtn5Click(s); };
    BitBtn6.OnClick = [this](ui::TObject* s) { BitBtn6Click(s); };
    BitBtn7.OnClick = [this](ui::TObject* s) { BitBtn7Click(s); };
    Button1.OnClick = [this](ui::TObject* s) { Button1Click(s); };
    // The discard date follows the current book; its text decides the discard button's caption.
    QObject::connect(&DBEdit11, &QLineEdit::textChanged, &DBEdit11, [this] {
        ui::Application.RunHandler([this] { DBEdit11Change(&DBEdit11); });
    });
    Pidatknihu1.OnClick = [this](ui::TObject* s) { Pidatknihu1Click(s); };
    Upravitknihu1.OnClick = [this](ui::TObject* s) { Upravitknihu1Click(s); };
    Odebratknihu1.OnClick = [this](ui::TObject* s) { Odebratknihu1Click(s); };
    Vytvoitkopiizznamu1.OnClick = [this](ui::TObject* s) { Vytvoitkopiizznamu1Click(s); };
    SetUpBooksMenu();

    SetUpBooksFilters();

    ui::EnableFocusColors({&Edit5, &Edit6, &Edit7, &Edit9});

    bookSort_.SetColumns({
        {&SortKod, &BitBtn15, "Kod"},
        {&SortNazev, &BitBtn16, "Nazev"},
        {&SortAutor, &BitBtn17, "Autor"},
        {&SortUmisteni, &BitBtn19, "Umisteni"},
    });
    bookSort_.ShowStartGlyphs();
    PlaceBooksColumnControls();
}

void TForm1::Edit5Change(ui::TObject*)
{
    Query1.Close();
    Query1.SQL.Clear();
    Query1.SetFiltered(false);
    Query1.SQL.Add("SELECT * FROM Knihy");
    app::PrefixConditions conditions(Query1.SQL);
    conditions.Add("Kod", Edit5.Text());
    conditions.Add("Nazev", Edit6.Text());
    conditions.Add("Autor", Edit7.Text());
    conditions.Add("Umisteni", Edit9.Text());
    SetBooksStateFilter();
    Query1.SQL.Add(bookSort_.OrderBy());
    Query1.Open();
    Tag = kBuiltByQuickFilter;
}

void TForm1::SetBooksStateFilter()
{
    static const char* const filters[] = {"", "Vlastnosti=''", "Vlastnosti='Půjčená'", "Vlastnosti='Vyřazená'"};
    Query1.SetFiltered(false);
    Query1.SetFilter("");
    const int item = ComboBox12.ItemIndex();
    if (item >= 0 && item < static_cast<int>(std::size(filters)))
        Query1.SetFilter(filters[item]);
    Query1.SetFiltered(true);
}

void TForm1::ComboBox12Change(ui::TObject*)
{
    SetBooksStateFilter();
}

void TForm1::SortBooks(std::size_t column, ui::TObject* Sender)
{
    bookSort_.Press(column, std::filesystem::path(Edit13.Text()) / "Data" / "Icon");
    if (Tag == kBuiltByQuickFilter) {
        // The quick filter writes the ORDER BY line of the new state itself.
        if (Edit5.OnChange)
            Edit5.OnChange(Sender);
        return;
    }
    // Built by the extended filter: its window applies its conditions again (unshown), then the
    // order changes. Built by neither: only the order changes.
    if (Tag == kBuiltByExtendedFilter)
        Form10->BitBtn2.Click();
    Query1.Close();
    app::SortButtons::PutOrderBy(Query1.SQL, bookSort_.OrderByOf(column));
    Query1.Open();
}

void TForm1::BitBtn15Click(ui::TObject* Sender)
{
    SortBooks(0, Sender);
}

void TForm1::BitBtn16Click(ui::TObject* Sender)
{
    SortBooks(1, Sender);
}

void TForm1::BitBtn17Click(ui::TObject* Sender)
{
    SortBooks(2, Sender);
}

void TForm1::BitBtn19Click(ui::TObject* Sender)
{
    SortBooks(3, Sender);
}

void TForm1::DBGrid2TitleClick(ui::TObject*, ui::TColumn& Column)
{
    if (Column.Title == "Kód")
        BitBtn15Click(nullptr);
}

void TForm1::RefreshBooksPage()
{
    Table1.SetFiltered(true);
    Table2.SetFiltered(true);
    if (Edit5.OnChange)
        Edit5.OnChange(nullptr);
    ListSavedFilters();
    TabbedNotebook1.Show();
    Edit5.SetFocus();
}
