#include "platform/ui/BusyLabel.h"

#include "platform/ui/Control.h"
#include "platform/ui/Label.h"

#include <QWidget>

namespace ui {

void ShowBusy(TControl& tabSet, TLabel& busyLabel)
{
    // The label lies beneath the tab set: hiding the tab set uncovers it. Raising it would leave
    // it painted over the tab set once that is shown again.
    tabSet.Hide();
    busyLabel.Show();
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
