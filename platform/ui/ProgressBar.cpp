#include "platform/ui/ProgressBar.h"

#include <algorithm>

namespace ui {

TProgressBar::TProgressBar(QWidget* parent) : QProgressBar(detail::Parent(parent)), TControl(static_cast<QWidget&>(*this))
{
    setRange(0, 100);
    setValue(0);
    setTextVisible(true);
}

void TProgressBar::SetMin(int min)
{
    setRange(min, std::max(min, maximum()));
}

void TProgressBar::SetMax(int max)
{
    setRange(minimum(), std::max(minimum(), max));
}

void TProgressBar::SetPosition(int position)
{
    setValue(std::clamp(position, minimum(), maximum()));
}

} // namespace ui
