#pragma once
// A list of text lines, as a query keeps its SQL: handlers add lines, delete the last one and
// read lines or the whole text back.

#include <functional>
#include <string>
#include <vector>

namespace data {

class TStrings {
public:
    void Clear();
    void Add(const std::string& line);
    void Insert(int index, const std::string& line);
    void Delete(int index); // raises std::out_of_range for a missing line
    int Count() const { return static_cast<int>(lines_.size()); }
    const std::string& operator[](int index) const { return lines_.at(static_cast<std::size_t>(index)); }
    const std::string& Strings(int index) const { return (*this)[index]; }
    void SetStrings(int index, const std::string& line);
    // Every line followed by a line break.
    std::string Text() const;
    void SetText(const std::string& text);
    const std::vector<std::string>& Lines() const { return lines_; }

    // Told after every change.
    std::function<void()> OnChange;

private:
    void Changed();
    std::vector<std::string> lines_;
};

} // namespace data
