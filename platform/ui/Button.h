#pragma once
// Push buttons. Click() presses the button in code exactly as a mouse click does: OnClick runs and,
// in a modal window, a button with a ModalResult sets the window's ModalResult (which closes it).
// Enter on a focused button presses it; a Default button is pressed by Enter anywhere in its
// window, a Cancel button by Escape.

#include "platform/ui/Control.h"

#include <QPushButton>
#include <QToolButton>

#include <filesystem>
#include <string>

namespace ui {

class TButton : public QPushButton, public TControl {
    Q_OBJECT
public:
    explicit TButton(QWidget* parent = nullptr, const std::string& caption = {});

    std::string Caption() const;
    void SetCaption(const std::string& caption);
    // Picture beside the caption; a missing or unreadable file leaves the button without one.
    void SetGlyph(const std::filesystem::path& image);
    void SetGlyph(const QIcon& icon);

    TModalResult ModalResult = mrNone;
    bool Default = false;
    bool Cancel = false;

    void Click();
    TNotifyEvent OnClick;

protected:
    bool PressOnReturn() override;

private:
    void UserClicked();
};

// A button with a picture; the same as TButton.
class TBitBtn : public TButton {
    Q_OBJECT
public:
    using TButton::TButton;
};

// A flat tool-bar button that takes no focus.
class TSpeedButton : public QToolButton, public TControl {
    Q_OBJECT
public:
    explicit TSpeedButton(QWidget* parent = nullptr, const std::string& caption = {});

    std::string Caption() const;
    void SetCaption(const std::string& caption);
    void SetGlyph(const std::filesystem::path& image);
    void SetGlyph(const QIcon& icon);
    bool Flat() const { return autoRaise(); }
    void SetFlat(bool flat) { setAutoRaise(flat); }

    void Click();
    TNotifyEvent OnClick;

private:
    void UserClicked();
};

} // namespace ui
