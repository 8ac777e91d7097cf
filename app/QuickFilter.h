#pragma once
// The condition lines of a list's quick filter: one prefix match per filled box, the first line
// "WHERE <field> LIKE <text%>", every later one " AND <field> LIKE <text%>". The typed text is
// quoted with the one quoting helper, so a quote in it is just text; % and _ stay wildcards.

#include "platform/data/Strings.h"

#include <string>
#include <string_view>

namespace app {

class PrefixConditions {
public:
    explicit PrefixConditions(data::TStrings& sql) : sql_(sql) {}
    // Adds the field's line when the text is not empty (a text of blanks counts as filled).
    void Add(std::string_view field, const std::string& text);

private:
    data::TStrings& sql_;
    bool first_ = true;
};

} // namespace app
