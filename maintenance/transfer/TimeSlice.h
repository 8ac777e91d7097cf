#pragma once
// One timer tick of a long operation: as many steps as fit in a few tens of milliseconds, so the
// window stays alive while many records move per tick.

#include <chrono>

namespace transfer {

inline constexpr std::chrono::milliseconds kSliceTime{40};

// Runs step() until it answers false (done) or the slice's time is used; true when more is left.
template <class Step>
bool RunTimeSlice(Step&& step, std::chrono::milliseconds budget = kSliceTime)
{
    const auto end = std::chrono::steady_clock::now() + budget;
    for (unsigned n = 1;; ++n) {
        if (!step())
            return false;
        if (n % 32 == 0 && std::chrono::steady_clock::now() >= end)
            return true;
    }
}

} // namespace transfer
