#include "catalogue/PridatKnihu.h"

TForm4* Form4 = nullptr;

TForm4::TForm4()
    : ui::TForm("Form4")
{
    SetCaption("Přidat knihu");
}
