#include "platform/ui/Panel.h"

#include "platform/ui/ColorUtil.h"
#include "platform/ui/Text.h"

#include <QLabel>

namespace ui {

TPanel::TPanel(QWidget* parent, const std::string& caption)
    : QFrame(detail::Parent(parent)), TControl(static_cast<QWidget&>(*this))
{
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    SetCaption(caption);
}

void TPanel::SetCaption(const std::string& caption)
{
    caption_ = caption;
    if (caption.empty()) {
        if (captionLabel_ != nullptr)
            captionLabel_->hide();
        return;
    }
    if (captionLabel_ == nullptr) {
        captionLabel_ = new QLabel(this);
        captionLabel_->setAlignment(Qt::AlignCenter);
        captionLabel_->lower();
    }
    captionLabel_->setText(Q(caption));
    captionLabel_->setGeometry(rect());
    captionLabel_->show();
}

void TPanel::SetBevelOuter(TBevelCut cut)
{
    switch (cut) {
    case TBevelCut::bvNone: setFrameStyle(QFrame::NoFrame); break;
    case TBevelCut::bvLowered: setFrameStyle(QFrame::Panel | QFrame::Sunken); break;
    case TBevelCut::bvRaised: setFrameStyle(QFrame::Panel | QFrame::Raised); break;
    }
}

void TPanel::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    if (captionLabel_ != nullptr)
        captionLabel_->setGeometry(rect());
}

void TPanel::ApplyColors()
{
    TControl::ApplyColors();
}

TGroupBox::TGroupBox(QWidget* parent, const std::string& caption)
    : QGroupBox(detail::Parent(parent)), TControl(static_cast<QWidget&>(*this))
{
    setTitle(Q(caption));
}

std::string TGroupBox::Caption() const
{
    return S(title());
}

void TGroupBox::SetCaption(const std::string& caption)
{
    setTitle(Q(caption));
}

TBevel::TBevel(QWidget* parent, TBevelShape shape) : QFrame(detail::Parent(parent)), TControl(static_cast<QWidget&>(*this))
{
    SetShape(shape);
}

void TBevel::SetShape(TBevelShape shape)
{
    switch (shape) {
    case TBevelShape::bsBox:
    case TBevelShape::bsFrame: setFrameStyle(QFrame::Box | QFrame::Sunken); break;
    case TBevelShape::bsTopLine:
    case TBevelShape::bsBottomLine: setFrameStyle(QFrame::HLine | QFrame::Sunken); break;
    case TBevelShape::bsLeftLine:
    case TBevelShape::bsRightLine: setFrameStyle(QFrame::VLine | QFrame::Sunken); break;
    }
}

} // namespace ui
