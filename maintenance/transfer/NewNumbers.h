#pragma once
// The numbers a table's records get when an import replaces them, found by a key the records
// keep (a book's code, a reader's name), so that the loans pointing at the old records can follow
// them: the old records' keys are read before the import, and the first imported record of a key
// gives the new number of every old record of that key. A key can be marked beforehand (a book
// with an open loan), which the imported record of that key learns.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace data {
class TTable;
}

namespace transfer {

class NewNumbers {
public:
    // Reads the number ("Cislo") and the key of every record of the open table, before the
    // import replaces them.
    void ReadOld(data::TTable& table, const std::string& keyField);
    void Clear();

    // Marks the key of the record numbered `old`; a number no record had, or a record without
    // a key, marks nothing.
    void Mark(std::int64_t old);

    // Whether the key is marked.
    bool Marked(std::string_view key) const;
    // A record with this key was imported under this number; the first one of a key counts.
    void Imported(std::string_view key, std::int64_t number);

    // The number of the imported record that took the place of the record numbered `old`: none
    // when that record had no key or none of its key was imported.
    std::optional<std::int64_t> Of(std::int64_t old) const;

private:
    static constexpr std::uint32_t kNone = ~std::uint32_t{0};
    std::uint32_t Position(std::int64_t old) const; // of the old record; kNone when there is none
    std::uint32_t FindKey(std::string_view key, std::size_t hash) const;
    std::uint32_t FirstOfKey(std::string_view key) const; // remembers the key asked for last
    void Resolve() const;

    // The old records in ascending numbers, with their keys.
    std::vector<std::int64_t> oldNumbers_;
    std::vector<std::string> oldKeys_;
    // Positions by number when the numbers are dense (number - first), kNone for gaps.
    std::vector<std::uint32_t> byNumber_;
    // Each old record's key as the position of the first old record of that key; kNone for none.
    std::vector<std::uint32_t> keyOf_;
    // By the position of the first old record of a key: its new number (0 until imported) and mark.
    std::vector<std::int64_t> newNumbers_;
    std::vector<bool> marked_;
    // Open addressing over the keys: hash and position of the first old record of each key.
    struct Slot {
        std::uint32_t hash = 0;
        std::uint32_t position = kNone;
    };
    std::vector<Slot> slots_;
    // The key asked for last and its first record: a record is asked about twice in a row.
    // A file exported from the table holds the records in the table's order: the old record
    // after the one found last is tried before the keys' table.
    mutable std::string lastKey_;
    mutable std::uint32_t lastFirst_ = kNone;
    mutable std::uint32_t nextGuess_ = 0;
    // The new number of each old record (0 for none), made when first asked after an import;
    // laid out as byNumber_ when the numbers are dense, else by position.
    mutable std::vector<std::int64_t> resolved_;
    mutable bool resolvedCurrent_ = false;
};

} // namespace transfer
