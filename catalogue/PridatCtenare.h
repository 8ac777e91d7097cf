#pragma once
// The add-reader dialog. Created once at start-up; its controls and commands are still to come.

#include "platform/ui/Form.h"

class TForm2 : public ui::TForm {
public:
    TForm2();
};

extern TForm2* Form2;
