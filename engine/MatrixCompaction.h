#pragma once
// Makes a complete covering matrix smaller: removes a row, then changes single cells of the
// generated rows until every required pair is covered again, and so on while the effort lasts.
//
// Each move takes a random uncovered pair and, among the generated rows that already hold one
// of its two levels, the change of one cell that covers it and leaves the fewest pairs
// uncovered; a cell changed within the last few moves may change again only when that
// completes the matrix (a tabu list), and ties go to a random one. A move never gives a row
// an excluded pair (named by a constraint or implied). When no such move exists a random
// generated row takes both levels, or, where that holds an excluded pair, becomes a valid row
// that holds them and keeps what it can of its other levels (asked of the constraint solver).
//
// Whenever the matrix is complete, rows that cover no pair alone go, the matrix is kept as the
// best so far, and the row that covers the fewest pairs alone goes next. The previous tests
// are never changed nor removed, and a generated row equal to one of them covers nothing alone.
//
// The effort is a number of moves: one matrix, one seed and one effort give one result. A time
// limit may end the search earlier. Everything is sized when the object is built; a run
// allocates nothing.

#include "engine/ConstraintSolver.h"
#include "engine/NumericDesign.h"
#include "engine/RandomStream.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class MatrixCompaction {
public:
    // maxRows: rows of the largest matrix to be compacted, previous tests included.
    MatrixCompaction(const NumericDesign& design, int32_t maxRows);
    ~MatrixCompaction();

    struct Outcome {
        int32_t rowsBefore = 0;  // previous tests included
        int32_t rowsAfter = 0;
        int64_t moves = 0;
        double seconds = 0;
        bool timeUp = false;   // the time limit ended the search
        bool stopped = false;  // the progress call answered Stop
    };

    // Called now and then with the share of the effort spent (0..1) and the rows of the best
    // matrix so far; returns true to stop. May be empty.
    using Progress = std::function<bool(double fraction, int32_t bestRows)>;

    // codes: rows x F level codes (0-based), the previous tests first; a complete matrix.
    // On return it holds the best matrix found and rows its size. seconds <= 0: no time limit.
    Outcome Compact(std::vector<int32_t>& codes, int32_t& rows, int64_t moves, double seconds, RandomStream& random,
                    const Progress& progress);

private:
    void Load(const std::vector<int32_t>& codes, int32_t rows);
    void AddCoverage(int32_t r, int32_t sign);
    void SetCell(int32_t r, int32_t f, int32_t level);
    // The change in uncovered pairs if row r took level at factor f; kInvalid when the row
    // would hold an excluded pair.
    int32_t Delta(int32_t r, int32_t f, int32_t level) const;
    void Move(RandomStream& random);
    void ForceCover(int32_t f, int32_t a, int32_t g, int32_t b, RandomStream& random);
    void RemakeRow(int32_t r, int32_t ea, int32_t eb, RandomStream& random);
    void CountUnique();
    void RemoveRow(int32_t r);
    void RemoveIdleRows();
    void RemoveFewestUniqueRow(RandomStream& random);
    void SaveBest();
    size_t CellOf(int32_t f, int32_t lf, int32_t g, int32_t lg) const
    {
        if (f > g)
            return d_.pairCellOffset[static_cast<size_t>(g) * F_ + f] + static_cast<size_t>(lg) * d_.levels[f] + lf;
        return d_.pairCellOffset[static_cast<size_t>(f) * F_ + g] + static_cast<size_t>(lf) * d_.levels[g] + lg;
    }
    void Uncover(size_t cell);
    void Cover(size_t cell);
    int32_t* RowAt(int32_t r) { return &rows_[static_cast<size_t>(r) * F_]; }
    const int32_t* RowAt(int32_t r) const { return &rows_[static_cast<size_t>(r) * F_]; }

    static constexpr int32_t kInvalid = 1 << 30;

    const NumericDesign& d_;
    const int32_t F_;
    const int32_t P_;  // previous tests: rows 0..P-1, never changed
    int32_t fewestRows_ = 1;  // generated rows no complete matrix can do without
    int32_t numRows_ = 0;
    int64_t move_ = 0;

    std::vector<int32_t> rows_;        // maxRows x F
    std::vector<int64_t> changedAt_;   // maxRows x F: the move that last changed the cell
    std::vector<int32_t> counts_;      // per cell: rows holding the pair, -1 excluded
    std::vector<int32_t> uncovered_;   // the required cells no row holds
    std::vector<int32_t> uncoveredAt_;  // per cell: its place in uncovered_, -1 when covered
    int32_t numUncovered_ = 0;
    std::vector<int32_t> cellEntry_;   // per cell: the level entries of its two levels
    std::vector<int32_t> unique_;      // per row: pairs it holds alone

    std::vector<int32_t> best_;
    int32_t bestRows_ = 0;

    std::unique_ptr<ConstraintSolver> solver_;
    std::vector<int32_t> assumptions_;
    std::vector<int32_t> order_;
};
