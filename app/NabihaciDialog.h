#pragma once
// The loading panel: a small borderless window saying "Čekejte prosím..." while the main window
// opens its tables.

#include "platform/ui/Form.h"
#include "platform/ui/Label.h"
#include "platform/ui/Panel.h"

class TForm13 : public ui::TForm {
public:
    TForm13();

    ui::TPanel Panel1{this, "Čekejte prosím..."};
    ui::TLabel Label1{&Panel1, "Čekejte prosím..."};

    void FormCreate(ui::TObject* Sender);
    void FormShow(ui::TObject* Sender);
};

extern TForm13* Form13;
