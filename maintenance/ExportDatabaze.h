#pragma once
// Export of a table to a CSV file. Created once at start-up; its controls and commands are still to come.

#include "platform/ui/Form.h"

class TfrmExport : public ui::TForm {
public:
    TfrmExport();
};

extern TfrmExport* frmExport;
