// Positions, captions and names of the readers page's controls.

#include "app/Hlavni.h"

#include <QApplication>
#include <QHeaderView>
#include <QStyle>

#include <utility>

namespace {

QIcon StandardIcon(QStyle::StandardPixmap pixmap)
{
    return QApplication::style()->standardIcon(pixmap);
}

} // namespace

void TForm1::SetUpReadersLayout()
{
    const std::pair<ui::TControl*, const char*> names[] = {
        {&Label34, "Label34"},   {&Edit10, "Edit10"},     {&Edit11, "Edit11"},     {&Edit12, "Edit12"},
        {&CheckBox8, "CheckBox8"}, {&CheckBox7, "CheckBox7"}, {&BitBtn20, "BitBtn20"}, {&BitBtn21, "BitBtn21"},
        {&BitBtn22, "BitBtn22"}, {&BitBtn1, "BitBtn1"},   {&BitBtn2, "BitBtn2"},   {&BitBtn3, "BitBtn3"},
        {&BitBtn18, "BitBtn18"}, {&BitBtn30, "BitBtn30"},
    };
    for (const auto& [control, name] : names)
        control->Name = name;

    // The quick filter boxes stand above their columns (placed with the grid's columns, in
    // SetUpReadersPage); the two state boxes at the right.
    Label34.SetBounds(8, 8, 100, 16);
    for (ui::TEdit* box : {&Edit10, &Edit11, &Edit12})
        box->SetBounds(8, 26, 60, 24);
    CheckBox8.SetChecked(true);
    CheckBox7.SetChecked(true);
    CheckBox8.SetBounds(640, 28, 100, 20);
    CheckBox7.SetBounds(744, 28, 110, 20);

    DBGrid1.SetBounds(8, 56, 866, 428);
    DBGrid1.SetTabStop(false);
    // Titles start at the left, so that the sort buttons at their right ends hide none of them.
    DBGrid1.horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    for (ui::TBitBtn* button : {&BitBtn20, &BitBtn21, &BitBtn22}) {
        button->SetTabStop(false);
        button->setFocusPolicy(Qt::NoFocus);
        button->setIconSize(QSize(10, 10));
    }

    // Adding, editing and deleting at the left under the list, the school years at the right.
    const std::pair<ui::TBitBtn*, QStyle::StandardPixmap> commands[] = {
        {&BitBtn1, QStyle::SP_FileDialogNewFolder},
        {&BitBtn2, QStyle::SP_FileDialogDetailedView},
        {&BitBtn3, QStyle::SP_TrashIcon},
    };
    int left = 8;
    for (const auto& [button, glyph] : commands) {
        button->SetGlyph(StandardIcon(glyph));
        button->SetBounds(left, 492, 150, 30);
        left += 156;
    }
    BitBtn18.SetGlyph(StandardIcon(QStyle::SP_ArrowBack));
    BitBtn18.SetBounds(544, 492, 162, 30);
    BitBtn30.SetGlyph(StandardIcon(QStyle::SP_ArrowForward));
    BitBtn30.SetBounds(712, 492, 162, 30);
}

// Lays the filter boxes and the sort buttons over the grid's columns, once those are set.
void TForm1::PlaceReadersColumnControls()
{
    const std::pair<const char*, std::pair<ui::TEdit*, ui::TBitBtn*>> over[] = {
        {"Jmeno", {&Edit10, &BitBtn20}},
        {"Trida", {&Edit11, &BitBtn21}},
        {"Kategorie", {&Edit12, &BitBtn22}},
    };
    const int frame = DBGrid1.frameWidth();
    const int headerTop = DBGrid1.Top() + frame;
    const int headerHeight = DBGrid1.horizontalHeader()->sizeHint().height();
    for (const auto& [field, controls] : over) {
        int x = DBGrid1.Left() + frame;
        int width = 0;
        for (const ui::TColumn& shown : DBGrid1.Columns()) {
            if (!shown.Visible)
                continue;
            if (shown.FieldName == field) {
                width = shown.Width;
                break;
            }
            x += shown.Width;
        }
        controls.first->SetBounds(x, controls.first->Top(), width - 1, controls.first->Height());
        controls.second->SetBounds(x + width - 19, headerTop + (headerHeight - 17) / 2, 18, 17);
        controls.second->raise();
    }
}
