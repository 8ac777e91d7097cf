// Backup and restore from the tool bar and the menu.

#include "app/Hlavni.h"

#include "maintenance/ImportovatData.h"
#include "maintenance/ZalohovatData.h"

void TForm1::BitBtn4Click(ui::TObject*)
{
    if (Form6 != nullptr)
        Form6->ShowModal();
}

void TForm1::BitBtn23Click(ui::TObject*)
{
    if (Form8 != nullptr)
        Form8->ShowModal();
}

void TForm1::Zloha1Click(ui::TObject*)
{
    BitBtn4.Click();
}

void TForm1::Import1Click(ui::TObject*)
{
    BitBtn23.Click();
}
