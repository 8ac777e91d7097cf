#include "platform/ui/ListBox.h"

#include "platform/sys/CzechText.h"
#include "platform/ui/Application.h"
#include "platform/ui/ColorUtil.h"
#include "platform/ui/CzechOrder.h"
#include "platform/ui/Text.h"

#include <QSignalBlocker>

#include <algorithm>

namespace ui {

TListBox::TListBox(QWidget* parent) : QListWidget(detail::Parent(parent)), TControl(static_cast<QWidget&>(*this))
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::itemClicked, this, [this] {
        if (OnClick)
            Application.RunHandler([this] { OnClick(this); });
    });
}

std::vector<std::string> TListBox::Items() const
{
    std::vector<std::string> items;
    for (int i = 0; i < count(); ++i)
        items.push_back(S(item(i)->text()));
    return items;
}

void TListBox::SetItems(const std::vector<std::string>& items)
{
    const QSignalBlocker block(this);
    clear();
    for (const std::string& s : items)
        AddItem(s);
    setCurrentRow(-1);
}

std::string TListBox::Item(int index) const
{
    return index >= 0 && index < count() ? S(item(index)->text()) : std::string();
}

int TListBox::AddItem(const std::string& text)
{
    int position = count();
    if (sorted_) {
        position = 0;
        while (position < count() && sys::CompareCzech(S(item(position)->text()), text) <= 0)
            ++position;
    }
    const QSignalBlocker block(this);
    const int selected = ItemIndex();
    insertItem(position, Q(text));
    if (selected >= 0)
        setCurrentRow(selected >= position ? selected + 1 : selected);
    return position;
}

void TListBox::DeleteItem(int index)
{
    if (index < 0 || index >= count())
        return;
    const QSignalBlocker block(this);
    const int selected = ItemIndex();
    delete takeItem(index);
    if (selected == index)
        setCurrentRow(-1);
    else if (selected > index)
        setCurrentRow(selected - 1);
}

int TListBox::IndexOf(const std::string& text) const
{
    for (int i = 0; i < count(); ++i)
        if (sys::SameTextCzech(S(item(i)->text()), text))
            return i;
    return -1;
}

void TListBox::SetSorted(bool on)
{
    sorted_ = on;
    if (!on)
        return;
    std::vector<std::string> items = Items();
    SortCzech(items);
    const QSignalBlocker block(this);
    clear();
    for (const std::string& s : items)
        addItem(Q(s));
}

int TListBox::ItemIndex() const
{
    const int row = currentRow();
    if (row < 0 || selectedItems().isEmpty())
        return -1;
    return row;
}

void TListBox::SetItemIndex(int index)
{
    const QSignalBlocker block(this);
    if (index < 0 || index >= count()) {
        setCurrentRow(-1);
        clearSelection();
        return;
    }
    setCurrentRow(index);
}

void TListBox::ApplyColors()
{
    PaintInput(*this, Color(), FontColor());
}

} // namespace ui
