#pragma once
// A covering array for many factors made at once from one for few, for a design of level counts
// alone whose first suite the evolutions could not finish within a time budget (100 factors of
// 10 levels at strength three, 100 of 2 or 3 at strength four): it goes over the sets of t
// factors a few times at most, where an evolution goes over them once for every row.
//
// A hash family of s rows maps every factor to one of the small array's m columns in each row,
// so that any t factors go to t different columns in one row at least. Each row of the family
// makes a block of the small array's rows, factor f reading the column the family maps it to:
// t factors read, in the block of a row that keeps them apart, t columns of the small array,
// which hold every combination of their levels. s blocks of N rows, each repeated row once.
//
// Two kinds of family, the one that makes fewer rows kept:
// - searched, onto the field's orthogonal array (q^t rows, q + 1 columns, q the smallest prime
//   power at or above the levels and the strength, or the next), only where q + 1 is three
//   times the strength or more. It is found a row at a time over the sets of t factors not yet
//   apart: each set whose mapped factors are apart gets its unmapped ones mapped to columns of
//   their own, then a few sweeps move each factor to the column that keeps the most sets
//   through it apart;
// - the polynomials of degree below d over the field of p elements, one per factor, read at
//   C(t, 2) (d - 1) + 1 of its points (two of them agree at d - 1 points at most), onto an array
//   of p columns: the field's, or for few levels one the search finds (2^100 at strength four:
//   7 blocks of 2^11's, 156 rows at once, where the evolution takes seconds for 151).
// Every factor reads columns of the most levels, so none where a factor's combinations of t
// levels are fewer than half another's.

#include <cstdint>
#include <vector>

// s x k columns below m that keep every t of the k factors apart in some row, or empty where
// more than mostRows rows would be needed, m < t, or the sets of t factors are too many to list.
std::vector<int32_t> HashFamily(int32_t k, int32_t m, int32_t t, int32_t mostRows, uint64_t seed);

// rows x F level codes (0-based) of strength t for the level counts, or empty where no family
// and small array fit or the level counts differ too much. One seed gives one array.
std::vector<int32_t> BuildHashedArray(const std::vector<int32_t>& levels, int32_t t, uint64_t seed);
