#pragma once
// One evolution of the search for strength 3 and more: the matrix starts with the previous
// tests, then gets greedy rows until every required t-tuple is covered, and finally loses
// every generated row that covers no tuple alone.
//
// A greedy row starts from an anchor, an uncovered tuple of the block with the most of them;
// the other factors, in random order, each take the level that covers the most uncovered
// tuples with the factors already fixed (ties drawn at random). With constraints every
// choice keeps the row completable into a valid one (the constraint solver answers), and an
// anchor that no valid row holds is dropped from the required tuples. Each row covers its
// anchor, so an evolution always ends.
//
// An object is a workspace reused across evolutions (one per thread).

#include "engine/ConstraintSolver.h"
#include "engine/EvolutionOutcome.h"
#include "engine/DesignCodes.h"
#include "engine/RandomStream.h"
#include "engine/TupleTable.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class TupleEvolution {
public:
    TupleEvolution(const DesignCodes& design, const TupleTable& table);

    using Outcome = EvolutionOutcome;
    // Greedy rows built for each row of the matrix (the one covering the most tuples is kept),
    // and the evolutions a generation of strength 3 and more runs unless told otherwise: each
    // one weighs many candidates, so a few evolutions find what many would.
    static constexpr int32_t kCandidates = 50;
    static constexpr int32_t kDefaultEvolutions = 3;
    // The evolutions a generation runs, given the number set for pairs: few from strength 3,
    // or for the search of several kinds of requirements (groups, invalid levels), which also
    // weighs many candidates.
    static int32_t EvolutionsFor(int32_t strength, int32_t pairEvolutions, bool mixedRequirements = false)
    {
        return (strength > 2 || mixedRequirements) && pairEvolutions > kDefaultEvolutions ? kDefaultEvolutions
                                                                                           : pairEvolutions;
    }

    // Called after every greedy row with the share of the required tuples covered (0..1).
    void SetRowProgress(std::function<void(double)> rowProgress) { rowProgress_ = std::move(rowProgress); }

    // Covers every required tuple, so the outcome always counts as converged; noTestCases
    // when nothing at all is required.
    Outcome GenerateQXVMatrix(RandomStream& random);

    // The matrix of the last evolution, previous tests first: level codes 0-based.
    int32_t NumRows() const { return numRows_; }
    const int32_t* Row(int32_t r) const { return &rows_[static_cast<size_t>(r) * F_]; }

private:
    bool Uncovered(uint64_t bit) const { return (uncovered_[bit / 64] >> (bit % 64)) & 1; }
    void Cover(uint64_t block, uint64_t bit);
    // Picks the anchor; false when a drawn anchor was dropped as no valid row holds it.
    bool PlaceAnchor(RandomStream& random, int32_t* row);
    // Fills the free factors; returns the tuples the row covers that were uncovered.
    int64_t FillRow(RandomStream& random, int32_t* row);
    // Scores of every level of f against the fixed factors of the row.
    void ScoreLevels(int32_t f, const int32_t* row);
    // Adds to the scores the sets that extend the partial set at depth (its block number so
    // far, the code of its levels, the multiplier of the next level, f's stride if held).
    void ScoreSets(int32_t depth, int32_t from, uint64_t rank, uint64_t code, uint64_t multiplier, uint64_t stride,
                   bool holdsF);
    // Calls visit(block, bit) for the tuple of every t-set of factors that the row holds.
    template <typename Visit>
    void ForEachTupleOf(const int32_t* row, Visit visit)
    {
        uint64_t block = 0;
        ForEachColexSet(F_, t_, set_.data(), [&](const int32_t* set) {
            uint64_t code = 0;
            for (int32_t i = t_ - 1; i >= 0; --i)
                code = code * static_cast<uint64_t>(d_.levels[set[i]]) + static_cast<uint64_t>(row[set[i]]);
            visit(block, table_.blockOffset[block] + code);
            ++block;
        });
    }
    void CoverRow(const int32_t* row);
    void EliminateRows();
    bool Completable(const int32_t* row, int32_t f, int32_t level);

    const DesignCodes& d_;
    const TupleTable& table_;
    const int32_t F_;
    const int32_t t_;
    std::function<void(double)> rowProgress_;
    std::unique_ptr<ConstraintSolver> solver_;

    std::vector<uint64_t> uncovered_;
    std::vector<uint32_t> blockUncovered_;
    uint64_t remaining_ = 0;
    uint32_t mostUncovered_ = 0;  // in one block, when the row was begun
    std::vector<int32_t> rows_;
    std::vector<int32_t> uses_;  // per level entry: rows of the matrix holding it
    int32_t numRows_ = 0;

    // Row scratch.
    std::vector<int32_t> candidate_;  // the candidate row being built
    std::vector<int32_t> fixed_;      // the fixed factors, ascending
    std::vector<int32_t> order_;      // the free factors in the order they are filled
    std::vector<int64_t> scores_;     // per level of the factor being filled; -1: not allowed
    std::vector<int32_t> merged_;     // the fixed factors with the scored one among them
    int32_t scoredFactor_ = 0;
    int32_t fPos_ = 0;  // its place in merged_
    const int32_t* scoredRow_ = nullptr;
    std::vector<int32_t> set_;        // a t-set of factors
    std::vector<int32_t> setLevels_;  // its levels
    std::vector<int32_t> entries_;    // level entries for the solver
    std::vector<uint8_t> counts_;     // rows holding each tuple (saturating), for elimination
};
