#include "platform/ui/CheckBox.h"

#include "platform/ui/Application.h"
#include "platform/ui/Text.h"

#include <QSignalBlocker>

namespace ui {

TCheckBox::TCheckBox(QWidget* parent, const std::string& caption)
    : QCheckBox(detail::Parent(parent)), TControl(static_cast<QWidget&>(*this))
{
    setText(Q(caption));
    // clicked: toggled by the user (mouse or space bar); code changes run OnClick from SetChecked.
    connect(this, &QCheckBox::clicked, this, [this] {
        if (OnClick)
            Application.RunHandler([this] { OnClick(this); });
    });
}

void TCheckBox::SetChecked(bool checked)
{
    if (checked == isChecked())
        return;
    {
        const QSignalBlocker block(this);
        setChecked(checked);
    }
    if (OnClick)
        OnClick(this);
}

std::string TCheckBox::Caption() const
{
    return S(text());
}

void TCheckBox::SetCaption(const std::string& caption)
{
    setText(Q(caption));
}

} // namespace ui
