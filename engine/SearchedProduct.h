#pragma once
// A pairwise array for many factors as the product of two arrays the search itself finds on
// fewer factors (the product of PairArrayConstruction, its two arrays searched instead of
// built): for v levels and k1 k2 >= k factors, v^k1 and v^k2 are each generated and compacted
// with their v constant rows given as previous tests, so that the product's repeated constant
// rows go once, k1 k2 columns in N1 + N2 - v rows. Where the fields' arrays are large (10 or
// more levels, or many factors of few levels) this is the smaller start for the compaction.
// A fixed number of evolutions and moves: one seed gives one array.

#include <cstdint>
#include <vector>

// rows x F level codes (0-based) for the level counts, or empty when the product has no fewer
// than rowsToBeat rows.
std::vector<int32_t> BuildSearchedProduct(const std::vector<int32_t>& levels, int32_t rowsToBeat, uint64_t seed);

// An array of strength two for k factors of v levels whose first v rows are constant, as the
// search finds it with a fixed effort: rows x k level codes, 0-based.
std::vector<int32_t> SearchedPairArray(int32_t v, int32_t k, uint64_t seed);

// The same at any strength, with the effort given: evolutions, then compaction moves.
struct SearchEffort {
    int32_t evolutions;
    int64_t moves;
};
std::vector<int32_t> SearchedArray(int32_t v, int32_t k, int32_t strength, uint64_t seed, SearchEffort effort);
