#include "app/camera/modCAM.h"

#include <bit>
#include <cmath>
#include <cstring>

#include "app/camera/frmCAM_TEST.h"
#include "app/common/IniSet.h"
#include "app/main/Acqisition.h"
#include "platform/basic/Basic.h"
#include "platform/forms/Runtime.h"
#include "platform/kernel/Files.h"

namespace qv {

static_assert(std::endian::native == std::endian::little, "the frame list is little-endian");

std::vector<int32_t> GlFlameTime;
std::vector<double> GdblFlameTime;
std::vector<float> GsngFlameTime;
std::vector<int32_t> GlTime_ADCGET;
int32_t GlADCGETCnt = 0;
int32_t GlTime_ADSTART = 0;
basic::Collection<std::string> StackFlameTable;

namespace {

template <class T>
std::vector<T> readBlock(std::string_view bytes, size_t& at, int32_t count) {
    std::vector<T> out(static_cast<size_t>(count));
    if (count > 0) std::memcpy(out.data(), bytes.data() + at, out.size() * sizeof(T));
    at += out.size() * sizeof(T);
    return out;
}

// The doubles are usable only when every one lies within 2^31 of zero; a NaN fails as well.
bool doublesUsable(const std::vector<double>& values) {
    for (double v : values)
        if (!(std::fabs(v) <= 2147483648.0)) return false;
    return true;
}

// The bytes of the three blocks. The counts come from the parameter file: they are checked
// before they size anything, so a wrong count cannot allocate gigabytes or leave zero-filled
// tails; a negative one is refused as re-dimensioning refused it.
uint64_t flameListSize(int32_t capNum, int32_t adcGetCnt) {
    if (capNum < 0 || adcGetCnt < 0) basic::raiseError(basic::errSubscript);
    return 12ull * static_cast<uint64_t>(capNum) + 4ull * static_cast<uint64_t>(adcGetCnt);
}

constexpr int errPastEndOfFile = 62;

}  // namespace

FlameTables ParseFlameList(std::string_view bytes, int32_t capNum, int32_t adcGetCnt) {
    if (bytes.size() < flameListSize(capNum, adcGetCnt)) basic::raiseError(errPastEndOfFile);
    FlameTables t;
    size_t at = 0;
    t.lFlameTime = readBlock<int32_t>(bytes, at, capNum);
    t.dblFlameTime = readBlock<double>(bytes, at, capNum);
    t.lTime_ADCGET = readBlock<int32_t>(bytes, at, adcGetCnt);
    t.sngFlameTime.resize(t.lFlameTime.size());
    if (doublesUsable(t.dblFlameTime)) {
        for (size_t i = 0; i < t.sngFlameTime.size(); ++i)
            t.sngFlameTime[i] = static_cast<float>(t.dblFlameTime[i]);
    } else {
        for (size_t i = 0; i < t.sngFlameTime.size(); ++i)
            t.sngFlameTime[i] = static_cast<float>(t.lFlameTime[i]);
    }
    return t;
}

void UseFlameTables(FlameTables&& tables) {
    GlFlameTime = std::move(tables.lFlameTime);
    GdblFlameTime = std::move(tables.dblFlameTime);
    GsngFlameTime = std::move(tables.sngFlameTime);
    GlTime_ADCGET = std::move(tables.lTime_ADCGET);
    Acqisition::MakeStackFlameTable();
    // Only a shown test window lists the tables; a hidden one is not created for it.
    forms::Form* test = forms::Runtime::get().findForm("frmCAM_TEST");
    if (test && test->Visible()) {
        frmCAM_TEST& w = frmCAM_TEST::instance();
        w.DispArray(GlFlameTime, w.lstGlFlameTime);
        w.DispArrayDbl(GdblFlameTime, w.lstGdblFlameTime);
    }
}

void ReadFlameList(const std::string& flmFile) {
    kernel::BinaryFile file;
    if (!file.open(flmFile)) basic::raiseError(basic::errFileNotFound);
    const int32_t capNum = GlCapNum, adcGetCnt = GlADCGETCnt;
    // Only the bytes of the three blocks are read, and only once the file is known to hold them.
    const uint64_t need = flameListSize(capNum, adcGetCnt);
    if (file.size() < need) basic::raiseError(errPastEndOfFile);
    std::string bytes(static_cast<size_t>(need), '\0');
    if (file.readAt(0, bytes.data(), bytes.size()) < bytes.size()) basic::raiseError(errPastEndOfFile);
    UseFlameTables(ParseFlameList(bytes, capNum, adcGetCnt));
}

int32_t FindStackFlameIndex(int32_t position) {
    if (GlFlameTime.empty()) return -1;
    return FindIndexSorted(GlFlameTime, position);
}

int32_t GetStackFlameNo(int32_t position, bool last) {
    const int32_t index = FindStackFlameIndex(position);
    if (index < 0) basic::raiseError(basic::errSubscript);
    const std::string& item = StackFlameTable.Item(std::to_string(GlFlameTime[static_cast<size_t>(index)]));
    const size_t comma = last ? item.rfind(',') : item.find(',');
    std::string field = item;
    if (comma != std::string::npos) field = last ? item.substr(comma + 1) : item.substr(0, comma);
    return basic::CLng(basic::Val(field));
}

}  // namespace qv
