#pragma once
// What the compactions of every strength share: the search that makes a complete covering
// matrix smaller. It removes a row, then lets moves of the strength's own kind change cells of
// the generated rows until every required item (a pair, or a t-tuple) is covered again, and so
// on while the effort lasts.
//
// Whenever the matrix is complete, rows that cover no item alone go, the matrix is kept as the
// best so far, and the row that covers the fewest items alone goes next. The previous tests
// are never changed nor removed, and a generated row equal to one of them covers nothing alone.
// An item no row of the complete matrix holds is one no valid row holds: it is not required.
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

class CompactionSearch {
public:
    virtual ~CompactionSearch();

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

protected:
    // maxRows: rows of the largest matrix to be compacted, previous tests included; items: the
    // number of pairs or tuples the counts are kept for; tabuMoves: the moves during which a
    // changed cell stays put unless changing it completes the matrix.
    CompactionSearch(const NumericDesign& design, int32_t maxRows, size_t items, int64_t tabuMoves);

    // Sets counts_ before the generated rows are counted: 0 for an item they must cover, -1 for
    // one never required, above 0 for one the previous tests hold (their number of rows).
    virtual void ResetCounts() = 0;
    // Counts the items of row r in (sign 1) or out (sign -1).
    virtual void AddCoverage(int32_t r, int32_t sign) = 0;
    // Items row r holds alone.
    virtual int32_t UniqueOf(int32_t r) const = 0;
    // One move: a random uncovered item, then among the generated rows one cell away from
    // holding it the change that leaves the least weight of items uncovered (a cell changed in
    // the last few moves only when that completes the matrix; ties drawn); without one,
    // ForceCover. Where no move gains, the items still uncovered weigh one more.
    void Move(RandomStream& random);
    // Takes the item the move is to cover.
    virtual void TakeItem(size_t item) = 0;
    // Whether the row holds all of the taken item but one level: that level and its factor.
    virtual bool OneCellAway(const int32_t* row, int32_t& f, int32_t& level) const = 0;
    // The change in the weight of the uncovered items if row r took level at factor f, and in
    // their number (count); kInvalid when the row would hold an excluded pair.
    virtual int32_t Delta(int32_t r, int32_t f, int32_t level, int32_t& count) const = 0;
    virtual void SetCell(int32_t r, int32_t f, int32_t level) = 0;
    // A random generated row takes the whole item, remade by the solver when that would give
    // it an excluded pair.
    virtual void ForceCover(RandomStream& random) = 0;

    // The smallest of the values offered one by one, each of equal ones taken with equal chance
    // (the k-th equal one replaces the one kept with chance 1/k).
    struct RandomMinimum {
        explicit RandomMinimum(int32_t start) : value(start) {}
        // Whether the value offered is now the one kept.
        bool Offer(int32_t offered, RandomStream& random)
        {
            if (offered > value)
                return false;
            if (offered < value) {
                value = offered;
                ties = 0;
                return true;
            }
            return random.RandomIndex(0, ++ties) == 0;
        }
        int32_t value;
        int32_t ties = 0;
    };
    static constexpr int32_t kInvalid = 1 << 30;

    bool Tabu(int32_t r, int32_t f) const { return move_ - changedAt_[static_cast<size_t>(r) * F_ + f] <= tabuMoves_; }
    void Changed(int32_t r, int32_t f) { changedAt_[static_cast<size_t>(r) * F_ + f] = move_; }

    // Item bookkeeping for a row entering or leaving, a cell changing.
    void CountIn(size_t item)
    {
        int32_t& count = counts_[item];
        if (count >= 0 && count++ == 0)
            Cover(item);
    }
    void CountOut(size_t item)
    {
        int32_t& count = counts_[item];
        if (count >= 0 && --count == 0)
            Uncover(item);
    }
    void Uncover(size_t item);
    void Cover(size_t item);

    // Whether row r, its factors f[i] at levels l[i], would break a rule over three or more factors.
    bool BreaksWideRuleWith(int32_t r, const int32_t* f, const int32_t* l, int32_t count);

    // Row r becomes a valid row that holds the given level entries and keeps what it can of its
    // other levels (asked of the constraint solver, which exists when the design excludes pairs).
    // validOnly: a row without an invalid level.
    void RemakeRow(int32_t r, const int32_t* entries, int32_t count, RandomStream& random, bool validOnly = false);

    int32_t* RowAt(int32_t r) { return &rows_[static_cast<size_t>(r) * F_]; }
    const int32_t* RowAt(int32_t r) const { return &rows_[static_cast<size_t>(r) * F_]; }

    const NumericDesign& d_;
    const int32_t F_;
    const int32_t P_;         // previous tests: rows 0..P-1, never changed
    const int64_t tabuMoves_;
    int32_t fewestRows_ = 1;  // generated rows no complete matrix can do without
    int32_t numRows_ = 0;
    int64_t move_ = 0;

    std::vector<int32_t> counts_;       // per item: rows holding it, -1 not required
    // Per item: its weight in the moves' choice. An item that stays uncovered while no move
    // gains weighs more and more, so that the search leaves the place it is stuck in.
    std::vector<int32_t> weights_;
    // What a move gains or loses with an item that leaves or joins the uncovered.
    int32_t Lost(size_t item) const { return counts_[item] == 1 ? weights_[item] : 0; }
    int32_t Gained(size_t item) const { return counts_[item] == 0 ? weights_[item] : 0; }
    std::vector<int32_t> uncovered_;    // the required items no row holds
    std::vector<int32_t> uncoveredAt_;  // per item: its place in uncovered_, -1 when covered
    int32_t numUncovered_ = 0;
    std::unique_ptr<ConstraintSolver> solver_;

private:
    void Load(const std::vector<int32_t>& codes, int32_t rows);
    void CountUnique();
    void RemoveRow(int32_t r);
    void RemoveIdleRows();
    void RemoveFewestUniqueRow(RandomStream& random);
    void SaveBest();

    std::vector<int32_t> rows_;       // maxRows x F
    std::vector<int64_t> changedAt_;  // maxRows x F: the move that last changed the cell
    std::vector<int32_t> unique_;     // per row: items it holds alone
    std::vector<int32_t> best_;
    int32_t bestRows_ = 0;
    std::vector<int32_t> assumptions_;
    std::vector<int32_t> order_;
};
