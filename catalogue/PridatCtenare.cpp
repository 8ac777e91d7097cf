#include "catalogue/PridatCtenare.h"

TForm2* Form2 = nullptr;

TForm2::TForm2()
    : ui::TForm("Form2")
{
    SetCaption("Přidat čtenáře");
}
