#pragma once
// Drop-down lists. OnChange runs ONLY on a change by the user (typing into an editable box, or
// choosing an item with the mouse or the keyboard), never when code sets the index, the text or
// the items.
//
// Entering an editable box selects its whole text. Typing into it selects the first item that begins with the typed text (Czech letter
// case ignored) and completes the text to that item, the completed part selected so that the next
// key types over it; a text that begins no item selects nothing. Deleting never completes: the box
// keeps an item selected only while its text is exactly that item. So an editable box has an item
// selected exactly when its text is that item's.
//
// The items live in a list model of their own, so that tens of thousands fill in milliseconds.

#include "platform/ui/Control.h"

#include <QComboBox>

#include <string>
#include <vector>

namespace ui {

enum class TComboBoxStyle {
    csDropDown,     // editable text with a list
    csSimple,       // editable text without a drop-down button (shown like an edit)
    csDropDownList, // choice from the list only
};

namespace detail {
class ComboItems;
}

class TComboBox : public QComboBox, public TControl {
    Q_OBJECT
public:
    explicit TComboBox(QWidget* parent = nullptr, TComboBoxStyle style = TComboBoxStyle::csDropDown);
    ~TComboBox() override;

    TComboBoxStyle Style() const { return style_; }
    void SetStyle(TComboBoxStyle style); // keeps the items and the text

    // Items.
    std::vector<std::string> Items() const;
    void SetItems(const std::vector<std::string>& items); // no selection afterwards
    int Count() const { return count(); }
    std::string Item(int index) const;   // "" out of range
    int AddItem(const std::string& item); // the index where it went (sorted lists sort it in)
    void InsertItem(int index, const std::string& item);
    void DeleteItem(int index);           // out of range: nothing
    void ClearItems();                    // also clears the text
    // First item equal to text, letter case ignored; -1 when none.
    int IndexOf(const std::string& text) const;
    // First item that begins with text, letter case ignored; -1 when none (or text is empty).
    int IndexOfPrefix(const std::string& text) const;
    // Whether typing completes to the first matching item (on by default; editable boxes only).
    bool AutoComplete() const { return autoComplete_; }
    void SetAutoComplete(bool on) { autoComplete_ = on; }
    // Counts every change of the list (filled, an item added or deleted, cleared, re-sorted), so
    // that code which filled it can tell whether it still holds what was put there.
    unsigned ItemsRevision() const { return itemsRevision_; }
    // A sorted list keeps its items in Czech alphabetical order.
    bool Sorted() const { return sorted_; }
    void SetSorted(bool on);

    // Selected item; -1 when none. Typing into an editable box selects the item the typing
    // completed to, or none. Setting -1 or an index out of range selects nothing and clears the
    // text.
    int ItemIndex() const;
    void SetItemIndex(int index);

    // The shown text. For a drop-down list setting the text selects the first item equal to it
    // (letter case ignored), or nothing.
    std::string Text() const;
    void SetText(const std::string& text);

    int SelStart() const;
    int SelLength() const;
    void SetSelLength(int length); // 0 clears the text selection
    void SetMaxLength(int characters);
    bool ReadOnly() const;

    // Opens or closes the list.
    void SetDroppedDown(bool open);

    TNotifyEvent OnChange;
    TNotifyEvent OnClick; // an item chosen by the user (before OnChange)

protected:
    void ApplyColors() override;

private:
    void UserEdited(const QString& text);
    // Completes a typed text to the first item beginning with it; false when none does.
    bool Complete(const QString& typed);
    const std::vector<QString>& FoldedItems() const;
    void UserActivated(int index);
    void ApplyStyle();
    int SortedPosition(const QString& item) const;

    detail::ComboItems* items_; // owned by Qt (child object)
    TComboBoxStyle style_;
    bool sorted_ = false;
    bool autoComplete_ = true;
    bool editedByUser_ = false;   // text typed since the last selection
    bool deletingKey_ = false;    // the key being typed deletes text (no completion)
    unsigned itemsRevision_ = 0;
    mutable std::vector<QString> folded_; // case-folded items for matching, built on first use
    mutable bool foldedValid_ = false;
};

} // namespace ui
