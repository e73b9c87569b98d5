#include "array_sort.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "utf16_text.h"

namespace swf::avm1 {

namespace {

uint32_t foldCase(uint32_t cp) {
    if (cp >= 'A' && cp <= 'Z') return cp + 32;
    if (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7) return cp + 32;
    return cp;
}

// By UTF-16 units, as the original compares its strings; text that is not UTF-8 (SWF 5)
// compares byte by byte.
int compareText(const std::string& a, const std::string& b, bool caseInsensitive) {
    if (!caseInsensitive) {
        const int bytes = a.compare(b);
        const bool ascii = std::all_of(a.begin(), a.end(), [](char c) { return c >= 0; }) &&
                           std::all_of(b.begin(), b.end(), [](char c) { return c >= 0; });
        if (ascii) return bytes < 0 ? -1 : (bytes > 0 ? 1 : 0);
    }
    const std::u16string x = toUtf16Units(a, true);
    const std::u16string y = toUtf16Units(b, true);
    const size_t common = std::min(x.size(), y.size());
    for (size_t i = 0; i < common; ++i) {
        const uint32_t p = caseInsensitive ? foldCase(x[i]) : x[i];
        const uint32_t q = caseInsensitive ? foldCase(y[i]) : y[i];
        if (p != q) return p < q ? -1 : 1;
    }
    return x.size() == y.size() ? 0 : (x.size() < y.size() ? -1 : 1);
}

int compareNumbers(double a, double b) {
    const bool aNaN = std::isnan(a), bNaN = std::isnan(b);
    if (aNaN || bNaN) return aNaN == bNaN ? 0 : (aNaN ? 1 : -1);
    return a < b ? -1 : (a > b ? 1 : 0);
}

}  // namespace

int compareSortKeys(const SortKey& a, const SortKey& b, int options) {
    if ((options & kSortNumeric) && a.isNumber && b.isNumber) return compareNumbers(a.number, b.number);
    return compareText(a.text, b.text, (options & kSortCaseInsensitive) != 0);
}

std::vector<uint32_t> quicksortIndices(uint32_t count, const IndexComparison& compare) {
    std::vector<uint32_t> order(count);
    for (uint32_t i = 0; i < count; ++i) order[i] = i;
    if (count < 2) return order;

    auto cmp = [&](uint32_t x, uint32_t y) { return compare(order[x], order[y]); };
    auto swap = [&](uint32_t x, uint32_t y) { std::swap(order[x], order[y]); };

    // Deferring the larger part keeps the explicit stack at log2(count) entries.
    std::vector<std::pair<uint32_t, uint32_t>> pending;
    pending.emplace_back(0, count - 1);
    while (!pending.empty()) {
        auto [lo, hi] = pending.back();
        pending.pop_back();
        for (;;) {
            const uint32_t size = hi - lo + 1;
            if (size <= 3) {
                if (size == 3) {
                    if (cmp(lo, lo + 1) > 0) swap(lo, lo + 1);
                    if (cmp(lo + 1, lo + 2) > 0) {
                        swap(lo + 1, lo + 2);
                        if (cmp(lo, lo + 1) > 0) swap(lo, lo + 1);
                    }
                } else if (size == 2 && cmp(lo, lo + 1) > 0) {
                    swap(lo, lo + 1);
                }
                break;
            }
            swap(lo + size / 2, lo);  // the middle element as pivot, parked at the front
            uint32_t left = lo;
            uint32_t right = hi + 1;
            for (;;) {
                do {
                    ++left;
                } while (left <= hi && cmp(left, lo) <= 0);
                do {
                    --right;
                } while (right > lo && cmp(right, lo) >= 0);
                if (right < left) break;
                swap(left, right);
            }
            swap(lo, right);
            // [lo, right) holds what is not above the pivot, (left, hi] what is above it.
            const bool lowerHasTwo = lo + 1 < right;
            const bool upperHasTwo = left < hi;
            const uint64_t lowerSize = right > lo ? right - lo : 0;
            const uint64_t upperSize = hi > left ? hi - left + 1 : 0;
            if (lowerSize >= upperSize) {
                if (lowerHasTwo) pending.emplace_back(lo, right - 1);
                if (!upperHasTwo) break;
                lo = left;
            } else {
                if (upperHasTwo) pending.emplace_back(left, hi);
                if (!lowerHasTwo) break;
                hi = right - 1;
            }
        }
    }
    return order;
}

SortOutcome sortIndices(uint32_t count, int options, const IndexComparison& compare) {
    const bool descending = (options & kSortDescending) != 0;
    IndexComparison directed = compare;
    if (descending) directed = [&compare](uint32_t a, uint32_t b) { return -compare(a, b); };
    SortOutcome outcome;
    outcome.order = quicksortIndices(count, directed);
    if (options & kSortUniqueSort) {
        for (uint32_t i = 1; i < count; ++i) {
            if (directed(outcome.order[i - 1], outcome.order[i]) == 0) {
                outcome.notUnique = true;
                break;
            }
        }
    }
    return outcome;
}

}  // namespace swf::avm1
