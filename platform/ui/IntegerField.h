#pragma once
// Number fields that accept a signed 32-bit integer or nothing. A window keeps one last valid value
// for all its number fields and calls these from the fields' key handlers:
//  - key down: a text that is an integer becomes the last valid value;
//  - key up: the same; a non-empty text that is no integer is replaced by the last valid value,
//    with the caret one place before where it was. An empty text stays empty.

#include "platform/ui/Types.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace ui {

class TEdit;

// The standard conversion: optional sign and decimal digits within the 32-bit range (surrounding
// blanks are not accepted).
std::optional<std::int32_t> StrToIntOpt(std::string_view text);

void IntegerFieldKeyDown(TEdit& edit, std::int32_t& lastValue);
void IntegerFieldKeyUp(TEdit& edit, std::int32_t& lastValue);

// Hooks both handlers onto a field (for windows without handlers of their own); lastValue must
// outlive the field.
void MakeIntegerField(TEdit& edit, std::int32_t& lastValue);

} // namespace ui
