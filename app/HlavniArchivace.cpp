// Archiving of returned loans from the tool bar and the menu.

#include "app/Hlavni.h"

#include "maintenance/ArchivovatVypujcky.h"

void TForm1::BitBtn12Click(ui::TObject*)
{
    if (Form5 != nullptr)
        Form5->ShowModal();
}

void TForm1::Archivovatvpjky1Click(ui::TObject*)
{
    BitBtn12.Click();
}

void TForm1::Archivovatvpjky2Click(ui::TObject*)
{
    BitBtn12.Click();
}
