// The ordinary build's run of every fuzz target: each seed whole, cut short at several lengths,
// and with bytes flipped by a fixed generator. A target may refuse an input (its reader reports
// an error) but must return normally; the sanitizer build catches what a refusal hides.
#include <gtest/gtest.h>

#include <random>

#include "FuzzTarget.h"

namespace {

std::vector<qv::fuzz::Bytes> variantsOf(const qv::fuzz::Bytes& seed, std::mt19937& rng) {
    std::vector<qv::fuzz::Bytes> out{seed};
    for (std::size_t cut : {std::size_t{0}, seed.size() / 3, seed.size() / 2, seed.size() ? seed.size() - 1 : 0})
        out.emplace_back(seed.begin(), seed.begin() + static_cast<std::ptrdiff_t>(cut));
    if (seed.empty()) return out;
    std::uniform_int_distribution<std::size_t> at(0, seed.size() - 1);
    std::uniform_int_distribution<int> value(0, 255);
    for (int i = 0; i < 24; ++i) {
        auto flipped = seed;
        for (int k = 0; k <= i % 4; ++k) flipped[at(rng)] = static_cast<std::uint8_t>(value(rng));
        out.push_back(std::move(flipped));
    }
    return out;
}

TEST(FuzzTargets, EveryTargetRunsOverItsSeedsAndTheirVariants) {
    ASSERT_FALSE(qv::fuzz::targets().empty());
    for (const auto& target : qv::fuzz::targets()) {
        SCOPED_TRACE(target.name);
        const auto seeds = target.seeds();
        EXPECT_FALSE(seeds.empty()) << target.name << " has no seeds";
        std::mt19937 rng(20261209);
        for (const auto& seed : seeds)
            for (const auto& input : variantsOf(seed, rng)) EXPECT_EQ(0, target.entry(input.data(), input.size()));
    }
}

}  // namespace
