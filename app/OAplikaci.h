#pragma once
// The about box.

#include "platform/ui/Button.h"
#include "platform/ui/Form.h"
#include "platform/ui/Label.h"

// The maker's web page, shown in the about box and opened from the help menu.
inline constexpr const char* kMakerWebAddress = "https://www.orbelin.example/";

class TForm16 : public ui::TForm {
public:
    TForm16();

    ui::TLabel Label1{this, "Orbelin Pernoka"};
    ui::TLabel Label5{this, "verze 2.1 Standard Edition"};
    ui::TLabel Label2{this, "Copyright © Orbelin"};
    ui::TLabel Label6{this, "Všechna práva vyhrazena."};
    ui::TLabel Label3{this, "WWW stránky:"};
    ui::TLabel Label4{this, kMakerWebAddress};
    ui::TButton Button1{this, "OK"};

    void Label4Click(ui::TObject* Sender);
    void Label4MouseEnter(ui::TObject* Sender);
    void Label4MouseLeave(ui::TObject* Sender);
    void Button1Click(ui::TObject* Sender);
};

extern TForm16* Form16;
