// Array.sort / sortOn rules over indices: flags, comparison rules and the original's order of
// elements that compare equal.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

#include <runtime/avm1/array_sort.h>
#include <runtime/avm1/number_format.h>

namespace {

using namespace swf::avm1;

SortKey text(const std::string& s) { return SortKey{false, 0, s}; }
SortKey number(double n) { return SortKey{true, n, formatNumber(n)}; }

// Sorts keys by the flags and returns the texts in the resulting order joined by ','.
std::string sorted(const std::vector<SortKey>& keys, int options, bool* notUnique = nullptr) {
    auto outcome = sortIndices(static_cast<uint32_t>(keys.size()), options,
                               [&](uint32_t a, uint32_t b) { return compareSortKeys(keys[a], keys[b], options); });
    if (notUnique) *notUnique = outcome.notUnique;
    std::string out;
    for (uint32_t i : outcome.order) out += (out.empty() ? "" : ",") + keys[i].text;
    return out;
}

TEST(ArraySort, StringOrderByDefaultNumericOnRequest) {
    std::vector<SortKey> keys = {number(4), number(1), number(3), number(22), number(2), number(3)};
    EXPECT_EQ(sorted(keys, 0), "1,2,22,3,3,4");
    EXPECT_EQ(sorted(keys, kSortNumeric), "1,2,3,3,4,22");
    EXPECT_EQ(sorted(keys, kSortNumeric | kSortDescending), "22,4,3,3,2,1");
    std::vector<SortKey> words = {text("undefined"), text("null"), text("true"), text("false"), text("AAA")};
    EXPECT_EQ(sorted(words, 0), "AAA,false,null,true,undefined");
}

TEST(ArraySort, NumericFallsBackToTextForNonNumbers) {
    // "22" is a string: it sits among the numbers by its text, the others by value.
    std::vector<SortKey> keys = {text("test"), number(4), number(1), text("22"), text("undefined"),
                                 number(3), number(23), number(2), text("true")};
    EXPECT_EQ(sorted(keys, kSortNumeric | kSortDescending), "undefined,true,test,23,4,3,22,2,1");
}

TEST(ArraySort, NaNSortsAfterEveryNumber) {
    const double inf = std::numeric_limits<double>::infinity(), nan = std::nan("");
    std::vector<SortKey> keys = {number(inf), number(nan), number(4), number(1), number(nan), number(-inf)};
    EXPECT_EQ(sorted(keys, kSortNumeric), "-Infinity,1,4,Infinity,NaN,NaN");
}

TEST(ArraySort, CaseInsensitiveFoldsLatin1AndKeepsTheOriginalsUnstableOrder) {
    EXPECT_EQ(sorted({text("h\xC3\xABllo"), text("H\xC3\x8bLLO"), text("TeSt"), text("test")}, kSortCaseInsensitive),
              "h\xC3\xABllo,H\xC3\x8bLLO,TeSt,test");
    EXPECT_EQ(sorted({text("TeSt"), text("h\xC3\xABllo"), text("H\xC3\x8bLLO"), text("test")}, kSortCaseInsensitive),
              "H\xC3\x8bLLO,h\xC3\xABllo,TeSt,test")
        << "the middle pivot moves equal elements";
    EXPECT_LT(compareSortKeys(text("a"), text("B"), kSortCaseInsensitive), 0);
    EXPECT_GT(compareSortKeys(text("a"), text("B"), 0), 0);
    EXPECT_EQ(compareSortKeys(text("\xC3\x97"), text("\xC3\xB7"), kSortCaseInsensitive) < 0, true)
        << "U+00D7 is no letter";
}

TEST(ArraySort, UniqueSortRejectsEqualNeighbours) {
    bool notUnique = true;
    EXPECT_EQ(sorted({number(4), number(1), number(22)}, kSortUniqueSort, &notUnique), "1,22,4");
    EXPECT_FALSE(notUnique);
    sorted({number(4), number(1), number(3), number(22), number(3)}, kSortUniqueSort, &notUnique);
    EXPECT_TRUE(notUnique);
    sorted({text("TeSt"), text("test")}, kSortUniqueSort | kSortCaseInsensitive, &notUnique);
    EXPECT_TRUE(notUnique);
}

TEST(ArraySort, QuicksortSortsAnyInputAndVisitsOnlyValidIndices) {
    std::mt19937 random(7);
    for (uint32_t count : {0u, 1u, 2u, 3u, 4u, 5u, 17u, 100u, 1000u}) {
        std::vector<int> values(count);
        for (auto& v : values) v = static_cast<int>(random() % 50);
        auto order = quicksortIndices(count, [&](uint32_t a, uint32_t b) {
            EXPECT_LT(a, count);
            EXPECT_LT(b, count);
            return values[a] - values[b];
        });
        ASSERT_EQ(order.size(), count);
        std::vector<bool> seen(count);
        for (size_t i = 0; i < count; ++i) {
            ASSERT_FALSE(seen[order[i]]);
            seen[order[i]] = true;
            if (i) EXPECT_LE(values[order[i - 1]], values[order[i]]);
        }
    }
}

TEST(ArraySort, InconsistentComparisonStillEnds) {
    std::mt19937 random(3);
    auto order = quicksortIndices(500, [&](uint32_t, uint32_t) { return static_cast<int>(random() % 3) - 1; });
    EXPECT_EQ(order.size(), 500u);
}

// Scripts see the comparison calls: the pivot is the part's first element, passed first.
TEST(ArraySort, ComparesAgainstTheFirstElementOfEachPart) {
    const std::vector<int> values{3, 1, 2};
    std::vector<std::pair<int, int>> calls;
    auto order = quicksortIndices(3, [&](uint32_t a, uint32_t b) {
        calls.emplace_back(values[a], values[b]);
        return values[a] - values[b];
    });
    EXPECT_EQ(calls, (std::vector<std::pair<int, int>>{{3, 1}, {3, 2}, {2, 1}}));
    EXPECT_EQ(order, (std::vector<uint32_t>{1, 2, 0}));
}

TEST(ArraySort, SortedInputIsQuadraticOnlyUpToABudget) {
    uint64_t calls = 0;
    quicksortIndices(5, [&](uint32_t a, uint32_t b) { return ++calls, int(a) - int(b); });
    EXPECT_EQ(calls, 13u);  // 5 + 4 + 3 + 1: each part loses only its pivot
    calls = 0;
    auto order = quicksortIndices(200000, [&](uint32_t a, uint32_t b) { return ++calls, int(a) - int(b); });
    EXPECT_LT(calls, 50000000u);  // 200000 sorted elements would take 2e10 otherwise
    EXPECT_TRUE(std::is_sorted(order.begin(), order.end()));
}

TEST(ArraySort, ComparisonThatAlternatesStillEnds) {
    int flip = 0;
    auto order = quicksortIndices(50, [&](uint32_t, uint32_t) { return (flip ^= 1) ? -1 : 1; });
    EXPECT_EQ(order.size(), 50u);
}

}  // namespace
