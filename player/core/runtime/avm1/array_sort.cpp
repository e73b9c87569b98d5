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

    auto swap = [&](uint32_t x, uint32_t y) { std::swap(order[x], order[y]); };
    // The first element is the pivot, which makes sorted input quadratic, as in the original.
    // Past this many comparisons (a few thousand sorted elements) the middle element is moved
    // to the front first, so a large sorted array cannot stall the movie.
    const double log2Count = std::log2(double(count));
    const uint64_t originalBudget = std::max<uint64_t>(uint64_t(1) << 20, uint64_t(4.0 * count * log2Count));
    uint64_t comparisons = 0;
    auto cmp = [&](uint32_t pivot, uint32_t x) {
        ++comparisons;
        return compare(pivot, order[x]);
    };

    // Lower part before upper part, as the original recurses; the stack holds at most count entries.
    std::vector<std::pair<uint32_t, uint32_t>> pending;
    pending.emplace_back(0, count - 1);
    while (!pending.empty()) {
        const auto [lo, hi] = pending.back();
        pending.pop_back();
        if (hi <= lo) continue;
        if (hi == lo + 1) {
            if (compare(order[lo], order[hi]) > 0) swap(lo, hi);
            ++comparisons;
            continue;
        }
        if (comparisons > originalBudget) swap(lo, lo + (hi - lo) / 2);
        const uint32_t pivot = order[lo];
        uint32_t left = lo + 1;
        uint32_t right = hi;
        // After a swap both scans look at the swapped elements again; the left scan never
        // reaches the right one, the right scan may pass the left one. A consistent comparison
        // swaps fewer times than the part has elements; one that contradicts itself could
        // swap the same pair for ever, so the part then ends where it stands.
        uint32_t swapsLeft = hi - lo;
        for (;;) {
            while (left < right && cmp(pivot, left) > 0) ++left;
            while (right > lo && cmp(pivot, right) <= 0) --right;
            if (left >= right || swapsLeft-- == 0) break;
            swap(left, right);
        }
        swap(lo, right);
        if (right + 1 < hi) pending.emplace_back(right + 1, hi);
        if (right > lo + 1) pending.emplace_back(lo, right - 1);
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
