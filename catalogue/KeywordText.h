#pragma once
// A book's keywords as one text: the items joined by commas with no blanks around them. An item
// holding a blank, a control character, a comma or a double quote stands in double quotes, each
// double quote inside it doubled. Reading splits at commas and at blanks outside double quotes.

#include <string>
#include <string_view>
#include <vector>

namespace catalogue {

// The keyword text of a list. A list of one empty item is written as two double quotes; any
// other empty item as nothing between its commas.
std::string JoinKeywords(const std::vector<std::string>& keywords);

// The keywords of a text: blanks and control characters before an item are skipped, a quoted item
// is taken whole (a doubled double quote stands for one), and a text ending in a comma ends with
// an empty item.
std::vector<std::string> SplitKeywords(std::string_view text);

} // namespace catalogue
