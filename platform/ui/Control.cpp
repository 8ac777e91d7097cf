#include "platform/ui/Control.h"

#include "platform/data/DataSet.h"

#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/ColorUtil.h"
#include "platform/ui/Form.h"
#include "platform/ui/Menu.h"
#include "platform/ui/Style.h"
#include "platform/ui/Text.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QAction>
#include <QMenu>
#include <QWidget>

#include <algorithm>
#include <stdexcept>
#include <unordered_map>
#include <unordered_set>

namespace ui {

namespace detail {

QWidget* Parent(QWidget* parent)
{
    if (QApplication::instance() == nullptr) {
        // Kept for the life of the process: widgets may outlive any scope that could own it.
        static int argc = 1;
        static char name[] = "Lendar";
        static char* argv[] = {name, nullptr};
        new QApplication(argc, argv);
    }
    // Once per process, also when the program made the application object itself.
    static bool setUp = false;
    if (!setUp) {
        setUp = true;
        ApplyProgramStyle();
        // Errors a dataset hands to the application are shown like any other handler error.
        data::TDataSet::SetApplicationExceptionHandler([](std::exception_ptr error) {
            try {
                std::rethrow_exception(error);
            } catch (const std::exception& e) {
                Application.HandleException(e);
            } catch (...) {
                Application.HandleException(std::runtime_error(""));
            }
        });
    }
    return parent;
}

class ControlEventFilter : public QObject {
public:
    explicit ControlEventFilter(TControl& control) : control_(control) {}
    bool eventFilter(QObject* watched, QEvent* event) override { return control_.HandleEvent(watched, event); }

private:
    TControl& control_;
};

} // namespace detail

namespace {

std::unordered_map<const QWidget*, TControl*>& Registry()
{
    static std::unordered_map<const QWidget*, TControl*> map;
    return map;
}

// The control that last received OnEnter, per top-level window.
std::unordered_map<const QWidget*, TControl*>& EnteredControls()
{
    static std::unordered_map<const QWidget*, TControl*> map;
    return map;
}

std::unordered_set<const TControl*>& LiveControls()
{
    static std::unordered_set<const TControl*> set;
    return set;
}

// Set while a replacement character is being delivered, so the filter lets it through.
bool deliveringReplacement = false;

Word VirtualKey(const QKeyEvent& event)
{
    const int key = event.key();
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return static_cast<Word>('A' + (key - Qt::Key_A));
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return static_cast<Word>('0' + (key - Qt::Key_0));
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12)
        return static_cast<Word>(VK_F1 + (key - Qt::Key_F1));
    switch (key) {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt: return VK_MENU;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    // Punctuation and letters beyond A-Z (Czech letters) have keys too, so a release of any
    // typing key reaches the key-up handlers (number fields put their text right there).
    case Qt::Key_Plus:
    case Qt::Key_Equal: return 0xBB;  // VK_OEM_PLUS
    case Qt::Key_Comma: return 0xBC;  // VK_OEM_COMMA
    case Qt::Key_Minus: return 0xBD;  // VK_OEM_MINUS
    case Qt::Key_Period: return 0xBE; // VK_OEM_PERIOD
    default:
        if (!event.text().isEmpty() && event.text().at(0).isPrint())
            return 0xDF; // VK_OEM_8: any other key that types a character
        return 0;
    }
}

Qt::Key QtKey(Word key)
{
    if (key >= 'A' && key <= 'Z')
        return static_cast<Qt::Key>(Qt::Key_A + (key - 'A'));
    if (key >= '0' && key <= '9')
        return static_cast<Qt::Key>(Qt::Key_0 + (key - '0'));
    if (key >= VK_F1 && key <= VK_F12)
        return static_cast<Qt::Key>(Qt::Key_F1 + (key - VK_F1));
    switch (key) {
    case VK_BACK: return Qt::Key_Backspace;
    case VK_TAB: return Qt::Key_Tab;
    case VK_RETURN: return Qt::Key_Return;
    case VK_ESCAPE: return Qt::Key_Escape;
    case VK_SPACE: return Qt::Key_Space;
    case VK_PRIOR: return Qt::Key_PageUp;
    case VK_NEXT: return Qt::Key_PageDown;
    case VK_END: return Qt::Key_End;
    case VK_HOME: return Qt::Key_Home;
    case VK_LEFT: return Qt::Key_Left;
    case VK_UP: return Qt::Key_Up;
    case VK_RIGHT: return Qt::Key_Right;
    case VK_DOWN: return Qt::Key_Down;
    case VK_INSERT: return Qt::Key_Insert;
    case VK_DELETE: return Qt::Key_Delete;
    default: return Qt::Key_unknown;
    }
}

TShiftState Shift(Qt::KeyboardModifiers modifiers)
{
    TShiftState s = 0;
    if (modifiers & Qt::ShiftModifier)
        s |= ssShift;
    if (modifiers & Qt::AltModifier)
        s |= ssAlt;
    if (modifiers & Qt::ControlModifier)
        s |= ssCtrl;
    return s;
}

// The character a key event types, when the window code can see it (ASCII, not Tab).
bool TypedChar(const QKeyEvent& event, char& out)
{
    const QString text = event.text();
    if (text.size() != 1)
        return false;
    const char16_t c = text.at(0).unicode();
    if (c >= 128 || c == u'\t')
        return false;
    out = static_cast<char>(c);
    return true;
}

bool FocusReasonCounts(Qt::FocusReason reason)
{
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

} // namespace

TControl::TControl(QWidget& widget) : widget_(&widget), filter_(std::make_unique<detail::ControlEventFilter>(*this))
{
    Registry()[widget_] = this;
    LiveControls().insert(this);
    widget_->installEventFilter(filter_.get());
    // Controls are visible unless hidden, also when made after their window was shown.
    if (!widget_->isWindow() && widget_->parentWidget() != nullptr && widget_->parentWidget()->isVisible())
        widget_->show();
}

bool TControl::IsAlive(const TControl* control)
{
    return LiveControls().count(control) != 0;
}

TControl::~TControl()
{
    LiveControls().erase(this);
    auto& registry = Registry();
    for (auto it = registry.begin(); it != registry.end();)
        it = it->second == this ? registry.erase(it) : std::next(it);
    auto& entered = EnteredControls();
    for (auto it = entered.begin(); it != entered.end();)
        it = it->second == this ? entered.erase(it) : std::next(it);
}

TControl* TControl::FromWidget(const QWidget* widget)
{
    auto& registry = Registry();
    auto it = registry.find(widget);
    return it == registry.end() ? nullptr : it->second;
}

void TControl::AddInnerWidget(QWidget& inner)
{
    if (std::find(inner_.begin(), inner_.end(), &inner) != inner_.end())
        return;
    inner_.push_back(&inner);
    Registry()[&inner] = this;
    inner.installEventFilter(filter_.get());
    QObject::connect(&inner, &QObject::destroyed, filter_.get(), [this, gone = &inner] {
        std::erase(inner_, gone);
        Registry().erase(gone);
    });
}

bool TControl::Visible() const
{
    if (widget_->isWindow())
        return widget_->isVisible();
    return widget_->isVisibleTo(widget_->parentWidget());
}

void TControl::SetVisible(bool visible)
{
    widget_->setVisible(visible);
}

bool TControl::Enabled() const
{
    return widget_->isEnabled();
}

void TControl::SetEnabled(bool enabled)
{
    widget_->setEnabled(enabled);
}

bool TControl::Focused() const
{
    const QWidget* focus = QApplication::focusWidget();
    if (focus == nullptr)
        return false;
    if (focus == widget_)
        return true;
    return std::find(inner_.begin(), inner_.end(), focus) != inner_.end();
}

bool TControl::CanFocus() const
{
    return widget_->isEnabled() && widget_->isVisible() && widget_->focusPolicy() != Qt::NoFocus;
}

void TControl::SetFocus()
{
    QWidget* window = widget_->window();
    if (!widget_->isEnabled() || !widget_->isVisibleTo(window) || widget_->focusPolicy() == Qt::NoFocus)
        return;
    widget_->setFocus(Qt::OtherFocusReason);
}

bool TControl::TabStop() const
{
    return (widget_->focusPolicy() & Qt::TabFocus) != 0;
}

void TControl::SetTabStop(bool on)
{
    if (on)
        widget_->setFocusPolicy(Qt::StrongFocus);
    else if (widget_->focusPolicy() != Qt::NoFocus)
        widget_->setFocusPolicy(Qt::ClickFocus);
}

namespace {
int ClientOffset(const QWidget& widget)
{
    if (auto* form = dynamic_cast<const TForm*>(widget.parentWidget()))
        return form->ClientTop();
    return 0;
}
} // namespace

int TControl::Left() const { return widget_->x(); }
int TControl::Top() const { return widget_->y() - ClientOffset(*widget_); }
int TControl::Width() const { return widget_->width(); }
int TControl::Height() const { return widget_->height(); }
void TControl::SetLeft(int left) { widget_->move(left, widget_->y()); }
void TControl::SetTop(int top) { widget_->move(widget_->x(), top + ClientOffset(*widget_)); }
void TControl::SetWidth(int width) { widget_->resize(width, widget_->height()); }
void TControl::SetHeight(int height) { widget_->resize(widget_->width(), height); }

void TControl::SetBounds(int left, int top, int width, int height)
{
    widget_->setGeometry(left, top + ClientOffset(*widget_), width, height);
}

std::string TControl::Hint() const
{
    return S(widget_->toolTip());
}

void TControl::SetHint(const std::string& hint)
{
    widget_->setToolTip(Q(hint));
}

void TControl::SetColor(TColor color)
{
    color_ = color;
    ApplyColors();
}

void TControl::SetFontColor(TColor color)
{
    fontColor_ = color;
    ApplyColors();
}

void TControl::ApplyColors()
{
    QPalette palette = widget_->palette();
    palette.setColor(QPalette::Window, ToQColor(color_));
    palette.setColor(QPalette::WindowText, ToQColor(fontColor_));
    widget_->setPalette(palette);
    widget_->setAutoFillBackground(true);
}

void TControl::SetFontBold(bool bold)
{
    QFont font = widget_->font();
    font.setBold(bold);
    widget_->setFont(font);
}

void TControl::SetFontUnderline(bool underline)
{
    QFont font = widget_->font();
    font.setUnderline(underline);
    widget_->setFont(font);
}

void TControl::SetFontSize(int pixels)
{
    QFont font = widget_->font();
    font.setPixelSize(pixels);
    widget_->setFont(font);
}

void TControl::SetFontName(const std::string& family)
{
    QFont font = widget_->font();
    font.setFamily(Q(family));
    widget_->setFont(font);
}

void TControl::Repaint()
{
    widget_->repaint();
}

void TControl::Update()
{
    widget_->update();
}

TForm* TControl::ParentForm() const
{
    return dynamic_cast<TForm*>(widget_->window());
}

void TControl::SetPopupMenu(TPopupMenu* menu)
{
    popup_ = menu;
    if (menu == nullptr)
        return;
    // The menu's shortcuts work, also with the menu closed, while the control (or a control inside
    // it) has the focus; there they come before the window's main menu (see TMainMenu).
    std::vector<QMenu*> pending{&menu->Menu()};
    while (!pending.empty()) {
        QMenu* m = pending.back();
        pending.pop_back();
        for (QAction* action : m->actions()) {
            if (!action->shortcut().isEmpty()) {
                action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
                widget_->addAction(action);
            }
            if (action->menu() != nullptr)
                pending.push_back(action->menu());
        }
    }
}

int TControl::AddKeyPressHook(TKeyPressEvent hook)
{
    const int id = nextHookId_++;
    hooks_.emplace_back(id, std::move(hook));
    return id;
}

int TControl::AddKeyDownHook(TKeyEvent hook)
{
    const int id = nextHookId_++;
    keyDownHooks_.emplace_back(id, std::move(hook));
    return id;
}

int TControl::AddKeyUpHook(TKeyEvent hook)
{
    const int id = nextHookId_++;
    keyUpHooks_.emplace_back(id, std::move(hook));
    return id;
}

int TControl::AddFocusHook(std::function<void(TControl&, bool)> hook)
{
    const int id = nextHookId_++;
    focusHooks_.emplace_back(id, std::move(hook));
    return id;
}

void TControl::RemoveHook(int id)
{
    auto byId = [id](const auto& h) { return h.first == id; };
    std::erase_if(hooks_, byId);
    std::erase_if(keyDownHooks_, byId);
    std::erase_if(keyUpHooks_, byId);
    std::erase_if(focusHooks_, byId);
}

bool TControl::RouteKeyDown(Word& key, TShiftState shift)
{
    TForm* form = ParentForm();
    const bool isForm = static_cast<TControl*>(form) == this;
    if (form != nullptr && form->KeyPreview && !isForm && form->OnKeyDown) {
        if (!Application.RunHandler([&] { form->OnKeyDown(form, key, shift); }))
            return true;
        if (key == 0)
            return true;
    }
    if (OnKeyDown) {
        if (!Application.RunHandler([&] { OnKeyDown(this, key, shift); }))
            return true;
        if (key == 0)
            return true;
    }
    const auto downHooks = keyDownHooks_;
    for (const auto& hook : downHooks) {
        if (!Application.RunHandler([&] { hook.second(this, key, shift); }) || key == 0)
            return true;
    }
    if (key == VK_RETURN && (shift & (ssAlt | ssCtrl)) == 0) {
        if (PressOnReturn())
            return true;
        if (!WantsReturn() && form != nullptr) {
            if (TButton* button = form->DefaultButton()) {
                Application.RunHandler([button] { button->Click(); });
                return true;
            }
        }
    }
    if (key == VK_ESCAPE && form != nullptr) {
        if (TButton* button = form->CancelButton()) {
            Application.RunHandler([button] { button->Click(); });
            return true;
        }
    }
    return false;
}

bool TControl::RouteKeyPress(char& key)
{
    TForm* form = ParentForm();
    const bool isForm = static_cast<TControl*>(form) == this;
    if (form != nullptr && form->KeyPreview && !isForm && form->OnKeyPress) {
        if (!Application.RunHandler([&] { form->OnKeyPress(form, key); }))
            return true;
        if (key == 0)
            return true;
    }
    if (OnKeyPress) {
        if (!Application.RunHandler([&] { OnKeyPress(this, key); }))
            return true;
        if (key == 0)
            return true;
    }
    // Copy: a hook may change the focus and so the hooks of other controls, never its own list.
    const auto hooks = hooks_;
    for (const auto& hook : hooks) {
        if (!Application.RunHandler([&] { hook.second(this, key); }))
            return true;
        if (key == 0)
            return true;
    }
    return false;
}

void TControl::RouteKeyUp(Word& key, TShiftState shift)
{
    TForm* form = ParentForm();
    const bool isForm = static_cast<TControl*>(form) == this;
    if (form != nullptr && form->KeyPreview && !isForm && form->OnKeyUp) {
        if (!Application.RunHandler([&] { form->OnKeyUp(form, key, shift); }) || key == 0)
            return;
    }
    if (OnKeyUp && (!Application.RunHandler([&] { OnKeyUp(this, key, shift); }) || key == 0))
        return;
    const auto upHooks = keyUpHooks_;
    for (const auto& hook : upHooks)
        if (!Application.RunHandler([&] { hook.second(this, key, shift); }) || key == 0)
            return;
}

void TControl::FocusEntered()
{
    if (entered_)
        return;
    const QWidget* window = widget_->window();
    auto& map = EnteredControls();
    TControl* previous = map.count(window) ? map[window] : nullptr;
    map[window] = this;
    if (previous != nullptr && previous != this)
        previous->FocusLeft();
    entered_ = true;
    const auto focusHooks = focusHooks_;
    for (const auto& hook : focusHooks)
        Application.RunHandler([&] { hook.second(*this, true); });
    if (OnEnter)
        Application.RunHandler([this] { OnEnter(this); });
}

void TControl::FocusLeft()
{
    if (!entered_)
        return;
    entered_ = false;
    auto& map = EnteredControls();
    auto it = map.find(widget_->window());
    if (it != map.end() && it->second == this)
        map.erase(it);
    const auto focusHooks = focusHooks_;
    for (const auto& hook : focusHooks)
        Application.RunHandler([&] { hook.second(*this, false); });
    if (OnExit)
        Application.RunHandler([this] { OnExit(this); });
}

bool TControl::HandleEvent(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        if (deliveringReplacement)
            return false;
        auto* keyEvent = static_cast<QKeyEvent*>(event);
        if (auto* form = dynamic_cast<TForm*>(this); form != nullptr && watched == widget_ && KeyFromControl())
            return form->KeyPreview ? false : BubbledKeyPress(*keyEvent);
        Word key = VirtualKey(*keyEvent);
        const TShiftState shift = Shift(keyEvent->modifiers());
        if (key != 0 && RouteKeyDown(key, shift))
            return true;
        char c = 0;
        if (!TypedChar(*keyEvent, c))
            return false;
        const char typed = c;
        if (RouteKeyPress(c))
            return true;
        if (c != typed) {
            // A handler replaced the character: deliver the replacement instead.
            QKeyEvent replacement(QEvent::KeyPress, Qt::Key_unknown, keyEvent->modifiers(),
                                  QString(QChar(static_cast<char16_t>(static_cast<unsigned char>(c)))));
            deliveringReplacement = true;
            QApplication::sendEvent(watched, &replacement);
            deliveringReplacement = false;
            return true;
        }
        return false;
    }
    case QEvent::KeyRelease: {
        auto* keyEvent = static_cast<QKeyEvent*>(event);
        if (keyEvent->isAutoRepeat())
            return false;
        Word key = VirtualKey(*keyEvent);
        if (key == 0)
            return false;
        if (auto* form = dynamic_cast<TForm*>(this); form != nullptr && watched == widget_ && KeyFromControl()) {
            // A release the control left unused: the window sees it unless it saw it first.
            if (form->KeyPreview || !OnKeyUp)
                return false;
            const TShiftState shift = Shift(keyEvent->modifiers());
            Application.RunHandler([&] { OnKeyUp(this, key, shift); });
            return key == 0;
        }
        RouteKeyUp(key, Shift(keyEvent->modifiers()));
        return key == 0;
    }
    case QEvent::FocusIn:
        if (dynamic_cast<TForm*>(this) == nullptr)
            FocusEntered();
        return false;
    case QEvent::FocusOut: {
        auto* focusEvent = static_cast<QFocusEvent*>(event);
        if (dynamic_cast<TForm*>(this) != nullptr || !FocusReasonCounts(focusEvent->reason()))
            return false;
        // Moving to another control of the same window is handled when that control enters; here
        // only the focus leaving the window's controls altogether.
        QWidget* now = QApplication::focusWidget();
        if (now == nullptr || now->window() != widget_->window() || FromWidget(now) == nullptr)
            FocusLeft();
        return false;
    }
    case QEvent::Enter:
        if (watched == widget_ && OnMouseEnter)
            Application.RunHandler([this] { OnMouseEnter(this); });
        return false;
    case QEvent::Leave:
        if (watched == widget_ && OnMouseLeave)
            Application.RunHandler([this] { OnMouseLeave(this); });
        return false;
    case QEvent::MouseButtonDblClick:
        if (OnDblClick) {
            Application.RunHandler([this] { OnDblClick(this); });
            return true;
        }
        return false;
    case QEvent::ContextMenu:
        if (popup_ != nullptr) {
            auto* menuEvent = static_cast<QContextMenuEvent*>(event);
            popup_->Popup(menuEvent->globalPos().x(), menuEvent->globalPos().y());
            return true;
        }
        return false;
    default:
        return false;
    }
}

bool TControl::KeyFromControl() const
{
    // A key reaching a window while one of its controls has the focus was passed up by that control.
    QWidget* focus = QApplication::focusWidget();
    return focus != nullptr && focus != widget_ && focus->window() == widget_;
}

bool TControl::BubbledKeyPress(QKeyEvent& event)
{
    Word key = VirtualKey(event);
    const TShiftState shift = Shift(event.modifiers());
    if (key != 0 && OnKeyDown) {
        if (!Application.RunHandler([&] { OnKeyDown(this, key, shift); }) || key == 0)
            return true;
    }
    char c = 0;
    if (!TypedChar(event, c) || !OnKeyPress)
        return false;
    return !Application.RunHandler([&] { OnKeyPress(this, c); }) || c == 0;
}

void TControl::SimulateKey(Word key, char character, TShiftState shift)
{
    Qt::KeyboardModifiers modifiers;
    if (shift & ssShift)
        modifiers |= Qt::ShiftModifier;
    if (shift & ssAlt)
        modifiers |= Qt::AltModifier;
    if (shift & ssCtrl)
        modifiers |= Qt::ControlModifier;
    QString text;
    if (character != 0)
        text = QString(QChar(static_cast<char16_t>(static_cast<unsigned char>(character))));
    QWidget* target = widget_;
    if (QWidget* focus = QApplication::focusWidget(); focus != nullptr && FromWidget(focus) == this)
        target = focus;
    QKeyEvent press(QEvent::KeyPress, QtKey(key), modifiers, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, QtKey(key), modifiers, text);
    QApplication::sendEvent(target, &release);
}

} // namespace ui
