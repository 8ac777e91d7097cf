#pragma once
// The dialog that changes the current date, the date every loan is written with.

#include "platform/ui/Button.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Form.h"
#include "platform/ui/Label.h"
#include "platform/ui/ProgressBar.h"

class TForm12 : public ui::TForm {
public:
    TForm12();

    ui::TLabel Label1{this, "Datum:"};
    ui::TEdit Edit1{this};
    ui::TButton Button1{this, "Dnešní datum"};
    ui::TLabel Label2{this, "Průběh"};
    ui::TProgressBar CGauge1{this};
    ui::TBitBtn BitBtn1{this, "OK"};
    ui::TBitBtn BitBtn2{this, "Storno"};

    void FormShow(ui::TObject* Sender);
    void Button1Click(ui::TObject* Sender);
    void BitBtn1Click(ui::TObject* Sender);
    void BitBtn2Click(ui::TObject* Sender);
};

extern TForm12* Form12;
