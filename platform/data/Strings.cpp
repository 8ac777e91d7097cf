#include "platform/data/Strings.h"

#include <stdexcept>

namespace data {

void TStrings::Changed()
{
    if (OnChange)
        OnChange();
}

void TStrings::Clear()
{
    lines_.clear();
    Changed();
}

void TStrings::Add(const std::string& line)
{
    lines_.push_back(line);
    Changed();
}

void TStrings::Insert(int index, const std::string& line)
{
    if (index < 0 || index > Count())
        throw std::out_of_range("Řádek " + std::to_string(index) + " neexistuje.");
    lines_.insert(lines_.begin() + index, line);
    Changed();
}

void TStrings::Delete(int index)
{
    if (index < 0 || index >= Count())
        throw std::out_of_range("Řádek " + std::to_string(index) + " neexistuje.");
    lines_.erase(lines_.begin() + index);
    Changed();
}

void TStrings::SetStrings(int index, const std::string& line)
{
    lines_.at(static_cast<std::size_t>(index)) = line;
    Changed();
}

std::string TStrings::Text() const
{
    std::string text;
    for (const auto& line : lines_)
        text += line + "\n";
    return text;
}

void TStrings::SetText(const std::string& text)
{
    lines_.clear();
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines_.push_back(line);
            line.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            line += c;
        }
    }
    if (!line.empty())
        lines_.push_back(line);
    Changed();
}

} // namespace data
