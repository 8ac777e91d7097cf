#include "platform/ui/Label.h"

#include "platform/ui/Application.h"
#include "platform/ui/ColorUtil.h"
#include "platform/ui/Text.h"

#include <QMouseEvent>

namespace ui {

TLabel::TLabel(QWidget* parent, const std::string& caption)
    : QLabel(detail::Parent(parent)), TControl(static_cast<QWidget&>(*this))
{
    SetCaption(caption);
}

std::string TLabel::Caption() const
{
    return S(text());
}

void TLabel::SetCaption(const std::string& caption)
{
    setText(Q(caption));
    if (AutoSize)
        resize(sizeHint());
}

void TLabel::SetAlignment(TAlignment alignment)
{
    switch (alignment) {
    case TAlignment::taLeftJustify: setAlignment(Qt::AlignLeft | Qt::AlignVCenter); break;
    case TAlignment::taRightJustify: setAlignment(Qt::AlignRight | Qt::AlignVCenter); break;
    case TAlignment::taCenter: setAlignment(Qt::AlignCenter); break;
    }
}

void TLabel::ApplyColors()
{
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, ToQColor(FontColor()));
    setPalette(palette);
}

void TLabel::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && OnClick)
        Application.RunHandler([this] { OnClick(this); });
}

} // namespace ui
