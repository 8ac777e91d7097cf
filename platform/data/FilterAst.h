#pragma once
// The parsed form of a condition as the program writes it in dataset filters and in the WHERE
// clause of its SQL texts: comparisons of a field with a literal, joined by AND and OR (AND binds
// tighter), with parentheses. Keywords and field names are case-insensitive.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace data {

enum class FilterOp { Equal, NotEqual, Less, Greater, LessEqual, GreaterEqual, Like };

struct FilterNode {
    enum class Kind { Comparison, And, Or };
    Kind kind = Kind::Comparison;

    // Kind::Comparison: field op literal.
    std::string field; // as written
    FilterOp op = FilterOp::Equal;
    std::string literal;        // the literal's text, quotes removed and doubled quotes undone
    bool literalQuoted = false; // false for a bare number
    std::size_t position = 0;   // 0-based byte offset of the field name in the parsed text

    // Kind::And / Kind::Or: two or more operands, left to right.
    std::vector<FilterNode> children;
};

// Which parts of the grammar a text may use: dataset filters know no LIKE.
enum class ConditionDialect { Filter, Sql };

// Parses a whole condition. Empty or blank text gives no condition (std::nullopt). A syntax error
// raises EDatabaseError naming the 1-based character position.
std::optional<FilterNode> ParseCondition(std::string_view text, ConditionDialect dialect);

inline std::optional<FilterNode> ParseFilter(std::string_view text) {
    return ParseCondition(text, ConditionDialect::Filter);
}

} // namespace data
