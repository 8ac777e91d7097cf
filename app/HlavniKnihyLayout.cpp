// Positions, captions and names of the books page's controls.

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

void TForm1::SetUpBooksLayout()
{
    const std::pair<ui::TControl*, const char*> names[] = {
        {&Label29, "Label29"},     {&Edit5, "Edit5"},         {&Edit6, "Edit6"},         {&Edit7, "Edit7"},
        {&Edit9, "Edit9"},         {&ComboBox12, "ComboBox12"}, {&BitBtn15, "BitBtn15"}, {&BitBtn16, "BitBtn16"},
        {&BitBtn17, "BitBtn17"},   {&BitBtn19, "BitBtn19"},   {&BitBtn5, "BitBtn5"},     {&BitBtn6, "BitBtn6"},
        {&BitBtn7, "BitBtn7"},     {&Button1, "Button1"},     {&Label32, "Label32"},     {&BitBtn24, "BitBtn24"},
        {&BitBtn26, "BitBtn26"},   {&ComboBox11, "ComboBox11"},
    };
    for (const auto& [control, name] : names)
        control->Name = name;
    const std::pair<ui::TMenuItem*, const char*> items[] = {
        {&Pidatknihu1, "Pidatknihu1"}, {&Upravitknihu1, "Upravitknihu1"}, {&Odebratknihu1, "Odebratknihu1"},
        {&Vytvoitkopiizznamu1, "Vytvoitkopiizznamu1"}, {&N1, "N1"}, {&Filtr1, "Filtr1"},
    };
    for (const auto& [item, name] : items)
        item->Name = name;

    // Saved filters and the extended filter along the top.
    Label32.SetBounds(8, 10, 40, 16);
    ComboBox11.SetBounds(50, 6, 290, 24);
    BitBtn24.SetGlyph(StandardIcon(QStyle::SP_FileDialogContentsView));
    BitBtn24.SetBounds(346, 4, 130, 28);
    BitBtn26.SetGlyph(StandardIcon(QStyle::SP_DialogResetButton));
    BitBtn26.SetBounds(480, 4, 118, 28);

    // The quick filter boxes stand above their columns, the state box above the state column; the
    // columns' widths are fixed with the grid's columns (SetUpBooksPage).
    Label29.SetBounds(8, 38, 100, 16);
    for (ui::TControl* box : {static_cast<ui::TControl*>(&Edit5), static_cast<ui::TControl*>(&Edit6),
                              static_cast<ui::TControl*>(&Edit7), static_cast<ui::TControl*>(&Edit9),
                              static_cast<ui::TControl*>(&ComboBox12)})
        box->SetBounds(8, 56, 60, 24);
    ComboBox12.SetItems({"Všechny", "K půjčení", "Půjčené", "Vyřazené"});
    ComboBox12.SetItemIndex(1);

    DBGrid2.SetBounds(8, 84, 590, 400);
    // Titles start at the left, so that the sort buttons at their right ends hide none of them.
    DBGrid2.horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    DBGrid2.SetPopupMenu(&PopupMenu1);
    for (ui::TBitBtn* button : {&BitBtn15, &BitBtn16, &BitBtn17, &BitBtn19}) {
        button->SetTabStop(false);
        button->setFocusPolicy(Qt::NoFocus);
        button->setIconSize(QSize(10, 10));
    }

    // The commands under the list.
    const std::pair<ui::TButton*, QStyle::StandardPixmap> commands[] = {
        {&BitBtn5, QStyle::SP_FileDialogNewFolder},
        {&BitBtn6, QStyle::SP_FileDialogDetailedView},
        {&BitBtn7, QStyle::SP_TrashIcon},
        {&Button1, QStyle::SP_DialogNoButton},
    };
    int left = 8;
    for (const auto& [button, glyph] : commands) {
        if (button != &Button1)
            button->SetGlyph(StandardIcon(glyph));
        button->SetBounds(left, 492, 142, 30);
        left += 149;
    }

    // The current book's other fields beside the list.
    GroupBox2.SetBounds(606, 4, 270, 518);
    struct Detail {
        ui::TLabel* label;
        ui::TControl* field;
        int height;
    };
    const Detail details[] = {
        {&Label40, &DBEdit12, 22}, {&Label41, &DBEdit4, 22}, {&Label42, &DBEdit5, 22},
        {&Label43, &DBEdit6, 22},  {&Label44, &DBEdit1, 22}, {&Label45, &DBEdit7, 22},
        {&Label46, &DBEdit8, 22},  {&Label47, &DBEdit9, 22}, {&Label48, &DBEdit10, 22},
        {&Label49, &DBRichEdit1, 100}, {&Label50, &DBEdit11, 22}, {&Label51, &DBMemo1, 80},
    };
    int top = 24;
    for (const Detail& detail : details) {
        detail.label->SetBounds(6, top + 3, 132, 16);
        detail.field->SetBounds(140, top, 122, detail.height);
        detail.field->SetTabStop(false);
        detail.field->SetColor(ui::clBtnFace);
        top += detail.height + 6;
    }
    DBEdit3.Hide();
}

// Lays the filter boxes and the sort buttons over the grid's columns, once those are set.
void TForm1::PlaceBooksColumnControls()
{
    struct OverColumn {
        const char* field;
        ui::TControl* box;
        ui::TBitBtn* sort;
    };
    const OverColumn over[] = {
        {"Kod", &Edit5, &BitBtn15},     {"Nazev", &Edit6, &BitBtn16},   {"Autor", &Edit7, &BitBtn17},
        {"Umisteni", &Edit9, &BitBtn19},
    };
    const int frame = DBGrid2.frameWidth();
    const int headerTop = DBGrid2.Top() + frame;
    const int headerHeight = DBGrid2.horizontalHeader()->sizeHint().height();
    for (const OverColumn& column : over) {
        int x = DBGrid2.Left() + frame;
        int width = 0;
        for (const ui::TColumn& shown : DBGrid2.Columns()) {
            if (!shown.Visible)
                continue;
            if (shown.FieldName == column.field) {
                width = shown.Width;
                break;
            }
            x += shown.Width;
        }
        column.box->SetBounds(x, column.box->Top(), width - 1, column.box->Height());
        // The state box stands over the state column, the next one shown, to the grid's right edge.
        if (column.box == &Edit9) {
            const int stateLeft = x + width;
            ComboBox12.SetBounds(stateLeft, ComboBox12.Top(), DBGrid2.Left() + DBGrid2.Width() - stateLeft,
                                 ComboBox12.Height());
        }
        if (column.sort != nullptr) {
            column.sort->SetBounds(x + width - 19, headerTop + (headerHeight - 17) / 2, 18, 17);
            column.sort->raise();
        }
    }
}
