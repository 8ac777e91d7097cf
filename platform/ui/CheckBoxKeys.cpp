#include "platform/ui/CheckBoxKeys.h"

namespace ui {

bool TogglesOnPageKey(TCheckBox& box, Word key)
{
    if (key != VK_PRIOR && key != VK_NEXT)
        return false;
    box.SetChecked(!box.Checked());
    return true;
}

} // namespace ui
