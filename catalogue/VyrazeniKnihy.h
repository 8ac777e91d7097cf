#pragma once
// The discard dialog: records that the book on which the main window's books table stands left the
// collection, with the date, a note and the state "Vyřazená".

#include "platform/ui/Button.h"
#include "platform/ui/Edit.h"
#include "platform/ui/EnterChain.h"
#include "platform/ui/Form.h"
#include "platform/ui/Label.h"
#include "platform/ui/Memo.h"

class TForm17 : public ui::TForm {
public:
    TForm17();

    ui::TLabel Label1{this, "Vyřadit dne"};
    ui::TEdit Edit1{this};
    ui::TButton Button1{this, "Dnes"};
    ui::TLabel Label2{this, "Poznámka k vyřazení"};
    ui::TMemo Memo1{this};
    ui::TBitBtn BitBtn1{this, "OK"};
    ui::TBitBtn BitBtn2{this, "Storno"};

    void FormShow(ui::TObject* Sender);
    void Button1Click(ui::TObject* Sender);
    void BitBtn1Click(ui::TObject* Sender);
    void BitBtn2Click(ui::TObject* Sender);

private:
    ui::TEnterChain enterChain_;
};

extern TForm17* Form17;
