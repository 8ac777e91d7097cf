#include "platform/ui/UpDown.h"

#include "platform/ui/Application.h"
#include "platform/ui/Edit.h"

#include <QKeyEvent>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <string>

namespace ui {

TUpDown::TUpDown(QWidget* parent)
    : QWidget(detail::Parent(parent)), TControl(static_cast<QWidget&>(*this)), up_(new QToolButton(this)),
      down_(new QToolButton(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    for (QToolButton* b : {up_, down_}) {
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoRepeat(true);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        layout->addWidget(b);
    }
    setFocusPolicy(Qt::StrongFocus);
    resize(17, 21);
    connect(up_, &QToolButton::clicked, this, [this] { Application.RunHandler([this] { ClickButton(TUDBtnType::btNext); }); });
    connect(down_, &QToolButton::clicked, this, [this] { Application.RunHandler([this] { ClickButton(TUDBtnType::btPrev); }); });
}

void TUpDown::keyPressEvent(QKeyEvent* event)
{
    // The arrow keys step the position while the up-down has the focus.
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Right) {
        Application.RunHandler([this] { ClickButton(TUDBtnType::btNext); });
        return;
    }
    if (event->key() == Qt::Key_Down || event->key() == Qt::Key_Left) {
        Application.RunHandler([this] { ClickButton(TUDBtnType::btPrev); });
        return;
    }
    QWidget::keyPressEvent(event);
}

void TUpDown::SetMin(int min)
{
    min_ = min;
    max_ = std::max(max_, min_);
    SetPosition(position_);
}

void TUpDown::SetMax(int max)
{
    max_ = max;
    min_ = std::min(min_, max_);
    SetPosition(position_);
}

void TUpDown::SetPosition(int position)
{
    position_ = std::clamp(position, min_, max_);
    ShowPosition();
}

void TUpDown::ShowPosition()
{
    if (associate_ != nullptr)
        associate_->SetText(std::to_string(position_));
}

void TUpDown::SetAssociate(TEdit* edit)
{
    associate_ = edit;
    if (edit == nullptr)
        return;
    // Sits at the right edge of the edit, as tall as the edit.
    if (edit->parentWidget() == parentWidget()) {
        setGeometry(edit->x() + edit->width(), edit->y(), width(), edit->height());
    }
    ShowPosition();
}

void TUpDown::ClickButton(TUDBtnType button)
{
    const int old = position_;
    int next = button == TUDBtnType::btNext ? position_ + Increment : position_ - Increment;
    if (next > max_)
        next = Wrap ? min_ : max_;
    if (next < min_)
        next = Wrap ? max_ : min_;
    if (next != old) {
        position_ = next;
        ShowPosition();
        bool allow = true;
        if (OnChanging)
            OnChanging(this, allow);
        if (!allow) {
            position_ = old;
            ShowPosition();
            return;
        }
    }
    if (OnClick)
        OnClick(this, button);
}

} // namespace ui
