#pragma once
// Covering arrays from cyclic starters, for designs of level counts alone with few factors
// beside their levels (such as 20 factors of 10 levels pairwise, 20 of 3 at strength three),
// where the fields' arrays are large or missing.
//
// v = g + f levels: g of them form the group of whole numbers modulo g, f are fixed. A set of
// m starters (rows of k levels) is developed into m k g rows: every cyclic shift of the columns
// of every starter, with every group element added to its group levels (fixed levels stay).
// The rows hold a tuple of levels of t columns when some shift of a starter holds a tuple of
// the same class: the same fixed levels at the same places, the group levels the same up to
// an added constant. The t columns of a shift are the starter's columns at the same distances
// one from another, so the starters qualify when, for every t columns at distances
// 0 < d1 < ... < d(t-1) < k, their shifts show every class of tuples but those of fixed levels
// alone; an array of strength t of the fixed levels below holds those (one row for one fixed
// level; strength two only for more). The starters are found by a tabu search on weighted
// conditions; the fewest starters and the most fixed levels for which one is found win.

#include <cstdint>
#include <vector>

class RandomStream;

// rows x F level codes (0-based) for the level counts at the strength, or empty when no array
// of the kind was found with fewer than rowsToBeat rows. One seed gives one array.
std::vector<int32_t> BuildStarterArray(const std::vector<int32_t>& levels, int32_t strength, int32_t rowsToBeat,
                                       uint64_t seed);

// m starters of k levels (m x k codes: the group's 0..g-1, the fixed ones g..g+f-1) that
// qualify at strength t, or empty when none were found within maxSteps moves.
std::vector<int32_t> FindStarters(int32_t t, int32_t k, int32_t g, int32_t f, int32_t m, RandomStream& random,
                                  int64_t maxSteps);
