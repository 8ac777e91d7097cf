#pragma once
// Restore of the table files from a backup. Created once at start-up; its controls and commands are still to come.

#include "platform/ui/Form.h"
#include "platform/ui/ProgressBar.h"

class TForm8 : public ui::TForm {
public:
    TForm8();

    // The progress of the recomputation of days lent shows here too.
    ui::TProgressBar ProgressBar1{this};
};

extern TForm8* Form8;
