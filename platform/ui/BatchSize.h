#pragma once
// The size of the next batch of a long operation that runs on timer ticks: as many records as fit
// in a target time (a few tens of milliseconds), so one tick keeps the window responsive while the
// work as a whole runs at the speed of large transactions. Learns from each batch's measured time.

#include <algorithm>
#include <chrono>

namespace ui {

class TBatchSize {
public:
    explicit TBatchSize(int first = 256, std::chrono::milliseconds target = std::chrono::milliseconds(30))
        : next_(first), first_(first), target_(target)
    {
    }

    int Next() const { return next_; }
    void Reset() { next_ = first_; }

    // A batch of `count` records took `elapsed`: the next one is scaled towards the target time,
    // growing at most fourfold and shrinking at most to a quarter at a time.
    void Took(int count, std::chrono::steady_clock::duration elapsed)
    {
        const double ms = std::chrono::duration<double, std::milli>(elapsed).count();
        const double target = static_cast<double>(target_.count());
        const double scaled = ms <= 0 ? count * 4.0 : count * target / ms;
        next_ = static_cast<int>(std::clamp(scaled, count / 4.0, count * 4.0));
        next_ = std::clamp(next_, 1, kMax);
    }

private:
    static constexpr int kMax = 1 << 20;
    int next_;
    int first_;
    std::chrono::milliseconds target_;
};

} // namespace ui
