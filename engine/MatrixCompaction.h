#pragma once
// Makes a complete covering matrix smaller: removes a row, then changes single cells of the
// generated rows until every required pair is covered again, and so on while the effort lasts.
//
// Each move takes a random uncovered pair and, among the generated rows that already hold one
// of its two levels, the change of one cell that covers it and leaves the least weight of pairs
// uncovered (CompactionSearch weighs them); a cell changed within the last few moves may change again only when that
// completes the matrix (a tabu list), and ties go to a random one. A move never gives a row
// an excluded pair (named by a constraint or implied). When no such move exists a random
// generated row takes both levels, or, where that holds an excluded pair, becomes a valid row
// that holds them and keeps what it can of its other levels (asked of the constraint solver).
//
// The rest (removing rows, keeping the best matrix, the effort and the time limit) is the
// CompactionSearch every strength shares.

#include "engine/CompactionSearch.h"

#include <cstdint>
#include <vector>

class MatrixCompaction : public CompactionSearch {
public:
    // maxRows: rows of the largest matrix to be compacted, previous tests included.
    MatrixCompaction(const NumericDesign& design, int32_t maxRows);

private:
    // A pair's move goes back and forth between few rows: a changed cell waits five moves.
    static constexpr int64_t kTabuMoves = 5;
    void ResetCounts() override;
    void AddCoverage(int32_t r, int32_t sign) override;
    void TakeItem(size_t cell) override;
    bool OneCellAway(const int32_t* row, int32_t& f, int32_t& level) const override;
    bool Allowed(int32_t r, int32_t f, int32_t level) const override;
    int32_t Delta(int32_t r, int32_t f, int32_t level, int32_t& count) const override;
    void SetCell(int32_t r, int32_t f, int32_t level) override;
    void ForceCover(RandomStream& random) override;
    size_t CellOf(int32_t f, int32_t lf, int32_t g, int32_t lg) const { return d_.Cell(f, lf, g, lg); }

    int32_t f_ = 0, a_ = 0, g_ = 0, b_ = 0;  // the pair being moved: factor f at level a, g at b
};
