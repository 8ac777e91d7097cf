#pragma once
// The edit-reader dialog (also the reader information). Created once at start-up; its controls and commands are still to come.

#include "platform/ui/Form.h"

class TForm3 : public ui::TForm {
public:
    TForm3();
};

extern TForm3* Form3;
