#include "platform/data/Quote.h"

namespace data {

std::string QuoteValue(std::string_view value, char quote) {
    std::string quoted;
    quoted.reserve(value.size() + 2);
    quoted += quote;
    for (char c : value) {
        if (c == quote) quoted += quote;
        quoted += c;
    }
    quoted += quote;
    return quoted;
}

} // namespace data
