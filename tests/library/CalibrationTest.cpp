// The calibration store (".CAL" file format and round trip) and the raw-to-units conversion.
#include "library/Calibration.h"
#include "library/trelm.h"

#include "platform/kernel/Encoding.h"
#include "platform/kernel/Paths.h"
#include "platform/kernel/Profile.h"

#include "FailingAllocation.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <array>
#include <bit>
#include <limits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct CalRecord {
    std::array<float, 32 * 4> values{};
    std::array<char, 32 * 32> names{};
    std::array<char, 32 * 32> units{};

    void setName(int ch, const std::string& utf8) {
        qv::kernel::writeCp932Field(utf8, names.data() + 32 * ch, 32);
    }
    void setUnit(int ch, const std::string& utf8) {
        qv::kernel::writeCp932Field(utf8, units.data() + 32 * ch, 32);
    }
    std::string name(int ch) const { return qv::kernel::cp932FieldToUtf8(names.data() + 32 * ch, 32); }
    std::string unit(int ch) const { return qv::kernel::cp932FieldToUtf8(units.data() + 32 * ch, 32); }
};

class CalibrationStore : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/trelm_cal_XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
        file_ = (dir_ / "TEST.CAL").string();
        trelm::setCalibrationStorePath(file_.c_str());
        qv::kernel::clearProfileCache();
    }
    void TearDown() override {
        trelm::setCalibrationStorePath("");
        fs::remove_all(dir_);
    }
    std::string fileBytes() const {
        std::ifstream in(file_, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    fs::path dir_;
    std::string file_;
};

TEST_F(CalibrationStore, WritesTheFileFormatByteForByte) {
    CalRecord rec;
    for (int ch = 0; ch < 32; ++ch) {
        rec.setName(ch, "CH" + std::to_string(ch));
        rec.setUnit(ch, ch == 3 ? "℃" : "V");
        rec.values[ch * 4 + 0] = ch + 0.5f;
        rec.values[ch * 4 + 1] = -static_cast<float>(ch);
        rec.values[ch * 4 + 2] = 2047.0f;
        rec.values[ch * 4 + 3] = 1.0f / 3.0f;
    }
    PUTCAL(rec.values.data(), rec.names.data(), rec.units.data());

    std::string expected = "[CAL]\r\n";
    char line[128];
    for (int ch = 0; ch < 32; ++ch) {
        std::snprintf(line, sizeof line, "CAL(%d)=---------- CAL(%d) ----------\r\n", ch, ch);
        expected += line;
        expected += "pName(" + std::to_string(ch) + ")=CH" + std::to_string(ch) + "\r\n";
        expected += "pUnit(" + std::to_string(ch) + ")=" + (ch == 3 ? "\x81\x8E" : "V") + "\r\n";
        std::snprintf(line, sizeof line,
                      "fEU_HI(%d)=%f\r\nfEU_LO(%d)=%f\r\nfCAL_AD(%d)=%f\r\nfBASE_AD(%d)=%f\r\n", ch,
                      ch + 0.5, ch, -static_cast<double>(ch), ch, 2047.0, ch,
                      static_cast<double>(1.0f / 3.0f));
        expected += line;
    }
    EXPECT_EQ(fileBytes(), expected);
}

TEST_F(CalibrationStore, RoundTripRoundsToSixDecimalsAndKeepsJapaneseNames) {
    CalRecord rec;
    const std::string japanese = "電圧ｃｈ１表示";  // 表 has the trail byte 0x5C in CP932
    for (int ch = 0; ch < 32; ++ch) {
        rec.setName(ch, ch % 2 ? japanese : "Load" + std::to_string(ch));
        rec.setUnit(ch, ch % 2 ? "ｋＮ" : "mm/s");
        rec.values[ch * 4 + 0] = 1.2345678f * (ch + 1);
        rec.values[ch * 4 + 1] = -0.0000004f;
        rec.values[ch * 4 + 2] = 32767.0f;
        rec.values[ch * 4 + 3] = 1e10f;
    }
    PUTCAL(rec.values.data(), rec.names.data(), rec.units.data());
    qv::kernel::clearProfileCache();

    CalRecord back;
    back.names.fill('x');
    back.units.fill('x');
    GETCAL(back.values.data(), back.names.data(), back.units.data());
    for (int ch = 0; ch < 32; ++ch) {
        EXPECT_EQ(back.name(ch), rec.name(ch)) << ch;
        EXPECT_EQ(back.unit(ch), rec.unit(ch)) << ch;
        EXPECT_EQ(back.names[32 * ch + 31], '\0');  // the whole field is copied, NUL padded
        const double hi = std::round(1.2345678f * (ch + 1) * 1e6) / 1e6;
        EXPECT_EQ(back.values[ch * 4 + 0], static_cast<float>(hi)) << ch;
        EXPECT_EQ(back.values[ch * 4 + 1], -0.0f);  // "-0.000000"
        EXPECT_EQ(back.values[ch * 4 + 2], 32767.0f);
        EXPECT_EQ(back.values[ch * 4 + 3], 1e10f);
    }
}

TEST_F(CalibrationStore, ThirtyOneByteNamesWithoutTerminatorStayInTheirField) {
    // Fields as the program packs them: 31 bytes of text, a padding blank, no NUL.
    CalRecord rec;
    const std::string ascii31(31, 'A');
    const std::string kana31 = qv::kernel::utf8ToCp932("あいうえおかきくけこさしすせそ") + "Z";
    ASSERT_EQ(kana31.size(), 31u);
    for (int ch = 0; ch < 32; ++ch) {
        const std::string& text = ch % 2 ? kana31 : ascii31;
        std::memcpy(rec.names.data() + 32 * ch, text.data(), 31);
        rec.names[32 * ch + 31] = ' ';
        std::memcpy(rec.units.data() + 32 * ch, ascii31.data(), 31);
        rec.units[32 * ch + 31] = ' ';
    }
    PUTCAL(rec.values.data(), rec.names.data(), rec.units.data());
    qv::kernel::clearProfileCache();
    CalRecord back;
    GETCAL(back.values.data(), back.names.data(), back.units.data());
    for (int ch = 0; ch < 32; ++ch) {
        EXPECT_EQ(std::string(back.names.data() + 32 * ch), ch % 2 ? kana31 : ascii31) << ch;
        EXPECT_EQ(std::string(back.units.data() + 32 * ch), ascii31) << ch;
    }
}

TEST_F(CalibrationStore, MissingSectionGivesZeroTextsAndValues) {
    {
        std::ofstream out(file_, std::ios::binary);
        out << "[OTHER]\r\npName(0)=X\r\n";
    }
    CalRecord back;
    back.values.fill(5.0f);
    GETCAL(back.values.data(), back.names.data(), back.units.data());
    for (int ch = 0; ch < 32; ++ch) {
        EXPECT_EQ(back.name(ch), "0");
        EXPECT_EQ(back.unit(ch), "0");
        for (int v = 0; v < 4; ++v) EXPECT_EQ(back.values[ch * 4 + v], 0.0f);
    }
}

TEST_F(CalibrationStore, WithoutAGivenPathTheStoreIsTheProgramFoldersDefaultCal) {
    trelm::resetCalibrationStorePath();
    qv::kernel::setProgramFolder(dir_.string());
    CalRecord rec;
    rec.setName(3, "圧力");
    rec.values[3 * 4 + 2] = 4096.0f;
    PUTCAL(rec.values.data(), rec.names.data(), rec.units.data());
    EXPECT_TRUE(fs::exists(dir_ / "DEFAULT.CAL"));
    CalRecord back;
    GETCAL(back.values.data(), back.names.data(), back.units.data());
    qv::kernel::setProgramFolder("");
    EXPECT_EQ(back.name(3), "圧力");
    EXPECT_EQ(back.values[3 * 4 + 2], 4096.0f);
}

TEST_F(CalibrationStore, EmptyPathStoresNothingAndReadsDefaults) {
    trelm::setCalibrationStorePath("");
    CalRecord rec;
    rec.setName(0, "Kept");
    rec.values[0] = 9.0f;
    PUTCAL(rec.values.data(), rec.names.data(), rec.units.data());
    EXPECT_TRUE(fs::is_empty(dir_));
    GETCAL(rec.values.data(), rec.names.data(), rec.units.data());
    EXPECT_EQ(rec.name(0), "0");
    EXPECT_EQ(rec.values[0], 0.0f);
}

// ---- M_Change ----

float reference(int16_t raw, const float* rec) {
    return static_cast<float>((static_cast<double>(raw) - rec[3]) *
                                  (static_cast<double>(rec[0]) - rec[1]) / rec[2] +
                              rec[1]);
}

TEST(RawToUnits, TwoPointLineChannelMajor) {
    const int16_t raw[] = {1, 2, 3, 4, 5, 6};
    const float cal[] = {10, 0, 10, 0, /**/ 1, -1, 2, 4};
    std::vector<float> dst(7, -9);
    EXPECT_EQ(M_Change(dst.data(), raw, 2, 3, cal), 3);
    EXPECT_EQ(dst, (std::vector<float>{1, 3, 5, -3, -1, 1, -9}));
    dst.assign(7, -9);
    M_Change(dst.data(), raw, 65538, 3, cal);  // only the low 16 bits count: 2 channels
    EXPECT_EQ(dst, (std::vector<float>{1, 3, 5, -3, -1, 1, -9}));
    dst.assign(7, -9);
    M_Change(dst.data(), raw, 65536, 3, cal);  // 0 channels
    M_Change(dst.data(), raw, 0xFFFF, 3, cal);  // -1 channels
    M_Change(dst.data(), raw, 2, 0, cal);
    EXPECT_EQ(dst, std::vector<float>(7, -9));
    const float zeroSpan[] = {1, 0, 0, 0};
    const int16_t r1[] = {3, 0};
    M_Change(dst.data(), r1, 1, 2, zeroSpan);  // CAL_AD 0: the division's own result
    EXPECT_TRUE(std::isinf(dst[0]));
    EXPECT_TRUE(std::isnan(dst[1]));
}

TEST(RawToUnits, EveryChannelCountAndTailMatchTheFormulaExactly) {
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> word(-32768, 32767);
    std::uniform_real_distribution<float> value(-500.0f, 500.0f);
    for (int32_t nch : {1, 7, 8, 19, 32, 40}) {
        for (int32_t n : {1, 7, 8, 515, 1031}) {
            std::vector<int16_t> raw(static_cast<size_t>(nch) * n);
            for (int16_t& w : raw) w = static_cast<int16_t>(word(rng));
            std::vector<float> cal(static_cast<size_t>(nch) * 4);
            for (float& v : cal) v = value(rng);
            std::vector<float> dst(raw.size());
            M_Change(dst.data(), raw.data(), nch, n, cal.data());
            for (int32_t c = 0; c < nch; ++c)
                for (int32_t i = 0; i < n; ++i)
                    ASSERT_EQ(dst[static_cast<size_t>(c) * n + i],
                              reference(raw[static_cast<size_t>(i) * nch + c], &cal[c * 4]))
                        << nch << " channels, " << n << " scans, channel " << c << " scan " << i;
        }
    }
}

// One calibration value: mostly ordinary, often one of the values at the edges of the float
// range or of the fast path's limits.
float calValue(std::mt19937& rng) {
    constexpr float inf = std::numeric_limits<float>::infinity();
    static const float edges[] = {0.0f, -0.0f, 1.0f, -1.0f, 0x1p-60f, -0x1p-60f, 0x1p60f,
                                  -0x1p60f, 0x1.fffffep-61f, 0x1p-61f, 0x1.000002p60f, 0x1p61f,
                                  std::numeric_limits<float>::max(), -std::numeric_limits<float>::max(),
                                  std::numeric_limits<float>::min(), 1e-45f, -3e-42f, inf, -inf,
                                  std::numeric_limits<float>::quiet_NaN(), 32767.0f, -32768.0f,
                                  0x1.fffffep0f, 3276.7f};
    std::uniform_int_distribution<int> pick(0, 3 * static_cast<int>(std::size(edges)));
    std::uniform_real_distribution<float> mantissa(1.0f, 2.0f);
    std::uniform_int_distribution<int> exponent(-70, 70);
    std::uniform_int_distribution<int> sign(0, 1);
    const int k = pick(rng);
    if (k < static_cast<int>(std::size(edges))) return edges[k];
    // Mantissas ending in ones are where a rounded reciprocal is furthest from exact.
    float m = mantissa(rng);
    if (k % 5 == 0) m = std::bit_cast<float>(std::bit_cast<uint32_t>(m) | 0x7FFFFu);
    return (sign(rng) ? -1.0f : 1.0f) * std::ldexp(m, exponent(rng));
}

// Every word on every channel against the formula, bit for bit, for random calibrations with
// extremes, NaN, infinities and denormals, at channel counts and lengths off the vector width and
// at starts off the vector alignment.
TEST(RawToUnits, EveryWordAndExtremeCalibrationMatchTheFormulaBitForBit) {
    std::mt19937 rng(34);
    for (int round = 0; round < 12; ++round) {
        for (int32_t nch : {8, 16, 13}) {
            const int32_t n = 65536 + round % 9;  // every word on every channel, then a tail
            const size_t offset = static_cast<size_t>(round % 3);  // unaligned starts
            std::vector<int16_t> raw(static_cast<size_t>(nch) * n + offset);
            for (int32_t s = 0; s < n; ++s)
                for (int32_t c = 0; c < nch; ++c)
                    raw[offset + static_cast<size_t>(s) * nch + c] = static_cast<int16_t>(s + c * 7919);
            // Half the rounds keep every value finite and inside 2^-60..2^60 (or 0), where the
            // fast division may be taken for a whole group of channels.
            const bool moderate = round % 2 == 0;
            std::vector<float> cal(static_cast<size_t>(nch) * 4);
            for (float& v : cal) {
                do v = calValue(rng);
                while (moderate && !(v == 0.0f || (std::fabs(v) >= 0x1p-60f && std::fabs(v) <= 0x1p60f)));
            }
            for (int32_t c = 0; moderate && c < nch; ++c)
                if (cal[c * 4 + 2] == 0.0f) cal[c * 4 + 2] = 1.0f;
            std::vector<float> dst(raw.size() + 1);
            M_Change(dst.data() + offset + 1, raw.data() + offset, nch, n, cal.data());
            for (int32_t c = 0; c < nch; ++c)
                for (int32_t s = 0; s < n; ++s) {
                    const float want = reference(raw[offset + static_cast<size_t>(s) * nch + c], &cal[c * 4]);
                    const float got = dst[offset + 1 + static_cast<size_t>(c) * n + s];
                    ASSERT_EQ(std::bit_cast<uint32_t>(got), std::bit_cast<uint32_t>(want))
                        << got << " != " << want << ", " << nch << " channels, channel " << c
                        << " scan " << s << ", cal " << cal[c * 4] << " " << cal[c * 4 + 1] << " "
                        << cal[c * 4 + 2] << " " << cal[c * 4 + 3];
                }
        }
    }
}

// Output larger than the last-level cache goes out through streaming stores: same values, and
// nothing written outside the output.
TEST(RawToUnits, OutputLargerThanTheCacheMatchesTheFormula) {
    const long llc = sysconf(_SC_LEVEL3_CACHE_SIZE);
    const int32_t nch = 24;
    const int32_t n = static_cast<int32_t>(std::max<long>(llc > 0 ? llc : 8 << 20, 8 << 20) / (4 * nch) * 5 / 4 + 5);
    std::vector<int16_t> raw(static_cast<size_t>(nch) * n);
    for (size_t i = 0; i < raw.size(); ++i) raw[i] = static_cast<int16_t>(i * 40503u);
    std::mt19937 rng(5);
    std::vector<float> cal(static_cast<size_t>(nch) * 4);
    for (float& v : cal) v = calValue(rng);
    cal[4 * 3 + 2] = 3276.7f;  // at least one line on every path
    std::vector<float> dst(raw.size() + 2, -7.0f);
    M_Change(dst.data() + 1, raw.data(), nch, n, cal.data());
    EXPECT_EQ(dst.front(), -7.0f);
    EXPECT_EQ(dst.back(), -7.0f);
    for (int32_t c = 0; c < nch; ++c)
        for (int32_t s = 0; s < n; ++s)
            ASSERT_EQ(std::bit_cast<uint32_t>(dst[1 + static_cast<size_t>(c) * n + s]),
                      std::bit_cast<uint32_t>(reference(raw[static_cast<size_t>(s) * nch + c], &cal[c * 4])))
                << "channel " << c << " scan " << s;
}

// A long conversion is shared out among threads in runs of blocks: channel counts and lengths
// off every run and vector boundary come out exactly as the formula gives, and so they do when
// no helper thread and no buffer can be had.
TEST(RawToUnits, SharedOutConversionMatchesTheFormulaWithAndWithoutHelpers) {
    std::mt19937 rng(23);
    const int32_t nch = 36;
    const int32_t n = 250013;  // 9 M values: the most threads, an uneven last run
    std::vector<int16_t> raw(static_cast<size_t>(nch) * n);
    for (size_t i = 0; i < raw.size(); ++i) raw[i] = static_cast<int16_t>(i * 2654435761u >> 7);
    std::vector<float> cal(static_cast<size_t>(nch) * 4);
    for (float& v : cal) v = calValue(rng);
    auto check = [&](const std::vector<float>& dst, const char* what) {
        EXPECT_EQ(dst.front(), -7.0f) << what;
        EXPECT_EQ(dst.back(), -7.0f) << what;
        for (int32_t c = 0; c < nch; ++c)
            for (int32_t s = 0; s < n; ++s)
                ASSERT_EQ(std::bit_cast<uint32_t>(dst[1 + static_cast<size_t>(c) * n + s]),
                          std::bit_cast<uint32_t>(reference(raw[static_cast<size_t>(s) * nch + c], &cal[c * 4])))
                    << what << ", channel " << c << " scan " << s;
    };
    std::vector<float> dst(raw.size() + 2, -7.0f);
    M_Change(dst.data() + 1, raw.data(), nch, n, cal.data());
    check(dst, "all threads");
    // Refusing the first allocations in turn: the streaming buffer where the output exceeds the
    // last-level cache (the helpers are the process's, started once, and allocate nothing here).
    for (int64_t allowed = 0; allowed <= 12; allowed += 3) {
        std::vector<float> out(raw.size() + 2, -7.0f);
        bool refused;
        {
            trelmtest::FailingAllocation seam(allowed);
            M_Change(out.data() + 1, raw.data(), nch, n, cal.data());
            refused = seam.refused();
        }
        check(out, refused ? "with refusals" : "without refusals");
    }
}

}  // namespace
