// The lending desk: choosing a reader, finding a book by code or title, lending and returning.

#include "app/Hlavni.h"

#include "platform/data/Quote.h"
#include "platform/data/Session.h"
#include "platform/sys/ShortDate.h"

#include <charconv>
#include <optional>

namespace {

const char* const kCannotLend = "Nelze půjčit knihu - je již půjčená, nebo není vybrán žádný čtenář!";
const char* const kUndoTitle = "Zrušení vrácení knihy";

bool Lendable(const data::TDataSet& books)
{
    return books.FieldByName("Pujceno").AsString() == "False" && books.FieldByName("VyrazenoDatum").AsString().empty();
}

// Marks the current book as lent, or as back on the shelf.
void SetBookLent(data::TDataSet& books, bool lent)
{
    books.Edit();
    books.FieldByName("Pujceno").SetAsString(lent ? "True" : "False");
    books.FieldByName("Vlastnosti").SetAsString(lent ? "Půjčená" : "");
    books.Post();
}

std::optional<std::int64_t> ParseNumber(const std::string& text)
{
    std::int64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || text.empty())
        return std::nullopt;
    return value;
}

} // namespace

void TForm1::ComboBox1Change(ui::TObject*)
{
    try {
        const int index = ComboBox1.ItemIndex();
        for (ui::TComboBox* hidden : {&ComboBox2, &ComboBox3, &ComboBox4, &ComboBox5})
            hidden->SetItemIndex(index);
        Label4.SetCaption(ComboBox3.Text());
        Label5.SetCaption(ComboBox4.Text());
        Label7.SetCaption(ComboBox5.Text());
        Edit1.SetText("");
        BitBtn10.SetEnabled(false);
    } catch (const std::exception&) {
        // A failed look-up of the cleared code changes nothing worth reporting here.
    }
}

// Remembers the last reader chosen. Typing selects the reader the name completes to, or nobody
// when no name begins with the text; a text that names nobody is not snapped back to an earlier
// reader, whose class and category the desk would then no longer show.
void TForm1::ComboBox1KeyUp(ui::TObject*, ui::Word&, ui::TShiftState)
{
    if (ComboBox1.ItemIndex() >= 0)
        LastReaderIndex = ComboBox1.ItemIndex();
}

std::optional<std::int64_t> TForm1::SelectedReader() const
{
    // The reader box must show exactly the selected reader, and the hidden lists must follow it.
    const int index = ComboBox1.ItemIndex();
    if (index < 0 || ComboBox1.Text() != ComboBox1.Item(index) || ComboBox2.ItemIndex() != index)
        return std::nullopt;
    return ParseNumber(ComboBox2.Text());
}

data::TDataSet& TForm1::LookUpBooks(const std::string& filter)
{
    bookLookup_.Close();
    bookLookup_.SQL.Clear();
    for (const std::string& line : Query1.SQL.Lines())
        bookLookup_.SQL.Add(line);
    bookLookup_.SetFilter(filter);
    bookLookup_.SetFiltered(true);
    bookLookup_.Open();
    return bookLookup_;
}

// Typing a code looks the book up in the books list (so a book the list leaves out is not found)
// and offers its title when it can be lent.
void TForm1::Edit1Change(ui::TObject*)
{
    data::TDataSet& books = LookUpBooks("Kod=" + data::QuoteValue(Edit1.Text()));
    if (!books.IsEmpty() && Lendable(books)) {
        const std::string title = books.FieldByName("Nazev").AsString();
        cbKnihy.SetText(title);
        const int index = cbKnihy.IndexOf(title);
        if (index >= 0)
            cbKnihy.SetItemIndex(index);
        BitBtn10.SetEnabled(true);
    } else {
        cbKnihy.SetText("");
        BitBtn10.SetEnabled(false);
    }
    bookLookup_.Close();
}

// Picking a title fills in the code of the first book of the list with that title.
void TForm1::cbKnihyChange(ui::TObject*)
{
    data::TDataSet& books = LookUpBooks("Nazev=" + data::QuoteValue(cbKnihy.Text()));
    if (books.IsEmpty()) {
        bookLookup_.Close();
        Edit1.SetText("");
        BitBtn10.SetEnabled(false);
    } else {
        const std::string code = books.FieldByName("Kod").AsString();
        bookLookup_.Close();
        Edit1.SetText(code);
        BitBtn10.SetEnabled(true);
    }
}

void TForm1::RestoreDesk()
{
    // Each step on its own: the desk comes back as far as the data layer lets it. A half-made
    // change is dropped first, so that switching a filter cannot save it.
    for (data::TDataSet* dataSet : {static_cast<data::TDataSet*>(&Table2), static_cast<data::TDataSet*>(&Table3)}) {
        try {
            if (dataSet->State() == data::TDataSetState::dsEdit || dataSet->State() == data::TDataSetState::dsInsert)
                dataSet->Cancel();
        } catch (const std::exception&) {
        }
    }
    try {
        Table2.SetFiltered(false);
    } catch (const std::exception&) {
    }
    try {
        Table3.SetFiltered(false);
        Table3.SetFilter("VracenoB='False'");
        Table3.SetFiltered(true);
    } catch (const std::exception&) {
    }
    ui::HideBusy(TabbedNotebook1);
    Edit1.SetFocus();
}

void TForm1::BitBtn10Click(ui::TObject*)
{
    ui::ShowBusy(TabbedNotebook1, Label35);
    try {
        Table2.SetFiltered(false);
        Table2.SetFilter("Kod=" + data::QuoteValue(Edit1.Text()));
        Table2.SetFiltered(true);

        const std::optional<std::int64_t> reader = SelectedReader();
        if (!Table2.IsEmpty() && Lendable(Table2) && reader) {
            const std::int64_t book = Table2.FieldByName("Cislo").AsInteger();
            const std::string today = Edit2.Text();
            {
                data::TTransaction transaction;
                SetBookLent(Table2, true);

                Table3.SetFiltered(false);
                Table3.Append();
                Table3.FieldByName("Pujceno").SetAsString(today);
                Table3.FieldByName("CisloKnihy").SetAsInteger(book);
                Table3.FieldByName("CisloCtenare").SetAsInteger(*reader);
                Table3.FieldByName("VracenoB").SetAsString("False");
                Table3.FieldByName("Dnu").SetAsInteger(0);
                Table3.Post();
                transaction.Commit();
            }
            Table3.SetFiltered(true);
            const int title = cbKnihy.IndexOf(cbKnihy.Text());
            if (title >= 0)
                cbKnihy.DeleteItem(title);
            Edit1.SetText("");
        } else {
            ui::MessageBox(nullptr, kCannotLend, "Půjčení knihy", ui::MB_OK | ui::MB_ICONWARNING);
        }

        Table2.SetFiltered(false);
        Table3.SetFiltered(false);
        Table3.SetFilter("VracenoB='False'");
        Table3.SetFiltered(true);
        ui::HideBusy(TabbedNotebook1);
        Edit1.SetFocus();
    } catch (...) {
        RestoreDesk();
        throw;
    }
}

void TForm1::DBGrid3DblClick(ui::TObject*)
{
    ui::ShowBusy(TabbedNotebook1, Label35);
    try {
        const bool hasLoan = !Table3.IsEmpty() && !Table3.FieldByName("Pujceno").AsString().empty();
        if (hasLoan && Table3.FieldByName("VracenoB").AsString() == "False") {
            if (Table3.FieldByName("Pujceno").AsDateTime().days > sys::StrToDate(Edit2.Text()).days) {
                ui::Application.MessageBox("Nelze vrátit knihu - datum půjčení je větší než aktuální datum!",
                                           "Nelze vrátit knihu", ui::MB_OK | ui::MB_ICONWARNING);
            } else {
                Table2.SetFilter("Cislo=" + data::QuoteValue(Table3.FieldByName("CisloKnihy").AsString()));
                Table2.SetFiltered(true);
                // A loan whose book record is gone is still closed; no book is made up for it.
                std::optional<std::string> title;
                data::TTransaction transaction;
                if (!Table2.IsEmpty()) {
                    SetBookLent(Table2, false);
                    title = Table2.FieldByName("Nazev").AsString();
                }
                Table2.SetFiltered(false);
                Table3.Edit();
                Table3.FieldByName("Vraceno").SetAsString(Edit2.Text());
                Table3.FieldByName("VracenoB").SetAsString("True");
                Table3.Post();
                transaction.Commit();
                if (title)
                    cbKnihy.AddItem(*title);
            }
        } else if (hasLoan) {
            // Undoing a return: the book must still be there, on the shelf.
            Table2.SetFilter("Cislo=" + data::QuoteValue(Table3.FieldByName("CisloKnihy").AsString()));
            Table2.SetFiltered(true);
            const char* refusal = nullptr;
            if (Table2.IsEmpty())
                refusal = "Vrácení nelze zrušit - kniha již v databázi není.";
            else if (Table2.FieldByName("Pujceno").AsString() == "True")
                refusal = "Vrácení nelze zrušit - kniha je mezitím znovu půjčená.";
            else if (!Table2.FieldByName("VyrazenoDatum").AsString().empty() ||
                     Table2.FieldByName("Vlastnosti").AsString() == "Vyřazená")
                refusal = "Vrácení nelze zrušit - kniha je mezitím vyřazená.";
            if (refusal != nullptr) {
                Table2.SetFiltered(false);
                ui::Application.MessageBox(refusal, kUndoTitle, ui::MB_OK | ui::MB_ICONWARNING);
            } else {
                data::TTransaction transaction;
                SetBookLent(Table2, true);
                Table2.SetFiltered(false);
                Table3.Edit();
                Table3.FieldByName("Vraceno").SetAsString("");
                Table3.FieldByName("VracenoB").SetAsString("False");
                Table3.Post();
                transaction.Commit();
            }
        }

        Query1.Close();
        Edit5Change(nullptr);
        Query1.Open();
        Edit1.SetText("");
        cbKnihy.SetText("");
        ui::HideBusy(TabbedNotebook1);
        Edit1.SetFocus();
    } catch (...) {
        RestoreDesk();
        throw;
    }
}

void TForm1::Button2Click(ui::TObject* Sender)
{
    DBGrid3DblClick(Sender);
}
