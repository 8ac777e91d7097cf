#pragma once
// The book dialog: add, edit or show a book. Created once at start-up; its controls and commands are still to come.

#include "platform/ui/Form.h"

class TForm4 : public ui::TForm {
public:
    TForm4();
};

extern TForm4* Form4;
