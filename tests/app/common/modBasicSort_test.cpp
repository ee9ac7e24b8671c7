#include "app/common/modBasicSort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "tests/app/common/IniSet_testsupport.h"

using namespace qv;
using qv::apptest::errorNumber;

namespace {

TEST(QuickSortTest, SortsAscendingAndDescending) {
    std::vector<float> v{3, 1, 2};
    QuickSort(v, 0, 2, true);
    EXPECT_EQ(v, (std::vector<float>{1, 2, 3}));
    QuickSort(v, 0, 2, false);
    EXPECT_EQ(v, (std::vector<float>{3, 2, 1}));
}

TEST(QuickSortTest, AgreesWithAReferenceSortOnlyInsideTheRange) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> small(-20, 20);  // many equal values
    for (int n : {2, 3, 10, 257, 2000}) {
        std::vector<float> v(static_cast<size_t>(n));
        for (float& x : v) x = static_cast<float>(small(rng)) / 4;
        const int first = n / 5, last = n - 1 - n / 7;
        std::vector<float> expect = v;
        std::sort(expect.begin() + first, expect.begin() + last + 1);
        std::vector<float> asc = v;
        QuickSortAsc(asc, first, last);
        EXPECT_EQ(asc, expect) << n;
        std::sort(expect.begin() + first, expect.begin() + last + 1, std::greater<float>());
        std::vector<float> desc = v;
        QuickSortDesc(desc, first, last);
        EXPECT_EQ(desc, expect) << n;
    }
}

TEST(QuickSortTest, EmptyRangesAndBadIndices) {
    std::vector<float> v{5, 4, 3};
    QuickSort(v, 1, 1, true);
    QuickSort(v, 2, 0, true);
    QuickSort(v, 7, 7, true);  // nothing to sort, nothing checked
    EXPECT_EQ(v, (std::vector<float>{5, 4, 3}));
    // A range reaching outside the array is a subscript error, before anything moves.
    EXPECT_EQ(errorNumber([&] { QuickSort(v, 0, 3, true); }), 9);
    EXPECT_EQ(errorNumber([&] { QuickSort(v, -1, 1, false); }), 9);
    EXPECT_EQ(v, (std::vector<float>{5, 4, 3}));
}

// Equal values keep to the right of the pivot: the order of +0 and -0, which compare equal,
// shows the exact partitioning (the middle element as pivot, moved to the front).
TEST(QuickSortTest, PartitionsAroundTheMiddleElement) {
    auto signs = [](const std::vector<float>& v) {
        std::vector<int> s;
        for (float x : v) s.push_back(x == 0 ? (std::signbit(x) ? -1 : 1) : 9);
        return s;
    };
    std::vector<float> v{0.0f, 1.0f, -0.0f, 0.0f, -0.0f};
    QuickSortAsc(v, 0, 4);
    EXPECT_EQ(signs(v), (std::vector<int>{-1, 1, 1, -1, 9}));
    EXPECT_EQ(v[4], 1.0f);
    std::vector<float> w{-0.0f, 2.0f, 0.0f, -1.0f, 0.0f, -0.0f};
    QuickSortDesc(w, 0, 5);
    EXPECT_EQ(w[0], 2.0f);
    EXPECT_EQ(w[5], -1.0f);
    EXPECT_EQ(signs(w), (std::vector<int>{9, 1, -1, -1, 1, 9}));
}

}  // namespace
