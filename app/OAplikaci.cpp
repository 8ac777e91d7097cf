#include "app/OAplikaci.h"

#include "platform/sys/Shell.h"

TForm16* Form16 = nullptr;

TForm16::TForm16()
    : ui::TForm("Form16")
{
    SetCaption("O aplikaci");
    SetBorderStyle(ui::TFormBorderStyle::bsDialog);
    SetClientSize(382, 177);
    Position = ui::TPosition::poDesktopCenter;

    Label1.Name = "Label1";
    Label1.SetFontName("Tahoma");
    Label1.SetFontSize(32);
    Label1.SetFontBold(true);
    Label1.SetFontColor(ui::clActiveCaption);
    Label1.SetBounds(16, 8, 350, 40);
    Label5.Name = "Label5";
    Label5.SetFontName("Tahoma");
    Label5.SetFontSize(15);
    Label5.SetFontBold(true);
    Label5.SetBounds(18, 50, 340, 20);
    Label2.Name = "Label2";
    Label2.SetBounds(18, 80, 340, 16);
    Label6.Name = "Label6";
    Label6.SetBounds(18, 96, 340, 16);
    Label3.Name = "Label3";
    Label3.SetBounds(18, 122, 90, 16);
    Label4.Name = "Label4";
    Label4.SetFontColor(ui::clNavy);
    Label4.SetBounds(108, 122, 260, 16);
    Label4.OnClick = [this](ui::TObject* s) { Label4Click(s); };
    Label4.OnMouseEnter = [this](ui::TObject* s) { Label4MouseEnter(s); };
    Label4.OnMouseLeave = [this](ui::TObject* s) { Label4MouseLeave(s); };
    Button1.Name = "Button1";
    Button1.SetBounds(296, 144, 75, 25);
    Button1.Default = true;
    Button1.Cancel = true;
    Button1.OnClick = [this](ui::TObject* s) { Button1Click(s); };
}

void TForm16::Label4Click(ui::TObject*)
{
    // The outcome is not reported: the address is also written in the box.
    (void)sys::CurrentShell().OpenUrl(kMakerWebAddress);
}

void TForm16::Label4MouseEnter(ui::TObject*)
{
    Label4.SetFontUnderline(true);
}

void TForm16::Label4MouseLeave(ui::TObject*)
{
    Label4.SetFontUnderline(false);
}

void TForm16::Button1Click(ui::TObject*)
{
    Close();
}
