#pragma once
// Search in the loan archive. Created once at start-up; its controls and commands are still to come.

#include "platform/ui/Form.h"

class TForm7 : public ui::TForm {
public:
    TForm7();
};

extern TForm7* Form7;
