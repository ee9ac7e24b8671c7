#include "platform/kernel/ScreenMetrics.h"

#include <mutex>

namespace qv::kernel {
namespace {
std::mutex g_mutex;
ScreenMetrics g_metrics;
} // namespace

ScreenMetrics screenMetrics() {
    std::lock_guard lock(g_mutex);
    return g_metrics;
}

void setScreenMetrics(const ScreenMetrics& metrics) {
    std::lock_guard lock(g_mutex);
    g_metrics = metrics;
}

void resetScreenMetrics() { setScreenMetrics(ScreenMetrics{}); }

} // namespace qv::kernel
