#pragma once
// One evolution of the search over tables of t-tuples: from strength 3, the combinations of the
// design's strength; with groups or invalid levels, at any strength, those and the combinations
// of each group of factors at the group's strength, and the invalid-level pairs (each invalid level with each valid level of every
// other factor, in a row with no other invalid level). Each kind is a TupleTable. A row
// without an invalid level covers the tuples of valid levels of every table; a row with one
// invalid level covers that level's pairs only.
//
// A greedy row starts from an anchor, an uncovered tuple of a block with the most of them in
// any table; the other factors, in random order, each take the level that covers the most
// uncovered tuples of the tables the row can cover, with the factors fixed so far (ties to the
// level the matrix holds least often, then drawn). Every choice keeps the row completable
// into a valid row of its kind; an anchor that no such row holds is required no longer. Each
// row covers its anchor, so an evolution always ends, and it ends losing every generated row
// that covers nothing alone (one in a hurry keeps them: counting the rows of each tuple is what
// covering a row of many factors waits for; a compaction after it removes them).
//
// An object is a workspace reused across evolutions (one per thread).

#include "engine/ConstraintSolver.h"
#include "engine/DesignCodes.h"
#include "engine/EvolutionOutcome.h"
#include "engine/RandomStream.h"
#include "engine/TupleTable.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class TupleEvolution {
public:
    TupleEvolution(const DesignCodes& design, const std::vector<TupleTable>& tables);

    using Outcome = EvolutionOutcome;
    // Greedy rows built for each row of the matrix (the one covering the most tuples is kept),
    // and the evolutions a generation of this search runs unless told otherwise: each one
    // weighs many candidates, so a few evolutions find what many would.
    static constexpr int32_t kCandidates = 50;
    static constexpr int32_t kDefaultEvolutions = 3;
    // The evolutions a generation runs, given the number set for pairs: few from strength 3,
    // or with groups or invalid levels; and where the pairs times the evolutions pass
    // kPairEvolutionBudget (designs of more than 100,000 pairs at 1,000 evolutions), as many
    // as the budget holds, at least one: the wait grows with that product, and on so large a
    // design the rows of one evolution vary little.
    // pairs: the pairs of levels of every two factors (PairsOf).
    static constexpr double kPairEvolutionBudget = 1e8;
    static int32_t EvolutionsFor(int32_t strength, int32_t pairEvolutions, bool mixedRequirements, double pairs)
    {
        if ((strength > 2 || mixedRequirements) && pairEvolutions > kDefaultEvolutions)
            return kDefaultEvolutions;
        const double affordable = std::floor(kPairEvolutionBudget / std::max(pairs, 1.0));
        return affordable < pairEvolutions ? std::max<int32_t>(1, static_cast<int32_t>(affordable)) : pairEvolutions;
    }
    // The pairs of levels of every two factors of these level counts.
    static double PairsOf(const std::vector<int32_t>& levelCounts)
    {
        double sum = 0, squares = 0;
        for (const int32_t levels : levelCounts)
            sum += levels, squares += static_cast<double>(levels) * levels;
        return (sum * sum - squares) / 2;
    }

    void SetRowProgress(std::function<void(double)> rowProgress) { rowProgress_ = std::move(rowProgress); }
    // Asked before each row and after each candidate, with the seconds the candidates still
    // to come in the row would take at the pace of the last one; once it answers true (a time
    // budget running out), the rest of the evolution builds each row from one candidate, so
    // that a complete matrix comes soon.
    void SetHurry(std::function<bool(double secondsAhead)> hurry) { hurry_ = std::move(hurry); }
    // Asked before each row; once it answers true (a time budget spent, with a suite made
    // another way to take its place), the evolution ends where it is, incomplete.
    void SetGiveUp(std::function<bool()> giveUp) { giveUp_ = std::move(giveUp); }
    Outcome GenerateQXVMatrix(RandomStream& random);

    // The matrix of the last evolution, previous tests first: level codes 0-based.
    int32_t NumRows() const { return numRows_; }
    const int32_t* Row(int32_t r) const { return &rows_[static_cast<size_t>(r) * F_]; }

private:
    // A table and what the evolution has covered of it.
    struct Table {
        const TupleTable* tuples = nullptr;
        std::vector<uint64_t> uncovered;
        std::vector<uint32_t> blockUncovered;
        uint64_t remaining = 0;
        std::vector<int32_t> localOf;  // per factor of the design: its number in the table, or -1
        std::vector<uint8_t> counts;   // rows holding each tuple (saturating), for elimination
        bool Uncovered(uint64_t bit) const { return (uncovered[bit / 64] >> (bit % 64)) & 1; }
        // The uncovered tuples per chunk of kChunkWords words, so that finding one skips the
        // covered stretches of a block of many tuples with few uncovered a chunk at a time.
        static constexpr uint64_t kChunkWords = 64;
        std::vector<uint32_t> chunkUncovered;
        void CountChunks();
        void Cover(uint64_t bit)
        {
            uncovered[bit / 64] &= ~(uint64_t{1} << (bit % 64));
            --chunkUncovered[bit / 64 / kChunkWords];
        }
        // The uncovered tuple `n` places after the first one from `from` on (there must be one).
        uint64_t NthUncovered(uint64_t from, int32_t n) const;
    };

    void Reset();
    void Hurry(int32_t& candidates, Outcome& outcome, double secondsAhead);
    void FindMostUncovered();
    bool PlaceAnchor(RandomStream& random, int32_t* row);
    int64_t FillRow(RandomStream& random, int32_t* row);
    int32_t PickLevel(int32_t f, RandomStream& random, int64_t& best);
    void ScoreLevels(int32_t f, const int32_t* row);
    void ScoreTable(const Table& table, int32_t f, const int32_t* row);
    // Scores f's levels over the sets whose positions up to `depth` are still to be picked
    // from merged_[0, below); rank, code and stride are those of the factors picked above.
    void ScoreSets(const Table& table, int32_t depth, int32_t below, uint64_t rank, uint64_t code, uint64_t stride,
                   bool holdsF);
    template <int32_t kLevels>
    void TallyRun(const Table& table, int32_t first, int32_t last, uint64_t rank, uint64_t code, uint64_t stride);
    bool Completable(const int32_t* row, int32_t f, int32_t level);
    // Calls visit(block, bit) for every tuple of the table that the row holds and covers; a
    // visit that returns a bool ends the walk by returning false.
    template <typename Visit>
    void ForEachTupleOf(const Table& table, const int32_t* row, Visit visit);
    void CoverRow(const int32_t* row);
    void EliminateRows();
    int32_t InvalidFactorOf(const int32_t* row) const;

    const DesignCodes& d_;
    const int32_t F_;
    std::vector<Table> tables_;
    std::vector<uint64_t> firstBlock_;  // per table: its first block among all; their number at the end
    std::function<void(double)> rowProgress_;
    std::function<bool(double)> hurry_;
    std::function<bool()> giveUp_;
    std::unique_ptr<ConstraintSolver> solver_;
    uint64_t remaining_ = 0;
    uint32_t mostUncovered_ = 0;

    std::vector<int32_t> rows_;
    std::vector<int32_t> uses_;  // per level entry: rows of the matrix holding it
    int32_t numRows_ = 0;
    bool hurried_ = false;  // the budget cut this evolution's candidates

    // The row being built: its invalid factor (-1: a row of valid levels), the fixed factors
    // (ascending), the free ones in the order they are filled, the scores of the factor being
    // filled (-1: not allowed) and the scratch of a table's scoring.
    int32_t invalidFactor_ = -1;
    std::vector<int32_t> candidate_;
    std::vector<int32_t> fixed_;
    std::vector<int32_t> order_;
    std::vector<int64_t> scores_;
    std::vector<int32_t> merged_;
    std::vector<int32_t> mergedCounts_;
    std::vector<int32_t> mergedLevels_;
    int32_t fPos_ = 0;
    size_t scoredLevels_ = 0;
    std::vector<int32_t> local_;  // a row's levels by a table's factors
    std::vector<int64_t> tally_;  // uncovered tuples per level of the factor being scored
    std::vector<int32_t> set_;
    std::vector<int32_t> setLevels_;
    std::vector<int32_t> entries_;
};
