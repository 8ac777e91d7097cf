#pragma once
// The key rule the main window's check boxes share: Page Up or Page Down released on a box
// inverts it, which runs its click handler exactly as a mouse click would. Other keys do nothing.

#include "platform/ui/CheckBox.h"
#include "platform/ui/Types.h"

namespace ui {

// Applies the rule for one released key; answers whether the box was inverted. A window's
// CheckBoxNKeyUp handler calls it with its own box.
bool TogglesOnPageKey(TCheckBox& box, Word key);

} // namespace ui
