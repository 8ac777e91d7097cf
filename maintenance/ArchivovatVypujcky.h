#pragma once
// Archiving of returned loans. Created once at start-up; its controls and commands are still to come.

#include "platform/ui/Form.h"

class TForm5 : public ui::TForm {
public:
    TForm5();
};

extern TForm5* Form5;
