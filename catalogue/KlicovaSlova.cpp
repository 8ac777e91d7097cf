#include "catalogue/KlicovaSlova.h"

TForm9* Form9 = nullptr;

TForm9::TForm9()
    : ui::TForm("Form9")
{
    SetCaption("Klíčová slova");
}
