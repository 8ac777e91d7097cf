#include "platform/ui/Form.h"

#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/ColorUtil.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Text.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QAction>
#include <QMenuBar>
#include <QScreen>

namespace ui {

namespace {
bool FixedBorder(TFormBorderStyle style)
{
    return style != TFormBorderStyle::bsSizeable;
}
} // namespace

TForm::TForm(const std::string& name, QWidget* parent)
    : QWidget(detail::Parent(parent), Qt::Window), TControl(static_cast<QWidget&>(*this))
{
    Name = name;
    setObjectName(Q(name));
    SetColor(clBtnFace);
    setFocusPolicy(Qt::NoFocus);
}

TForm::~TForm()
{
    if (Application.MainForm == this)
        Application.MainForm = nullptr;
}

std::string TForm::Caption() const
{
    return S(windowTitle());
}

void TForm::SetCaption(const std::string& caption)
{
    setWindowTitle(Q(caption));
}

int TForm::ClientWidth() const
{
    return width();
}

int TForm::ClientHeight() const
{
    return height() - menuHeight_;
}

void TForm::SetClientSize(int width, int height)
{
    clientWidth_ = width;
    clientHeight_ = height;
    if (FixedBorder(borderStyle_))
        setFixedSize(width, height + menuHeight_);
    else
        resize(width, height + menuHeight_);
}

void TForm::SetBorderStyle(TFormBorderStyle style)
{
    const bool wasVisible = isVisible();
    borderStyle_ = style;
    Qt::WindowFlags flags = Qt::Window;
    switch (style) {
    case TFormBorderStyle::bsNone: flags |= Qt::FramelessWindowHint; break;
    case TFormBorderStyle::bsDialog:
    case TFormBorderStyle::bsToolWindow:
        flags = Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
        break;
    case TFormBorderStyle::bsSingle:
        flags |= Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint;
        break;
    case TFormBorderStyle::bsSizeable: break;
    }
    setWindowFlags(flags);
    if (clientWidth_ > 0 || clientHeight_ > 0) {
        if (FixedBorder(style)) {
            setFixedSize(clientWidth_, clientHeight_ + menuHeight_);
        } else {
            setMinimumSize(0, 0);
            setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        }
    }
    if (wasVisible)
        QWidget::show();
}

void TForm::Centre()
{
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    const QRect area = screen->availableGeometry();
    const QSize size = frameGeometry().size();
    move(area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 2);
}

void TForm::Show()
{
    if (isVisible()) {
        if (QGuiApplication::platformName() == QStringLiteral("offscreen")) {
            QApplication::setActiveWindow(this);
        } else {
            raise();
            activateWindow();
        }
        return;
    }
    if (OnShow)
        OnShow(this);
    if (Position != TPosition::poDesigned)
        Centre();
    QWidget::show();
    // Without a window manager (tests) activation is ours to do.
    if (QGuiApplication::platformName() == QStringLiteral("offscreen")) {
        QApplication::setActiveWindow(this);
    } else {
        raise();
        activateWindow();
    }
}

void TForm::Hide()
{
    if (!isVisible())
        return;
    if (OnHide)
        OnHide(this);
    QWidget::hide();
    if (modalLoop_ != nullptr)
        modalLoop_->quit();
}

void TForm::SetVisible(bool visible)
{
    if (visible)
        Show();
    else
        Hide();
}

bool TForm::CloseQuery()
{
    bool canClose = true;
    if (OnCloseQuery)
        OnCloseQuery(this, canClose);
    return canClose;
}

void TForm::Close()
{
    if (modal_) {
        if (modalResult_ == mrNone)
            SetModalResult(mrCancel);
        return;
    }
    if (!CloseQuery())
        return;
    TCloseAction action = TCloseAction::caHide;
    if (OnClose)
        OnClose(this, action);
    if (action == TCloseAction::caNone)
        return;
    if (Application.MainForm == this) {
        Hide();
        Application.Terminate();
        return;
    }
    if (action == TCloseAction::caMinimize)
        showMinimized();
    else
        Hide();
}

TModalResult TForm::ShowModal()
{
    return Dialogs().RunModal(*this);
}

void TForm::SetModalResult(TModalResult result)
{
    modalResult_ = result;
    if (modalLoop_ != nullptr && result != mrNone)
        modalLoop_->quit();
}

void TForm::BeginModal()
{
    modalResult_ = mrNone;
    modal_ = true;
    ownerWindow_ = QApplication::activeWindow() != this ? QApplication::activeWindow() : nullptr;
    ownerFocus_ = ownerWindow_ != nullptr ? QApplication::focusWidget() : nullptr;
    if (isVisible())
        QWidget::hide();
    setWindowModality(Qt::ApplicationModal);
    try {
        Show();
    } catch (...) {
        modal_ = false;
        setWindowModality(Qt::NonModal);
        throw;
    }
}

TModalResult TForm::ExecModal()
{
    BeginModal();
    for (;;) {
        if (modalResult_ == mrNone && isVisible() && !Application.Terminated()) {
            QEventLoop loop;
            modalLoop_ = &loop;
            loop.exec(QEventLoop::DialogExec);
            modalLoop_ = nullptr;
        }
        if (modalResult_ == mrNone)
            modalResult_ = mrCancel; // hidden by code or the program ends
        if (FinishModal())
            break;
    }
    return modalResult_;
}

bool TForm::FinishModal()
{
    const bool mustClose = !isVisible() || Application.Terminated();
    if (!CloseQuery() && !mustClose) {
        modalResult_ = mrNone;
        return false;
    }
    TCloseAction action = TCloseAction::caHide;
    if (OnClose)
        OnClose(this, action);
    if (action == TCloseAction::caNone && !mustClose) {
        modalResult_ = mrNone;
        return false;
    }
    modal_ = false;
    if (isVisible()) {
        if (OnHide)
            OnHide(this);
        QWidget::hide();
    }
    setWindowModality(Qt::NonModal);
    if (ownerWindow_ != nullptr && ownerWindow_->isVisible()) {
        QApplication::setActiveWindow(ownerWindow_);
        if (ownerFocus_ != nullptr && ownerFocus_->window() == ownerWindow_ && ownerFocus_->isVisible())
            ownerFocus_->setFocus(Qt::ActiveWindowFocusReason);
    }
    ownerWindow_ = nullptr;
    ownerFocus_ = nullptr;
    return true;
}

TControl* TForm::ActiveControl() const
{
    QWidget* focus = focusWidget();
    return focus != nullptr ? FromWidget(focus) : nullptr;
}

void TForm::SetActiveControl(TControl* control)
{
    if (control != nullptr)
        control->SetFocus();
}

void TForm::SelectNext(TControl* current, bool forward, bool checkTabStop)
{
    QWidget* start = current != nullptr ? &current->Widget() : static_cast<QWidget*>(this);
    QWidget* w = start;
    for (int guard = 0; guard < 100000; ++guard) {
        w = forward ? w->nextInFocusChain() : w->previousInFocusChain();
        if (w == nullptr || w == start)
            return;
        if (w->window() != this)
            continue;
        TControl* control = FromWidget(w);
        if (control == nullptr || control == current || control == this)
            continue;
        if (!w->isEnabled() || !w->isVisible() || w->focusPolicy() == Qt::NoFocus)
            continue;
        if (checkTabStop && (w->focusPolicy() & Qt::TabFocus) == 0)
            continue;
        w->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
        return;
    }
}

void TForm::SetTabOrder(std::initializer_list<TControl*> controls)
{
    QWidget* previous = nullptr;
    for (TControl* c : controls) {
        if (previous != nullptr)
            QWidget::setTabOrder(previous, &c->Widget());
        previous = &c->Widget();
    }
}

TButton* TForm::DefaultButton() const
{
    for (QWidget* w : findChildren<QWidget*>()) {
        auto* button = dynamic_cast<TButton*>(FromWidget(w));
        if (button != nullptr && button->Default && button->isVisible() && button->isEnabled())
            return button;
    }
    return nullptr;
}

TButton* TForm::CancelButton() const
{
    for (QWidget* w : findChildren<QWidget*>()) {
        auto* button = dynamic_cast<TButton*>(FromWidget(w));
        if (button != nullptr && button->Cancel && button->isVisible() && button->isEnabled())
            return button;
    }
    return nullptr;
}

void TForm::SetMenuBar(QMenuBar* bar)
{
    const int oldHeight = menuHeight_;
    menuBar_ = bar;
    bar->setParent(this);
    // The bar's height as it will be with items (it may have none yet).
    QAction probe(QStringLiteral("X"));
    bar->addAction(&probe);
    menuHeight_ = bar->sizeHint().height();
    bar->removeAction(&probe);
    const int shift = menuHeight_ - oldHeight;
    for (QObject* child : children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (w != nullptr && w != bar && !w->isWindow())
            w->move(w->x(), w->y() + shift);
    }
    bar->setGeometry(0, 0, width(), menuHeight_);
    bar->show();
    if (clientWidth_ > 0 || clientHeight_ > 0)
        SetClientSize(clientWidth_, clientHeight_);
}

void TForm::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (menuBar_ != nullptr)
        menuBar_->setGeometry(0, 0, width(), menuHeight_);
}

void TForm::closeEvent(QCloseEvent* event)
{
    // The close box: the window decides through Close() (OnCloseQuery, OnClose).
    event->ignore();
    Application.RunHandler([this] { Close(); });
}

void TForm::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange) {
        if (isActiveWindow() && OnActivate)
            Application.RunHandler([this] { OnActivate(this); });
        else if (!isActiveWindow() && OnDeactivate)
            Application.RunHandler([this] { OnDeactivate(this); });
    }
}

void TForm::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    if (OnPaint)
        Application.RunHandler([this] { OnPaint(this); });
}

void TForm::ApplyColors()
{
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, ToQColor(Color()));
    palette.setColor(QPalette::WindowText, ToQColor(FontColor()));
    setPalette(palette);
}

} // namespace ui
