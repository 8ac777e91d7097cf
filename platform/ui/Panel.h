#pragma once
// Containers: a panel (optionally with a centred caption), a framed group box and a bevel line.
// Controls placed on them pass them as their parent.

#include "platform/ui/Control.h"

#include <QFrame>
#include <QGroupBox>

#include <string>

class QLabel;

namespace ui {

class TPanel : public QFrame, public TControl {
    Q_OBJECT
public:
    explicit TPanel(QWidget* parent = nullptr, const std::string& caption = {});
    std::string Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    enum class TBevelCut { bvNone, bvLowered, bvRaised };
    void SetBevelOuter(TBevelCut cut);

protected:
    void ApplyColors() override;
    void resizeEvent(QResizeEvent* event) override;

private:
    std::string caption_;
    QLabel* captionLabel_ = nullptr;
};

class TGroupBox : public QGroupBox, public TControl {
    Q_OBJECT
public:
    explicit TGroupBox(QWidget* parent = nullptr, const std::string& caption = {});
    std::string Caption() const;
    void SetCaption(const std::string& caption);
};

class TBevel : public QFrame, public TControl {
    Q_OBJECT
public:
    enum class TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine };
    explicit TBevel(QWidget* parent = nullptr, TBevelShape shape = TBevelShape::bsBox);
    void SetShape(TBevelShape shape);
};

} // namespace ui
