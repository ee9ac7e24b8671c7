// The numeric operations of IniSet around the loaded recording.
#include <cmath>
#include <limits>
#include <new>

#include "app/common/IniSet.h"
#include "app/common/modFile.h"
#include "platform/basic/Basic.h"
#include "platform/kernel/Files.h"
#include "platform/kernel/Process.h"

namespace qv {

void LoadRawSamples(int32_t startPoint, int32_t points) {
    // The data file's scans are wCh words wide, so the read, the buffer and the copy are all
    // sized by wCh (a parameter file whose channel range disagrees must not make the copy run
    // past what was read), and offsets are 64-bit for recordings beyond 2 GB.
    const int32_t wCh = GAcqParam.wCh;
    if (wCh <= 0 || points <= 0 || startPoint < 0) return;
    const std::string path = FindFile(GstrKdatFile, true);
    if (path.empty()) return;
    kernel::BinaryFile file;
    if (!file.open(path)) basic::raiseError(75, "Path/File access error: " + path);

    const uint64_t words = static_cast<uint64_t>(wCh) * static_cast<uint64_t>(points);
    if (words > std::numeric_limits<size_t>::max() / sizeof(int16_t))
        basic::raiseError(basic::errOutOfMemory);
    if (RawSampleBuffer.size() < words) {
        try {
            std::vector<int16_t>(static_cast<size_t>(words), 0).swap(RawSampleBuffer);
        } catch (const std::bad_alloc&) {
            basic::raiseError(basic::errOutOfMemory);
        }
    }
    const uint64_t offset = static_cast<uint64_t>(wCh) * static_cast<uint64_t>(startPoint) * 2u;
    // Little-endian words, as the machine holds them; words past the end of the file read as 0.
    file.readAt(offset, RawSampleBuffer.data(), static_cast<size_t>(words) * sizeof(int16_t));
}

float MsToPoint(int32_t ms) {
    return basic::CSng(basic::Divide(static_cast<double>(ms) * 1000.0, GAcqParam.nSClock));
}

int32_t PointOrRecordingEnd(double points) {
    return basic::TryCLng(points).value_or(points < 0 ? 0 : GAcqParam.PTotal);
}

float PointToMs(int32_t points) {
    return basic::CSng(static_cast<double>(points) * GAcqParam.nSClock / 1000.0);
}

float PointToSec(int32_t points) { return basic::CSng(static_cast<double>(PointToMs(points)) / 1000.0); }

float FreqToPeriodUs(int32_t hz) { return basic::CSng(basic::Divide(1000000.0, hz)); }

std::optional<int32_t> DHMSToSec(const std::string& days, const std::string& hours,
                                 const std::string& minutes, const std::string& seconds) {
    using basic::TryCLng;
    using basic::TypedVal;
    std::optional<int32_t> t = TryCLng(TypedVal(days) * 86400.0);
    if (t) t = TryCLng(TypedVal(hours) * 3600.0 + *t);
    if (t) t = TryCLng(TypedVal(minutes) * 60.0 + *t);
    if (t) t = TryCLng(*t + TypedVal(seconds));
    return t;
}

std::string FormatDHMS(int32_t seconds) {
    const int32_t days = seconds / 86400;
    int32_t rest = seconds % 86400;
    const int32_t hours = rest / 3600;
    rest %= 3600;
    const int32_t minutes = rest / 60;
    const int32_t secs = rest % 60;
    return basic::Format(days, "0000") + basic::Format(hours, "00") + basic::Format(minutes, "00") +
           basic::Format(secs, "00");
}

std::string GetDaysStr(int32_t seconds) { return basic::Mid(FormatDHMS(seconds), 1, 4); }
std::string GetHoursStr(int32_t seconds) { return basic::Mid(FormatDHMS(seconds), 5, 2); }
std::string GetMinutesStr(int32_t seconds) { return basic::Mid(FormatDHMS(seconds), 7, 2); }
std::string GetSecondsStr(int32_t seconds) { return basic::Mid(FormatDHMS(seconds), 9, 2); }

int32_t FindIndexSorted(const std::vector<int32_t>& table, int32_t v) {
    if (table.empty()) basic::raiseError(basic::errSubscript);
    const int32_t last = static_cast<int32_t>(table.size()) - 1;
    if (table[0] > v) return 0;
    if (table[last] <= v) return last;
    int32_t lo = 0;
    int32_t hi = last;
    while (lo <= hi) {
        const int32_t mid = basic::roundToInt32((static_cast<double>(lo) + hi) / 2.0);
        // In a sorted table only reached with table[0] <= v < table[1]: the entry at or below
        // v is the first.
        if (mid == 0) return 0;
        if (table[mid] == v) return mid;
        if (table[mid - 1] == v) return mid - 1;
        if (table[mid - 1] < v && v <= table[mid]) return mid - 1;
        if (table[mid] >= v)
            hi = mid - 1;
        else
            lo = mid + 1;
    }
    return 0;
}

namespace {

// Nearest integer, halves to even, held inside the 32-bit range.
int32_t nearestClamped(double x) {
    if (std::isnan(x)) return -1;
    if (x >= 2147483647.0) return std::numeric_limits<int32_t>::max();
    if (x <= -2147483648.0) return std::numeric_limits<int32_t>::min();
    return basic::roundToInt32(x);
}

int32_t wholeClamped(double x) {
    if (x >= 2147483647.0) return std::numeric_limits<int32_t>::max();
    return basic::truncToInt32(x);
}

constexpr double k2G = 2147483648.0;  // 1024 x 1024 x 2 x 1024

}  // namespace

int32_t CalcPresetLimit(int32_t timeFsMs, int32_t rateHz, int32_t channels, int32_t boardType,
                        bool triggerSetting) {
    // Every quotient below is guarded: a zero rate, period, channel count or page size means
    // there is no limit to compute, never a division by zero.
    const float f = static_cast<float>(static_cast<double>(timeFsMs) / 1000.0);
    if (rateHz == 0) return -1;
    const int32_t p = nearestClamped(1000000.0 / rateHz);
    if (p == 0) return -1;
    const double c = channels;
    switch (boardType) {
        case 16:
        case 25:
            return nearestClamped(1800.0 / (1000.0 / p));
        case 28:
            return nearestClamped(7200.0 / (1000.0 / p));
        default:
            break;
    }
    if (triggerSetting) {
        const int32_t s = nearestClamped(1000000.0 / p * c * 2.0 * static_cast<double>(f));
        if (s == 0) return -1;
        return nearestClamped(std::trunc(k2G / s) - 1.0);
    }
    if (channels == 0) return -1;
    const int32_t b = nearestClamped(1000000.0 / p * c * 2.0);
    if (b == 0) return -1;
    return wholeClamped(k2G / b);
}

int32_t CalcPresetLimitJINS() { return static_cast<int32_t>(k2G / (4.0 * 10.0 * 1000.0)); }

void RaisePriority() { kernel::raisePriority(); }

}  // namespace qv
