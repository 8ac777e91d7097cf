#pragma once
// A list of text items with one selected item.

#include "platform/ui/Control.h"

#include <QListWidget>

#include <string>
#include <vector>

namespace ui {

class TListBox : public QListWidget, public TControl {
    Q_OBJECT
public:
    explicit TListBox(QWidget* parent = nullptr);

    std::vector<std::string> Items() const;
    void SetItems(const std::vector<std::string>& items);
    int Count() const { return count(); }
    std::string Item(int index) const; // "" out of range
    int AddItem(const std::string& item);
    void DeleteItem(int index);        // out of range: nothing
    void ClearItems() { clear(); }
    int IndexOf(const std::string& text) const; // letter case ignored; -1 when none
    bool Sorted() const { return sorted_; }
    void SetSorted(bool on);

    int ItemIndex() const;           // -1 when none
    void SetItemIndex(int index);    // -1 or out of range: none; runs no handler

    TNotifyEvent OnClick; // the user selected an item

protected:
    void ApplyColors() override;

private:
    bool sorted_ = false;
};

} // namespace ui
