#include "catalogue/VyrazeniKnihy.h"

TForm17* Form17 = nullptr;

TForm17::TForm17()
    : ui::TForm("Form17")
{
    SetCaption("Vyřazení knihy");
}
