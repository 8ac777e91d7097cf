#include "maintenance/ImportDatabaze.h"

TfrmImport* frmImport = nullptr;

TfrmImport::TfrmImport()
    : ui::TForm("frmImport")
{
    SetCaption("Import databáze");
}
