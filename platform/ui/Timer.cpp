#include "platform/ui/Timer.h"

#include "platform/ui/Application.h"
#include "platform/ui/Control.h"

namespace ui {

TTimer::TTimer(QObject* parent) : QObject(parent)
{
    detail::Parent(nullptr);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, [this] { Tick(); });
    Restart();
}

void TTimer::SetEnabled(bool on)
{
    enabled_ = on;
    Restart();
}

void TTimer::SetInterval(int milliseconds)
{
    interval_ = milliseconds < 0 ? 0 : milliseconds;
    Restart();
}

void TTimer::Restart()
{
    timer_.stop();
    if (enabled_ && interval_ > 0)
        timer_.start(interval_);
}

void TTimer::Tick()
{
    if (!enabled_ || !OnTimer || running_)
        return;
    running_ = true;
    Application.RunHandler([this] { OnTimer(this); });
    running_ = false;
}

} // namespace ui
