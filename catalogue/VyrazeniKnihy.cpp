#include "catalogue/VyrazeniKnihy.h"

#include "app/Hlavni.h"
#include "platform/sys/CzechText.h"
#include "platform/sys/ShortDate.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/FocusColors.h"

TForm17* Form17 = nullptr;

namespace {

constexpr int kNoteLength = 255;

void Warn(const std::string& text, const std::string& title)
{
    ui::MessageBox(nullptr, text, title, ui::MB_OK | ui::MB_ICONWARNING);
}

} // namespace

TForm17::TForm17()
    : ui::TForm("Form17")
{
    SetCaption("Vyřazení knihy");
    SetBorderStyle(ui::TFormBorderStyle::bsSizeable);
    SetClientSize(299, 215);
    Position = ui::TPosition::poDesktopCenter;

    Label1.Name = "Label1";
    Edit1.Name = "Edit1";
    Button1.Name = "Button1";
    Label2.Name = "Label2";
    Memo1.Name = "Memo1";
    BitBtn1.Name = "BitBtn1";
    BitBtn2.Name = "BitBtn2";

    Label1.SetBounds(12, 12, 120, 16);
    Edit1.SetBounds(12, 30, 180, 24);
    Button1.SetBounds(200, 29, 87, 26);
    Label2.SetBounds(12, 64, 200, 16);
    Memo1.SetBounds(12, 82, 275, 86);
    Memo1.SetMaxLength(kNoteLength);
    BitBtn1.SetBounds(68, 178, 80, 28);
    BitBtn2.SetBounds(152, 178, 80, 28);
    BitBtn2.Cancel = true;
    SetTabOrder({&Edit1, &Button1, &Memo1, &BitBtn1, &BitBtn2});

    ui::EnableFocusColors({&Edit1, &Memo1});
    // Enter in the date goes on to the note; the note itself takes Enter as a line break.
    enterChain_.Set({&Edit1}, &Memo1);

    OnShow = [this](ui::TObject* s) { FormShow(s); };
    Button1.OnClick = [this](ui::TObject* s) { Button1Click(s); };
    BitBtn1.OnClick = [this](ui::TObject* s) { BitBtn1Click(s); };
    BitBtn2.OnClick = [this](ui::TObject* s) { BitBtn2Click(s); };
}

void TForm17::FormShow(ui::TObject*)
{
    // The computer's date, not the program's current date.
    Edit1.SetText(sys::FormatShortDate(sys::Today()));
    Memo1.Clear();
    Edit1.SetFocus();
}

void TForm17::Button1Click(ui::TObject*)
{
    Edit1.SetText(sys::FormatShortDate(sys::Today()));
    Memo1.SetFocus();
}

void TForm17::BitBtn2Click(ui::TObject*)
{
    Close();
}

void TForm17::BitBtn1Click(ui::TObject*)
{
    // Only the exact form the program writes dates in passes: no leading zeros, four-digit year.
    const std::string date = Edit1.Text();
    const auto parsed = sys::ParseShortDate(date);
    if (!parsed || sys::FormatShortDate(*parsed) != date) {
        Warn("Zadané datum je ve špatném formátu!", "Špatný formát datumu");
        Edit1.SetFocus();
        return;
    }
    const std::string note = Memo1.Text();
    if (sys::Utf8Length(note) > kNoteLength) {
        Warn("Poznámka k vyřazení je příliš dlouhá: pojme nejvýše " + std::to_string(kNoteLength) + " znaků.",
             "Příliš dlouhý text");
        Memo1.SetFocus();
        return;
    }
    data::TTable& books = Form1->Table2;
    // Edit on an empty table would make a new record.
    if (!books.Active() || books.IsEmpty()) {
        Warn("Kniha, která se má vyřadit, již v databázi není.", "Kniha nenalezena");
        return;
    }
    try {
        books.Edit();
        books.FieldByName("VyrazenoDatum").SetAsString(date);
        books.FieldByName("VyrazenoText").SetAsString(note);
        books.FieldByName("Vlastnosti").SetAsString("Vyřazená");
        books.Post();
    } catch (const std::exception& error) {
        // The book stays as it was; the dialog stays open with what was typed.
        try {
            if (books.State() == data::TDataSetState::dsEdit || books.State() == data::TDataSetState::dsInsert)
                books.Cancel();
        } catch (const std::exception&) {
        }
        ui::MessageBox(nullptr, std::string("Vyřazení knihy se nepodařilo uložit.\n") + error.what(),
                       "Chyba při ukládání", ui::MB_OK | ui::MB_ICONERROR);
        return;
    }
    // The list shows the new state under its current text.
    Form1->Query1.Close();
    Form1->Query1.Open();
    SetModalResult(ui::mrOk);
}
