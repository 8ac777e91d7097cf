#include "app/ZmenitDatum.h"

#include "app/Hlavni.h"
#include "platform/sys/ShortDate.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/FocusColors.h"

TForm12* Form12 = nullptr;

TForm12::TForm12()
    : ui::TForm("Form12")
{
    SetCaption("Změnit aktuální datum");
    SetBorderStyle(ui::TFormBorderStyle::bsDialog);
    SetClientSize(282, 149);
    Position = ui::TPosition::poDesktopCenter;

    Label1.Name = "Label1";
    Label1.SetBounds(16, 18, 50, 16);
    Edit1.Name = "Edit1";
    Edit1.SetBounds(70, 14, 90, 24);
    Button1.Name = "Button1";
    Button1.SetBounds(168, 13, 102, 26);
    Label2.Name = "Label2";
    Label2.SetBounds(16, 54, 60, 16);
    CGauge1.Name = "CGauge1";
    CGauge1.SetMax(100);
    CGauge1.SetBounds(16, 72, 254, 20);
    BitBtn1.Name = "BitBtn1";
    BitBtn1.SetBounds(96, 110, 84, 28);
    BitBtn2.Name = "BitBtn2";
    BitBtn2.Cancel = true;
    BitBtn2.SetBounds(186, 110, 84, 28);

    ui::EnableFocusColors({&Edit1});
    OnShow = [this](ui::TObject* s) { FormShow(s); };
    Button1.OnClick = [this](ui::TObject* s) { Button1Click(s); };
    BitBtn1.OnClick = [this](ui::TObject* s) { BitBtn1Click(s); };
    BitBtn2.OnClick = [this](ui::TObject* s) { BitBtn2Click(s); };
}

void TForm12::FormShow(ui::TObject*)
{
    if (Form1 != nullptr)
        Edit1.SetText(Form1->Edit2.Text());
    CGauge1.SetPosition(0);
}

void TForm12::Button1Click(ui::TObject*)
{
    Edit1.SetText(sys::FormatShortDate(sys::Today()));
}

void TForm12::BitBtn2Click(ui::TObject*)
{
    SetModalResult(ui::mrCancel);
}

void TForm12::BitBtn1Click(ui::TObject*)
{
    const std::string text = Edit1.Text();
    const std::string previous = Form1 != nullptr ? Form1->Edit2.Text() : std::string();
    try {
        const data::TDateTime date = sys::StrToDate(text);
        // A date written otherwise than the program writes dates is passed over in silence.
        if (sys::FormatShortDate(date) != text)
            return;
        if (date.days <= sys::StrToDate("1.1.1900").days) {
            ui::MessageBox(this, "Datum musí být větší než 1.1.1900!", "Změna datumu", ui::MB_OK | ui::MB_ICONWARNING);
            return;
        }
        if (Form1 != nullptr) {
            Form1->Edit2.SetText(text);
            Form1->Table3.SetFiltered(false);
            CGauge1.SetMax(Form1->Table3.RecordCount());
            Form1->Table3.SetFiltered(true);
            CGauge1.SetPosition(0);
            Form1->Table3.Close();
            Form1->Table3.Open();
            Form1->Timer3Timer(nullptr);
        }
        SetModalResult(ui::mrOk);
    } catch (const std::exception&) {
        // The days were left as they were, so the date goes back too.
        if (Form1 != nullptr && Form1->Edit2.Text() != previous)
            Form1->Edit2.SetText(previous);
        ui::MessageBox(nullptr, "Zadané datum je v neplatném formátu.", "Špatně zadané datum",
                       ui::MB_OK | ui::MB_ICONWARNING);
        Edit1.SetFocus();
    }
}
