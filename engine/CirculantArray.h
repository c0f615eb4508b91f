#pragma once
// Covering arrays whose columns are the cyclic shifts of a few starter columns, for designs of
// level counts alone with many factors beside their rows (such as 100 factors of 2 levels at
// strength three, 37 rows where the search gives 39).
//
// N rows: n rows on which m starter columns of n levels each are shifted cyclically (column
// j n + a reads starter j from its position a on), then e = N - n rows holding one level per
// starter (every shift of a starter reads the same one). Shifting the n rows maps every set of
// t columns onto its shifts, so only one set of each orbit is checked: the starters qualify
// when each shows every tuple of t levels. engine/StarterSearch.h searches the cells.

#include <cstdint>
#include <functional>
#include <vector>

struct TupleReads;

// The tuples of every set of t of the first k columns, one set per orbit, over the n + e rows:
// cells 0..m n - 1 are the starters' levels, then e rows of m.
TupleReads CirculantReads(int32_t t, int32_t k, int32_t v, int32_t n, int32_t m, int32_t e);

// The array (rows x k level codes) that the cells develop.
std::vector<int32_t> DevelopCirculant(const std::vector<int32_t>& cells, int32_t k, int32_t n, int32_t m, int32_t e);

// rows x F level codes (0-based) for the level counts at the strength with fewer rows than
// rowsToBeat, the fewest found, or empty. One seed gives one array unless giveUp cut a search.
std::vector<int32_t> BuildCirculantArray(const std::vector<int32_t>& levels, int32_t strength, int32_t rowsToBeat,
                                         uint64_t seed, const std::function<bool()>& giveUp);
