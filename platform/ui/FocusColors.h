#pragma once
// Focus colours of input fields: an editable input or combo box shows the tooltip background
// (clInfoBk) with pure blue text while focused, and white with black text otherwise; a combo box
// also drops its text selection when left; a read-only input keeps the button-face colour.
//
// Windows either call the two functions from their own Enter/Exit handlers, or enable the
// colours once for a list of controls (or every input of a form); enabling keeps the windows' own
// OnEnter/OnExit handlers working.

#include <initializer_list>

namespace ui {

class TControl;
class TForm;

void PaintFocused(TControl& control);   // entering
void PaintUnfocused(TControl& control); // leaving

// A required field left empty: it takes the focus and turns pure red, and stays red (also when
// another missing field takes the focus) until the user enters it again.
void MarkMissing(TControl& control);

void EnableFocusColors(std::initializer_list<TControl*> controls);
// Every TEdit, TMemo and TComboBox of the window.
void EnableFocusColors(TForm& form);

} // namespace ui
