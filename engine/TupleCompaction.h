#pragma once
// Makes a complete covering matrix of strength 3 to 6 smaller, as MatrixCompaction does for
// pairs: the same search (CompactionSearch) with moves over t-tuples.
//
// Each move takes a random uncovered tuple and, among the generated rows that already hold
// t - 1 of its levels, the change of the one other cell that leaves the fewest tuples
// uncovered; tabu cells and random ties as for pairs. A move never gives a row an excluded
// pair. When no row qualifies a random generated row takes all t levels, or, where that
// holds an excluded pair, becomes a valid row that holds them (asked of the constraint solver).
//
// Changing cell (r, f) from a to b touches the tuples of f with every (t - 1)-set of the other
// factors: for each set, the tuple with a loses the row and the tuple with b gains it. The two
// differ only in f's level, one stride apart in the table.

#include "engine/CompactionSearch.h"
#include "engine/TupleTable.h"

#include <cstdint>
#include <vector>

class TupleCompaction : public CompactionSearch {
public:
    // The table is the one the search of this strength was laid out with.
    TupleCompaction(const NumericDesign& design, const TupleTable& table, int32_t maxRows);

private:
    void ResetCounts() override;
    void AddCoverage(int32_t r, int32_t sign) override;
    int32_t UniqueOf(int32_t r) const override;
    void TakeItem(size_t item) override;
    bool OneCellAway(const int32_t* row, int32_t& f, int32_t& level) const override;
    int32_t Delta(int32_t r, int32_t f, int32_t level) const override;
    void SetCell(int32_t r, int32_t f, int32_t level) override;
    bool ExcludedPair(int32_t f, int32_t lf, int32_t g, int32_t lg) const;
    // Whether level at factor f forms an excluded pair with the row's level of a factor other
    // than f and those of the tuple being moved (the first `skip` of them).
    bool Clashes(const int32_t* row, int32_t f, int32_t level, int32_t skip) const;
    void ForceCover(RandomStream& random) override;

    // Calls visit(tuple) for the tuple of every t-set of factors the row holds.
    template <typename Visit>
    void ForEachTupleOf(const int32_t* row, Visit visit) const;
    // Calls visit(first, stride) for every t-set holding f: the tuple with f at level v is
    // first + v * stride, the other factors at the row's levels.
    template <typename Visit>
    void ForEachSetWith(const int32_t* row, int32_t f, Visit visit) const;

    const TupleTable& table_;
    const int32_t t_;
    mutable std::vector<int32_t> set_;     // a t-set of factors (scratch)
    mutable std::vector<int32_t> others_;  // a (t - 1)-set of the other factors (scratch)
    std::vector<int32_t> tupleFactors_;    // the tuple being moved: its factors,
    std::vector<int32_t> tupleLevels_;     // their levels
    std::vector<int32_t> entries_;         // and their level entries
};
