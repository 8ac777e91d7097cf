#pragma once
// Backup of the table files. Created once at start-up; its controls and commands are still to come.

#include "platform/ui/Form.h"
#include "platform/ui/ProgressBar.h"

class TForm6 : public ui::TForm {
public:
    TForm6();

    // The progress of the recomputation of days lent shows here too.
    ui::TProgressBar CGauge1{this};
};

extern TForm6* Form6;
