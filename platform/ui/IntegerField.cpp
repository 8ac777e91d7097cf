#include "platform/ui/IntegerField.h"

#include "platform/ui/Edit.h"

#include <algorithm>
#include <charconv>
#include <string>

namespace ui {

std::optional<std::int32_t> StrToIntOpt(std::string_view text)
{
    if (text.empty())
        return std::nullopt;
    std::size_t i = 0;
    bool negative = false;
    if (text[0] == '+' || text[0] == '-') {
        negative = text[0] == '-';
        i = 1;
    }
    if (i >= text.size())
        return std::nullopt;
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > 2147483648LL)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > 2147483647LL || value < -2147483648LL)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

void IntegerFieldKeyDown(TEdit& edit, std::int32_t& lastValue)
{
    if (auto value = StrToIntOpt(edit.Text()))
        lastValue = *value;
}

void IntegerFieldKeyUp(TEdit& edit, std::int32_t& lastValue)
{
    const std::string text = edit.Text();
    if (auto value = StrToIntOpt(text)) {
        lastValue = *value;
        return;
    }
    if (text.empty())
        return;
    const int caret = edit.SelStart();
    edit.SetText(std::to_string(lastValue));
    edit.SetSelStart(std::max(0, caret - 1));
}

void MakeIntegerField(TEdit& edit, std::int32_t& lastValue)
{
    edit.AddKeyDownHook([&edit, &lastValue](TObject*, Word&, TShiftState) { IntegerFieldKeyDown(edit, lastValue); });
    edit.AddKeyUpHook([&edit, &lastValue](TObject*, Word&, TShiftState) { IntegerFieldKeyUp(edit, lastValue); });
}

} // namespace ui
