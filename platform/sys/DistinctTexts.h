#pragma once
// Texts kept once each: the set behind pick lists of up to 100,000 entries.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sys {

// Texts kept once each, numbered in the order they were first added. Found again by hashing
// into one array (open addressing): node-based sets of 100,000 texts spend their time allocating
// nodes and missing the cache.
class UniqueTexts {
public:
    // The number of the text among those kept, and whether it was added just now.
    std::pair<std::size_t, bool> Add(std::string_view text);
    std::size_t Size() const { return texts_.size(); }
    const std::string& operator[](std::size_t number) const { return texts_[number]; }
    // The texts in the order they were added; the set is empty afterwards.
    std::vector<std::string> Take();

private:
    struct Slot {
        std::uint32_t hash = 0;
        std::uint32_t number = kEmpty;
    };
    static constexpr std::uint32_t kEmpty = UINT32_MAX;
    void Grow();

    std::vector<std::string> texts_;
    std::vector<Slot> slots_ = std::vector<Slot>(64);
};

// The non-empty texts, each once: a text equal to an earlier one when both are put in lower case
// by the Czech rules (LowerCzech) is left out. Each is kept as written where it first appears, in
// the order of first appearance.
std::vector<std::string> FirstOfEachIgnoringCase(std::vector<std::string> texts);

} // namespace sys
