#include "maintenance/Hledat.h"

TForm18* Form18 = nullptr;

TForm18::TForm18()
    : ui::TForm("Form18")
{
    SetCaption("Hledat");
}
