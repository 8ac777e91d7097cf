// Positions, names and pictures of the extended book filter's controls.

#include "catalogue/FiltrKnih.h"

#include <QApplication>
#include <QRadioButton>
#include <QStyle>
#include <QWidget>

#include <tuple>
#include <utility>

namespace {

QIcon StandardIcon(QStyle::StandardPixmap pixmap)
{
    return QApplication::style()->standardIcon(pixmap);
}

constexpr int kRow = 30;
constexpr int kHeight = 24;

} // namespace

void TForm10::SetUpLayout()
{
    SetBorderStyle(ui::TFormBorderStyle::bsSingle);
    SetClientSize(706, 402);
    Position = ui::TPosition::poDesktopCenter;

    const std::pair<ui::TControl*, const char*> names[] = {
        {&Label23, "Label23"},   {&ComboBox9, "ComboBox9"}, {&BitBtn7, "BitBtn7"},     {&Label1, "Label1"},
        {&ComboBox8, "ComboBox8"}, {&Label2, "Label2"},     {&ComboBox1, "ComboBox1"}, {&Label3, "Label3"},
        {&ComboBox2, "ComboBox2"}, {&Label4, "Label4"},     {&ComboBox3, "ComboBox3"}, {&Label5, "Label5"},
        {&ComboBox4, "ComboBox4"}, {&Label6, "Label6"},     {&ComboBox5, "ComboBox5"}, {&Label7, "Label7"},
        {&ComboBox6, "ComboBox6"}, {&Label8, "Label8"},     {&ComboBox7, "ComboBox7"}, {&Label13, "Label13"},
        {&Edit1, "Edit1"},         {&Label22, "Label22"},   {&Label9, "Label9"},       {&Label14, "Label14"},
        {&Edit2, "Edit2"},         {&Label15, "Label15"},   {&Edit3, "Edit3"},         {&Label10, "Label10"},
        {&Label16, "Label16"},     {&Edit4, "Edit4"},       {&Label17, "Label17"},     {&Edit5, "Edit5"},
        {&Label11, "Label11"},     {&Label18, "Label18"},   {&Edit6, "Edit6"},         {&Label19, "Label19"},
        {&Edit7, "Edit7"},         {&Label12, "Label12"},   {&Label20, "Label20"},     {&Edit8, "Edit8"},
        {&Label21, "Label21"},     {&Edit9, "Edit9"},       {&RadioGroup1, "RadioGroup1"}, {&BitBtn10, "BitBtn10"},
        {&BitBtn9, "BitBtn9"},     {&BitBtn8, "BitBtn8"},   {&BitBtn2, "BitBtn2"},     {&Button1, "Button1"},
        {&CheckBox1, "CheckBox1"}, {&CheckBox2, "CheckBox2"}, {&CheckBox3, "CheckBox3"}, {&CheckBox4, "CheckBox4"},
        {&CheckBox5, "CheckBox5"}, {&CheckBox6, "CheckBox6"}, {&CheckBox7, "CheckBox7"}, {&CheckBox8, "CheckBox8"},
        {&DirectoryListBox1, "DirectoryListBox1"}, {&FileListBox1, "FileListBox1"}, {&RichEdit1, "RichEdit1"},
    };
    for (const auto& [control, name] : names)
        control->Name = name;

    // Saved filters along the top.
    Label23.SetBounds(12, 16, 96, 16);
    ComboBox9.SetBounds(110, 12, 390, kHeight);
    BitBtn7.SetGlyph(StandardIcon(QStyle::SP_TrashIcon));
    BitBtn7.SetBounds(508, 10, 186, 28);

    // Left column: the eight pick lists.
    const std::pair<ui::TLabel*, ui::TComboBox*> picks[] = {
        {&Label1, &ComboBox8}, {&Label2, &ComboBox1}, {&Label3, &ComboBox2}, {&Label4, &ComboBox3},
        {&Label5, &ComboBox4}, {&Label6, &ComboBox5}, {&Label7, &ComboBox6}, {&Label8, &ComboBox7},
    };
    int top = 56;
    for (const auto& [label, pick] : picks) {
        label->SetBounds(12, top + 4, 96, 16);
        pick->SetBounds(110, top, 230, kHeight);
        top += kRow;
    }

    // Right column: keywords, the four ranges and the condition mode.
    Label13.SetBounds(360, 60, 96, 16);
    Edit1.SetBounds(458, 56, 236, kHeight);
    Label22.SetBounds(458, 82, 236, 16);
    const std::tuple<ui::TLabel*, ui::TLabel*, ui::TEdit*, ui::TLabel*, ui::TEdit*> ranges[] = {
        {&Label9, &Label14, &Edit2, &Label15, &Edit3},
        {&Label10, &Label16, &Edit4, &Label17, &Edit5},
        {&Label11, &Label18, &Edit6, &Label19, &Edit7},
        {&Label12, &Label20, &Edit8, &Label21, &Edit9},
    };
    top = 108;
    for (const auto& [label, fromLabel, from, toLabel, to] : ranges) {
        label->SetBounds(360, top + 4, 96, 16);
        fromLabel->SetBounds(458, top + 4, 20, 16);
        from->SetBounds(480, top, 90, kHeight);
        toLabel->SetBounds(584, top + 4, 20, 16);
        to->SetBounds(604, top, 90, kHeight);
        top += kRow;
    }
    RadioGroup1.SetItems({"Všechny zadané podmínky musí souhlasit", "Musí souhlasit alespoň jedna zadaná podmínka"});
    RadioGroup1.SetItemIndex(0);
    RadioGroup1.SetBounds(360, 232, 334, 70);
    // The group takes the focus (Enter in the last range edit moves there) on its chosen button.
    RadioGroup1.setFocusPolicy(Qt::StrongFocus);
    auto focusOnChosen = [this] {
        const QList<QRadioButton*> buttons = RadioGroup1.findChildren<QRadioButton*>();
        const int chosen = RadioGroup1.ItemIndex();
        if (chosen >= 0 && chosen < buttons.size())
            RadioGroup1.setFocusProxy(buttons.at(chosen));
    };
    focusOnChosen();
    RadioGroup1.OnClick = [focusOnChosen](ui::TObject*) { focusOnChosen(); };

    // Buttons along the bottom.
    BitBtn10.SetGlyph(StandardIcon(QStyle::SP_DialogResetButton));
    BitBtn10.SetBounds(12, 356, 150, 32);
    BitBtn9.SetGlyph(StandardIcon(QStyle::SP_DialogSaveButton));
    BitBtn9.SetBounds(190, 356, 160, 32);
    BitBtn8.SetGlyph(StandardIcon(QStyle::SP_DialogSaveButton));
    BitBtn8.SetBounds(356, 356, 120, 32);
    BitBtn2.SetGlyph(StandardIcon(QStyle::SP_DialogOkButton));
    BitBtn2.SetBounds(500, 356, 94, 32);
    Button1.SetBounds(600, 356, 94, 32);

    // The flags and the file work areas lie outside the client area and take no focus.
    int left = 720;
    for (ui::TCheckBox* flag : ExactFlags()) {
        flag->SetBounds(left, 10, 100, 20);
        flag->SetTabStop(false);
        flag->Hide();
        left += 4;
    }
    for (ui::TControl* hidden : {static_cast<ui::TControl*>(&DirectoryListBox1),
                                 static_cast<ui::TControl*>(&FileListBox1), static_cast<ui::TControl*>(&RichEdit1)}) {
        hidden->SetBounds(720, 40, 100, 60);
        hidden->SetTabStop(false);
        hidden->Hide();
    }

    QWidget* order[] = {&ComboBox9, &ComboBox8, &ComboBox1, &ComboBox2, &ComboBox3, &ComboBox4, &ComboBox5,
                        &ComboBox6, &ComboBox7, &Edit1,     &Edit2,     &Edit3,     &Edit4,     &Edit5,
                        &Edit6,     &Edit7,     &Edit8,     &Edit9,     &RadioGroup1, &BitBtn7, &BitBtn10,
                        &BitBtn9,   &BitBtn8,   &BitBtn2,   &Button1};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
}
