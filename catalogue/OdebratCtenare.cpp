#include "catalogue/OdebratCtenare.h"

TForm3* Form3 = nullptr;

TForm3::TForm3()
    : ui::TForm("Form3")
{
    SetCaption("Upravit čtenáře");
}
