#pragma once
// Search in the loan archive: builds the archive page's query from the criteria typed here (reader,
// book, lending and return dates, days lent, each row with an "Inverzně" box), reopens it in the
// archive page's sort order and writes the number of records found under the page's grid.

#include "platform/ui/Button.h"
#include "platform/ui/CheckBox.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Edit.h"
#include "platform/ui/EnterChain.h"
#include "platform/ui/Form.h"
#include "platform/ui/Label.h"
#include "platform/ui/UpDown.h"

#include <string>
#include <vector>

class TForm7 : public ui::TForm {
public:
    TForm7();
    ~TForm7() override;

    ui::TLabel Label1{this, "Čtenář"};
    ui::TComboBox ComboBox1{this};
    ui::TCheckBox CheckBox1{this, "Inverzně"};
    ui::TLabel Label2{this, "Kód knihy"};
    ui::TEdit Edit1{this};
    ui::TLabel Label3{this, "Název knihy"};
    ui::TComboBox ComboBox2{this};
    ui::TCheckBox CheckBox2{this, "Inverzně"};
    ui::TLabel Label4{this, "Půjčeno"};
    ui::TLabel Label5{this, "od"};
    ui::TEdit Edit2{this};
    ui::TLabel Label6{this, "do"};
    ui::TEdit Edit3{this};
    ui::TCheckBox CheckBox3{this, "Inverzně"};
    ui::TLabel Label7{this, "Vráceno"};
    ui::TLabel Label8{this, "od"};
    ui::TEdit Edit4{this};
    ui::TLabel Label9{this, "do"};
    ui::TEdit Edit5{this};
    ui::TCheckBox CheckBox4{this, "Inverzně"};
    ui::TLabel Label10{this, "Dnů"};
    ui::TLabel Label11{this, "od"};
    ui::TEdit Edit6{this};
    ui::TUpDown UpDown1{this};
    ui::TLabel Label12{this, "do"};
    ui::TEdit Edit7{this};
    ui::TUpDown UpDown2{this};
    ui::TCheckBox CheckBox5{this, "Inverzně"};
    ui::TBitBtn BitBtn1{this, "OK"};
    ui::TBitBtn BitBtn2{this, "Storno"};

    void FormShow(ui::TObject* Sender);
    void BitBtn1Click(ui::TObject* Sender);
    void BitBtn2Click(ui::TObject* Sender);
    void Edit6Change(ui::TObject* Sender);
    void Edit7Change(ui::TObject* Sender);
    void ComboBox1KeyUp(ui::TObject* Sender, ui::Word& Key, ui::TShiftState Shift);
    void CheckBox1KeyUp(ui::TObject* Sender, ui::Word& Key, ui::TShiftState Shift);
    void CheckBox2KeyUp(ui::TObject* Sender, ui::Word& Key, ui::TShiftState Shift);
    void CheckBox3KeyUp(ui::TObject* Sender, ui::Word& Key, ui::TShiftState Shift);
    void CheckBox4KeyUp(ui::TObject* Sender, ui::Word& Key, ui::TShiftState Shift);
    void CheckBox5KeyUp(ui::TObject* Sender, ui::Word& Key, ui::TShiftState Shift);

private:
    // The lines of the archive query that the criteria and the archive page's sort choice give;
    // empty when a criterion is refused (its warning was shown). Dates are normalised first.
    std::vector<std::string> BuildQuery();
    // Up, Down, Page Up and Page Down toggle an "Inverzně" box; Enter moves to `next`.
    void InverseKeyUp(ui::TCheckBox& box, ui::TControl& next, ui::Word key);
    void DayChange(ui::TEdit& edit, ui::TUpDown& upDown);
    ui::TEnterChain enterChain_;
};

extern TForm7* Form7;
