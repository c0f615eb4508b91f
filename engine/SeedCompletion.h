#pragma once
// Rows a tester wants in the suite, some of their cells left to the generator, completed into
// valid rows before the search, which then counts them as already run. Each free factor, in
// order, takes the valid level that covers the most pairs no earlier row holds (the previous
// tests and the seeds before it), among those that leave the row completable; among equals the
// heavier level, then the first.

#include <cstdint>
#include <vector>

class ConstraintModel;

// rows: level codes 0-based per factor, -1 where the generator chooses; completed in place.
// previous: whole rows, codes 0-based. weights: per level entry (empty: every level 1).
// The index of the first row that no valid row extends (it is left as given), or -1.
int32_t CompleteSeedRows(const ConstraintModel& model, const std::vector<std::vector<int32_t>>& previous,
                         std::vector<std::vector<int32_t>>& rows, const std::vector<int32_t>& weights);
