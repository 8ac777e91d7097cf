// Positions, captions and names of the main window's controls.

#include "app/Hlavni.h"

#include <QApplication>
#include <QStyle>

#include <utility>

namespace {

QIcon StandardIcon(QStyle::StandardPixmap pixmap)
{
    return QApplication::style()->standardIcon(pixmap);
}

} // namespace

void TForm1::SetUpLayout()
{
    SetCaption("Orbelin Pernoka 2.1 CZ Standard Edition");
    SetClientSize(890, 610);
    SetBorderStyle(ui::TFormBorderStyle::bsSingle);
    Position = ui::TPosition::poDesktopCenter;
    KeyPreview = true;

    const std::pair<ui::TControl*, const char*> names[] = {
        {&Panel1, "Panel1"}, {&BitBtn4, "BitBtn4"}, {&BitBtn23, "BitBtn23"}, {&BitBtn29, "BitBtn29"},
        {&BitBtn12, "BitBtn12"}, {&SpeedButton1, "SpeedButton1"}, {&BitBtn11, "BitBtn11"},
        {&Label35, "Label35"}, {&TabbedNotebook1, "TabbedNotebook1"}, {&Edit13, "Edit13"},
        {&Edit3, "Edit3"}, {&Edit14, "Edit14"}, {&Label1, "Label1"}, {&ComboBox1, "ComboBox1"},
        {&BitBtn9, "BitBtn9"}, {&ComboBox2, "ComboBox2"}, {&ComboBox3, "ComboBox3"},
        {&ComboBox4, "ComboBox4"}, {&ComboBox5, "ComboBox5"}, {&Label3, "Label3"}, {&Label4, "Label4"},
        {&Label5, "Label5"}, {&Label6, "Label6"}, {&Label7, "Label7"}, {&Label2, "Label2"},
        {&Edit1, "Edit1"}, {&Label8, "Label8"}, {&cbKnihy, "cbKnihy"}, {&BitBtn10, "BitBtn10"},
        {&DBGrid3, "DBGrid3"}, {&Button2, "Button2"}, {&Label9, "Label9"}, {&Edit2, "Edit2"},
        {&UpDown1, "UpDown1"}, {&DBGrid2, "DBGrid2"}, {&GroupBox2, "GroupBox2"},
        {&DBEdit12, "DBEdit12"}, {&DBEdit4, "DBEdit4"}, {&DBEdit5, "DBEdit5"}, {&DBEdit6, "DBEdit6"},
        {&DBEdit1, "DBEdit1"}, {&DBEdit7, "DBEdit7"}, {&DBEdit8, "DBEdit8"}, {&DBEdit9, "DBEdit9"},
        {&DBEdit10, "DBEdit10"}, {&DBRichEdit1, "DBRichEdit1"}, {&DBEdit11, "DBEdit11"},
        {&DBMemo1, "DBMemo1"}, {&DBEdit3, "DBEdit3"}, {&DBGrid1, "DBGrid1"}, {&DBGrid4, "DBGrid4"},
        {&DBGrid5, "DBGrid5"}, {&DBNavigator1, "DBNavigator1"}, {&DBGrid6, "DBGrid6"},
        {&DBNavigator2, "DBNavigator2"}, {&DBGrid7, "DBGrid7"}, {&DBNavigator3, "DBNavigator3"},
        {&DBGrid9, "DBGrid9"}, {&DBNavigator5, "DBNavigator5"}, {&DBGrid8, "DBGrid8"},
        {&DBNavigator4, "DBNavigator4"},
    };
    for (const auto& [control, name] : names)
        control->Name = name;
    Timer2.Name = "Timer2";
    Timer3.Name = "Timer3";
    // The two "timers" are never switched on: their handlers are called directly.
    Timer2.SetEnabled(false);
    Timer3.SetEnabled(false);

    // Tool bar.
    Panel1.SetBounds(0, 0, 890, 42);
    struct ToolButton {
        ui::TBitBtn* button;
        QStyle::StandardPixmap glyph;
        const char* hint;
        int width;
    };
    const ToolButton tools[] = {
        {&BitBtn4, QStyle::SP_DialogSaveButton, "Vytvořit bezpečnostní kopii dat", 140},
        {&BitBtn23, QStyle::SP_BrowserReload, "Obnovit data z bezpečnostní kopie", 130},
        {&BitBtn29, QStyle::SP_DialogApplyButton, "", 140},
        {&BitBtn12, QStyle::SP_DirClosedIcon, "", 160},
    };
    int left = 4;
    for (const ToolButton& tool : tools) {
        tool.button->setFlat(true);
        tool.button->SetGlyph(StandardIcon(tool.glyph));
        tool.button->SetHint(tool.hint);
        tool.button->SetBounds(left, 5, tool.width, 32);
        left += tool.width + 4;
    }
    SpeedButton1.SetFlat(true);
    SpeedButton1.SetGlyph(StandardIcon(QStyle::SP_DialogHelpButton));
    SpeedButton1.setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    SpeedButton1.SetBounds(left, 5, 110, 32);
    left += 114;
    BitBtn11.setFlat(true);
    BitBtn11.SetGlyph(StandardIcon(QStyle::SP_DialogCloseButton));
    BitBtn11.SetBounds(left, 5, 90, 32);

    // The busy label lies where the tab set is; it shows whenever the tab set is hidden.
    Label35.AutoSize = false;
    Label35.SetAlignment(ui::TAlignment::taCenter);
    Label35.SetFontBold(true);
    Label35.SetFontSize(16);
    Label35.SetBounds(0, 300, 890, 24);
    TabbedNotebook1.SetBounds(0, 44, 890, 566);
    TabbedNotebook1.SetPageIndex(3);

    Edit13.Hide();
    Edit3.Hide();
    Edit14.Hide();

    // Page 0: the lending desk.
    Label1.SetBounds(16, 12, 60, 16);
    ComboBox1.SetBounds(16, 30, 330, 24);
    BitBtn9.SetGlyph(StandardIcon(QStyle::SP_FileDialogNewFolder));
    BitBtn9.SetHint("Přidat čtenáře");
    BitBtn9.SetBounds(350, 30, 28, 24);
    for (ui::TComboBox* hidden : {&ComboBox2, &ComboBox3, &ComboBox4, &ComboBox5}) {
        hidden->SetStyle(ui::TComboBoxStyle::csDropDownList);
        hidden->Hide();
        hidden->SetTabStop(false);
    }
    Label3.SetBounds(400, 12, 60, 16);
    Label4.SetFontBold(true);
    Label4.SetBounds(400, 34, 70, 16);
    Label6.SetBounds(480, 12, 100, 16);
    Label7.SetFontBold(true);
    Label7.SetBounds(480, 34, 380, 16);
    Label5.SetBounds(16, 60, 840, 16);
    Label2.SetBounds(16, 86, 100, 16);
    Edit1.SetBounds(16, 104, 150, 24);
    Label8.SetBounds(180, 86, 100, 16);
    cbKnihy.SetBounds(180, 104, 450, 24);
    BitBtn10.SetGlyph(StandardIcon(QStyle::SP_ArrowRight));
    BitBtn10.SetBounds(646, 102, 110, 28);
    DBGrid3.SetBounds(16, 142, 852, 340);
    Button2.SetGlyph(StandardIcon(QStyle::SP_ArrowLeft));
    Button2.SetBounds(16, 492, 200, 28);
    Label9.SetBounds(560, 498, 100, 16);
    Edit2.SetReadOnly(true);
    Edit2.SetTabStop(false);
    Edit2.SetBounds(662, 494, 100, 24);
    UpDown1.SetBounds(768, 492, 100, 28);
    DBGrid3.SetTabStop(false);
    SetTabOrder({&ComboBox1, &Edit1, &cbKnihy, &BitBtn10, &UpDown1, &Button2});

    // Page 1: books (HlavniKnihyLayout.cpp).
    SetUpBooksLayout();

    // Page 2: readers (HlavniCtenariLayout.cpp).
    SetUpReadersLayout();

    // Page 3: loans overview.
    DBGrid4.SetBounds(8, 120, 866, 412);

    // Page 4: the four code lists side by side, each with its navigator.
    const std::pair<ui::TDBGrid*, ui::TDBNavigator*> lists[] = {
        {&DBGrid5, &DBNavigator1}, {&DBGrid6, &DBNavigator2}, {&DBGrid7, &DBNavigator3}, {&DBGrid9, &DBNavigator5}};
    left = 8;
    for (const auto& [grid, navigator] : lists) {
        grid->SetBounds(left, 32, 210, 440);
        navigator->SetBounds(left, 478, 210, 25);
        left += 218;
    }

    // Page 5: loan archive.
    DBGrid8.SetBounds(8, 56, 866, 440);
    DBNavigator4.SetBounds(8, 502, 120, 25);
}
