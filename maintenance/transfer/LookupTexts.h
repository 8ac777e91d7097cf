#pragma once
// Readers' names and books' codes and titles by record number, and the way back, read once from
// the table files in one statement each, for the export and import of loans.

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>

namespace transfer {

class LookupTexts {
public:
    // Reads the readers' and the books' tables (through datasets of its own).
    void Load();
    void Clear();

    // By the number's text ("12"); "" when no record has it.
    const std::string& ReaderName(const std::string& number) const;
    const std::string& BookCode(const std::string& number) const;
    const std::string& BookTitle(const std::string& number) const;

    // The first reader (by number) of that name, the first book of that code; none when absent.
    std::optional<std::int64_t> ReaderNumber(const std::string& name) const;
    std::optional<std::int64_t> BookNumber(const std::string& code) const;

private:
    struct Book {
        std::string code, title;
    };
    std::unordered_map<std::string, std::string> readers_;
    std::unordered_map<std::string, Book> books_;
    std::unordered_map<std::string, std::int64_t> readerNumbers_;
    std::unordered_map<std::string, std::int64_t> bookNumbers_;
};

} // namespace transfer
