#pragma once
// The password settings: whether a password is asked at start-up, and which one. A change takes
// effect at the next start of the program.

#include "platform/ui/Button.h"
#include "platform/ui/CheckBox.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Form.h"
#include "platform/ui/Label.h"
#include "platform/ui/Panel.h"

#include <string>

class TForm14 : public ui::TForm {
public:
    TForm14();

    ui::TGroupBox GroupBox1{this, "Heslo"};
    ui::TCheckBox CheckBox1{&GroupBox1, "Požadovat heslo při spuštění programu"};
    ui::TLabel Label1{&GroupBox1, "Heslo staré"};
    ui::TEdit Edit1{&GroupBox1};
    ui::TLabel Label2{&GroupBox1, "Heslo nové"};
    ui::TEdit Edit2{&GroupBox1};
    ui::TLabel Label3{&GroupBox1, "Heslo nové znovu"};
    ui::TEdit Edit3{&GroupBox1};
    ui::TBitBtn BitBtn5{this, "OK"};
    ui::TBitBtn BitBtn6{this, "Storno"};

    void FormShow(ui::TObject* Sender);
    void CheckBox1Click(ui::TObject* Sender);
    void CheckBox1KeyUp(ui::TObject* Sender, ui::Word& Key, ui::TShiftState Shift);
    void CheckBox1KeyPress(ui::TObject* Sender, char& Key);
    void Edit1Enter(ui::TObject* Sender);
    void Edit1Exit(ui::TObject* Sender);
    void Edit2Enter(ui::TObject* Sender);
    void Edit2Exit(ui::TObject* Sender);
    void Edit3Enter(ui::TObject* Sender);
    void Edit3Exit(ui::TObject* Sender);
    void Edit1KeyPress(ui::TObject* Sender, char& Key);
    void Edit2KeyPress(ui::TObject* Sender, char& Key);
    void Edit3KeyPress(ui::TObject* Sender, char& Key);
    void BitBtn5Click(ui::TObject* Sender);
    void BitBtn6Click(ui::TObject* Sender);

private:
    void Refuse(const std::string& text, ui::TEdit& field);
    // Nothing was (or could be) written: tell so and close.
    void WriteFailed();
};

extern TForm14* Form14;
