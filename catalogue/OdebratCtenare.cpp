#include "catalogue/OdebratCtenare.h"

#include "app/Hlavni.h"
#include "catalogue/PridatCtenareSdilene.h"
#include "platform/data/Quote.h"
#include "platform/ui/Application.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/FocusColors.h"


TForm3* Form3 = nullptr;

namespace {

const char* const kEditCaption = "Upravit čtenáře";
const char* const kInfoCaption = "Info o čtenáři";
const int kOkLeft = 56;
const int kOkInfoLeft = 88;

void PaintList(ui::TComboBox& list, bool entered) {
    // A list shown as plain text (the information mode) keeps its colour.
    if (entered) {
        if (list.Style() != ui::TComboBoxStyle::csSimple) ui::PaintFocused(list);
        return;
    }
    list.SetSelLength(0);
    if (list.Style() != ui::TComboBoxStyle::csSimple) ui::PaintUnfocused(list);
}

} // namespace

TForm3::TForm3() : ui::TForm("Form3") {
    SetCaption(kEditCaption);
    SetBorderStyle(ui::TFormBorderStyle::bsSingle);
    SetClientSize(275, 203);
    Position = ui::TPosition::poDesktopCenter;

    const std::pair<ui::TControl*, const char*> names[] = {
        {&Label1, "Label1"},   {&Edit1, "Edit1"},   {&Label2, "Label2"},       {&ComboBox1, "ComboBox1"},
        {&BitBtn3, "BitBtn3"}, {&Label3, "Label3"}, {&ComboBox2, "ComboBox2"}, {&BitBtn4, "BitBtn4"},
        {&Label4, "Label4"},   {&Edit4, "Edit4"},   {&CheckBox1, "CheckBox1"}, {&BitBtn1, "BitBtn1"},
        {&BitBtn2, "BitBtn2"},
    };
    for (const auto& [control, name] : names)
        control->Name = name;

    const int top = readers::LayOutReaderRows({{&Label1, &Edit1}, {&Label2, &ComboBox1}, {&Label3, &ComboBox2}, {&Label4, &Edit4}},
                                              10, 31, ComboBox1, BitBtn3, ComboBox2, BitBtn4);
    CheckBox1.SetBounds(Edit1.Left(), top, Edit1.Width(), Edit1.Height());
    // OK and Storno side by side; OK alone is centred in the information mode.
    BitBtn1.SetBounds(kOkLeft, 168, 99, 28);
    BitBtn2.SetBounds(kOkLeft + 105, 168, 99, 28);
    BitBtn2.Cancel = true;

    for (ui::TEdit* edit : {&Edit1, &Edit4})
        edit->SetMaxLength(255);
    for (ui::TComboBox* list : {&ComboBox1, &ComboBox2})
        list->SetSorted(true);
    SetTabOrder({&Edit1, &ComboBox1, &ComboBox2, &Edit4, &CheckBox1, &BitBtn1, &BitBtn2});

    // Read-only edits keep their colour by the helper's own rule; the lists follow their style.
    ui::EnableFocusColors({&Edit1, &Edit4});
    enterChain_.Set({&Edit1, &ComboBox1, &ComboBox2, &Edit4, &CheckBox1}, &BitBtn1, true);

    OnShow = [this](ui::TObject* s) { FormShow(s); };
    OnClose = [this](ui::TObject* s, ui::TCloseAction& a) { FormClose(s, a); };
    BitBtn1.OnClick = [this](ui::TObject* s) { BitBtn1Click(s); };
    BitBtn2.OnClick = [this](ui::TObject* s) { BitBtn2Click(s); };
    BitBtn3.OnClick = [this](ui::TObject* s) { BitBtn3Click(s); };
    BitBtn4.OnClick = [this](ui::TObject* s) { BitBtn4Click(s); };
    ComboBox1.OnChange = [this](ui::TObject* s) { ComboBox1Change(s); };
    ComboBox2.OnChange = [this](ui::TObject* s) { ComboBox2Change(s); };
    ComboBox1.OnKeyUp = [this](ui::TObject* s, ui::Word& k, ui::TShiftState sh) { ComboBox1KeyUp(s, k, sh); };
    ComboBox2.OnKeyUp = [this](ui::TObject* s, ui::Word& k, ui::TShiftState sh) { ComboBox2KeyUp(s, k, sh); };
    ComboBox1.OnEnter = [this](ui::TObject* s) { ComboBox1Enter(s); };
    ComboBox1.OnExit = [this](ui::TObject* s) { ComboBox1Exit(s); };
    ComboBox2.OnEnter = [this](ui::TObject* s) { ComboBox2Enter(s); };
    ComboBox2.OnExit = [this](ui::TObject* s) { ComboBox2Exit(s); };
    CheckBox1.OnKeyUp = [this](ui::TObject* s, ui::Word& k, ui::TShiftState sh) { CheckBox1KeyUp(s, k, sh); };
}

bool TForm3::InfoMode() const {
    return Caption() == kInfoCaption;
}

void TForm3::EnterInfoMode() {
    for (ui::TEdit* edit : {&Edit1, &Edit4}) {
        edit->SetReadOnly(true);
        edit->SetColor(ui::clBtnFace);
    }
    for (ui::TComboBox* list : {&ComboBox1, &ComboBox2}) {
        list->SetStyle(ui::TComboBoxStyle::csSimple);
        list->SetColor(ui::clBtnFace);
    }
    CheckBox1.SetEnabled(false);
    BitBtn3.SetEnabled(false);
    BitBtn4.SetEnabled(false);
    BitBtn1.SetLeft(kOkInfoLeft);
    BitBtn2.Hide();
    SetCaption(kInfoCaption);
}

void TForm3::LeaveInfoMode() {
    for (ui::TEdit* edit : {&Edit1, &Edit4})
        edit->SetReadOnly(false);
    for (ui::TComboBox* list : {&ComboBox1, &ComboBox2})
        list->SetStyle(ui::TComboBoxStyle::csDropDownList);
    for (ui::TControl* field : std::initializer_list<ui::TControl*>{&Edit1, &ComboBox1, &ComboBox2, &Edit4}) {
        field->SetColor(ui::clWhite);
        field->SetFontColor(ui::clBlack);
    }
    CheckBox1.SetEnabled(true);
    BitBtn3.SetEnabled(true);
    BitBtn4.SetEnabled(true);
    SetCaption(kEditCaption);
    BitBtn1.SetLeft(kOkLeft);
    BitBtn2.Show();
}

void TForm3::FormShow(ui::TObject*) {
    try {
        readers::FillFromCodeList(ComboBox1, Form1->Table5);
        readers::FillFromCodeList(ComboBox2, Form1->Table4);
        data::TTable& table = Form1->Table1;
        if (table.IsEmpty()) throw data::EDatabaseError("Vybraný čtenář v databázi není.");
        Edit1.SetText(table.FieldByName("Jmeno").AsString());
        readers::ShowStoredValue(ComboBox1, table.FieldByName("Trida").AsString());
        readers::ShowStoredValue(ComboBox2, table.FieldByName("Kategorie").AsString());
        Edit4.SetText(table.FieldByName("Poznamka").AsString());
        SavedComboText1 = ComboBox1.Text();
        SavedComboText2 = ComboBox2.Text();
        CheckBox1.SetChecked(table.FieldByName("Aktivni").AsString() == "True");
    } catch (const std::exception& error) {
        // Without its reader the dialog has nothing to show; the librarian is told why it closes.
        ui::Application.HandleException(error);
        Close();
        return;
    }
    BitBtn1.SetFocus();
    LastItemIndex1 = 0;
    LastItemIndex2 = 0;
}

void TForm3::FormClose(ui::TObject*, ui::TCloseAction&) {
    readers::CancelPending(Form1->Table1);
    LeaveInfoMode();
}

void TForm3::BitBtn1Click(ui::TObject*) {
    // The information mode shows; it never writes.
    if (InfoMode()) {
        SetModalResult(ui::mrOk);
        readers::RebuildReadersList();
        return;
    }
    if (Edit1.Text().empty()) {
        ui::MarkMissing(Edit1);
        ui::MessageBox(this, "Musíte zadat jméno čtenáře!", "Zadejte jméno čtenáře",
                       ui::MB_OK | ui::MB_ICONWARNING);
    } else if (SaveReader(CheckBox1.Checked())) {
        Edit1.Clear();
        Edit4.Clear();
        SetModalResult(ui::mrOk);
    }
    readers::RebuildReadersList();
}

bool TForm3::SaveReader(bool active) {
    data::TTable& table = Form1->Table1;
    try {
        // Edit on an empty table would start a new reader instead.
        if (table.IsEmpty()) throw data::EDatabaseError("Upravovaný čtenář již v databázi není.");
        // The open loans are counted before the record is touched, so a refusal leaves nothing
        // pending for a later command to save.
        if (!active && HasOpenLoans(table.FieldByName("Cislo").AsString())) {
            ui::MessageBox(this, "Tento čtenář má půjčené knihy - nelze ho vyřadit!", "Nelze vyřadit čtenáře",
                           ui::MB_OK | ui::MB_ICONWARNING);
            return false;
        }
        table.Edit();
        table.FieldByName("Jmeno").SetAsString(Edit1.Text());
        table.FieldByName("Trida").SetAsString(ComboBox1.Text());
        table.FieldByName("Kategorie").SetAsString(ComboBox2.Text());
        table.FieldByName("Poznamka").SetAsString(Edit4.Text());
        table.FieldByName("Aktivni").SetAsString(active ? "True" : "False");
        table.FieldByName("Stav").SetAsString(active ? "Aktivní" : "Neaktivní");
        table.Post();
        return true;
    } catch (const std::exception& error) {
        // The typed texts stay in the dialog for another try.
        readers::CancelPending(table);
        ui::Application.HandleException(error);
        return false;
    }
}

bool TForm3::HasOpenLoans(const std::string& reader) {
    data::TTable& loans = Form1->Table3;
    int count = 0;
    try {
        loans.SetFilter("CisloCtenare=" + data::QuoteValue(reader) + " AND VracenoB='False'");
        loans.SetFiltered(true);
        count = loans.RecordCount();
    } catch (...) {
        loans.SetFilter("VracenoB='False'");
        loans.SetFiltered(true);
        throw;
    }
    loans.SetFilter("VracenoB='False'");
    loans.SetFiltered(true);
    return count > 0;
}

void TForm3::BitBtn2Click(ui::TObject*) {
    Close();
}

void TForm3::BitBtn3Click(ui::TObject*) {
    readers::AddCodeListValue(Form1->Table5, ComboBox1, "Zadejte prosím název nové třídy:");
    SavedComboText1 = ComboBox1.Text();
}

void TForm3::BitBtn4Click(ui::TObject*) {
    readers::AddCodeListValue(Form1->Table4, ComboBox2, "Zadejte prosím název nové kategorie čtenáře:");
    SavedComboText2 = ComboBox2.Text();
}

void TForm3::ComboBox1Change(ui::TObject*) {
    if (InfoMode())
        ComboBox1.SetText(SavedComboText1);
    else
        SavedComboText1 = ComboBox1.Text();
}

void TForm3::ComboBox2Change(ui::TObject*) {
    if (InfoMode())
        ComboBox2.SetText(SavedComboText2);
    else
        SavedComboText2 = ComboBox2.Text();
}

void TForm3::ComboBox1KeyUp(ui::TObject*, ui::Word&, ui::TShiftState) {
    readers::KeepValidSelection(ComboBox1, LastItemIndex1);
}

void TForm3::ComboBox2KeyUp(ui::TObject*, ui::Word&, ui::TShiftState) {
    readers::KeepValidSelection(ComboBox2, LastItemIndex2);
}

void TForm3::ComboBox1Enter(ui::TObject*) {
    PaintList(ComboBox1, true);
}

void TForm3::ComboBox1Exit(ui::TObject*) {
    PaintList(ComboBox1, false);
}

void TForm3::ComboBox2Enter(ui::TObject*) {
    PaintList(ComboBox2, true);
}

void TForm3::ComboBox2Exit(ui::TObject*) {
    PaintList(ComboBox2, false);
}

void TForm3::CheckBox1KeyUp(ui::TObject*, ui::Word& Key, ui::TShiftState) {
    if (Key == ui::VK_PRIOR || Key == ui::VK_NEXT) CheckBox1.SetChecked(!CheckBox1.Checked());
}
