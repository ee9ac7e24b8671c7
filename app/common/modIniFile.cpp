#include "app/common/modIniFile.h"

#include "app/common/IniSet.h"
#include "platform/basic/Basic.h"
#include "platform/kernel/Paths.h"
#include "platform/kernel/Profile.h"

namespace qv {

namespace {

std::string gIniFileName;

constexpr const char* kSystemIni = "Tolvane.ini";

std::string readSystemIni(std::string_view section, std::string_view key,
                          std::string_view defaultValue) {
    IniPathGuard guard(ProgramFile(kSystemIni));
    return ReadIniString(section, key, defaultValue);
}

bool systemIniFlag(std::string_view section, std::string_view key) {
    return readSystemIni(section, key, "") == "1";
}

// One part of "RR,GG,BB": hexadecimal digits only, no prefix, no blanks.
bool parseHexPart(std::string_view part, int32_t& out) {
    if (part.empty() || part.size() > 8) return false;
    uint32_t v = 0;
    for (char c : part) {
        int d;
        if (c >= '0' && c <= '9') d = c - '0';
        else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else return false;
        v = v * 16 + static_cast<uint32_t>(d);
    }
    out = v > 255 ? 255 : static_cast<int32_t>(v);
    return true;
}

}  // namespace

void SetIniFileName(const std::string& path) { gIniFileName = path; }

std::string GetIniFileName() { return gIniFileName; }

IniPathGuard::IniPathGuard() : saved_(gIniFileName) {}

IniPathGuard::IniPathGuard(const std::string& switchTo) : saved_(gIniFileName) {
    gIniFileName = switchTo;
}

IniPathGuard::~IniPathGuard() { gIniFileName = saved_; }

std::string ProgramFile(std::string_view name) {
    std::string folder = kernel::programFolderWindows();
    if (folder.empty() || (folder.back() != '\\' && folder.back() != '/')) folder += '\\';
    return folder + std::string(name);
}

std::string ReadIniString(std::string_view section, std::string_view key,
                          std::string_view defaultValue, std::string_view raw) {
    const kernel::ProfileString r =
        kernel::getProfileString(gIniFileName, section, key, defaultValue, 1024);
    if (r.length < 1) return std::string(defaultValue);
    if (raw == "True") return r.text;
    return StripIniComment(r.text);
}

std::string StripIniComment(std::string_view text) {
    std::string_view s = text;
    for (char cut : {'\0', ';', '\t'}) {
        const size_t p = s.find(cut);
        if (p != std::string_view::npos) s = s.substr(0, p);
    }
    return basic::Trim(s);
}

bool WriteIniString(std::string_view section, std::string_view key, std::string_view value) {
    if (gIniFileName.empty()) return true;
    return kernel::writeProfileString(gIniFileName, section, key, value);
}

bool FlushIniFile() {
    if (gIniFileName.empty()) return true;
    return kernel::flushProfile(gIniFileName);
}

// A stored number beyond a Long is logged and the default taken instead.
int32_t GetPlaySleep() {
    return StoredLong(readSystemIni("PLAY", "SLEEP", "500"), "Tolvane.ini PLAY SLEEP").value_or(500);
}

int32_t GetPlayStep() {
    return StoredLong(readSystemIni("PLAY", "STEP", "500"), "Tolvane.ini PLAY STEP").value_or(500);
}

bool IsCsvHeader() { return systemIniFlag("CSV", "HEADER"); }
bool IsCsvDivTrial() { return systemIniFlag("CSV", "DIVTRIAL"); }
bool IsCsvDataNo() { return systemIniFlag("CSV", "DATANO"); }

int32_t GetChannelColor(int32_t ch) {
    const std::string value = readSystemIni("COLOR", "CH_" + basic::CStr(ch), "");
    const std::vector<std::string> parts = basic::Split(value, ",");
    if (parts.size() < 3) return 0;
    int32_t rgb[3];
    for (int i = 0; i < 3; ++i)
        if (!parseHexPart(parts[i], rgb[i])) return 0;  // a bad line must not stop start-up
    return basic::RGB(rgb[0], rgb[1], rgb[2]);
}

bool IsCameraFilterOK() {
    IniPathGuard guard(ProgramFile("CAM_GETINFO.ini"));
    return ReadIniString("ALL", "pGraph->AddFilter(pSrc, L\"Video Capture\")", "") == "0";
}

bool IsCameraEnabled(const std::string& path, bool fromFile) {
    IniPathGuard guard(path);
    const std::string setting = ReadIniString("Condition", "strCameraSetting", "");
    bool framesOk;
    if (fromFile)
        framesOk = StoredNumber(ReadIniString("GLOBAL", "GlCapNum", ""), path + " GlCapNum").value_or(0) > 0;
    else
        framesOk = GlCapNum >= 1;
    return setting == "1" && framesOk;
}

}  // namespace qv
