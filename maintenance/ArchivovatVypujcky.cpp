#include "maintenance/ArchivovatVypujcky.h"

TForm5* Form5 = nullptr;

TForm5::TForm5()
    : ui::TForm("Form5")
{
    SetCaption("Archivace výpůjček");
}
