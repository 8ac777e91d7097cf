#pragma once
// Internal to the filter and local-SQL translation: the tokenizer and the recursive-descent
// condition parser, shared by filter texts and the WHERE clause of SELECT texts.

#include "platform/data/FilterAst.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace data::filter_detail {

enum class TokenKind { Identifier, String, Number, Operator, LeftParen, RightParen, Comma, Star, End };

struct Token {
    TokenKind kind = TokenKind::End;
    std::string text;       // name, unquoted string value, number or operator as written
    std::size_t offset = 0; // byte offset in the source text
};

// A text read token by token, so a fault is reported where the parser first meets it. `context`
// names the text in messages ("ve filtru").
class TokenStream {
public:
    TokenStream(std::string_view source, std::string_view context);

    const Token& Peek() const { return current_; }
    Token Next(); // returns the current token and reads the one after it
    bool AtEnd() const { return Peek().kind == TokenKind::End; }
    // True (and consumes it) when the next token is the given keyword, letter case ignored.
    bool TakeKeyword(std::string_view keyword);
    bool PeekKeyword(std::string_view keyword) const;
    void ExpectKeyword(std::string_view keyword);
    Token ExpectIdentifier(std::string_view what);

    [[noreturn]] void Fail(std::size_t offset, std::string_view problem) const;

private:
    std::string source_;
    std::string context_;
    std::size_t cursor_ = 0; // byte offset after the current token
    Token current_;

    void ReadToken();
};

// Parses `a op literal` joined by AND / OR with parentheses, up to the first token that cannot
// continue the condition (the caller checks what follows).
FilterNode ParseConditionTokens(TokenStream& tokens, ConditionDialect dialect);

// Letter case ignored, Czech letters included.
bool SameName(std::string_view a, std::string_view b);

// "Nazev" as a quoted SQLite identifier.
std::string QuoteIdentifier(std::string_view name);

} // namespace data::filter_detail
