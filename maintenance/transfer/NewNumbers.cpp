#include "maintenance/transfer/NewNumbers.h"

#include "platform/data/Table.h"

#include <algorithm>
#include <charconv>
#include <functional>

namespace transfer {

void NewNumbers::ReadOld(data::TTable& table, const std::string& keyField)
{
    Clear();
    auto rows = table.ReadTexts({"Cislo", keyField}, "");
    oldKeys_ = std::move(rows[1]);
    oldNumbers_.reserve(rows[0].size());
    for (const std::string& text : rows[0]) {
        std::int64_t number = 0;
        std::from_chars(text.data(), text.data() + text.size(), number);
        oldNumbers_.push_back(number);
    }
    // The table's order is by number already; a file written by another program may differ.
    if (!std::is_sorted(oldNumbers_.begin(), oldNumbers_.end())) {
        std::vector<std::size_t> order(oldNumbers_.size());
        for (std::size_t i = 0; i < order.size(); ++i)
            order[i] = i;
        std::stable_sort(order.begin(), order.end(),
                         [&](std::size_t a, std::size_t b) { return oldNumbers_[a] < oldNumbers_[b]; });
        std::vector<std::int64_t> numbers;
        std::vector<std::string> keys;
        for (const std::size_t i : order) {
            numbers.push_back(oldNumbers_[i]);
            keys.push_back(std::move(oldKeys_[i]));
        }
        oldNumbers_ = std::move(numbers);
        oldKeys_ = std::move(keys);
    }
    const std::size_t count = oldNumbers_.size();
    if (count > 0 && oldNumbers_.back() - oldNumbers_.front() < static_cast<std::int64_t>(2 * count + 1024)) {
        byNumber_.assign(static_cast<std::size_t>(oldNumbers_.back() - oldNumbers_.front() + 1), kNone);
        for (std::size_t i = 0; i < count; ++i)
            byNumber_[static_cast<std::size_t>(oldNumbers_[i] - oldNumbers_.front())] = static_cast<std::uint32_t>(i);
    }
    std::size_t size = 16;
    while (size < 2 * count)
        size *= 2;
    slots_.assign(size, Slot{});
    keyOf_.assign(count, kNone);
    newNumbers_.assign(count, 0);
    marked_.assign(count, false);
    for (std::size_t i = 0; i < count; ++i) {
        const std::string& key = oldKeys_[i];
        if (key.empty())
            continue;
        const std::size_t hash = std::hash<std::string_view>()(key);
        std::uint32_t first = FindKey(key, hash);
        if (first == kNone) {
            std::size_t at = hash & (slots_.size() - 1);
            while (slots_[at].position != kNone)
                at = (at + 1) & (slots_.size() - 1);
            slots_[at] = {static_cast<std::uint32_t>(hash), static_cast<std::uint32_t>(i)};
            first = static_cast<std::uint32_t>(i);
        }
        keyOf_[i] = first;
    }
}

void NewNumbers::Clear()
{
    oldNumbers_.clear();
    oldKeys_.clear();
    byNumber_.clear();
    keyOf_.clear();
    newNumbers_.clear();
    marked_.clear();
    slots_.clear();
    lastKey_.clear();
    lastFirst_ = kNone;
    nextGuess_ = 0;
    resolved_.clear();
    resolvedCurrent_ = false;
}

std::uint32_t NewNumbers::FindKey(std::string_view key, std::size_t hash) const
{
    if (slots_.empty())
        return kNone;
    for (std::size_t at = hash & (slots_.size() - 1);; at = (at + 1) & (slots_.size() - 1)) {
        const Slot& slot = slots_[at];
        if (slot.position == kNone)
            return kNone;
        if (slot.hash == static_cast<std::uint32_t>(hash) && oldKeys_[slot.position] == key)
            return slot.position;
    }
}

std::uint32_t NewNumbers::Position(std::int64_t old) const
{
    if (!byNumber_.empty()) {
        const std::int64_t at = old - oldNumbers_.front();
        return at >= 0 && at < static_cast<std::int64_t>(byNumber_.size()) ? byNumber_[static_cast<std::size_t>(at)]
                                                                           : kNone;
    }
    const auto it = std::lower_bound(oldNumbers_.begin(), oldNumbers_.end(), old);
    return it != oldNumbers_.end() && *it == old ? static_cast<std::uint32_t>(it - oldNumbers_.begin()) : kNone;
}

void NewNumbers::Mark(std::int64_t old)
{
    const std::uint32_t position = Position(old);
    if (position != kNone && keyOf_[position] != kNone)
        marked_[keyOf_[position]] = true;
}

std::uint32_t NewNumbers::FirstOfKey(std::string_view key) const
{
    if (key.empty())
        return kNone;
    if (lastFirst_ != kNone && key == lastKey_)
        return lastFirst_;
    std::uint32_t first = kNone;
    if (nextGuess_ < oldKeys_.size() && oldKeys_[nextGuess_] == key) {
        first = keyOf_[nextGuess_];
        ++nextGuess_;
    } else {
        first = FindKey(key, std::hash<std::string_view>()(key));
        if (first != kNone)
            nextGuess_ = first + 1;
    }
    if (first != kNone) {
        lastKey_.assign(key);
        lastFirst_ = first;
    }
    return first;
}

bool NewNumbers::Marked(std::string_view key) const
{
    const std::uint32_t first = FirstOfKey(key);
    return first != kNone && marked_[first];
}

void NewNumbers::Imported(std::string_view key, std::int64_t number)
{
    const std::uint32_t first = FirstOfKey(key);
    if (first != kNone && newNumbers_[first] == 0) {
        newNumbers_[first] = number;
        resolvedCurrent_ = false;
    }
}

void NewNumbers::Resolve() const
{
    // Dense numbers index the table by number, as byNumber_ does; others by position.
    const auto newNumberAt = [&](std::uint32_t position) {
        return position == kNone || keyOf_[position] == kNone ? 0 : newNumbers_[keyOf_[position]];
    };
    if (!byNumber_.empty()) {
        resolved_.resize(byNumber_.size());
        for (std::size_t i = 0; i < byNumber_.size(); ++i)
            resolved_[i] = newNumberAt(byNumber_[i]);
    } else {
        resolved_.resize(keyOf_.size());
        for (std::size_t i = 0; i < keyOf_.size(); ++i)
            resolved_[i] = newNumberAt(static_cast<std::uint32_t>(i));
    }
    resolvedCurrent_ = true;
}

std::optional<std::int64_t> NewNumbers::Of(std::int64_t old) const
{
    // Asked for every loan: one look-up in a table of the old records' new numbers.
    if (!resolvedCurrent_)
        Resolve();
    std::int64_t number = 0;
    if (!byNumber_.empty()) {
        const std::int64_t at = old - oldNumbers_.front();
        if (at >= 0 && at < static_cast<std::int64_t>(resolved_.size()))
            number = resolved_[static_cast<std::size_t>(at)];
    } else if (const std::uint32_t position = Position(old); position != kNone) {
        number = resolved_[position];
    }
    if (number == 0)
        return std::nullopt;
    return number;
}

} // namespace transfer
