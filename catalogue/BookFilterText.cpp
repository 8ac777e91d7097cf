#include "catalogue/BookFilterText.h"

#include "platform/data/Quote.h"
#include "platform/sys/CzechText.h"

#include <algorithm>

namespace catalogue {

const std::array<const char*, kFilterFlags> kPickFields = {"Kod",      "Nazev",      "Autor",          "Kategorie",
                                                           "Umisteni", "Ilustrator", "Nakladatelstvi", "Signatura"};

namespace {

// The range bounds in the order of BookFilter::Texts 9..16: field and comparison.
struct Bound {
    const char* Field;
    const char* Op;
};
const Bound kBounds[] = {{"CenaX", ">"},      {"CenaX", "<"},      {"RokVydani", ">"}, {"RokVydani", "<"},
                         {"PocetStran", ">"}, {"PocetStran", "<"}, {"VekOd", ">"},     {"VekOd", "<"}};

std::string KeywordAlternatives(const std::string& w)
{
    return "KlicovaSlova LIKE " + data::QuoteValue("%," + w + ",%") + " OR KlicovaSlova LIKE " +
           data::QuoteValue(w + ",%") + " OR KlicovaSlova LIKE " + data::QuoteValue("%," + w) +
           " OR KlicovaSlova=" + data::QuoteValue(w);
}

bool IsControl(unsigned char c)
{
    return c < 32 || c == 127;
}

} // namespace

std::vector<std::string> FilterKeywords(std::string_view text)
{
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i <= text.size()) {
        std::string word;
        if (i < text.size() && text[i] == '"') {
            // A quoted word runs to the next double quote; what follows up to the separator
            // belongs to it as well.
            const std::size_t close = text.find('"', i + 1);
            const std::size_t end = close == std::string_view::npos ? text.size() : close;
            word.assign(text.substr(i + 1, end - i - 1));
            i = close == std::string_view::npos ? text.size() : close + 1;
        }
        while (i < text.size() && text[i] != ' ' && text[i] != ',')
            word += text[i++];
        if (!word.empty())
            words.push_back(std::move(word));
        ++i; // past the separator (or the end)
    }
    std::stable_sort(words.begin(), words.end(),
                     [](const std::string& a, const std::string& b) { return sys::CompareCzech(a, b) < 0; });
    return words;
}

std::vector<std::string> FilterSqlLines(const BookFilter& filter, const std::string& orderBy)
{
    std::vector<std::string> lines{"SELECT * FROM Knihy"};
    const std::string joiner = filter.AllConditions ? " AND " : " OR ";
    bool written = false;

    const std::vector<std::string> words = FilterKeywords(filter.Texts[8]);
    // With every condition required, the keyword alternatives form one condition of their own.
    const bool group = filter.AllConditions;
    for (std::size_t k = 0; k < words.size(); ++k) {
        std::string line = k == 0 ? std::string("WHERE ") + (group ? "(" : "") : std::string(" OR ");
        line += KeywordAlternatives(words[k]);
        if (group && k + 1 == words.size())
            line += ")";
        lines.push_back(std::move(line));
        written = true;
    }

    auto add = [&](const std::string& condition) {
        lines.push_back((written ? joiner : std::string("WHERE ")) + condition);
        written = true;
    };
    for (std::size_t p = 0; p < kFilterFlags; ++p) {
        const std::string& text = filter.Texts[p];
        if (text.empty())
            continue;
        if (filter.Exact[p])
            add(std::string(kPickFields[p]) + "=" + data::QuoteValue(text));
        else
            add(std::string(kPickFields[p]) + " LIKE " + data::QuoteValue("%" + text + "%"));
    }
    for (std::size_t b = 0; b < std::size(kBounds); ++b) {
        const std::string& text = filter.Texts[9 + b];
        if (!text.empty())
            add(std::string(kBounds[b].Field) + kBounds[b].Op + data::QuoteValue(text));
    }
    if (!orderBy.empty())
        lines.push_back(orderBy);
    return lines;
}

std::string FilterRecordLine(const BookFilter& filter)
{
    std::string line;
    auto item = [&line](std::string_view value) {
        const bool quote = value.find_first_of(",\"") != std::string_view::npos ||
                           std::any_of(value.begin(), value.end(),
                                       [](char c) { return IsControl(static_cast<unsigned char>(c)); });
        if (quote) {
            line += '"';
            for (char c : value) {
                if (c == '"')
                    line += '"';
                line += c;
            }
            line += '"';
        } else {
            line += value;
        }
        line += ',';
    };
    for (const std::string& text : filter.Texts)
        item(text);
    for (bool flag : filter.Exact)
        item(flag ? "1" : "0");
    item(filter.AllConditions ? "1" : "0");
    std::replace(line.begin(), line.end(), ' ', '_');
    return line;
}

BookFilter ParseFilterRecordLine(std::string_view text)
{
    std::vector<std::string> items;
    auto blank = [](char c) { return c >= 1 && c <= 32; };
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && items.size() < kRecordItems) {
        while (i < n && blank(text[i]))
            ++i;
        if (i >= n)
            break;
        std::string item;
        if (text[i] == '"') {
            ++i;
            while (i < n) {
                if (text[i] == '"') {
                    if (i + 1 < n && text[i + 1] == '"') {
                        item += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                item += text[i++];
            }
        } else {
            while (i < n && text[i] != ',' && !blank(text[i]))
                item += text[i++];
        }
        while (i < n && blank(text[i]))
            ++i;
        // The item ends at its comma; anything else before the comma is passed over.
        while (i < n && text[i] != ',')
            ++i;
        if (i < n)
            ++i;
        std::replace(item.begin(), item.end(), '_', ' ');
        items.push_back(std::move(item));
    }
    items.resize(kRecordItems);

    BookFilter filter;
    for (std::size_t t = 0; t < kFilterTexts; ++t)
        filter.Texts[t] = items[t];
    for (std::size_t f = 0; f < kFilterFlags; ++f)
        filter.Exact[f] = items[kFilterTexts + f] == "1";
    filter.AllConditions = items[kRecordItems - 1] == "1";
    return filter;
}

bool IsValidFilterName(std::string_view name)
{
    if (name.empty() || name == "." || name == ".." || name.size() > 200)
        return false;
    for (char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (IsControl(u) || std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos)
            return false;
    }
    // Names other systems refuse: trailing blank or dot.
    return name.back() != ' ' && name.back() != '.';
}

} // namespace catalogue
