#pragma once
// The add-reader dialog: a new reader's names, class, category and note go into the readers table;
// shown from the lending desk it also makes the new reader the desk's chosen reader.

#include "platform/ui/Button.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Edit.h"
#include "platform/ui/EnterChain.h"
#include "platform/ui/Form.h"
#include "platform/ui/Label.h"

class TForm2 : public ui::TForm {
public:
    TForm2();

    ui::TLabel Label1{this, "Jméno"};
    ui::TEdit Edit1{this};
    ui::TLabel Label2{this, "Příjmení"};
    ui::TEdit Edit2{this};
    ui::TLabel Label3{this, "Třída"};
    ui::TComboBox ComboBox1{this, ui::TComboBoxStyle::csDropDownList};
    ui::TBitBtn BitBtn3{this};
    ui::TLabel Label4{this, "Kategorie"};
    ui::TComboBox ComboBox2{this, ui::TComboBoxStyle::csDropDownList};
    ui::TBitBtn BitBtn4{this};
    ui::TLabel Label5{this, "Poznámka"};
    ui::TEdit Edit5{this};
    ui::TBitBtn BitBtn1{this, "OK"};
    ui::TBitBtn BitBtn2{this, "Storno"};

    // The last valid selection of the class and of the category list.
    int LastItemIndex1 = 0;
    int LastItemIndex2 = 0;

    void FormShow(ui::TObject* Sender);
    void FormClose(ui::TObject* Sender, ui::TCloseAction& Action);
    void BitBtn1Click(ui::TObject* Sender);
    void BitBtn2Click(ui::TObject* Sender);
    void BitBtn3Click(ui::TObject* Sender);
    void BitBtn4Click(ui::TObject* Sender);
    void Edit1Change(ui::TObject* Sender);
    void Edit2Change(ui::TObject* Sender);
    void ComboBox1KeyUp(ui::TObject* Sender, ui::Word& Key, ui::TShiftState Shift);
    void ComboBox2KeyUp(ui::TObject* Sender, ui::Word& Key, ui::TShiftState Shift);

private:
    // Appends the reader; false (the error shown, nothing left pending) when it could not be saved.
    bool SaveReader();
    // Refills the lending desk's reader box and makes the newest reader its chosen one.
    void RefillLendingDesk();

    ui::TEnterChain enterChain_;
};

extern TForm2* Form2;
