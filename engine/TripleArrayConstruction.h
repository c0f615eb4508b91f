#pragma once
// Covering arrays of strength three built from finite fields, as the starting matrix of a
// compaction for a design of level counts alone.
//
// For up to q + 1 factors, the orthogonal array of strength three of the field of q elements
// (q^3 rows). For up to 2 (q + 1) factors, its doubling: A (strength three) beside itself,
// then for each nonzero s of the field B (strength two) beside B + s, q^3 + (q - 1) q^2 rows.
// Three columns at different places are covered above; a column, its copy and a third one
// are covered by A where the first two levels are equal, and by B beside B + s where they
// differ by s. Levels above a factor's count fold onto its own; repeated rows go once.

#include <cstdint>
#include <vector>

// The smallest array of the kind for the level counts: rows x F level codes, 0-based; empty
// when none has fewer than rowsToBeat rows.
std::vector<int32_t> BuildTripleArray(const std::vector<int32_t>& levels, int32_t rowsToBeat);
