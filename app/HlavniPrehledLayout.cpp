// Controls of the loans overview page: positions, starting states and events.

#include "app/Hlavni.h"

#include <QApplication>
#include <QStyle>

void TForm1::SetUpOverviewPage()
{
    const std::pair<ui::TControl*, const char*> names[] = {
        {&Label10, "Label10"},     {&ComboBox6, "ComboBox6"}, {&Label11, "Label11"},     {&Edit4, "Edit4"},
        {&Label12, "Label12"},     {&ComboBox7, "ComboBox7"}, {&GroupBox1, "GroupBox1"}, {&CheckBox3, "CheckBox3"},
        {&CheckBox4, "CheckBox4"}, {&CheckBox5, "CheckBox5"}, {&ComboBox8, "ComboBox8"}, {&Label16, "Label16"},
        {&CSpinEdit1, "CSpinEdit1"}, {&Edit8, "Edit8"},     {&Label17, "Label17"},     {&ComboBox9, "ComboBox9"},
        {&ComboBox10, "ComboBox10"}, {&BitBtn13, "BitBtn13"}, {&BitBtn14, "BitBtn14"},
    };
    for (const auto& [control, name] : names)
        control->Name = name;

    Label10.SetBounds(8, 8, 200, 16);
    ComboBox6.SetBounds(8, 26, 230, 24);
    Label11.SetBounds(248, 8, 100, 16);
    Edit4.SetBounds(248, 26, 90, 24);
    Label12.SetBounds(348, 8, 200, 16);
    ComboBox7.SetBounds(348, 26, 230, 24);

    GroupBox1.SetBounds(588, 2, 286, 112);
    CheckBox3.SetBounds(10, 18, 270, 20);
    CheckBox4.SetBounds(10, 38, 270, 20);
    CheckBox5.SetBounds(10, 58, 270, 20);
    ComboBox8.SetBounds(10, 82, 70, 24);
    Label16.SetBounds(86, 86, 30, 16);
    Edit8.SetBounds(116, 82, 56, 24);
    CSpinEdit1.SetBounds(172, 82, 17, 24);
    Label17.SetBounds(196, 86, 60, 16);

    BitBtn13.SetGlyph(QApplication::style()->standardIcon(QStyle::SP_MessageBoxInformation));
    BitBtn13.SetBounds(8, 62, 150, 28);
    BitBtn14.SetGlyph(QApplication::style()->standardIcon(QStyle::SP_MessageBoxInformation));
    BitBtn14.SetBounds(166, 62, 150, 28);
    DBGrid4.SetBounds(8, 120, 866, 412);
    DBGrid4.SetTabStop(false);
    DBGrid4.SetColumns({
        {"Cislo", "", 40, false},
        {"CisloCtenare", "", 40, false},
        {"Ctenar", "Čtenář", 210},
        {"CisloKnihy", "", 40, false},
        {"KodKnihy", "Kód knihy", 80, true, ui::TAlignment::taCenter},
        {"Kniha", "", 300},
        {"Pujceno", "Půjčeno", 90},
        {"Vraceno", "Vráceno", 90},
        {"Dnu", "Dnů", 50},
    });

    // The hidden number lists hold any text set into them (a number the list has not met yet).
    for (ui::TComboBox* hidden : {&ComboBox9, &ComboBox10}) {
        hidden->SetStyle(ui::TComboBoxStyle::csDropDown);
        hidden->Hide();
        hidden->SetTabStop(false);
    }

    // Starting state: open loans only, the day condition off with "více", 60 and "dní".
    CheckBox4.SetChecked(true);
    ComboBox8.SetItems({"více", "méně"});
    ComboBox8.SetItemIndex(0);
    ComboBox8.SetEnabled(false);
    Edit8.SetMaxLength(5);
    CSpinEdit1.SetMin(0);
    CSpinEdit1.SetMax(32000);
    CSpinEdit1.Wrap = false;
    CSpinEdit1.SetAssociate(&Edit8);
    CSpinEdit1.SetPosition(60);
    CSpinEdit1.SetEnabled(false);
    Edit8.SetEnabled(false);
    BitBtn13.SetEnabled(false);
    BitBtn14.SetEnabled(false);

    CSpinEdit1.OnChanging = [this](ui::TObject* s, bool& allow) { CSpinEdit1Changing(s, allow); };
    CheckBox3.OnClick = [this](ui::TObject* s) { CheckBox3Click(s); };
    CheckBox4.OnClick = [this](ui::TObject* s) { CheckBox4Click(s); };
    CheckBox5.OnClick = [this](ui::TObject* s) { CheckBox5Click(s); };
    ComboBox8.OnChange = [this](ui::TObject* s) { ComboBox8Change(s); };
    ComboBox6.OnChange = [this](ui::TObject* s) { ComboBox6Change(s); };
    Edit4.OnChange = [this](ui::TObject* s) { Edit4Change(s); };
    ComboBox7.OnChange = [this](ui::TObject* s) { ComboBox7Change(s); };
    Edit8.OnChange = [this](ui::TObject* s) { Edit8Change(s); };
    BitBtn13.OnClick = [this](ui::TObject* s) { BitBtn13Click(s); };
    BitBtn14.OnClick = [this](ui::TObject* s) { BitBtn14Click(s); };
    for (ui::TCheckBox* box : {&CheckBox3, &CheckBox4, &CheckBox5})
        box->OnKeyUp = [this](ui::TObject* s, ui::Word& k, ui::TShiftState sh) { CheckBoxKeyUp(s, k, sh); };

    ui::EnableFocusColors({&ComboBox6, &Edit4, &ComboBox7, &ComboBox8, &Edit8});
    SetTabOrder({&ComboBox6, &Edit4, &ComboBox7, &CheckBox3, &CheckBox4, &CheckBox5, &ComboBox8, &CSpinEdit1, &Edit8,
                 &BitBtn13, &BitBtn14});
}
