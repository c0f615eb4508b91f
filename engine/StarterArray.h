#pragma once
// Covering arrays from starters, for designs of level counts alone with few factors beside
// their levels (such as 20 factors of 10 levels pairwise, 20 of 3 or 10 of 5 at strength
// three), where the fields' arrays are large or missing. engine/StarterSearch.h finds the
// starters; two developments make rows of them:
//
// - Cyclic: v = g + f levels, g of them the group of whole numbers modulo g, f fixed. m
//   starters give m k g rows: every cyclic shift of the columns of every starter, with every
//   group element added to its group levels (fixed levels stay). t columns read the starters
//   at their distances one from another, so the starters must show, for every set of
//   distances, every class of tuples (the same fixed levels at the same places, the group
//   levels the same up to an added constant) but those of fixed levels alone; an array of
//   strength t of the fixed levels below holds those (one row for one fixed level; strength two
//   only for more).
// - Affine: the levels are the field of q elements (q the smallest prime power at or above the
//   largest level count); the columns shift by the multiples of k / s, for s dividing k (s = 1:
//   they stay). m starters give m s q (q - 1) rows, every map x -> a x + b (a nonzero) applied
//   to every shift of every starter, and q constant rows follow. The maps make of a tuple with
//   two levels or more every tuple with the same ratios of differences, so the starters must
//   show, on every set of t columns but those a shift makes of another, every such class. 10
//   factors of 5 levels at strength three take 9 starters with the columns staying: 185 rows,
//   where the fields give 225; 8 factors of 4 levels 2 starters over 4 shifts: 100 (112).
//
// The fewest starters and the most fixed levels for which one is found win. Then, at strength
// three and more, starter columns shifted down the rows (engine/CirculantArray.h) are searched
// below the best: 100 factors of 2 levels at strength three in 37 rows.

#include <cstdint>
#include <functional>
#include <vector>

// rows x F level codes (0-based) for the level counts at the strength, or empty when no array
// of the kinds was found with fewer than rowsToBeat rows. One seed gives one array, unless
// giveUp (asked every few moves of a search) cut a search short.
std::vector<int32_t> BuildStarterArray(const std::vector<int32_t>& levels, int32_t strength, int32_t rowsToBeat,
                                       uint64_t seed, const std::function<bool()>& giveUp = [] { return false; });
