#include "platform/ui/Style.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOption>

namespace ui {

namespace {

class ProgramStyle final : public QProxyStyle {
public:
    ProgramStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override
    {
        QProxyStyle::drawControl(element, option, painter, widget);
        if (element == CE_PushButton && (option->state & State_HasFocus) != 0)
            DrawButtonFocus(*option, *painter);
    }

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget) const override
    {
        const auto* bar = qstyleoption_cast<const QStyleOptionSlider*>(option);
        if (control != CC_ScrollBar || bar == nullptr) {
            QProxyStyle::drawComplexControl(control, option, painter, widget);
            return;
        }
        // Track and arrows as Fusion draws them; the handle of our own, darker than the track.
        QStyleOptionSlider rest(*bar);
        rest.subControls &= ~SC_ScrollBarSlider;
        QProxyStyle::drawComplexControl(control, &rest, painter, widget);
        if ((bar->subControls & SC_ScrollBarSlider) == 0)
            return;
        const QRect handle = subControlRect(control, bar, SC_ScrollBarSlider, widget);
        if (!handle.isValid())
            return;
        const bool active = (bar->activeSubControls & SC_ScrollBarSlider) != 0;
        QColor fill(150, 150, 150);
        if (active && (bar->state & State_Sunken) != 0)
            fill = QColor(95, 95, 95);
        else if (active && (bar->state & State_MouseOver) != 0)
            fill = QColor(125, 125, 125);
        if ((bar->state & State_Enabled) == 0)
            fill = QColor(200, 200, 200);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(fill.darker(125));
        painter->setBrush(fill);
        painter->drawRoundedRect(QRectF(handle).adjusted(2.5, 2.5, -2.5, -2.5), 3, 3);
        painter->restore();
    }

private:
    static void DrawButtonFocus(const QStyleOption& option, QPainter& painter)
    {
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing);
        QPen frame(option.palette.color(QPalette::Highlight), 2);
        painter.setPen(frame);
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(option.rect).adjusted(1.5, 1.5, -1.5, -1.5), 3, 3);
        QPen dots(option.palette.color(QPalette::ButtonText), 1, Qt::DotLine);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(dots);
        painter.drawRect(option.rect.adjusted(4, 4, -5, -5));
        painter.restore();
    }
};

QPalette ProgramPalette()
{
    QPalette palette;
    const QColor face(236, 236, 236);
    palette.setColor(QPalette::Window, face);
    palette.setColor(QPalette::Button, face);
    palette.setColor(QPalette::WindowText, Qt::black);
    palette.setColor(QPalette::ButtonText, Qt::black);
    palette.setColor(QPalette::Text, Qt::black);
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::AlternateBase, QColor(246, 246, 246));
    palette.setColor(QPalette::Highlight, QColor(0, 96, 192));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    // The tooltip colours are the focus colours of input fields (pale yellow).
    palette.setColor(QPalette::ToolTipBase, QColor(255, 255, 225));
    palette.setColor(QPalette::ToolTipText, Qt::black);
    palette.setColor(QPalette::Light, Qt::white);
    palette.setColor(QPalette::Midlight, QColor(245, 245, 245));
    palette.setColor(QPalette::Mid, QColor(184, 184, 184));
    palette.setColor(QPalette::Dark, QColor(160, 160, 160));
    palette.setColor(QPalette::Shadow, QColor(105, 105, 105));
    palette.setColor(QPalette::Link, QColor(0, 0, 128));
    palette.setColor(QPalette::PlaceholderText, QColor(120, 120, 120));
    for (const auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
        palette.setColor(QPalette::Disabled, role, QColor(140, 140, 140));
    palette.setColor(QPalette::Disabled, QPalette::Base, face);
    return palette;
}

} // namespace

void ApplyProgramStyle()
{
    QApplication::setStyle(new ProgramStyle());
    QApplication::setPalette(ProgramPalette());
}

} // namespace ui
