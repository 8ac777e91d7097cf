#pragma once
// A progress bar (also used where a gauge showed progress).

#include "platform/ui/Control.h"

#include <QProgressBar>

namespace ui {

class TProgressBar : public QProgressBar, public TControl {
    Q_OBJECT
public:
    explicit TProgressBar(QWidget* parent = nullptr);

    int Min() const { return minimum(); }
    int Max() const { return maximum(); }
    int Position() const { return value(); }
    void SetMin(int min);
    void SetMax(int max); // a maximum below the minimum is taken as the minimum
    // Clamped to Min..Max.
    void SetPosition(int position);
    void StepBy(int delta) { SetPosition(Position() + delta); }
};

using TGauge = TProgressBar;

} // namespace ui
