#include "app/NabihaciDialog.h"

TForm13* Form13 = nullptr;

TForm13::TForm13()
    : ui::TForm("Form13")
{
    SetCaption("Načítání...");
    SetBorderStyle(ui::TFormBorderStyle::bsNone);
    SetClientSize(302, 42);
    Position = ui::TPosition::poDesktopCenter;

    Panel1.Name = "Panel1";
    Panel1.SetBounds(0, 0, 302, 42);
    Panel1.SetBevelOuter(ui::TPanel::TBevelCut::bvRaised);
    Label1.Name = "Label1";
    Label1.SetFontBold(true);
    Label1.Hide();
    Label1.SetBounds(0, 13, 302, 16);
    Label1.AutoSize = false;
    Label1.SetAlignment(ui::TAlignment::taCenter);

    OnShow = [this](ui::TObject* s) { FormShow(s); };
    FormCreate(this);
}

void TForm13::FormCreate(ui::TObject*)
{
    Repaint();
}

void TForm13::FormShow(ui::TObject*)
{
    Label1.Show();
    Label1.Repaint();
}
