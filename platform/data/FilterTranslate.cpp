#include "platform/data/Filter.h"

#include "platform/data/DataSet.h"
#include "platform/data/FilterLiteral.h"
#include "platform/data/FilterParser.h"
#include "platform/data/Quote.h"

namespace data {
namespace {

using filter_detail::QuoteIdentifier;

bool IsTextType(TFieldType type) {
    return type == TFieldType::ftString || type == TFieldType::ftMemo;
}

const char* SqlOperator(FilterOp op) {
    switch (op) {
    case FilterOp::Equal:
        return "=";
    case FilterOp::NotEqual:
        return "<>";
    case FilterOp::Less:
        return "<";
    case FilterOp::Greater:
        return ">";
    case FilterOp::LessEqual:
        return "<=";
    case FilterOp::GreaterEqual:
        return ">=";
    case FilterOp::Like:
        return "LIKE";
    }
    return "=";
}

[[noreturn]] void ThrowNotConvertible(const FilterNode& node, const std::string& column,
                                      const char* expected) {
    throw EDatabaseError("Hodnotu " + QuoteValue(node.literal) + " nelze porovnat s polem " + column + ": " +
                         expected + ".");
}

// Text columns treat a missing value (NULL) as the empty text, so "Vlastnosti=''" also finds a
// field that was never written. `=` keeps forms an index can serve.
void AppendTextComparison(const FilterNode& node, const std::string& column, SqlFragment& out) {
    const std::string quoted = QuoteIdentifier(column);
    if (node.op == FilterOp::Equal && !node.literal.empty()) {
        out.sql += quoted + " = ?";
    } else if (node.op == FilterOp::Equal) {
        out.sql += "(" + quoted + " = ? OR " + quoted + " IS NULL)";
    } else {
        out.sql += "coalesce(" + quoted + ", '') " + SqlOperator(node.op) + " ?";
        if (node.op != FilterOp::Equal && node.op != FilterOp::NotEqual && node.op != FilterOp::Like)
            out.sql += " COLLATE CZECH";
    }
    out.params.emplace_back(node.literal);
}

void AppendComparison(const FilterNode& node, const ColumnTypes& columns, SqlFragment& out) {
    const auto column = columns ? columns(node.field) : std::nullopt;
    if (!column) throw EDatabaseError("Pole " + node.field + " neexistuje.");
    const std::string& name = column->first;
    const TFieldType type = column->second;
    const std::string quoted = QuoteIdentifier(name);

    if (IsTextType(type)) {
        AppendTextComparison(node, name, out);
        return;
    }
    if (node.op == FilterOp::Like) {
        // Pattern matching on a number or date looks at its stored text.
        out.sql += "CAST(" + quoted + " AS TEXT) LIKE ?";
        out.params.emplace_back(node.literal);
        return;
    }
    // An empty quoted value against a typed column means "no value".
    if (node.literalQuoted && node.literal.empty()) {
        if (node.op == FilterOp::Equal) {
            out.sql += quoted + " IS NULL";
            return;
        }
        if (node.op == FilterOp::NotEqual) {
            out.sql += quoted + " IS NOT NULL";
            return;
        }
    }
    const std::string op = SqlOperator(node.op);
    switch (type) {
    case TFieldType::ftSmallint:
    case TFieldType::ftInteger:
    case TFieldType::ftLargeint:
    case TFieldType::ftAutoInc: {
        const auto value = filter_detail::ReadInteger(node.literal);
        if (!value) ThrowNotConvertible(node, name, "očekáváno celé číslo");
        out.sql += quoted + " " + op + " ?";
        out.params.emplace_back(*value);
        return;
    }
    case TFieldType::ftBoolean: {
        const auto value = filter_detail::ReadBoolean(node.literal);
        if (!value) ThrowNotConvertible(node, name, "očekáváno True nebo False");
        out.sql += quoted + " " + op + " ?";
        out.params.emplace_back(std::int64_t{*value ? 1 : 0});
        return;
    }
    case TFieldType::ftFloat: {
        const auto value = filter_detail::ReadFloat(node.literal);
        if (!value) ThrowNotConvertible(node, name, "očekáváno číslo");
        out.sql += quoted + " " + op + " ?";
        out.params.emplace_back(*value);
        return;
    }
    case TFieldType::ftCurrency: {
        const auto value = filter_detail::ReadCurrencyUnits(node.literal);
        if (!value) ThrowNotConvertible(node, name, "očekávána částka (nejvýše 4 desetinná místa)");
        out.sql += quoted + " " + op + " ?";
        out.params.emplace_back(*value);
        return;
    }
    case TFieldType::ftDate:
    case TFieldType::ftDateTime: {
        const auto value =
            node.literalQuoted ? filter_detail::ReadShortDateAsIso(node.literal) : std::nullopt;
        if (!value) ThrowNotConvertible(node, name, "očekáváno datum ve tvaru d.M.rrrr");
        // Stored as "YYYY-MM-DD" with an optional time; the date part decides.
        out.sql += "date(" + quoted + ") " + op + " ?";
        out.params.emplace_back(*value);
        return;
    }
    default:
        throw EDatabaseError("Pole " + name + " nelze použít v podmínce.");
    }
}

void AppendNode(const FilterNode& node, const ColumnTypes& columns, SqlFragment& out) {
    if (node.kind == FilterNode::Kind::Comparison) {
        AppendComparison(node, columns, out);
        return;
    }
    const char* joiner = node.kind == FilterNode::Kind::And ? " AND " : " OR ";
    for (std::size_t i = 0; i < node.children.size(); ++i) {
        if (i > 0) out.sql += joiner;
        const FilterNode& child = node.children[i];
        const bool group = child.kind != FilterNode::Kind::Comparison;
        if (group) out.sql += '(';
        AppendNode(child, columns, out);
        if (group) out.sql += ')';
    }
}

} // namespace

SqlFragment TranslateCondition(const FilterNode& condition, const ColumnTypes& columns) {
    SqlFragment out;
    AppendNode(condition, columns, out);
    return out;
}

SqlFragment TranslateFilter(std::string_view filter, const ColumnTypes& columns) {
    const std::optional<FilterNode> condition = ParseFilter(filter);
    if (!condition) return {};
    return TranslateCondition(*condition, columns);
}

} // namespace data
