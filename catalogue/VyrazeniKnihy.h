#pragma once
// The discard dialog of a book. Created once at start-up; its controls and commands are still to come.

#include "platform/ui/Form.h"

class TForm17 : public ui::TForm {
public:
    TForm17();
};

extern TForm17* Form17;
