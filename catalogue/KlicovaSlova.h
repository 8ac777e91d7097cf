#pragma once
// The keyword list. Created once at start-up; its controls and commands are still to come.

#include "platform/ui/Form.h"

class TForm9 : public ui::TForm {
public:
    TForm9();
};

extern TForm9* Form9;
