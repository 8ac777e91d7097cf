#pragma once
// Emptying several tables as one change: either every table ends up empty or none is touched,
// also when the program is ended half-way.

#include "platform/data/Table.h"

#include <functional>
#include <vector>

namespace app {

// Empties the tables in the given order inside one transaction; `emptied(i)` is told after the
// i-th table (0-based) has been emptied, before anything is committed. An error leaves every
// table as it was and is passed on.
void EmptyTablesTogether(const std::vector<data::TTable*>& tables, const std::function<void(int)>& emptied = {});

} // namespace app
