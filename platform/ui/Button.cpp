#include "platform/ui/Button.h"

#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/Text.h"

#include <QIcon>
#include <QPixmap>

namespace ui {

namespace {
QIcon LoadGlyph(const std::filesystem::path& image)
{
    QPixmap pixmap;
    if (!pixmap.load(QString::fromStdString(image.string())))
        return QIcon();
    return QIcon(pixmap);
}
} // namespace

TButton::TButton(QWidget* parent, const std::string& caption)
    : QPushButton(detail::Parent(parent)), TControl(static_cast<QWidget&>(*this))
{
    setText(Q(caption));
    setAutoDefault(false);
    connect(this, &QPushButton::clicked, this, [this] { UserClicked(); });
}

std::string TButton::Caption() const
{
    return S(text());
}

void TButton::SetCaption(const std::string& caption)
{
    setText(Q(caption));
}

void TButton::SetGlyph(const std::filesystem::path& image)
{
    setIcon(LoadGlyph(image));
}

void TButton::SetGlyph(const QIcon& icon)
{
    setIcon(icon);
}

void TButton::Click()
{
    if (OnClick)
        OnClick(this);
    if (ModalResult != mrNone)
        if (TForm* form = ParentForm(); form != nullptr && form->Modal())
            form->SetModalResult(ModalResult);
}

void TButton::UserClicked()
{
    Application.RunHandler([this] { Click(); });
}

bool TButton::PressOnReturn()
{
    if (!isEnabled())
        return false;
    UserClicked();
    return true;
}

TSpeedButton::TSpeedButton(QWidget* parent, const std::string& caption)
    : QToolButton(detail::Parent(parent)), TControl(static_cast<QWidget&>(*this))
{
    setText(Q(caption));
    setFocusPolicy(Qt::NoFocus);
    setAutoRaise(true);
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    connect(this, &QToolButton::clicked, this, [this] { UserClicked(); });
}

std::string TSpeedButton::Caption() const
{
    return S(text());
}

void TSpeedButton::SetCaption(const std::string& caption)
{
    setText(Q(caption));
}

void TSpeedButton::SetGlyph(const std::filesystem::path& image)
{
    setIcon(LoadGlyph(image));
}

void TSpeedButton::SetGlyph(const QIcon& icon)
{
    setIcon(icon);
}

void TSpeedButton::Click()
{
    if (OnClick)
        OnClick(this);
}

void TSpeedButton::UserClicked()
{
    Application.RunHandler([this] { Click(); });
}

} // namespace ui
