#pragma once
// Menus: a main menu bar of a form, items with captions, shortcuts, submenus and OnClick, and a
// pop-up menu that a control shows on right click.

#include "platform/ui/Types.h"

#include <QObject>

#include <memory>
#include <string>
#include <vector>

class QAction;
class QKeySequence;
class QMenu;
class QMenuBar;
class QWidget;

namespace ui {

class TForm;

class TMenuItem : public QObject, public TObject {
    Q_OBJECT
public:
    // A caption of "-" makes a separator.
    TMenuItem(TMenuItem* parent, const std::string& caption, const std::string& shortCut = {});
    ~TMenuItem() override;

    std::string Name;
    int Tag = 0;

    std::string Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    bool Enabled() const;
    void SetEnabled(bool on);
    bool Visible() const;
    void SetVisible(bool on);
    // Key sequence in the portable form: "Ctrl+Z", "F1".
    void SetShortCut(const std::string& shortCut);

    const std::vector<TMenuItem*>& Items() const { return children_; }
    QAction* Action() const { return action_; }

    // Chooses the item as the user would.
    void Click();
    TNotifyEvent OnClick;

private:
    friend class TMainMenu;
    friend class TPopupMenu;
    explicit TMenuItem(QWidget* container); // the invisible root of a menu bar or pop-up menu
    QWidget* Container(); // where the children's actions go (made on first use)
    void Chosen();

    std::string caption_;
    std::string shortCut_;
    TMenuItem* parent_ = nullptr;
    std::vector<TMenuItem*> children_;
    QAction* action_ = nullptr;
    QMenu* submenu_ = nullptr;      // owned: the item's own submenu
    QWidget* container_ = nullptr;  // submenu_, or the bar / pop-up of a root
};

// The menu bar of a form: top-level items are TMenuItem(&MainMenu1.Items(), "Soubor").
class TMainMenu : public QObject, public TObject {
    Q_OBJECT
public:
    explicit TMainMenu(TForm& form);
    ~TMainMenu() override;
    TMenuItem& Items() { return root_; }
    QMenuBar& Bar() { return *bar_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The enabled, visible item below `item` that has these keys as its shortcut, or nullptr.
    static QAction* FindShortcut(const QKeySequence& keys, const TMenuItem& item);

    QWidget* form_;
    QMenuBar* bar_;
    TMenuItem root_;
};

class TPopupMenu : public QObject, public TObject {
    Q_OBJECT
public:
    explicit TPopupMenu(QObject* parent = nullptr);
    ~TPopupMenu() override;
    TMenuItem& Items() { return root_; }
    QMenu& Menu() { return *menu_; }
    // Shows the menu at global screen coordinates.
    void Popup(int x, int y);

private:
    std::unique_ptr<QMenu> menu_;
    TMenuItem root_;
};

} // namespace ui
