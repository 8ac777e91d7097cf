#pragma once
// A framed group of radio buttons, one per item, in one or more columns. OnClick runs when the
// user picks an item and when code sets another ItemIndex.

#include "platform/ui/Control.h"

#include <QGroupBox>

#include <string>
#include <vector>

class QButtonGroup;
class QGridLayout;

namespace ui {

class TRadioGroup : public QGroupBox, public TControl {
    Q_OBJECT
public:
    explicit TRadioGroup(QWidget* parent = nullptr, const std::string& caption = {});

    std::string Caption() const;
    void SetCaption(const std::string& caption);
    std::vector<std::string> Items() const { return items_; }
    void SetItems(const std::vector<std::string>& items); // no selection afterwards
    int Columns() const { return columns_; }
    void SetColumns(int columns);

    int ItemIndex() const { return itemIndex_; } // -1 when none
    void SetItemIndex(int index);                // out of range: none

    TNotifyEvent OnClick;

private:
    void Rebuild();
    void UserPicked(int index);

    std::vector<std::string> items_;
    int columns_ = 1;
    int itemIndex_ = -1;
    QButtonGroup* buttons_;
    QGridLayout* layout_;
};

} // namespace ui
