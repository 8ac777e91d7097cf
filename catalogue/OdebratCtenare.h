#pragma once
// The edit-reader dialog: edits the current record of the readers table (its opener positions the
// table on the reader first). In the information mode, which its opener sets through EnterInfoMode
// before showing it, it shows the reader read-only; closing always brings back the edit mode.

#include "platform/ui/Button.h"
#include "platform/ui/CheckBox.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Edit.h"
#include "platform/ui/EnterChain.h"
#include "platform/ui/Form.h"
#include "platform/ui/Label.h"

#include <string>

class TForm3 : public ui::TForm {
public:
    TForm3();

    ui::TLabel Label1{this, "Čtenář"};
    ui::TEdit Edit1{this};
    ui::TLabel Label2{this, "Třída"};
    ui::TComboBox ComboBox1{this, ui::TComboBoxStyle::csDropDownList};
    ui::TBitBtn BitBtn3{this};
    ui::TLabel Label3{this, "Kategorie"};
    ui::TComboBox ComboBox2{this, ui::TComboBoxStyle::csDropDownList};
    ui::TBitBtn BitBtn4{this};
    ui::TLabel Label4{this, "Poznámka"};
    ui::TEdit Edit4{this};
    ui::TCheckBox CheckBox1{this, "Aktivní čtenář"};
    ui::TBitBtn BitBtn1{this, "OK"};
    ui::TBitBtn BitBtn2{this, "Storno"};

    // The last valid selection of the class and of the category list.
    int LastItemIndex1 = 0;
    int LastItemIndex2 = 0;
    // The last accepted texts of the two lists, put back while the information mode is on.
    std::string SavedComboText1;
    std::string SavedComboText2;

    // The information mode: read-only fields, simple lists, disabled check box and glyph buttons,
    // OK alone in the middle and the caption "Info o čtenáři" (by which the dialog knows the mode).
    void EnterInfoMode();
    bool InfoMode() const;

    void FormShow(ui::TObject* Sender);
    void FormClose(ui::TObject* Sender, ui::TCloseAction& Action);
    void BitBtn1Click(ui::TObject* Sender);
    void BitBtn2Click(ui::TObject* Sender);
    void BitBtn3Click(ui::TObject* Sender);
    void BitBtn4Click(ui::TObject* Sender);
    void ComboBox1Change(ui::TObject* Sender);
    void ComboBox2Change(ui::TObject* Sender);
    void ComboBox1KeyUp(ui::TObject* Sender, ui::Word& Key, ui::TShiftState Shift);
    void ComboBox2KeyUp(ui::TObject* Sender, ui::Word& Key, ui::TShiftState Shift);
    void ComboBox1Enter(ui::TObject* Sender);
    void ComboBox1Exit(ui::TObject* Sender);
    void ComboBox2Enter(ui::TObject* Sender);
    void ComboBox2Exit(ui::TObject* Sender);
    void CheckBox1KeyUp(ui::TObject* Sender, ui::Word& Key, ui::TShiftState Shift);

private:
    // The edit mode, as designed.
    void LeaveInfoMode();
    // Whether the reader still has a loan not returned; the loans table gets its default filter back.
    bool HasOpenLoans(const std::string& reader);
    // Writes the dialog into the reader's record; false (the error shown, nothing left pending)
    // when it could not be saved.
    bool SaveReader(bool active);

    ui::TEnterChain enterChain_;
};

extern TForm3* Form3;
