#include "catalogue/PridatCtenare.h"

#include "app/Hlavni.h"
#include "catalogue/PridatCtenareSdilene.h"
#include "platform/ui/Application.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/FocusColors.h"


#include <cstdint>
#include <vector>

TForm2* Form2 = nullptr;

namespace {

void SetSql(data::TQuery& query, const char* orderBy) {
    query.Close();
    query.SQL.Clear();
    query.SQL.Add("SELECT * FROM Čtenáři");
    query.SQL.Add(orderBy);
    query.Open();
}

} // namespace

TForm2::TForm2() : ui::TForm("Form2") {
    SetCaption("Přidat čtenáře");
    SetBorderStyle(ui::TFormBorderStyle::bsSingle);
    SetClientSize(274, 211);
    Position = ui::TPosition::poDesktopCenter;

    const std::pair<ui::TControl*, const char*> names[] = {
        {&Label1, "Label1"},       {&Edit1, "Edit1"},         {&Label2, "Label2"},   {&Edit2, "Edit2"},
        {&Label3, "Label3"},       {&ComboBox1, "ComboBox1"}, {&BitBtn3, "BitBtn3"}, {&Label4, "Label4"},
        {&ComboBox2, "ComboBox2"}, {&BitBtn4, "BitBtn4"},     {&Label5, "Label5"},   {&Edit5, "Edit5"},
        {&BitBtn1, "BitBtn1"},     {&BitBtn2, "BitBtn2"},
    };
    for (const auto& [control, name] : names)
        control->Name = name;

    readers::LayOutReaderRows({{&Label1, &Edit1}, {&Label2, &Edit2}, {&Label3, &ComboBox1}, {&Label4, &ComboBox2},
                               {&Label5, &Edit5}},
                              12, 32, ComboBox1, BitBtn3, ComboBox2, BitBtn4);
    BitBtn1.SetBounds(84, 176, 88, 28);
    BitBtn2.SetBounds(178, 176, 88, 28);
    BitBtn2.Cancel = true;

    for (ui::TEdit* edit : {&Edit1, &Edit2, &Edit5})
        edit->SetMaxLength(255);
    for (ui::TComboBox* list : {&ComboBox1, &ComboBox2})
        list->SetSorted(true);
    SetTabOrder({&Edit1, &Edit2, &ComboBox1, &ComboBox2, &Edit5, &BitBtn1, &BitBtn2});

    ui::EnableFocusColors({&Edit1, &Edit2, &ComboBox1, &ComboBox2, &Edit5});
    enterChain_.Set({&Edit1, &Edit2, &ComboBox1, &ComboBox2, &Edit5}, &BitBtn1, true);

    OnShow = [this](ui::TObject* s) { FormShow(s); };
    OnClose = [this](ui::TObject* s, ui::TCloseAction& a) { FormClose(s, a); };
    BitBtn1.OnClick = [this](ui::TObject* s) { BitBtn1Click(s); };
    BitBtn2.OnClick = [this](ui::TObject* s) { BitBtn2Click(s); };
    BitBtn3.OnClick = [this](ui::TObject* s) { BitBtn3Click(s); };
    BitBtn4.OnClick = [this](ui::TObject* s) { BitBtn4Click(s); };
    Edit1.OnChange = [this](ui::TObject* s) { Edit1Change(s); };
    Edit2.OnChange = [this](ui::TObject* s) { Edit2Change(s); };
    ComboBox1.OnKeyUp = [this](ui::TObject* s, ui::Word& k, ui::TShiftState sh) { ComboBox1KeyUp(s, k, sh); };
    ComboBox2.OnKeyUp = [this](ui::TObject* s, ui::Word& k, ui::TShiftState sh) { ComboBox2KeyUp(s, k, sh); };
}

void TForm2::FormShow(ui::TObject*) {
    readers::FillFromCodeList(ComboBox1, Form1->Table5);
    readers::FillFromCodeList(ComboBox2, Form1->Table4);
    Edit1.SetFocus();
    LastItemIndex1 = 0;
    LastItemIndex2 = 0;
}

void TForm2::FormClose(ui::TObject*, ui::TCloseAction&) {
    readers::CancelPending(Form1->Table1);
    for (ui::TControl* field :
         std::initializer_list<ui::TControl*>{&Edit1, &Edit2, &Edit5, &ComboBox1, &ComboBox2}) {
        field->SetColor(ui::clWhite);
        field->SetFontColor(ui::clBlack);
    }
}

void TForm2::BitBtn1Click(ui::TObject*) {
    if (Edit2.Text().empty()) {
        ui::MarkMissing(Edit2);
        ui::MessageBox(this, "Musíte zadat příjmení čtenáře!", "Zadejte příjmení čtenáře",
                       ui::MB_OK | ui::MB_ICONWARNING);
    } else if (SaveReader()) {
        Edit1.Clear();
        Edit2.Clear();
        Edit5.Clear();
        // The reader is saved whatever happens to the desk; a failed refill is shown, and the
        // dialog closes all the same so that a second OK cannot add the reader twice.
        try {
            if (Form1->TabbedNotebook1.PageIndex() == 0) RefillLendingDesk();
        } catch (const std::exception& error) {
            ui::Application.HandleException(error);
        }
        SetModalResult(ui::mrOk);
    }
    readers::RebuildReadersList();
}

bool TForm2::SaveReader() {
    data::TTable& table = Form1->Table1;
    try {
        table.Append();
        table.FieldByName("Jmeno").SetAsString(Edit2.Text() + " " + Edit1.Text());
        table.FieldByName("Trida").SetAsString(ComboBox1.Text());
        table.FieldByName("Kategorie").SetAsString(ComboBox2.Text());
        table.FieldByName("Poznamka").SetAsString(Edit5.Text());
        table.FieldByName("Aktivni").SetAsString("True");
        table.FieldByName("Stav").SetAsString("Aktivní");
        table.Post();
        return true;
    } catch (const std::exception& error) {
        // The typed texts stay in the dialog for another try.
        readers::CancelPending(table);
        ui::Application.HandleException(error);
        return false;
    }
}

void TForm2::RefillLendingDesk() {
    TForm1& desk = *Form1;
    data::TQuery& query = desk.Query2;
    SetSql(query, "ORDER BY Jmeno");

    // Active readers by name, with their number, class, note and category in the hidden lists.
    std::vector<std::string> names, numbers, classes, notes, categories;
    // The newest reader has the highest number (numbers are never reused, and a new reader is
    // active). He is chosen by his number, not by his name, so that a namesake further up the list
    // is never lent to in his place.
    int newest = 0;
    std::int64_t highest = -1;
    query.DisableControls();
    try {
        data::TField& active = query.FieldByName("Aktivni");
        data::TField& name = query.FieldByName("Jmeno");
        data::TField& number = query.FieldByName("Cislo");
        data::TField& schoolClass = query.FieldByName("Trida");
        data::TField& note = query.FieldByName("Poznamka");
        data::TField& category = query.FieldByName("Kategorie");
        for (query.First(); !query.Eof(); query.Next()) {
            if (active.AsString() != "True") continue;
            const std::int64_t value = number.AsInteger();
            if (value > highest) {
                highest = value;
                newest = static_cast<int>(names.size());
            }
            names.push_back(name.AsString());
            numbers.push_back(std::to_string(value));
            classes.push_back(schoolClass.AsString());
            notes.push_back(note.AsString());
            categories.push_back(category.AsString());
        }
    } catch (...) {
        query.EnableControls();
        throw;
    }
    query.EnableControls();
    desk.ComboBox1.SetItems(names);
    desk.ComboBox2.SetItems(numbers);
    desk.ComboBox3.SetItems(classes);
    desk.ComboBox4.SetItems(notes);
    desk.ComboBox5.SetItems(categories);

    for (ui::TComboBox* list :
         {&desk.ComboBox1, &desk.ComboBox2, &desk.ComboBox3, &desk.ComboBox4, &desk.ComboBox5})
        list->SetItemIndex(newest);
    desk.LastReaderIndex = desk.ComboBox1.ItemIndex();
    desk.Label4.SetCaption(desk.ComboBox3.Text());
    desk.Label5.SetCaption(desk.ComboBox4.Text());
    desk.Label7.SetCaption(desk.ComboBox5.Text());
}

void TForm2::BitBtn2Click(ui::TObject*) {
    Close();
}

void TForm2::BitBtn3Click(ui::TObject*) {
    readers::AddCodeListValue(Form1->Table5, ComboBox1, "Zadejte prosím název nové třídy:");
}

void TForm2::BitBtn4Click(ui::TObject*) {
    readers::AddCodeListValue(Form1->Table4, ComboBox2, "Zadejte prosím název nové kategorie čtenáře:");
}

// Typing into a name field takes back the red mark of a refused OK.
void TForm2::Edit1Change(ui::TObject*) {
    Edit1.SetColor(ui::clInfoBk);
}

void TForm2::Edit2Change(ui::TObject*) {
    Edit2.SetColor(ui::clInfoBk);
}

void TForm2::ComboBox1KeyUp(ui::TObject*, ui::Word&, ui::TShiftState) {
    readers::KeepValidSelection(ComboBox1, LastItemIndex1);
}

void TForm2::ComboBox2KeyUp(ui::TObject*, ui::Word&, ui::TShiftState) {
    readers::KeepValidSelection(ComboBox2, LastItemIndex2);
}
