#pragma once
// What the add-reader and edit-reader dialogs share: their class and category pick lists over the
// main window's code lists, the rebuild of the readers list after a save, and the care of the
// readers table around a failed or abandoned change.

#include "platform/data/DataSet.h"
#include "platform/ui/Button.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Label.h"

#include <utility>
#include <vector>

#include <string>

namespace readers {

// Empties the list and adds every Nazev of the code list, from its first record to its end; a
// sorted list sorts them itself. Nothing is selected afterwards.
void FillFromCodeList(ui::TComboBox& list, data::TDataSet& codeList);

// Lays the dialog's rows out from `top`, one every `step` pixels: the label on the left, the field
// on the right; the class and category lists leave room for their "add" glyph buttons beside them.
// Answers the top of the row after the last.
int LayOutReaderRows(const std::vector<std::pair<ui::TLabel*, ui::TControl*>>& rows, int top, int step,
                     ui::TComboBox& classes, ui::TBitBtn& addClass, ui::TComboBox& categories,
                     ui::TBitBtn& addCategory);

// Asks for the name of a new code-list value; on OK appends it to the code list, adds it to the
// list and selects it. A name longer than the code list's Nazev field is refused with a warning and
// asked for again with the typed text, so nothing is cut off unseen. A failing post leaves no new
// record pending and goes on to the caller.
void AddCodeListValue(data::TDataSet& codeList, ui::TComboBox& list, const std::string& prompt);

// After a key is released in a pick list: a list that shows a text without a selected entry gets
// its last valid entry back; otherwise the current selection is remembered.
void KeepValidSelection(ui::TComboBox& list, int& lastItemIndex);

// Selects the entry equal to value (letter case counts), adding the value to the list when the code
// list does not hold it, so that a stored value the code list no longer offers is kept on saving.
void ShowStoredValue(ui::TComboBox& list, const std::string& value);

// Drops a change left in edit or insert state, so that no later command saves it by accident.
void CancelPending(data::TDataSet& dataSet);

// Rebuilds the main window's readers list under the readers page's quick-filter boxes.
void RebuildReadersList();

} // namespace readers
