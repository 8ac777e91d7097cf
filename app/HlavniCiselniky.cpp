// The code lists, the loan archive's sorting and search, and emptying the archive or every table.

#include "app/Hlavni.h"

#include "app/lending/EmptyTables.h"
#include "maintenance/HledaniVArchivu.h"

#include <array>
#include <exception>

namespace {

const char* const kArchiveSelect = "SELECT * FROM VýpůjčkyArchiv";
const char* const kArchiveOrder = "ORDER BY Vraceno";
const std::array<const char*, 6> kArchiveSortLines = {"ORDER BY Ctenar",  "ORDER BY KodKnihy", "ORDER BY Kniha",
                                                      "ORDER BY Pujceno", "ORDER BY Vraceno",  "ORDER BY Dnu"};

bool IsOrderLine(const std::string& line)
{
    return line.rfind("ORDER BY", 0) == 0;
}

// Sets the query's lines, switches its record filter off and opens it.
void Reset(data::TQuery& query, std::initializer_list<const char*> lines)
{
    query.Close();
    query.SetFiltered(false);
    query.SQL.Clear();
    for (const char* line : lines)
        query.SQL.Add(line);
    query.Open();
}

} // namespace

// A reader category added through the first navigator is a category of its own kind (1).
void TForm1::DBNavigator1Click(ui::TObject*, ui::TNavigateBtn Button)
{
    if (Button == ui::TNavigateBtn::nbInsert)
        Table4.FieldByName("Kategorie").SetAsString("1");
}

// Replaces the archive list's ORDER BY line (its last line) by the chosen order; the lines before
// it, such as a search's conditions, stay.
void TForm1::RadioGroup1Click(ui::TObject*)
{
    Query3.Close();
    if (Query3.SQL.Count() > 0 && IsOrderLine(Query3.SQL[Query3.SQL.Count() - 1]))
        Query3.SQL.Delete(Query3.SQL.Count() - 1);
    if (Query3.SQL.Count() == 0)
        Query3.SQL.Add(kArchiveSelect);
    int item = RadioGroup1.ItemIndex();
    if (item < 0 || item >= static_cast<int>(kArchiveSortLines.size()))
        item = 4;
    Query3.SQL.Add(std::string(kArchiveSortLines[static_cast<std::size_t>(item)]) +
                   (CheckBox6.Checked() ? " DESC" : ""));
    Query3.Open();
}

void TForm1::BitBtn8Click(ui::TObject*)
{
    if (Form7 != nullptr)
        Form7->ShowModal();
}

void TForm1::Filtr3Click(ui::TObject*)
{
    TabbedNotebook1.SetPageIndex(5);
    BitBtn8.Click();
}

void TForm1::Vyprzdnitdatabzi1Click(ui::TObject*)
{
    if (ui::Application.MessageBox("Vyprázdněním databáze budou ztracena všechna data z nynější databáze.\n"
                                   "Chcete přesto vyprázdnit databázi?",
                                   "Vyprázdnění databáze",
                                   ui::MB_YESNO | ui::MB_ICONQUESTION | ui::MB_DEFBUTTON2) != ui::IDYES)
        return;
    Query3.Close();
    try {
        archive_.EmptyTable();
    } catch (...) {
        // The list comes back as it was; the error is shown by the caller.
        Query3.Open();
        throw;
    }
    Reset(Query3, {kArchiveSelect, kArchiveOrder});
    ui::Application.MessageBox("Vyprázdnění databáze bylo úspěšně dokončeno.", "Vyprázdnění databáze",
                               ui::MB_OK | ui::MB_ICONINFORMATION);
}

void TForm1::Vyprzdnitvechnydatabze1Click(ui::TObject*)
{
    if (ui::Application.MessageBox("Vyprázdněním databází budou ztracena všechna data z nynějších databází.\n"
                                   "Chcete přesto vyprázdnit databáze?",
                                   "Vyprázdnění databází",
                                   ui::MB_YESNO | ui::MB_ICONQUESTION | ui::MB_DEFBUTTON2) != ui::IDYES)
        return;
    Query3.Close();
    Query1.Close();
    Query2.Close();

    // All eight tables or none: the keyword list stays.
    const std::vector<data::TTable*> tables = {&archive_, &Table1, &Table2, &Table3, &Table4, &Table5, &Table6, &Table7};
    std::exception_ptr failure;
    try {
        app::EmptyTablesTogether(tables);
    } catch (...) {
        failure = std::current_exception();
        // Rolled back: the open tables read their records again.
        for (data::TTable* table : tables) {
            try {
                if (table->Active())
                    table->Refresh();
            } catch (...) {
            }
        }
    }

    // The lists come back whatever happened; the readers list under the readers page's boxes.
    Reset(Query3, {kArchiveSelect, kArchiveOrder});
    Reset(Query1, {"SELECT * FROM Knihy", "ORDER BY Kod"});
    Reset(Query2, {"SELECT * FROM Čtenáři", "ORDER BY Jmeno"});
    Edit10Change(nullptr);
    if (failure)
        std::rethrow_exception(failure);
    ui::Application.MessageBox("Vyprázdnění databází bylo úspěšně dokončeno.", "Vyprázdnění databází",
                               ui::MB_OK | ui::MB_ICONINFORMATION);
}
