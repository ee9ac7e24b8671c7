#pragma once
// The millisecond tick count and Sleep. Tests replace the clock with a virtual one so that waits
// and timers happen exactly when the test says.
#include <cstdint>
#include <functional>

namespace qv::kernel {

// Milliseconds since an arbitrary start, as 32 bits: it wraps after about 49.7 days.
std::uint32_t tickCount();
// Sleeps at least `ms` milliseconds (0: gives up the time slice).
void sleepMs(std::uint32_t ms);

// Replace the clock (empty functions restore the real one). The sleep hook receives the whole
// requested sleep.
void setTickSource(std::function<std::uint32_t()> source);
void setSleepHook(std::function<void(std::uint32_t)> hook);

// A virtual clock: while installed, tickCount() returns its time and sleepMs() advances it
// without waiting. Installing it replaces any hooks; destroying it restores the real clock.
class VirtualClock {
public:
    explicit VirtualClock(std::uint32_t start = 0);
    ~VirtualClock();
    VirtualClock(const VirtualClock&) = delete;
    VirtualClock& operator=(const VirtualClock&) = delete;
    std::uint32_t now() const noexcept { return now_; }
    void advance(std::uint32_t ms) noexcept { now_ += ms; }
    void set(std::uint32_t ms) noexcept { now_ = ms; }

private:
    std::uint32_t now_;
};

} // namespace qv::kernel
