#pragma once
// The extended book filter. Created once at start-up; its controls and commands are still to come.

#include "platform/ui/Form.h"

class TForm10 : public ui::TForm {
public:
    TForm10();
};

extern TForm10* Form10;
