#include "app/lending/EmptyTables.h"

#include "platform/data/Session.h"

namespace app {

void EmptyTablesTogether(const std::vector<data::TTable*>& tables, const std::function<void(int)>& emptied)
{
    data::TTransaction transaction;
    for (std::size_t i = 0; i < tables.size(); ++i) {
        tables[i]->EmptyTable();
        if (emptied)
            emptied(static_cast<int>(i));
    }
    transaction.Commit();
}

} // namespace app
