#include "catalogue/KeywordText.h"

namespace catalogue {

namespace {

constexpr char kQuote = '"';
constexpr char kComma = ',';

// Blanks and control characters (bytes of multi-byte UTF-8 characters are above 127).
bool IsBlank(char c)
{
    return static_cast<unsigned char>(c) <= ' ';
}

bool NeedsQuotes(std::string_view item)
{
    for (char c : item)
        if (IsBlank(c) || c == kQuote || c == kComma)
            return true;
    return false;
}

std::string Quoted(std::string_view item)
{
    std::string out(1, kQuote);
    for (char c : item) {
        if (c == kQuote)
            out += kQuote;
        out += c;
    }
    out += kQuote;
    return out;
}

// Reads a quoted item starting at the opening quote; `pos` ends after the closing quote, or at the
// end of the text when the quote is never closed.
std::string ReadQuoted(std::string_view text, std::size_t& pos)
{
    std::string item;
    ++pos;
    while (pos < text.size()) {
        const char c = text[pos++];
        if (c != kQuote) {
            item += c;
            continue;
        }
        if (pos < text.size() && text[pos] == kQuote) {
            item += kQuote;
            ++pos;
            continue;
        }
        break;
    }
    return item;
}

void SkipBlanks(std::string_view text, std::size_t& pos)
{
    while (pos < text.size() && IsBlank(text[pos]))
        ++pos;
}

} // namespace

std::string JoinKeywords(const std::vector<std::string>& keywords)
{
    if (keywords.size() == 1 && keywords.front().empty())
        return std::string(2, kQuote);
    std::string text;
    for (std::size_t i = 0; i < keywords.size(); ++i) {
        if (i > 0)
            text += kComma;
        text += NeedsQuotes(keywords[i]) ? Quoted(keywords[i]) : keywords[i];
    }
    return text;
}

std::vector<std::string> SplitKeywords(std::string_view text)
{
    std::vector<std::string> items;
    std::size_t pos = 0;
    SkipBlanks(text, pos);
    while (pos < text.size()) {
        if (text[pos] == kQuote) {
            items.push_back(ReadQuoted(text, pos));
        } else {
            const std::size_t start = pos;
            while (pos < text.size() && !IsBlank(text[pos]) && text[pos] != kComma)
                ++pos;
            items.emplace_back(text.substr(start, pos - start));
        }
        SkipBlanks(text, pos);
        if (pos < text.size() && text[pos] == kComma) {
            if (pos + 1 == text.size())
                items.emplace_back();
            ++pos;
            SkipBlanks(text, pos);
        }
    }
    return items;
}

} // namespace catalogue
