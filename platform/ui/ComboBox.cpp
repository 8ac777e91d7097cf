#include "platform/ui/ComboBox.h"

#include "platform/sys/CzechText.h"
#include "platform/ui/Application.h"
#include "platform/ui/ColorUtil.h"
#include "platform/ui/Text.h"

#include <QAbstractListModel>
#include <QLineEdit>
#include <QListView>
#include <QSignalBlocker>

#include <algorithm>
#include <numeric>

namespace ui {

namespace detail {

// The items of a combo box as one list of texts: filling replaces the list in one reset instead
// of one model row (and one signal) per item.
class ComboItems final : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(texts.size());
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || index.row() >= static_cast<int>(texts.size()))
            return {};
        if (role == Qt::DisplayRole || role == Qt::EditRole)
            return texts[static_cast<std::size_t>(index.row())];
        return {};
    }

    void Reset(std::vector<QString> list)
    {
        beginResetModel();
        texts = std::move(list);
        endResetModel();
    }
    void Insert(int row, const QString& text)
    {
        beginInsertRows({}, row, row);
        texts.insert(texts.begin() + row, text);
        endInsertRows();
    }
    void Remove(int row)
    {
        beginRemoveRows({}, row, row);
        texts.erase(texts.begin() + row);
        endRemoveRows();
    }

    std::vector<QString> texts;
};

} // namespace detail

namespace {

// Letter case ignored the Czech way: the full Unicode case folding treats Czech letters right.
QString Folded(const QString& text)
{
    return text.toCaseFolded();
}

} // namespace

TComboBox::TComboBox(QWidget* parent, TComboBoxStyle style)
    : QComboBox(detail::Parent(parent)), TControl(static_cast<QWidget&>(*this)), items_(new detail::ComboItems(this)),
      style_(style)
{
    setModel(items_);
    // The size is set by the window; measuring every item for a size hint would cost more than
    // filling them.
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    if (auto* list = qobject_cast<QListView*>(view()))
        list->setUniformItemSizes(true);
    setInsertPolicy(QComboBox::NoInsert);
    setMaxVisibleItems(12);
    connect(this, &QComboBox::activated, this, [this](int index) { UserActivated(index); });
    // Deleting keys are told apart before the editor changes the text.
    AddKeyDownHook([this](TObject*, Word& key, TShiftState) { deletingKey_ = key == VK_BACK || key == VK_DELETE; });
    // Entering an editable box selects its text, so that typing replaces the name shown.
    AddFocusHook([this](TControl&, bool entered) {
        if (entered && isEditable())
            lineEdit()->selectAll();
    });
    ApplyStyle();
    setCurrentIndex(-1);
}

TComboBox::~TComboBox() = default;

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
    items.reserve(items_->texts.size());
    for (const QString& text : items_->texts)
        items.push_back(S(text));
    return items;
}

void TComboBox::SetItems(const std::vector<std::string>& items)
{
    std::vector<QString> texts;
    texts.reserve(items.size());
    for (const std::string& item : items)
        texts.push_back(Q(item));
    if (sorted_) {
        // Sorting by collation keys: one key per item instead of a collator call per comparison.
        const std::vector<std::string> keys = sys::SortKeysCzech({items.begin(), items.end()});
        std::vector<std::size_t> order(items.size());
        std::iota(order.begin(), order.end(), std::size_t{0});
        std::stable_sort(order.begin(), order.end(), [&keys](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });
        std::vector<QString> sorted;
        sorted.reserve(texts.size());
        for (std::size_t i : order)
            sorted.push_back(std::move(texts[i]));
        texts = std::move(sorted);
    }
    const QSignalBlocker block(this);
    items_->Reset(std::move(texts));
    ++itemsRevision_;
    foldedValid_ = false;
    setCurrentIndex(-1);
    if (isEditable())
        lineEdit()->clear();
    editedByUser_ = false;
}

std::string TComboBox::Item(int index) const
{
    return index >= 0 && index < count() ? S(items_->texts[static_cast<std::size_t>(index)]) : std::string();
}

int TComboBox::SortedPosition(const QString& item) const
{
    const std::string s = S(item);
    int lo = 0;
    int hi = count();
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        if (sys::CompareCzech(S(items_->texts[static_cast<std::size_t>(mid)]), s) <= 0)
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
    const QString q = Q(item);
    items_->Insert(index, q);
    ++itemsRevision_;
    if (foldedValid_)
        folded_.insert(folded_.begin() + index, Folded(q));
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
    items_->Remove(index);
    ++itemsRevision_;
    if (foldedValid_)
        folded_.erase(folded_.begin() + index);
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
    items_->Reset({});
    ++itemsRevision_;
    foldedValid_ = false;
    setCurrentIndex(-1);
    if (isEditable())
        lineEdit()->clear();
    editedByUser_ = false;
}

const std::vector<QString>& TComboBox::FoldedItems() const
{
    if (!foldedValid_) {
        folded_.clear();
        folded_.reserve(items_->texts.size());
        for (const QString& text : items_->texts)
            folded_.push_back(Folded(text));
        foldedValid_ = true;
    }
    return folded_;
}

int TComboBox::IndexOf(const std::string& text) const
{
    const QString wanted = Folded(Q(text));
    const std::vector<QString>& folded = FoldedItems();
    const auto found = std::find(folded.begin(), folded.end(), wanted);
    return found == folded.end() ? -1 : static_cast<int>(found - folded.begin());
}

int TComboBox::IndexOfPrefix(const std::string& text) const
{
    if (text.empty())
        return -1;
    const QString wanted = Folded(Q(text));
    const std::vector<QString>& folded = FoldedItems();
    const auto found = std::find_if(folded.begin(), folded.end(),
                                    [&wanted](const QString& item) { return item.startsWith(wanted); });
    return found == folded.end() ? -1 : static_cast<int>(found - folded.begin());
}

void TComboBox::SetSorted(bool on)
{
    sorted_ = on;
    if (!on || count() < 2)
        return;
    const std::string text = Text();
    const std::string selectedItem = ItemIndex() >= 0 ? Item(ItemIndex()) : std::string();
    const bool hadSelection = ItemIndex() >= 0;
    const bool edited = editedByUser_;
    SetItems(Items());
    const QSignalBlocker block(this);
    if (hadSelection) {
        const auto& texts = items_->texts;
        const auto found = std::find(texts.begin(), texts.end(), Q(selectedItem));
        if (found != texts.end())
            setCurrentIndex(static_cast<int>(found - texts.begin()));
    }
    if (isEditable())
        lineEdit()->setText(Q(text));
    editedByUser_ = edited;
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
    // Setting the text already shown keeps the caret and the selection of the typing under way.
    if (isEditable() && lineEdit()->text() != itemText(index))
        lineEdit()->setText(itemText(index));
}

std::string TComboBox::Text() const
{
    if (isEditable())
        return S(lineEdit()->text());
    return currentIndex() >= 0 ? Item(currentIndex()) : std::string();
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
    if (lineEdit()->text() != q)
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

bool TComboBox::Complete(const QString& typed)
{
    const int index = IndexOfPrefix(S(typed));
    if (index < 0)
        return false;
    const QSignalBlocker block(this);
    setCurrentIndex(index);
    const QString item = itemText(index);
    lineEdit()->setText(item);
    // The completed part stays selected, so the next key types over it.
    lineEdit()->setSelection(static_cast<int>(item.size()), static_cast<int>(typed.size() - item.size()));
    return true;
}

void TComboBox::UserEdited(const QString& text)
{
    const bool deleting = deletingKey_;
    deletingKey_ = false;
    bool selected = false;
    if (autoComplete_ && !lineEdit()->isReadOnly()) {
        if (!deleting && lineEdit()->cursorPosition() == text.size()) {
            selected = Complete(text);
        } else {
            // After a deletion an item stays selected only when the text is exactly that item.
            const auto& texts = items_->texts;
            const auto found = std::find(texts.begin(), texts.end(), text);
            if (found != texts.end()) {
                const QSignalBlocker block(this);
                setCurrentIndex(static_cast<int>(found - texts.begin()));
                selected = true;
            }
        }
    }
    editedByUser_ = !selected;
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
