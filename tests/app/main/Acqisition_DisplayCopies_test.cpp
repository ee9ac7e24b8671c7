// The redraw hands the channel objects their copies of the page on a helper thread while it
// draws the traces (no overlays shown): the picture and the objects must be exactly those of
// the channel-by-channel redraw, page after page.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "tests/app/main/Acqisition_Monitor_testsupport.h"
#include "app/channel/CWave.h"
#include "app/common/IniSet.h"
#include "app/main/Acqisition.h"

using namespace qv;

namespace {

class DisplayCopies : public apptest::MonitorTest {
protected:
    // Traces that leave their bands, so that a trace drawn out of order would show.
    void fillPage(uint32_t seed) {
        std::mt19937 rng(seed);
        std::uniform_real_distribution<float> value(-1.5f, 2.5f);
        for (int c = 0; c < 2; ++c)
            for (int i = 0; i <= kSweep; ++i) DispWaveArray(i, c) = value(rng);
    }
    struct Result {
        std::vector<uint32_t> pixels;
        std::vector<std::vector<float>> samples;
        std::vector<int32_t> counts;
    };
    Result redraw(bool channelByChannel) {
        GstrErrRaise = channelByChannel ? "1" : "0";
        draw();
        GstrErrRaise = "0";
        Result r;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) r.pixels.push_back(px(x, y));
        for (int ch = 0; ch < 2; ++ch) {
            const CWave& wave = *Acqisition::GCWave.at(ch);
            r.counts.push_back(wave.PTotal());
            r.counts.push_back(wave.SweepPoint());
            std::vector<float> s;
            for (int32_t i = 0; i < wave.ArrayMax(); ++i) s.push_back(wave.WaveValue(i));
            r.samples.push_back(s);
        }
        return r;
    }
};

}  // namespace

TEST_F(DisplayCopies, PictureAndChannelObjectsMatchTheChannelByChannelRedraw) {
    for (uint32_t page = 1; page <= 3; ++page) {
        fillPage(page);
        const Result alongside = redraw(false);
        const Result inTurn = redraw(true);
        EXPECT_EQ(alongside.pixels, inTurn.pixels) << "page " << page;
        EXPECT_EQ(alongside.counts, inTurn.counts) << "page " << page;
        ASSERT_EQ(alongside.samples, inTurn.samples) << "page " << page;
        // The objects hold this page, not the one before.
        for (int ch = 0; ch < 2; ++ch) {
            ASSERT_EQ(alongside.samples[ch].size(), static_cast<size_t>(kSweep));
            for (int i = 0; i < kSweep; ++i) ASSERT_EQ(alongside.samples[ch][i], DispWaveArray(i, ch)) << ch << " " << i;
        }
    }
}
