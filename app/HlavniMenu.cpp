// The main menu: each item chooses a page and/or presses one of the window's buttons, so every
// command has one implementation.

#include "app/Hlavni.h"

#include "catalogue/KlicovaSlova.h"

void TForm1::SetUpMenu()
{
    const std::pair<ui::TMenuItem*, const char*> names[] = {
        {&Soubor1, "Soubor1"},
        {&Zloha1, "Zloha1"},
        {&Import1, "Import1"},
        {&Archivovatvpjky1, "Archivovatvpjky1"},
        {&Export1, "Export1"},
        {&Konec1, "Konec1"},
        {&Monosti1, "Monosti1"},
        {&Nastavvenhesla1, "Nastavvenhesla1"},
        {&Databze1, "Databze1"},
        {&Vpjky1, "Vpjky1"},
        {&Zobrazit1, "Zobrazit1"},
        {&Archivovatvpjky2, "Archivovatvpjky2"},
        {&Knihy1, "Knihy1"},
        {&Zobrazit2, "Zobrazit2"},
        {&Pidat1, "Pidat1"},
        {&Filtr2, "Filtr2"},
        {&teni1, "teni1"},
        {&Zobrazit3, "Zobrazit3"},
        {&Pidat2, "Pidat2"},
        {&selnky1, "selnky1"},
        {&Zobrazit4, "Zobrazit4"},
        {&Klovslova1, "Klovslova1"},
        {&Zobrazit5, "Zobrazit5"},
        {&Archivvpjek1, "Archivvpjek1"},
        {&Zobrazit6, "Zobrazit6"},
        {&Filtr3, "Filtr3"},
        {&Vyprzdnitdatabzi1, "Vyprzdnitdatabzi1"},
        {&Vyprzdnitvechnydatabze1, "Vyprzdnitvechnydatabze1"},
        {&Npovda1, "Npovda1"},
        {&Obsah1, "Obsah1"},
        {&Orbelin1, "Orbelin1"},
        {&Oaplikaci1, "Oaplikaci1"},
    };
    for (const auto& [item, name] : names)
        item->Name = name;

    Konec1.OnClick = [this](ui::TObject* s) { Konec1Click(s); };
    Nastavvenhesla1.OnClick = [this](ui::TObject* s) { Nastavvenhesla1Click(s); };
    Zobrazit1.OnClick = [this](ui::TObject* s) { Zobrazit1Click(s); };
    Zobrazit2.OnClick = [this](ui::TObject* s) { Zobrazit2Click(s); };
    Zobrazit3.OnClick = [this](ui::TObject* s) { Zobrazit3Click(s); };
    Zobrazit4.OnClick = [this](ui::TObject* s) { Zobrazit4Click(s); };
    Zobrazit6.OnClick = [this](ui::TObject* s) { Zobrazit6Click(s); };
    Zobrazit5.OnClick = [this](ui::TObject* s) { Zobrazit5Click(s); };
    Obsah1.OnClick = [this](ui::TObject* s) { Obsah1Click(s); };
    Export1.OnClick = [this](ui::TObject* s) { Export1Click(s); };
    Pidat2.OnClick = [this](ui::TObject* s) { Pidat2Click(s); };
    Orbelin1.OnClick = [this](ui::TObject* s) { Orbelin1Click(s); };
    Oaplikaci1.OnClick = [this](ui::TObject* s) { SpeedButton11Click(s); };
    Zloha1.OnClick = [this](ui::TObject* s) { Zloha1Click(s); };
    Import1.OnClick = [this](ui::TObject* s) { Import1Click(s); };
    Filtr3.OnClick = [this](ui::TObject* s) { Filtr3Click(s); };
    Vyprzdnitdatabzi1.OnClick = [this](ui::TObject* s) { Vyprzdnitdatabzi1Click(s); };
    Vyprzdnitvechnydatabze1.OnClick = [this](ui::TObject* s) { Vyprzdnitvechnydatabze1Click(s); };
    Archivovatvpjky1.OnClick = [this](ui::TObject* s) { Archivovatvpjky1Click(s); };
    Archivovatvpjky2.OnClick = [this](ui::TObject* s) { Archivovatvpjky2Click(s); };
}

void TForm1::Konec1Click(ui::TObject*)
{
    BitBtn11.Click();
}

void TForm1::Nastavvenhesla1Click(ui::TObject*)
{
    BitBtn29.Click();
}

// Choosing a page from the menu brings it to the front without the refresh a tab click runs.
void TForm1::Zobrazit1Click(ui::TObject*)
{
    TabbedNotebook1.SetPageIndex(0);
}

void TForm1::Zobrazit2Click(ui::TObject*)
{
    TabbedNotebook1.SetPageIndex(1);
}

void TForm1::Zobrazit3Click(ui::TObject*)
{
    TabbedNotebook1.SetPageIndex(2);
}

void TForm1::Zobrazit4Click(ui::TObject*)
{
    TabbedNotebook1.SetPageIndex(4);
}

void TForm1::Zobrazit6Click(ui::TObject*)
{
    TabbedNotebook1.SetPageIndex(5);
}

// The keyword list in view mode: only "Zavřít" shows.
void TForm1::Zobrazit5Click(ui::TObject*)
{
    if (Form9 == nullptr)
        return;
    Form9->SetViewMode();
    Form9->ShowModal();
}

void TForm1::Obsah1Click(ui::TObject*)
{
    SpeedButton1.Click();
}

// ---- Books page items. ----

void TForm1::SetUpBooksMenu()
{
    Pidat1.OnClick = [this](ui::TObject* s) { Pidat1Click(s); };
}

void TForm1::Pidat1Click(ui::TObject*)
{
    TabbedNotebook1.SetPageIndex(1);
    BitBtn5.Click();
}

// ---- Readers page items. ----

void TForm1::Pidat2Click(ui::TObject*)
{
    TabbedNotebook1.SetPageIndex(2);
    BitBtn1.Click();
}
