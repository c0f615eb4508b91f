#pragma once
// The interaction table of the pair search, laid out once per generation.
//
// It has one block per pair of factors f1 < f2 (lexicographic order) with one cell per pair of
// their levels. A cell is excluded (no valid row holds the pair), required and uncovered, or
// covered by some rows. Where blocks, cells and states start is worked out from the level
// counts (a few numbers per factor), so the table's size grows with the pairs alone: coverage
// is kept in bit sets, and only a design small enough keeps each cell's state besides, twice
// (once for each factor of the pair), so that the scores of one factor's levels against a
// fixed partner are one contiguous run of cells. The row counts for row elimination are kept
// once per cell, and only where row elimination needs them.
//
// Everything here is read-only once built and shared by the evolutions of all threads; the
// "base" arrays are the table after the constraints and the previous tests, which is where
// every evolution starts.

#include "engine/DesignCodes.h"

#include <cstdint>
#include <vector>

struct PairTable : DesignCodes {
    // Cell states in the per-factor arrays.
    static constexpr uint8_t kCovered = 0;
    static constexpr uint8_t kUncovered = 1;
    static constexpr uint8_t kExcluded = 2;

    // Greedy rows one evolution may add for a design whose widest factor has maxLevels levels.
    static int32_t MaxIterationsFor(int32_t maxLevels);
    // Row elimination of up to this many rows finds the pairs held by one row from per-level
    // row sets; beyond, from per-cell counts and slot sums, which only such a design keeps.
    static constexpr int32_t kMostRowsBySets = 256;
    static bool CountsCellsFor(int32_t rows) { return rows > kMostRowsBySets; }
    bool CountsCells() const { return CountsCellsFor(maxRows); }
    // The per-factor runs of cell states take a byte per state, twice per cell; beyond this
    // many states the scores come from the bit sets alone, to the same matrix.
    static constexpr double kMostStatesKept = double{1 << 26};
    static bool KeepsStatesFor(double states, double most = kMostStatesKept) { return states <= most; }
    bool KeepsStates() const { return !baseState.empty(); }

    // Lays out the table for the prepared codes and computes the base arrays.
    void BuildPairs(double mostStatesKept = kMostStatesKept);

    // Block of factors f and g (f != g), in lexicographic order of (min, max).
    int32_t BlockOf(int32_t f, int32_t g) const { return f < g ? firstBlock_[f] + g : firstBlock_[g] + f; }
    // Block of f and its j-th partner, the factors but f in ascending order.
    int32_t PartnerBlock(int32_t f, int32_t j) const { return j < f ? firstBlock_[j] + f : firstBlock_[f] + j + 1; }
    int32_t NumCombos(int32_t f, int32_t g) const { return levels[f] * levels[g]; }
    // First cell of block (f, g), f < g; cell (l1, l2) at + l1 * L(g) + l2.
    size_t CellOffset(int32_t f, int32_t g) const
    {
        return static_cast<size_t>(firstCell_[f] + int64_t{levels[f]} * levelOffset[g]);
    }
    size_t Cell(int32_t f, int32_t lf, int32_t g, int32_t lg) const
    {
        return f < g ? CellOffset(f, g) + static_cast<size_t>(lf) * levels[g] + lg
                     : CellOffset(g, f) + static_cast<size_t>(lg) * levels[f] + lf;
    }
    // With KeepsStates(): the state of (f = l, g = m), f != g, at + m * L(f) + l, which is
    // StateOrigin(f, g > f) + L(f) * (levelOffset[g] + m) + l.
    size_t StateOffset(int32_t f, int32_t g) const
    {
        return static_cast<size_t>(StateOrigin(f, g > f) + int64_t{levels[f]} * levelOffset[g]);
    }
    int64_t StateOrigin(int32_t f, bool partnerAbove) const
    {
        return firstState_[f] - (partnerAbove ? int64_t{levels[f]} * levels[f] : 0);
    }
    // Whether no valid row holds the pair (f = lf, g = lg).
    bool ExcludedPair(int32_t f, int32_t lf, int32_t g, int32_t lg) const
    {
        return Excluded(levelOffset[f] + lf, levelOffset[g] + lg);
    }
    // The pair of a cell: factors f < g at levels lf and lg.
    void PairOfCell(size_t cell, int32_t& f, int32_t& lf, int32_t& g, int32_t& lg) const;
    // Fills numCells counts: -1 excluded, else the previous tests holding the pair.
    void CountBase(int32_t* counts) const;

    int32_t maxIterations = 0;  // greedy rows one evolution may add
    int32_t maxRows = 0;        // previous tests + random row + greedy rows
    int32_t numBlocks = 0;      // F (F - 1) / 2
    size_t numCells = 0;
    size_t numStates = 0;

    std::vector<uint8_t> baseState;    // numStates, only where KeepsStates()
    std::vector<int32_t> baseCounts;   // numCells, only where CountsCells(): CountBase()'s
    std::vector<uint32_t> baseRowSum;  // numCells when CountsCells(): sum (mod 2^32) of the row numbers holding the pair
    std::vector<int32_t> baseDone;     // per block: cells covered or excluded
    std::vector<int32_t> baseNonZero;  // per level: cells of that level covered or excluded
    int32_t baseIncomplete = 0;        // blocks with a required cell still uncovered

    // The uncovered states as bit sets over all level entries (as DesignCodes' excluded
    // ones): for level l of factor f, bit levelOffset[g] + m is set when the pair (f = l,
    // g = m) is required and uncovered. A level's score against the fixed partners of a row
    // is then one AND and a population count per word.
    std::vector<uint64_t> baseUncoveredBits;  // levelOffset[F] x levelWords

private:
    void LayOut();
    // Marks cell (f = lf, g = lg) as no longer zero: excluded, or covered for the first time.
    void MarkNonZero(int32_t f, int32_t lf, int32_t g, int32_t lg, uint8_t state);
    void SetUncoveredBits();
    void MarkExcludedCells();
    void CoverByPreviousTests();
    void CountPreviousTests(int32_t* counts, uint32_t* rowSum) const;

    // Per factor f: BlockOf(f, g) - g, CellOffset(f, g) - L(f) levelOffset[g] for g > f, and
    // StateOffset's start of f's runs.
    std::vector<int32_t> firstBlock_;
    std::vector<int64_t> firstCell_;
    std::vector<int64_t> firstState_;
};
