#include "platform/ui/BusyLabel.h"

#include "platform/ui/Control.h"
#include "platform/ui/Label.h"

#include <QWidget>

namespace ui {

void ShowBusy(TControl& tabSet, TLabel& busyLabel)
{
    tabSet.Hide();
    busyLabel.Show();
    busyLabel.raise();
    // Painted now: the command that follows keeps the event loop busy.
    busyLabel.Widget().window()->repaint();
    busyLabel.Repaint();
}

void HideBusy(TControl& tabSet)
{
    tabSet.Show();
}

BusyScope::BusyScope(TControl& tabSet, TLabel& busyLabel) : tabSet_(tabSet)
{
    ShowBusy(tabSet, busyLabel);
}

BusyScope::~BusyScope()
{
    HideBusy(tabSet_);
}

} // namespace ui
