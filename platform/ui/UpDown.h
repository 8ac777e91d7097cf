#pragma once
// Up-down arrows that step a number, optionally shown in an associated edit. When the user steps
// it, the new position is written into the associate first (its OnChange runs), then OnChanging
// runs (AllowChange = false puts the old position back), then OnClick. Code setting Position
// writes the associate's text but runs no up-down handler.

#include "platform/ui/Control.h"

#include <QWidget>

class QToolButton;

namespace ui {

class TEdit;

enum class TUDBtnType { btNext, btPrev };

class TUpDown : public QWidget, public TControl {
    Q_OBJECT
public:
    explicit TUpDown(QWidget* parent = nullptr);

    int Min() const { return min_; }
    int Max() const { return max_; }
    void SetMin(int min);
    void SetMax(int max);
    int Increment = 1;
    bool Wrap = false;

    int Position() const { return position_; }
    void SetPosition(int position); // clamped to Min..Max

    // The edit that shows the position; the arrows are placed at its right edge.
    TEdit* Associate() const { return associate_; }
    void SetAssociate(TEdit* edit);

    // Steps as if the user clicked an arrow.
    void ClickButton(TUDBtnType button);

    std::function<void(TObject* Sender, bool& AllowChange)> OnChanging;
    std::function<void(TObject* Sender, TUDBtnType Button)> OnClick;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void ShowPosition();
    int min_ = 0;
    int max_ = 100;
    int position_ = 0;
    TEdit* associate_ = nullptr;
    QToolButton* up_;
    QToolButton* down_;
};

} // namespace ui
