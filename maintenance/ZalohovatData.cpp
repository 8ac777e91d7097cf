#include "maintenance/ZalohovatData.h"

TForm6* Form6 = nullptr;

TForm6::TForm6()
    : ui::TForm("Form6")
{
    SetCaption("Záloha dat");
    CGauge1.Name = "CGauge1";
    CGauge1.SetBounds(8, 8, 200, 16);
}
