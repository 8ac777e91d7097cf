#pragma once
// The common part of every control: name, tag, position, visibility, focus, colours and the key and
// focus events with the rules the window code expects:
//  - key down: a form with KeyPreview sees the key first, then the control; Key = 0 stops it;
//  - Enter on a focused button presses it; otherwise Enter presses the form's Default button and
//    Escape its Cancel button, when there is one;
//  - key press (a typed character): the KeyPreview form first, then the control's OnKeyPress, then
//    helpers such as Enter chains; Key = 0 consumes the character;
//  - key up: the KeyPreview form first, then the control;
//  - a window without KeyPreview sees the keys its focused control leaves unused (Enter in an
//    edit, for example), after the control;
//  - OnEnter/OnExit when the focus moves between controls (not when another window is activated).
// A control is a Qt widget (the first base of each concrete class) plus this mix-in. Controls are
// members of their window, declared after the container they are placed on.

#include "platform/ui/Types.h"

#include <memory>
#include <string>
#include <vector>

class QWidget;
class QObject;
class QEvent;
class QKeyEvent;

namespace ui {

class TForm;
class TPopupMenu;

namespace detail {
class ControlEventFilter;
// Makes sure a QApplication exists (tests and the program may create controls before anything
// else) and hands back the parent unchanged; every control constructor passes its parent through.
QWidget* Parent(QWidget* parent);
} // namespace detail

class TControl : public TObject {
public:
    explicit TControl(QWidget& widget);
    ~TControl() override;

    QWidget& Widget() const { return *widget_; }
    // The control that owns a Qt widget (also the inner line edit of a combo box), or nullptr.
    static TControl* FromWidget(const QWidget* widget);

    std::string Name;
    int Tag = 0;

    bool Visible() const;
    virtual void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    bool Enabled() const;
    void SetEnabled(bool enabled);

    // Focus. CanFocus: visible, enabled and in a shown window. SetFocus on a control that cannot
    // take the focus does nothing.
    bool Focused() const;
    bool CanFocus() const;
    void SetFocus();
    bool TabStop() const;
    void SetTabStop(bool on);

    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void SetLeft(int left);
    void SetTop(int top);
    void SetWidth(int width);
    void SetHeight(int height);
    void SetBounds(int left, int top, int width, int height);

    std::string Hint() const;
    void SetHint(const std::string& hint);

    // Background and text colour; clWindow/clBtnFace/clInfoBk follow the palette.
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    TColor FontColor() const { return fontColor_; }
    void SetFontColor(TColor color);
    void SetFontBold(bool bold);
    void SetFontUnderline(bool underline);
    void SetFontSize(int pixels);
    void SetFontName(const std::string& family);

    void Repaint(); // paints at once
    void Update();
    TForm* ParentForm() const;
    void SetPopupMenu(TPopupMenu* menu);
    TPopupMenu* PopupMenu() const { return popup_; }

    TNotifyEvent OnEnter, OnExit;
    TKeyEvent OnKeyDown, OnKeyUp;
    TKeyPressEvent OnKeyPress;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnMouseEnter, OnMouseLeave;

    // Helpers (Enter chains, number fields, focus colours) add handlers of their own that run
    // after the control's OnKeyPress / OnKeyDown / OnKeyUp and before OnEnter / OnExit, so the
    // window's handlers stay as they are. The returned id removes one again.
    int AddKeyPressHook(TKeyPressEvent hook);
    int AddKeyDownHook(TKeyEvent hook);
    int AddKeyUpHook(TKeyEvent hook);
    int AddFocusHook(std::function<void(TControl& control, bool entered)> hook);
    void RemoveKeyPressHook(int id) { RemoveHook(id); }
    void RemoveHook(int id);
    // Whether a control still exists (helpers that outlive their controls check before unhooking).
    static bool IsAlive(const TControl* control);

    // Runs the key rules above as if the user pressed and released the key (used by tests and by
    // code that forwards keys).
    void SimulateKey(Word key, char character = 0, TShiftState shift = 0);

protected:
    // A widget inside the control that takes focus and keys on its behalf (a combo box's editor).
    void AddInnerWidget(QWidget& inner);
    // Whether Enter belongs to the control itself (a multi-line memo) rather than to the window's
    // default button.
    virtual bool WantsReturn() const { return false; }
    // A button presses itself on Enter.
    virtual bool PressOnReturn() { return false; }
    // Resolves a TColor (system colours through the palette) and applies it; concrete controls
    // choose which palette roles carry background and text.
    virtual void ApplyColors();

private:
    friend class detail::ControlEventFilter;
    friend class TForm;
    bool HandleEvent(QObject* watched, QEvent* event);
    bool KeyFromControl() const;
    bool BubbledKeyPress(QKeyEvent& event);
    bool RouteKeyDown(Word& key, TShiftState shift);
    bool RouteKeyPress(char& key);
    void RouteKeyUp(Word& key, TShiftState shift);
    void FocusEntered();
    void FocusLeft();

    QWidget* widget_;
    std::unique_ptr<detail::ControlEventFilter> filter_;
    std::vector<QWidget*> inner_;
    std::vector<std::pair<int, TKeyPressEvent>> hooks_;
    std::vector<std::pair<int, TKeyEvent>> keyDownHooks_;
    std::vector<std::pair<int, TKeyEvent>> keyUpHooks_;
    std::vector<std::pair<int, std::function<void(TControl&, bool)>>> focusHooks_;
    int nextHookId_ = 1;
    bool entered_ = false;
    TColor color_ = clWindow;
    TColor fontColor_ = clWindowText;
    TPopupMenu* popup_ = nullptr;
};

} // namespace ui
