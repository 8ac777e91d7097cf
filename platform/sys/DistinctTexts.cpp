#include "platform/sys/DistinctTexts.h"

#include "platform/sys/CzechText.h"

#include <algorithm>
#include <functional>

namespace sys {
namespace {

std::uint32_t HashOf(std::string_view text)
{
    const std::size_t hash = std::hash<std::string_view>{}(text);
    return static_cast<std::uint32_t>(hash ^ (hash >> 32));
}

// LowerCzech, without the case mapper for a text of ASCII characters only (codes, numbers).
void Lowered(const std::string& text, std::string& out)
{
    if (std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        out.resize(text.size());
        std::transform(text.begin(), text.end(), out.begin(),
                       [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
        return;
    }
    out = LowerCzech(text);
}

} // namespace

std::pair<std::size_t, bool> UniqueTexts::Add(std::string_view text)
{
    const std::uint32_t hash = HashOf(text);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t s = hash & mask;; s = (s + 1) & mask) {
        Slot& slot = slots_[s];
        if (slot.number == kEmpty) {
            const auto number = static_cast<std::uint32_t>(texts_.size());
            slot = Slot{hash, number};
            texts_.emplace_back(text);
            if (texts_.size() * 2 > slots_.size())
                Grow();
            return {number, true};
        }
        if (slot.hash == hash && texts_[slot.number] == text)
            return {slot.number, false};
    }
}

void UniqueTexts::Grow()
{
    // Twice the room, so that the array stays at most half full: a set of few texts keeps a
    // small one.
    std::vector<Slot> old(slots_.size() * 2);
    old.swap(slots_);
    const std::size_t mask = slots_.size() - 1;
    for (const Slot& slot : old) {
        if (slot.number == kEmpty)
            continue;
        std::size_t s = slot.hash & mask;
        while (slots_[s].number != kEmpty)
            s = (s + 1) & mask;
        slots_[s] = slot;
    }
}

std::vector<std::string> UniqueTexts::Take()
{
    std::vector<std::string> texts = std::move(texts_);
    texts_.clear();
    slots_.assign(64, Slot{});
    return texts;
}

std::vector<std::string> FirstOfEachIgnoringCase(std::vector<std::string> texts)
{
    UniqueTexts lowered;
    std::vector<std::string> items;
    std::string lower;
    for (std::string& text : texts) {
        if (text.empty())
            continue;
        Lowered(text, lower);
        if (lowered.Add(lower).second)
            items.push_back(std::move(text));
    }
    return items;
}

} // namespace sys
