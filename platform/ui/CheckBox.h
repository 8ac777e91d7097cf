#pragma once
// A check box. OnClick runs when the user toggles it AND when code changes its state (only when
// the state really changes).

#include "platform/ui/Control.h"

#include <QCheckBox>

#include <string>

namespace ui {

class TCheckBox : public QCheckBox, public TControl {
    Q_OBJECT
public:
    explicit TCheckBox(QWidget* parent = nullptr, const std::string& caption = {});

    bool Checked() const { return isChecked(); }
    void SetChecked(bool checked);
    std::string Caption() const;
    void SetCaption(const std::string& caption);

    TNotifyEvent OnClick;
};

} // namespace ui
