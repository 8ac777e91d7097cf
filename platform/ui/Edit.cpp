#include "platform/ui/Edit.h"

#include "platform/ui/Application.h"
#include "platform/ui/ColorUtil.h"
#include "platform/ui/Text.h"

#include <QProxyStyle>

namespace ui {

namespace {

// Shows one fixed character for every character of a password.
class PasswordCharStyle : public QProxyStyle {
public:
    explicit PasswordCharStyle(char c) : c_(c) {}
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return static_cast<unsigned char>(c_);
        return QProxyStyle::styleHint(hint, option, widget, data);
    }

private:
    char c_;
};

} // namespace

TEdit::TEdit(QWidget* parent) : QLineEdit(detail::Parent(parent)), TControl(static_cast<QWidget&>(*this))
{
    // textEdited: changes by the user only; changes by code run OnChange from SetText.
    connect(this, &QLineEdit::textEdited, this, [this] {
        // A longer text set by code lifted the typing limit; back to it as the text shrinks.
        // Qt sets the text anew when the limit changes, so the caret is kept where it was.
        if (maxLength_ > 0) {
            const int limit = std::max<int>(maxLength_, static_cast<int>(text().size()));
            if (limit != maxLength()) {
                const int caret = cursorPosition();
                setMaxLength(limit);
                setCursorPosition(caret);
            }
        }
        if (OnChange)
            Application.RunHandler([this] { OnChange(this); });
    });
}

std::string TEdit::Text() const
{
    return S(text());
}

void TEdit::SetText(const std::string& value)
{
    const QString q = Q(value);
    if (q == text())
        return;
    // The typing limit applies to typing only: lift it while code sets a longer text.
    if (maxLength_ > 0 && q.size() > maxLength_)
        setMaxLength(static_cast<int>(q.size()));
    setText(q);
    if (OnChange)
        OnChange(this);
}

void TEdit::SetMaxLength(int characters)
{
    maxLength_ = characters < 0 ? 0 : characters;
    const int limit = maxLength_ == 0 ? 32767 : std::max<int>(maxLength_, static_cast<int>(text().size()));
    setMaxLength(limit);
}

void TEdit::SetPasswordChar(char c)
{
    if (c != 0) {
        auto* style = new PasswordCharStyle(c);
        style->setParent(this);
        setStyle(style);
    }
    setEchoMode(c == 0 ? QLineEdit::Normal : QLineEdit::Password);
}

int TEdit::SelStart() const
{
    return hasSelectedText() ? selectionStart() : cursorPosition();
}

void TEdit::SetSelStart(int position)
{
    deselect();
    setCursorPosition(std::clamp(position, 0, static_cast<int>(text().size())));
}

int TEdit::SelLength() const
{
    return hasSelectedText() ? static_cast<int>(selectedText().size()) : 0;
}

void TEdit::SetSelLength(int length)
{
    const int start = SelStart();
    if (length <= 0)
        deselect();
    else
        setSelection(start, length);
}

void TEdit::ApplyColors()
{
    PaintInput(*this, Color(), FontColor());
}

} // namespace ui
