// The main window's openers of the export and import windows.

#include "app/Hlavni.h"

#include "maintenance/ExportDatabaze.h"
#include "maintenance/ImportDatabaze.h"

// The export window is not modal; showing it while an export runs brings it forward.
void TForm1::Export1Click(ui::TObject*)
{
    if (frmExport == nullptr)
        return;
    frmExport->Show();
    frmExport->raise();
    frmExport->activateWindow();
}

void TForm1::Importdatabze1Click(ui::TObject*)
{
    if (frmImport == nullptr)
        return;
    frmImport->ShowModal();
}
