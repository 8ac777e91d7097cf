#include "platform/data/Sql.h"

#include "platform/data/DataSet.h"
#include "platform/data/FilterParser.h"

namespace data {
namespace {

using filter_detail::QuoteIdentifier;
using filter_detail::SameName;
using filter_detail::Token;
using filter_detail::TokenKind;
using filter_detail::TokenStream;

struct OrderItem {
    std::string column;
    bool descending = false;
};

struct ParsedSelect {
    bool allColumns = false;
    std::vector<std::string> columns;
    std::string table;
    std::optional<FilterNode> where;
    std::vector<OrderItem> orderBy;
};

ParsedSelect Parse(TokenStream& tokens) {
    ParsedSelect select;
    tokens.ExpectKeyword("SELECT");
    if (tokens.Peek().kind == TokenKind::Star) {
        tokens.Next();
        select.allColumns = true;
    } else {
        do {
            select.columns.push_back(tokens.ExpectIdentifier("název sloupce").text);
        } while (tokens.Peek().kind == TokenKind::Comma && (tokens.Next(), true));
    }
    tokens.ExpectKeyword("FROM");
    select.table = tokens.ExpectIdentifier("název tabulky").text;
    if (tokens.TakeKeyword("WHERE"))
        select.where = filter_detail::ParseConditionTokens(tokens, ConditionDialect::Sql);
    if (tokens.TakeKeyword("ORDER")) {
        tokens.ExpectKeyword("BY");
        do {
            OrderItem item;
            item.column = tokens.ExpectIdentifier("název sloupce").text;
            if (tokens.TakeKeyword("DESC"))
                item.descending = true;
            else
                tokens.TakeKeyword("ASC");
            select.orderBy.push_back(std::move(item));
        } while (tokens.Peek().kind == TokenKind::Comma && (tokens.Next(), true));
    }
    if (!tokens.AtEnd()) {
        tokens.Fail(tokens.Peek().offset, !select.orderBy.empty() ? "očekávána čárka nebo konec dotazu"
                                          : select.where ? "očekáváno AND, OR, ORDER BY nebo konec dotazu"
                                                         : "očekáváno WHERE, ORDER BY nebo konec dotazu");
    }
    return select;
}

const std::pair<std::string, TFieldType>& FindColumn(const TableInfo& table, std::string_view name) {
    for (const auto& column : table.columns)
        if (SameName(column.first, name)) return column;
    throw EDatabaseError("Tabulka " + table.name + " nemá sloupec " + std::string(name) + ".");
}

} // namespace

SelectStatement TranslateSelect(const std::vector<std::string>& lines, const TableCatalog& catalog) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) text += ' ';
        text += lines[i];
    }
    TokenStream tokens(text, "v dotazu SQL");
    const ParsedSelect parsed = Parse(tokens);

    const std::optional<TableInfo> table = catalog ? catalog(parsed.table) : std::nullopt;
    if (!table) throw EDatabaseError("Tabulka " + parsed.table + " neexistuje.");

    SelectStatement statement;
    statement.table = table->name;
    if (parsed.allColumns) {
        for (const auto& column : table->columns)
            statement.columns.push_back(column.first);
    } else {
        for (const std::string& name : parsed.columns)
            statement.columns.push_back(FindColumn(*table, name).first);
    }

    if (parsed.where) {
        const ColumnTypes columns =
            [&](std::string_view name) -> std::optional<std::pair<std::string, TFieldType>> {
            return FindColumn(*table, name);
        };
        SqlFragment where = TranslateCondition(*parsed.where, columns);
        statement.where = std::move(where.sql);
        statement.params = std::move(where.params);
    }

    for (const OrderItem& item : parsed.orderBy) {
        const auto& column = FindColumn(*table, item.column);
        const bool czechText = column.second == TFieldType::ftString || column.second == TFieldType::ftMemo;
        statement.orderBy += QuoteIdentifier(column.first);
        if (czechText)
            statement.orderBy += " COLLATE CZECH";
        if (item.descending) statement.orderBy += " DESC";
        statement.orderBy += ", ";
        statement.orderTerms.push_back({column.first, czechText, item.descending});
    }
    // Records that sort equal keep the order in which they were written.
    statement.orderBy += "rowid";
    return statement;
}

} // namespace data
