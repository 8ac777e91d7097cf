#pragma once
// Explicit conversions between the program's UTF-8 std::string and Qt's QString. Every window and
// control converts through these two, so no text crosses the boundary by an implicit cast.

#include <QString>

#include <string>
#include <string_view>

namespace ui {

inline QString Q(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string S(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

} // namespace ui
