#pragma once
// The order of sorted lists: Czech alphabetical, equal items keeping their order.

#include "platform/sys/CzechText.h"

#include <algorithm>
#include <string>
#include <vector>

namespace ui {

inline void SortCzech(std::vector<std::string>& items)
{
    std::stable_sort(items.begin(), items.end(),
                     [](const std::string& a, const std::string& b) { return sys::CompareCzech(a, b) < 0; });
}

} // namespace ui
