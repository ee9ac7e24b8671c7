#include "platform/kernel/Time.h"

#include <cerrno>
#include <ctime>
#include <mutex>
#include <sched.h>

namespace qv::kernel {
namespace {

std::mutex g_mutex;
std::function<std::uint32_t()> g_tick;
std::function<void(std::uint32_t)> g_sleep;

std::uint32_t realTick() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    std::uint64_t ms = static_cast<std::uint64_t>(t.tv_sec) * 1000u + static_cast<std::uint64_t>(t.tv_nsec) / 1000000u;
    return static_cast<std::uint32_t>(ms);   // wraps, as the platform's count does
}

void realSleep(std::uint32_t ms) {
    if (ms == 0) {
        sched_yield();
        return;
    }
    timespec req{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
    // clock_nanosleep continues the same wait after a signal.
    while (clock_nanosleep(CLOCK_MONOTONIC, 0, &req, &req) == EINTR) {
    }
}

} // namespace

std::uint32_t tickCount() {
    std::function<std::uint32_t()> hook;
    {
        std::lock_guard lock(g_mutex);
        hook = g_tick;
    }
    return hook ? hook() : realTick();
}

void sleepMs(std::uint32_t ms) {
    std::function<void(std::uint32_t)> hook;
    {
        std::lock_guard lock(g_mutex);
        hook = g_sleep;
    }
    if (hook) hook(ms);
    else realSleep(ms);
}

void setTickSource(std::function<std::uint32_t()> source) {
    std::lock_guard lock(g_mutex);
    g_tick = std::move(source);
}

void setSleepHook(std::function<void(std::uint32_t)> hook) {
    std::lock_guard lock(g_mutex);
    g_sleep = std::move(hook);
}

VirtualClock::VirtualClock(std::uint32_t start) : now_(start) {
    setTickSource([this] { return now_; });
    setSleepHook([this](std::uint32_t ms) { advance(ms); });
}

VirtualClock::~VirtualClock() {
    setTickSource({});
    setSleepHook({});
}

} // namespace qv::kernel
