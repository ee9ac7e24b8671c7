#pragma once
// Recordings written through the recording object, for the tests of everything that reads them:
// a channel count, a rate, a number of frames and a sample pattern give a ".Kdat" and ".Kpar"
// pair, with the calibration the library's store holds (DEFAULT.CAL in the program folder).
#include <cstdint>
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "app/common/IniSet.h"
#include "app/common/modIniFile.h"
#include "app/recording/CKdat.h"
#include "platform/basic/Basic.h"
#include "platform/kernel/Profile.h"

namespace qv::apptest {

// A word that differs by scan and channel and covers negative values.
inline int16_t KdatPatternSample(int64_t scan, int32_t channel) {
    return static_cast<int16_t>((scan * 7 + channel * 1000) % 30000 - 15000);
}

struct KdatRecordingSpec {
    int32_t channels = 4;
    int32_t rateHz = 1000;         // nSClock = 1,000,000 / rateHz
    int32_t frames = 25;
    int32_t frameScans = 0;        // scans a frame; 0: a tenth of a second
    std::function<int16_t(int64_t scan, int32_t channel)> sample = KdatPatternSample;
};

// Channel i of the store: name "名前i", unit "mV", Base_AD i, Cal_AD 1000 + i, EU_HI 10 + i,
// EU_LO -i. Written into DEFAULT.CAL of the program folder, where the library reads it.
inline void WriteKdatStoreCalibration() {
    const std::string path = ProgramFile("DEFAULT.CAL");
    kernel::ProfileBatch batch(path);
    for (int32_t i = 0; i < 32; ++i) {
        const std::string n = "(" + std::to_string(i) + ")";
        kernel::writeProfileString(path, "CAL", "pName" + n, "名前" + std::to_string(i));
        kernel::writeProfileString(path, "CAL", "pUnit" + n, "mV");
        kernel::writeProfileString(path, "CAL", "fBASE_AD" + n, std::to_string(i));
        kernel::writeProfileString(path, "CAL", "fCAL_AD" + n, std::to_string(1000 + i));
        kernel::writeProfileString(path, "CAL", "fEU_HI" + n, std::to_string(10 + i));
        kernel::writeProfileString(path, "CAL", "fEU_LO" + n, std::to_string(-i));
    }
    batch.commit();
}

// Writes the recording `path` names (any extension) through CKdat and returns the scans taken.
inline int32_t WriteKdatRecording(const std::string& path, const KdatRecordingSpec& layout) {
    CKdat k;
    k.CHNum(layout.channels);
    const int32_t period = 1000000 / layout.rateHz;
    k.nSClock(period);
    const int32_t frameScans = layout.frameScans > 0 ? layout.frameScans : std::max(1, layout.rateHz / 10);
    k.nSample(frameScans);
    k.Date_Time_Start(basic::DateSerial(2019, 11, 3) + basic::TimeSerial(7, 5, 9));
    k.StartAcqisition(path);
    std::vector<int16_t> frame(static_cast<size_t>(frameScans) * layout.channels);
    int64_t scan = 0;
    for (int32_t f = 0; f < layout.frames; ++f) {
        for (int32_t i = 0; i < frameScans; ++i, ++scan)
            for (int32_t c = 0; c < layout.channels; ++c)
                frame[static_cast<size_t>(i) * layout.channels + c] = layout.sample(scan, c);
        k.ADCGetData(frame);
    }
    k.ENDAcqisition();
    return k.PTotal();
}

}  // namespace qv::apptest
