// Positions, names, limits and pictures of the book dialog's controls.

#include "catalogue/PridatKnihu.h"

#include <QApplication>
#include <QStyle>

#include <utility>

namespace {

QIcon StandardIcon(QStyle::StandardPixmap pixmap)
{
    return QApplication::style()->standardIcon(pixmap);
}

constexpr int kRow = 30;   // distance between two rows of inputs
constexpr int kHeight = 24; // height of a one-line input

} // namespace

void TForm4::SetUpLayout()
{
    SetCaption(kAddCaption);
    SetBorderStyle(ui::TFormBorderStyle::bsSingle);
    SetClientSize(750, 307);
    Position = ui::TPosition::poDesktopCenter;

    const std::pair<ui::TControl*, const char*> names[] = {
        {&Label1, "Label1"},     {&Edit1, "Edit1"},         {&Label2, "Label2"},       {&Edit2, "Edit2"},
        {&Label3, "Label3"},     {&ComboBox4, "ComboBox4"}, {&Label4, "Label4"},       {&ComboBox3, "ComboBox3"},
        {&Label5, "Label5"},     {&ComboBox5, "ComboBox5"}, {&Label6, "Label6"},       {&ComboBox1, "ComboBox1"},
        {&BitBtn5, "BitBtn5"},   {&Label7, "Label7"},       {&ComboBox2, "ComboBox2"}, {&BitBtn6, "BitBtn6"},
        {&Label8, "Label8"},     {&Edit7, "Edit7"},         {&Label9, "Label9"},       {&Edit6, "Edit6"},
        {&Label10, "Label10"},   {&Label11, "Label11"},     {&Edit3, "Edit3"},         {&Label12, "Label12"},
        {&Edit4, "Edit4"},       {&Label13, "Label13"},     {&Edit5, "Edit5"},         {&Label14, "Label14"},
        {&Memo1, "Memo1"},       {&Label15, "Label15"},     {&ListBox1, "ListBox1"},   {&BitBtn3, "BitBtn3"},
        {&BitBtn4, "BitBtn4"},   {&BitBtn1, "BitBtn1"},     {&BitBtn2, "BitBtn2"},
    };
    for (const auto& [control, name] : names)
        control->Name = name;

    // Left column: label, then the input.
    const std::pair<ui::TLabel*, ui::TControl*> left[] = {
        {&Label1, &Edit1},         {&Label2, &Edit2},         {&Label3, &ComboBox4}, {&Label4, &ComboBox3},
        {&Label5, &ComboBox5},     {&Label6, &ComboBox1},     {&Label7, &ComboBox2}, {&Label8, &Edit7},
    };
    int top = 12;
    for (const auto& [label, input] : left) {
        label->SetBounds(12, top + 4, 96, 16);
        input->SetBounds(110, top, 200, kHeight);
        top += kRow;
    }
    // The two code lists leave room for their small "new entry" buttons.
    ComboBox1.SetWidth(172);
    ComboBox2.SetWidth(172);
    BitBtn5.SetBounds(286, ComboBox1.Top(), kHeight, kHeight);
    BitBtn6.SetBounds(286, ComboBox2.Top(), kHeight, kHeight);

    // Middle column: the four numbers, then the annotation.
    const std::pair<ui::TLabel*, ui::TEdit*> numbers[] = {
        {&Label9, &Edit6}, {&Label11, &Edit3}, {&Label12, &Edit4}, {&Label13, &Edit5}};
    top = 12;
    for (const auto& [label, input] : numbers) {
        label->SetBounds(332, top + 4, 100, 16);
        input->SetBounds(436, top, 80, kHeight);
        top += kRow;
    }
    Label10.SetBounds(522, Edit6.Top() + 4, 20, 16);
    Label14.SetBounds(332, top + 4, 100, 16);
    Memo1.SetBounds(332, top + 22, 206, 222 + kHeight - (top + 22));

    // Right column: the keywords with their two buttons beneath.
    Label15.SetBounds(556, 16, 180, 16);
    ListBox1.SetBounds(556, 34, 182, 178);
    BitBtn3.SetBounds(556, 216, 88, 30);
    BitBtn4.SetBounds(650, 216, 88, 30);

    BitBtn1.SetBounds(294, 268, 75, 28);
    BitBtn2.SetBounds(381, 268, 75, 28);
    BitBtn2.Cancel = true;

    // Typing limits; none is longer than the field the text is stored in.
    Edit1.SetMaxLength(10);
    Edit2.SetMaxLength(255);
    ComboBox4.SetMaxLength(255);
    ComboBox3.SetMaxLength(255);
    ComboBox5.SetMaxLength(100);
    Edit7.SetMaxLength(50);
    Edit6.SetMaxLength(17);
    Edit3.SetMaxLength(4);
    Edit4.SetMaxLength(10);
    Edit5.SetMaxLength(4);
    Memo1.SetMaxLength(255);

    ComboBox1.SetSorted(true);
    ComboBox2.SetSorted(true);
    ComboBox1.Tag = 1;
    ComboBox2.Tag = 1;

    BitBtn3.SetGlyph(StandardIcon(QStyle::SP_FileDialogNewFolder));
    BitBtn4.SetGlyph(StandardIcon(QStyle::SP_TrashIcon));
    BitBtn5.SetGlyph(StandardIcon(QStyle::SP_FileDialogNewFolder));
    BitBtn6.SetGlyph(StandardIcon(QStyle::SP_FileDialogNewFolder));
    BitBtn5.SetHint("Nový typ knihy");
    BitBtn6.SetHint("Nové umístění knihy");
    BitBtn5.SetTabStop(false);
    BitBtn6.SetTabStop(false);

    SetTabOrder({&Edit1, &Edit2, &ComboBox4, &ComboBox3, &ComboBox5, &ComboBox1, &ComboBox2, &Edit7, &Edit6, &Edit3,
                 &Edit4, &Edit5, &Memo1, &ListBox1, &BitBtn3, &BitBtn4, &BitBtn1, &BitBtn2});
}
