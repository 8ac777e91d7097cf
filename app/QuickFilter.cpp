#include "app/QuickFilter.h"

#include "platform/data/Quote.h"

namespace app {

void PrefixConditions::Add(std::string_view field, const std::string& text)
{
    if (text.empty())
        return;
    std::string line = first_ ? "WHERE " : " AND ";
    line.append(field);
    line += " LIKE ";
    line += data::QuoteValue(text + "%", '"');
    sql_.Add(line);
    first_ = false;
}

} // namespace app
