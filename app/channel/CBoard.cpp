#include "app/channel/CBoard.h"

#include <memory>

#include "platform/basic/Basic.h"
#include "platform/basic/RuntimeError.h"

namespace qv {

namespace {

struct BoardRow {
    const char* name;
    int32_t bits;
    int32_t maxCH;
    bool trg;
    bool softTrg;
    bool digitalTrg;
    bool deviceNamed;
    const char* device;
};

// clang-format off
constexpr BoardRow kBoards[CBoard::kTypeCount] = {
    {"VylK10",    12, 16, true,  false, false, false, ""},
    {"",          16, 16, true,  false, false, false, ""},
    {"",          12, 16, true,  false, false, false, ""},
    {"VylK12",    16, 16, true,  false, false, false, ""},
    {"",          12, 16, false, false, false, true,  ""},
    {"VylK14(A)", 12, 16, true,  false, false, true,  "FBIAD*"},
    {"VylK16",    16, 16, true,  false, false, true,  "FBIAD*"},
    {"VylK20",    16, 16, false, false, false, true,  "AIO00*"},
    {"VylK14(B)", 12, 16, true,  false, false, true,  "FBIAD*"},
    {"VylK14(B)", 12, 16, true,  false, false, true,  "FBIAD*"},
    {"VylK18",    16, 32, true,  false, false, true,  "AIO00*"},
    {"VylK22",    16, 32, true,  false, false, true,  "AIO00*"},
    {"VylK24",    12,  4, true,  true,  true,  true,  "Dev*"},
    {"VylK26",    11,  8, true,  true,  true,  true,  "Dev*"},
    {"VylK28",    14,  4, true,  true,  true,  true,  "Dev*"},
    {"VylK30",    13,  8, true,  true,  true,  true,  "Dev*"},
    {"VylB50",    12,  9, false, false, false, true,  "\\\\.\\COM*"},
    {"VylK40",    16,  8, true,  true,  true,  true,  "Dev*"},
    {"VylK42",    16, 16, true,  true,  true,  true,  "Dev*"},
    {"VylD60",    16, 16, true,  false, false, true,  "AIO00*"},
    {"VylD62",    16, 16, true,  false, false, true,  "AIO00*"},
    {"VylD64",    16, 16, true,  false, false, true,  "AIO00*"},
    {"VylD66",    16, 16, true,  false, false, true,  "AIO00*"},
    {"VylK32",    16, 16, true,  true,  true,  true,  "Dev*"},
    {"VylK34",    16, 16, true,  true,  true,  true,  "Dev*"},
    {"VylB54",    16,  9, false, false, false, true,  "\\\\.\\COM*"},
    {"VylK36",    14,  4, true,  true,  true,  true,  "Dev*"},
    {"VylK38",    14,  8, true,  true,  true,  true,  "Dev*"},
    {"VylB56",    16,  8, false, false, false, true,  "\\\\.\\COM*"},
    {"VylK44",    16, 16, true,  true,  true,  true,  "Dev*"},
    {"VylK46",    16, 32, true,  true,  true,  true,  "Dev*"},
    {"VylS80",    16, 16, false, false, true,  true,  "\\\\.\\COM*"},
    {"VylXXX",    12,  8, false, false, false, true,  ""},
};
// clang-format on

// Outside device descriptions, tested in this order; the first match decides.
struct NamePattern {
    const char* pattern;
    int32_t type;
};
constexpr NamePattern kNamePatterns[] = {
    {"*CONTEC Co.,Ltd-AD16-16U(PCI)EH*", 3},
    {"*AIO-163202FX-USB*", 11},
    {"*USB-6008*", 13},
    {"*USB-6009*", 15},
    {"*USB-6210*", 18},
    {"*AIO AD16-16U(PCI)EH*", 19},
    {"*USB-6003*", 24},
    {"*USB-6001*", 27},
    {"*TI CC2531 USB CDC Serial Port*", 28},
};

// The debug source's row: every flag False.
constexpr BoardRow kDebugRow = {"デバッグ", 16, 32, false, false, false, false, "デバッグ"};

// A type outside the tables is the index error of the platform.
const BoardRow& row(int32_t type) {
    if (type == CBoard::kDebugType) return kDebugRow;
    if (type < 0 || type >= CBoard::kTypeCount) basic::raiseError(9);
    return kBoards[type];
}

std::unique_ptr<CBoard>& instanceSlot() {
    static std::unique_ptr<CBoard> board;
    return board;
}

}  // namespace

CBoard& CBoard::instance() {
    auto& slot = instanceSlot();
    if (!slot) slot = std::make_unique<CBoard>();
    return *slot;
}

void CBoard::ReleaseInstance() { instanceSlot().reset(); }

int32_t CBoard::GetADName2ADType(const std::string& name) const {
    for (const auto& p : kNamePatterns)
        if (basic::Like(name, p.pattern)) return p.type;
    return kNoMatch;
}

void CBoard::GetADDataFormat_Signed_Unsigned(std::vector<int32_t>& flags) const {
    const int32_t v = (selectBoard_ == 16 || selectBoard_ == 32) ? 1 : 0;
    flags.assign(32, v);
}

bool CBoard::IsEnableDeviceName(int32_t type) const { return row(type).deviceNamed; }
int32_t CBoard::BordBit(int32_t type) const { return row(type).bits; }
int32_t CBoard::BoardMaxCH(int32_t type) const { return row(type).maxCH; }
std::string CBoard::BoardName(int32_t type) const { return row(type).name; }
std::string CBoard::DeviceName(int32_t type) const { return row(type).device; }
bool CBoard::TrgSupport(int32_t type) const { return row(type).trg; }
bool CBoard::TrelmSoftTrgSupport(int32_t type) const { return row(type).softTrg; }
bool CBoard::DigitalTrgSupport(int32_t type) const { return row(type).digitalTrg; }

}  // namespace qv
