#pragma once
// The start-up password prompt. It is the first window created and the application's main window:
// closing it ends the program. When no password is stored it gives way to the main window at its
// first paint; otherwise only after the right password.

#include "platform/ui/Button.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Form.h"
#include "platform/ui/Label.h"

class TForm15 : public ui::TForm {
public:
    TForm15();

    ui::TLabel Label1{this, "Zadejte prosím heslo pro spuštění programu:"};
    ui::TEdit Edit1{this};
    ui::TBitBtn BitBtn1{this, "OK"};
    ui::TBitBtn BitBtn2{this, "Storno"};

    void FormPaint(ui::TObject* Sender);
    void Edit1Enter(ui::TObject* Sender);
    void Edit1Exit(ui::TObject* Sender);
    void BitBtn1Click(ui::TObject* Sender);
    void BitBtn2Click(ui::TObject* Sender);

private:
    // Hides the prompt and brings up the main window (once).
    void PasswordAccepted();

    bool accepted_ = false;
    bool acceptPending_ = false;
};

extern TForm15* Form15;
