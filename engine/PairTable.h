#pragma once
// The interaction table of the pair search, laid out once per generation.
//
// It has one block per pair of factors f1 < f2 (lexicographic order) with one cell per pair of
// their levels. A cell is excluded (no valid row holds the pair), required and uncovered, or
// covered by some rows. The search keeps each cell's state twice, once for each factor of the
// pair, so that the scores of one factor's levels against a fixed partner are one contiguous
// run of cells; the row counts for row elimination are kept once per cell.
//
// Everything here is read-only once built and shared by the evolutions of all threads; the
// "base" arrays are the table after the constraints and the previous tests, which is where
// every evolution starts.

#include "engine/DesignCodes.h"

#include <cstdint>
#include <vector>

struct tInterBlock {
    int32_t f1 = 0;  // 0-based factor indices, f1 < f2
    int32_t f2 = 0;
    int32_t lNumCombos = 0;
    uint32_t cellOffset = 0;  // first cell of the block in the count arrays; cell (l1, l2) at + l1 * L(f2) + l2
};

struct PairTable {
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

    // Lays out the table for the prepared codes and computes the base arrays.
    void BuildPairs(const DesignCodes& codes);

    int32_t maxIterations = 0;  // greedy rows one evolution may add
    int32_t maxRows = 0;        // previous tests + random row + greedy rows
    std::vector<tInterBlock> atBlocks;     // F (F - 1) / 2 blocks
    std::vector<int32_t> blockOf;          // F x F: the block of f and g, f != g
    std::vector<uint32_t> pairCellOffset;  // F x F, f < g: cellOffset of block (f, g)
    std::vector<uint32_t> stateOffset;     // F x F, f != g: state of (f = l, g = m) at + m * L(f) + l
    std::vector<int32_t> factorBlocks;     // F x (F - 1): blocks of f by ascending partner
    std::vector<double> inverseCombos;     // 1 / lNumCombos per block
    size_t numCells = 0;
    size_t numStates = 0;

    std::vector<uint8_t> baseState;    // numStates
    std::vector<int32_t> baseCounts;   // numCells: -1 excluded, else previous tests holding the pair
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
    void LayOutBlocks(const DesignCodes& codes);
    void LayOutStates(const DesignCodes& codes);
    // Marks cell (f = lf, g = lg) as no longer zero: excluded, or covered for the first time.
    void MarkNonZero(const DesignCodes& codes, int32_t f, int32_t lf, int32_t g, int32_t lg, uint8_t state);
    void ExcludeWhatNoValidRowHolds(const DesignCodes& codes);
    void CountPreviousTests(const DesignCodes& codes);
    void SetUncoveredBits(const DesignCodes& codes);
};
