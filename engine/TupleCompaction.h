#pragma once
// Makes a complete matrix of TupleEvolution's (strength 3 to 6, or a design with groups or
// invalid levels) smaller, as MatrixCompaction does for pairs: the same search
// (CompactionSearch), its items the tuples of every table one after the other. A row without an invalid level counts for the tuples of
// valid levels of every table, a row with one invalid level for that level's pairs; a row
// goes only when every item stays covered.
//
// A move takes a random uncovered tuple and, among the generated rows of the kind that counts
// for it and hold all of its levels but one, the change of that one cell that leaves the fewest
// items uncovered; a move never changes a row's kind, gives it an excluded pair or breaks a
// rule. When no row qualifies a random generated row takes the whole tuple, or becomes a valid
// row of the tuple's kind that holds it (asked of the constraint solver).

#include "engine/CompactionSearch.h"
#include "engine/TupleTable.h"

#include <cstdint>
#include <vector>

class TupleCompaction : public CompactionSearch {
public:
    // The tables are those the search was laid out with.
    TupleCompaction(const NumericDesign& design, const std::vector<TupleTable>& tables, int32_t maxRows);

private:
    // A tuple has many rows one cell away: a changed cell waits one move only.
    static constexpr int64_t kTabuMoves = 1;
    void ResetCounts() override;
    void AddCoverage(int32_t r, int32_t sign) override;
    void TakeItem(size_t item) override;
    bool OneCellAway(const int32_t* row, int32_t& f, int32_t& level) const override;
    bool Allowed(int32_t r, int32_t f, int32_t level) const override;
    int32_t Delta(int32_t r, int32_t f, int32_t level, int32_t& count) const override;
    void SetCell(int32_t r, int32_t f, int32_t level) override;
    void ForceCover(RandomStream& random) override;

    // Whether level at factor f forms an excluded pair with the row's level of another factor,
    // passing over the first `skip` factors of the tuple being moved.
    bool Clashes(const int32_t* row, int32_t f, int32_t level, int32_t skip) const;
    // Calls visit(item, factors, t) for every item the row holds and counts for, with the
    // item's t factors.
    template <typename Visit>
    void ForEachItemOf(const int32_t* row, Visit visit) const;
    // Calls visit(first, stride, factors, t) for every item of a table counting for the row
    // that f's level takes part in: f at level v is item first + v * stride, the others at the
    // row's levels.
    template <typename Visit>
    void ForEachItemWith(const int32_t* row, int32_t f, Visit visit) const;

    const std::vector<TupleTable>& tables_;
    std::vector<size_t> firstItem_;  // per table: its first item; the number of items at the end
    mutable std::vector<int32_t> set_;
    mutable std::vector<int32_t> others_;
    mutable std::vector<int32_t> visitedFactors_;  // scratch: the factors of the item visited
    // The item being moved: its table, factors, levels and level entries.
    size_t table_ = 0;
    int32_t t_ = 0;
    std::vector<int32_t> itemFactors_;
    std::vector<int32_t> itemLevels_;
    std::vector<int32_t> entries_;
};
