#include "platform/data/FilterParser.h"

#include "platform/data/DataSet.h"
#include "platform/sys/CzechText.h"

namespace data {
namespace filter_detail {
namespace {

// Parentheses nested deeper than this are refused instead of exhausting the stack.
constexpr int kMaxNesting = 100;

bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsNameStart(char c) {
    return IsAsciiLetter(c) || c == '_' || static_cast<unsigned char>(c) >= 0x80;
}
bool IsNameChar(char c) {
    return IsNameStart(c) || IsDigit(c);
}
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

char AsciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool EqualsKeyword(std::string_view word, std::string_view keyword) {
    if (word.size() != keyword.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i)
        if (AsciiUpper(word[i]) != keyword[i]) return false;
    return true;
}

// 1-based character (not byte) position of a byte offset in UTF-8 text.
std::size_t CharacterPosition(std::string_view text, std::size_t offset) {
    std::size_t position = 1;
    for (std::size_t i = 0; i < offset && i < text.size(); ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) ++position;
    return position;
}

bool IsReservedWord(std::string_view word) {
    return EqualsKeyword(word, "AND") || EqualsKeyword(word, "OR") || EqualsKeyword(word, "LIKE");
}

std::optional<FilterOp> TakeOperator(TokenStream& tokens, ConditionDialect dialect) {
    const Token& token = tokens.Peek();
    if (token.kind == TokenKind::Operator) {
        const std::string& op = token.text;
        std::optional<FilterOp> result;
        if (op == "=")
            result = FilterOp::Equal;
        else if (op == "<>" || op == "!=")
            result = FilterOp::NotEqual;
        else if (op == "<")
            result = FilterOp::Less;
        else if (op == ">")
            result = FilterOp::Greater;
        else if (op == "<=")
            result = FilterOp::LessEqual;
        else if (op == ">=")
            result = FilterOp::GreaterEqual;
        if (result) tokens.Next();
        return result;
    }
    if (dialect == ConditionDialect::Sql && tokens.TakeKeyword("LIKE")) return FilterOp::Like;
    return std::nullopt;
}

FilterNode ParseOr(TokenStream& tokens, ConditionDialect dialect, int depth);

FilterNode ParsePrimary(TokenStream& tokens, ConditionDialect dialect, int depth) {
    const Token first = tokens.Peek();
    if (first.kind == TokenKind::LeftParen) {
        if (depth >= kMaxNesting) tokens.Fail(first.offset, "příliš mnoho vnořených závorek");
        tokens.Next();
        FilterNode inner = ParseOr(tokens, dialect, depth + 1);
        if (tokens.Peek().kind != TokenKind::RightParen) tokens.Fail(tokens.Peek().offset, "očekávána „)“");
        tokens.Next();
        return inner;
    }
    if (first.kind != TokenKind::Identifier || IsReservedWord(first.text))
        tokens.Fail(first.offset, "očekáván název pole");
    FilterNode node;
    node.kind = FilterNode::Kind::Comparison;
    node.field = first.text;
    node.position = first.offset;
    tokens.Next();
    const std::optional<FilterOp> op = TakeOperator(tokens, dialect);
    if (!op) {
        tokens.Fail(tokens.Peek().offset, dialect == ConditionDialect::Sql
                                              ? "očekáván operátor porovnání (=, <>, <, >, <=, >=, LIKE)"
                                              : "očekáván operátor porovnání (=, <>, <, >, <=, >=)");
    }
    node.op = *op;
    const Token value = tokens.Peek();
    if (value.kind != TokenKind::String && value.kind != TokenKind::Number)
        tokens.Fail(value.offset, "očekávána hodnota v uvozovkách nebo číslo");
    node.literal = value.text;
    node.literalQuoted = value.kind == TokenKind::String;
    tokens.Next();
    return node;
}

// Joins operands of one kind; an operand of the same kind (from parentheses) is merged.
void AddOperand(FilterNode& parent, FilterNode child) {
    if (child.kind == parent.kind) {
        for (FilterNode& grandchild : child.children)
            parent.children.push_back(std::move(grandchild));
    } else {
        parent.children.push_back(std::move(child));
    }
}

FilterNode ParseJoined(TokenStream& tokens, ConditionDialect dialect, int depth, FilterNode::Kind kind) {
    const bool isAnd = kind == FilterNode::Kind::And;
    auto operand = [&] {
        return isAnd ? ParsePrimary(tokens, dialect, depth)
                     : ParseJoined(tokens, dialect, depth, FilterNode::Kind::And);
    };
    FilterNode first = operand();
    if (!tokens.PeekKeyword(isAnd ? "AND" : "OR")) return first;
    FilterNode joined;
    joined.kind = kind;
    joined.position = first.position;
    AddOperand(joined, std::move(first));
    while (tokens.TakeKeyword(isAnd ? "AND" : "OR"))
        AddOperand(joined, operand());
    return joined;
}

FilterNode ParseOr(TokenStream& tokens, ConditionDialect dialect, int depth) {
    return ParseJoined(tokens, dialect, depth, FilterNode::Kind::Or);
}

} // namespace

TokenStream::TokenStream(std::string_view source, std::string_view context)
    : source_(source), context_(context) {
    ReadToken();
}

Token TokenStream::Next() {
    Token token = current_;
    if (token.kind != TokenKind::End) ReadToken();
    return token;
}

void TokenStream::ReadToken() {
    const std::string_view s = source_;
    std::size_t i = cursor_;
    while (i < s.size() && IsBlank(s[i]))
        ++i;
    Token token;
    token.offset = i;
    const char c = i < s.size() ? s[i] : '\0';
    const char next = i + 1 < s.size() ? s[i + 1] : '\0';
    const char afterNext = i + 2 < s.size() ? s[i + 2] : '\0';
    if (i == s.size()) {
        token.kind = TokenKind::End;
    } else if (c == '\'' || c == '"') {
        token.kind = TokenKind::String;
        for (++i;; ++i) {
            if (i == s.size()) Fail(token.offset, "neukončený řetězec");
            if (s[i] == c) {
                if (i + 1 == s.size() || s[i + 1] != c) break;
                ++i; // a doubled quote stands for one
            }
            token.text += s[i];
        }
        ++i;
    } else if (IsDigit(c) ||
               ((c == '-' || c == '+') && (IsDigit(next) || (next == '.' && IsDigit(afterNext)))) ||
               (c == '.' && IsDigit(next))) {
        // [sign] digits [. digits]
        token.kind = TokenKind::Number;
        std::size_t j = (c == '-' || c == '+') ? i + 1 : i;
        while (j < s.size() && IsDigit(s[j]))
            ++j;
        if (j < s.size() && s[j] == '.')
            for (++j; j < s.size() && IsDigit(s[j]);)
                ++j;
        if (j < s.size() && (IsNameChar(s[j]) || s[j] == '.')) Fail(i, "neplatné číslo");
        token.text.assign(s.substr(i, j - i));
        i = j;
    } else if (IsNameStart(c)) {
        token.kind = TokenKind::Identifier;
        const std::size_t start = i;
        while (i < s.size() && IsNameChar(s[i]))
            ++i;
        token.text.assign(s.substr(start, i - start));
    } else if ((c == '<' && (next == '>' || next == '=')) || ((c == '>' || c == '!') && next == '=')) {
        token.kind = TokenKind::Operator;
        token.text.assign(s.substr(i, 2));
        i += 2;
    } else if (c == '=' || c == '<' || c == '>') {
        token.kind = TokenKind::Operator;
        token.text.assign(1, c);
        ++i;
    } else if (c == '(' || c == ')' || c == ',' || c == '*') {
        token.kind = c == '('   ? TokenKind::LeftParen
                     : c == ')' ? TokenKind::RightParen
                     : c == ',' ? TokenKind::Comma
                                : TokenKind::Star;
        token.text.assign(1, c);
        ++i;
    } else {
        Fail(i, std::string("neočekávaný znak „") + c + "“");
    }
    current_ = std::move(token);
    cursor_ = i;
}

bool TokenStream::PeekKeyword(std::string_view keyword) const {
    return Peek().kind == TokenKind::Identifier && EqualsKeyword(Peek().text, keyword);
}

bool TokenStream::TakeKeyword(std::string_view keyword) {
    if (!PeekKeyword(keyword)) return false;
    Next();
    return true;
}

void TokenStream::ExpectKeyword(std::string_view keyword) {
    if (!TakeKeyword(keyword)) Fail(Peek().offset, "očekáváno " + std::string(keyword));
}

Token TokenStream::ExpectIdentifier(std::string_view what) {
    if (Peek().kind != TokenKind::Identifier) Fail(Peek().offset, "očekáván " + std::string(what));
    return Next();
}

void TokenStream::Fail(std::size_t offset, std::string_view problem) const {
    throw EDatabaseError("Chyba syntaxe " + context_ + " „" + source_ + "“ na pozici " +
                         std::to_string(CharacterPosition(source_, offset)) + ": " + std::string(problem) +
                         ".");
}

FilterNode ParseConditionTokens(TokenStream& tokens, ConditionDialect dialect) {
    return ParseOr(tokens, dialect, 0);
}

bool SameName(std::string_view a, std::string_view b) {
    return sys::SameTextCzech(a, b);
}

std::string QuoteIdentifier(std::string_view name) {
    std::string quoted = "\"";
    for (char c : name) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

} // namespace filter_detail

std::optional<FilterNode> ParseCondition(std::string_view text, ConditionDialect dialect) {
    filter_detail::TokenStream tokens(text, dialect == ConditionDialect::Sql ? "v podmínce" : "ve filtru");
    if (tokens.AtEnd()) return std::nullopt;
    FilterNode node = filter_detail::ParseConditionTokens(tokens, dialect);
    if (!tokens.AtEnd()) tokens.Fail(tokens.Peek().offset, "očekáváno AND, OR nebo konec podmínky");
    return node;
}

} // namespace data
