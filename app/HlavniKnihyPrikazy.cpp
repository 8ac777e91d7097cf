// The books page's commands: add, edit, delete, discard or re-include a book, copy a book under a
// new code, and the grid's pop-up menu that presses them.

#include "app/Hlavni.h"

#include "catalogue/PridatKnihu.h"
#include "catalogue/VyrazeniKnihy.h"
#include "platform/data/Quote.h"
#include "platform/sys/CzechText.h"


namespace {

const char* const kBookGone = "Vybraná kniha již v databázi není!";

void Warn(const char* text, const char* title)
{
    ui::MessageBox(nullptr, text, title, ui::MB_OK | ui::MB_ICONWARNING);
}

// The fields a copy takes over from its original; the record number, the text price, the
// discard date and note and the state stay empty, so the copy is an available book.
const char* const kCopiedFields[] = {"Nazev",     "Autor",    "Ilustrator", "Nakladatelstvi", "Kategorie",
                                     "Umisteni",  "Signatura", "CenaX",     "RokVydani",      "PocetStran",
                                     "VekOd",     "Anotace",  "KlicovaSlova"};

} // namespace

bool TForm1::PositionOnCurrentBook(const char* title)
{
    // By the record number: codes taken over from old files may repeat or be blank.
    const std::string number = Query1.FieldByName("Cislo").AsString();
    Table2.SetFiltered(false);
    Table2.SetFilter("Cislo=" + data::QuoteValue(number));
    Table2.SetFiltered(true);
    if (Table2.IsEmpty()) {
        Warn(kBookGone, title);
        return false;
    }
    return true;
}

void TForm1::BitBtn5Click(ui::TObject*)
{
    for (ui::TEdit* input : {&Form4->Edit1, &Form4->Edit2, &Form4->ComboBox4, &Form4->Edit6})
        input->SetText("");
    Form4->ComboBox1.SetText("");
    Form4->ComboBox2.SetText("");
    Form4->SetCaption("Přidat knihu");
    Form4->ShowModal();
}

void TForm1::BitBtn6Click(ui::TObject*)
{
    if (Query1.IsEmpty()) {
        Warn("Není vybraná žádná kniha k upravení!", "Úprava knihy");
        return;
    }
    if (!PositionOnCurrentBook("Úprava knihy"))
        return;
    Form4->SetCaption("Upravit knihu");
    Form4->ShowModal();
}

void TForm1::BitBtn7Click(ui::TObject* Sender)
{
    const char* const title = "Odebrání knihy";
    if (Query1.IsEmpty()) {
        Warn("Není vybraná žádná kniha k odebrání!", title);
        return;
    }
    if (ui::Application.MessageBox("Opravdu chcete odebrat vybranou knihu?", title,
                                   ui::MB_YESNO | ui::MB_ICONQUESTION) != ui::IDYES)
        return;

    DeleteUnlessLent(Table2, Query1.FieldByName("Cislo").AsString(), "CisloKnihy",
                     "Tato kniha je v databázi výpůjček - nelze ji odebrat!", "Nelze odebrat knihu", Query1, Edit5,
                     Sender);
}

void TForm1::Button1Click(ui::TObject*)
{
    if (Query1.IsEmpty()) {
        Warn("Není vybraná žádná kniha k vyřazení!", "Není vybrána žádná kniha");
        return;
    }
    if (Query1.FieldByName("Pujceno").AsString() != "False") {
        Warn("Kniha je půjčena - nelze ji vyřadit!", "Nelze vyřadit knihu");
        return;
    }
    const bool discard = Button1.Caption() == "Vyřadit knihu";
    if (!PositionOnCurrentBook(discard ? "Vyřazení knihy" : "Zařazení knihy"))
        return;
    if (discard) {
        Form17->ShowModal();
        return;
    }

    Table2.Edit();
    try {
        Table2.FieldByName("VyrazenoDatum").SetAsString("");
        Table2.FieldByName("VyrazenoText").SetAsString("");
        Table2.FieldByName("Vlastnosti").SetAsString("");
        Table2.Post();
    } catch (...) {
        Table2.Cancel();
        throw;
    }
    Query1.Close();
    Query1.Open();
    ui::MessageBox(nullptr, "Kniha byla úspěšně zařazena.", "Kniha zařazena", ui::MB_OK | ui::MB_ICONINFORMATION);
}

void TForm1::DBEdit11Change(ui::TObject*)
{
    Button1.SetCaption(DBEdit11.Text().empty() ? "Vyřadit knihu" : "Zařadit knihu");
}

void TForm1::Vytvoitkopiizznamu1Click(ui::TObject*)
{
    const bool fromBook = !Query1.IsEmpty();
    std::string code = fromBook ? Query1.FieldByName("Kod").AsString() : std::string();
    if (!ui::InputQuery("Zadejte kód knihy", "Zadejte prosím kód nové knihy:", code))
        return;
    if (code.empty()) {
        Warn("Nezadali jste kód knihy!", "Chybí kód");
        return;
    }

    // The test compares the code as it would be stored, cut to the field's width.
    const std::string stored(sys::TruncateUtf8(code, static_cast<std::size_t>(Table2.FieldByName("Kod").Size())));
    Table2.SetFilter("Kod=" + data::QuoteValue(stored));
    Table2.SetFiltered(true);
    if (!Table2.IsEmpty()) {
        Warn("Kniha s tímto kódem již existuje!", "Kód již existuje");
    } else {
        std::vector<data::Value> values;
        if (fromBook)
            for (const char* field : kCopiedFields)
                values.push_back(Query1.FieldByName(field).AsValue());
        // The whole new record is posted, or none of it.
        Table2.Append();
        try {
            Table2.FieldByName("Kod").SetAsString(stored);
            for (std::size_t i = 0; i < values.size(); ++i)
                Table2.FieldByName(kCopiedFields[i]).SetValue(values[i]);
            Table2.FieldByName("Pujceno").SetAsString("False");
            Table2.Post();
        } catch (...) {
            Table2.Cancel();
            Table2.SetFiltered(false);
            throw;
        }
    }
    Table2.SetFiltered(false);
    Query1.Close();
    Query1.Open();
}

void TForm1::Pidatknihu1Click(ui::TObject*)
{
    BitBtn5.Click();
}

void TForm1::Upravitknihu1Click(ui::TObject*)
{
    BitBtn6.Click();
}

void TForm1::Odebratknihu1Click(ui::TObject*)
{
    BitBtn7.Click();
}
