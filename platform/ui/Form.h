#pragma once
// A top-level window. Controls are members of the derived window class, created with the form (or
// a container on it) as parent. The derived constructor runs its own FormCreate (or OnCreate).
//
// Rules kept from the window code's platform:
//  - Show() makes the window visible and runs OnShow (only when it was hidden); Hide() hides it.
//  - Close() asks OnCloseQuery, runs OnClose (Action caHide by default) and hides the window;
//    closing the application's main form ends the program. In a modal window Close() sets
//    ModalResult to mrCancel instead, which ends the modal run.
//  - ShowModal() goes through the dialog service (so tests can script modal windows) and returns
//    the ModalResult; setting ModalResult to anything but mrNone ends the modal run.
//  - KeyPreview: the window sees key events before its controls (see Control.h).

#include "platform/ui/Control.h"

#include <QPointer>
#include <QWidget>

#include <initializer_list>
#include <string>

class QEventLoop;
class QMenuBar;

namespace ui {

class TButton;

enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow };
enum class TPosition { poDesigned, poScreenCenter, poDesktopCenter };

class TForm : public QWidget, public TControl {
    Q_OBJECT
public:
    // The name is the global instance's name ("Form12"); modal scripts and messages use it.
    explicit TForm(const std::string& name, QWidget* parent = nullptr);
    ~TForm() override;

    std::string Caption() const;
    void SetCaption(const std::string& caption);
    int ClientWidth() const;
    int ClientHeight() const;
    void SetClientSize(int width, int height);
    TFormBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle style);
    TPosition Position = TPosition::poScreenCenter; // applied whenever the window is shown

    bool KeyPreview = false;

    void Show();
    void Hide();
    void SetVisible(bool visible) override;
    void Close();
    TModalResult ShowModal();
    TModalResult ModalResult() const { return modalResult_; }
    void SetModalResult(TModalResult result);
    bool Modal() const { return modal_; }

    // The control that has (or will get when the window is active) the focus.
    TControl* ActiveControl() const;
    void SetActiveControl(TControl* control);
    // Moves the focus to the next (or previous) control in tab order that can take it; from nullptr
    // it starts at the first control.
    void SelectNext(TControl* current, bool forward = true, bool checkTabStop = true);
    // Fixes the tab order of the given controls, in this order.
    void SetTabOrder(std::initializer_list<TControl*> controls);

    // The visible, enabled Default / Cancel button of this window, if any.
    TButton* DefaultButton() const;
    TButton* CancelButton() const;

    TNotifyEvent OnCreate, OnShow, OnHide, OnActivate, OnDeactivate, OnPaint, OnDestroy;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;

    // ---- Used by the modal runners of the dialog service. ----
    // Starts a modal run: ModalResult := mrNone, the window is shown (OnShow) and blocks the others.
    void BeginModal();
    // Runs the event loop until ModalResult is set (and OnCloseQuery agrees) or the window hides.
    TModalResult ExecModal();
    // Ends the modal run: OnCloseQuery (false: the run goes on; returns false), OnClose, hide.
    bool FinishModal();

    // Places the menu bar above the client area (called by TMainMenu).
    void SetMenuBar(QMenuBar* bar);
    int ClientTop() const { return menuHeight_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void ApplyColors() override;

private:
    bool CloseQuery();
    void Centre();

    TFormBorderStyle borderStyle_ = TFormBorderStyle::bsSizeable;
    TModalResult modalResult_ = mrNone;
    bool modal_ = false;
    QEventLoop* modalLoop_ = nullptr;
    // The window and control that were active when the window was shown modally; closing it
    // gives them back the focus, as closing a dialog does on the desktop.
    QPointer<QWidget> ownerWindow_;
    QPointer<QWidget> ownerFocus_;
    QMenuBar* menuBar_ = nullptr;
    int menuHeight_ = 0;
    int clientWidth_ = 0;
    int clientHeight_ = 0;
};

} // namespace ui
