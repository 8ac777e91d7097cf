#include "platform/ui/FocusColors.h"

#include "platform/ui/ComboBox.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Form.h"
#include "platform/ui/Memo.h"

#include <QWidget>

namespace ui {

namespace {

bool ReadOnlyInput(TControl& control)
{
    if (auto* edit = dynamic_cast<TEdit*>(&control))
        return edit->ReadOnly();
    if (auto* memo = dynamic_cast<TCustomMemo*>(&control))
        return memo->ReadOnly();
    if (auto* combo = dynamic_cast<TComboBox*>(&control))
        return combo->ReadOnly();
    return false;
}

void Hook(TControl& control)
{
    control.AddFocusHook([](TControl& c, bool entered) {
        if (entered)
            PaintFocused(c);
        else
            PaintUnfocused(c);
    });
}

} // namespace

// A required field marked as missing keeps its red until the user comes back to it.
const char* const kMissing = "lendarMissing";

bool Missing(const TControl& control)
{
    return control.Widget().property(kMissing).toBool();
}

void PaintFocused(TControl& control)
{
    control.Widget().setProperty(kMissing, false);
    if (ReadOnlyInput(control))
        return;
    control.SetColor(clInfoBk);
    control.SetFontColor(clBlue);
}

void PaintUnfocused(TControl& control)
{
    if (auto* combo = dynamic_cast<TComboBox*>(&control))
        combo->SetSelLength(0);
    if (ReadOnlyInput(control) || Missing(control))
        return;
    control.SetColor(clWhite);
    control.SetFontColor(clBlack);
}

void MarkMissing(TControl& control)
{
    control.SetFocus();
    control.Widget().setProperty(kMissing, true);
    control.SetColor(clRed);
}

void EnableFocusColors(std::initializer_list<TControl*> controls)
{
    for (TControl* control : controls)
        if (control != nullptr)
            Hook(*control);
}

void EnableFocusColors(TForm& form)
{
    for (QWidget* widget : form.findChildren<QWidget*>()) {
        TControl* control = TControl::FromWidget(widget);
        if (control == nullptr || &control->Widget() != widget)
            continue;
        if (dynamic_cast<TEdit*>(control) || dynamic_cast<TCustomMemo*>(control) || dynamic_cast<TComboBox*>(control))
            Hook(*control);
    }
}

} // namespace ui
