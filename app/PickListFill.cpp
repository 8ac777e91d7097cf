#include "app/PickListFill.h"

namespace app {

bool PickListFill::Current(std::uint64_t stamp, std::initializer_list<const ui::TComboBox*> boxes) const
{
    if (stamp == 0 || stamp != stamp_ || boxes.size() != revisions_.size())
        return false;
    std::size_t i = 0;
    for (const ui::TComboBox* box : boxes)
        if (box->ItemsRevision() != revisions_[i++])
            return false;
    return true;
}

void PickListFill::Remember(std::uint64_t stamp, std::initializer_list<const ui::TComboBox*> boxes)
{
    stamp_ = stamp;
    revisions_.clear();
    for (const ui::TComboBox* box : boxes)
        revisions_.push_back(box->ItemsRevision());
}

} // namespace app
