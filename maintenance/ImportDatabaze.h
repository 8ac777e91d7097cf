#pragma once
// Import of a table from a dBase file. Created once at start-up; its controls and commands are still to come.

#include "platform/ui/Form.h"

class TfrmImport : public ui::TForm {
public:
    TfrmImport();
};

extern TfrmImport* frmImport;
