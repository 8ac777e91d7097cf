#include "maintenance/transfer/LookupTexts.h"

#include "platform/data/Table.h"

#include <charconv>

namespace transfer {

namespace {

std::vector<std::vector<std::string>> ReadTable(const char* file, const std::vector<std::string>& fields)
{
    data::TTable table;
    table.TableName = file;
    table.ReadOnly = true;
    table.Open();
    return table.ReadTexts(fields, "");
}

std::int64_t Number(const std::string& text)
{
    std::int64_t value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

const std::string kNone;

} // namespace

void LookupTexts::Load()
{
    Clear();
    const auto readers = ReadTable("Čtenáři.db", {"Cislo", "Jmeno"});
    for (std::size_t i = 0; i < readers[0].size(); ++i) {
        readers_.emplace(readers[0][i], readers[1][i]);
        readerNumbers_.emplace(readers[1][i], Number(readers[0][i]));
    }
    const auto books = ReadTable("Knihy.DB", {"Cislo", "Kod", "Nazev"});
    for (std::size_t i = 0; i < books[0].size(); ++i) {
        books_.emplace(books[0][i], Book{books[1][i], books[2][i]});
        bookNumbers_.emplace(books[1][i], Number(books[0][i]));
    }
}

void LookupTexts::Clear()
{
    readers_.clear();
    books_.clear();
    readerNumbers_.clear();
    bookNumbers_.clear();
}

const std::string& LookupTexts::ReaderName(const std::string& number) const
{
    const auto it = readers_.find(number);
    return it == readers_.end() ? kNone : it->second;
}

const std::string& LookupTexts::BookCode(const std::string& number) const
{
    const auto it = books_.find(number);
    return it == books_.end() ? kNone : it->second.code;
}

const std::string& LookupTexts::BookTitle(const std::string& number) const
{
    const auto it = books_.find(number);
    return it == books_.end() ? kNone : it->second.title;
}

std::optional<std::int64_t> LookupTexts::ReaderNumber(const std::string& name) const
{
    const auto it = readerNumbers_.find(name);
    if (it == readerNumbers_.end())
        return std::nullopt;
    return it->second;
}

std::optional<std::int64_t> LookupTexts::BookNumber(const std::string& code) const
{
    const auto it = bookNumbers_.find(code);
    if (it == bookNumbers_.end())
        return std::nullopt;
    return it->second;
}

} // namespace transfer
