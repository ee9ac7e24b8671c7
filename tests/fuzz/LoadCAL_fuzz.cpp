// Any bytes as a calibration file, read by the calibration table on a started program. Every
// text read is one ini value (at most 1023 CP932 bytes, comments cut, trimmed); handed to the
// library's store the four numbers of every channel come back as they went in, to six decimals;
// shown in the main window's table only the documented conversion errors may stop the showing.
#include <cmath>
#include <cstdlib>

#include "FuzzProgram.h"
#include "FuzzTarget.h"
#include "app/channel/CCalSetting.h"
#include "app/common/modIniFile.h"
#include "platform/basic/Basic.h"
#include "platform/kernel/Encoding.h"
#include "platform/kernel/Profile.h"

namespace {

bool isOneIniValue(const std::string& text) {
    if (qv::kernel::utf8ToCp932(text).size() > 1023) return false;
    if (text.find_first_of(std::string(";\t\0", 3)) != std::string::npos) return false;
    return qv::basic::Trim(text) == text;
}

// The library's store keeps six decimals and the table shows single precision with seven
// significant digits: what comes back is the value put, rounded to both.
bool sixDecimals(float put, const std::string& back) {
    const double a = put, b = qv::basic::Val(back);
    return std::fabs(a - b) <= 5e-7 + std::fabs(a) * 6.5e-7;
}

}  // namespace

QV_FUZZ_TARGET(LoadCAL) {
    qv::fuzz::Program& p = qv::fuzz::program();
    p.writeSaved("in.CAL", std::string(reinterpret_cast<const char*>(data), size));
    const std::string path = p.prog.win("in.CAL");
    qv::kernel::clearProfileCache();
    qv::CCalSetting table;
    table.LoadCAL(path);
    if (qv::GetIniFileName() != path || table.CalFilePath() != path) std::abort();
    for (int32_t i = 0; i < qv::CCalSetting::kChannels; ++i)
        for (const std::string& t : {table.CHName(i), table.Unit(i), table.EU_HI(i), table.EU_LO(i),
                                     table.Cal_AD(i), table.Base_AD(i)})
            if (!isOneIniValue(t)) std::abort();

    bool stored = true;
    try {
        table.PUTCAL();
    } catch (const qv::basic::RuntimeError&) {
        stored = false;  // a value beyond single precision: the hand-over's documented refusal
    }
    if (stored) {
        qv::CCalSetting back;
        back.GETCAL();
        for (int32_t i = 0; i < qv::CCalSetting::kChannels; ++i) {
            const auto& r = table.Record()[static_cast<size_t>(i)];
            if (!sixDecimals(r.EU_HI, back.EU_HI(i)) || !sixDecimals(r.EU_LO, back.EU_LO(i)) ||
                !sixDecimals(r.Cal_AD, back.Cal_AD(i)) || !sixDecimals(r.Base_AD, back.Base_AD(i)) ||
                qv::kernel::utf8ToCp932(back.CHName32(i)).size() != 32)
                std::abort();
        }
    }

    p.driver.run([&] {
        try {
            table.DispCal(*p.window, 1, qv::CCalSetting::kChannels);
        } catch (const qv::basic::RuntimeError& e) {
            if (e.number() != 6 && e.number() != 13) std::abort();
        }
    });
    return 0;
}

QV_FUZZ_SEEDS(LoadCAL) {
    qv::fuzz::Program& p = qv::fuzz::program();
    const char* columns[6] = {"txtName", "txtUnit", "txtEUHI", "txtEULO", "txtCALAD", "txtBASEAD"};
    const char* rows[][6] = {{"温度センサ１", "℃", "50.5", "-10", "2047", "-3"},
                             {"ひずみ計", "με", "1e-05", "0", "32768", "12"},
                             {"CH3", "V", "100", "0", "2048", "0"}};
    const std::string saved = p.prog.win("seed.CAL");
    p.driver.run([&] {
        for (int i = 0; i < qv::CCalSetting::kChannels; ++i)
            for (int c = 0; c < 6; ++c) p.window->control(columns[c], i).set("Text", rows[i % 3][c]);
        qv::CCalSetting table;
        table.SaveCAL(saved, *p.window);
        table.PUTCAL();  // the library writes its own store, DEFAULT.CAL
    });
    return {qv::fuzz::bytesOf(p.prog.readBytes("seed.CAL")), qv::fuzz::bytesOf(p.prog.readBytes("DEFAULT.CAL"))};
}
