// The process's helper threads: every piece of a shared job is done once, helpers really take
// part, failures come back to the caller, and a caller that finds the pool busy works alone.
#include "platform/kernel/Workers.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

using qv::kernel::setFreeCoresSource;
using qv::kernel::shareWork;
using qv::kernel::spareCores;

// Every core free, whatever else the machine runs meanwhile (other tests in parallel).
class Workers : public ::testing::Test {
protected:
    void SetUp() override {
        if (spareCores() == 0) GTEST_SKIP() << "one core: no helper to lend";
        setFreeCoresSource([] { return spareCores(); });
    }
    void TearDown() override { setFreeCoresSource({}); }
};

// Pieces claimed from a counter, as the library's scans do; records which threads took part.
struct Pieces {
    explicit Pieces(int n) : done(static_cast<size_t>(n)) {}
    std::vector<std::atomic<int>> done;
    std::atomic<size_t> next{0};
    std::mutex m;
    std::set<std::thread::id> takers;
    void work() {
        {
            std::lock_guard lock(m);
            takers.insert(std::this_thread::get_id());
        }
        for (size_t k; (k = next.fetch_add(1)) < done.size();) done[k].fetch_add(1);
    }
    bool eachOnce() const {
        for (const auto& d : done)
            if (d.load() != 1) return false;
        return true;
    }
};

// Waits (at most ten seconds) until `ready` holds.
template <class Ready>
bool waitFor(Ready ready) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!ready()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::yield();
    }
    return true;
}

TEST_F(Workers, HelpersTakePartAndEveryPieceIsDoneOnce) {
    for (int round = 0; round < 50; ++round) {
        Pieces p(1000);
        // The caller holds back until a helper has joined, so both really share the job.
        auto helpers = [&] { p.work(); };
        auto own = [&] {
            ASSERT_TRUE(waitFor([&] {
                std::lock_guard lock(p.m);
                return !p.takers.empty();
            }));
            p.work();
        };
        shareWork(spareCores(), helpers, own);
        EXPECT_TRUE(p.eachOnce()) << round;
        EXPECT_GE(p.takers.size(), 2u) << round;
        EXPECT_LE(p.takers.size(), size_t{spareCores()} + 1) << round;
    }
    // No helpers asked: the caller alone.
    Pieces alone(100);
    auto work = [&] { alone.work(); };
    shareWork(0, work);
    EXPECT_TRUE(alone.eachOnce());
    EXPECT_EQ(alone.takers, std::set{std::this_thread::get_id()});
}

TEST_F(Workers, AFailureComesBackToTheCallerAfterEveryCallHasReturned) {
    std::atomic<int> inside{0}, finished{0};
    auto helpers = [&] {
        ++inside;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ++finished;
        throw std::runtime_error("helper");
    };
    auto own = [&] { ASSERT_TRUE(waitFor([&] { return inside.load() > 0; })); };
    try {
        shareWork(1, helpers, own);
        ADD_FAILURE() << "the helper's failure was lost";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "helper");
        EXPECT_EQ(finished.load(), inside.load());  // nobody still runs on the caller's frame
    }
    // The caller's own failure wins, and the pool serves the next job.
    auto throwing = [] { throw std::logic_error("caller"); };
    EXPECT_THROW(shareWork(1, throwing), std::logic_error);
    Pieces p(500);
    auto work = [&] { p.work(); };
    shareWork(spareCores(), work);
    EXPECT_TRUE(p.eachOnce());
}

TEST_F(Workers, AJobStartedWhileThePoolIsBusyRunsOnItsCallerAlone) {
    Pieces inner(200);
    std::atomic<bool> innerDone{false};
    auto innerWork = [&] { inner.work(); };
    auto outer = [&] {
        // A nested job (a drawing call inside a shared one) must neither wait for the busy
        // helpers nor lose pieces.
        if (!innerDone.exchange(true)) shareWork(spareCores(), innerWork);
    };
    shareWork(spareCores(), outer);
    EXPECT_TRUE(inner.eachOnce());
    EXPECT_EQ(inner.takers.size(), 1u);
    // Two threads starting jobs at once: both finish whole.
    Pieces a(20000), b(20000);
    auto wa = [&] { a.work(); };
    auto wb = [&] { b.work(); };
    std::thread other([&] { shareWork(spareCores(), wb); });
    shareWork(spareCores(), wa);
    other.join();
    EXPECT_TRUE(a.eachOnce());
    EXPECT_TRUE(b.eachOnce());
}

TEST_F(Workers, HelpersAreLentOnlyWhileCoresAreFree) {
    // A busy machine: the caller alone, however many helpers the job asks for.
    setFreeCoresSource([] { return 0u; });
    for (int round = 0; round < 20; ++round) {
        Pieces p(2000);
        auto work = [&] { p.work(); };
        shareWork(spareCores(), work);
        EXPECT_TRUE(p.eachOnce());
        EXPECT_EQ(p.takers.size(), 1u);
    }
    // One core free: at most one helper joins.
    setFreeCoresSource([] { return 1u; });
    for (int round = 0; round < 20; ++round) {
        Pieces p(2000);
        auto helpers = [&] {
            p.work();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));  // stays in the job a while
        };
        auto own = [&] {
            waitFor([&] {
                std::lock_guard lock(p.m);
                return !p.takers.empty();
            });
            p.work();
        };
        shareWork(spareCores(), helpers, own);
        EXPECT_TRUE(p.eachOnce());
        EXPECT_LE(p.takers.size(), 2u);
    }
}

}  // namespace
