#pragma once
// The randomised quicksorts of the search. Keys are sorted ascending in place and every move
// is applied to the index array as well. The pivot is drawn at random, so equal keys end up
// in an order that depends on the draws: this is the search's only tie-break among factors
// of equal completeness, levels of equal score and rows of equal unique-pair count.
// One draw is taken for every range of two or more entries, left ranges before right ones.

#include "engine/RandomStream.h"

#include <cstdint>
#include <utility>

template <typename Key>
void DualArrayQuickSortRange(int32_t* index, Key* keys, int32_t lMin, int32_t lMax, RandomStream& random)
{
    // The smallest key of the range lMin..lMax and how many entries hold it, once known.
    bool knowSmallest = false;
    Key smallest{};
    int32_t holders = 0;
    while (lMin < lMax) {
        const int32_t p = random.RandomIndex(lMin, lMax);
        if (!knowSmallest) {
            smallest = keys[lMin];
            holders = 1;
            for (int32_t i = lMin + 1; i <= lMax; ++i) {
                if (keys[i] < smallest) {
                    smallest = keys[i];
                    holders = 1;
                } else if (keys[i] == smallest) {
                    ++holders;
                }
            }
            knowSmallest = true;
        }
        if (keys[p] == smallest) {
            // No key is below the pivot: the scan from the right runs down to lMin without
            // moving anything, and the pivot and the entry at lMin change places. Keys are
            // many times equal (scores of 0, complete factors), so this saves most scans.
            std::swap(keys[p], keys[lMin]);
            std::swap(index[p], index[lMin]);
            ++lMin;
            knowSmallest = --holders > 0;
            continue;
        }

        const Key pivot = keys[p];
        const int32_t pivotIndex = index[p];
        keys[p] = keys[lMin];
        index[p] = index[lMin];

        int32_t lo = lMin;
        int32_t hi = lMax;
        for (;;) {
            while (keys[hi] >= pivot) {
                --hi;
                if (hi <= lo)
                    break;
            }
            if (hi <= lo) {
                keys[lo] = pivot;
                index[lo] = pivotIndex;
                break;
            }
            keys[lo] = keys[hi];
            index[lo] = index[hi];
            ++lo;
            while (keys[lo] < pivot) {
                ++lo;
                if (lo >= hi)
                    break;
            }
            if (lo >= hi) {
                lo = hi;
                keys[hi] = pivot;
                index[hi] = pivotIndex;
                break;
            }
            keys[hi] = keys[lo];
            index[hi] = index[lo];
        }
        // Left range first (it takes its draws first), then the right range by looping.
        DualArrayQuickSortRange(index, keys, lMin, lo - 1, random);
        lMin = lo + 1;
        knowSmallest = false;
    }
}

inline void LongDualArrayQuickSort(int32_t* index, int32_t* keys, int32_t lMin, int32_t lMax, RandomStream& random)
{
    DualArrayQuickSortRange(index, keys, lMin, lMax, random);
}

inline void DoubleDualArrayQuickSort(int32_t* index, double* keys, int32_t lMin, int32_t lMax, RandomStream& random)
{
    DualArrayQuickSortRange(index, keys, lMin, lMax, random);
}
