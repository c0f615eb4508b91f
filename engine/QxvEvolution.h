#pragma once
// One evolution of the covering-matrix search: the matrix starts with the previous tests,
// gets one random row that respects the constraints, then greedy rows until every required
// pair is covered or the iteration limit is reached, and finally loses every generated row
// that covers no pair alone.
//
// Coverage is kept up to date as rows are added and removed instead of re-analysing the
// whole matrix after every step; every decision, and so every draw, is the one a full
// re-analysis would lead to. An object is a workspace reused across evolutions (one per
// thread). Its matrix starts with room for the previous tests and a few thousand rows, which
// is all most designs take; a design of many levels, whose iteration limit allows far more
// rows than it needs, doubles that room as its rows come, so memory follows the rows the
// evolutions add, not the limit. Nothing else is allocated while an evolution runs.
//
// No row the search adds holds an excluded pair. Where the greedy choice corners a factor
// (every level of it forms an excluded pair with a level already chosen), the row is
// repaired: it keeps as many of its chosen levels as a valid row can hold, the anchor first,
// and the other factors take the best-scoring levels that a valid row still holds. Where
// 10,000 random first rows are all rejected, the first row is a random valid one. Both ask
// the constraint solver, which only a design with constraints has. Rules over three or more
// factors are read as the row's levels are fixed: a level that breaks one is passed over.

#include "engine/ConstraintSolver.h"
#include "engine/EvolutionOutcome.h"
#include "engine/NumericDesign.h"
#include "engine/RandomStream.h"

#include <bit>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

// The population count instruction where the processor has it (one clone of the function
// each, chosen when the program starts). Not in sanitized builds: the sanitizers' runtime is
// not ready yet when the clone is chosen.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(VANTREL_SANITIZED)
#define VANTREL_POPCOUNT_CLONES __attribute__((target_clones("popcnt", "default")))
#else
#define VANTREL_POPCOUNT_CLONES
#endif

class QxvEvolution {
public:
    explicit QxvEvolution(const NumericDesign& design);

    using Outcome = EvolutionOutcome;

    // Called after the first analysis and after every greedy row with the completeness of
    // the table (0..1). May be empty.
    void SetRowProgress(std::function<void(double)> rowProgress) { rowProgress_ = std::move(rowProgress); }

    Outcome GenerateQXVMatrix(RandomStream& random);

    // The matrix of the last evolution, previous tests first: level codes 0-based.
    int32_t NumRows() const { return numRows_; }
    const int32_t* Row(int32_t position) const { return &matrix_[static_cast<size_t>(rowOrder_[position]) * F_]; }

    // The mean completeness of the blocks, for progress only (summed as cells are covered,
    // so it is kept within 0..1 and is exactly 1 once every block is complete).
    double Completeness() const
    {
        if (incomplete_ == 0)
            return 1.0;
        const double mean = sumCompleteness_ / blocks_;
        return mean < 0.0 ? 0.0 : mean > 1.0 ? 1.0 : mean;
    }

private:
    // Room for this many rows, previous tests included, in the matrix and the per-row arrays.
    void ReserveRows(int32_t rows);
    void ResetToBase();
    bool AddRandomRowToMatrix(RandomStream& random);
    void DrawRandomRow(RandomStream& random, int32_t* row);
    bool RandomValidRow(RandomStream& random, int32_t* row);
    void RepairRow(int32_t pos, RandomStream& random);
    // Whether level keeps the wide rules of f on the levels fixed so far, one step ahead; the
    // factors its rules leave alone open are then watched for the rest of the row.
    bool KeepsWideRules(int32_t f, int32_t level);
    // After f took its level: one factor less open in its rules, and the factors they leave
    // alone open watched.
    void CountFixed(int32_t f);
    void WatchLoneFactors(int32_t f);
    // levelIndex_ 0..levels-1 ordered by ascending scores_.
    void SortLevelsByScore(int32_t f, int32_t levels, RandomStream& random);
    void UndoRowCoverage(int32_t pos);
    bool RowHasExcludedPair(const int32_t* row);
    void AddRowCoverage(const int32_t* row);
    void ScoreLevels(int32_t pos, int32_t* scores, uint8_t* flags) const;
    VANTREL_POPCOUNT_CLONES void ScoreLevelsBySets(int32_t f, int32_t* scores, uint8_t* flags) const;
    void CoverFixedPartners(int32_t f, int32_t level, uint64_t* log);
    // Counts pair (f = lf, g = lg) as covered if it was required and uncovered.
    void CoverPair(int32_t f, int32_t lf, int32_t g, int32_t lg)
    {
        const int32_t other = d_.levelOffset[g] + lg;
        if ((uncovered_[static_cast<size_t>(d_.levelOffset[f] + lf) * W_ + (other >> 6)] >> (other & 63)) & 1)
            CoverNewPair(f, lf, g, lg);
    }
    // Sets the state of (f = lf, g = lg) in both runs, where the states are kept.
    void SetState(int32_t f, int32_t lf, int32_t g, int32_t lg, uint8_t state)
    {
        if (state_.empty())
            return;
        state_[d_.StateOffset(f, g) + static_cast<size_t>(lg) * d_.levels[f] + lf] = state;
        state_[d_.StateOffset(g, f) + static_cast<size_t>(lf) * d_.levels[g] + lg] = state;
    }
    // Counts a required pair that was uncovered until now.
    void CoverNewPair(int32_t f, int32_t lf, int32_t g, int32_t lg)
    {
        SetState(f, lf, g, lg, NumericDesign::kCovered);
        ClearBit(&uncovered_[static_cast<size_t>(d_.levelOffset[f] + lf) * W_], d_.levelOffset[g] + lg);
        ClearBit(&uncovered_[static_cast<size_t>(d_.levelOffset[g] + lg) * W_], d_.levelOffset[f] + lf);
        CountCoveredCell(d_.BlockOf(f, g), d_.NumCombos(f, g));
        ++nonZero_[d_.levelOffset[f] + lf];
        ++nonZero_[d_.levelOffset[g] + lg];
        factorChanged_[f] = 1;
        factorChanged_[g] = 1;
    }
    // Counts a pair covered by the row under construction as required and uncovered again.
    void UncoverPair(int32_t f, int32_t lf, int32_t g, int32_t lg)
    {
        SetState(f, lf, g, lg, NumericDesign::kUncovered);
        SetBit(&uncovered_[static_cast<size_t>(d_.levelOffset[f] + lf) * W_], d_.levelOffset[g] + lg);
        SetBit(&uncovered_[static_cast<size_t>(d_.levelOffset[g] + lg) * W_], d_.levelOffset[f] + lf);
        const int32_t b = d_.BlockOf(f, g);
        const int32_t combos = d_.NumCombos(f, g);
        if (done_[b] == combos)
            ++incomplete_;
        const int32_t done = --done_[b];
        if (!blockCompleteness_.empty())
            blockCompleteness_[b] = static_cast<double>(done) / static_cast<double>(combos);
        sumCompleteness_ -= 1.0 / combos;
        --nonZero_[d_.levelOffset[f] + lf];
        --nonZero_[d_.levelOffset[g] + lg];
        factorChanged_[f] = 1;
        factorChanged_[g] = 1;
    }
    void CountCoveredCell(int32_t b, int32_t combos)
    {
        const int32_t done = ++done_[b];
        if (!blockCompleteness_.empty())
            blockCompleteness_[b] = static_cast<double>(done) / static_cast<double>(combos);
        sumCompleteness_ += 1.0 / combos;
        if (done == combos)
            --incomplete_;
    }
    static void SetBit(uint64_t* set, int32_t bit) { set[bit >> 6] |= uint64_t{1} << (bit & 63); }
    static void ClearBit(uint64_t* set, int32_t bit) { set[bit >> 6] &= ~(uint64_t{1} << (bit & 63)); }
    void EvaluteNWayCompleteness();
    // Adds to sums[k] the completeness of factors[k]'s blocks, partner by partner, for k < 4;
    // Stored: as blockCompleteness_ keeps them.
    template <bool Stored>
    void SumCompleteness(const int32_t* factors, double* sums) const;
    void CalcCompletenessOrder(RandomStream& random);
    void Select2WayAnchorFactorAndLevel();
    void Select2WayLevelForFactor(RandomStream& random);
    void ReorderAndAddRowToQXVMatrix();
    void RowElimination(RandomStream& random);
    void CalcRowsUniqueInters();
    void CountUniqueByCells();
    void CountBlockUniqueByCells(int32_t f1, int32_t f2);
    template <int32_t Words>
    void CountUniqueBySets();
    void RemoveRowFromMatrix(int32_t position);
    // The one row in both sets of the given words, or -1 when none or several are; without
    // branches on the data, since which rows hold a pair is as good as random.
    static int32_t SoleRow(const uint64_t* first, const uint64_t* second, int32_t words)
    {
        int32_t holders = 0;  // at most two per word, enough to tell one from several
        int32_t holder = 0;
        for (int32_t w = 0; w < words; ++w) {
            const uint64_t both = first[w] & second[w];
            holders += (both != 0) + ((both & (both - 1)) != 0);
            holder = both ? w * 64 + std::countr_zero(both) : holder;
        }
        return holders == 1 ? holder : -1;
    }
    size_t Cell(const int32_t* row, int32_t f, int32_t g) const
    {
        return d_.CellOffset(f, g) + static_cast<size_t>(row[f]) * d_.levels[g] + row[g];
    }
    // The completeness of block (f, g): its cells covered or excluded, as a share.
    double BlockCompleteness(int32_t f, int32_t g) const
    {
        const int32_t b = d_.BlockOf(f, g);
        if (!blockCompleteness_.empty())
            return blockCompleteness_[b];
        return static_cast<double>(done_[b]) / static_cast<double>(d_.NumCombos(f, g));
    }

    const NumericDesign& d_;
    const int32_t F_;
    const int32_t blocks_;
    const int32_t W_;  // words of a level's bit set
    std::function<void(double)> rowProgress_;

    // Construction: the state of every cell (per factor of its pair) where the design keeps
    // them, the uncovered pairs as bit sets per level, blocks done (and their completeness,
    // kept beside them where the states are, worked out as it is read elsewhere), cells per
    // level that are no longer zero, per-factor completeness.
    std::vector<uint8_t> state_;
    std::vector<uint64_t> uncovered_;
    std::vector<int32_t> done_;
    std::vector<double> blockCompleteness_;
    std::vector<int32_t> nonZero_;
    std::vector<double> factorCompleteness_;
    std::vector<uint8_t> factorChanged_;
    int32_t incomplete_ = 0;
    double sumCompleteness_ = 0.0;

    // The row under construction.
    std::vector<double> orderKeys_;
    std::vector<int32_t> alOrder_;
    std::vector<int32_t> alNewRow_;
    std::vector<int32_t> scores_;
    std::vector<uint8_t> levelFlags_;
    std::vector<int32_t> levelIndex_;
    std::vector<uint64_t> fixed_;  // the levels fixed so far in the row, as a bit set
    std::vector<int32_t> partialRow_;  // with wide rules: the row by factor, -1 where not fixed yet
    std::vector<int32_t> open_;        // per rule: its factors not fixed yet in this row
    std::vector<uint64_t> watchedSet_;  // open factors a wide rule leaves alone open in this row
    int32_t numWatched_ = 0;
    std::vector<int32_t> lone_;        // those the last level asked about leaves
    int32_t numLone_ = 0;

    // With constraints: the solver, and for each position of the row the partners whose
    // pairs its level covered (to undo a cornered row), the positions a repair keeps and the
    // level entries asked about.
    std::unique_ptr<ConstraintSolver> solver_;
    std::vector<uint64_t> coveredLog_;
    std::vector<uint8_t> keptPosition_;
    std::vector<int32_t> assumptions_;
    int32_t repairedRows_ = 0;
    bool solverFirstRow_ = false;

    // The matrix: rows in slots in the order they were added; rowOrder_ lists the slots of
    // the rows still in the matrix. Room for rowCapacity_ rows (at most the design's maxRows).
    static constexpr int32_t kFirstGreedyRows = 4096;
    int32_t rowCapacity_ = 0;
    std::vector<int32_t> matrix_;
    std::vector<int32_t> rowOrder_;
    int32_t numRows_ = 0;

    // Row elimination, with the pairs each row covers alone. Up to kSetRowWords words of
    // rows, the rows holding each level are a bit set and the rows holding a pair one AND
    // away; beyond, each cell keeps the count of rows holding it and the sum of their slots
    // (the one row when the count is 1).
    static constexpr int32_t kSetRowWords = NumericDesign::kMostRowsBySets / 64;
    int32_t rowWords_ = 0;             // words of a level's row set; 0: counts per cell
    std::vector<uint64_t> rowsWith_;  // per level, rowWords_ words
    std::vector<int32_t> columns_;    // the matrix by factor: columns_[f * rowCapacity_ + slot]
    std::vector<int32_t> counts_;   // numCells, only where the rows may pass the row sets
    std::vector<uint32_t> rowSum_;
    std::vector<int32_t> unique_;
    std::vector<int32_t> sortKeys_;
    std::vector<int32_t> sortIndex_;
};
