// Writes the sample recording of the program folder at build time: eight channels at 1 kHz for
// 60 s (a sine, a square wave, a ramp, a burst, noise and their neighbours), calibrated names
// and units, a few marks with comments, a camera video of its first 10 s with the frame list
// that ties it to the data, and, when the folder has no stored settings yet, the settings that
// name the sample in the file-name box, so the first start can open it at once.
//   MakeSampleRecording <program folder>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "tests/app/camera/CAVI_testsupport.h"
#include "tests/app/camera/FlameList_testsupport.h"
#include "tests/app/main/RecordingGenerator.h"

namespace {

constexpr int32_t kChannels = 8;
constexpr int32_t kRateHz = 1000;
constexpr int32_t kSeconds = 60;
constexpr double kPi = 3.14159265358979323846;
// The camera: 320 x 240 at 10 frames a second for the first 10 s, one frame every 100 points.
constexpr int kVideoWidth = 320, kVideoHeight = 240;
constexpr int32_t kVideoFrames = 100;
constexpr int32_t kPointsPerFrame = kRateHz / 10;

// Raw words of the 12-bit board: -2048 .. 2047 for -5 V .. +5 V.
int16_t word(double x) { return static_cast<int16_t>(std::lround(std::clamp(x, -2048.0, 2047.0))); }

void fillBox(qv::gdi::Surface& s, int left, int top, int right, int bottom, uint32_t rgb) {
    for (int y = std::max(top, 0); y < std::min(bottom, s.height()); ++y)
        for (int x = std::max(left, 0); x < std::min(right, s.width()); ++x) s.row(y)[x] = rgb;
}

// Frame k of the camera: a bar that crosses the picture as the ramp channel rises (once every
// 5 s), a block for each whole second and a strip of ten cells lit up to the tenth, so the
// picture beside a cursor tells where in the data it was taken.
void drawCameraFrame(qv::gdi::Surface& s, int k) {
    s.fill(0x202020);
    const double t = static_cast<double>(k) * kPointsPerFrame / kRateHz;
    const int bar = static_cast<int>(std::fmod(t, 5.0) / 5.0 * (kVideoWidth - 16));
    fillBox(s, bar, 40, bar + 16, 200, 0xE0C040);
    const int seconds = static_cast<int>(t);
    for (int i = 0; i < seconds; ++i) fillBox(s, 8 + 30 * i, 8, 32 + 30 * i, 30, 0x40C0FF);
    const int tenth = k % 10;
    for (int i = 0; i < 10; ++i) fillBox(s, 8 + 30 * i, 210, 32 + 30 * i, 232, i <= tenth ? 0x60FF60 : 0x404040);
}

bool writeFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    return static_cast<bool>(out);
}

// The sample's video as Motion-JPEG frames and its frame list: frame k at point 100 k.
bool writeCamera(const std::filesystem::path& folder) {
    std::vector<int32_t> positions;
    for (int32_t k = 0; k < kVideoFrames; ++k) positions.push_back(k * kPointsPerFrame);
    const std::vector<uint8_t> avi = qv::apptest::mjpegAvi(kVideoWidth, kVideoHeight, kVideoFrames, 100000,
                                                           drawCameraFrame, 85);
    return writeFile(folder / "Sample.AVI", std::string(avi.begin(), avi.end())) &&
           writeFile(folder / "Sample.FLM", qv::apptest::flameListBytes(positions, {0}));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: MakeSampleRecording <program folder>\n";
        return 2;
    }
    const std::filesystem::path folder = std::filesystem::absolute(argv[1]);
    const int32_t scans = kRateHz * kSeconds;
    qv::apptest::RecordingSpec layout(kChannels, kRateHz, scans, 1);

    // Noise is drawn once, so the file is the same on every build.
    std::vector<int16_t> noise(static_cast<size_t>(scans));
    std::mt19937 random(22);
    std::normal_distribution<double> gauss(0.0, 300.0);
    for (int16_t& n : noise) n = word(gauss(random));

    layout.sample = [&noise](int32_t p, int32_t c) -> int16_t {
        const double t = static_cast<double>(p) / kRateHz;
        switch (c) {
            case 0: return word(1500.0 * std::sin(2 * kPi * 2.0 * t));                 // 2 Hz sine
            case 1: return word(std::fmod(t, 1.0) < 0.5 ? 1000.0 : -1000.0);            // 1 Hz square
            case 2: return word(-1800.0 + 3600.0 * std::fmod(t, 5.0) / 5.0);            // 5 s ramp
            case 3: {                                                                    // 50 Hz bursts
                const bool on = std::fmod(t, 4.0) >= 1.0 && std::fmod(t, 4.0) < 1.5;
                return word(on ? 1800.0 * std::sin(2 * kPi * 50.0 * t) : 0.0);
            }
            case 4: return noise[static_cast<size_t>(p)];                               // noise
            case 5: return word(800.0 * std::sin(2 * kPi * 0.25 * t) + 400.0 * std::sin(2 * kPi * 7.0 * t));
            case 6: return word(1200.0 * std::exp(-std::fmod(t, 3.0)) * std::cos(2 * kPi * 10.0 * t));
            default: return word(200.0 * std::round(std::fmod(t, 8.0)));               // 1 s steps
        }
    };

    // Engineering units: the 12-bit span of 2048 counts is the channel's full scale.
    const char* names[kChannels] = {"Sine", "Square", "Ramp", "Burst", "Noise", "Mixed", "Decay", "Steps"};
    const char* units[kChannels] = {"mV", "V", "℃", "mV", "uV", "kPa", "mm", "V"};
    const char* full[kChannels] = {"500", "5", "100", "200", "50", "10", "20", "5"};
    std::string nameList, unitList;
    for (int32_t i = 0; i < 32; ++i) {
        if (i) nameList += ",", unitList += ",";
        nameList += i < kChannels ? names[i] : "CH" + std::to_string(i + 1);
        unitList += i < kChannels ? units[i] : "V";
        const std::string cal = "Cal(" + std::to_string(i) + ")";
        layout.set("CAL", cal + ".fCAL_AD", "2048");
        layout.set("CAL", cal + ".fEU_HI", i < kChannels ? full[i] : "5");
        layout.set("CAL", cal + ".fEU_LO", "0");
        layout.set("P", "DR_WaveHi(" + std::to_string(i) + ")", i < kChannels ? full[i] : "5");
        layout.set("P", "DR_WaveLo(" + std::to_string(i) + ")", std::string("-") + (i < kChannels ? full[i] : "5"));
        layout.set("Acqisition", "txtDR_WaveHi(" + std::to_string(i) + ")", i < kChannels ? full[i] : "5");
        layout.set("Acqisition", "txtDR_WaveLo(" + std::to_string(i) + ")", std::string("-") + (i < kChannels ? full[i] : "5"));
        layout.set("Acqisition", "txtDR_WaveHi_V(" + std::to_string(i) + ")", "2048");
        layout.set("Acqisition", "txtDR_WaveLo_V(" + std::to_string(i) + ")", "-2048");
    }
    layout.set("pName", "pName", nameList);
    layout.set("pUnit", "pUnit", unitList);
    layout.set("P", "Comment(0)", "サンプル記録");
    layout.set("P", "Comment(1)", "8 channels, 1 kHz, 60 s");
    // Ten seconds a page (the sweep time says so too: a load sets the page from it and puts the
    // cursors at its two ends).
    layout.set("P", "lSweepPoint", "10000");
    layout.set("Condition", "strSWEEP_TIME", "10000");
    layout.set("P", "lcmbTimeFS_ListIndex", "12");
    layout.set("P", "Cur_L_Point", "2000");
    layout.set("P", "Cur_R_Point", "8000");
    layout.set("P", "Cur_W_Point", "6000");
    const int32_t marks[] = {5, 17, 33, 48};
    layout.set("MARK", "MARK(0)", std::to_string(std::size(marks)));
    const char* comments[] = {"start", "burst", "step", "end"};
    layout.set("LISTBOX", "lstMarkCom.ListCount", std::to_string(std::size(marks)));
    for (size_t m = 0; m < std::size(marks); ++m) {
        layout.set("MARK", "MARK(" + std::to_string(m + 1) + ")", std::to_string(marks[m]));
        layout.set("LISTBOX", "lstMarkCom(" + std::to_string(m) + ")",
                 "00" + std::to_string(m) + "," + std::to_string(marks[m] * kRateHz) + "," + comments[m]);
    }
    // The camera's frame lines stay off: at 10 frames a second a page would hold 100 of them,
    // hiding the traces and the cursors.
    layout.set("CTRL", "chkDispCAMPos.Value", "0");
    layout.set("Condition", "strCameraSetting", "1");
    layout.set("Condition", "strResolution", std::to_string(kVideoWidth) + "," + std::to_string(kVideoHeight));
    layout.set("GLOBAL", "GlCapNum", std::to_string(kVideoFrames));
    layout.set("GLOBAL", "GlADCGETCnt", "1");
    layout.set("GLOBAL", "GlTime_ADSTART", "0");
    layout.Write(folder, "Sample");
    if (!writeCamera(folder)) {
        std::cerr << "cannot write the sample's camera files in " << folder << "\n";
        return 1;
    }

    // Stored settings naming the sample; a folder that has its own is left as it is.
    const std::filesystem::path settings = folder / "SETTING.SET";
    if (!std::filesystem::exists(settings)) {
        std::ofstream out(settings, std::ios::binary);
        out << "[Acqisition.txtFName]\r\nName=txtFName\r\nText=" << (folder / "Sample").string() << "\r\n";
        // The sample's ranges are in its engineering units: the traces show with USE CAL ticked.
        out << "[Acqisition.chkUseCAL]\r\nName=chkUseCAL\r\nValue=1\r\n";
        if (!out) {
            std::cerr << "cannot write " << settings << "\n";
            return 1;
        }
    }
    return 0;
}
