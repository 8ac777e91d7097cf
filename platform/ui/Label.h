#pragma once
// Static text. OnClick and the mouse enter/leave events of TControl serve clickable labels.

#include "platform/ui/Control.h"

#include <QLabel>

#include <string>

namespace ui {

class TLabel : public QLabel, public TControl {
    Q_OBJECT
public:
    explicit TLabel(QWidget* parent = nullptr, const std::string& caption = {});

    std::string Caption() const;
    void SetCaption(const std::string& caption);
    void SetAlignment(TAlignment alignment);
    // With AutoSize the label takes the size of its text whenever the caption changes.
    bool AutoSize = true;

    TNotifyEvent OnClick;

protected:
    void ApplyColors() override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace ui
