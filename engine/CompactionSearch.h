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
// A move is scored without walking the row's sets of factors: what a change of cell (r, f)
// loses is the weight of the items row r holds alone with f, kept up to date as items are
// counted in and out; what it gains is found among the uncovered items, whose levels are at
// hand (UncoveredItems) while they are not too many.
//
// The effort is a number of moves: one matrix, one seed and one effort give one result. A time
// limit may end the search earlier. Everything is sized when the object is built; a run
// allocates nothing.

#include "engine/ConstraintSolver.h"
#include "engine/NumericDesign.h"
#include "engine/RandomStream.h"
#include "engine/UncoveredItems.h"

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

    // Sets every item's count (SetCount) before the generated rows are counted: 0 for an item
    // they must cover, kExcluded for one no valid row holds, kSettled for one the previous
    // tests hold.
    virtual void ResetCounts() = 0;
    // Counts the items of row r in (sign 1) or out (sign -1) with CountIn and CountOut.
    virtual void AddCoverage(int32_t r, int32_t sign) = 0;
    // Takes the item the move is to cover.
    virtual void TakeItem(size_t item) = 0;
    // Whether the row holds all of the taken item but one level: that level and its factor.
    virtual bool OneCellAway(const int32_t* row, int32_t& f, int32_t& level) const = 0;
    // Whether row r may take level at factor f: it would hold no excluded pair, break no rule
    // and keep its kind (with or without an invalid level).
    virtual bool Allowed(int32_t r, int32_t f, int32_t level) const = 0;
    // The change in the weight of the uncovered items if row r took level at factor f, and in
    // their number (count), by walking the items the change touches (an allowed change).
    virtual int32_t Delta(int32_t r, int32_t f, int32_t level, int32_t& count) const = 0;
    virtual void SetCell(int32_t r, int32_t f, int32_t level) = 0;
    // A random generated row takes the whole item, remade by the solver when that would give
    // it an excluded pair.
    virtual void ForceCover(RandomStream& random) = 0;

    // One move: a random uncovered item, then among the generated rows one cell away from
    // holding it the change that leaves the least weight of items uncovered (a cell changed in
    // the last few moves only when that completes the matrix; ties drawn); without one,
    // ForceCover. Where no move gains, the items still uncovered weigh one more.
    void Move(RandomStream& random);

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
    // Counts of items the generated rows need not hold.
    static constexpr int32_t kExcluded = -1;
    static constexpr int32_t kSettled = -2;

    bool Tabu(int32_t r, int32_t f) const { return move_ - changedAt_[static_cast<size_t>(r) * F_ + f] <= tabuMoves_; }
    void Changed(int32_t r, int32_t f) { changedAt_[static_cast<size_t>(r) * F_ + f] = move_; }

    // Item bookkeeping for row r entering or leaving, a cell of it changing; factors: the
    // item's t factors. Called while the row still holds the item's levels. Beside the count,
    // the sum of the rows holding the item names the one row that holds it alone.
    void CountIn(size_t item, int32_t r, const int32_t* factors, int32_t t)
    {
        int32_t* state = &itemState_[2 * item];
        if (state[0] < 0)
            return;
        if (state[0] == 0) {
            if (uncovered_.Listed(item))
                uncovered_.Remove(item);
            HoldAlone(item, r, factors, t, 1);
        } else if (state[0] == 1) {
            HoldAlone(item, state[1], factors, t, -1);
        }
        ++state[0];
        state[1] = static_cast<int32_t>(static_cast<uint32_t>(state[1]) + static_cast<uint32_t>(r));
    }
    void CountOut(size_t item, int32_t r, const int32_t* factors, int32_t t)
    {
        int32_t* state = &itemState_[2 * item];
        if (state[0] < 0)
            return;
        state[1] = static_cast<int32_t>(static_cast<uint32_t>(state[1]) - static_cast<uint32_t>(r));
        if (--state[0] == 0) {
            HoldAlone(item, r, factors, t, -1);
            Uncover(item, RowAt(r), factors, t);
        } else if (state[0] == 1) {
            HoldAlone(item, state[1], factors, t, 1);
        }
    }

    // The factor of the row's invalid level, -1 for a row of valid levels.
    int32_t InvalidFactorOf(const int32_t* row) const;
    bool InvalidLevel(int32_t f, int32_t level) const
    {
        return d_.constraints->HasInvalidLevels() && d_.constraints->Invalid(d_.levelOffset[f] + level);
    }

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

    // Per item: the generated rows holding it, or kExcluded, kSettled.
    int32_t Count(size_t item) const { return itemState_[2 * item]; }
    void SetCount(size_t item, int32_t count) { itemState_[2 * item] = count; }
    size_t NumItems() const { return weights_.size(); }
    // Per item: its weight in the moves' choice. An item that stays uncovered while no move
    // gains weighs more and more, so that the search leaves the place it is stuck in.
    std::vector<int32_t> weights_;
    // What a move gains or loses with an item that leaves or joins the uncovered.
    int32_t Lost(size_t item) const { return Count(item) == 1 ? weights_[item] : 0; }
    int32_t Gained(size_t item) const { return Count(item) == 0 ? weights_[item] : 0; }
    UncoveredItems uncovered_;
    std::unique_ptr<ConstraintSolver> solver_;

private:
    // A move's candidates: the rows one cell away from the item, with the change.
    struct Candidate {
        int32_t row, factor, level;
    };

    // Loads the matrix, or stops when the seconds pass (0: no limit) and says so.
    bool Load(const std::vector<int32_t>& codes, int32_t rows, double seconds);
    void RemoveRow(int32_t r);
    void RemoveIdleRows();
    void RemoveFewestUniqueRow(RandomStream& random);
    void SaveBest();
    // Row r starts (sign 1) or stops (-1) holding the item alone.
    void HoldAlone(size_t item, int32_t r, const int32_t* factors, int32_t t, int32_t sign);
    void Uncover(size_t item, const int32_t* row, const int32_t* factors, int32_t t);
    int32_t FindCandidates();
    // Per level of the item being moved: the listed uncovered items that hold it.
    void MatchUncovered(int32_t target);
    // Delta from the bookkeeping: what the cell's items held alone weigh, less the uncovered
    // items the changed row would hold.
    int32_t KeptDelta(const Candidate& candidate, int32_t& count) const;

    std::vector<int32_t> invalidFactors_;  // the factors with an invalid level
    std::vector<int32_t> rows_;       // maxRows x F
    std::vector<int64_t> changedAt_;  // maxRows x F: the move that last changed the cell
    // Per item, side by side (one cache line for both): its count and the sum of the numbers
    // of the generated rows holding it (mod 2^32), which names the one row when one does.
    std::vector<int32_t> itemState_;
    std::vector<int32_t> unique_;     // per row: items it holds alone
    // Per cell: the weight and the number of the items the row holds alone with that factor.
    std::vector<int64_t> aloneWeight_;
    std::vector<int32_t> aloneCount_;
    std::vector<int32_t> best_;
    int32_t bestRows_ = 0;
    std::vector<int32_t> assumptions_;
    std::vector<int32_t> order_;
    std::vector<int32_t> entries_;    // scratch: an item's level entries
    std::vector<Candidate> candidates_;
    // Per level of the item being moved (its factor, the level entry): the places in the
    // uncovered list of the items holding it, and how many.
    std::vector<int32_t> matchFactor_;
    std::vector<int32_t> matchEntry_;
    std::vector<int32_t> matches_;
    std::vector<int32_t> numMatches_;
};
