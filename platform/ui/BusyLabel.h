#pragma once
// The busy label: a long command hides the tab set so that the "Čekejte prosím..." label lying
// beneath it shows, and repaints at once; at the end the tab set is shown again. BusyScope does
// both and shows the tab set again also when the command fails.

namespace ui {

class TControl;
class TLabel;

void ShowBusy(TControl& tabSet, TLabel& busyLabel);
void HideBusy(TControl& tabSet);

class BusyScope {
public:
    BusyScope(TControl& tabSet, TLabel& busyLabel);
    ~BusyScope();
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    TControl& tabSet_;
};

} // namespace ui
