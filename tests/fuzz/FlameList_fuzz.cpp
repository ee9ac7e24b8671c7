// The camera frame list: the frame and fetch counts the parameter file gives (two int32 at the
// start of the input), then the file's bytes. An accepted file is put in use and looked up.
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "FuzzTarget.h"
#include "app/camera/modCAM.h"
#include "app/camera/FlameList_testsupport.h"
#include "platform/basic/RuntimeError.h"

QV_FUZZ_TARGET(FlameList) {
    if (size < 8) return 0;
    int32_t counts[2];
    std::memcpy(counts, data, sizeof counts);
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 8, size - 8);
    try {
        qv::UseFlameTables(qv::ParseFlameList(bytes, counts[0], counts[1]));
    } catch (const qv::basic::RuntimeError&) {
        // A refused file is the reader's answer to bad input.
        return 0;
    }
    const auto frames = static_cast<int32_t>(qv::GlFlameTime.size());
    if (qv::GsngFlameTime.size() != qv::GlFlameTime.size() ||
        qv::GdblFlameTime.size() != qv::GlFlameTime.size() ||
        static_cast<int32_t>(qv::GlTime_ADCGET.size()) != counts[1])
        std::abort();
    // Every frame position, and the positions beside it, gives a frame of the table; the
    // groups hold every position, so the look-up never misses, whatever the order.
    for (int32_t i = 0; i < frames; i += 1 + frames / 64) {
        const int32_t p = qv::GlFlameTime[static_cast<size_t>(i)];
        for (int32_t q : {p, p == INT32_MIN ? p : p - 1, p == INT32_MAX ? p : p + 1})
            for (bool last : {false, true}) {
                const int32_t n = qv::GetStackFlameNo(q, last);
                if (n < 0 || n >= frames) std::abort();
            }
    }
    if (frames == 0 && qv::FindStackFlameIndex(0) != -1) std::abort();
    return 0;
}

namespace {

qv::fuzz::Bytes withCounts(int32_t capNum, int32_t adcGetCnt, const std::string& file) {
    std::string all;
    qv::apptest::appendLE(all, capNum);
    qv::apptest::appendLE(all, adcGetCnt);
    return qv::fuzz::bytesOf(all + file);
}

}  // namespace

QV_FUZZ_SEEDS(FlameList) {
    using qv::apptest::flameListBytes;
    return {withCounts(6, 2, flameListBytes({100, 100, 133, 166, 166, 166}, {7, 8})),
            withCounts(2, 0, flameListBytes({1, 2}, {1.25, 2147483648.0 * 2}, {})),
            withCounts(3, 1, flameListBytes({9, 4, 9}, {1})),
            withCounts(1, 0, flameListBytes({-5}) + "tail")};
}
