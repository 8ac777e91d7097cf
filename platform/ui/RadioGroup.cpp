#include "platform/ui/RadioGroup.h"

#include "platform/ui/Application.h"
#include "platform/ui/Text.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>
#include <QSignalBlocker>

namespace ui {

TRadioGroup::TRadioGroup(QWidget* parent, const std::string& caption)
    : QGroupBox(detail::Parent(parent)), TControl(static_cast<QWidget&>(*this)),
      buttons_(new QButtonGroup(this)), layout_(new QGridLayout(this))
{
    setTitle(Q(caption));
    buttons_->setExclusive(true);
    connect(buttons_, &QButtonGroup::idClicked, this, [this](int id) { UserPicked(id); });
}

std::string TRadioGroup::Caption() const
{
    return S(title());
}

void TRadioGroup::SetCaption(const std::string& caption)
{
    setTitle(Q(caption));
}

void TRadioGroup::SetItems(const std::vector<std::string>& items)
{
    items_ = items;
    itemIndex_ = -1;
    Rebuild();
}

void TRadioGroup::SetColumns(int columns)
{
    columns_ = columns < 1 ? 1 : columns;
    Rebuild();
}

void TRadioGroup::Rebuild()
{
    for (QAbstractButton* b : buttons_->buttons()) {
        buttons_->removeButton(b);
        delete b;
    }
    const int n = static_cast<int>(items_.size());
    const int rows = (n + columns_ - 1) / columns_;
    for (int i = 0; i < n; ++i) {
        auto* button = new QRadioButton(Q(items_[static_cast<std::size_t>(i)]), this);
        buttons_->addButton(button, i);
        // Items run down the first column, then the next.
        layout_->addWidget(button, rows > 0 ? i % rows : 0, rows > 0 ? i / rows : 0);
        AddInnerWidget(*button);
    }
    if (itemIndex_ >= 0 && itemIndex_ < n) {
        const QSignalBlocker block(buttons_);
        buttons_->button(itemIndex_)->setChecked(true);
    }
}

void TRadioGroup::SetItemIndex(int index)
{
    if (index < 0 || index >= static_cast<int>(items_.size()))
        index = -1;
    if (index == itemIndex_)
        return;
    itemIndex_ = index;
    {
        const QSignalBlocker block(buttons_);
        if (index < 0) {
            buttons_->setExclusive(false);
            for (QAbstractButton* b : buttons_->buttons())
                b->setChecked(false);
            buttons_->setExclusive(true);
        } else {
            buttons_->button(index)->setChecked(true);
        }
    }
    if (OnClick)
        OnClick(this);
}

void TRadioGroup::UserPicked(int index)
{
    if (index == itemIndex_)
        return;
    itemIndex_ = index;
    if (OnClick)
        Application.RunHandler([this] { OnClick(this); });
}

} // namespace ui
