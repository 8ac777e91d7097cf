#include "platform/ui/Menu.h"

#include "platform/ui/Application.h"
#include "platform/ui/Control.h"
#include "platform/ui/Form.h"
#include "platform/ui/Text.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>

#include <algorithm>

namespace ui {

TMenuItem::TMenuItem(QWidget* container) : container_(container)
{
    detail::Parent(nullptr);
}

TMenuItem::TMenuItem(TMenuItem* parent, const std::string& caption, const std::string& shortCut)
    : caption_(caption), shortCut_(shortCut), parent_(parent)
{
    detail::Parent(nullptr);
    // A separator carries no text: menus would show a separator's text as a section heading.
    action_ = new QAction(caption == "-" ? QString() : Q(caption));
    if (caption == "-")
        action_->setSeparator(true);
    if (!shortCut.empty())
        action_->setShortcut(QKeySequence(Q(shortCut)));
    connect(action_, &QAction::triggered, this, [this] { Chosen(); });
    if (parent_ != nullptr) {
        parent_->children_.push_back(this);
        parent_->Container()->addAction(action_);
    }
}

QWidget* TMenuItem::Container()
{
    if (container_ == nullptr) {
        submenu_ = new QMenu(Q(caption_));
        if (action_ != nullptr)
            action_->setMenu(submenu_);
        container_ = submenu_;
    }
    return container_;
}

TMenuItem::~TMenuItem()
{
    if (parent_ != nullptr) {
        std::erase(parent_->children_, this);
        if (parent_->container_ != nullptr)
            parent_->container_->removeAction(action_);
    }
    for (TMenuItem* child : children_)
        child->parent_ = nullptr;
    delete action_;
    delete submenu_;
}

void TMenuItem::SetCaption(const std::string& caption)
{
    caption_ = caption;
    if (action_ != nullptr && !action_->isSeparator())
        action_->setText(Q(caption));
    if (submenu_ != nullptr)
        submenu_->setTitle(Q(caption));
}

bool TMenuItem::Enabled() const
{
    return action_ == nullptr || action_->isEnabled();
}

void TMenuItem::SetEnabled(bool on)
{
    if (action_ != nullptr)
        action_->setEnabled(on);
}

bool TMenuItem::Visible() const
{
    return action_ == nullptr || action_->isVisible();
}

void TMenuItem::SetVisible(bool on)
{
    if (action_ != nullptr)
        action_->setVisible(on);
}

void TMenuItem::SetShortCut(const std::string& shortCut)
{
    shortCut_ = shortCut;
    if (action_ != nullptr)
        action_->setShortcut(QKeySequence(Q(shortCut)));
}

void TMenuItem::Click()
{
    if (OnClick)
        OnClick(this);
}

void TMenuItem::Chosen()
{
    Application.RunHandler([this] { Click(); });
}

TMainMenu::TMainMenu(TForm& form) : form_(&form), bar_(new QMenuBar()), root_(bar_)
{
    form.SetMenuBar(bar_);
    // Shortcuts are offered to the focused control first, and an edit takes Ctrl+X, Ctrl+Z,
    // Ctrl+A... for itself; the window's menu shortcuts come first, as the program expects.
    QApplication::instance()->installEventFilter(this);
}

QAction* TMainMenu::FindShortcut(const QKeySequence& keys, const TMenuItem& item)
{
    for (const TMenuItem* child : item.Items()) {
        QAction* action = child->action_;
        if (action == nullptr || !action->isEnabled() || !action->isVisible())
            continue;
        if (action->shortcut() == keys)
            return action;
        if (QAction* found = FindShortcut(keys, *child))
            return found;
    }
    return nullptr;
}

bool TMainMenu::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::ShortcutOverride || !watched->isWidgetType())
        return false;
    const auto* widget = static_cast<QWidget*>(watched);
    if (widget->window() != form_)
        return false;
    const QKeySequence keys(static_cast<QKeyEvent*>(event)->keyCombination());
    if (FindShortcut(keys, root_) == nullptr)
        return false;
    // The pop-up menu of the focused control, or of a control around it, comes first; two
    // actions answering the same keys would otherwise both be refused as ambiguous.
    for (const QWidget* w = widget; w != nullptr && w != form_; w = w->parentWidget()) {
        const TControl* control = TControl::FromWidget(w);
        if (control == nullptr || control->PopupMenu() == nullptr)
            continue;
        if (QAction* action = FindShortcut(keys, control->PopupMenu()->Items())) {
            action->trigger();
            event->accept(); // taken: no shortcut runs, and the control ignores the key
            return true;
        }
    }
    // Not accepted: the control does not override it, and the menu's shortcut runs.
    event->ignore();
    return true;
}

TMainMenu::~TMainMenu() = default;

TPopupMenu::TPopupMenu(QObject* parent)
    : QObject(parent), menu_((detail::Parent(nullptr), std::make_unique<QMenu>())), root_(menu_.get())
{
}

TPopupMenu::~TPopupMenu() = default;

void TPopupMenu::Popup(int x, int y)
{
    menu_->popup(QPoint(x, y));
}

} // namespace ui
