#pragma once
// The size of the next batch of a long operation that runs on timer ticks, one transaction a tick:
// as many records as fit in the tick's target time, so the window stays responsive while the work
// as a whole runs at the speed of large transactions. Learns from each batch's measured time.
// A commit costs about the same whatever the batch's size (it waits for the disk), so the records'
// own work gets what the target leaves after the commit, yet never less than the commit itself,
// up to the whole target: the commits' share of a run stays at most a half (more only when one
// commit outlasts the target), and a tick lasts the target, on a slow disk its commit plus at
// most the target.

#include <algorithm>
#include <chrono>

namespace ui {

class TBatchSize {
public:
    explicit TBatchSize(int first = 1024, std::chrono::milliseconds target = std::chrono::milliseconds(100))
        : next_(first), first_(first), target_(target)
    {
    }

    int Next() const { return next_; }
    void Reset()
    {
        next_ = first_;
        commitMs_ = -1;
    }

    // A batch of `count` records took `work`, then `commit` to commit: the next one's work is
    // scaled towards its share of the target, growing at most fourfold and shrinking at most to a
    // quarter at a time.
    void Took(int count, std::chrono::steady_clock::duration work,
              std::chrono::steady_clock::duration commit = std::chrono::steady_clock::duration::zero())
    {
        const double workMs = std::chrono::duration<double, std::milli>(work).count();
        const double lastCommitMs = std::max(0.0, std::chrono::duration<double, std::milli>(commit).count());
        // Commits vary with the disk's other load: the estimate follows them halfway.
        commitMs_ = commitMs_ < 0 ? lastCommitMs : (commitMs_ + lastCommitMs) / 2;
        const double target = static_cast<double>(target_.count());
        const double aim = std::max(target - commitMs_, std::min(commitMs_, target));
        const double scaled = workMs <= 0 ? count * 4.0 : count * aim / workMs;
        next_ = static_cast<int>(std::clamp(scaled, count / 4.0, count * 4.0));
        next_ = std::clamp(next_, 1, kMax);
    }

private:
    static constexpr int kMax = 1 << 20;
    int next_;
    int first_;
    std::chrono::milliseconds target_;
    double commitMs_ = -1; // none measured yet
};

} // namespace ui
