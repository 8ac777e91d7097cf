#include "maintenance/HledaniVArchivu.h"

TForm7* Form7 = nullptr;

TForm7::TForm7()
    : ui::TForm("Form7")
{
    SetCaption("Vyhledávání v archivu");
}
