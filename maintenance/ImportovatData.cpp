#include "maintenance/ImportovatData.h"

TForm8* Form8 = nullptr;

TForm8::TForm8()
    : ui::TForm("Form8")
{
    SetCaption("Obnovení dat");
    ProgressBar1.Name = "ProgressBar1";
    ProgressBar1.SetBounds(8, 8, 200, 16);
}
