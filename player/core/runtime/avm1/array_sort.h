// Array.sort and Array.sortOn without the object model: the original's quicksort over element
// indices, its option flags and its comparison rules. The caller turns elements into sort
// keys (or supplies a script comparison) and applies the resulting order.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace swf::avm1 {

enum SortOption : int {
    kSortCaseInsensitive = 1,
    kSortDescending = 2,
    kSortUniqueSort = 4,
    kSortReturnIndexedArray = 8,
    kSortNumeric = 16,
};

// What one element compares as: its string form, and its number when the element is a Number.
struct SortKey {
    bool isNumber = false;
    double number = 0;
    std::string text;
};

// Three-way comparison of two keys (negative, 0, positive) under kSortNumeric and
// kSortCaseInsensitive; kSortDescending is applied by sortIndices. Numeric compares two
// Numbers by value (NaN above everything, equal to NaN) and falls back to the string rule
// when either is not a Number. Strings compare by code point; case-insensitive folds
// upper-case letters of ASCII and Latin-1 to lower case.
int compareSortKeys(const SortKey& a, const SortKey& b, int options);

using IndexComparison = std::function<int(uint32_t a, uint32_t b)>;

// The original's in-place quicksort (first element as pivot, compared as the first argument;
// parts of two compared once; the lower part sorted first) over indices 0..count-1. It is not stable; the
// order of elements that compare equal is the original's, which scripts can observe.
std::vector<uint32_t> quicksortIndices(uint32_t count, const IndexComparison& compare);

struct SortOutcome {
    std::vector<uint32_t> order;  // order[i] is the index of the element that goes to place i
    bool notUnique = false;       // kSortUniqueSort and two elements compared equal
};

// quicksortIndices with kSortDescending (the comparison reversed) and kSortUniqueSort (any two
// neighbours comparing equal reject the sort; the script then gets 0 and the array stays).
SortOutcome sortIndices(uint32_t count, int options, const IndexComparison& compare);

}  // namespace swf::avm1
