// The staged load of a recording and its first windowed read, headless: one input split into a
// parameter file, a frame list and a data file (at the lines "--FLM--" and "--KDAT--"), staged
// as the load button stages it and, when every file passed, applied to the records the reader
// uses and read one page.
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "FuzzTarget.h"
#include "app/common/IniSet.h"
#include "app/main/Acqisition.h"
#include "app/main/StagedRecording.h"
#include "platform/basic/RuntimeError.h"
#include "platform/kernel/Profile.h"
#include "tests/app/camera/FlameList_testsupport.h"
#include "tests/app/main/RecordingGenerator.h"

namespace {

constexpr std::string_view kFlm = "\n--FLM--\n";
constexpr std::string_view kKdat = "\n--KDAT--\n";
// Pages and frame lists larger than this are the tests' matter: zeroing hundreds of megabytes
// would leave the fuzzer no time for anything else.
constexpr int64_t kMaxWords = 1 << 20;

void writeFile(const std::string& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The part of `input` after `mark` up to the next mark of `marks` (or the end); empty without it.
std::string_view part(std::string_view input, std::string_view mark) {
    const size_t at = input.find(mark);
    if (at == std::string_view::npos) return {};
    std::string_view rest = input.substr(at + mark.size());
    for (std::string_view other : {kFlm, kKdat}) rest = rest.substr(0, rest.find(other));
    return rest;
}

std::string joined(const qv::apptest::RecordingSpec& layout, std::string_view flm) {
    return layout.KparBytes() + std::string(kFlm) + std::string(flm) + std::string(kKdat) + layout.KdatBytes();
}

}  // namespace

QV_FUZZ_TARGET(RecordingLoad) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::string base = (qv::fuzz::scratchFolder() / "f").string();
    writeFile(base + ".Kpar", input.substr(0, std::min(input.find(kFlm), input.find(kKdat))));
    writeFile(base + ".FLM", part(input, kFlm));
    writeFile(base + ".Kdat", part(input, kKdat));
    qv::kernel::clearProfileCache();

    // One batch scope: the parameter file is parsed once rather than opened again for each of
    // the reader's several hundred look-ups; nothing is written, so the scope writes nothing.
    qv::kernel::ProfileBatch batch(base + ".Kpar");
    qv::GAcqParam = qv::AcqParam{};
    qv::KparParam param;
    try {
        qv::ReadKparParam(base + ".Kpar", param);
        const qv::AcqParam& p = param.param;
        if (!param.rateOffered) return 0;  // refused with its message
        if (static_cast<int64_t>(p.wCh) * (p.lSweepPoint + 1) > kMaxWords ||
            12ll * param.GlCapNum + 4ll * param.GlADCGETCnt > kMaxWords)
            return 0;
        qv::StagedRecording staged = qv::StageRecording(base, std::move(param));
        qv::GAcqParam = staged.param.param;
        qv::GAcqCondition = qv::GAcqParam.Condition;
        qv::GCalRecEU = staged.param.calEU;
        if (staged.scansInData >= 0)
            qv::GAcqParam.PTotal = std::min(qv::GAcqParam.PTotal, staged.scansInData);
        qv::GstrKdatFile = base + ".Kdat";
        int32_t start = qv::GAcqParam.lPosWAVE_Start, count = qv::kOnePage;
        qv::ReadWaveWindow(start, count);
        // The page and its closing point, as the display reads them.
        if (count >= 0 && qv::DispWaveArray.Points() != count + 1) std::abort();
    } catch (const qv::basic::RuntimeError&) {
        // A refused recording is the loader's answer.
    }
    return 0;
}

QV_FUZZ_SEEDS(RecordingLoad) {
    using qv::apptest::RecordingSpec;
    RecordingSpec plain;
    RecordingSpec shortData(3, 1000, 600, 4);
    shortData.set("P", "lSweepPoint", "10005");  // ten chunks, past the end
    shortData.kdatBytes = 2 * 3 * 500 + 1;
    RecordingSpec camera(2, 100, 300);
    camera.set("Condition", "strCameraSetting", "1").set("GLOBAL", "GlCapNum", "3").set("GLOBAL", "GlADCGETCnt", "2");
    RecordingSpec trigger(2, 100, 400);
    trigger.set("Condition", "strTRIGGER_SETTING", "1").set("P", "lSweepPoint", "100");
    // A channel text of another range, a rate no list offers, no calibration stored.
    std::string noCal = plain.KparBytes();
    noCal.erase(noCal.find("[CAL]"), noCal.find("[Acqisition]") - noCal.find("[CAL]"));
    return {qv::fuzz::bytesOf(joined(plain, "")), qv::fuzz::bytesOf(joined(shortData, "")),
            qv::fuzz::bytesOf(joined(camera, qv::apptest::flameListBytes({10, 20, 20}, {5, 6}))),
            qv::fuzz::bytesOf(joined(trigger, "")),
            qv::fuzz::bytesOf(joined(RecordingSpec(2, 100, 300, 3).set("Condition", "strCH", "3-6"), "")),
            qv::fuzz::bytesOf(joined(RecordingSpec(2, 100, 300).set("P", "nSClock", "300"), "")),
            qv::fuzz::bytesOf(noCal + std::string(kFlm) + std::string(kKdat) + plain.KdatBytes())};
}
