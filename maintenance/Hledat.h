#pragma once
// The folder picker of backup and restore. Created once at start-up; its controls and commands are still to come.

#include "platform/ui/Form.h"

class TForm18 : public ui::TForm {
public:
    TForm18();
};

extern TForm18* Form18;
