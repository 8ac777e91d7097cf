#pragma once
// Turning the program's colour values into Qt colours (system colours through the palette), and
// colouring an input's background and text.

#include "platform/ui/Types.h"

#include <QApplication>
#include <QColor>
#include <QPalette>
#include <QWidget>

namespace ui {

inline QColor ToQColor(TColor color)
{
    const QPalette palette = QApplication::palette();
    switch (color) {
    case clInfoBk: return palette.color(QPalette::ToolTipBase);
    case clBtnFace: return palette.color(QPalette::Button);
    case clWindow: return QColor(255, 255, 255);
    case clWindowText: return QColor(0, 0, 0);
    case clActiveCaption: return palette.color(QPalette::Highlight);
    default: {
        const auto v = static_cast<std::uint32_t>(color);
        return QColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF),
                      static_cast<int>((v >> 16) & 0xFF));
    }
    }
}

// Background and text of an input (line edit, text edit, list, combo box).
inline void PaintInput(QWidget& widget, TColor background, TColor text)
{
    QPalette palette = widget.palette();
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Base, ToQColor(background));
        palette.setColor(group, QPalette::Text, ToQColor(text));
        palette.setColor(group, QPalette::Window, ToQColor(background));
        palette.setColor(group, QPalette::ButtonText, ToQColor(text));
    }
    widget.setPalette(palette);
}

} // namespace ui
