#include "maintenance/ExportDatabaze.h"

TfrmExport* frmExport = nullptr;

TfrmExport::TfrmExport()
    : ui::TForm("frmExport")
{
    SetCaption("Export databáze");
}
