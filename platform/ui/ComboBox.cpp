#include "platform/ui/ComboBox.h"

#include "platform/sys/CzechText.h"
#include "platform/ui/Application.h"
#include "platform/ui/ColorUtil.h"
#include "platform/ui/CzechOrder.h"
#include "platform/ui/Text.h"

#include <QLineEdit>
#include <QSignalBlocker>

namespace ui {

TComboBox::TComboBox(QWidget* parent, TComboBoxStyle style)
    : QComboBox(detail::Parent(parent)), TControl(static_cast<QWidget&>(*this)), style_(style)
{
    setInsertPolicy(QComboBox::NoInsert);
    setMaxVisibleItems(12);
    connect(this, &QComboBox::activated, this, [this](int index) { UserActivated(index); });
    ApplyStyle();
    setCurrentIndex(-1);
}

void TComboBox::ApplyStyle()
{
    const QString text = currentText();
    const int index = currentIndex();
    const QSignalBlocker block(this);
    setEditable(style_ != TComboBoxStyle::csDropDownList);
    if (QLineEdit* edit = lineEdit()) {
        setCompleter(nullptr);
        AddInnerWidget(*edit);
        connect(edit, &QLineEdit::textEdited, this, [this](const QString& t) { UserEdited(t); });
        edit->setText(text);
    } else {
        setCurrentIndex(index);
    }
    if (Color() != clWindow || FontColor() != clWindowText)
        ApplyColors();
}

void TComboBox::SetStyle(TComboBoxStyle style)
{
    if (style == style_)
        return;
    style_ = style;
    ApplyStyle();
}

std::vector<std::string> TComboBox::Items() const
{
    std::vector<std::string> items;
    items.reserve(static_cast<std::size_t>(count()));
    for (int i = 0; i < count(); ++i)
        items.push_back(S(itemText(i)));
    return items;
}

void TComboBox::SetItems(const std::vector<std::string>& items)
{
    ClearItems();
    const QSignalBlocker block(this);
    for (const std::string& item : items) {
        const QString q = Q(item);
        insertItem(sorted_ ? SortedPosition(q) : count(), q);
    }
    setCurrentIndex(-1);
    if (isEditable())
        lineEdit()->clear();
    editedByUser_ = false;
}

std::string TComboBox::Item(int index) const
{
    return index >= 0 && index < count() ? S(itemText(index)) : std::string();
}

int TComboBox::SortedPosition(const QString& item) const
{
    const std::string s = S(item);
    int lo = 0;
    int hi = count();
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        if (sys::CompareCzech(S(itemText(mid)), s) <= 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

int TComboBox::AddItem(const std::string& item)
{
    const QString q = Q(item);
    const int position = sorted_ ? SortedPosition(q) : count();
    InsertItem(position, item);
    return position;
}

void TComboBox::InsertItem(int index, const std::string& item)
{
    // Inserting never changes the selection or the shown text.
    const QSignalBlocker block(this);
    const QString text = currentText();
    const int selected = ItemIndex();
    const bool edited = editedByUser_;
    index = std::clamp(index, 0, count());
    insertItem(index, Q(item));
    const int newSelected = selected < 0 ? -1 : (selected >= index ? selected + 1 : selected);
    setCurrentIndex(newSelected);
    if (isEditable())
        lineEdit()->setText(text);
    editedByUser_ = edited;
}

void TComboBox::DeleteItem(int index)
{
    if (index < 0 || index >= count())
        return;
    const QSignalBlocker block(this);
    const QString text = currentText();
    const int selected = ItemIndex();
    const bool edited = editedByUser_;
    removeItem(index);
    int newSelected = selected;
    if (selected == index)
        newSelected = -1;
    else if (selected > index)
        --newSelected;
    setCurrentIndex(newSelected);
    if (isEditable()) {
        lineEdit()->setText(text);
        editedByUser_ = edited || (selected == index && !text.isEmpty());
    }
}

void TComboBox::ClearItems()
{
    const QSignalBlocker block(this);
    clear();
    if (isEditable())
        lineEdit()->clear();
    editedByUser_ = false;
}

int TComboBox::IndexOf(const std::string& text) const
{
    for (int i = 0; i < count(); ++i)
        if (sys::SameTextCzech(S(itemText(i)), text))
            return i;
    return -1;
}

void TComboBox::SetSorted(bool on)
{
    sorted_ = on;
    if (!on || count() < 2)
        return;
    const std::string text = Text();
    const std::string selectedItem = ItemIndex() >= 0 ? Item(ItemIndex()) : std::string();
    const bool hadSelection = ItemIndex() >= 0;
    std::vector<std::string> items = Items();
    SortCzech(items);
    const QSignalBlocker block(this);
    clear();
    for (const std::string& item : items)
        addItem(Q(item));
    setCurrentIndex(-1);
    if (hadSelection) {
        for (int i = 0; i < count(); ++i)
            if (S(itemText(i)) == selectedItem) {
                setCurrentIndex(i);
                break;
            }
    }
    if (isEditable())
        lineEdit()->setText(Q(text));
}

int TComboBox::ItemIndex() const
{
    if (isEditable() && editedByUser_)
        return -1;
    return currentIndex();
}

void TComboBox::SetItemIndex(int index)
{
    const QSignalBlocker block(this);
    editedByUser_ = false;
    if (index < 0 || index >= count()) {
        setCurrentIndex(-1);
        if (isEditable())
            lineEdit()->clear();
        return;
    }
    setCurrentIndex(index);
    if (isEditable())
        lineEdit()->setText(itemText(index));
}

std::string TComboBox::Text() const
{
    if (isEditable())
        return S(lineEdit()->text());
    return currentIndex() >= 0 ? S(itemText(currentIndex())) : std::string();
}

void TComboBox::SetText(const std::string& text)
{
    const QSignalBlocker block(this);
    if (!isEditable()) {
        setCurrentIndex(IndexOf(text));
        editedByUser_ = false;
        return;
    }
    const QString q = Q(text);
    lineEdit()->setText(q);
    // The selection stays only while the text is still the selected item's.
    editedByUser_ = !(currentIndex() >= 0 && itemText(currentIndex()) == q);
}

int TComboBox::SelStart() const
{
    if (!isEditable())
        return 0;
    return lineEdit()->hasSelectedText() ? lineEdit()->selectionStart() : lineEdit()->cursorPosition();
}

int TComboBox::SelLength() const
{
    if (!isEditable() || !lineEdit()->hasSelectedText())
        return 0;
    return static_cast<int>(lineEdit()->selectedText().size());
}

void TComboBox::SetSelLength(int length)
{
    if (!isEditable())
        return;
    if (length <= 0)
        lineEdit()->deselect();
    else
        lineEdit()->setSelection(SelStart(), length);
}

void TComboBox::SetMaxLength(int characters)
{
    if (isEditable())
        lineEdit()->setMaxLength(characters <= 0 ? 32767 : characters);
}

bool TComboBox::ReadOnly() const
{
    return isEditable() && lineEdit()->isReadOnly();
}

void TComboBox::SetDroppedDown(bool open)
{
    if (open)
        showPopup();
    else
        hidePopup();
}

void TComboBox::UserEdited(const QString&)
{
    editedByUser_ = true;
    if (OnChange)
        Application.RunHandler([this] { OnChange(this); });
}

void TComboBox::UserActivated(int index)
{
    editedByUser_ = false;
    if (isEditable() && index >= 0) {
        const QSignalBlocker block(this);
        lineEdit()->setText(itemText(index));
    }
    if (OnClick && !Application.RunHandler([this] { OnClick(this); }))
        return;
    if (OnChange)
        Application.RunHandler([this] { OnChange(this); });
}

void TComboBox::ApplyColors()
{
    PaintInput(*this, Color(), FontColor());
    QPalette palette = this->palette();
    palette.setColor(QPalette::Button, ToQColor(Color()));
    setPalette(palette);
    if (QLineEdit* edit = lineEdit())
        PaintInput(*edit, Color(), FontColor());
}

} // namespace ui
