#pragma once
// The target of a CSV export: lines are converted to CP1250 (a character the code page cannot
// hold becomes "?"), gathered in memory and written to a temporary file beside the chosen one;
// only Commit renames it to the chosen name, so a failed or interrupted export never leaves a
// truncated file there. Every write is checked; a failure raises ECsvWriteError.

#include "platform/sys/CodePage.h"

#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

namespace transfer {

class ECsvWriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Appends a value and its ";" to a line. A value holding ";", a double quote or a line break is
// enclosed in double quotes with the inner quotes doubled; every other value stays as it is.
void AppendCsvValue(std::string& line, std::string_view value);

class CsvFile {
public:
    // The call that writes bytes to the file (std::fwrite); tests put a failing one in its place.
    using WriteFunction = std::size_t (*)(const void*, std::size_t, std::size_t, std::FILE*);
    static WriteFunction Writer;

    CsvFile() = default;
    ~CsvFile(); // an uncommitted file is removed
    CsvFile(const CsvFile&) = delete;
    CsvFile& operator=(const CsvFile&) = delete;

    // Creates the temporary file beside `target`. Raises ECsvWriteError when it cannot.
    void Create(const std::filesystem::path& target);
    bool IsOpen() const { return file_ != nullptr; }
    // Adds a line given in UTF-8 (its line feed included).
    void WriteLine(std::string_view utf8);
    // Writes what is gathered, flushes it to disk, closes and renames over the target.
    void Commit();
    // Closes and removes the temporary file.
    void Discard();

private:
    void Flush();

    std::filesystem::path target_;
    std::filesystem::path temporary_;
    std::FILE* file_ = nullptr;
    std::string pending_;
    std::string converted_;
    sys::CodePageConverter codePage_{sys::CodePage::Windows1250};
};

} // namespace transfer
