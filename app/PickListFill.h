#pragma once
// What a refresh last filled some pick lists from: the stamp of the table it read and the boxes'
// list revisions right after the fill. While the table keeps its stamp and nothing has changed the
// boxes' lists since, they hold exactly what a new fill would put there, so the refresh can keep
// them instead of reading and filling tens of thousands of entries again.

#include "platform/ui/ComboBox.h"

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace app {

class PickListFill {
public:
    // True when the boxes still hold the fill made from a table with this stamp.
    bool Current(std::uint64_t stamp, std::initializer_list<const ui::TComboBox*> boxes) const;
    // Notes a fill just made from a table with this stamp.
    void Remember(std::uint64_t stamp, std::initializer_list<const ui::TComboBox*> boxes);

private:
    std::uint64_t stamp_ = 0;
    std::vector<unsigned> revisions_;
};

} // namespace app
