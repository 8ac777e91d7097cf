// The main window's datasets, their fields and the columns of the grids that show them.

#include "app/Hlavni.h"

#include "platform/data/LoanFields.h"

namespace {

void SetSql(data::TQuery& query, std::initializer_list<const char*> lines)
{
    query.SQL.Clear();
    for (const char* line : lines)
        query.SQL.Add(line);
}

} // namespace

void TForm1::SetUpData()
{
    const std::pair<data::TTable*, const char*> tables[] = {
        {&Table1, "Čtenáři.db"},     {&Table2, "Knihy.DB"},       {&Table3, "Výpůjčky.db"},
        {&Table4, "Číselníky.db"},   {&Table5, "Číselníky02.db"}, {&Table6, "Číselníky03.db"},
        {&Table7, "Číselníky04.db"},
    };
    int number = 1;
    for (const auto& [table, file] : tables) {
        table->Name = "Table" + std::to_string(number++);
        table->TableName = file;
        table->Exclusive = true;
    }
    Query1.Name = "Query1";
    Query2.Name = "Query2";
    Query3.Name = "Query3";
    SetSql(Query1, {"SELECT * FROM Knihy", "ORDER BY Kod"});
    SetSql(Query2, {"SELECT * FROM Čtenáři", "ORDER BY Jmeno"});
    SetSql(Query3, {"SELECT * FROM VýpůjčkyArchiv", "ORDER BY Vraceno"});

    // The loans carry the reader's name, the book's code and its title, looked up by number.
    data::DefineLoanFields(Table3, Table1, Table2);
    Table3.SetFilter("VracenoB='False'");
    Table3.SetFiltered(true);

    const std::vector<ui::TColumn> loanColumns = {
        {"Cislo", "", 40, false},          {"CisloCtenare", "", 40, false}, {"Ctenar", "", 200, false},
        {"CisloKnihy", "", 40, false},     {"KodKnihy", "Kód knihy", 100},  {"Kniha", "Název knihy", 486},
        {"Pujceno", "Půjčeno", 90},        {"Vraceno", "Vráceno", 90},      {"Dnu", "Dnů", 60},
    };
    DBGrid3.SetColumns(loanColumns);
    std::vector<ui::TColumn> overviewColumns = loanColumns;
    overviewColumns[2] = {"Ctenar", "Čtenář", 200};
    overviewColumns[5] = {"Kniha", "", 296};
    DBGrid4.SetColumns(overviewColumns);

    DBGrid2.SetColumns({
        {"Cislo", "", 40, false},
        {"Kod", "Kód", 70, true, ui::TAlignment::taCenter},
        {"Nazev", "Název", 200},
        {"Autor", "", 120},
        {"Kategorie", "", 100, false},
        {"Umisteni", "Umístění", 80},
        {"Cena", "", 60, false},
        {"Pujceno", "", 40, false},
        {"CenaX", "", 60, false},
        {"Signatura", "", 60, false},
        {"Nakladatelstvi", "", 100, false},
        {"RokVydani", "", 40, false},
        {"PocetStran", "", 40, false},
        {"Ilustrator", "", 100, false},
        {"VekOd", "", 40, false},
        {"Anotace", "", 100, false},
        {"KlicovaSlova", "", 100, false},
        {"VyrazenoDatum", "", 80, false},
        {"VyrazenoText", "", 100, false},
        {"Vlastnosti", "Stav", 70},
    });
    DBGrid1.SetColumns({
        {"Cislo", "", 40, false},
        {"Jmeno", "Jméno a příjmení", 250},
        {"Trida", "Třída", 70},
        {"Kategorie", "", 134},
        {"Poznamka", "Poznámka", 294},
        {"Aktivni", "", 40, false},
        {"Stav", "", 90}, // wide enough for "Neaktivní"
    });
    DBGrid5.SetColumns({{"Nazev", "Kategorie čtenáře", 185}, {"Kategorie", "", 40, false}});
    DBGrid6.SetColumns({{"Nazev", "Třída", 185}, {"Kategorie", "", 40, false}});
    DBGrid7.SetColumns({{"Nazev", "Typ knihy", 185}, {"Kategorie", "", 40, false}});
    DBGrid9.SetColumns({{"Nazev", "Umístění knihy", 185}});
    DBGrid8.SetColumns({
        {"Cislo", "", 40, false},          {"CisloCtenare", "", 40, false}, {"Ctenar", "Čtenář", 220},
        {"CisloKnihy", "", 40, false},     {"KodKnihy", "Kód knihy", 90},   {"Kniha", "Název knihy", 300},
        {"Pujceno", "Půjčeno", 80},        {"Vraceno", "Vráceno", 80},      {"Dnu", "Dnů", 50},
    });
    // The code lists are edited in place; the other grids only show.
    for (ui::TDBGrid* grid : {&DBGrid5, &DBGrid6, &DBGrid7, &DBGrid9})
        grid->SetReadOnly(false);
    for (ui::TDBNavigator* navigator : {&DBNavigator1, &DBNavigator2, &DBNavigator3, &DBNavigator5})
        navigator->ConfirmDelete = false;
    DBNavigator4.SetVisibleButtons(
        {ui::TNavigateBtn::nbFirst, ui::TNavigateBtn::nbPrior, ui::TNavigateBtn::nbNext, ui::TNavigateBtn::nbLast});
}
