#pragma once
// A timer that runs OnTimer every Interval milliseconds while Enabled. Setting Enabled or the
// interval restarts the count. A handler may switch its own timer off.

#include "platform/ui/Types.h"

#include <QObject>
#include <QTimer>

namespace ui {

class TTimer : public QObject, public TObject {
    Q_OBJECT
public:
    explicit TTimer(QObject* parent = nullptr);

    std::string Name;
    int Tag = 0;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool on);
    int Interval() const { return interval_; }
    void SetInterval(int milliseconds);

    TNotifyEvent OnTimer;

private:
    void Restart();
    void Tick();
    QTimer timer_;
    bool enabled_ = true;
    bool running_ = false; // a tick whose handler waits (a message box) is not re-entered
    int interval_ = 1000;
};

} // namespace ui
