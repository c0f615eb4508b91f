#pragma once
// Covering arrays of strength two built from finite fields, as the starting matrix of a
// compaction for a design whose factors no constraint ties (a design of level counts alone).
//
// The rows (a, b) of the field of q elements give the columns i -> a + i b: every two columns
// hold every pair of levels exactly once (an orthogonal array of q^2 rows and q columns, one
// more, b itself, where no constant rows are wanted), and the rows with b = 0 are constant.
// Two such arrays A (k1 columns) and B (k2) make one of k1 k2 columns, (i, j) taking A's column
// i above B's column j: two columns of different i are covered above, of equal i below; the
// constant rows of both stand twice and go once. Levels above a factor's count are folded onto
// its own, which keeps every pair of the levels it has.

#include <cstdint>
#include <vector>

// The smallest array of the kind for the level counts: rows x F level codes, 0-based; empty
// when none has fewer than rowsToBeat rows (or the largest count passes the fields made).
std::vector<int32_t> BuildPairArray(const std::vector<int32_t>& levels, int32_t rowsToBeat);

// The product of two arrays of strength two (rows x columns codes each): upper's columns
// times lower's, upper's rows above lower's.
std::vector<int32_t> PairArrayProduct(const std::vector<int32_t>& upper, int32_t upperColumns,
                                      const std::vector<int32_t>& lower, int32_t lowerColumns);
// The rows of an array of `columns` columns cut to the first F = levels.size() factors, each
// level above its factor's count folded onto its own (modulo the count), each row once.
std::vector<int32_t> FoldedRows(const std::vector<int32_t>& array, int32_t columns, const std::vector<int32_t>& levels);
