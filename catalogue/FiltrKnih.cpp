#include "catalogue/FiltrKnih.h"

TForm10* Form10 = nullptr;

TForm10::TForm10()
    : ui::TForm("Form10")
{
    SetCaption("Filtr databáze knih");
}
